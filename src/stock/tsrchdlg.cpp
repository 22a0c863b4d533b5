#include "tsrchdlg.h"

#include "common/numberlimits.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace stock {

namespace {

constexpr SearchCriterion kCriteria[] = {SearchCriterion::Number, SearchCriterion::Article,
                                         SearchCriterion::Explanation, SearchCriterion::Price,
                                         SearchCriterion::Serial};

bool numeric(SearchCriterion c)
{
    return c == SearchCriterion::Number || c == SearchCriterion::Price || c == SearchCriterion::Serial;
}

} // namespace

// --- SrchDlgLogic --------------------------------------------------------------------------------

SrchDlgLogic::SrchDlgLogic(common::Dialogs& dialogs, const common::Formats& formats, const SearchState& state,
                           bool offerSerial)
    : criterion(state.criterion), numberText(common::formatFloat(QStringLiteral("0"), state.number, formats)),
      articleText(state.article), explanationText(state.explanation),
      priceText(common::formatFloat(QStringLiteral("0.00"), state.price, formats)),
      serialText(common::formatFloat(QString(), state.serial, formats)), m_dialogs(dialogs),
      m_formats(formats), m_offerSerial(offerSerial)
{
    if (criterion == SearchCriterion::Serial && !offerSerial)
        criterion = SearchCriterion::Number;
}

QString& SrchDlgLogic::text(SearchCriterion c)
{
    switch (c) {
    case SearchCriterion::Number: return numberText;
    case SearchCriterion::Article: return articleText;
    case SearchCriterion::Explanation: return explanationText;
    case SearchCriterion::Price: return priceText;
    case SearchCriterion::Serial: break;
    }
    return serialText;
}

bool SrchDlgLogic::acceptKey(SearchCriterion c, QChar ch)
{
    bool ok = true;
    if (c == SearchCriterion::Number)
        ok = ch.isDigit();
    else if (c == SearchCriterion::Price)
        ok = ch.isDigit() || ch == m_formats.decimalSeparator || ch == u'.' || ch == u',' || ch == u'-';
    if (!ok)
        m_dialogs.beep();
    return ok;
}

bool SrchDlgLogic::start(SearchState& state)
{
    if (criterion == SearchCriterion::Serial && !m_offerSerial)
        criterion = SearchCriterion::Number;
    double value = 0;
    if (numeric(criterion)) {
        const auto v = common::parseFloat(text(criterion), m_formats);
        if (!v || !common::isAcceptableNumber(*v)) {
            m_dialogs.warning(QStringLiteral("Valoare numerica incorecta!"));
            return false;
        }
        value = *v;
    }
    state.criterion = criterion;
    switch (criterion) {
    case SearchCriterion::Number: state.number = value; break;
    case SearchCriterion::Article: state.article = articleText.trimmed(); break;
    case SearchCriterion::Explanation: state.explanation = explanationText; break;
    case SearchCriterion::Price: state.price = value; break;
    case SearchCriterion::Serial: state.serial = value; break;
    }
    state.lastFound = -1;
    return true;
}

// --- TSrchDlg ------------------------------------------------------------------------------------

TSrchDlg::TSrchDlg(SrchDlgLogic& logic, SearchState& state, QWidget* parent)
    : QDialog(parent), m_logic(logic), m_state(state)
{
    setObjectName(QStringLiteral("TSrchDlg"));
    setWindowTitle(QStringLiteral("Cauta..."));

    const QString captions[] = {QStringLiteral("&Numar document:"), QStringLiteral("&Articol:"),
                                QStringLiteral("&Explicatie:"), QStringLiteral("&Pret achizitie:"),
                                QStringLiteral("Numar serie")};
    auto* grid = new QGridLayout;
    for (SearchCriterion c : kCriteria) {
        const int i = index(c);
        m_radios[i] = new QRadioButton(captions[i], this);
        m_edits[i] = new QLineEdit(logic.text(c), this);
        QSizePolicy policy = m_edits[i]->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        m_edits[i]->setSizePolicy(policy);
        grid->addWidget(m_radios[i], i, 0);
        grid->addWidget(m_edits[i], i, 1);
        connect(m_radios[i], &QRadioButton::toggled, this, [this, c](bool on) {
            if (on)
                choose(c);
        });
    }
    edit(SearchCriterion::Article)->setMaxLength(30);
    edit(SearchCriterion::Explanation)->setMaxLength(255);
    edit(SearchCriterion::Number)->installEventFilter(this);
    edit(SearchCriterion::Price)->installEventFilter(this);
    edit(SearchCriterion::Number)->setAlignment(Qt::AlignRight);
    edit(SearchCriterion::Price)->setAlignment(Qt::AlignRight);
    edit(SearchCriterion::Serial)->setAlignment(Qt::AlignRight);
    if (!logic.offersSerial()) {
        radio(SearchCriterion::Serial)->hide();
        edit(SearchCriterion::Serial)->hide();
        grid->removeWidget(radio(SearchCriterion::Serial));
        grid->removeWidget(edit(SearchCriterion::Serial));
    }
    grid->setColumnMinimumWidth(1, 220);
    grid->setColumnStretch(1, 1);

    auto* buttons = new QDialogButtonBox(this);
    m_start = buttons->addButton(QStringLiteral("&Start"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("&Renunta"), QDialogButtonBox::RejectRole);
    m_start->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &TSrchDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TSrchDlg::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addStretch(1);
    layout->addWidget(buttons);
    choose(logic.criterion);
    setFixedSize(sizeHint());
}

void TSrchDlg::choose(SearchCriterion c)
{
    m_logic.criterion = c;
    for (SearchCriterion other : kCriteria)
        if (other != c && !(other == SearchCriterion::Serial && !m_logic.offersSerial()))
            edit(other)->setVisible(false);
    radio(c)->setChecked(true);
    edit(c)->setVisible(true);
    edit(c)->setFocus();
    edit(c)->selectAll();
}

bool TSrchDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const QString typed = key->text();
        if (typed.size() == 1 && typed[0].isPrint()) {
            for (SearchCriterion c : {SearchCriterion::Number, SearchCriterion::Price})
                if (watched == edit(c) && !m_logic.acceptKey(c, typed[0]))
                    return true; // refused, after the beep
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TSrchDlg::accept()
{
    for (SearchCriterion c : kCriteria)
        m_logic.text(c) = edit(c)->text();
    if (m_logic.start(m_state)) {
        QDialog::accept();
        return;
    }
    QLineEdit* refused = edit(m_logic.criterion);
    refused->setFocus();
    refused->selectAll();
}

// --- entry points --------------------------------------------------------------------------------

bool AskSearchCriterion(QWidget* owner, common::Dialogs& dialogs, const common::Formats& formats,
                        SearchState& state, bool offerSerial)
{
    SrchDlgLogic logic(dialogs, formats, state, offerSerial);
    TSrchDlg dialog(logic, state, owner);
    return dialog.exec() == QDialog::Accepted;
}

bool AskSearchCriterion(QWidget* owner, common::Dialogs& dialogs, SearchState& state, bool offerSerial)
{
    const common::Formats formats;
    return AskSearchCriterion(owner, dialogs, formats, state, offerSerial);
}

} // namespace stock
