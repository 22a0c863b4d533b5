#include "tdefaultdlg.h"

#include "mainformlogic.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <functional>
#include <limits>
#include <optional>

namespace shell {

namespace {

// The range of every number box: far wider than any value it may hold, so a
// box never changes a value itself; OK checks each against its own range.
constexpr double kBoxLimit = 1e15;

// County initials offered by the county combo (any other text may be typed).
const QStringList& countyInitials()
{
    static const QStringList counties{
        "AB", "AG", "AR", "B",  "BC", "BH", "BN", "BR", "BT", "BV", "BZ", "CJ", "CL", "CS",
        "CT", "CV", "DB", "DJ", "GJ", "GL", "GR", "HD", "HR", "IF", "IL", "IS", "MH", "MM",
        "MS", "NT", "OT", "PH", "SB", "SJ", "SM", "SV", "TL", "TM", "TR", "VL", "VN", "VS",
    };
    return counties;
}

// Number boxes show the program's decimal separator, without grouping.
QLocale numberLocale(QChar decimalSeparator)
{
    QLocale locale = decimalSeparator == QLatin1Char(',') ? QLocale(QLocale::Romanian, QLocale::Romania) : QLocale::c();
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale;
}

// A read-only value with a pair of arrow buttons beside it: the value moves
// only by the buttons.
QWidget* stepField(QWidget* parent, QLineEdit*& edit, const QString& name, int width,
                   const std::function<void(bool up)>& step)
{
    auto* box = new QWidget(parent);
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    edit = new QLineEdit(box);
    edit->setObjectName(name);
    edit->setReadOnly(true);
    edit->setFixedWidth(width);
    edit->setAlignment(Qt::AlignRight);
    auto* arrows = new QVBoxLayout;
    arrows->setContentsMargins(0, 0, 0, 0);
    arrows->setSpacing(0);
    const int h = edit->sizeHint().height() / 2;
    for (const bool up : {true, false}) {
        auto* b = new QToolButton(box);
        b->setObjectName(name + (up ? QStringLiteral("Up") : QStringLiteral("Down")));
        b->setArrowType(up ? Qt::UpArrow : Qt::DownArrow);
        b->setFixedSize(16, h);
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoRepeat(true);
        QObject::connect(b, &QToolButton::clicked, box, [step, up] { step(up); });
        arrows->addWidget(b);
    }
    row->addWidget(edit);
    row->addLayout(arrows);
    row->addStretch(1);
    return box;
}

QLabel* wrappedLabel(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    return label;
}

} // namespace

TDefaultDlg::TDefaultDlg(DefaultDlgLogic& logic, const QStringList& currencies, common::Dialogs& dialogs,
                         QWidget* parent)
    : QDialog(parent), m_logic(logic), m_dialogs(dialogs)
{
    setWindowTitle(QStringLiteral("Optiuni"));

    m_pages = new QTabWidget(this);
    m_pages->addTab(buildDefaultsPage(), QStringLiteral("&Valori implicite"));
    m_pages->addTab(buildOptionsPage(currencies), QStringLiteral("&Optiuni de &calcul"));
    m_pages->addTab(buildVatPage(), QStringLiteral("Coeficienti &TVA"));
    m_pages->addTab(buildDocumentsPage(), QStringLiteral("Documente"));
    m_pages->addTab(buildJournalsPage(), QString());
    m_pages->addTab(buildAccessPage(), QString());
    m_pages->addTab(buildLayoutsPage(), QString());
    for (const int page : {JournalsPage, AccessPage, LayoutsPage})
        m_pages->setTabVisible(page, false);

    auto* buttons = new QDialogButtonBox(this);
    m_ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    m_cancel = buttons->addButton(QStringLiteral("Renunta"), QDialogButtonBox::RejectRole);
    m_ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &TDefaultDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TDefaultDlg::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pages, 1);
    layout->addWidget(buttons);

