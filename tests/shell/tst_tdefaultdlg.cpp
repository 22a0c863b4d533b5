// The parameters dialog and the two small settings dialogs of "Setari": their
// rules with scripted dialogs, the binding of their windows, and how the main
// window loads the parameters and opens the dialogs.

#include <gtest/gtest.h>

#include "shelltest.h"

#include "shell/defaultdlglogic.h"
#include "shell/imgoptdlglogic.h"
#include "shell/refreshdlglogic.h"
#include "shell/tdefaultdlg.h"
#include "shell/timgoptdlg.h"
#include "shell/tmainform.h"
#include "shell/trefreshdlg.h"

#include "datastore/tablecatalog.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <functional>

using namespace shell;
using namespace shelltest;

namespace {

QByteArray contents(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

const QString kAccountWarning = QString::fromUtf8(kAccountFormatMessage);

// The parameters of one database directory, in memory and on disk.
class ParametersFixture {
protected:
    ParametersFixture() { formats.setDecimalSeparator(params.decimalSeparator); } // as after loading

    testsupport::TempDir dir;
    common::Parameters params;
    common::Formats formats;
    common::IniFile appIni{dir.file("mirafel.INI")};
    common::ScriptedDialogs dialogs;

    QString definitionFile() const { return dir.file("TBXDEF.INI"); }
    std::unique_ptr<DefaultDlgLogic> makeLogic()
    {
        return std::make_unique<DefaultDlgLogic>(params, formats, appIni, definitionFile(), dialogs);
    }
};

class DefaultDlgTest : public ::testing::Test, public ParametersFixture {};

} // namespace

// ---- DefaultDlgLogic ----------------------------------------------------------

TEST_F(DefaultDlgTest, PriceWithoutVatAndValueExcludeEachOther)
{
    enum Action { CheckPret, UncheckPret, CheckVal, UncheckVal };
    struct Case {
        const char* name;
        bool startPret, startVal; // the parameters when the dialog opens
        std::vector<Action> actions;
        bool pret, val, pretEnabled, valEnabled;
    };
    const std::vector<Case> cases{
        {"nothing checked", false, false, {}, false, false, true, true},
        {"opens with Pret fara TVA", true, false, {}, true, false, true, false},
        {"opens with Valoarea", false, true, {}, false, true, false, true},
        {"a file with both: Valoarea wins", true, true, {}, false, true, false, true},
        {"checking Pret fara TVA", false, false, {CheckPret}, true, false, true, false},
        {"and unchecking it again", false, false, {CheckPret, UncheckPret}, false, false, true, true},
        {"checking Valoarea", false, false, {CheckVal}, false, true, false, true},
        {"Valoarea unchecks Pret fara TVA", true, false, {UncheckPret, CheckVal}, false, true, false, true},
        {"back and forth", false, false, {CheckVal, UncheckVal, CheckPret}, true, false, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        params.CPretFaraTva = c.startPret;
        params.CValEdit = c.startVal;
        auto logic = makeLogic();
        for (const Action a : c.actions) {
            switch (a) {
            case CheckPret: logic->setPretFaraTva(true); break;
            case UncheckPret: logic->setPretFaraTva(false); break;
            case CheckVal: logic->setValoarea(true); break;
            case UncheckVal: logic->setValoarea(false); break;
            }
        }
        EXPECT_EQ(logic->controls.CPretFaraTva, c.pret);
        EXPECT_EQ(logic->controls.CValEdit, c.val);
        EXPECT_EQ(logic->pretFaraTvaEnabled(), c.pretEnabled);
        EXPECT_EQ(logic->valoareaEnabled(), c.valEnabled);
    }
}

TEST_F(DefaultDlgTest, OkChecksTheSixAccountsInOrderAndStopsAtTheFirst)
{
    const QString bad = "401.1.2.3";
    struct Case {
        const char* name;
        std::vector<AccountEdit> invalid;
        std::optional<AccountEdit> failed;
    };
    const std::vector<Case> cases{
        {"all valid", {}, std::nullopt},
        {"supplier before the others", {AccountEdit::OutputVat, AccountEdit::Supplier, AccountEdit::Goods},
         AccountEdit::Supplier},
        {"the hidden client edit is checked too", {AccountEdit::Client, AccountEdit::Expense}, AccountEdit::Client},
        {"goods before expense", {AccountEdit::Expense, AccountEdit::Goods}, AccountEdit::Goods},
        {"expense before input VAT", {AccountEdit::InputVat, AccountEdit::Expense}, AccountEdit::Expense},
        {"output VAT last", {AccountEdit::OutputVat}, AccountEdit::OutputVat},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(definitionFile());
        dialogs.clear();
        auto logic = makeLogic();
        for (const AccountEdit edit : c.invalid)
            logic->account(edit) = bad;
        logic->controls.CVen = bad; // the other account edits are not checked
        const bool accepted = logic->accept();
        EXPECT_EQ(accepted, !c.failed);
        EXPECT_EQ(logic->failedAccount(), c.failed);
        if (c.failed) {
            EXPECT_EQ(dialogs.texts(), QStringList{kAccountWarning});
            EXPECT_EQ(dialogs.last().icon, common::Icon::Warning);
            EXPECT_FALSE(QFile::exists(definitionFile())); // nothing saved
        } else {
            EXPECT_TRUE(dialogs.texts().isEmpty());
            EXPECT_EQ(common::IniFile(definitionFile()).readString("Default", "CVen"), bad);
        }
    }
}

TEST_F(DefaultDlgTest, LeavingAnAccountEditChecksItUnlessTowardsCancel)
{
    struct Case {
        const char* text;
        bool towardsCancel;
        bool mayLeave;
    };
    const std::vector<Case> cases{
        {"4011", false, true},
        {"", false, true},
        {"401.01.02", false, true},
        {"401.01.02.03", false, false},
        {"12345678901", false, false},
        {"401.01.02.03", true, true},
    };
    auto logic = makeLogic();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        dialogs.clear();
        logic->account(AccountEdit::Goods) = c.text;
        EXPECT_EQ(logic->leaveAccount(AccountEdit::Goods, c.towardsCancel), c.mayLeave);
        EXPECT_EQ(dialogs.texts(), c.mayLeave ? QStringList() : QStringList{kAccountWarning});
    }
}

TEST_F(DefaultDlgTest, StepButtonsKeepTheirLimits)
{
    enum Field { Epsilon, Epsilon1, DecimalsLei, DecimalsValuta };
    struct Case {
        const char* name;
        Field field;
        double start;
        int clicks; // positive: up, negative: down
        double expected;
    };
    const std::vector<Case> cases{
        {"Epsilon down", Epsilon, 0.00001, -1, 0.000001},
        {"Epsilon down to the lower limit", Epsilon, 0.00001, -5, 1e-10},
        {"Epsilon at 1e-10 stays", Epsilon, 1e-10, -1, 1e-10},
        {"Epsilon up", Epsilon, 0.00001, 1, 0.0001},
        {"Epsilon up to 1 exactly", Epsilon, 0.00001, 5, 1},
        {"Epsilon at 1 stays", Epsilon, 1, 3, 1},
        {"Epsilon below 1 goes up once more", Epsilon, 0.5, 2, 5},
        {"Epsilon1 up to 1000", Epsilon1, 0.01, 5, 1000},
        {"Epsilon1 at 1000 stays", Epsilon1, 1000, 1, 1000},
        {"Epsilon1 down to 1e-10", Epsilon1, 0.01, -12, 1e-10},
        // Zero or below, as a hand-written file may leave them: up starts at the lower limit.
        {"Epsilon at 0 up", Epsilon, 0, 2, 1e-9},
        {"Epsilon at 0 down stays", Epsilon, 0, -1, 0},
        {"negative Epsilon1 up", Epsilon1, -0.5, 1, 1e-10},
        {"lei decimals up", DecimalsLei, 2, 3, 5},
        {"lei decimals at 2 stay", DecimalsLei, 2, -1, 2},
        {"lei decimals at 10 stay", DecimalsLei, 9, 4, 10},
        {"currency decimals down to 2", DecimalsValuta, 4, -5, 2},
        {"currency decimals at 10 stay", DecimalsValuta, 10, 1, 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        params = common::Parameters();
        switch (c.field) {
        case Epsilon: params.Epsilon = c.start; break;
        case Epsilon1: params.Epsilon1 = c.start; break;
        case DecimalsLei: params.nrZecimaleLei = int(c.start); break;
        case DecimalsValuta: params.nrZecimaleValuta = int(c.start); break;
        }
        auto logic = makeLogic();
        for (int i = 0; i < std::abs(c.clicks); ++i) {
            const bool up = c.clicks > 0;
            switch (c.field) {
            case Epsilon: logic->stepEpsilon(up); break;
            case Epsilon1: logic->stepEpsilon1(up); break;
            case DecimalsLei: logic->stepDecimalsLei(up ? 1 : -1); break;
            case DecimalsValuta: logic->stepDecimalsValuta(up ? 1 : -1); break;
            }
        }
        const double value = c.field == Epsilon    ? params.Epsilon
                             : c.field == Epsilon1 ? params.Epsilon1
                             : c.field == DecimalsLei ? params.nrZecimaleLei
                                                      : params.nrZecimaleValuta;
        EXPECT_EQ(value, c.expected); // exactly: the steps land on the limits
    }

    params = common::Parameters();
    params.Epsilon = 1e-10;
    auto logic = makeLogic();
    EXPECT_EQ(logic->epsilonText(), "0.0000000001");
    logic->setCommaSeparator(true);
    EXPECT_EQ(logic->epsilonText(), "0,0000000001");
    EXPECT_EQ(logic->epsilon1Text(), "0,01");
}

TEST_F(DefaultDlgTest, CancelAfterASeparatorSwitchKeepsItButLeavesTheFileUnchanged)
{
    common::SaveParameters(params, appIni, definitionFile());
    const QByteArray saved = contents(definitionFile());
    formats.setDecimalSeparator('.');

    auto logic = makeLogic();
    EXPECT_FALSE(logic->commaSeparator());
    EXPECT_EQ(logic->exampleText(), "12,345.67");
    logic->setCommaSeparator(true);
    logic->stepEpsilon(true);
    EXPECT_EQ(logic->exampleText(), "12.345,67");
    logic->controls.CLot = true; // reaches the parameters only with OK
    logic.reset();               // "Renunta"

    EXPECT_EQ(params.decimalSeparator, QChar(','));
    EXPECT_EQ(formats.decimalSeparator, QChar(','));
    EXPECT_EQ(formats.thousandSeparator, QChar('.'));
    EXPECT_EQ(params.Epsilon, 0.0001);
    EXPECT_FALSE(params.CLot);
    EXPECT_EQ(contents(definitionFile()), saved);

    // The next OK writes them.
    auto again = makeLogic();
    EXPECT_TRUE(again->commaSeparator());
    ASSERT_TRUE(again->accept());
    const common::IniFile file(definitionFile());
    EXPECT_EQ(file.readString("Default", "Decimal separator"), "Coma");
    EXPECT_EQ(file.readString("Default", "Epsilon"), "0,0001");
}

TEST_F(DefaultDlgTest, OkCopiesTheControlsIntoTheParametersAndSaves)
{
    auto logic = makeLogic();
    DefaultDlgControls& c = logic->controls;
    EXPECT_EQ(c.CFurn, "401");
    EXPECT_TRUE(c.fetchPrice);
    c.CLot = true;
    c.CfTVA = -5;
    c.TVAMed = 5;
    c.CVal = "EURO1";
    c.County = "CJXYZ";
    c.SerFact = "SERIE";
    c.FactN2 = 999;
    c.fetchPrice = false;
    c.discountGrid = true;
    c.checkForNewVersion = false;
    ASSERT_TRUE(logic->accept());

    EXPECT_TRUE(params.CLot);
    EXPECT_EQ(params.CfTVA, 0.0);
    EXPECT_EQ(params.TVAMed, 5.0);
    EXPECT_EQ(params.CVal, "EURO");
    EXPECT_EQ(params.County, "CJXY");
    EXPECT_EQ(params.SerFact, "SERI");
    EXPECT_EQ(params.SellPrice, common::SellPriceMode::Calc);
    EXPECT_TRUE(params.GrilaCalculDisc);
    EXPECT_FALSE(params.checkForNewVersion);

    const common::IniFile file(definitionFile());
    EXPECT_EQ(file.readString("Default", "CfTVA"), "0");
    EXPECT_EQ(file.readString("Default", "TVAMed"), "5");
    EXPECT_EQ(file.readString("Default", "SellPrice"), "Calc");
    EXPECT_EQ(file.readString("Series", "FactN2"), "999");
    EXPECT_EQ(common::IniFile(appIni.path()).readString("Options", "Check for new version"), "0");
}

TEST_F(DefaultDlgTest, CurrenciesComeFromValutaInKeyOrder)
{
    datastore::Database db("TSTOCK");
    db.setDirectory(dir.path());
    db.createTable(*datastore::findTableDef("Valuta.db"));
    for (const char* code : {"USD", "EUR", "CHF"})
        db.exec("INSERT INTO Valuta (Moneda) VALUES (:M)", {{"M", code}});
    EXPECT_EQ(DefaultDlgLogic::currencies(db), (QStringList{"CHF", "EUR", "USD"}));
}

// ---- TDefaultDlg ----------------------------------------------------------------

TEST_F(DefaultDlgTest, WindowShowsAndHandsBackTheControls)
{
    params.CLot = true;
    params.CPretFaraTva = true;
    params.County = "CJ";
    params.ChN1 = 42;
    auto logic = makeLogic();
    TDefaultDlg dialog(*logic, {"EUR", "USD"}, dialogs);

    EXPECT_EQ(dialog.windowTitle(), "Optiuni");
    QTabWidget* pages = dialog.pages();
    ASSERT_EQ(pages->count(), 7);
    const QStringList shownPages{"&Valori implicite", "&Optiuni de &calcul", "Coeficienti &TVA", "Documente"};
    for (int i = 0; i < pages->count(); ++i) {
        EXPECT_EQ(pages->isTabVisible(i), i < 4) << i;
        if (i < 4) {
            EXPECT_EQ(pages->tabText(i), shownPages.at(i));
        }
    }
    auto* lot = dialog.findChild<QCheckBox*>("CLot");
    auto* pret = dialog.findChild<QCheckBox*>("CPretFaraTva");
    auto* val = dialog.findChild<QCheckBox*>("CValEdit");
    ASSERT_TRUE(lot && pret && val);
    EXPECT_TRUE(lot->isChecked());
    EXPECT_TRUE(pret->isChecked());
    EXPECT_FALSE(val->isEnabled());
    EXPECT_TRUE(dialog.findChild<QCheckBox*>("CCom")->isHidden());
    EXPECT_FALSE(dialog.findChild<QCheckBox*>("CGenCod")->isHidden());
    EXPECT_EQ(dialog.findChild<QDoubleSpinBox*>("ChN1")->value(), 42);
    EXPECT_EQ(dialog.exampleLabel()->text(), "12,345.67");

    // The pair and the separator act in the window as in the logic.
    pret->click();
    EXPECT_TRUE(val->isEnabled());
    val->click();
    EXPECT_FALSE(pret->isEnabled());
    dialog.findChild<QRadioButton*>("Coma")->click();
    EXPECT_EQ(dialog.exampleLabel()->text(), "12.345,67");
    EXPECT_EQ(dialog.findChild<QLineEdit*>("Epsilon")->text(), "0,00001");
    EXPECT_EQ(dialog.findChild<QDoubleSpinBox*>("CfTVA")->text(), "19,00");
    dialog.findChild<QToolButton*>("EpsilonUp")->click();
    EXPECT_EQ(dialog.findChild<QLineEdit*>("Epsilon")->text(), "0,0001");

    // A wrong supplier account keeps the window open on that edit.
    dialog.accountEdit(AccountEdit::Supplier)->setText("4.0.1.1");
    dialog.findChild<QDoubleSpinBox*>("CfTVA")->setValue(5.5);
    lot->setChecked(false);
    pages->setCurrentIndex(TDefaultDlg::VatPage);
    dialog.okButton()->click();
    EXPECT_EQ(dialogs.texts(), QStringList{kAccountWarning});
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(pages->currentIndex(), int(TDefaultDlg::DefaultsPage));
    EXPECT_EQ(dialog.accountEdit(AccountEdit::Supplier)->selectedText(), "4.0.1.1");
    EXPECT_FALSE(QFile::exists(definitionFile()));

    // A rate with decimals is refused: the file keeps whole rates, and what
    // is used is what is kept.
    dialogs.clear();
    dialog.accountEdit(AccountEdit::Supplier)->setText("4011");
    dialog.okButton()->click();
    EXPECT_EQ(dialogs.texts(), QStringList{QString::fromUtf8(kWholeRateMessage)});
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(pages->currentIndex(), int(TDefaultDlg::VatPage));
    EXPECT_EQ(params.CfTVA, 19.0);
    EXPECT_FALSE(QFile::exists(definitionFile()));
    dialog.findChild<QDoubleSpinBox*>("CfTVA")->setValue(6);
    dialog.okButton()->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(params.CfTVA, 6.0);
    const common::IniFile file(definitionFile());
    EXPECT_EQ(file.readString("Default", "CFurn"), "4011");
    EXPECT_EQ(file.readString("Default", "CLot"), "0");
    EXPECT_EQ(file.readString("Default", "CValEdit"), "1");
    EXPECT_EQ(file.readString("Default", "CPretFaraTva"), "0");
    EXPECT_EQ(file.readString("Default", "CfTVA"), "6");
    EXPECT_EQ(file.readString("Default", "County"), "CJ");
    EXPECT_EQ(file.readString("Default", "CVal"), "USD");
    EXPECT_EQ(file.readString("Default", "Epsilon"), "0,0001");
    EXPECT_EQ(file.readString("Series", "ChN1"), "42");
}

// A number outside its box's range is shown as it is and refused by OK with a
// warning, the window open on its box; nothing is brought into range unseen.
TEST_F(DefaultDlgTest, WindowRefusesNumbersOutsideTheirRange)
{
    struct Case {
        const char* key;
        const char* typed;
        bool accepted;
        const char* warning;
        TDefaultDlg::Page page;
    };
    const std::vector<Case> cases{
        {"ChN1", "123456789", false, "Primul numar de chitanta: introduceti un numar intreg de la 0 la 99999999!",
         TDefaultDlg::DocumentsPage},
        {"FactN1", "-5", false, "Facturi, de la numarul: introduceti un numar intreg de la 0 la 9999999999!",
         TDefaultDlg::DocumentsPage},
        {"AEN2", "10000000000", false,
         "Avize de expeditie, pîna la numarul: introduceti un numar intreg de la 0 la 9999999999!",
         TDefaultDlg::DocumentsPage},
        {"CfTVA", "5000", false, "Coeficientul implicit de TVA (%): introduceti un numar de la -999 la 999!",
         TDefaultDlg::VatPage},
        {"AEN2", "9999999999", true, "", TDefaultDlg::DocumentsPage},
        {"ChN1", "99999999", true, "", TDefaultDlg::DocumentsPage},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.key) + "=" + c.typed);
        dialogs.clear();
        QFile::remove(definitionFile());
        auto logic = makeLogic();
        TDefaultDlg dialog(*logic, {"EUR", "USD"}, dialogs);
        auto* box = dialog.findChild<QDoubleSpinBox*>(c.key);
        ASSERT_TRUE(box);
        box->selectAll();
        QTest::keyClicks(box, c.typed);
        dialog.pages()->setCurrentIndex(TDefaultDlg::OptionsPage);
        dialog.okButton()->click();
        if (c.accepted) {
            EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.texts().join(" | ").toStdString();
            EXPECT_EQ(dialog.result(), QDialog::Accepted);
            EXPECT_EQ(common::IniFile(definitionFile()).readString("Series", c.key), c.typed);
            continue;
        }
        EXPECT_EQ(dialogs.texts(), QStringList{QString::fromUtf8(c.warning)});
        EXPECT_EQ(dialogs.last().icon, common::Icon::Warning);
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
        EXPECT_EQ(dialog.pages()->currentIndex(), int(c.page));
        EXPECT_EQ(box->text(), c.typed); // shown as typed, not brought into range
        EXPECT_FALSE(QFile::exists(definitionFile()));
    }

