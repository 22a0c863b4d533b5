#include "selectiondialogs.h"

#include "balance.h"

#include "prints/tqrprndlg.h"
#include "ui/datedialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace reports {

TSelectionDlg::TSelectionDlg(SelectionListLogic& logic, QWidget* parent) : QDialog(parent), m_logic(logic)
{
    setWindowTitle(logic.caption());
    auto* layout = new QVBoxLayout(this);
    m_all = new QCheckBox(logic.allCaption(), this);
    m_all->setChecked(logic.allChecked());
    layout->addWidget(m_all);
    if (!logic.hint().isEmpty())
        layout->addWidget(new QLabel(logic.hint(), this));
    if (logic.kind() == SelectionListLogic::Kind::Articles) {
        auto* row = new QHBoxLayout;
        row->addWidget(new QLabel(QStringLiteral("Ordonare:"), this));
        m_order = new QComboBox(this);
        m_order->addItems({QStringLiteral("dupa Cod"), QStringLiteral("dupa Denumire")});
        m_order->setCurrentIndex(1);
        row->addWidget(m_order);
        auto* searchLabel = new QLabel(QStringLiteral("&Cauta:"), this);
        m_search = new QLineEdit(this);
        m_search->setMaxLength(30);
        searchLabel->setBuddy(m_search);
        row->addWidget(searchLabel);
        row->addWidget(m_search);
        layout->addLayout(row);
        connect(m_order, &QComboBox::activated, this, [this](int index) {
            m_logic.setOrderByCode(index == 0);
            fill();
        });
        connect(m_search, &QLineEdit::textChanged, this, [this](const QString& text) {
            const int r = m_logic.searchRow(text);
            if (r >= 0)
                m_list->setCurrentCell(r, 0, QItemSelectionModel::NoUpdate);
        });
    }
    m_list = new QTableWidget(this);
    m_list->setColumnCount(int(logic.headings().size()));
    m_list->setHorizontalHeaderLabels(logic.headings());
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(logic.multiSelect() ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->verticalHeader()->hide();
    m_list->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(m_list);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(logic.confirmCaption(), QDialogButtonBox::AcceptRole);
    buttons->addButton(logic.cancelCaption(), QDialogButtonBox::RejectRole);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_list->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection& selected, const QItemSelection& deselected) {
                for (const QModelIndex& i : deselected.indexes())
                    m_chosen.removeAll(i.row());
                for (const QModelIndex& i : selected.indexes())
                    if (!m_chosen.contains(i.row()))
                        m_chosen << i.row();
            });
    const auto allChanged = [this](bool all) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        m_logic.setAllChecked(all);
        QApplication::restoreOverrideCursor();
        fill();
        m_list->setEnabled(!all);
        if (m_order) {
            m_order->setVisible(!all);
            m_search->setVisible(!all);
        }
    };
    connect(m_all, &QCheckBox::toggled, this, allChanged);
    allChanged(logic.allChecked());
    resize(480, 360);
}

void TSelectionDlg::fill()
{
    m_chosen.clear();
    m_list->clearSelection();
    m_list->setRowCount(int(m_logic.rows().size()));
    for (int r = 0; r < m_logic.rows().size(); ++r)
        for (int c = 0; c < m_list->columnCount(); ++c)
            m_list->setItem(r, c, new QTableWidgetItem(m_logic.rows().at(r).value(c).toString()));
    m_list->resizeColumnsToContents();
    // The single-row grid stands on the logic's current row (the first).
    if (!m_logic.multiSelect() && m_logic.currentRow() >= 0)
        m_list->setCurrentCell(m_logic.currentRow(), 0);
}

void TSelectionDlg::accept()
{
    m_logic.setSelectedRows(m_chosen);
    if (!m_logic.multiSelect())
        m_logic.setCurrentRow(m_list->currentRow());
    QDialog::accept();
}