    showControls();
    showLiveValues();
    resize(600, 470);
}

// ---- pages ------------------------------------------------------------------

QCheckBox* TDefaultDlg::check(const char* key, const QString& caption, bool shown)
{
    auto* box = new QCheckBox(caption);
    box->setObjectName(QLatin1String(key));
    if (!shown)
        box->hide(); // stays hidden when its page is shown
    m_checks.insert(QLatin1String(key), box);
    return box;
}

QDoubleSpinBox* TDefaultDlg::rateBox(const char* key)
{
    auto* box = new QDoubleSpinBox;
    box->setObjectName(QLatin1String(key));
    box->setDecimals(2);
    // Wider than a rate may be: a value outside is shown as it is and OK
    // refuses it, rather than the box bringing it into range unseen.
    box->setRange(-kBoxLimit, kBoxLimit);
    box->setButtonSymbols(QAbstractSpinBox::NoButtons);
    box->setFixedWidth(70);
    box->setAlignment(Qt::AlignRight);
    m_numbers.insert(QLatin1String(key), box);
    return box;
}

QDoubleSpinBox* TDefaultDlg::numberBox(const char* key)
{
    auto* box = new QDoubleSpinBox;
    box->setObjectName(QLatin1String(key));
    box->setDecimals(0);
    box->setRange(-kBoxLimit, kBoxLimit); // the range is checked by OK, see rateBox
    box->setButtonSymbols(QAbstractSpinBox::NoButtons);
    box->setFixedWidth(100);
    box->setAlignment(Qt::AlignRight);
    m_numbers.insert(QLatin1String(key), box);
    return box;
}

QWidget* TDefaultDlg::buildDefaultsPage()
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("pageDefaults"));
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(wrappedLabel(QStringLiteral("Specificati valorile implicite pentru urmatoarele conturi, care vor "
                                                  "fi folosite la completarea cataloagelor de produse, furnizori."),
                                   page));

    auto* scroll = new QScrollArea(page);
    scroll->setWidgetResizable(true);
    auto* inner = new QWidget;
    auto* grid = new QGridLayout(inner);
    struct Row {
        const char* key;
        const char* caption;
        std::optional<AccountEdit> checked;
        bool shown;
    };
    const Row rows[] = {
        {"CFurn", "Cont &furnizor:", AccountEdit::Supplier, true},
        {"CCln", "Cont &client:", AccountEdit::Client, false},
        {"CCh", "Cont c&heltuieli:", AccountEdit::Expense, true},
        {"CMf", "Cont &marfa sau material:", AccountEdit::Goods, true},
        {"CTVA_I", "Cont &TVA intrari:", AccountEdit::InputVat, true},
        {"CTVA_E", "Cont TVA iesiri:", AccountEdit::OutputVat, false},
        {"CVen", "Cont &venituri:", std::nullopt, false},
        {"CAd", "Cont a&daos:", std::nullopt, false},
        {"CAcc", "Cont acci&ze:", std::nullopt, false},
    };
    int r = 0;
    for (const Row& row : rows) {
        auto* label = new QLabel(QString::fromUtf8(row.caption), inner);
        auto* edit = new QLineEdit(inner);
        edit->setObjectName(QLatin1String(row.key));
        edit->setMaxLength(common::kAccountCapacity);
        edit->setFixedWidth(130);
        label->setBuddy(edit);
        label->setVisible(row.shown);
        edit->setVisible(row.shown);
        grid->addWidget(label, r, 0);
        grid->addWidget(edit, r, 1);
        ++r;
        m_texts.insert(QLatin1String(row.key), edit);
        if (row.checked) {
            m_accounts.insert(int(*row.checked), edit);
            m_accountLabels.insert(int(*row.checked), label);
            edit->installEventFilter(this);
        }
    }
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(r, 1);
    scroll->setWidget(inner);
    layout->addWidget(scroll, 1);
    return page;
}

