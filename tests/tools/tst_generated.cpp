// The generated database (mirafel-cli generate): its documents follow the
// rules the windows apply, and every document print of it adds up: each
// printed total is the sum of the printed lines above it, to the ban.
// Run on a SQLite file, and on the server in the server run.

#include "clirun.h"
#include "printedtotals.h"
#include "testsupport.h"

#include "catalogs/rates.h"
#include "common/documenttotals.h"
#include "common/parameters.h"
#include "common/rounding.h"
#include "datastore/database.h"
#include "prints/documentprints.h"
#include "stock/outputpricing.h"

#include <QDir>
#include <QHash>
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <memory>
#include <numeric>

using printedtotals::Column;
using printedtotals::Figure;

namespace {

// One small database for the suite: generating it is the slow part.
class GeneratedDatabase : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_dir = std::make_unique<testsupport::TempDir>(testsupport::TempDir::Database);
        s_generated = cli({"generate", s_dir->path(), "--lines", "3000", "--articles", "60", "--warehouses", "3"});
    }
    static void TearDownTestSuite() { s_dir.reset(); }

    void SetUp() override
    {
        ASSERT_EQ(s_generated.code, 0) << s_generated.out.toStdString() << s_generated.err.toStdString();
        common::Formats formats;
        common::LoadParameters(parameters, formats, QDir(dir()).filePath(QString::fromLatin1(common::kDefinitionFileName)));
        db.setDirectory(dir());
    }

    static QString dir() { return s_dir->path(); }

    qint64 count(const QString& sql, const QVariantHash& params = {})
    {
        return db.scalar(sql, params).toLongLong();
    }

    static inline std::unique_ptr<testsupport::TempDir> s_dir;
    static inline CliRun s_generated;
    common::Parameters parameters;
    datastore::Database db;
};

// ---- the rules of the windows ----------------------------------------------------------

