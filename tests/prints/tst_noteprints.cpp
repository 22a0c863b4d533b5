// The notes printed besides the invoice, each built through the table of
// document prints over a small database, and compared with its golden text.

#include "prints/documentprints.h"
#include "prints/invoicefiles.h"
#include "prints/noteprints.h"
#include "prints/receiptnote.h"
#include "reportengine/canvas.h"
#include "reportengine/exportfilters.h"
#include "reportengine/output.h"

#include "common/inifile.h"
#include "common/rounding.h"
#include "datastore/tablecatalog.h"
#include "datastore/tabledef.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

using reportengine::BandKind;

datastore::TableDef dailyListTable()
{
    using namespace datastore;
    return {QStringLiteral("LZilnica.DB"),
            {floating(QStringLiteral("Cod")), floating(QStringLiteral("NrPersR")), floating(QStringLiteral("DrepturiR")),
             floating(QStringLiteral("ConsumatR")), floating(QStringLiteral("NrPers")),
             floating(QStringLiteral("Drepturi")), floating(QStringLiteral("Consumat"))},
            {}};
}

datastore::TableDef labelsTable()
{
    using namespace datastore;
    return {QStringLiteral("Etichete.DB"),
            {text(QStringLiteral("DenGest"), 30), text(QStringLiteral("Cod_gestiune"), 4),
             text(QStringLiteral("Cod_grupa"), 8), text(QStringLiteral("Cod_articol"), 30),
             text(QStringLiteral("Denumire"), 255), text(QStringLiteral("Lot"), 30)},
            {}};
}