    // A value in memory outside a box's range is shown as it is, and OK refuses it too.
    dialogs.clear();
    QFile::remove(definitionFile());
    params.ChN1 = 123456789;
    auto logic = makeLogic();
    TDefaultDlg dialog(*logic, {"EUR", "USD"}, dialogs);
    EXPECT_EQ(dialog.findChild<QDoubleSpinBox*>("ChN1")->value(), 123456789.0);
    dialog.okButton()->click();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(dialogs.texts().size(), 1);
    EXPECT_FALSE(QFile::exists(definitionFile()));
}

TEST_F(DefaultDlgTest, WindowShowsAHiddenAccountEditThatOkRefuses)
{
    // The client and output VAT edits are hidden in this edition; a wrong
    // value from the file must still be correctable, or OK never passes.
    struct Case {
        AccountEdit edit;
        QString common::Parameters::*member;
        const char* key;
    };
    const std::vector<Case> cases{
        {AccountEdit::Client, &common::Parameters::CCln, "CCln"},
        {AccountEdit::OutputVat, &common::Parameters::CTVA_E, "CTVA_E"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        dialogs.clear();
        QFile::remove(definitionFile());
        params = common::Parameters();
        params.*c.member = "4.1.1.1";
        auto logic = makeLogic();
        TDefaultDlg dialog(*logic, {}, dialogs);
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        QLineEdit* field = dialog.accountEdit(c.edit);
        EXPECT_TRUE(field->isHidden());

        dialog.okButton()->click();
        EXPECT_EQ(dialogs.texts(), QStringList{kAccountWarning});
        EXPECT_TRUE(field->isVisible());
        EXPECT_EQ(field->selectedText(), "4.1.1.1");
        EXPECT_FALSE(QFile::exists(definitionFile()));

        field->setText("4111");
        dialog.okButton()->click();
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_EQ(common::IniFile(definitionFile()).readString("Default", c.key), "4111");
    }
}

TEST_F(DefaultDlgTest, WindowChecksAnAccountEditWhenTheFocusLeavesIt)
{
    struct Case {
        const char* name;
        const char* text;
        bool towardsCancel;
        bool warned;
    };
    const std::vector<Case> cases{
        {"a wrong account, on to the next edit", "4.0.1.1", false, true},
        {"a wrong account, on to Renunta", "4.0.1.1", true, false},
        {"a right account", "401.1", false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dialogs.clear();
        auto logic = makeLogic();
        TDefaultDlg dialog(*logic, {}, dialogs);
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        QLineEdit* supplier = dialog.accountEdit(AccountEdit::Supplier);
        supplier->setFocus(Qt::TabFocusReason);
        supplier->setText(c.text);
        if (c.towardsCancel)
            dialog.cancelButton()->setFocus(Qt::MouseFocusReason);
        else
            dialog.accountEdit(AccountEdit::Expense)->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
        EXPECT_EQ(dialogs.texts(), c.warned ? QStringList{kAccountWarning} : QStringList());
        if (c.warned) {
            EXPECT_TRUE(supplier->hasFocus());
            EXPECT_EQ(supplier->selectedText(), c.text);
        }
    }
}

// ---- refresh interval and images ------------------------------------------------

TEST_F(DefaultDlgTest, RefreshIntervalTakesEffectAtOnceAndIsKept)
{
    struct Case {
        int current;
        int opensWith;
        int chosen;
        int timerMs;
    };
    const std::vector<Case> cases{{30, 30, 45, 45000}, {45, 45, 0, 0}, {5000, 1000, 1000, 1000000}, {-3, 0, 7, 7000}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.current);
        params.Refresh = c.current;
        std::optional<int> timer;
        RefreshDlgLogic logic(params, appIni, [&](int ms) { timer = ms; });
        EXPECT_EQ(logic.seconds, c.opensWith);
        logic.seconds = c.chosen;
        logic.accept();
        EXPECT_EQ(timer, c.timerMs);
        EXPECT_EQ(params.Refresh, c.chosen);
        EXPECT_EQ(common::IniFile(appIni.path()).readInteger("Options", "Refresh", -1), c.chosen);
    }
}

TEST(ImgOptDlg, PreviewKeepsProportionsAndFitsTheArea)
{
    const QSize area(180, 180);
    const std::vector<std::pair<QSize, QSize>> cases{
        {{100, 50}, {100, 50}}, {{180, 180}, {180, 180}}, {{400, 200}, {180, 90}},
        {{200, 400}, {90, 180}}, {{181, 10}, {180, 9}},
    };
    for (const auto& [picture, expected] : cases)
        EXPECT_EQ(ImgOptDlgLogic::fitSize(picture, area), expected) << picture.width() << "x" << picture.height();
}

TEST_F(DefaultDlgTest, ImageOptionsChooseOnePicturePerItem)
{
    const QString header = dir.file("antet.BMP");
    QImage(400, 200, QImage::Format_RGB32).save(header, "BMP");
    const QString broken = dir.file("stricat.BMP");
    writeFile(broken, "nu este o imagine");
    const QString missing = dir.file("lipsa/fundal.bmp");
    appIni.writeString("Options", "ImageHeader", missing);

    ImgOptDlgLogic logic(params, appIni, dialogs);
    logic.open();
    EXPECT_EQ(dialogs.texts(), QStringList{"Fisierul <" + missing + "> este inaccesibil!"});
    EXPECT_EQ(dialogs.last().icon, common::Icon::Error);
    EXPECT_FALSE(logic.previewVisible());

    dialogs.clear();
    logic.chooseFile(header);
    EXPECT_TRUE(logic.previewVisible());
    EXPECT_EQ(logic.preview().size(), QSize(180, 90));
    EXPECT_EQ(logic.path(ImgOptDlgLogic::Item::Header), header);

    logic.chooseFile(broken); // hides the preview, beeps, keeps the picture
    EXPECT_FALSE(logic.previewVisible());
    EXPECT_EQ(dialogs.beeps, 1);
    EXPECT_EQ(logic.path(ImgOptDlgLogic::Item::Header), header);

    logic.selectItem(ImgOptDlgLogic::Item::Background); // no picture yet
    EXPECT_FALSE(logic.previewVisible());
    logic.selectItem(ImgOptDlgLogic::Item::Header);     // the list points at it again
    EXPECT_TRUE(logic.previewVisible());
    EXPECT_EQ(logic.listFile(), header);
    EXPECT_EQ(logic.listDirectory(), dir.path());
    EXPECT_TRUE(dialogs.texts().isEmpty());

    logic.accept();
    const common::IniFile saved(appIni.path());
    EXPECT_EQ(saved.readString("Options", "ImageHeader"), header);
    EXPECT_EQ(saved.readString("Options", "ImageBackground"), "");
    EXPECT_EQ(params.ImageHeader, header);
}

// ---- the main window ------------------------------------------------------------

TEST(ParametersInTheMainWindow, LoadedWithTheDatabase)
{
    struct Case {
        const char* name;
        QByteArray file;
        bool started;
        bool convertVisible;
        bool convertEnabled;
        QChar separator;
    };
    const std::vector<Case> cases{
        {"no definition file", {}, true, true, true, '.'},
        {"converted database with comma",
         "[Permision]\r\nConversie la RON=1\r\n[Default]\r\nDecimal separator=Coma\r\nCLot=1\r\n", true, false,
         false, ','},
        // The item keeps the state of the command table: hidden, enabled.
        {"a series number that is not a number stops the start-up",
         "[Default]\r\nDecimal separator=Coma\r\nCLot=1\r\n[Series]\r\nFactN1=x\r\n", false, false, true, ','},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ContextFixture fx;
        const QString dbDir = fx.newDir("baza");
        if (!c.file.isEmpty())
            writeFile(dbDir + "/TBXDEF.INI", c.file);
        fx.settings.setValue("LastDatabaseDir", dbDir);
        TMainForm form(*fx.ctx);
        EXPECT_EQ(form.startUp(), c.started) << fx.dialogs.texts().join(" | ").toStdString();
        if (!c.started) {
            EXPECT_EQ(form.logic().failedStep(), 9);
            EXPECT_TRUE(fx.dialogs.last().text.contains("FactN1")) << fx.dialogs.last().text.toStdString();
        }
        EXPECT_EQ(fx.ctx->formats.decimalSeparator, c.separator);
        EXPECT_EQ(fx.ctx->parameters.CLot, !c.file.isEmpty());
        QAction* convert = form.action(CommandId::ConvertToRon);
        EXPECT_EQ(convert->isVisible(), c.convertVisible);
        EXPECT_EQ(TMainForm::isItemEnabled(convert), c.convertEnabled);
    }
}

TEST(ParametersInTheMainWindow, CommandsOpenTheDialogs)
{
    ContextFixture fx;
    fx.ctx->ini.writeInteger("Options", "Refresh", 20);
    TMainForm form(*fx.ctx);

    // "Interval de actualizare": 12 seconds, then OK.
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<TRefreshDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->secondsBox()->value(), 20);
        dialog->secondsBox()->setValue(12);
        dialog->okButton()->click();
    });
    form.runCommand(CommandId::RefreshInterval);
    EXPECT_EQ(form.refreshTimer().interval(), 12000);
    EXPECT_TRUE(form.refreshTimer().isActive());
    EXPECT_EQ(fx.ctx->ini.readInteger("Options", "Refresh", 0), 12);

    // "&Imagini...": opens on the (empty) pictures and closes with "Renunta".
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<TImgOptDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        EXPECT_TRUE(dialog->headerRadio()->isChecked());
        dialog->reject();
    });
    form.runCommand(CommandId::Images);

    // "Parametri aplicatiei" with the database open: "Optiuni", OK.
    const QString dbDir = fx.newDir("baza");
    fx.settings.setValue("LastDatabaseDir", dbDir);
    ASSERT_TRUE(form.startUp()) << fx.dialogs.texts().join(" | ").toStdString();
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<TDefaultDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->findChild<QCheckBox*>("CLot")->setChecked(true);
        dialog->okButton()->click();
    });
    form.runCommand(CommandId::Parameters);
    EXPECT_TRUE(fx.ctx->parameters.CLot);
    EXPECT_EQ(common::IniFile(dbDir + "/TBXDEF.INI").readString("Default", "CLot"), "1");
}

