#include "tconsdlg.h"

#include <QApplication>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace stock {

namespace {

QDateEdit* dateEdit(const QDate& date, QWidget* parent)
{
    auto* edit = new QDateEdit(date, parent);
    edit->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    edit->setCalendarPopup(true);
    return edit;
}

} // namespace

TConsDlg::TConsDlg(datastore::Database& db, datastore::Database& privateDb, const common::Parameters& parameters,
                   const common::Formats& formats, common::Dialogs& dialogs, NoteSide side, QWidget* parent,
                   const QDate& today)
    : QDialog(parent), m_logic(std::make_unique<ConsolidationLogic>(db, privateDb, parameters, dialogs, side)),
      m_formats(formats), m_dialogs(dialogs), m_today(today)
{
    setObjectName(side == NoteSide::Input ? QStringLiteral("TConsInDlg") : QStringLiteral("TConsOutDlg"));
    setWindowTitle(m_logic->caption());
    setModal(true);

    // The upper part: the partner and the period.
    auto* prompt = new QLabel(ConsolidationLogic::kPrompt, this);
    m_partners = new QListWidget(this);
    m_partners->setFixedHeight(120);
    prompt->setBuddy(m_partners);
    m_from = dateEdit(today.addDays(-30), this);
    m_to = dateEdit(today, this);
    m_select = new QPushButton(QStringLiteral("Selecteaza"), this);
    m_cancel = new QPushButton(QStringLiteral("&Renunta"), this);
    m_select->setDefault(true);
    connect(m_select, &QPushButton::clicked, this, &TConsDlg::selectNotes);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* period = new QHBoxLayout;
    auto* fromLabel = new QLabel(QStringLiteral("De la:"), this);
    fromLabel->setBuddy(m_from);
    auto* toLabel = new QLabel(QStringLiteral("Pina la:"), this);
    toLabel->setBuddy(m_to);
    period->addWidget(fromLabel);
    period->addWidget(m_from);
    period->addSpacing(12);
    period->addWidget(toLabel);
    period->addWidget(m_to);
    period->addStretch(1);
    auto* upperButtons = new QVBoxLayout;
    upperButtons->addWidget(m_select);
    upperButtons->addWidget(m_cancel);
    upperButtons->addStretch(1);
    auto* upper = new QGridLayout;
    upper->addWidget(prompt, 0, 0, 1, 2);
    upper->addWidget(m_partners, 1, 0);
    upper->addLayout(upperButtons, 1, 1, 2, 1);
    upper->addLayout(period, 2, 0);
    upper->setColumnStretch(0, 1);

    // The lower part: the notes, shown after a selection.
    m_lower = new QWidget(this);
    auto* markPrompt = new QLabel(ConsolidationLogic::kMarkPrompt, m_lower);
    markPrompt->setWordWrap(true);
    m_notes = new QTableWidget(0, 4, m_lower);
    m_notes->setHorizontalHeaderLabels(
        {QStringLiteral("Tip"), QStringLiteral("Numar"), QStringLiteral("Data"), QStringLiteral("Explicatie")});
    m_notes->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_notes->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_notes->setSelectionMode(QAbstractItemView::SingleSelection);
    m_notes->verticalHeader()->hide();
    m_notes->verticalHeader()->setDefaultSectionSize(m_notes->fontMetrics().height() + 6);
    m_notes->horizontalHeader()->setStretchLastSection(true);
    m_notes->setColumnWidth(0, 50);
    m_notes->setColumnWidth(1, 80);
    m_notes->setColumnWidth(2, 90);
    m_notes->setMinimumHeight(150);
    m_notes->installEventFilter(this);
    markPrompt->setBuddy(m_notes);
    connect(m_notes, &QTableWidget::cellDoubleClicked, this, [this](int row, int) { toggle(row); });
    m_status = new QLabel(m_lower);
    m_consolidate = new QPushButton(QStringLiteral("Consolideaza"), m_lower);
    connect(m_consolidate, &QPushButton::clicked, this, &TConsDlg::consolidateNotes);
    auto* lowerLayout = new QVBoxLayout(m_lower);
    lowerLayout->setContentsMargins(0, 0, 0, 0);
    lowerLayout->addWidget(markPrompt);
    lowerLayout->addWidget(m_notes, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_status, 1);
    bottom->addWidget(m_consolidate);
    lowerLayout->addLayout(bottom);
    m_lower->hide();

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(upper);
    layout->addWidget(m_lower, 1);
    resize(520, sizeHint().height());
    m_partners->setFocus();
}