// A school with two warehouses, two budgets and one document of each kind.
// The article "OLD" of every document is no longer in the catalog.
class NotePrints : public ::testing::Test {
protected:
    void SetUp() override
    {
        db.setDirectory(dir.path());
        for (const char* t : {"Doc_in.DB", "Item_in.DB", "Doc_out.DB", "Item_out.DB", "Catalog.DB", "Furn.DB", "Gest.db",
                              "Grup.db", "Client.DB", "Firmdata.DB", "TipAlocatie.DB"})
            db.createTable(*datastore::findTableDef(QString::fromLatin1(t)));
        db.createTable(dailyListTable());
        db.createTable(labelsTable());
        db.exec("INSERT INTO FIRMDATA (Cod, Denumire, ORC, \"Cod fiscal\", Adresa, Judet, Cont, Banca, Comisia1, Comisia2, "
                "Comisia3) VALUES (0, 'Scoala Gimnaziala nr. 1', 'J26/1/2001', 'RO123', 'Str. Lunga 3', 'Mures', "
                "'RO12TREZ', 'Trezoreria Tg. Mures', 'Pop Ana', 'Ion Vasile', 'Suciu Dan')");
        db.exec("INSERT INTO FURN (Cod_furnizor, Nume_furnizor, Adresa, Cod_fiscal) VALUES ('S1', 'Papetaria SRL', 'Brasov', 'RO77')");
        db.exec("INSERT INTO \"Gest.db\" (Cod, Denumire, Gestionar) VALUES ('A', 'Magazie centrala', 'Marin Elena'), "
                "('B', 'Cantina', 'Pop Ion')");
        db.exec("INSERT INTO CLIENT (Cod_client, Nume_client, Adresa, Judetul, Cont_bancar, Banca, Cod_fiscal, ORC) VALUES "
                "('B1', 'Buget local', NULL, NULL, NULL, NULL, NULL, NULL), "
                "('B2', 'Venituri proprii', NULL, NULL, NULL, NULL, NULL, NULL), "
                "('C1', 'Scoala nr. 2', 'Str. Scurta 1', 'Mures', 'RO99TREZ', 'Trezoreria', 'RO555', 'J26/2/2002')");
        db.exec("INSERT INTO \"Grup.db\" (Cod_material, Cod_grupa, Denumire) VALUES ('M', 'G', 'Rechizite'), "
                "('M', 'H', 'Alimente')");
        db.exec("INSERT INTO CATALOG (Grupa, Cod, Denumire, Descriere, Unitate_masura, Coef_TVA) VALUES "
                "('G', 'HA4', 'Hartie', 'A4', 'top', 19), ('G', 'PIX', 'Pix', NULL, 'buc', 19), "
                "('H', 'ZAH', 'Zahar', 'tos', 'kg', 9), ('H', 'LAP', 'Lapte', NULL, 'l', 9)");
        db.exec("INSERT INTO \"TipAlocatie.DB\" (Cod, Denumire, EcoDep) VALUES (1, 'Elevi', 1)");
        db.exec("INSERT INTO \"TipAlocatie.DB\" (Cod, Denumire, EcoDep) VALUES (2, 'Personal', 0)");

        // A receipt note.
        db.exec("INSERT INTO DOC_IN (Contor, Data_inregistrarii, Numar, Tip, Data, Furnizor, Explicatie) "
                "VALUES (12, '2026-03-10', 4711, 'FCT', '2026-03-09', 'S1', 'Rechizite')");
        db.exec("INSERT INTO ITEM_IN (Contor, Contor_secundar, Cod_gestiune, Cod_grupa, Cod_articol, Cantitate, "
                "Pret_achizitie_lei, TVA, Agent, Lot) VALUES "
                "(12, 1, 'A', 'G', 'HA4', 10, 23.8, 45.22, 'B1', NULL), (12, 2, 'A', 'G', 'PIX', 100, 1.43, 27.17, 'B1', '7'), "
                "(12, 3, 'A', 'G', 'OLD', 2, 5, 1.9, 'B1', NULL)");
        // A daily food list.
        db.exec("INSERT INTO DOC_IN (Contor, Data_inregistrarii, Numar, Tip, Data) VALUES (20, '2026-03-12', 5, 'LZ', '2026-03-12')");
        db.exec("INSERT INTO ITEM_IN (Contor, Contor_secundar, Cod_gestiune, Cod_grupa, Cod_articol, Cantitate, "
                "Pret_achizitie_lei) VALUES (20, 1, 'B', 'H', 'LAP', 20, 4), (20, 2, 'B', 'H', 'ZAH', 3, 5)");
        db.exec("INSERT INTO LZilnica (Cod, NrPersR, DrepturiR, ConsumatR, NrPers, Drepturi, Consumat) VALUES "
                "(1, 400, 2000, 1900, 40, 200, 230), (2, 30, 300, 250, 3, 30, 25)");

        // A delivery note: HA4 at one price on two lines, and at a second price.
        db.exec("INSERT INTO DOC_OUT (Contor, Data_inregistrarii, Numar, Tip, Data, Client, Explicatie) VALUES "
                "(30, '2026-04-02', 77, 'AE', '2026-04-02', 'C1', NULL), "
                "(31, '2026-04-03', 8, 'BT', '2026-04-03', 'B', 'Pentru cantina'), "
                "(32, '2026-04-04', 9, 'BMC', '2026-04-04', NULL, 'Consum luna aprilie'), "
                "(33, '2026-04-05', 3, 'CSR', '2026-04-05', NULL, NULL)");
        db.exec("INSERT INTO ITEM_OUT (Contor, Contor_secundar, Cod_gestiune, Cod_grupa, Cod_articol, Cantitate, "
                "Pret_achizitie, Pret_vinzare, TVA, Agent, Lot) VALUES "
                "(30, 1, 'A', 'G', 'HA4', 2, 23.8, 30, 11.4, 'B1', NULL), "
                "(30, 2, 'A', 'G', 'HA4', 3, 23.8, 30, 17.1, 'B1', NULL), "
                "(30, 3, 'A', 'G', 'HA4', 1, 25, 32, 6.08, 'B1', NULL), "
                "(30, 4, 'A', 'G', 'PIX', 10, 1.43, 2, 3.8, 'B1', '7'), "
                "(30, 5, 'A', 'G', 'OLD', 1, 5, 6, 1.14, 'B1', NULL), "
                // a hand-over of two budgets
                "(31, 1, 'A', 'G', 'HA4', 2, 23.8, 23.8, 0, 'B1', NULL), "
                "(31, 2, 'A', 'G', 'PIX', 5, 1.43, 1.43, 0, 'B1', '7'), "
                "(31, 3, 'A', 'G', 'HA4', 1, 23.8, 23.8, 0, 'B2', NULL), "
                "(31, 4, 'A', 'G', 'OLD', 4, 5, 5, 0, 'B2', NULL), "
                // a consumption note of two article groups
                "(32, 1, 'A', 'G', 'HA4', 1, 23.8, 23.8, 4.52, 'B1', NULL), "
                "(32, 2, 'A', 'G', 'OLD', 2, 5, 5, 1.9, 'B1', 'L9'), "
                "(32, 3, 'B', 'H', 'ZAH', 4, 5, 5, 1.8, 'B1', NULL), "
                "(32, 4, 'B', 'H', 'ZAH', 1, 5, 5, 0.45, 'B1', NULL), "
                // a scrapping list of two warehouses
                "(33, 1, 'A', 'G', 'HA4', 1, 23.8, 23.8, 0, 'B1', '2019-05-01'), "
                "(33, 2, 'A', 'G', 'OLD', 3, 5, 5, 0, 'B2', '2018-01-01'), "
                "(33, 3, 'B', 'H', 'LAP', 2, 4, 4, 0, 'B1', NULL)");
        db.exec("INSERT INTO Etichete (DenGest, Cod_gestiune, Cod_grupa, Cod_articol, Denumire, Lot) VALUES "
                "('Magazie centrala', 'A', 'G', 'PIX', 'Pix', '2026-01-15'), "
                "('Magazie centrala', 'A', 'G', 'PIX', 'Pix', '2026-01-15'), "
                "('Magazie centrala', 'A', 'G', 'PIX', 'Pix', '2026-01-15'), "
                "('Magazie centrala', 'A', 'G', 'PIX', 'Pix', '2026-01-15')");
    }