QWidget* TDefaultDlg::buildOptionsPage(const QStringList& currencies)
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("pageOptions"));
    auto* columns = new QHBoxLayout(page);
    auto* left = new QVBoxLayout;
    auto* right = new QVBoxLayout;
    columns->addLayout(left, 3);
    columns->addLayout(right, 2);

    left->addWidget(check("CCom", QStringLiteral("Se lucreaza cu modulul de comenzi"), false));
    left->addWidget(check("CLot", QStringLiteral("Se lucreaza cu loturi")));
    left->addWidget(check("CAutoLot", QStringLiteral("Lotul se genereaza automat ca fiind MAX+1 la valoarea existenta")));
    left->addWidget(check("CRetetar", QStringLiteral("Se lucreaza cu retete de productie")));
    left->addWidget(check("CCaloric", QStringLiteral("La produse se completeaza continut caloric")));
    left->addWidget(check("CCantStoc", QStringLiteral("Selecteaza din stoc toata cantitatea existenta")));
    left->addWidget(check("CGetPret", QStringLiteral("Preia pretul specificat in catalog")));
    {
        auto* row = new QHBoxLayout;
        row->addWidget(new QLabel(QStringLiteral("La intrari completez"), page));
        row->addWidget(check("CPretFaraTva", QStringLiteral("Pret fara TVA")));
        row->addWidget(new QLabel(QStringLiteral("sau"), page));
        row->addWidget(check("CValEdit", QStringLiteral("Valoarea")));
        row->addStretch(1);
        left->addLayout(row);
        connect(m_checks.value("CPretFaraTva"), &QCheckBox::clicked, this, [this](bool on) {
            m_logic.setPretFaraTva(on);
            showPair();
        });
        connect(m_checks.value("CValEdit"), &QCheckBox::clicked, this, [this](bool on) {
            m_logic.setValoarea(on);
            showPair();
        });
    }
    left->addWidget(check("CGenCod", QStringLiteral("Genereaza automat cod de produs")));
    left->addWidget(check("CSerii", QStringLiteral("Se lucreaza cu serii generate automat"), false));
    left->addWidget(check("CodBare", QStringLiteral("Se lucreaza cu Coduri de Bare"), false));
    left->addWidget(check("Round TVA", QStringLiteral("Rotunjeste valorile calculate la unitati (lei)")));
    left->addWidget(check("Calc TVA", QStringLiteral("Completeaza automat TVA numai pe facturi (FCT)")));
    left->addWidget(check("Atention", QStringLiteral("Se doreste atentionarea  Pret vanzare < Pret achizitie"), false));
    left->addWidget(check("Check for new version", QStringLiteral("Verifica existenta versiuni noi la pornirea programului")));
    left->addWidget(check("Backup BD zilnic", QStringLiteral("Salveaza baza date la prima pornire din zi a programului")));

    // Hidden in this edition: the reference currency, the price and discount modes.
    {
        auto* currencyRow = new QWidget(page);
        currencyRow->setObjectName(QStringLiteral("CValRow"));
        auto* row = new QHBoxLayout(currencyRow);
        row->setContentsMargins(0, 0, 0, 0);
        row->addWidget(new QLabel(QStringLiteral("Valuta echivalenta de calcul :"), currencyRow));
        m_currency = new QComboBox(currencyRow);
        m_currency->setObjectName(QStringLiteral("CVal"));
        m_currency->setEditable(true);
        m_currency->addItems(currencies);
        m_currency->lineEdit()->setMaxLength(common::kCurrencyCapacity);
        row->addWidget(m_currency);
        row->addStretch(1);
        currencyRow->setVisible(false);
        left->addWidget(currencyRow);

        auto* price = new QGroupBox(QStringLiteral("Modul de calcul al pretului de vînzare"), page);
        price->setObjectName(QStringLiteral("SellPrice"));
        auto* priceLayout = new QVBoxLayout(price);
        m_fetchPrice = new QRadioButton(QStringLiteral("Preia pretul de vînzare specificat în catalog "), price);
        m_calcPrice = new QRadioButton(QStringLiteral("Utilizeaza adaosul comercial specificat în catalog"), price);
        priceLayout->addWidget(m_fetchPrice);
        priceLayout->addWidget(m_calcPrice);
        price->setVisible(false);
        left->addWidget(price);

        auto* discount = new QGroupBox(QStringLiteral("Modul de calcul al discountului"), page);
        discount->setObjectName(QStringLiteral("GrilaCalculDisc"));
        auto* discountLayout = new QVBoxLayout(discount);
        m_sameDiscount = new QRadioButton(QStringLiteral("Foloseste acelasi discount pentru toate produsele"), discount);
        m_discountGrid = new QRadioButton(QStringLiteral("Foloseste grila de discounturi in mod automat"), discount);
        discountLayout->addWidget(m_sameDiscount);
        discountLayout->addWidget(m_discountGrid);
        discount->setVisible(false);
        left->addWidget(discount);
    }
    left->addStretch(1);

    // Tolerances, separator and decimals: they act at once.
    auto* grid = new QGridLayout;
    int r = 0;
    grid->addWidget(new QLabel(QStringLiteral("Zero numeric pentru stocuri : +/-"), page), r, 0);
    grid->addWidget(stepField(page, m_epsilon, QStringLiteral("Epsilon"), 110,
                              [this](bool up) {
                                  m_logic.stepEpsilon(up);
                                  showLiveValues();
                              }),
                    r++, 1);
    auto* epsilon1Label = new QLabel(QStringLiteral("Zero numeric pt incasari si plati : +/-"), page);
    QWidget* epsilon1 = stepField(page, m_epsilon1, QStringLiteral("Epsilon1"), 110, [this](bool up) {
        m_logic.stepEpsilon1(up);
        showLiveValues();
    });
    grid->addWidget(epsilon1Label, r, 0);
    grid->addWidget(epsilon1, r++, 1);
    epsilon1Label->setVisible(false);
    epsilon1->setVisible(false);

    auto* separator = new QGroupBox(page);
    separator->setObjectName(QStringLiteral("Decimal separator"));
    auto* separatorLayout = new QGridLayout(separator);
    separatorLayout->addWidget(new QLabel(QStringLiteral("Separatorul cif. zec :"), separator), 0, 0, 1, 2);
    m_comma = new QRadioButton(QStringLiteral("Virgula"), separator);
    m_period = new QRadioButton(QStringLiteral("Punct"), separator);
    m_comma->setObjectName(QStringLiteral("Coma"));
    m_period->setObjectName(QStringLiteral("Period"));
    separatorLayout->addWidget(m_comma, 1, 0);
    separatorLayout->addWidget(m_period, 1, 1);
    m_example = new QLabel(separator);
    m_example->setObjectName(QStringLiteral("Example"));
    m_example->setAlignment(Qt::AlignCenter);
    m_example->setFrameShape(QFrame::StyledPanel);
    m_example->setFrameShadow(QFrame::Sunken);
    separatorLayout->addWidget(m_example, 2, 0, 1, 2);
    for (QRadioButton* radio : {m_comma, m_period}) {
        connect(radio, &QRadioButton::clicked, this, [this] {
            m_logic.setCommaSeparator(m_comma->isChecked());
            showLiveValues();
        });
    }
    grid->addWidget(separator, r++, 0, 1, 2);

    auto* leiLabel = new QLabel(QStringLiteral("Nr. zecimale dupa virgula pt. pretul in lei :"), page);
    leiLabel->setWordWrap(true);
    grid->addWidget(leiLabel, r, 0);
    grid->addWidget(stepField(page, m_decimalsLei, QStringLiteral("Nr zecimale lei"), 40,
                              [this](bool up) {
                                  m_logic.stepDecimalsLei(up ? 1 : -1);
                                  showLiveValues();
                              }),
                    r++, 1);
    auto* valutaLabel = new QLabel(QStringLiteral("Nr. zecimale dupa virgula pt. pretul in valuta :"), page);
    valutaLabel->setWordWrap(true);
    QWidget* valuta = stepField(page, m_decimalsValuta, QStringLiteral("Nr zecimale valuta"), 40, [this](bool up) {
        m_logic.stepDecimalsValuta(up ? 1 : -1);
        showLiveValues();
    });
    grid->addWidget(valutaLabel, r, 0);
    grid->addWidget(valuta, r++, 1);
    valutaLabel->setVisible(false);
    valuta->setVisible(false);
    grid->setRowStretch(r, 1);
    right->addLayout(grid);
    return page;
}