TEST_F(GeneratedDatabase, FollowsTheRulesOfTheWindows)
{
    // The parameters the documents were made with.
    EXPECT_TRUE(parameters.CLot);
    EXPECT_TRUE(parameters.calcTva);
    EXPECT_NE(parameters.FirmNo, 0);
    EXPECT_EQ(parameters.conversieLaRon, "1");
    EXPECT_FALSE(parameters.SerFact.isEmpty());
    EXPECT_FALSE(parameters.SerAE.isEmpty());

    const QVariantHash series{{"sf", parameters.SerFact}, {"f1", parameters.FactN1}, {"f2", parameters.FactN2},
                              {"sa", parameters.SerAE},   {"a1", parameters.AEN1},   {"a2", parameters.AEN2},
                              {"c1", parameters.ChN1},    {"firm", parameters.FirmNo}};
    // Each statement counts the rows that break its rule.
    const struct {
        const char* rule;
        const char* sql;
    } rules[] = {
        {"the firm of FirmNo, with its name, address and fiscal code",
         "SELECT 1 - COUNT(*) FROM FIRMDATA WHERE Cod = :firm AND Denumire IS NOT NULL AND Adresa IS NOT NULL "
         "AND \"Cod fiscal\" IS NOT NULL"},
        {"invoices and delivery notes name a buyer with fiscal code, address, county and bank",
         "SELECT COUNT(*) FROM DOC_OUT D LEFT JOIN CLIENT C ON C.Cod_client = D.Client WHERE D.Tip IN ('FCT', 'AE') "
         "AND (C.Cod_fiscal IS NULL OR C.Adresa IS NULL OR C.Judetul IS NULL OR C.Banca IS NULL OR C.Cont_bancar IS NULL)"},
        {"an invoice is due after its date", "SELECT COUNT(*) FROM DOC_OUT WHERE Tip = 'FCT' AND NOT (Data_scadenta >= Data)"},
        {"a document is not dated after its registration",
         "SELECT COUNT(*) FROM DOC_OUT WHERE Data > Data_inregistrarii"},
        {"every invoice has one number of its series, in the range",
         "SELECT COUNT(*) FROM DOC_OUT D LEFT JOIN FCTSER S ON S.Contor = D.Contor WHERE D.Tip = 'FCT' "
         "AND (S.Contor IS NULL OR S.Serie <> :sf OR S.Number < :f1 OR S.Number > :f2)"},
        {"every delivery note has one number of its series, in the range",
         "SELECT COUNT(*) FROM DOC_OUT D LEFT JOIN AESER S ON S.Contor = D.Contor WHERE D.Tip = 'AE' "
         "AND (S.Contor IS NULL OR S.Serie <> :sa OR S.Number < :a1 OR S.Number > :a2)"},
        {"series numbers only on invoices and delivery notes",
         "SELECT COUNT(*) FROM DOC_OUT D WHERE (D.Tip <> 'FCT' AND D.Contor IN (SELECT Contor FROM FCTSER)) "
         "OR (D.Tip <> 'AE' AND D.Contor IN (SELECT Contor FROM AESER))"},
        {"series numbers follow each other from the first",
         "SELECT (SELECT COUNT(*) FROM FCTSER) - (SELECT MAX(Number) - :f1 + 1 FROM FCTSER) "
         "+ (SELECT COUNT(DISTINCT Number) FROM AESER) - (SELECT MAX(Number) - :a1 + 1 FROM AESER)"},
        {"payments only for invoices, by their buyer on their registration date",
         "SELECT COUNT(*) FROM CLNPAY P LEFT JOIN DOC_OUT D ON D.Contor = P.Contor_document "
         "WHERE D.Tip IS NULL OR D.Tip <> 'FCT' OR P.Cod_client <> D.Client OR P.Data_platii <> D.Data_inregistrarii "
         "OR NOT (P.Suma > 0)"},
        {"every payment has its receipt, numbered from the first",
         "SELECT COUNT(*) FROM CLNPAY P LEFT JOIN CHSER R ON R.Contor = P.Contor_document AND R.Data_platii = P.Data_platii "
         "WHERE R.Numar IS NULL OR R.Numar < :c1"},
        {"a transfer names another warehouse", "SELECT COUNT(*) FROM DOC_OUT D JOIN ITEM_OUT I ON I.Contor = D.Contor "
                                               "WHERE D.Tip = 'BT' AND (I.Cod_gestiune = D.Client OR D.Client NOT IN "
                                               "(SELECT Cod FROM GEST))"},
        {"a transfer moves the goods at their acquisition price, without VAT",
         "SELECT COUNT(*) FROM DOC_OUT D JOIN ITEM_OUT I ON I.Contor = D.Contor WHERE D.Tip = 'BT' "
         "AND (I.Pret_vinzare <> I.Pret_achizitie OR I.TVA <> 0 OR I.Pret_vz_echiv_USD <> 0)"},
        {"every transfer line arrives in the receiving warehouse by the input document of the transfer",
         "SELECT COUNT(*) FROM DOC_OUT D JOIN ITEM_OUT I ON I.Contor = D.Contor WHERE D.Tip = 'BT' AND NOT EXISTS ("
         "SELECT 1 FROM DOC_IN DI JOIN ITEM_IN II ON II.Contor = DI.Contor WHERE DI.Tip = 'BT' AND DI.Numar = D.Numar "
         "AND DI.Data_inregistrarii = D.Data_inregistrarii AND DI.Data = D.Data AND II.Contor_secundar = I.Contor_secundar - 1 "
         "AND II.Cod_gestiune = D.Client AND II.Cod_grupa = I.Cod_grupa AND II.Cod_articol = I.Cod_articol "
         "AND II.Cantitate = I.Cantitate AND II.Pret_achizitie_lei = I.Pret_achizitie AND II.TVA = 0 "
         "AND COALESCE(II.Lot, '') = COALESCE(I.Lot, '') AND COALESCE(II.Agent, '') = COALESCE(I.Agent, ''))"},
        {"one input document per transfer",
         "SELECT ABS((SELECT COUNT(*) FROM DOC_OUT WHERE Tip = 'BT') - (SELECT COUNT(*) FROM DOC_IN WHERE Tip = 'BT'))"},
        {"a scrapping list takes inventory objects, each article once, without accounts or VAT",
         "SELECT COUNT(*) FROM DOC_OUT D JOIN ITEM_OUT I ON I.Contor = D.Contor WHERE D.Tip = 'CSR' AND ("
         "I.Cod_grupa NOT IN (SELECT Cod_grupa FROM GRUP WHERE Cod_material = 'OBI') OR I.Cont_marfa IS NOT NULL "
         "OR I.TVA <> 0 OR (SELECT COUNT(*) FROM ITEM_OUT J WHERE J.Contor = I.Contor AND J.Cod_grupa = I.Cod_grupa "
         "AND J.Cod_articol = I.Cod_articol) > 1)"},
        {"an output line carries the accounts of its article",
         "SELECT COUNT(*) FROM ITEM_OUT I JOIN DOC_OUT D ON D.Contor = I.Contor JOIN CATALOG C ON C.Grupa = I.Cod_grupa "
         "AND C.Cod = I.Cod_articol WHERE D.Tip <> 'CSR' AND (I.Cont_marfa <> C.Cont_marfa OR I.Cont_cheltuieli <> "
         "C.Cont_cheltuieli OR I.Cont_TVA_Iesiri <> C.Cont_TVA_Iesiri OR I.Cont_venituri <> C.Cont_venituri)"},
        {"only what is sold carries a sale price",
         "SELECT COUNT(*) FROM ITEM_OUT I JOIN DOC_OUT D ON D.Contor = I.Contor WHERE (D.Tip IN ('FCT', 'AE') AND "
         "NOT (I.Pret_vinzare > 0)) OR (D.Tip IN ('BMC', 'NPR') AND I.Pret_vinzare <> 0)"},
    };
    for (const auto& r : rules)
        EXPECT_EQ(count(QString::fromLatin1(r.sql), series), 0) << r.rule;

    // Every kind of document is there, and lots and budgets on part of the lines.
    for (const char* type : {"BMC", "NPR", "AE", "FCT", "BT", "CSR"})
        EXPECT_GT(count("SELECT COUNT(*) FROM DOC_OUT WHERE Tip = :t", {{"t", type}}), 0) << type;
    for (const char* type : {"FCT", "NR", "BT"})
        EXPECT_GT(count("SELECT COUNT(*) FROM DOC_IN WHERE Tip = :t", {{"t", type}}), 0) << type;
    EXPECT_GT(count("SELECT COUNT(*) FROM ITEM_OUT WHERE Lot IS NOT NULL"), 0);
    EXPECT_GT(count("SELECT COUNT(*) FROM CLNPAY"), 0);

    // VAT and the price in the reference currency as the windows compute them.
    const stock::PricingRules pricing = stock::PricingRules::from(parameters);
    QHash<QString, double> vatRate;
    for (datastore::Query q = db.query("SELECT Grupa, Cod, Coef_TVA FROM CATALOG"); q.next();)
        vatRate.insert(q.value(0).toString() + u'/' + q.value(1).toString(), q.value(2).toDouble());
    int checked = 0;
    for (datastore::Query q = db.query("SELECT D.Tip, D.Data, I.Cod_grupa, I.Cod_articol, I.Cantitate, I.Pret_achizitie, "
                                       "I.Pret_vinzare, I.TVA, I.Pret_vz_echiv_USD, D.Contor, I.Contor_secundar "
                                       "FROM ITEM_OUT I JOIN DOC_OUT D ON D.Contor = I.Contor "
                                       "WHERE D.Tip NOT IN ('BT', 'CSR')");
         q.next(); ++checked) {
        const QString type = q.value(0).toString();
        const stock::LineTaxes taxes = stock::ComputeLineTaxes(
            type, q.value(5), q.value(4), q.value(6), {vatRate.value(q.value(2).toString() + u'/' + q.value(3).toString()), 0},
            pricing);
        const QString line = QStringLiteral("%1 %2/%3").arg(type).arg(q.value(9).toDouble()).arg(q.value(10).toDouble());
        ASSERT_NEAR(q.value(7).toDouble(), taxes.vat, 1e-9) << line.toStdString();
        const std::optional<double> rate = catalogs::RateAtDate(db, parameters.CVal, q.value(1).toDate());
        ASSERT_TRUE(rate.has_value());
        ASSERT_NEAR(q.value(8).toDouble(), stock::CurrencyPrice(q.value(6).toDouble(), *rate), 1e-9) << line.toStdString();
    }
    EXPECT_GT(checked, 100);
    EXPECT_GT(count("SELECT COUNT(*) FROM ITEM_OUT I JOIN DOC_OUT D ON D.Contor = I.Contor WHERE D.Tip = 'FCT' AND I.TVA <> 0"), 0);
    // Inputs: VAT only on the supplier invoices, computed on the acquisition value.
    for (datastore::Query q = db.query("SELECT D.Tip, I.Cantitate, I.Pret_achizitie_lei, I.TVA, C.Coef_TVA FROM ITEM_IN I "
                                       "JOIN DOC_IN D ON D.Contor = I.Contor JOIN CATALOG C ON C.Grupa = I.Cod_grupa "
                                       "AND C.Cod = I.Cod_articol WHERE D.Contor > 0");
         q.next();) {
        double vat = 0;
        if (stock::IsFiscalInvoice(q.value(0).toString())) {
            vat = common::roundHalfEven(q.value(4).toDouble() * q.value(2).toDouble() * q.value(1).toDouble()) / 100;
            if (parameters.roundTva)
                vat = common::roundHalfEven(vat);
        }
        ASSERT_NEAR(q.value(3).toDouble(), vat, 1e-9) << q.value(0).toString().toStdString();
    }

    // A payment is at most the invoice's printed total; most pay it in full.
    QHash<double, QList<common::PricedLine>> invoices;
    for (datastore::Query q = db.query("SELECT I.Contor, I.Cod_grupa, I.Cod_articol, I.Pret_vinzare, I.Cantitate, I.TVA, "
                                       "I.Acciza FROM ITEM_OUT I JOIN DOC_OUT D ON D.Contor = I.Contor WHERE D.Tip = 'FCT' "
                                       "ORDER BY I.Contor, I.Contor_secundar");
         q.next();)
        invoices[q.value(0).toDouble()].push_back(
            {q.value(1).toString(), q.value(2).toString(), q.value(3).toDouble(), q.value(4).toDouble(),
             q.value(5).toDouble(), q.value(6).toDouble(),
             vatRate.value(q.value(1).toString() + u'/' + q.value(2).toString())});
    int whole = 0;
    int part = 0;
    for (datastore::Query q = db.query("SELECT Contor_document, Suma FROM CLNPAY"); q.next();) {
        const double total =
            common::totalsOf(common::mergedInvoiceLines(invoices.value(q.value(0).toDouble()), parameters.nrZecimaleLei))
                .total();
        const double paid = q.value(1).toDouble();
        EXPECT_LE(paid, total) << q.value(0).toDouble();
        EXPECT_EQ(paid, common::roundMoney(paid, parameters.nrZecimaleLei));
        (paid == total ? whole : part)++;
    }
    EXPECT_GT(whole, 0);
    EXPECT_GT(part, 0);

    // The stock equals the documents and every counter is above its documents.
    const CliRun verified = cli({"verify", dir()});
    EXPECT_EQ(verified.code, 0) << verified.out.toStdString();
}

