#include "common/parameters.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <functional>
#include <limits>
#include <ostream>

using common::EParameters;
using common::Formats;
using common::IniFile;
using common::LoadParameters;
using common::Parameters;
using common::SaveParameters;
using common::SellPriceMode;

inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace {

QByteArray contents(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// The values another database left in memory before a switch.
Parameters otherDatabase()
{
    Parameters p;
    p.CLot = true;
    p.CVal = "EUR";
    p.CFurn = "4011";
    p.CfTVA = 9;
    p.roundTva = false;
    p.calcTva = true;
    p.decimalSeparator = ',';
    p.CodProdusPeFact = false;
    p.SellPrice = SellPriceMode::Calc;
    p.FirmNo = 5;
    p.conversieLaRon = "1";
    p.Epsilon = 0.001;
    p.SerFact = "AB";
    p.FactN1 = 10;
    p.nrZecimaleLei = 4;
    return p;
}

class ParametersTest : public ::testing::Test {
protected:
    QString definitionFile() const { return dir.file("TBXDEF.INI"); }

    testsupport::TempDir dir;
};

} // namespace

TEST_F(ParametersTest, LoadCases)
{
    struct Check {
        const char* key;
        QVariant expected;
    };
    struct Case {
        const char* name;
        const char* file; // nullptr: no TBXDEF.INI
        bool afterOtherDatabase;
        std::vector<Check> checks;
        bool convertToRonVisible = true;
        QChar decimalSeparator = '.';
    };
    const std::vector<Case> cases{
        {"no file at the first opening: built-in values", nullptr, false,
         {{"CLot", false}, {"CVal", "USD"}, {"CFurn", "401"}, {"CCln", "411"}, {"CCh", "607"}, {"CMf", "371"},
          {"CTVA_I", "4426"}, {"CTVA_E", "4427"}, {"CVen", "707"}, {"CAd", "378"}, {"CAcc", "446"},
          {"CfTVA", 19.0}, {"TVAZero", 0.0}, {"TVAMed", 11.0}, {"TVAStd", 19.0}, {"Decimal separator", "Period"},
          {"Round TVA", true}, {"Calc TVA", false}, {"Include Jurnal Cump", "AE;FCT"},
          {"Include Jurnal Vanz", "AE;FCT"}, {"SellPrice", "Fetch"}, {"County", "MS"}, {"Nr zecimale valuta", 2},
          {"Nr zecimale lei", 2}, {"Epsilon", 0.00001}, {"Epsilon1", 0.01}, {"FirmNo", 0},
          {"CodProdusPeFact", true}, {"SerFact", ""}, {"FactN1", 0.0}, {"Conversie la RON", ""}}},
        {"no file after another database: its values stay, except the fixed ones", nullptr, true,
         {{"CLot", true}, {"CVal", "EUR"}, {"CFurn", "4011"}, {"CfTVA", 9.0}, {"Epsilon", 0.001},
          {"SerFact", "AB"}, {"FactN1", 10.0}, {"Nr zecimale lei", 4},
          // fixed when absent
          {"Round TVA", true}, {"Calc TVA", false}, {"Decimal separator", "Period"}, {"CodProdusPeFact", true},
          {"SellPrice", "Fetch"}, {"FirmNo", 0}, {"Conversie la RON", ""}}},
        {"present keys are read, absent ones stay",
         "[Default]\r\nCLot=0\r\nCCh=6028\r\nCfTVA=24\r\nRound TVA=0\r\nFirmNo=2\r\n"
         "[Series]\r\nFactN2=500\r\n[Permision]\r\nConversie la RON=1\r\n",
         true,
         {{"CLot", false}, {"CCh", "6028"}, {"CfTVA", 24.0}, {"Round TVA", false}, {"FirmNo", 2},
          {"FactN2", 500.0}, {"Conversie la RON", "1"},
          {"CVal", "EUR"}, {"CFurn", "4011"}, {"SerFact", "AB"}, {"FactN1", 10.0}},
         false},
        {"texts are cut to their capacities",
         "[Default]\r\nCVal=EURO1\r\nCFurn=4011.1234.567\r\nCTVA_E=4427\r\nCounty=MSXYZ\r\n"
         "Include Jurnal Cump=AE;FCT;BT;BMC;NIR\r\n[Series]\r\nSerFact=ABCDE\r\nSerAE=X\r\n",
         false,
         {{"CVal", "EURO"}, {"CFurn", "4011.1234.56"}, {"CTVA_E", "4427"}, {"County", "MSXY"},
          {"Include Jurnal Cump", "AE;FCT;BT;BMC;NIR"}, {"SerFact", "ABCD"}, {"SerAE", "X"}}},
        {"values that are not numbers count as absent",
         "[Default]\r\nCLot=da\r\nCGenCod=2\r\nRound TVA=nu\r\nCodProdusPeFact=x\r\nCfTVA=9.5\r\n"
         "Nr zecimale lei=patru\r\nEpsilon=mic\r\nFirmNo=unu\r\n",
         true,
         {{"CLot", true}, {"CGenCod", true}, {"Round TVA", true}, {"CodProdusPeFact", true}, {"CfTVA", 9.0},
          {"Nr zecimale lei", 4}, {"Epsilon", 0.001}, {"FirmNo", 0}}},
        {"decimals are kept within 2..10", "[Default]\r\nNr zecimale lei=12\r\nNr zecimale valuta=0\r\n", false,
         {{"Nr zecimale lei", 10}, {"Nr zecimale valuta", 2}}},
        {"comma separator: numbers after it read with it",
         "[Default]\r\nDecimal separator=Coma\r\nEpsilon=0,001\r\nEpsilon1=0,5\r\n[Series]\r\nChN1=1234\r\n", false,
         {{"Decimal separator", "Coma"}, {"Epsilon", 0.001}, {"Epsilon1", 0.5}, {"ChN1", 1234.0}},
         true, ','},
        {"period separator: a comma no longer reads as the decimal point",
         "[Default]\r\nDecimal separator=Period\r\nEpsilon=1E-4\r\nEpsilon1=2,5\r\n", true,
         {{"Decimal separator", "Period"}, {"Epsilon", 0.0001}, {"Epsilon1", 0.01}}},
        {"an unknown separator name means period", "[Default]\r\nDecimal separator=Virgula\r\n", true,
         {{"Decimal separator", "Period"}}},
        {"conversion marker other than 1", "[Permision]\r\nConversie la RON=Da\r\n", true,
         {{"Conversie la RON", "Da"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(definitionFile());
        if (c.file)
            writeFile(definitionFile(), c.file);
        Parameters p = c.afterOtherDatabase ? otherDatabase() : Parameters();
        Formats formats; // the regional formats: ',' decimal separator
        const common::LoadedParameters loaded = LoadParameters(p, formats, definitionFile());
        for (const Check& check : c.checks)
            EXPECT_EQ(p.value(check.key), check.expected) << check.key;
        EXPECT_EQ(loaded.convertToRonVisible, c.convertToRonVisible);
        EXPECT_EQ(formats.decimalSeparator, c.decimalSeparator);
        EXPECT_EQ(formats.thousandSeparator, c.decimalSeparator == ',' ? QChar('.') : QChar(','));
        EXPECT_EQ(p.decimalSeparator, c.decimalSeparator);
    }
}

TEST_F(ParametersTest, SellPriceIsFetchOnlyForFetchInAnyCase)
{
    const std::vector<std::pair<const char*, SellPriceMode>> cases{
        {"Fetch", SellPriceMode::Fetch}, {"FETCH", SellPriceMode::Fetch}, {"fetch", SellPriceMode::Fetch},
        {"fEtCh", SellPriceMode::Fetch}, {"Calc", SellPriceMode::Calc},   {"CALC", SellPriceMode::Calc},
        {"calc", SellPriceMode::Calc},   {"Pret", SellPriceMode::Calc},   {"", SellPriceMode::Calc},
    };
    for (const auto& [text, expected] : cases) {
        writeFile(definitionFile(), QByteArray("[Default]\r\nSellPrice=") + text + "\r\n");
        Parameters p;
        Formats formats;
        LoadParameters(p, formats, definitionFile());
        EXPECT_EQ(p.SellPrice, expected) << text;
    }
}

TEST_F(ParametersTest, ASeriesNumberThatIsNotANumberStopsTheLoading)
{
    struct Case {
        const char* separator;
        const char* text;
    };
    const std::vector<Case> cases{
        {"Period", "12a"},
        {"Period", ""},
        {"Period", "1,5"}, // ',' is not the decimal separator here
        {"Coma", "1.2.3"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        writeFile(definitionFile(), QByteArray("[Default]\r\nCLot=1\r\nDecimal separator=") + c.separator
                                        + "\r\nEpsilon=0,5\r\n[Series]\r\nSerFact=FF\r\nFactN1=7\r\nFactN2=" + c.text
                                        + "\r\nSerCF=CF\r\n[Permision]\r\nConversie la RON=1\r\n");
        Parameters p;
        Formats formats;
        try {
            LoadParameters(p, formats, definitionFile());
            ADD_FAILURE() << "loaded";
        } catch (const EParameters& e) {
            EXPECT_TRUE(e.message().contains("FactN2")) << e.what();
            EXPECT_TRUE(e.message().contains(QString("\"%1\"").arg(c.text))) << e.what();
        }
        // Read before the failure...
        EXPECT_TRUE(p.CLot);
        EXPECT_EQ(p.SerFact, "FF");
        EXPECT_EQ(p.FactN1, 7.0);
        EXPECT_EQ(formats.decimalSeparator, QString(c.separator) == "Coma" ? QChar(',') : QChar('.'));
        // ... and not after it.
        EXPECT_EQ(p.SerCF, "");
        EXPECT_EQ(p.Epsilon, 0.00001);
        EXPECT_EQ(p.conversieLaRon, "");
    }
}

// A series number is a whole number in its range, read back exactly as it
// was written: plain digits. Anything else stops the loading at that key,
// whatever the decimal separator would make of it.
TEST_F(ParametersTest, SeriesNumbersAreReadExactlyOrRefused)
{
    struct Case {
        const char* separator;
        const char* key;
        const char* text;
        double expected; // -1: refused
    };
    const std::vector<Case> cases{
        {"Period", "FactN1", "1992", 1992},
        {"Coma", "FactN1", "1992", 1992},
        {"Period", "FactN2", "9999999999", 9999999999.0},
        {"Period", "ChN1", "99999999", 99999999},
        {"Period", "AEN1", "0", 0},
        {"Coma", "FactN1", "1.000", -1},  // "," separator: one thousand or one?
        {"Period", "FactN1", "1.000", -1},
        {"Coma", "CFN1", "1,5", -1},
        {"Period", "FactN1", "1991.59", -1},
        {"Period", "FactN2", "1.7976931348623157e308", -1},
        {"Period", "AEN2", "1e3", -1},
        {"Period", "FactN1", "-5", -1},
        {"Period", "FactN1", "+5", -1},
        {"Period", "FactN2", "10000000000", -1},
        {"Period", "ChN1", "123456789", -1},
        {"Period", "CFN2", "0x10", -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.separator) + " " + c.key + "=" + c.text);
        writeFile(definitionFile(), QByteArray("[Default]\r\nDecimal separator=") + c.separator + "\r\n[Series]\r\n"
                                        + c.key + "=" + c.text + "\r\nSerAE=AE\r\n[Permision]\r\nConversie la RON=1\r\n");
        Parameters p;
        Formats formats;
        try {
            LoadParameters(p, formats, definitionFile());
            EXPECT_NE(c.expected, -1) << "loaded";
            EXPECT_EQ(p.value(c.key).toDouble(), c.expected);
            EXPECT_EQ(p.conversieLaRon, "1");
        } catch (const EParameters& e) {
            EXPECT_EQ(c.expected, -1) << e.what();
            EXPECT_TRUE(e.message().contains(QString("\"%1\"").arg(c.text))) << e.what();
            EXPECT_TRUE(e.message().contains(c.key)) << e.what();
            EXPECT_EQ(p.value(c.key).toDouble(), 0.0);
            EXPECT_EQ(p.conversieLaRon, "");
        }
    }
}

// A series number that would not read back as it is (a fraction, out of
// range, not finite) is never written: saving stops before the first key.
TEST_F(ParametersTest, SaveRefusesASeriesNumberItCouldNotReadBack)
{
    struct Case {
        const char* key;
        std::function<void(Parameters&)> set;
    };
    const std::vector<Case> cases{
        {"FactN1", [](Parameters& p) { p.FactN1 = 1.7976931348623157e308; }},
        {"FactN2", [](Parameters& p) { p.FactN2 = 1991.59; }},
        {"CFN1", [](Parameters& p) { p.CFN1 = -1; }},
        {"AEN2", [](Parameters& p) { p.AEN2 = 1e10; }},
        {"ChN1", [](Parameters& p) { p.ChN1 = 123456789; }},
        {"AEN1", [](Parameters& p) { p.AEN1 = std::numeric_limits<double>::quiet_NaN(); }},
    };
    const QByteArray before = "[Default]\r\nCLot=1\r\n[Series]\r\nFactN1=5\r\n";
    IniFile appIni(dir.file("mirafel.INI"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        writeFile(definitionFile(), before);
        Parameters p;
        c.set(p);
        try {
            SaveParameters(p, appIni, definitionFile());
            ADD_FAILURE() << "saved";
        } catch (const EParameters& e) {
            EXPECT_TRUE(e.message().contains(c.key)) << e.what();
        }
        EXPECT_EQ(contents(definitionFile()), before);
        EXPECT_FALSE(QFile::exists(appIni.path()));
    }
}

// A parameter file that is there but cannot be read is reported, nothing is
// taken from it, and saving never writes over it.
TEST_F(ParametersTest, AnUnreadableParameterFileIsReportedAndKept)
{
    QDir(dir.path()).mkdir("TBXDEF.INI"); // a directory where the file should be
    const QString path = definitionFile();
    Parameters p = otherDatabase();
    const Parameters kept = p;
    Formats formats;
    try {
        LoadParameters(p, formats, path);
        ADD_FAILURE() << "loaded";
    } catch (const common::EParameterFileUnreadable& e) {
        EXPECT_TRUE(e.message().startsWith("Fisierul de parametri " + QDir::toNativeSeparators(path)
                                           + " nu poate fi citit"))
            << e.what();
    }
    EXPECT_EQ(p.CVal, kept.CVal);
    EXPECT_EQ(p.roundTva, kept.roundTva);
    EXPECT_EQ(p.FirmNo, kept.FirmNo);

    IniFile appIni(dir.file("mirafel.INI"));
    EXPECT_THROW(SaveParameters(p, appIni, path), common::EParameterFileUnreadable);
    EXPECT_TRUE(QFileInfo(path).isDir());
    EXPECT_FALSE(QFile::exists(appIni.path()));
}

TEST_F(ParametersTest, NumbersAreSavedInTheirFormat)
{
    struct Case {
        std::function<void(Parameters&)> set;
        const char* key;
        const char* expected;
        const char* section = "Default";
    };
    const std::vector<Case> cases{
        {[](Parameters& p) { p.CfTVA = -5; }, "CfTVA", "0"},
        {[](Parameters& p) { p.CfTVA = 5.5; }, "CfTVA", "6"},
        {[](Parameters& p) { p.TVAMed = 8.49; }, "TVAMed", "8"},
        {[](Parameters& p) { p.TVAZero = 0.4; }, "TVAZero", "0"},
        {[](Parameters& p) { p.TVAStd = 24; }, "TVAStd", "24"},
        {[](Parameters&) {}, "Epsilon", "0.00001"},
        {[](Parameters& p) { p.decimalSeparator = ','; }, "Epsilon", "0,00001"},
        {[](Parameters& p) { p.Epsilon = 1e-10; }, "Epsilon", "0.0000000001"},
        {[](Parameters& p) { p.Epsilon = 1; }, "Epsilon", "1"},
        {[](Parameters& p) { p.Epsilon1 = 1000; }, "Epsilon1", "1000"},
        {[](Parameters& p) { p.decimalSeparator = ','; p.Epsilon1 = 0.5; }, "Epsilon1", "0,5"},
        {[](Parameters& p) { p.FactN1 = 1234567890; }, "FactN1", "1234567890", "Series"},
        {[](Parameters& p) { p.ChN1 = 12345678; }, "ChN1", "12345678", "Series"}, // every digit, never an exponent
        {[](Parameters& p) { p.FactN2 = 9999999999; }, "FactN2", "9999999999", "Series"},
        {[](Parameters& p) { p.decimalSeparator = ','; p.AEN2 = 1234567; }, "AEN2", "1234567", "Series"},
        {[](Parameters& p) { p.SellPrice = SellPriceMode::Calc; }, "SellPrice", "Calc"},
        {[](Parameters& p) { p.decimalSeparator = ','; }, "Decimal separator", "Coma"},
    };
    IniFile appIni(dir.file("mirafel.INI"));
    for (const Case& c : cases) {
        Parameters p;
        c.set(p);
        SaveParameters(p, appIni, definitionFile());
        const IniFile saved(definitionFile());
        EXPECT_EQ(saved.readString(c.section, c.key), c.expected) << c.key;
    }
}

TEST_F(ParametersTest, SaveWritesEveryKeyInOrderAndReadsBack)
{
    // A database made by the opening window, with keys other windows wrote.
    writeFile(definitionFile(), "[Permision]\r\nConversie la RON=1\r\n[Default]\r\nFirmNo=3\r\nCodProdusPeFact=0\r\n"
                                "\r\n[Archive]\r\nLast=01.02.2025\r\n");
    Parameters p;
    p.CLot = true;
    p.CAutoLot = true;
    p.CPretFaraTva = true;
    p.CodBare = true;
    p.CVal = "EUR";
    p.CFurn = "401.01";
    p.CTVA_I = "4426.1";
    p.CfTVA = 21;
    p.TVAMed = 9;
    p.TVAStd = 21;
    p.decimalSeparator = ',';
    p.roundTva = false;
    p.calcTva = true;
    p.includeJurnalVanz = "FCT";
    p.SellPrice = SellPriceMode::Calc;
    p.PreprintedInvoice = true;
    p.County = "CJ";
    p.SerFact = "MFL";
    p.FactN1 = 1;
    p.FactN2 = 5000;
    p.SerAE = "AV";
    p.AEN1 = 100;
    p.AEN2 = 199;
    p.ChN1 = 42;
    p.nrZecimaleValuta = 4;
    p.nrZecimaleLei = 3;
    p.Epsilon = 0.0001;
    p.Epsilon1 = 0.1;
    p.GrilaCalculDisc = true;
    p.checkForNewVersion = false;
    p.FirmNo = 9;             // not written here
    p.CodProdusPeFact = true; // not written here

    IniFile appIni(dir.file("mirafel.INI"));
    SaveParameters(p, appIni, definitionFile());

    const QByteArray expected =
        "[Permision]\r\n"
        "Conversie la RON=1\r\n"
        "[Default]\r\n"
        "FirmNo=3\r\n"
        "CodProdusPeFact=0\r\n"
        "CCom=0\r\nCLot=1\r\nCAutoLot=1\r\nCRetetar=0\r\nCCaloric=0\r\nCCantStoc=0\r\nCGetPret=0\r\n"
        "CPretFaraTva=1\r\nCValEdit=0\r\nCGenCod=0\r\nCSerii=0\r\nCodBare=1\r\n"
        "CVal=EUR\r\nCFurn=401.01\r\nCCln=411\r\nCCh=607\r\nCMf=371\r\nCTVA_I=4426.1\r\nCTVA_E=4427\r\n"
        "CVen=707\r\nCAd=378\r\nCAcc=446\r\n"
        "CfTVA=21\r\nTVAZero=0\r\nTVAMed=9\r\nTVAStd=21\r\n"
        "Decimal separator=Coma\r\nRound TVA=0\r\nCalc TVA=1\r\n"
        "Include Jurnal Cump=AE;FCT\r\nInclude Jurnal Vanz=FCT\r\n"
        "SellPrice=Calc\r\nPreprintedInvoice=1\r\nCounty=CJ\r\n"
        "Nr zecimale valuta=4\r\nNr zecimale lei=3\r\nEpsilon=0,0001\r\nEpsilon1=0,1\r\n"
        "Atention=0\r\nGrilaCalculDisc=1\r\n"
        "\r\n"
        "[Archive]\r\n"
        "Last=01.02.2025\r\n"
        "[Series]\r\n"
        "SerFact=MFL\r\nFactN1=1\r\nFactN2=5000\r\nSerCF=\r\nCFN1=0\r\nCFN2=0\r\n"
        "SerAE=AV\r\nAEN1=100\r\nAEN2=199\r\nChN1=42\r\n";
    EXPECT_EQ(QString::fromUtf8(contents(definitionFile())), QString::fromUtf8(expected));
    EXPECT_EQ(contents(appIni.path()), QByteArray("[Options]\r\nCheck for new version=0\r\nBackup BD zilnic=1\r\n"));

    // Reopened from a fresh start, every saved value comes back.
    Parameters again;
    Formats formats;
    const common::LoadedParameters loaded = LoadParameters(again, formats, definitionFile());
    EXPECT_FALSE(loaded.convertToRonVisible);
    const QStringList notSavedHere{"FirmNo",          "CodProdusPeFact", "Conversie la RON", "Refresh",
                                   "Check for new version", "Backup BD zilnic", "ImageBackground",
                                   "ImageHeader",     "Toolbar",         "Germana"};
    for (const QString& key : Parameters::keyNames()) {
        if (!notSavedHere.contains(key)) {
            EXPECT_EQ(again.value(key), p.value(key)) << key.toStdString();
        }
    }
    EXPECT_EQ(again.FirmNo, 3);
    EXPECT_FALSE(again.CodProdusPeFact);
    EXPECT_EQ(formats.decimalSeparator, QChar(','));

    // Saving the same values again changes nothing.
    SaveParameters(again, appIni, definitionFile());
    EXPECT_EQ(QString::fromUtf8(contents(definitionFile())), QString::fromUtf8(expected));
}

TEST_F(ParametersTest, SaveReportsAFileThatCannotBeWritten)
{
    IniFile appIni(dir.file("mirafel.INI"));
    const QString missing = dir.file("lipsa/TBXDEF.INI");
    try {
        SaveParameters(Parameters(), appIni, missing);
        ADD_FAILURE() << "saved";
    } catch (const EParameters& e) {
        EXPECT_EQ(e.message(), QString("Nu pot scrie fisierul %1!").arg(missing));
    }
}

TEST_F(ParametersTest, ValuesByKeyName)
{
    Parameters p;
    p.CLot = true;
    p.nrZecimaleLei = 4;
    EXPECT_EQ(p.value("CLot"), QVariant(true));
    EXPECT_EQ(p.value("clot"), QVariant(true));
    EXPECT_EQ(p.value("NR ZECIMALE LEI"), QVariant(4));
    EXPECT_EQ(p.value("Refresh"), QVariant(30));
    EXPECT_EQ(p.value("Check for new version"), QVariant(true));
    EXPECT_FALSE(p.value("Nimic").isValid());
    EXPECT_EQ(Parameters::keyNames().size(), 42 + 10 + 1 + 7); // Default, Series, Permision, Options
    for (const QString& key : Parameters::keyNames())
        EXPECT_TRUE(p.value(key).isValid()) << key.toStdString();
}

TEST_F(ParametersTest, OptionsOfTheApplicationIniFile)
{
    IniFile appIni(dir.file("mirafel.INI"));
    appIni.writeInteger("Options", "Refresh", 0);
    appIni.writeBool("Options", "Backup BD zilnic", false);
    appIni.writeString("Options", "ImageBackground", "/poze/fundal.bmp");
    Parameters p;
    p.ImageHeader = "/poze/antet.bmp";
    common::LoadOptions(p, appIni);
    EXPECT_EQ(p.Refresh, 0);
    EXPECT_FALSE(p.backupBdZilnic);
    EXPECT_TRUE(p.checkForNewVersion);
    EXPECT_EQ(p.ImageBackground, "/poze/fundal.bmp");
    EXPECT_EQ(p.ImageHeader, "/poze/antet.bmp"); // absent: unchanged
}