QWidget* TDefaultDlg::buildVatPage()
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("pageVat"));
    auto* grid = new QGridLayout(page);
    const std::pair<const char*, const char*> rows[] = {
        {"CfTVA", "Coeficientul implicit de TVA (%) :"},
        {"TVAZero", "TVA minim (marfuri scutite de TVA, %):"},
        {"TVAMed", "TVA redus (%):"},
        {"TVAStd", "TVA standard (%):"},
    };
    int r = 0;
    for (const auto& [key, caption] : rows) {
        grid->addWidget(new QLabel(QString::fromUtf8(caption), page), r, 0);
        grid->addWidget(rateBox(key), r++, 1);
    }
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(r, 1);
    return page;
}

QWidget* TDefaultDlg::buildDocumentsPage()
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("pageDocuments"));
    auto* layout = new QVBoxLayout(page);

    auto* countyRow = new QHBoxLayout;
    countyRow->addWidget(new QLabel(QStringLiteral("Initialele judetului (pentru factura,etc.):"), page));
    m_county = new QComboBox(page);
    m_county->setObjectName(QStringLiteral("County"));
    m_county->setEditable(true);
    m_county->addItems(countyInitials());
    m_county->lineEdit()->setMaxLength(common::kCountyCapacity);
    m_county->setFixedWidth(70);
    countyRow->addWidget(m_county);
    countyRow->addStretch(1);
    layout->addLayout(countyRow);

    struct Group {
        const char* caption;
        const char* series;
        const char* first;
        const char* last;
    };
    const Group groups[] = {
        {"Facturi", "SerFact", "FactN1", "FactN2"},
        {"Chitante fiscale", "SerCF", "CFN1", "CFN2"},
        {"Avize de expeditie", "SerAE", "AEN1", "AEN2"},
    };
    auto* row = new QHBoxLayout;
    for (const Group& g : groups) {
        auto* box = new QGroupBox(QString::fromUtf8(g.caption), page);
        auto* grid = new QGridLayout(box);
        auto* series = new QLineEdit(box);
        series->setObjectName(QLatin1String(g.series));
        series->setMaxLength(common::kSeriesCapacity);
        series->setFixedWidth(60);
        m_texts.insert(QLatin1String(g.series), series);
        grid->addWidget(new QLabel(QStringLiteral("Seria:"), box), 0, 0);
        grid->addWidget(series, 0, 1);
        grid->addWidget(new QLabel(QStringLiteral("De la numarul:"), box), 1, 0);
        grid->addWidget(numberBox(g.first), 1, 1);
        grid->addWidget(new QLabel(QStringLiteral("Pîna la numarul:"), box), 2, 0);
        grid->addWidget(numberBox(g.last), 2, 1);
        row->addWidget(box);
    }
    layout->addLayout(row);

    auto* receiptRow = new QHBoxLayout;
    receiptRow->addWidget(new QLabel(QStringLiteral("Primul numar de chitanta:"), page));
    receiptRow->addWidget(numberBox("ChN1"));
    receiptRow->addStretch(1);
    layout->addLayout(receiptRow);
    layout->addWidget(check("PreprintedInvoice", QStringLiteral("Imprima pe facturi si avize standard pretiparite")));
    layout->addStretch(1);
    return page;
}