// ---- every print adds up ---------------------------------------------------------------

// A print kind, the documents it is printed for and how its figures are read.
struct PrintCase {
    const char* kind;
    const char* documents; // counters: the documents with the most lines first
    const char* worth;     // the document's value and VAT in the database (:c its counter)
    printedtotals::Layout layout;
};

// The documents of the types of a print, two of each type, the longest first.
#define LONGEST(HEADER, LINES, TYPES, EXTRA)                                                                      \
    "SELECT Contor FROM (SELECT D.Contor, D.Tip, ROW_NUMBER() OVER (PARTITION BY D.Tip ORDER BY COUNT(*) DESC, " \
    "D.Contor) AS r FROM " HEADER " D JOIN " LINES " I ON I.Contor = D.Contor WHERE D.Tip IN (" TYPES ") " EXTRA  \
    " GROUP BY D.Contor, D.Tip) T WHERE r <= 2 ORDER BY Tip, r"
#define OUTPUTS(TYPES) LONGEST("DOC_OUT", "ITEM_OUT", TYPES, "")

const char* const kSaleValue = "SELECT SUM(Cantitate * Pret_vinzare), SUM(TVA) FROM ITEM_OUT WHERE Contor = :c";
const char* const kOutputValue = "SELECT SUM(Cantitate * Pret_achizitie), SUM(TVA) FROM ITEM_OUT WHERE Contor = :c";
const char* const kInputValue = "SELECT SUM(Cantitate * Pret_achizitie_lei), SUM(TVA) FROM ITEM_IN WHERE Contor = :c";