    prints::PrintRequest request(double contor) const
    {
        prints::PrintRequest r{const_cast<datastore::Database&>(db), parameters, formats, dir.path()};
        r.contor = contor;
        return r;
    }

    // The print of `kind` laid out, with a fixed printing date.
    reportengine::PageList layout(const QString& kind, const prints::PrintRequest& r) const
    {
        const prints::DocumentPrintKind* k = prints::findDocumentPrintKind(kind);
        if (!k)
            throw std::runtime_error("no print kind " + kind.toStdString());
        prints::DocumentPrint print = k->build(r);
        print.report->printDate(QDateTime(QDate(2026, 4, 6), QTime(10, 30)));
        reportengine::PageList pages = print.layout();
        if (!testsupport::shotsDir().isEmpty())
            reportengine::writePdf(pages, testsupport::shotsDir() + QStringLiteral("/print-%1.pdf").arg(kind));
        return pages;
    }

    QString text(const QString& kind, const prints::PrintRequest& r) const
    {
        return reportengine::plainText(layout(kind, r));
    }

    // The texts of the detail bands printed left of `x` mm on the paper: the running counts.
    QStringList counts(const reportengine::PageList& pages, double x = 20) const
    {
        QStringList found;
        const reportengine::TextCapture c = reportengine::capture(pages);
        for (const reportengine::TextCapture::Text& t : c.texts)
            if (t.band == BandKind::Detail && t.x < x)
                found << t.text;
        return found;
    }

    // A consumption note of three pages: two budgets, each with lines of
    // two article groups, and lines without a budget.
    void addLongConsumptionNote()
    {
        db.exec("INSERT INTO DOC_OUT (Contor, Data_inregistrarii, Numar, Tip, Data, Client, Explicatie) VALUES "
                "(60, '2026-04-20', 14, 'BMC', '2026-04-20', NULL, 'Consum trimestrul II')");
        const struct {
            const char* agent; // nullptr: none
            const char* group;
            const char* article;
            int lines;
        } runs[] = {{"B1", "G", "HA4", 12}, {"B1", "H", "ZAH", 10}, {"B2", "G", "PIX", 14},
                    {"B2", "H", "LAP", 8},  {nullptr, "H", "LAP", 12}, {nullptr, "G", "PIX", 6}};
        int line = 0;
        for (const auto& run : runs)
            for (int i = 0; i < run.lines; ++i) {
                ++line;
                // 3 × 0.335 = 1.005: values that a total of unrounded products gets wrong.
                const double price = 0.335 + 0.01 * i;
                db.exec("INSERT INTO ITEM_OUT (Contor, Contor_secundar, Cod_gestiune, Cod_grupa, Cod_articol, Cantitate, "
                        "Pret_achizitie, Pret_vinzare, TVA, Agent, Lot) VALUES (60, :n, 'A', :g, :a, 3, :p, :p, :t, :b, :l)",
                        {{"n", line},
                         {"g", QString::fromLatin1(run.group)},
                         {"a", QString::fromLatin1(run.article)},
                         {"p", price},
                         {"t", common::roundMoney(3 * price * 0.19, 2)},
                         {"b", run.agent ? QVariant(QString::fromLatin1(run.agent)) : QVariant()},
                         {"l", QStringLiteral("L%1").arg(line)}});
            }
    }

