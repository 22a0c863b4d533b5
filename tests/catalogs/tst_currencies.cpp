// Currencies and rates: the reader of the National Bank of Romania's rate
// file, the import (one unit of work, replaced rates, unknown currencies),
// the import from a local HTTP server, the window's checks and the rate cache
// that forgets a currency whose rates changed.

#include "catalogs/currencieslogic.h"
#include "catalogs/nbrrates.h"
#include "catalogs/rates.h"
#include "catalogs/urlfetch.h"
#include "common/scripteddialogs.h"
#include "datastore/tablecatalog.h"
#include "testsupport.h"

#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>
#include <gtest/gtest.h>

using namespace catalogs;
using namespace datastore;

namespace {

QByteArray nbrFile(const QByteArray& cubes, const QByteArray& origin = "RON")
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
           "<DataSet xmlns=\"http://www.bnr.ro/xsd\" xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">\n"
           "<Header><Publisher>National Bank of Romania</Publisher><PublishingDate>2026-12-09</PublishingDate>"
           "<MessageType>DR</MessageType></Header>\n"
           "<Body><Subject>Reference rates</Subject><OrigCurrency>"
        + origin + "</OrigCurrency>\n" + cubes + "</Body></DataSet>\n";
}

const QByteArray kOneDay = "<Cube date=\"2026-12-09\"><Rate currency=\"EUR\">4.9765</Rate>"
                           "<Rate currency=\"HUF\" multiplier=\"100\">1.2345</Rate>"
                           "<Rate currency=\"USD\">4.2810</Rate></Cube>";

QString text(const QList<NbrRate>& rates)
{
    QStringList parts;
    for (const NbrRate& r : rates)
        parts << r.currency + " " + r.date.toString(Qt::ISODate) + " " + QString::number(r.rate, 'g', 10);
    return parts.join(", ");
}

// A small HTTP server in the test process: GET of a known path answers its
// body, anything else 404.
class LocalHttpServer : public QObject {
public:
    LocalHttpServer()
    {
        server.listen(QHostAddress::LocalHost, 0);
        connect(&server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = server.nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                    request += socket->readAll();
                    if (!request.contains("\r\n\r\n"))
                        return;
                    const QByteArray path = request.split(' ').value(1);
                    request.clear();
                    QByteArray answer;
                    if (files.contains(path))
                        answer = "HTTP/1.1 200 OK\r\nContent-Type: text/xml\r\nContent-Length: "
                            + QByteArray::number(files[path].size()) + "\r\nConnection: close\r\n\r\n" + files[path];
                    else
                        answer = "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
                    ++requests;
                    socket->write(answer);
                    socket->disconnectFromHost();
                });
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
    }
    QString url(const QString& path) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(server.serverPort()).arg(path);
    }

    QTcpServer server;
    QHash<QByteArray, QByteArray> files;
    QByteArray request;
    int requests = 0;
};

class CurrenciesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        db.setDirectory(dir.path());
        for (const char* t : {"Valuta.db", "Curs.db", "Catalog.DB", "Item_in.DB", "Avit_in.DB", "Splvpay.DB", "Target.DB"})
            db.createTable(*findTableDef(QString::fromLatin1(t)));
        db.exec("INSERT INTO Valuta (Moneda, Denumire) VALUES ('LEI', 'Lei'), ('EUR', 'Euro'), ('HUF', 'Forint')");
        db.exec("INSERT INTO Curs (Valuta, Data, Curs) VALUES ('LEI', '2001-01-01', 1.0), ('EUR', '2026-12-09', 4.9)");
    }
    QStringList rates()
    {
        QStringList rows;
        Query q = db.query("SELECT Valuta, Data, Curs FROM \"Curs.db\" ORDER BY Valuta, Data");
        while (q.next())
            rows << q.value(0).toString() + " " + q.value(1).toString() + " " + QString::number(q.value(2).toDouble(), 'g', 10);
        return rows;
    }

    testsupport::TempDir dir;
    Database db;
    common::ScriptedDialogs dialogs;
    RateCache cache;
};

} // namespace