const std::vector<PrintCase>& printCases()
{
    using printedtotals::Layout;
    using printedtotals::Total;
    const Layout invoice{{{Column::Price, "Pret unitar"}, {Column::Value, "Valoare"}, {Column::Vat, "Valoare TVA"}},
                         {{"Total:", Column::Value, Figure::Values},
                          {"Total:", Column::Vat, Figure::Vats},
                          {"Total de plata:", Column::Last, Figure::Document}},
                         {},
                         {}};
    // The receipt note and the consumption note: three totals one under the other.
    const std::vector<Total> threeTotals{{"Valoare totala:", Column::Last, Figure::Values},
                                        {"Total TVA:", Column::Last, Figure::Vats},
                                        {"Total document:", Column::Last, Figure::Document}};
    const auto valueOnly = [](const char* price, const char* total) {
        return Layout{{{Column::Price, price}, {Column::Value, "Valoare"}}, {{total, Column::Last, Figure::Values}}, {}, {}};
    };
    static const std::vector<PrintCase> cases{
        {"receipt-note", LONGEST("DOC_IN", "ITEM_IN", "'FCT', 'NR', 'BT'", ""), kInputValue,
         Layout{{{Column::Price, "Pret achizitie"}, {Column::Value, "Valoare"}, {Column::Vat, "TVA"}}, threeTotals, {}, {}}},
        {"invoice", OUTPUTS("'FCT'"), kSaleValue, invoice},
        {"invoice-with-receipt",
         LONGEST("DOC_OUT", "ITEM_OUT", "'FCT'", "AND D.Contor IN (SELECT Contor_document FROM CLNPAY)"), kSaleValue,
         invoice},
        {"preprinted-invoice", OUTPUTS("'FCT'"), kSaleValue,
         Layout{{}, {}, {Column::Value, Column::Vat}, {{Figure::Values, Figure::Vats}, {Figure::Document}}}},
        {"hand-over-note", OUTPUTS("'BT', 'NPR'"), kOutputValue, valueOnly("Pret unitar", "Total general:")},
        {"delivery-note", OUTPUTS("'AE'"), kSaleValue, valueOnly("Pret unitar", "Total:")},
        {"preprinted-delivery-note", OUTPUTS("'AE'"), kSaleValue, Layout{{}, {}, {Column::Value}, {{Figure::Values}}}},
        {"consumption-note", OUTPUTS("'BMC'"), kOutputValue,
         Layout{{{Column::Price, "Pret unitar"}, {Column::Value, "Valoare"}, {Column::Vat, "TVA"}}, threeTotals, {}, {}}},
        {"scrapping-list", OUTPUTS("'CSR'"), kOutputValue, valueOnly("Pret unitar", "Total general :")},
    };
    return cases;
}