QWidget* TDefaultDlg::buildJournalsPage()
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("pageJournals"));
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(wrappedLabel(QStringLiteral("Completati simbolurile documentelor, despartite prin punc virgula(;), "
                                                  "simboluri aferente documentelor care doriti sa fie incluse in jurnalele "
                                                  "de cumparari, respectiv vanzari"),
                                   page));
    const std::pair<const char*, const char*> rows[] = {
        {"Include Jurnal Cump", "Include in jurnalul de Cumparari documentele de tipul"},
        {"Include Jurnal Vanz", "Include in jurnalul de Vanzari documentele de tipul"},
    };
    for (const auto& [key, caption] : rows) {
        layout->addWidget(new QLabel(QString::fromUtf8(caption), page));
        auto* edit = new QLineEdit(page);
        edit->setObjectName(QLatin1String(key));
        m_texts.insert(QLatin1String(key), edit);
        layout->addWidget(edit);
    }
    layout->addStretch(1);
    return page;
}

QWidget* TDefaultDlg::buildAccessPage()
{
    // The access levels of Acces.DB; their grid comes with the users' window.
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("pageAccess"));
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(wrappedLabel(QStringLiteral("Se pot defini cite nivele de acces doriti. Titlurile coloanelor "
                                                  "reprezinta optiunile din meniu care pot fi  activate - cu Da sau "
                                                  "dezactivate - cu Nu. Se recomanda ca nivelul de acces 0 sa nu se "
                                                  "modifice."),
                                   page));
    layout->addStretch(1);
    return page;
}