TEST(NbrRates, ParsesTheFileOrRefusesItWhole)
{
    struct Case {
        const char* name;
        QByteArray xml;
        QString rates;    // expected rates; empty when refused
        QString errorHas; // part of the reason
    };
    const QList<Case> cases = {
        {"one day, with a multiplier", nbrFile(kOneDay), "EUR 2026-12-09 4.9765, HUF 2026-12-09 0.012345, USD 2026-12-09 4.281", {}},
        {"the ten-day file",
         nbrFile("<Cube date=\"2026-12-08\"><Rate currency=\"EUR\">4.97</Rate></Cube>"
                 "<Cube date=\"2026-12-09\"><Rate currency=\"EUR\">4.98</Rate><Rate currency=\"jpy\" multiplier=\"100\">2.9</Rate></Cube>"),
         "EUR 2026-12-08 4.97, EUR 2026-12-09 4.98, JPY 2026-12-09 0.029", {}},
        {"broken XML", nbrFile(kOneDay).replace("</Cube>", "</Cub>"), {}, "XML invalid la linia"},
        {"cut short", nbrFile(kOneDay).left(300), {}, "XML invalid"},
        {"empty", "", {}, "fisierul este gol"},
        {"another document", "<html><body>Not found</body></html>", {}, "lipseste elementul DataSet"},
        {"no rates", nbrFile(""), {}, "nu contine niciun curs"},
        {"text for a rate", nbrFile("<Cube date=\"2026-12-09\"><Rate currency=\"EUR\">4,97</Rate></Cube>"), {},
         "cursul monedei EUR din 09.12.2026 nu este un numar valid: \"4,97\""},
        {"negative rate", nbrFile("<Cube date=\"2026-12-09\"><Rate currency=\"EUR\">-1</Rate></Cube>"), {}, "nu este un numar valid"},
        {"bad multiplier", nbrFile("<Cube date=\"2026-12-09\"><Rate currency=\"HUF\" multiplier=\"0\">1.2</Rate></Cube>"), {},
         "multiplicatorul monedei HUF"},
        {"bad date", nbrFile("<Cube date=\"2026-13-09\"><Rate currency=\"EUR\">4.9</Rate></Cube>"), {}, "data \"2026-13-09\""},
        {"rates not against RON", nbrFile(kOneDay, "EUR"), {}, "nu fata de RON"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QString error;
        const QList<NbrRate> parsed = ParseNbrRates(c.xml, error);
        EXPECT_EQ(text(parsed).toStdString(), c.rates.toStdString());
        if (c.errorHas.isEmpty()) {
            EXPECT_TRUE(error.isEmpty()) << error.toStdString();
        } else {
            EXPECT_TRUE(error.startsWith("Fisierul de cursuri BNR nu poate fi citit: ")) << error.toStdString();
            EXPECT_TRUE(error.contains(c.errorHas)) << error.toStdString();
        }
    }
}

TEST_F(CurrenciesTest, ImportReplacesTheRatesOfKnownCurrenciesAndSkipsTheOthers)
{
    cache.add("EUR", 4.9);
    cache.add("LEI", 1.0);
    QString error;
    const QList<NbrRate> parsed = ParseNbrRates(
        nbrFile(kOneDay + "<Cube date=\"2026-12-10\"><Rate currency=\"EUR\">4.99</Rate><Rate currency=\"GBP\">5.7</Rate></Cube>"),
        error);
    ASSERT_TRUE(error.isEmpty());
    const NbrImportResult result = ImportNbrRates(db, parsed, &cache);

    EXPECT_EQ(result.added, 2);
    EXPECT_EQ(result.replaced, 1) << "EUR of 9 December had 4.9";
    EXPECT_EQ(result.skippedCurrencies, (QStringList{"GBP", "USD"}));
    EXPECT_EQ(rates(), (QStringList{"EUR 2026-12-09 4.9765", "EUR 2026-12-10 4.99", "HUF 2026-12-09 0.012345",
                                    "LEI 2001-01-01 1"}));
    EXPECT_FALSE(cache.find("EUR").has_value()) << "the cache forgets a currency whose rates changed";
    EXPECT_EQ(cache.find("LEI"), 1.0);
    EXPECT_EQ(NbrImportSummary(result),
              "Cursurile BNR din 09.12.2026 - 10.12.2026 au fost importate: 2 adaugate, 1 inlocuite, 0 neschimbate.\r"
              "Monede care nu exista in catalogul de valute (neimportate): GBP, USD.");

    // Again: nothing changes.
    const NbrImportResult again = ImportNbrRates(db, parsed, &cache);
    EXPECT_EQ(again.added + again.replaced, 0);
    EXPECT_EQ(again.unchanged, 3);
}

TEST_F(CurrenciesTest, ABrokenFileOrAFailingWriteChangesNothing)
{
    const QStringList before = rates();
    TCurrenciesLogic logic(db, dialogs, &cache);
    ASSERT_TRUE(logic.FormCreate());

    const QString file = dir.file("nbrfxrates.xml");
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(nbrFile(kOneDay).replace("4.2810", "n/a"));
    f.close();
    EXPECT_FALSE(logic.ImportNbrRates(file, {}));
    ASSERT_EQ(dialogs.texts().size(), 1);
    EXPECT_TRUE(dialogs.texts()[0].contains("cursul monedei USD din 09.12.2026 nu este un numar valid: \"n/a\""));
    EXPECT_TRUE(dialogs.texts()[0].endsWith("Nu s-a importat niciun curs."));
    EXPECT_EQ(rates(), before);

    dialogs.clear();
    EXPECT_FALSE(logic.ImportNbrRates(dir.file("lipsa.xml"), {}));
    EXPECT_TRUE(dialogs.texts().value(0).startsWith("Nu pot deschide fisierul ")) << dialogs.texts().join("|").toStdString();

    // A write that fails half-way (a trigger refuses HUF) leaves EUR untouched as well.
    db.exec("CREATE TRIGGER refuse_huf BEFORE INSERT ON Curs WHEN NEW.Valuta = 'HUF' BEGIN SELECT RAISE(ABORT, 'disc plin'); END");
    QString error;
    EXPECT_ANY_THROW(ImportNbrRates(db, ParseNbrRates(nbrFile(kOneDay), error), &cache));
    EXPECT_EQ(rates(), before);
}

TEST_F(CurrenciesTest, ImportFromALocalHttpServer)
{
    LocalHttpServer server;
    ASSERT_TRUE(server.server.isListening());
    server.files.insert("/nbrfxrates.xml", nbrFile(kOneDay));
    server.files.insert("/stricat.xml", "<DataSet><Body><Cube date=\"2026-12-09\"><Rate currency=\"EUR\">4.1");

    TCurrenciesLogic logic(db, dialogs, &cache);
    ASSERT_TRUE(logic.FormCreate());
    const UrlFetcher fetch = [](const QString& url, QString& error) { return FetchUrl(url, error, 10000); };

    EXPECT_TRUE(logic.ImportNbrRates(server.url("/nbrfxrates.xml"), fetch));
    EXPECT_EQ(dialogs.texts(), QStringList{"Cursurile BNR din 09.12.2026 au fost importate: 1 adaugate, 1 inlocuite, 0 neschimbate.\r"
                                           "Monede care nu exista in catalogul de valute (neimportate): USD."});
    EXPECT_TRUE(rates().contains("HUF 2026-12-09 0.012345"));
    EXPECT_TRUE(logic.rates.isOpen());

    const QStringList before = rates();
    for (const char* path : {"/stricat.xml", "/lipsa.xml"}) {
        SCOPED_TRACE(path);
        dialogs.clear();
        EXPECT_FALSE(logic.ImportNbrRates(server.url(path), fetch));
        ASSERT_EQ(dialogs.texts().size(), 1);
        EXPECT_EQ(rates(), before);
    }
    EXPECT_TRUE(dialogs.texts()[0].startsWith("Nu pot descarca cursurile BNR de la " + server.url("/lipsa.xml")));
    EXPECT_EQ(server.requests, 3);
}

TEST_F(CurrenciesTest, TheWindowChecksCurrenciesAndRatesAndTheCacheFollows)
{
    TCurrenciesLogic logic(db, dialogs, &cache);
    ASSERT_TRUE(logic.FormCreate());
    Dataset rateTable(db, kRateTable);
    rateTable.setOrderBy(kRateOrder);
    rateTable.open();
    EXPECT_EQ(GetLatestRate(cache, rateTable, "EUR"), 4.9);

    // A new rate for EUR: the latest rate is read again.
    ASSERT_TRUE(logic.currencies.locate({"Moneda"}, {"EUR"}));
    logic.rates.append();
    EXPECT_EQ(logic.rates.value("Data").toDate(), QDate::currentDate());
    logic.rates.setValue("Curs", 5.1);
    logic.rates.post();
    EXPECT_EQ(GetLatestRate(cache, rateTable, "EUR"), 5.1);
    logic.rates.remove();
    EXPECT_EQ(GetLatestRate(cache, rateTable, "EUR"), 4.9);

    struct Case {
        const char* name;
        std::function<void()> act;
        QString warning;
    };
    const QList<Case> cases = {
        {"rate of zero", [&] { logic.rates.append(); logic.rates.setValue("Curs", 0); logic.rates.post(); },
         "Introduceti data si cursul (un numar mai mare decit zero)!"},
        {"currency without name", [&] { logic.currencies.append(); logic.currencies.setValue("Moneda", "usd"); logic.currencies.post(); },
         "Introduceti codul si denumirea monedei!"},
        {"currency with rates deleted", [&] { logic.currencies.locate({"Moneda"}, {"EUR"}); logic.currencies.remove(); },
         "Moneda EUR nu poate fi stearsa deoarece este folosita in cursuri valutare! Stergeti inregistrarile aferente si reveniti!"},
        {"currency of an article recoded",
         [&] {
             db.exec("INSERT INTO Catalog (Grupa, Cod, Moneda) VALUES ('G1', 'A1', 'HUF')");
             logic.currencies.locate({"Moneda"}, {"HUF"});
             logic.currencies.edit();
             logic.currencies.setValue("Moneda", "HUX");
             logic.currencies.post();
         },
         "Codul monedei HUF nu poate fi modificat deoarece este folosit in catalogul de articole!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dialogs.clear();
        EXPECT_THROW(c.act(), Abort);
        EXPECT_EQ(dialogs.texts(), QStringList{c.warning});
        if (logic.rates.isEditing())
            logic.rates.cancel();
        if (logic.currencies.isEditing())
            logic.currencies.cancel();
    }

    // A lower-case code is stored in capitals.
    dialogs.clear();
    logic.currencies.append();
    logic.currencies.setValue("Moneda", "usd");
    logic.currencies.setValue("Denumire", "Dolar american");
    logic.currencies.post();
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM \"Valuta.db\" WHERE Moneda = 'USD'").toInt(), 1);
    EXPECT_TRUE(dialogs.texts().isEmpty());
}