// The prints that show no figure of the database's documents: the daily food
// list prints the working table of the private directory, the labels no money.
const QStringList kWithoutDocumentFigures{"daily-food-list", "labels"};

// The command line of a document's print, with what the window hands to it.
QStringList printArguments(datastore::Database& db, const QString& dir, const char* kind, double contor)
{
    QStringList args{"print", dir, "--document", QString::number(contor, 'f', 0), "--kind", QString::fromLatin1(kind),
                     "--text"};
    const QVariantHash key{{"c", contor}};
    const QString input = QString::fromLatin1(kind) == u"receipt-note" ? QStringLiteral("DOC_IN") : QStringLiteral("DOC_OUT");
    const QDate registered = db.scalar(QStringLiteral("SELECT Data_inregistrarii FROM %1 WHERE Contor = :c").arg(input), key).toDate();
    if (registered.isValid())
        args << "--date" << registered.toString(Qt::ISODate);
    for (const char* table : {"FCTSER", "AESER"}) {
        datastore::Query q = db.query(QStringLiteral("SELECT Serie, Number FROM %1 WHERE Contor = :c").arg(QLatin1String(table)), key);
        if (q.next() && !QString::fromLatin1(kind).startsWith(QLatin1String("preprinted")))
            args << "--series" << QString::asprintf("%s %-12.0f", qPrintable(q.value(0).toString()), q.value(1).toDouble());
    }
    const QVariant receipt = db.scalar("SELECT MIN(Numar) FROM CHSER WHERE Contor = :c", key);
    if (!receipt.isNull())
        args << "--receipt" << QString::number(receipt.toDouble(), 'f', 0);
    return args;
}