QWidget* TDefaultDlg::buildLayoutsPage()
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("pageLayouts"));
    auto* layout = new QHBoxLayout(page);
    m_invoiceLayout = new QPushButton(QStringLiteral("&Facturi"), page);
    m_noteLayout = new QPushButton(QStringLiteral("&Avize"), page);
    layout->addWidget(m_invoiceLayout);
    layout->addWidget(m_noteLayout);
    layout->addStretch(1);
    return page;
}

// ---- binding ------------------------------------------------------------------

namespace {

// The check boxes and the controls' members, by key.
struct BoolBinding {
    const char* key;
    bool DefaultDlgControls::*member;
};
constexpr BoolBinding kBoolBindings[] = {
    {"CCom", &DefaultDlgControls::CCom},
    {"CLot", &DefaultDlgControls::CLot},
    {"CAutoLot", &DefaultDlgControls::CAutoLot},
    {"CRetetar", &DefaultDlgControls::CRetetar},
    {"CCaloric", &DefaultDlgControls::CCaloric},
    {"CCantStoc", &DefaultDlgControls::CCantStoc},
    {"CGetPret", &DefaultDlgControls::CGetPret},
    {"CPretFaraTva", &DefaultDlgControls::CPretFaraTva},
    {"CValEdit", &DefaultDlgControls::CValEdit},
    {"CGenCod", &DefaultDlgControls::CGenCod},
    {"CSerii", &DefaultDlgControls::CSerii},
    {"CodBare", &DefaultDlgControls::CodBare},
    {"Round TVA", &DefaultDlgControls::roundTva},
    {"Calc TVA", &DefaultDlgControls::calcTva},
    {"Atention", &DefaultDlgControls::Atention},
    {"Check for new version", &DefaultDlgControls::checkForNewVersion},
    {"Backup BD zilnic", &DefaultDlgControls::backupBdZilnic},
    {"PreprintedInvoice", &DefaultDlgControls::PreprintedInvoice},
};

struct TextBinding {
    const char* key;
    QString DefaultDlgControls::*member;
};
constexpr TextBinding kTextBindings[] = {
    {"CFurn", &DefaultDlgControls::CFurn},
    {"CCln", &DefaultDlgControls::CCln},
    {"CCh", &DefaultDlgControls::CCh},
    {"CMf", &DefaultDlgControls::CMf},
    {"CTVA_I", &DefaultDlgControls::CTVA_I},
    {"CTVA_E", &DefaultDlgControls::CTVA_E},
    {"CVen", &DefaultDlgControls::CVen},
    {"CAd", &DefaultDlgControls::CAd},
    {"CAcc", &DefaultDlgControls::CAcc},
    {"SerFact", &DefaultDlgControls::SerFact},
    {"SerCF", &DefaultDlgControls::SerCF},
    {"SerAE", &DefaultDlgControls::SerAE},
    {"Include Jurnal Cump", &DefaultDlgControls::includeJurnalCump},
    {"Include Jurnal Vanz", &DefaultDlgControls::includeJurnalVanz},
};

struct NumberBinding {
    const char* key;
    double DefaultDlgControls::*member;
};
constexpr NumberBinding kNumberBindings[] = {
    {"CfTVA", &DefaultDlgControls::CfTVA},   {"TVAZero", &DefaultDlgControls::TVAZero},
    {"TVAMed", &DefaultDlgControls::TVAMed}, {"TVAStd", &DefaultDlgControls::TVAStd},
    {"FactN1", &DefaultDlgControls::FactN1}, {"FactN2", &DefaultDlgControls::FactN2},
    {"CFN1", &DefaultDlgControls::CFN1},     {"CFN2", &DefaultDlgControls::CFN2},
    {"AEN1", &DefaultDlgControls::AEN1},     {"AEN2", &DefaultDlgControls::AEN2},
    {"ChN1", &DefaultDlgControls::ChN1},
};

} // namespace