TConsDlg::~TConsDlg() = default;

bool TConsDlg::prepare()
{
    if (!m_logic->readPartners())
        return false;
    for (const ConsolidationLogic::Partner& p : m_logic->partners())
        m_partners->addItem(p.name.isEmpty() ? p.code : p.name);
    if (m_partners->count() > 0)
        m_partners->setCurrentRow(0);
    return true;
}

void TConsDlg::selectNotes()
{
    const int row = m_partners->currentRow();
    const QString partner = row >= 0 && row < m_logic->partners().size() ? m_logic->partners()[row].code : QString();
    if (m_to->date() < m_from->date()) {
        m_logic->select(partner, m_from->date(), m_to->date()); // the beep
        m_from->setFocus();
        return;
    }
    const bool listed = m_logic->select(partner, m_from->date(), m_to->date());
    m_notes->setRowCount(0);
    if (!listed)
        return;
    const QList<ConsolidationLogic::Note>& notes = m_logic->notes();
    m_notes->setRowCount(static_cast<int>(notes.size()));
    for (int i = 0; i < notes.size(); ++i) {
        const ConsolidationLogic::Note& n = notes[i];
        auto* number = new QTableWidgetItem(common::formatFloat(QStringLiteral("0"), n.number, m_formats));
        number->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_notes->setItem(i, 0, new QTableWidgetItem(n.type));
        m_notes->setItem(i, 1, number);
        m_notes->setItem(i, 2, new QTableWidgetItem(common::formatDate(m_formats.longDateFormat, n.date, m_formats)));
        m_notes->setItem(i, 3, new QTableWidgetItem(n.explanation));
    }
    showMarks();
    if (!m_lower->isVisible()) {
        m_lower->show();
        resize(width(), sizeHint().height() + 120);
    }
    m_notes->setCurrentCell(0, 0);
    m_notes->setFocus();
}

void TConsDlg::toggle(int row)
{
    m_logic->toggleMark(row);
    showMarks();
}

void TConsDlg::showMarks()
{
    for (int row = 0; row < m_notes->rowCount(); ++row)
        for (int column = 0; column < m_notes->columnCount(); ++column)
            if (QTableWidgetItem* item = m_notes->item(row, column)) {
                QFont font = m_notes->font();
                font.setBold(m_logic->isMarked(row));
                item->setFont(font);
            }
    m_status->setText(QStringLiteral("Avize marcate: %1 din %2")
                          .arg(m_logic->marked().size())
                          .arg(m_logic->notes().size()));
}

bool TConsDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_notes && event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space) {
        const int row = m_notes->currentRow();
        if (row >= 0) {
            toggle(row);
            if (row + 1 < m_notes->rowCount())
                m_notes->setCurrentCell(row + 1, m_notes->currentColumn());
        }
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TConsDlg::consolidateNotes()
{
    m_status->setText(ConsolidationLogic::kWorking);
    m_status->repaint();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const std::optional<double> invoice = m_logic->consolidate(m_today);
    QApplication::restoreOverrideCursor();
    m_invoice = invoice;
    if (invoice)
        accept();
    else if (m_logic->selectionChanged())
        selectNotes(); // the notes as they are now
    else
        reject(); // after the error box: closed as cancelled
}

std::optional<double> ConsolidateNotes(QWidget* owner, datastore::Database& db, datastore::Database& privateDb,
                                       const common::Parameters& parameters, const common::Formats& formats,
                                       common::Dialogs& dialogs, NoteSide side)
{
    std::unique_ptr<TConsDlg> dialog;
    if (side == NoteSide::Input)
        dialog = std::make_unique<TConsInDlg>(db, privateDb, parameters, formats, dialogs, owner);
    else
        dialog = std::make_unique<TConsOutDlg>(db, privateDb, parameters, formats, dialogs, owner);
    if (!dialog->prepare())
        return std::nullopt;
    if (dialog->exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog->invoice();
}

} // namespace stock