TEST_F(GeneratedDatabase, EveryDocumentPrintAddsUp)
{
    // Every kind is either read here or prints no figure of the documents.
    for (const prints::DocumentPrintKind& kind : prints::documentPrintKinds()) {
        const bool read = std::any_of(printCases().begin(), printCases().end(),
                                      [&](const PrintCase& c) { return kind.name == QLatin1String(c.kind); });
        EXPECT_TRUE(read || kWithoutDocumentFigures.contains(kind.name)) << kind.name.toStdString();
    }

    printedtotals::MoneyFormat money;
    money.decimal = parameters.decimalSeparator;
    money.thousands = parameters.thousandSeparator();
    money.decimals = parameters.nrZecimaleLei;
    QStringList failing; // "kind: what is wrong", for the report at the end
    for (const PrintCase& c : printCases()) {
        SCOPED_TRACE(c.kind);
        QList<double> documents;
        for (datastore::Query q = db.query(QString::fromLatin1(c.documents)); q.next();)
            documents << q.value(0).toDouble();
        EXPECT_FALSE(documents.isEmpty()) << "no document to print";
        int lines = 0;
        for (const double contor : documents) {
            const CliRun run = cli(printArguments(db, dir(), c.kind, contor));
            ASSERT_EQ(run.code, 0) << c.kind << " " << contor << ": " << run.err.toStdString();
            const printedtotals::Printed printed = printedtotals::read(run.out, c.layout, money);
            const QString doc = QStringLiteral("%1, document %2").arg(QLatin1String(c.kind)).arg(contor);
            EXPECT_TRUE(printed.problems.isEmpty())
                << doc.toStdString() << ": " << printed.problems.join("; ").toStdString() << "\n" << run.out.toStdString();
            EXPECT_FALSE(printed.checks.empty()) << doc.toStdString();
            lines += int(printed.values.size());
            // The lines read are the document's: each printed value is its figure rounded to the ban.
            datastore::Query worth = db.query(QString::fromLatin1(c.worth), {{"c", contor}});
            ASSERT_TRUE(worth.next());
            const double scale = std::pow(10.0, money.decimals);
            const auto sum = [](const std::vector<qint64>& v) { return std::accumulate(v.begin(), v.end(), qint64(0)); };
            const qint64 tolerance = qint64(printed.values.size()) / 2 + 1;
            EXPECT_LE(std::llabs(sum(printed.values) - std::llround(worth.value(0).toDouble() * scale)), tolerance)
                << doc.toStdString() << ": the lines read are not the document's\n" << run.out.toStdString();
            if (!printed.vats.empty()) {
                EXPECT_LE(std::llabs(sum(printed.vats) - std::llround(worth.value(1).toDouble() * scale)), tolerance)
                    << doc.toStdString() << ": the VAT read is not the document's\n" << run.out.toStdString();
            }
            for (const printedtotals::Check& check : printed.checks)
                if (check.printed != check.expected)
                    failing << QStringLiteral("%1: %2 prints %3, its lines add up to %4 (%5)")
                                   .arg(doc, check.what, printedtotals::moneyText(check.printed, money),
                                        printedtotals::moneyText(check.expected, money),
                                        printedtotals::moneyText(check.printed - check.expected, money));
        }
        EXPECT_GT(lines, 0);
    }
    EXPECT_TRUE(failing.isEmpty()) << failing.size() << " totals differ from their lines:\n"
                                   << failing.join('\n').toStdString();
}