// ---- pictures for a look by eye --------------------------------------------------

TEST_F(DefaultDlgTest, Screenshots)
{
    const QString shots = qEnvironmentVariable("MIRAFEL_SHOTS_DIR");
    if (shots.isEmpty())
        GTEST_SKIP() << "MIRAFEL_SHOTS_DIR not set";
    QDir().mkpath(shots);
    const auto save = [&](QWidget& w, const QString& name) {
        w.show();
        QApplication::processEvents();
        EXPECT_TRUE(w.grab().save(QDir(shots).filePath(name))) << name.toStdString();
    };

    auto logic = makeLogic();
    TDefaultDlg dialog(*logic, {"EUR", "USD"}, dialogs);
    const char* names[] = {"params_defaults.png", "params_options.png", "params_vat.png", "params_documents.png"};
    for (int page = 0; page < 4; ++page) {
        dialog.pages()->setCurrentIndex(page);
        save(dialog, names[page]);
    }

    RefreshDlgLogic refresh(params, appIni, {});
    TRefreshDlg refreshDialog(refresh, dialogs);
    save(refreshDialog, "refresh.png");

    const QString picture = dir.file("antet.BMP");
    QImage image(300, 160, QImage::Format_RGB32);
    image.fill(QColor(70, 110, 150));
    image.save(picture, "BMP");
    appIni.writeString("Options", "ImageHeader", picture);
    ImgOptDlgLogic images(params, appIni, dialogs);
    TImgOptDlg imagesDialog(images, dialogs);
    save(imagesDialog, "images.png");
}