void TDefaultDlg::showControls()
{
    const DefaultDlgControls& c = m_logic.controls;
    for (const BoolBinding& b : kBoolBindings)
        m_checks.value(QLatin1String(b.key))->setChecked(c.*b.member);
    for (const TextBinding& b : kTextBindings)
        m_texts.value(QLatin1String(b.key))->setText(c.*b.member);
    for (const NumberBinding& b : kNumberBindings)
        m_numbers.value(QLatin1String(b.key))->setValue(c.*b.member);
    m_currency->setCurrentText(c.CVal);
    m_county->setCurrentText(c.County);
    (c.fetchPrice ? m_fetchPrice : m_calcPrice)->setChecked(true);
    (c.discountGrid ? m_discountGrid : m_sameDiscount)->setChecked(true);
    showPair();
}

void TDefaultDlg::collectControls()
{
    DefaultDlgControls& c = m_logic.controls;
    for (const BoolBinding& b : kBoolBindings)
        c.*b.member = m_checks.value(QLatin1String(b.key))->isChecked();
    for (const TextBinding& b : kTextBindings)
        c.*b.member = m_texts.value(QLatin1String(b.key))->text();
    for (const NumberBinding& b : kNumberBindings) {
        // What was typed, as it stands: a text that is no number is NaN, and
        // the logic refuses it.
        QDoubleSpinBox* box = m_numbers.value(QLatin1String(b.key));
        bool ok = false;
        const double typed = box->locale().toDouble(box->cleanText(), &ok);
        c.*b.member = ok ? typed : std::numeric_limits<double>::quiet_NaN();
    }
    c.CVal = m_currency->currentText();
    c.County = m_county->currentText();
    c.fetchPrice = m_fetchPrice->isChecked();
    c.discountGrid = m_discountGrid->isChecked();
}

void TDefaultDlg::showLiveValues()
{
    const bool comma = m_logic.commaSeparator();
    m_comma->setChecked(comma);
    m_period->setChecked(!comma);
    m_example->setText(m_logic.exampleText());
    m_epsilon->setText(m_logic.epsilonText());
    m_epsilon1->setText(m_logic.epsilon1Text());
    m_decimalsLei->setText(QString::number(m_logic.decimalsLei()));
    m_decimalsValuta->setText(QString::number(m_logic.decimalsValuta()));
    const QLocale locale = numberLocale(comma ? QLatin1Char(',') : QLatin1Char('.'));
    for (QDoubleSpinBox* box : std::as_const(m_numbers)) {
        if (box->locale() == locale)
            continue;
        box->setLocale(locale);
    }
}

