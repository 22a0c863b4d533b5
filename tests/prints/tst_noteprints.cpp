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
        db.exec("INSERT INTO \"TipAlocatie.DB\" (Cod, Denumire, EcoDep) VALUES (1, 'Elevi', 1), (2, 'Personal', 0)");

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

    testsupport::TempDir dir;
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
        {"scrapping-list", 33, "print-scrapping-list.txt",
         [](prints::PrintRequest& r) {
             r.options.comment = true; // the signatories under the list
             ASSERT_TRUE(prints::WriteInvoiceFooter(
                 r.definitionDir, QStringLiteral("Comisia de casare:\nPop Ana ____________\nIon Vasile ____________")));
         }},
        {"labels", 0, "print-labels.txt", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.golden);
        prints::PrintRequest r = request(c.contor);
        if (c.options)
            c.options(r);
        EXPECT_TRUE(testsupport::matchesGolden(QString::fromLatin1(c.golden), text(QString::fromLatin1(c.kind), r)));
    }
    if (!testsupport::shotsDir().isEmpty()) { // the database, for a look through the command line
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

TEST_F(NotePrints, TheConsumptionNoteDropsTheBudgetBandsWhenTheFirstLineHasNoBudget)
{
    db.exec("UPDATE ITEM_OUT SET Agent = 'ZZ' WHERE Contor = 32");
    const QString printed = text(QStringLiteral("consumption-note"), request(32));
    EXPECT_FALSE(printed.contains(QStringLiteral("Total Buget local")));
    EXPECT_TRUE(printed.contains(QStringLiteral("Total Rechizite")));
    EXPECT_TRUE(printed.contains(QStringLiteral("Total Alimente")));
    EXPECT_TRUE(printed.contains(QStringLiteral("58,80")));
}

// The daily list: a type that does not count its consumption shows it but
// compares none of it; the menu names its warehouses only when there are two.
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
    // "Personal" (EcoDep off): consumption 250 shown, 0 counted, the rights saved whole.
    EXPECT_EQ(line(QStringLiteral("2 Personal")), QStringLiteral("2 Personal Report 30 300,00 250,00 0,00 300,00 0,00"));
    // The overrun of the day, and the totals' savings worked out on the sums.
    EXPECT_EQ(line(QStringLiteral("Ziua curenta 40")), QStringLiteral("Ziua curenta 40 200,00 230,00 230,00 0,00 30,00"));
    EXPECT_EQ(line(QStringLiteral("Total 473")), QStringLiteral("Total 473 2.530,00 2.405,00 2.130,00 400,00 0,00"));
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
