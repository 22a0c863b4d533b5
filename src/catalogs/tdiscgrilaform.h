#pragma once
// The discount grids window ("Editare grila discount"): in the top panel the
// list of grids (number and name), below it, filling the rest of the window,
// the group percentages of the grid the upper list stands on. Both lists are
// edited in place with the cell editor always shown; the group column offers
// the group codes of Grup.db. A child window of the main window ("&Sistem" /
// "Editare grila &discount", one instance). Binds DiscGrilaFormLogic.

#include "discgrilalogic.h"
#include "partnercatalogs.h"

#include "ui/refreshtarget.h"

#include <QWidget>
#include <memory>

namespace catalogs {

class TDiscGrilaForm : public QWidget, public ui::RefreshTarget {
    Q_OBJECT
public:
    TDiscGrilaForm(const PartnerServices& services, QWidget* parent = nullptr);
    ~TDiscGrilaForm() override;

    // Opens the lists and reads their layouts; false after the error box:
    // the window is to be released.
    bool prepare();
    // A child window of the main window; nullptr after the error box.
    static std::unique_ptr<TDiscGrilaForm> createChild(const PartnerServices& services);

    void refreshTick() override;
    bool closeQuery(); // pending rows are posted; the layouts written

    DiscGrilaFormLogic& logic() { return m_logic; }
    ui::DataGrid* gridList() const { return m_gridList; }
    ui::DataGrid* groupList() const { return m_groupList; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QString layoutPath() const;
    const PartnerServices m_services;
    DiscGrilaFormLogic m_logic;
    std::unique_ptr<ui::DatasetModel> m_gridModel;
    std::unique_ptr<ui::DatasetModel> m_groupModel;
    ui::DataGrid* m_gridList = nullptr;
    ui::DataGrid* m_groupList = nullptr;
    bool m_closed = false;
};

} // namespace catalogs
