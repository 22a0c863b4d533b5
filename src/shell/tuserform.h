#pragma once
// The keepers and beneficiaries window: the grid of User.db and "&Valideaza".

#include "userformlogic.h"

#include "common/formats.h"
#include "ui/datagrid.h"

#include <QDialog>
#include <memory>

namespace shell {

class TUserForm : public QDialog {
    Q_OBJECT
public:
    TUserForm(datastore::Database& db, common::Dialogs& dialogs, const common::Formats& formats,
              QWidget* parent = nullptr);
    ~TUserForm() override;
    // Opens the tables; false (after the error box) when they cannot be opened.
    bool prepare();
    TUserFormLogic& logic() { return m_logic; }
    ui::DataGrid* grid() const { return m_grid; }

    // Opens the window modally; nothing happens when its tables cannot be opened.
    static void run(datastore::Database& db, common::Dialogs& dialogs, const common::Formats& formats,
                    QWidget* parent);

protected:
    void done(int result) override;

private:
    TUserFormLogic m_logic;
    std::unique_ptr<ui::DatasetModel> m_model;
    ui::DataGrid* m_grid = nullptr;
};

} // namespace shell