void TDefaultDlg::showPair()
{
    QCheckBox* pretFaraTva = m_checks.value(QStringLiteral("CPretFaraTva"));
    QCheckBox* valoarea = m_checks.value(QStringLiteral("CValEdit"));
    pretFaraTva->setChecked(m_logic.controls.CPretFaraTva);
    valoarea->setChecked(m_logic.controls.CValEdit);
    pretFaraTva->setEnabled(m_logic.pretFaraTvaEnabled());
    valoarea->setEnabled(m_logic.valoareaEnabled());
}

// ---- account checks and OK ------------------------------------------------------

bool TDefaultDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        // Only a move inside the dialog counts; a message box or another
        // window taking the focus does not.
        const bool leaving = reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason
                             || reason == Qt::MouseFocusReason || reason == Qt::ShortcutFocusReason;
        QWidget* towards = QApplication::focusWidget();
        // A click on OK checks every account edit itself.
        const bool clickOnOk = towards == m_ok && reason == Qt::MouseFocusReason;
        if (leaving && !clickOnOk && !m_checkingAccount) {
            for (auto it = m_accounts.cbegin(); it != m_accounts.cend(); ++it) {
                if (it.value() == watched) {
                    const auto edit = AccountEdit(it.key());
                    QPointer<QWidget> target = towards;
                    // After the focus has moved: a message box must not open
                    // inside a focus change.
                    QTimer::singleShot(0, this, [this, edit, target] { checkLeftAccount(edit, target); });
                    break;
                }
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TDefaultDlg::checkLeftAccount(AccountEdit edit, QWidget* towards)
{
    if (!isVisible() || m_checkingAccount)
        return;
    QLineEdit* field = accountEdit(edit);
    m_logic.account(edit) = field->text();
    m_checkingAccount = true;
    const bool ok = m_logic.leaveAccount(edit, towards == m_cancel);
    m_checkingAccount = false;
    if (!ok) {
        field->selectAll();
        field->setFocus(Qt::OtherFocusReason);
    }
}

void TDefaultDlg::accept()
{
    collectControls();
    bool accepted = false;
    m_checkingAccount = true; // the OK check speaks for the edits
    runReported(m_dialogs, [&] { accepted = m_logic.accept(); });
    m_checkingAccount = false;
    if (accepted) {
        QDialog::accept();
        return;
    }
    if (const std::optional<QString> failed = m_logic.failedNumber()) {
        QDoubleSpinBox* box = m_numbers.value(*failed);
        for (int i = 0; i < m_pages->count(); ++i)
            if (m_pages->widget(i)->isAncestorOf(box))
                m_pages->setCurrentIndex(i);
        box->selectAll();
        box->setFocus(Qt::OtherFocusReason);
    }
    if (const std::optional<AccountEdit> failed = m_logic.failedAccount()) {
        QLineEdit* field = accountEdit(*failed);
        // An edit this edition hides (client, output VAT) is shown, or its
        // text could never be corrected and OK never pass.
        if (field->isHidden()) {
            m_accountLabels.value(int(*failed))->show();
            field->show();
        }
        m_pages->setCurrentIndex(DefaultsPage);
        field->selectAll();
        field->setFocus(Qt::OtherFocusReason);
    } else if (const std::optional<QString> rate = m_logic.failedRate()) {
        QDoubleSpinBox* box = m_numbers.value(*rate);
        m_pages->setCurrentIndex(VatPage);
        box->selectAll();
        box->setFocus(Qt::OtherFocusReason);
    }
}

} // namespace shell
