#include "ttransferdocdlg.h"

#include "ui/datagrid.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace stock {

TTransferDocDlg::TTransferDocDlg(QList<Warehouse> warehouses, QWidget* parent)
    : QDialog(parent), m_warehouses(std::move(warehouses))
{
    setObjectName(QStringLiteral("TTransferDocDlg"));
    setWindowTitle(QStringLiteral("Transfer spre o alta gestiune"));

    auto* prompt = new QLabel(QStringLiteral("Selectati gestiunea catre care se efectueaza transferul:"), this);
    m_list = new QListWidget(this);
    for (const Warehouse& w : m_warehouses)
        m_list->addItem(w.name);
    prompt->setBuddy(m_list);
    m_list->installEventFilter(this);
    connect(m_list, &QListWidget::itemClicked, this, [this] { takeHighlighted(); });
    connect(m_list, &QListWidget::itemDoubleClicked, this, [this] { takeHighlighted(); });
    connect(m_list, &QListWidget::currentRowChanged, this, [this] { takeHighlighted(); });

    auto* operations = new QLabel(QStringLiteral("Operatiuni in cadrul transferului :"), this);
    auto* typeLine = new QLabel(QStringLiteral("tipul documentului devine BT (Bon de transfer)"), this);
    typeLine->setIndent(12);
    m_state = new QComboBox(this);
    m_state->addItems({QStringLiteral("in folosinta"), QStringLiteral("in magazie")});
    m_state->setCurrentIndex(0);

    auto* buttons = new QDialogButtonBox(this);
    m_ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    m_cancel = buttons->addButton(QStringLiteral("&Renunta"), QDialogButtonBox::RejectRole);
    m_ok->setDefault(true);
    m_ok->setEnabled(false);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(prompt);
    layout->addWidget(m_list, 1);
    layout->addWidget(operations);
    layout->addWidget(typeLine);
    auto* stateRow = new QHBoxLayout;
    stateRow->addSpacing(12);
    stateRow->addWidget(m_state);
    stateRow->addStretch(1);
    layout->addLayout(stateRow);
    layout->addWidget(buttons);
    resize(360, 320);
    m_list->setFocus();
}

void TTransferDocDlg::takeHighlighted()
{
    const int row = m_list->currentRow();
    if (row < 0 || row >= m_warehouses.size())
        return;
    m_receiving = m_warehouses[row].code;
    m_ok->setEnabled(!m_receiving.isEmpty());
}

bool TTransferDocDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_list && event->type() == QEvent::FocusOut)
        takeHighlighted();
    return QDialog::eventFilter(watched, event);
}

TransferOptions TTransferDocDlg::options() const
{
    TransferOptions o;
    o.receivingWarehouse = m_receiving;
    o.state = m_state->currentIndex() == 1 ? InventoryState::InStorage : InventoryState::InUse;
    return o;
}

QList<TTransferDocDlg::Warehouse> TTransferDocDlg::readWarehouses(datastore::Database& db)
{
    QList<Warehouse> list;
    datastore::Query q = db.query(QStringLiteral("SELECT Cod, Denumire FROM \"Gest.db\" ORDER BY Denumire, Cod"));
    while (q.next())
        list.append({q.value(0).toString(), q.value(1).toString()});
    return list;
}

bool AskTransfer(QWidget* owner, datastore::Database& db, common::Dialogs& dialogs, TransferOptions& options)
{
    QList<TTransferDocDlg::Warehouse> warehouses;
    try {
        warehouses = TTransferDocDlg::readWarehouses(db);
    } catch (...) {
        ui::reportDataError(dialogs, std::current_exception());
        return false;
    }
    TTransferDocDlg dialog(std::move(warehouses), owner);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    options = dialog.options();
    return true;
}

} // namespace stock