// The reading of a print: the columns found by their titles, a new column
// between them that prints a rate, a quantity that looks like money, a line
// pushed to the right by a long name, subtotals of two levels, a total that
// differs from its lines and a receipt under the totals.
TEST(PrintedTotals, ReadsTheFiguresUnderTheirTitles)
{
    const QString text =
        "--- pagina 1 ---\n"
        "     FACTURA                                   Cota TVA 19 %\n"
        "  Nr. Denumire             Cantitate  Pret unitar   Valoare   Cota TVA  Valoare TVA\n"
        "                                                     -lei-                 -lei-\n"
        "    1 Hartie A4 tip B 28        2.50        10.01     25.03      19           4.75\n"
        "    2 Ulei floarea soarelui standard 28 top 3 1,502.21 4,506.63 9   405.60\n"
        "  Total Birotica                                       4,531.66\n"
        "    3 Pix                          3         1.10      3.30      19           0.63\n"
        "  Total Pixuri                                           3.30\n"
        " Total general                                        4,534.96\n"
        "                                     Total:            4,534.97                410.98\n"
        "                                Total de plata:                              4,945.95\n"
        "     Suma de lei 4,945.95\n";
    printedtotals::Layout layout{{{Column::Price, "Pret unitar"},
                                  {Column::Value, "Valoare"},
                                  {Column::Vat, "Valoare TVA"}},
                                 {{"Total:", Column::Value, Figure::Values},
                                  {"Total:", Column::Vat, Figure::Vats},
                                  {"Total de plata:", Column::Last, Figure::Document}},
                                 {},
                                 {}};
    const printedtotals::Printed printed = printedtotals::read(text, layout, {});
    EXPECT_TRUE(printed.problems.isEmpty()) << printed.problems.join("; ").toStdString();
    EXPECT_EQ(printed.values, (std::vector<qint64>{2503, 450663, 330}));
    EXPECT_EQ(printed.vats, (std::vector<qint64>{475, 40560, 63}));
    std::vector<std::tuple<std::string, qint64, qint64>> checks;
    for (const printedtotals::Check& c : printed.checks)
        checks.emplace_back(c.what.toStdString(), c.printed, c.expected);
    EXPECT_EQ(checks, (std::vector<std::tuple<std::string, qint64, qint64>>{
                          {"subtotal \"Total Birotica\"", 453166, 453166},
                          {"subtotal \"Total Pixuri\"", 330, 330},
                          {"subtotal \"Total general\"", 453496, 453496},
                          {"\"Total:\" value = the line values", 453497, 453496},
                          {"\"Total:\" VAT = the line VAT", 41098, 41098},
                          {"\"Total de plata:\" = value total + VAT total", 494595, 494595}}));

    // A form without titles: the last figures of the numbered lines, the foot of the form.
    const QString form = "--- pagina 1 ---\n"
                         "        1               26.01.18           19\n"
                         "   1 Hartie 28      2.5    10.01     25.03    4.75\n"
                         "   2 Pix             3      1.10      3.30    0.63\n"
                         "                                     28.33    5.38\n"
                         "                                             33.72\n";
    const printedtotals::Printed preprinted = printedtotals::read(
        form, {{}, {}, {Column::Value, Column::Vat}, {{Figure::Values, Figure::Vats}, {Figure::Document}}}, {});
    EXPECT_TRUE(preprinted.problems.isEmpty()) << preprinted.problems.join("; ").toStdString();
    ASSERT_EQ(preprinted.checks.size(), 3u);
    EXPECT_EQ(preprinted.checks[0].printed, 2833);
    EXPECT_EQ(preprinted.checks[0].expected, 2833);
    EXPECT_EQ(preprinted.checks[1].expected, 538);
    EXPECT_EQ(preprinted.checks[2].printed, 3372);
    EXPECT_EQ(preprinted.checks[2].expected, 3371);
}

} // namespace
