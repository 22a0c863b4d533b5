#pragma once
// The firm data dialog: edit fields on the current record of Firmdata.DB.

#include "firmdatalogic.h"

#include "ui/fieldedit.h"

#include <QDialog>
#include <QList>

namespace shell {

class TFirmDataDlg : public QDialog {
    Q_OBJECT
public:
    // definitionFile: TBXDEF.INI of the open database, where FirmNo is written.
    TFirmDataDlg(datastore::Database& db, common::Dialogs& dialogs, int firmNo, QString definitionFile,
                 QWidget* parent = nullptr);
    bool prepare(); // false (after the error box) when the table cannot be opened
    TFirmDataDlgLogic& logic() { return m_logic; }
    ui::FieldEdit* edit(const QString& field) const;

    // Opens the dialog; returns the current firm afterwards.
    static int run(datastore::Database& db, common::Dialogs& dialogs, int firmNo, const QString& definitionFile,
                   QWidget* parent);

protected:
    void done(int result) override;

private:
    TFirmDataDlgLogic m_logic;
    QString m_definitionFile;
    common::Dialogs& m_dialogs;
    QList<ui::FieldEdit*> m_edits;
};

} // namespace shell
