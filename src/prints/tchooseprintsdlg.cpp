#include "tchooseprintsdlg.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QVBoxLayout>

namespace prints {

namespace {

QLabel* buddyLabel(const QString& text, QWidget* buddy, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

// A label that keeps its room while hidden, so the row does not move.
void keepRoomWhenHidden(QWidget* widget)
{
    QSizePolicy policy = widget->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    widget->setSizePolicy(policy);
}

} // namespace

TChoosePrintsDlg::TChoosePrintsDlg(const ChoosePrintsContext& context, int printSet, const PrintOptions& options,
                                   QWidget* parent)
    : QDialog(parent), m_logic(context, printSet, options)
{
    setWindowTitle(QLatin1String(kChoosePrintsTitle));
    m_pages = new QTabWidget(this);

    // Page "Tip factura".
    auto* kinds = new QWidget(m_pages);
    auto* boxesColumn = new QVBoxLayout;
    for (int i = 0; i < kPrintChoiceCount; ++i) {
        auto* box = new QCheckBox(m_logic.caption(PrintChoice(i)), kinds);
        m_boxes[std::size_t(i)] = box;
        boxesColumn->addWidget(box);
    }
    boxesColumn->addStretch(1);

    m_includeCode = new QCheckBox(QLatin1String(kIncludeCodeCaption), kinds);
    m_description = new QCheckBox(QLatin1String(kDescriptionCaption), kinds);
    m_explanation = new QCheckBox(QLatin1String(kExplanationCaption), kinds);
    auto* optionsColumn = new QVBoxLayout;
    optionsColumn->addWidget(m_includeCode);
    optionsColumn->addWidget(m_description);
    optionsColumn->addWidget(m_explanation);
    optionsColumn->addStretch(1);

    m_comment = new QCheckBox(QLatin1String(kCommentCaption), kinds);
    m_commentNote = new QLabel(QLatin1String(kCommentNote), kinds);
    keepRoomWhenHidden(m_commentNote);
    auto* commentRow = new QHBoxLayout;
    commentRow->setSpacing(2);
    commentRow->addWidget(m_comment);
    commentRow->addWidget(m_commentNote);
    commentRow->addStretch(1);

    m_footer = new QPlainTextEdit(kinds);
    m_footer->setPlainText(m_logic.footerText());
    m_footer->setTabChangesFocus(true);
    m_footer->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_footer->setMinimumHeight(m_footer->fontMetrics().lineSpacing() * 6);
    if (!m_logic.footerEditable()) {
        m_footer->setReadOnly(true);
        m_footer->setEnabled(false);
        m_footer->setPlaceholderText(m_logic.footerProblem());
    }

    auto* kindsGrid = new QGridLayout(kinds);
    kindsGrid->addLayout(boxesColumn, 0, 0);
    kindsGrid->setColumnMinimumWidth(1, 24);
    kindsGrid->addLayout(optionsColumn, 0, 2);
    kindsGrid->setColumnStretch(2, 1);
    kindsGrid->addLayout(commentRow, 1, 0, 1, 3);
    kindsGrid->addWidget(m_footer, 2, 0, 1, 3);
    kindsGrid->setRowStretch(2, 1);
    m_pages->addTab(kinds, QStringLiteral("Tip factura"));

    // Page "Expeditie".
    auto* dispatch = new QWidget(m_pages);
    m_transportInclude = new QCheckBox(QStringLiteral("Include elementele de expeditie:"), dispatch);
    m_delegate = new QLineEdit(dispatch);
    m_idSeries = new QLineEdit(dispatch);
    m_idNumber = new QLineEdit(dispatch);
    m_vehicle = new QLineEdit(dispatch);
    m_dispatchDate = new QLineEdit(dispatch);
    const int charWidth = m_idSeries->fontMetrics().horizontalAdvance(QLatin1Char('W'));
    m_idSeries->setMaximumWidth(charWidth * 5);
    m_delegate->setMinimumWidth(charWidth * 20);

    auto* idRow = new QHBoxLayout;
    idRow->addWidget(m_idSeries);
    idRow->addWidget(buddyLabel(QStringLiteral("Nr."), m_idNumber, dispatch));
    idRow->addWidget(m_idNumber, 1);
    auto* fields = new QGridLayout;
    fields->setColumnMinimumWidth(0, 16);
    fields->addWidget(buddyLabel(QStringLiteral("Numele delegatului:"), m_delegate, dispatch), 0, 1);
    fields->addWidget(m_delegate, 0, 2);
    fields->addWidget(buddyLabel(QStringLiteral("Seria buletinului:"), m_idSeries, dispatch), 1, 1);
    fields->addLayout(idRow, 1, 2);
    fields->addWidget(buddyLabel(QStringLiteral("Mijloc de transport (numarul):"), m_vehicle, dispatch), 2, 1);
    fields->addWidget(m_vehicle, 2, 2);
    fields->addWidget(buddyLabel(QStringLiteral("Data expeditiei:"), m_dispatchDate, dispatch), 3, 1);
    fields->addWidget(m_dispatchDate, 3, 2);
    fields->setColumnStretch(2, 1);

    m_transportProblem = new QLabel(m_logic.transportProblem(), dispatch);
    m_transportProblem->setWordWrap(true);
    m_transportProblem->setVisible(!m_logic.transportEditable());

    auto* dispatchLayout = new QVBoxLayout(dispatch);
    dispatchLayout->addWidget(new QLabel(QStringLiteral("(numai pe factura pretiparita)"), dispatch));
    dispatchLayout->addWidget(m_transportInclude);
    dispatchLayout->addLayout(fields);
    dispatchLayout->addWidget(m_transportProblem);
    dispatchLayout->addStretch(1);
    m_pages->addTab(dispatch, QStringLiteral("Expeditie"));

    const TransportDetails& details = m_logic.transport();
    m_delegate->setText(details.name);
    m_idSeries->setText(details.idSeries);
    m_idNumber->setText(details.idNumber);
    m_vehicle->setText(details.vehicle);
    m_dispatchDate->setText(details.date);

    // Buttons.
    m_print = new QPushButton(QStringLiteral("Listeaza"), this);
    m_print->setDefault(true);
    m_cancel = new QPushButton(QStringLiteral("&Renunta"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_print);
    buttons->addWidget(m_cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pages);
    layout->addLayout(buttons);

    // Every change goes to the logic, and the controls show what it kept.
    for (int i = 0; i < kPrintChoiceCount; ++i) {
        connect(m_boxes[std::size_t(i)], &QCheckBox::toggled, this, [this, i](bool on) {
            m_logic.setChecked(PrintChoice(i), on);
            showState();
        });
    }
    const auto bind = [this](QCheckBox* box, auto apply) {
        connect(box, &QCheckBox::toggled, this, [this, apply](bool on) {
            apply(on);
            showState();
        });
    };
    bind(m_includeCode, [this](bool on) { m_logic.setIncludeCode(on); });
    bind(m_description, [this](bool on) { m_logic.setDescription(on); });
    bind(m_comment, [this](bool on) { m_logic.setComment(on); });
    bind(m_explanation, [this](bool on) { m_logic.setExplanation(on); });
    bind(m_transportInclude, [this](bool) { transportEdited(); });
    connect(m_footer, &QPlainTextEdit::textChanged, this, [this] { m_logic.setFooterText(m_footer->toPlainText()); });
    for (QLineEdit* edit : {m_delegate, m_idSeries, m_idNumber, m_vehicle, m_dispatchDate})
        connect(edit, &QLineEdit::textChanged, this, &TChoosePrintsDlg::transportEdited);
    connect(m_print, &QPushButton::clicked, this, &TChoosePrintsDlg::printClicked);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);

    showState();
}

void TChoosePrintsDlg::transportEdited()
{
    TransportDetails details;
    details.include = m_transportInclude->isChecked();
    details.name = m_delegate->text();
    details.idSeries = m_idSeries->text();
    details.idNumber = m_idNumber->text();
    details.vehicle = m_vehicle->text();
    details.date = m_dispatchDate->text();
    m_logic.setTransport(details);
}

void TChoosePrintsDlg::showState()
{
    for (int i = 0; i < kPrintChoiceCount; ++i) {
        QCheckBox* box = m_boxes[std::size_t(i)];
        const QSignalBlocker blocker(box);
        box->setChecked(m_logic.isChecked(PrintChoice(i)));
        box->setEnabled(m_logic.isEnabled(PrintChoice(i)));
    }
    const auto show = [](QCheckBox* box, bool checked) {
        const QSignalBlocker blocker(box);
        box->setChecked(checked);
    };
    show(m_includeCode, m_logic.includeCode());
    show(m_description, m_logic.description());
    show(m_comment, m_logic.comment());
    show(m_explanation, m_logic.explanation());
    m_comment->setEnabled(m_logic.commentEnabled());
    m_commentNote->setVisible(m_logic.commentNoteVisible());

    const bool editable = m_logic.transportEditable();
    const bool include = m_logic.transport().include;
    show(m_transportInclude, include);
    m_transportInclude->setEnabled(editable);
    for (QLineEdit* edit : {m_delegate, m_idSeries, m_idNumber, m_vehicle, m_dispatchDate})
        edit->setEnabled(editable && include);
}

void TChoosePrintsDlg::printClicked()
{
    if (m_logic.accept())
        accept();
}

bool ChoosePrints(QWidget* window, const ChoosePrintsContext& context, int& printSet, PrintOptions& options)
{
    TChoosePrintsDlg dialog(context, printSet, options, window);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    printSet = dialog.logic().printSet();
    options = dialog.logic().options();
    return true;
}

} // namespace prints