TSortOrderDlg::TSortOrderDlg(SortOrderLogic& logic, QWidget* parent) : QDialog(parent), m_logic(logic)
{
    setWindowTitle(QStringLiteral("Ordinea de sortare"));
    auto* layout = new QVBoxLayout(this);
    auto* text = new QLabel(QStringLiteral("Specificati ordinea cîmpurilor în care trebuie sortate articolele din cadrul "
                                           "aceleiasi grupe; modificati ordinea prin \"tragere\" cu mouse-ul sau folositi "
                                           "butoanele dedicate."),
                            this);
    text->setWordWrap(true);
    layout->addWidget(text);
    auto* row = new QHBoxLayout;
    m_list = new QListWidget(this);
    m_list->addItems(logic.fields());
    m_list->setDragDropMode(QAbstractItemView::InternalMove);
    m_list->setAutoScroll(true);
    m_list->setCurrentRow(0);
    row->addWidget(m_list);
    auto* side = new QVBoxLayout;
    auto* up = new QPushButton(QStringLiteral("&Sus"), this);
    auto* down = new QPushButton(QStringLiteral("&Jos"), this);
    side->addWidget(up);
    side->addWidget(down);
    side->addStretch();
    row->addLayout(side);
    layout->addLayout(row);
    const auto sync = [this] {
        QStringList fields;
        for (int i = 0; i < m_list->count(); ++i)
            fields << m_list->item(i)->text();
        m_logic.setFields(fields);
    };
    const auto show = [this](int current) {
        m_list->clear();
        m_list->addItems(m_logic.fields());
        m_list->setCurrentRow(current);
    };
    connect(up, &QPushButton::clicked, this, [=, this] { sync(); show(m_logic.moveUp(m_list->currentRow())); });
    connect(down, &QPushButton::clicked, this, [=, this] { sync(); show(m_logic.moveDown(m_list->currentRow())); });
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("Renunta"), QDialogButtonBox::RejectRole);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, [=, this] { sync(); accept(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void TSortOrderDlg::accept()
{
    QDialog::accept();
}

namespace {

bool runList(QWidget* owner, datastore::Database& db, SelectionListLogic::Kind kind,
             const std::function<void(const SelectionListLogic&)>& store)
{
    SelectionListLogic logic(db, kind);
    TSelectionDlg dlg(logic, owner);
    if (dlg.exec() != QDialog::Accepted)
        return false;
    store(logic);
    return true;
}

} // namespace

bool SelectWarehouses(QWidget* owner, datastore::Database& db, QString& list)
{
    return runList(owner, db, SelectionListLogic::Kind::Warehouses, [&](const SelectionListLogic& l) { list = l.listResult(); });
}

bool SelectBudget(QWidget* owner, datastore::Database& db, QString& code)
{
    return runList(owner, db, SelectionListLogic::Kind::Budget, [&](const SelectionListLogic& l) { code = l.codeResult(); });
}

bool SelectArticles(QWidget* owner, datastore::Database& db, ArticleSelection& articles)
{
    return runList(owner, db, SelectionListLogic::Kind::Articles,
                   [&](const SelectionListLogic& l) { articles = l.articlesResult(); });
}

bool SelectDocumentTypes(QWidget* owner, datastore::Database& db, DocumentDirection direction, QString& types)
{
    return runList(owner, db,
                   direction == DocumentDirection::In ? SelectionListLogic::Kind::DocumentTypesIn
                                                      : SelectionListLogic::Kind::DocumentTypesOut,
                   [&](const SelectionListLogic& l) { types = l.listResult(); });
}

bool SelectBeneficiaries(QWidget* owner, datastore::Database& db, QStringList& initials)
{
    return runList(owner, db, SelectionListLogic::Kind::Beneficiaries,
                   [&](const SelectionListLogic& l) { initials = l.initialsResult(); });
}

bool SelectSuppliers(QWidget* owner, datastore::Database& db, QString& list)
{
    return runList(owner, db, SelectionListLogic::Kind::Suppliers, [&](const SelectionListLogic& l) { list = l.listResult(); });
}

QtReportUi::QtReportUi(QWidget* owner, datastore::Database& db, common::Dialogs& dialogs, const common::Formats& formats,
                       std::function<void(const QString&)> progress, std::function<void(const QString&)> workMessage,
                       std::function<void()> closeWorkMessage)
    : m_owner(owner), m_db(db), m_dialogs(dialogs), m_formats(formats), m_progress(std::move(progress)),
      m_workMessage(std::move(workMessage)), m_closeWorkMessage(std::move(closeWorkMessage))
{
}

bool QtReportUi::selectDate(QDate& date)
{
    return ui::SelectDate(m_owner, m_dialogs, m_formats, date);
}

bool QtReportUi::selectInterval(QDate& first, QDate& last)
{
    return ui::SelectInterval(m_owner, m_dialogs, m_formats, first, last);
}

bool QtReportUi::selectSortOrder(QStringList& fields)
{
    SortOrderLogic logic(fields);
    TSortOrderDlg dlg(logic, m_owner);
    if (dlg.exec() != QDialog::Accepted)
        return false;
    fields = logic.fields();
    return true;
}

bool QtReportUi::printSetup(prints::PrintSettings& settings)
{
    return prints::ShowPrintSetup(m_owner, settings, m_dialogs, printCaption);
}

bool QtReportUi::askSignaturesOnEveryPage()
{
    return m_dialogs.confirm(QString::fromLatin1(kSignatureQuestion));
}

bool QtReportUi::askGroupTotalsOnly()
{
    return m_dialogs.confirm(QString::fromLatin1(kGroupTotalsQuestion));
}

bool QtReportUi::output(reportengine::Report& report, reportengine::RowSource& rows, const prints::PrintSettings& settings)
{
    closeWorking();
    return prints::ApplyPrintSettings(report, &rows, settings, m_dialogs, m_owner);
}

void QtReportUi::showProgress(const QString& text)
{
    if (m_progress)
        m_progress(text);
}

void QtReportUi::showWorking(const QString& text)
{
    if (m_workMessage)
        m_workMessage(text);
    if (!m_busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        m_busy = true;
    }
}

void QtReportUi::closeWorking()
{
    if (m_busy) {
        if (m_closeWorkMessage)
            m_closeWorkMessage();
        QApplication::restoreOverrideCursor();
        m_busy = false;
    }
}

} // namespace reports