    // A receipt note of two pages whose first lines hold a large amount, one
    // as wide as the largest a line can hold (thirteen digits before the
    // decimals; the totals stay within the fifteen digits a figure prints),
    // and the longest lot.
    static constexpr const char* kLongLot = "L2016-000063-2016-03-09-000001";
    void addLargeReceiptNote()
    {
        db.exec("INSERT INTO DOC_IN (Contor, Data_inregistrarii, Numar, Tip, Data, Furnizor, Explicatie) "
                "VALUES (50, '2026-03-20', 981, 'FCT', '2026-03-19', 'S1', 'Centrala termica')");
        db.exec("INSERT INTO ITEM_IN (Contor, Contor_secundar, Cod_gestiune, Cod_grupa, Cod_articol, Cantitate, "
                "Pret_achizitie_lei, TVA, Agent, Lot) VALUES "
                "(50, 1, 'A', 'G', 'HA4', 1, 6000000, 1140000, 'B1', :lot), "
                "(50, 2, 'A', 'G', 'PIX', 1, 3999999999999.99, 759999999999.99, 'B2', NULL)",
                {{"lot", QString::fromLatin1(kLongLot)}});
        for (int i = 3; i <= 40; ++i)
            db.exec("INSERT INTO ITEM_IN (Contor, Contor_secundar, Cod_gestiune, Cod_grupa, Cod_articol, Cantitate, "
                    "Pret_achizitie_lei, TVA, Agent, Lot) VALUES (50, :n, 'A', 'G', 'PIX', 3, 0.335, 0.19, 'B1', :l)",
                    {{"n", i}, {"l", QStringLiteral("L%1").arg(i)}});
    }

    testsupport::TempDir dir{testsupport::TempDir::Database};
    datastore::Database db;
    common::Parameters parameters;
    common::Formats formats;
};

TEST_F(NotePrints, EachNotePrintsAsItsGoldenText)
{
    const struct {
        const char* kind;
        double contor;
        const char* golden;
        std::function<void(prints::PrintRequest&)> options;
    } cases[] = {
        {"receipt-note", 12, "print-receipt-note.txt", [](prints::PrintRequest& r) { r.registrationDate = QDate(2026, 3, 10); }},
        {"receipt-note", 50, "print-receipt-note-large.txt", {}},
        {"daily-food-list", 20, "print-daily-food-list.txt", {}},
        {"hand-over-note", 31, "print-hand-over-note.txt",
         [](prints::PrintRequest& r) { r.options.explanation = true; }},
        {"delivery-note", 30, "print-delivery-note.txt", {}},
        {"delivery-note", 30, "print-delivery-note-series.txt",
         [](prints::PrintRequest& r) { r.seriesNumber = QStringLiteral("AVZ 1043        "); }},
        {"consumption-note", 32, "print-consumption-note.txt",
         [](prints::PrintRequest& r) {
             r.options.explanation = true;
             r.beneficiary = QStringLiteral("Ionescu Maria");
         }},
        {"consumption-note", 60, "print-consumption-note-budgets.txt",
         [](prints::PrintRequest& r) { r.options.explanation = true; }},
        {"scrapping-list", 33, "print-scrapping-list.txt",
         [](prints::PrintRequest& r) {
             r.options.comment = true; // the signatories under the list
             ASSERT_TRUE(prints::WriteInvoiceFooter(
                 r.definitionDir, QStringLiteral("Comisia de casare:\nPop Ana ____________\nIon Vasile ____________")));
         }},
        {"labels", 0, "print-labels.txt", {}},
    };
    addLargeReceiptNote();
    addLongConsumptionNote();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.golden);
        prints::PrintRequest r = request(c.contor);
        if (c.options)
            c.options(r);
        EXPECT_TRUE(testsupport::matchesGolden(QString::fromLatin1(c.golden), text(QString::fromLatin1(c.kind), r)));
    }
    if (!testsupport::shotsDir().isEmpty() && !testsupport::serverRun()) { // the database, for a look through the command line
        QDir(testsupport::shotsDir()).mkpath(QStringLiteral("notes-db"));
        QFile::remove(testsupport::shotsDir() + QStringLiteral("/notes-db/gestiune.db"));
        db.exec("PRAGMA wal_checkpoint(TRUNCATE)");
        QFile::copy(dir.file(QStringLiteral("gestiune.db")), testsupport::shotsDir() + QStringLiteral("/notes-db/gestiune.db"));
    }
}

