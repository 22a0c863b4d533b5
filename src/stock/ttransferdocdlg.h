#pragma once
// TTransferDocDlg: "Transfer spre o alta gestiune", the choice of a transfer:
// the receiving warehouse (Gest.db, listed by name) and the state inventory
// objects are transferred into ("in folosinta", the default, or "in
// magazie"). Clicking, double-clicking or leaving the warehouse list takes
// the highlighted warehouse; OK waits for one. What the transfer writes is
// TransferDocument's (transfer.h).

#include "transfer.h"

#include "common/dialogs.h"
#include "datastore/database.h"

#include <QDialog>

class QComboBox;
class QListWidget;
class QPushButton;

namespace stock {

class TTransferDocDlg : public QDialog {
    Q_OBJECT
public:
    // The warehouses as listed, code and name.
    struct Warehouse {
        QString code, name;
    };
    TTransferDocDlg(QList<Warehouse> warehouses, QWidget* parent = nullptr);

    TransferOptions options() const;

    QListWidget* warehouseList() const { return m_list; }
    QComboBox* stateCombo() const { return m_state; }
    QPushButton* okButton() const { return m_ok; }
    QPushButton* cancelButton() const { return m_cancel; }

    // The warehouses of Gest.db by name.
    static QList<Warehouse> readWarehouses(datastore::Database& db);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void takeHighlighted();

    QList<Warehouse> m_warehouses;
    QString m_receiving;
    QListWidget* m_list = nullptr;
    QComboBox* m_state = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
};

// Shows the dialog; false when cancelled (or the warehouses cannot be read,
// after the error box).
bool AskTransfer(QWidget* owner, datastore::Database& db, common::Dialogs& dialogs, TransferOptions& options);

} // namespace stock