TEST(ParametersInTheMainWindow, NoDialogWithoutAnOpenDatabase)
{
    ContextFixture fx;
    TMainForm form(*fx.ctx);
    bool opened = false;
    QTimer::singleShot(0, [&] {
        if (QWidget* w = QApplication::activeModalWidget()) {
            opened = true;
            w->close();
        }
    });
    form.runCommand(CommandId::Parameters);
    QApplication::processEvents();
    EXPECT_FALSE(opened);
    ASSERT_EQ(fx.dialogs.messages.size(), 1); // the storage's error: no database is open
    EXPECT_EQ(fx.dialogs.last().icon, common::Icon::Error);
}

TEST_F(DefaultDlgTest, VatRatesAreWholeNumbersInMemoryAsInTheFile)
{
    const struct {
        double typed;
        bool accepted;
        double used;
        const char* stored;
    } cases[] = {
        {21.5, false, 19, nullptr}, {0.1, false, 19, nullptr}, {21, true, 21, "21"},
        {-5, true, 0, "0"},         {0, true, 0, "0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        QFile::remove(definitionFile());
        params.CfTVA = 19;
        dialogs.clear();
        auto logic = makeLogic();
        logic->controls.CfTVA = c.typed;
        EXPECT_EQ(logic->accept(), c.accepted);
        EXPECT_EQ(params.CfTVA, c.used);
        if (c.accepted) {
            EXPECT_TRUE(dialogs.messages.isEmpty());
            EXPECT_EQ(common::IniFile(definitionFile()).readString("Default", "CfTVA"), c.stored);
        } else {
            EXPECT_EQ(dialogs.texts(), QStringList{QString::fromUtf8(kWholeRateMessage)});
            EXPECT_EQ(logic->failedRate(), "CfTVA");
            EXPECT_FALSE(QFile::exists(definitionFile()));
        }
    }
    // Each of the four rates is checked.
    for (double DefaultDlgControls::*rate : {&DefaultDlgControls::TVAZero, &DefaultDlgControls::TVAMed,
                                             &DefaultDlgControls::TVAStd}) {
        dialogs.clear();
        auto logic = makeLogic();
        logic->controls.*rate = 9.5;
        EXPECT_FALSE(logic->accept());
        EXPECT_EQ(dialogs.texts(), QStringList{QString::fromUtf8(kWholeRateMessage)});
    }
}