// A document line whose article left the catalog keeps its place, its code
// and its value in every note that prints lines.
TEST_F(NotePrints, ALineOfAnArticleMissingFromTheCatalogIsNeverLost)
{
    const struct {
        const char* kind;
        double contor;
        QStringList expected; // the line's code and value, and the note's total with it
    } cases[] = {
        {"receipt-note", 12, {"OLD", "10,00", "391,00"}},
        {"hand-over-note", 31, {"OLD", "20,00", "98,55"}},
        {"delivery-note", 30, {"OLD", "6,00", "208,00"}},
        {"preprinted-delivery-note", 30, {"OLD", "6,00", "208,00"}},
        {"consumption-note", 32, {"OLD", "10,00", "58,80"}},
        {"scrapping-list", 33, {"OLD", "15,00", "46,80"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        const QStringList printed = reportengine::capture(layout(QString::fromLatin1(c.kind), request(c.contor))).textsOn(0);
        for (const QString& e : c.expected)
            EXPECT_TRUE(printed.contains(e)) << e.toStdString() << "\n" << printed.join(u'|').toStdString();
    }
}

// Lines are numbered from 1 in each budget (hand-over) or warehouse
// (scrapping), and straight through on the consumption note.
TEST_F(NotePrints, RunningNumbersRestartWithTheirGroup)
{
    const struct {
        const char* kind;
        double contor;
        QStringList numbers;
    } cases[] = {
        {"hand-over-note", 31, {"1", "2", "1", "2"}},
        {"scrapping-list", 33, {"1", "2", "1"}},
        {"consumption-note", 32, {"1", "2", "3"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        EXPECT_EQ(counts(layout(QString::fromLatin1(c.kind), request(c.contor)), 19), c.numbers);
    }
}

TEST_F(NotePrints, TheHandOverNoteNamesBothWarehousesAndTheirKeepers)
{
    // The receiving warehouse named by the window wins over the document's
    // client; its keeper is found by name whatever the case.
    prints::PrintRequest r = request(31);
    r.warehouseName = QStringLiteral("CANTINA");
    const QStringList printed = reportengine::capture(layout(QStringLiteral("hand-over-note"), r)).textsOn(0);
    for (const char* e : {"Magazie centrala", "CANTINA", "Marin Elena", "Pop Ion"})
        EXPECT_TRUE(printed.contains(QString::fromLatin1(e))) << e;
    EXPECT_FALSE(printed.contains(QStringLiteral("Pentru cantina"))) << "the explanation only when asked";

    // A receiving name that is no warehouse has no keeper.
    r.warehouseName = QStringLiteral("Scoala nr. 2");
    const QStringList other = reportengine::capture(layout(QStringLiteral("hand-over-note"), r)).textsOn(0);
    EXPECT_FALSE(other.contains(QStringLiteral("Pop Ion")));
}

// The consumption note groups by budget whenever its lines hold more than
// one (lines without a budget form a group of their own); one budget prints
// its bands only when the budget list holds it.
TEST_F(NotePrints, TheConsumptionNoteGroupsByBudgetWhenItHoldsSeveral)
{
    const struct {
        const char* name;
        const char* update; // applied to the lines of document 32
        QStringList headers; // the budget headers, in order
        QStringList totals;  // the budget footers
    } cases[] = {
        {"one budget of the list", nullptr, {"Buget local"}, {"Total Buget local 58,80"}},
        {"one budget not in the list", "UPDATE ITEM_OUT SET Agent = 'ZZ' WHERE Contor = 32", {}, {}},
        {"the first line without a budget", "UPDATE ITEM_OUT SET Agent = NULL WHERE Contor = 32 AND Contor_secundar = 2",
         {"(fara buget)", "Buget local"}, {"Total (fara buget) 10,00", "Total Buget local 48,80"}},
        {"a budget not in the list beside one that is", "UPDATE ITEM_OUT SET Agent = 'ZZ' WHERE Contor = 32 AND Cod_grupa = 'H'",
         {"Buget local", "ZZ"}, {"Total Buget local 33,80", "Total ZZ 25,00"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        db.exec("UPDATE ITEM_OUT SET Agent = 'B1' WHERE Contor = 32");
        if (c.update)
            db.exec(QString::fromLatin1(c.update));
        const reportengine::TextCapture printed = reportengine::capture(layout(QStringLiteral("consumption-note"), request(32)));
        QStringList headers, totals;
        for (const reportengine::TextCapture::Text& t : printed.texts)
            if (t.band == BandKind::GroupHeader && t.bold && t.x < 12)
                headers << t.text;
        const QStringList lines = reportengine::plainText(layout(QStringLiteral("consumption-note"), request(32))).split(u'\n');
        for (const QString& l : lines)
            if (l.simplified().startsWith(QStringLiteral("Total ")) && !l.contains(QStringLiteral("Rechizite"))
                && !l.contains(QStringLiteral("Alimente")) && !l.contains(u':'))
                totals << l.simplified();
        EXPECT_EQ(headers, c.headers);
        EXPECT_EQ(totals, c.totals);
        EXPECT_TRUE(printed.textsOn(0).contains(QStringLiteral("58,80"))) << "the note's total";
    }
}

// Every value printed on a note is the line's value rounded once; every total
// adds the values printed above it. Three lines of 0,016 lei print 0,02 each
// and add up to 0,06 (their unrounded sum, 0,048, would print 0,05).
TEST_F(NotePrints, RoundedLineValuesAddUpToEveryTotal)
{
    db.exec("INSERT INTO DOC_IN (Contor, Data_inregistrarii, Numar, Tip, Data) VALUES (40, '2026-03-20', 7, 'NR', '2026-03-20')");
    db.exec("INSERT INTO DOC_OUT (Contor, Data_inregistrarii, Numar, Tip, Data) VALUES (41, '2026-04-20', 15, 'BMC', '2026-04-20')");
    int line = 0;
    for (const char* article : {"HA4", "PIX", "OLD"}) {
        ++line;
        db.exec("INSERT INTO ITEM_IN (Contor, Contor_secundar, Cod_gestiune, Cod_grupa, Cod_articol, Cantitate, "
                "Pret_achizitie_lei, TVA, Agent) VALUES (40, :n, 'A', 'G', :a, 1, 0.016, 0, 'B1')",
                {{"n", line}, {"a", QString::fromLatin1(article)}});
        db.exec("INSERT INTO ITEM_OUT (Contor, Contor_secundar, Cod_gestiune, Cod_grupa, Cod_articol, Cantitate, "
                "Pret_achizitie, Pret_vinzare, TVA, Agent) VALUES (41, :n, 'A', 'G', :a, 1, 0.016, 0.016, 0, 'B1')",
                {{"n", line}, {"a", QString::fromLatin1(article)}});
    }
    // The daily list: three types with 0,016 lei of rights and consumption in each period.
    db.exec("DELETE FROM LZilnica");
    db.exec("INSERT INTO LZilnica (Cod, NrPersR, DrepturiR, ConsumatR, NrPers, Drepturi, Consumat) VALUES "
            "(1, 1, 0.016, 0.016, 1, 0.016, 0.016), (2, 1, 0.016, 0.016, 1, 0.016, 0.016), "
            "(3, 1, 0.016, 0.016, 1, 0.016, 0.016)");

    const struct {
        const char* kind;
        double contor;
        int totals; // how many totals print 0,06
    } cases[] = {
        {"receipt-note", 40, 2},     // Valoare totala, Total document
        {"hand-over-note", 41, 2},   // the budget, Total general
        {"consumption-note", 41, 4}, // the article group, the budget, Valoare totala, Total document
        {"scrapping-list", 41, 2},   // the warehouse, Total general
        {"daily-food-list", 20, 4},  // rights and consumption of the day and carried over, in Total general
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        const reportengine::TextCapture printed = reportengine::capture(layout(QString::fromLatin1(c.kind), request(c.contor)));
        const QStringList texts = printed.textsOn(0);
        EXPECT_EQ(texts.count(QStringLiteral("0,06")), c.totals) << texts.join(u'|').toStdString();
        EXPECT_FALSE(texts.contains(QStringLiteral("0,05"))) << texts.join(u'|').toStdString();
        EXPECT_GE(texts.count(QStringLiteral("0,02")), 3);
    }
}

// A line of 6 000 000 lei at 19 %, one of the largest amount a line can hold
// and a lot of 30 characters: every figure stays inside its column, the lot
// on one line.
TEST_F(NotePrints, TheReceiptNoteKeepsEveryFigureInItsColumn)
{
    addLargeReceiptNote();
    const reportengine::TextCapture printed = reportengine::capture(layout(QStringLiteral("receipt-note"), request(50)));
    for (const reportengine::TextCapture::Text& t : printed.texts) {
        if (t.band != BandKind::Detail && t.band != BandKind::Summary)
            continue;
        EXPECT_GE(t.x, t.box.left() - 0.01) << t.text.toStdString();
        EXPECT_LE(t.x + t.width, t.box.right() + 0.01) << t.text.toStdString();
    }
    // The totals: 38 lines of 3 × 0,335 = 1,005, each 1,00 lei, with 0,19 lei of VAT.
    for (const char* whole : {"6.000.000,00", "1.140.000,00", "3.999.999.999.999,99", "759.999.999.999,99", kLongLot,
                              "4.000.006.000.037,99", "760.001.140.007,21", "4.760.007.140.045,20"})
        EXPECT_FALSE(printed.find(QString::fromLatin1(whole)).isEmpty()) << whole;
    // The VAT of the large line prints in the VAT column, right of the value.
    const auto value = printed.find(QStringLiteral("6.000.000,00")).first();
    const auto vat = printed.find(QStringLiteral("1.140.000,00")).first();
    EXPECT_GT(vat.box.left(), value.box.right() - 0.01);
}

// The pages after the first carry a line naming the note: its number and dates.
TEST_F(NotePrints, ContinuationPagesNameTheirNote)
{
    addLargeReceiptNote();
    addLongConsumptionNote();
    const struct {
        const char* kind;
        double contor;
        int pages;
        const char* header;
    } cases[] = {
        {"receipt-note", 50, 2,
         "Nota de receptie   Nr. : 50  din data 20.03.2026   la documentul nr. 981  data 19.03.2026"},
        {"consumption-note", 60, 3, "BON CONSUM MATERIALE   Nr. 14   data 20.04.2026   60 / 20.04.2026"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        const reportengine::TextCapture printed = reportengine::capture(layout(QString::fromLatin1(c.kind), request(c.contor)));
        ASSERT_EQ(printed.pageCount, c.pages);
        EXPECT_TRUE(printed.onPage(0, BandKind::PageHeader).isEmpty()) << "the title names it on the first page";
        for (int page = 1; page < c.pages; ++page) {
            const auto header = printed.onPage(page, BandKind::PageHeader);
            ASSERT_FALSE(header.isEmpty()) << page;
            EXPECT_EQ(header.first().text, QString::fromLatin1(c.header)) << page;
        }
    }
}

// The daily list: one row per allocation type, with the carried-over, the
// day's and the total figures side by side. A type that does not count its
// consumption shows it but compares none of it; the menu names its
// warehouses only when there are two.
TEST_F(NotePrints, TheDailyListComparesOnlyCountedConsumption)
{
    QString printed = text(QStringLiteral("daily-food-list"), request(20));
    const QStringList lines = printed.split(u'\n');
    const auto line = [&](const QString& start) {
        for (const QString& l : lines)
            if (l.simplified().startsWith(start))
                return l.simplified();
        return QString();
    };
    // "Personal" (EcoDep off): consumption shown, 0 counted, the rights saved whole.
    EXPECT_EQ(line(QStringLiteral("2 Personal")),
              QStringLiteral("2 Personal 30 300,00 250,00 0,00 300,00 0,00 3 30,00 25,00 0,00 30,00 0,00 "
                             "33 330,00 275,00 0,00 330,00 0,00"));
    // "Elevi": the day's overrun; over the year, savings.
    EXPECT_EQ(line(QStringLiteral("1 Elevi")),
              QStringLiteral("1 Elevi 400 2.000,00 1.900,00 1.900,00 100,00 0,00 40 200,00 230,00 230,00 0,00 30,00 "
                             "440 2.200,00 2.130,00 2.130,00 70,00 0,00"));
    // The totals' savings and overruns worked out on the sums: the day's
    // overrun of one type and savings of the other leave neither.
    EXPECT_EQ(line(QStringLiteral("Total general:")),
              QStringLiteral("Total general: 430 2.300,00 2.150,00 1.900,00 400,00 0,00 43 230,00 255,00 230,00 0,00 0,00 "
                             "473 2.530,00 2.405,00 2.130,00 400,00 0,00"));
    EXPECT_TRUE(printed.contains(QStringLiteral("Lapte, Zahar tos"))) << "one warehouse: no prefix";

    db.exec("UPDATE ITEM_IN SET Cod_gestiune = 'A' WHERE Contor = 20 AND Contor_secundar = 2");
    printed = text(QStringLiteral("daily-food-list"), request(20));
    EXPECT_TRUE(printed.contains(QStringLiteral("Cantina : Lapte"))) << printed.toStdString();
    EXPECT_TRUE(printed.contains(QStringLiteral("Magazie centrala : Zahar tos")));
}

// The pre-printed form takes its places from Aviz.INI: a new file is filled
// from the design, and a value changed in it moves the element.
TEST_F(NotePrints, ThePreprintedDeliveryNoteFollowsItsLayoutFile)
{
    prints::PrintRequest r = request(30);
    r.layoutDir = dir.path();
    const auto place = [&](const QString& text) {
        const QList<reportengine::TextCapture::Text> found =
            reportengine::capture(layout(QStringLiteral("preprinted-delivery-note"), r)).find(text);
        return found.isEmpty() ? QPointF(-1, -1) : QPointF(found.first().x, found.first().y);
    };
    const QPointF design = place(QStringLiteral("Scoala nr. 2"));
    common::IniFile ini(dir.file(QStringLiteral("Aviz.INI")));
    EXPECT_EQ(ini.readInteger("Antet client", "Firma_stinga", -1), 120);
    // The page goes into the file once the note is printed.
    EXPECT_FALSE(ini.valueExists("Margini", "Stinga"));
    const prints::DocumentPrint print = prints::BuildPreprintedDeliveryNote(r);
    print.layout();
    ASSERT_TRUE(print.keepPage && print.keepPage());
    ini.reload();
    EXPECT_EQ(ini.readInteger("Margini", "Stinga", -1), 8);
    EXPECT_EQ(ini.readInteger("Antet+cap tabel", "Inaltime", -1), 95);
    EXPECT_TRUE(ini.valueExists("Pozitie aviz", "Pret_stings"));
    EXPECT_TRUE(ini.valueExists("Antet aviz", "Data_latime"));

    ini.writeInteger("Antet client", "Firma_stinga", 100);
    const QPointF moved = place(QStringLiteral("Scoala nr. 2"));
    EXPECT_NEAR(moved.x() - design.x(), -20, 0.01);
    EXPECT_NEAR(moved.y(), design.y(), 0.01);

    // The description joins the name when asked; the comment prints below the lines.
    ASSERT_TRUE(prints::WriteInvoiceFooter(dir.path(), QStringLiteral("Marfa circula pe raspunderea cumparatorului")));
    r.options.description = true;
    r.options.comment = true;
    const QStringList printed = reportengine::capture(layout(QStringLiteral("preprinted-delivery-note"), r)).textsOn(0);
    EXPECT_TRUE(printed.contains(QStringLiteral("HA4 - Hartie A4")));
    EXPECT_TRUE(printed.contains(QStringLiteral("Marfa circula pe raspunderea cumparatorului")));
}

TEST_F(NotePrints, LabelsPrintThreeToARowAndNothingForAnEmptyTable)
{
    const reportengine::TextCapture four = reportengine::capture(layout(QStringLiteral("labels"), request(0)));
    EXPECT_EQ(four.find(QStringLiteral("PIX - Pix")).size(), 4);
    QList<double> columns;
    for (const reportengine::TextCapture::Text& t : four.find(QStringLiteral("PIX - Pix")))
        if (!columns.contains(t.x))
            columns << t.x;
    EXPECT_EQ(columns.size(), 3);

    db.exec("DELETE FROM Etichete");
    const reportengine::TextCapture none = reportengine::capture(layout(QStringLiteral("labels"), request(0)));
    EXPECT_TRUE(none.texts.isEmpty());
}

} // namespace
