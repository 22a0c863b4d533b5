// Every statement that the windows, prints and reports run, exactly as they
// write it, through the storage layer: a complete database with a few rows
// (so that joins return something) and the private directory with the
// working tables the reports read. Also the statements of the database
// upgrade chain (on tables of the older structure) and of the import from an
// archived database.
//
// Statements quoted line by line are joined with line breaks, as the windows
// keep them; conditions that a report puts into its query at run time (a
// warehouse list, a budget, a series) are filled in with plausible values.

#include "datastore/database.h"
#include "datastore/sqldialect.h"
#include "datastore/tablecatalog.h"
#include "testsupport.h"

#include <QDate>
#include <QDir>
#include <algorithm>
#include <gtest/gtest.h>

using namespace datastore;

namespace {

enum class On { Main, Private };

struct Case {
    On on;
    QString sql;
    QVariantHash params;
    int rows;           // rows read (SELECT) or affected (others); -1: not checked
    const char* column; // a column of the first row to check, or nullptr
    QVariant value;
    const char* flaw;   // why the statement cannot run as written, or nullptr
};

Case run(On on, const QString& sql, const QVariantHash& params = {}, int rows = -1, const char* column = nullptr,
         const QVariant& value = {})
{
    return {on, sql, params, rows, column, value, nullptr};
}

// A statement that cannot run as written; the reason is the expected failure.
Case flawed(On on, const QString& sql, const QVariantHash& params, const char* why)
{
    return {on, sql, params, -1, nullptr, {}, why};
}

// Lines of a statement as a window keeps them.
QString lines(std::initializer_list<const char*> parts)
{
    QStringList l;
    for (const char* p : parts)
        l << QString::fromUtf8(p);
    return l.join(u'\n');
}

QString str(const char* s) { return QString::fromUtf8(s); }

bool isSelect(const QString& sql) { return sql.trimmed().startsWith(QLatin1String("SELECT"), Qt::CaseInsensitive); }

void expectValue(const QVariant& actual, const QVariant& expected, const QString& sql)
{
    switch (expected.typeId()) {
    case QMetaType::Double:
        EXPECT_NEAR(actual.toDouble(), expected.toDouble(), 1e-9) << sql.toStdString();
        break;
    case QMetaType::Int:
        EXPECT_EQ(actual.toLongLong(), expected.toLongLong()) << sql.toStdString();
        break;
    case QMetaType::QDate:
        EXPECT_EQ(actual.toDate(), expected.toDate()) << sql.toStdString();
        break;
    case QMetaType::Bool:
        EXPECT_EQ(actual.toBool(), expected.toBool()) << sql.toStdString();
        break;
    default:
        EXPECT_EQ(actual.toString(), expected.toString()) << sql.toStdString();
        break;
    }
}

// Runs the cases in order, each on its connection.
void runCases(const QList<Case>& cases, Database& main, Database* priv)
{
    for (const Case& c : cases) {
        Database& db = c.on == On::Main ? main : *priv;
        if (c.flaw) {
            EXPECT_THROW(isSelect(c.sql) ? void(db.query(c.sql, c.params)) : void(db.exec(c.sql, c.params)), DbError)
                << c.flaw << ": " << c.sql.toStdString();
            continue;
        }
        try {
            if (isSelect(c.sql)) {
                Query rows = db.query(c.sql, c.params);
                int count = 0;
                while (rows.next()) {
                    if (count++ == 0 && c.column)
                        expectValue(rows.value(QString::fromUtf8(c.column)), c.value, c.sql);
                }
                if (c.rows >= 0) {
                    EXPECT_EQ(count, c.rows) << c.sql.toStdString();
                }
                if (c.column && count == 0) {
                    ADD_FAILURE() << "no row to check " << c.column << ": " << c.sql.toStdString();
                }
            } else {
                const int affected = db.exec(c.sql, c.params);
                if (c.rows >= 0) {
                    EXPECT_EQ(affected, c.rows) << c.sql.toStdString();
                }
            }
        } catch (const DbError& e) {
            ADD_FAILURE() << c.sql.toStdString() << "\n -> " << e.what() << "\n [" << db.translate(c.sql).toStdString() << "]";
        }
    }
}

void execAll(Database& db, std::initializer_list<const char*> statements)
{
    for (const char* s : statements)
        db.exec(QString::fromUtf8(s));
}

QDate d(int y, int m, int day) { return QDate(y, m, day); }

// The key of the stock ledger, as the working tables carry it.
QList<FieldDef> stockKey()
{
    return {text("Cod_gestiune", 4), text("Cod_grupa", 8), text("Cod_articol", 30), floating("Pret_achizitie"),
            text("Agent", 3), text("Lot", 30)};
}

// The statements on each engine: SQLite, and PostgreSQL when the tests are
// given a cluster (MIRAFEL_PG_SOCKET_DIR), with the same results; SQLite's
// are the reference.
enum class Backend { Sqlite, Postgres };

class StatementsTest : public ::testing::TestWithParam<Backend> {
protected:
    void SetUp() override
    {
        if (GetParam() == Backend::Postgres) {
            if (testsupport::ServerSchema::socketDir().isEmpty())
                GTEST_SKIP() << "no PostgreSQL cluster (MIRAFEL_PG_SOCKET_DIR)";
            mainSchema.useIn(dir.path());
            privateSchema.useIn(privDir.path());
        }
        db.setDirectory(dir.path());
        for (const TableDef& t : databaseTables())
            db.createTable(t);
        // Targets per beneficiary: not created with a new database, kept by
        // databases that have it; its statements are run against it here.
        db.createTable(*findTableDef("TargetA.DB"));

        priv.setDirectory(privDir.path());
        priv.attach(kDatabaseAlias, dir.path());
        db.attach(kPrivateAlias, privDir.path());

        execAll(db, {
            "INSERT INTO Gest (Cod, Denumire, Gestionar) VALUES ('01', 'Magazie', 'Ion Pop')",
            "INSERT INTO Gest (Cod, Denumire, Gestionar) VALUES ('02', 'Cantina', 'Ana Pop')",
            "INSERT INTO Grup (Cod_material, Cod_grupa, Denumire, Cont_sint, Target) VALUES ('M1', 'G1', 'Alimente', '302', 1)",
            "INSERT INTO Catalog (Grupa, Cod, Denumire, Descriere, Unitate_masura, \"Generic 1\", Pret_vinzare, Moneda, "
            "Cont_marfa, Cont_cheltuieli, Cont_TVA_Intrari, Cont_TVA_Iesiri, Coef_TVA, Cont_adaos, Cont_venituri, Stock_minim, "
            "Proteine) VALUES ('G1', 'FAI001', 'Faina', 'alba', 'kg', 'tip 000', 3, 'LEI', '371', '607', '4426', '4427', 9, "
            "'378', '707', 10, 12)",
            "INSERT INTO Catalog (Grupa, Cod, Denumire, Unitate_masura, Pret_vinzare, Moneda, Coef_TVA, Stock_minim) "
            "VALUES ('G1', 'ZAH001', 'Zahar', 'kg', 5, 'LEI', 9, 2)",
            "INSERT INTO Client (Cod_client, Nume_client, Adresa, Judetul, Cod_fiscal, Cont, Grila) "
            "VALUES ('B1', 'Buget local', 'Str. Mare 1', 'Cluj', 'RO123', '4111', 1)",
            "INSERT INTO Furn (Cod_furnizor, Nume_furnizor, Cont_creditor, Adresa, Cod_fiscal) "
            "VALUES ('F1', 'Furnizor SA', '401', 'Str. Mica 2', 'RO456')",
            "INSERT INTO User (Init, Name, Psw, Acces) VALUES ('AB', 'Ana Barbu', 'x', 0)",
            "INSERT INTO Valuta (Moneda, Denumire) VALUES ('LEI', 'Lei')",
            "INSERT INTO Firmdata (Cod, Denumire, Adresa, \"Cod fiscal\") VALUES (1, 'Primaria', 'Cluj', 'RO1')",
            // Input documents: a receipt, a daily food list, a delivery note and the initial stock.
            "INSERT INTO Doc_in (Contor, Data_inregistrarii, Numar, Tip, Data, Furnizor, Explicatie) "
            "VALUES (1, '2026-01-10', 1, 'NIR', '2026-01-10', 'F1', 'Receptie faina')",
            "INSERT INTO Doc_in (Contor, Data_inregistrarii, Numar, Tip, Data, Furnizor, Explicatie) "
            "VALUES (2, '2026-02-02', 1, 'LZ', '2026-02-02', 'F1', 'Lista zilnica')",
            "INSERT INTO Doc_in (Contor, Data_inregistrarii, Numar, Tip, Data, Furnizor, Explicatie) "
            "VALUES (3, '2026-01-15', 5, 'AE', '2026-01-15', 'F1', 'Aviz')",
            "INSERT INTO Doc_in (Contor, Numar, Tip, Explicatie) VALUES (-1, 0, 'SI', 'Stoc initial')",
            "INSERT INTO Item_in (Contor, Contor_secundar, Cod_gestiune, Cod_grupa, Cod_articol, Cantitate, Pret_achizitie_valuta, "
            "Valuta, Pret_achizitie_lei, Pret_echiv_USD, TVA, Cont_marfa, Cont_TVA_Intrari, Agent) "
            "VALUES (1, 1, '01', 'G1', 'FAI001', 10, 2.5, 'LEI', 2.5, 0.5, 2.25, '371', '4426', 'B1')",
            "INSERT INTO Item_in (Contor, Contor_secundar, Cod_gestiune, Cod_grupa, Cod_articol, Cantitate, Pret_achizitie_lei, TVA, Agent) "
            "VALUES (2, 1, '02', 'G1', 'ZAH001', 3, 4, 1.08, 'B1')",
            "INSERT INTO Item_in (Contor, Contor_secundar, Cod_gestiune, Cod_grupa, Cod_articol, Lot, Cantitate, Pret_achizitie_lei, TVA, "
            "Cont_marfa, Cont_TVA_Intrari, Agent) VALUES (3, 1, '01', 'G1', 'FAI001', 'L7', 5, 2.6, 1.17, '371', '4426', 'B1')",
            "INSERT INTO Item_in (Contor, Contor_secundar, Cod_gestiune, Cod_grupa, Cod_articol, Cantitate, Pret_achizitie_lei, Agent) "
            "VALUES (-1, 1, '01', 'G1', 'ZAH001', 2, 4, 'B1')",
            // Output documents: an invoice, a delivery note, a voucher of the daily list.
            "INSERT INTO Doc_out (Contor, Data_inregistrarii, Numar, Tip, Data, Client, Explicatie, Agent) "
            "VALUES (10, '2026-01-20', 1, 'FCT', '2026-01-20', 'B1', 'Factura', 'AB')",
            "INSERT INTO Doc_out (Contor, Data_inregistrarii, Numar, Tip, Data, Client, Explicatie, Agent) "
            "VALUES (11, '2026-01-21', 2, 'AE', '2026-01-21', 'B1', 'Aviz', 'AB')",
            "INSERT INTO Doc_out (Contor, Data_inregistrarii, Numar, Tip, Data, Client, Agent) "
            "VALUES (12, '2026-02-02', 1, 'BLZ', '2026-02-02', 'B1', 'AB')",
            "INSERT INTO Item_out (Contor, Contor_secundar, Cod_gestiune, Cod_grupa, Cod_articol, Cantitate, Pret_achizitie, Pret_vinzare, "
            "Pret_vz_echiv_USD, TVA, Cont_marfa, Cont_cheltuieli, Cont_TVA_Iesiri, Acciza, Cont_adaos, Cont_venituri, Agent) "
            "VALUES (10, 1, '01', 'G1', 'FAI001', 4, 2.5, 3, 0.6, 1.08, '371', '607', '4427', 0, '378', '707', 'B1')",
            "INSERT INTO Item_out (Contor, Contor_secundar, Cod_gestiune, Cod_grupa, Cod_articol, Cantitate, Pret_achizitie, Pret_vinzare, "
            "Pret_vz_echiv_USD, TVA, Agent) VALUES (11, 1, '01', 'G1', 'ZAH001', 1, 4, 5, 1, 0.45, 'B1')",
            "INSERT INTO Item_out (Contor, Contor_secundar, Cod_gestiune, Cod_grupa, Cod_articol, Cantitate, Pret_achizitie, Agent) "
            "VALUES (10, 2, '01', 'G1', 'FAI001', 0, 2.5, 'B1')",
            "INSERT INTO Stoc (Cod_gestiune, Cod_grupa, Cod_articol, Pret_achizitie, Agent, Cantitate) VALUES ('01', 'G1', 'FAI001', 2.5, 'B1', 6)",
            "INSERT INTO Stoc (Cod_gestiune, Cod_grupa, Cod_articol, Pret_achizitie, Agent, Cantitate) VALUES ('01', 'G1', 'ZAH001', 4, 'B1', 1)",
            "INSERT INTO Fctser (Contor, Serie, Number) VALUES (10, 'AB', 5)",
            "INSERT INTO Fctser (Contor, Number) VALUES (9, 2)",
            "INSERT INTO Aeser (Contor, Serie, Number) VALUES (11, 'AE', 3)",
            "INSERT INTO Cfser (Contor, Serie, Number) VALUES (10, 'CF', 7)",
            "INSERT INTO Chser (Contor, Data_platii, Numar) VALUES (10, '2026-01-25', 3)",
            "INSERT INTO Clnpay (Cod_client, Contor_document, Data_platii, Suma, Comentariu) VALUES ('B1', 10, '2026-01-25', 13.08, 'Plata')",
            "INSERT INTO Splpay (Cod_furn, Contor_document, Data_platii, Suma, Comentariu) VALUES ('F1', 1, '2026-01-15', 25, 'OP 1')",
            "INSERT INTO Splvpay (Cod_furn, Contor_document, Valuta, Data_platii, Suma, Comentariu) VALUES ('F1', 1, 'EUR', '2026-01-15', 5, 'OP 2')",
            // An order with its line and open quantities (one without a budget).
            "INSERT INTO Doc_Com (Contor, Data, Numar, Cod_Furnizor, Explicatie) VALUES (20, '2026-01-05', 1, 'F1', 'Comanda faina')",
            "INSERT INTO Item_Com (Contor, Contor_secundar, Cod_grupa, Cod_articol, Cantitate_solicitata, Cod_Agent, Pret) "
            "VALUES (20, 1, 'G1', 'FAI001', 10, 'B1', 2.5)",
            "INSERT INTO Stoc_Com (Contor, Cod_grupa, Cod_articol, Cod_agent, Cod_furnizor, Cant_solicitata, Cant_anulata) "
            "VALUES (20, 'G1', 'FAI001', 'B1', 'F1', 10, 2)",
            "INSERT INTO Stoc_Com (Contor, Cod_grupa, Cod_articol, Cod_furnizor, Cant_solicitata, Cant_anulata) "
            "VALUES (20, 'G1', 'ZAH001', 'F1', 5, 0)",
            // A scrapping proposal whose line has no lot.
            "INSERT INTO Doc_prof (Contor, Data_inregistrarii, Numar, Data, Client, Explicatie) "
            "VALUES (30, '2026-01-30', 1, '2026-01-30', 'B1', 'Propunere')",
            "INSERT INTO Item_prof (Contor, Contor_secundar, Cod_gestiune, Cod_grupa, Cod_articol, Cantitate, Pret_achizitie, Pret_vinzare, "
            "Pret_vz_echiv_USD, TVA, Buget) VALUES (30, 1, '01', 'G1', 'FAI001', 1, 2.5, 3, 0.6, 0.27, 'B1')",
            "INSERT INTO Serie (Contor, ContorSec, Grupa, Cod_articol, SerieFurn, Serie) VALUES (1, 1, 'G1', 'FAI001', 100, 5001)",
            "INSERT INTO Serie (Contor, ContorSec, Grupa, Cod_articol, SerieFurn, Serie) VALUES (1, 2, 'G1', 'FAI001', 101, 5002)",
            "INSERT INTO grila (Grila, Nume_grila) VALUES (1, 'Grila 1')",
            "INSERT INTO item_grila (Grila, Cod_grupa, Discount) VALUES (1, 'G1', 5)",
            "INSERT INTO Target (Cod_gest, Cod_grupa, An, Luna, Target, Moneda) VALUES ('01', 'G1', 2026, 1, 100, 'LEI')",
            "INSERT INTO Target (Cod_gest, Cod_grupa, An, Luna, Target, Moneda) VALUES ('01', 'G1', 2026, 2, 120, 'LEI')",
            "INSERT INTO TargetA (Agent, Cod_Grupa, An, Luna, Target, Moneda) VALUES ('AB', 'G1', 2026, 1, 50, 'LEI')",
            // The daily food list (document 2) has one allocation row.
            "INSERT INTO TipAlocatie (Cod, Denumire, ReportNrPers, ReportDrepturi, ReportConsum, EcoDep) VALUES (1, 'Mic dejun', 0, 0, 0, 1)",
            "INSERT INTO ValAlocatie (Cod, Data, Valoare, DataSf) VALUES (1, '2026-01-01', 5, '2099-12-31')",
            "INSERT INTO Alocatie (Contor, Contor_secundar, CodAlocatie, NrPersoane) VALUES (2, 1, 1, 20)",
        });

        // Working tables of the private directory. One file serves several
        // commands (ANSW_ST, ANSW, ANSW_B...), so each carries the fields of
        // all of them.
        auto withKey = [](QList<FieldDef> rest) { return stockKey() + rest; };
        const QList<TableDef> working = {
            {"ANSW_ST.DB", withKey({floating("QOut"), floating("QIn"), floating("Q")}), {}},
            {"ANSW.DB",
             {floating("Contor"), date("Data_inregistrarii"), floating("Numar"), text("Tip", 3), date("Data"),
              text("Furnizor", 30), text("Client", 30), text("Explicatie", 255), floating("Contor_fact"), text("Agent", 3),
              text("Cod_gestiune", 4), text("Cod_grupa", 8), floating("LTarget"), floating("Target"), floating("IsMoney")},
             {}},
            {"ANSWA.DB", {text("Agent", 3), text("Cod_grupa", 8), floating("LTarget"), floating("Target"), floating("IsMoney")}, {}},
            {"Answ1.DB", {text("Cod_grupa", 8), text("Cod_articol", 30), floating("Ctot")}, {}},
            {"ANSW_B.DB",
             withKey({floating("QOut"), floating("QIn"), floating("RQIn"), floating("RQOut"), floating("QInit"),
                      floating("VInit"), floating("Vin"), floating("QFin"), floating("VOut"), floating("VFin")}),
             {}},
            {"ANSW_B1.DB",
             withKey({floating("QOut"), floating("RQIn"), floating("RQOut"), date("Data_inregistrarii"), floating("Numar"),
                      text("Tip", 3), date("Data"), floating("Contor_secundar"), floating("Cantitate")}),
             {}},
            {"ANSW_B2.DB",
             withKey({floating("QOut"), floating("RQIn"), floating("RQOut"), date("Data_inregistrarii"), floating("Numar"),
                      text("Tip", 3), date("Data"), floating("Contor_secundar"), floating("Cantitate")}),
             {}},
            {"ANSW_CI1.DB",
             {floating("Contor"), floating("Contor_secundar"), floating("TVA"), text("Cont_marfa", 20),
              text("Cont_TVA_Intrari", 20), text("Cont_creditor", 20), text("Gestiune", 30), floating("Valachiz")},
             {}},
            {"ANSW_CO1.DB",
             {floating("Contor"), floating("Contor_secundar"), floating("TVA"), text("Cont_marfa", 20),
              text("Cont_cheltuieli", 20), text("Cont_TVA_Iesiri", 20), text("Cont_accize", 20), floating("Acciza"),
              text("Cont_adaos", 20), text("Cont_venituri", 20), text("Gestiune", 30), text("Cont client", 20),
              floating("Valoare achizitie"), floating("Valoare vanzare"), floating("Adaos")},
             {}},
            {"ANSW_C.DB",
             {text("Gestiune", 30), text("Cont_debitor", 20), text("Cont_creditor", 20), floating("Valoare"), text("Grup", 22)},
             {}},
            {"JANSW.DB",
             {floating("Contor"), floating("Numar"), text("Tip", 3), date("Data"), text("Client", 30),
              floating("Contor_secundar"), floating("TVA"), floating("Baza"), floating("Total"), floating("Coef_TVA")},
             {}},
            {"tempTable.Db",
             {text("Cod_gestiune", 4), text("Agent", 3), text("Cod_grupa", 8), text("Cod_articol", 30),
              floating("Pret_vz_echiv_USD"), floating("Qout"), floating("Val")},
             {}},
            {"CRTAB.DB", {text("Cod_gestiune", 4), text("Agent", 3), floating("Val.G1")}, {}},
        };
        for (const TableDef& t : working)
            priv.createTable(t);

        execAll(priv, {
            "INSERT INTO ANSW_ST (Cod_gestiune, Cod_grupa, Cod_articol, Pret_achizitie, Agent, QOut, QIn, Q) "
            "VALUES ('01', 'G1', 'FAI001', 2.5, 'B1', 4, 10, 6)",
            "INSERT INTO ANSW_ST (Cod_gestiune, Cod_grupa, Cod_articol, Pret_achizitie, Agent, QOut) VALUES ('01', 'G1', 'ZAH001', 4, 'B1', 1)",
            // Delivery notes chosen for consolidation, and targets per warehouse.
            "INSERT INTO ANSW (Contor, Tip, Furnizor) VALUES (3, 'AE', 'F1')",
            "INSERT INTO ANSW (Contor, Tip, Client) VALUES (11, 'AE', 'B1')",
            "INSERT INTO ANSW (Cod_gestiune, Cod_grupa, LTarget, Target) VALUES ('01', 'G1', 0, 220)",
            "INSERT INTO ANSW (Cod_gestiune, Cod_grupa, LTarget, Target, IsMoney) VALUES ('02', 'G1', 0, 0, 5)",
            "INSERT INTO ANSWA (Agent, Cod_grupa, LTarget, Target) VALUES ('AB', 'G1', 50, 50)",
            "INSERT INTO ANSWA (Agent, Cod_grupa, LTarget, Target, IsMoney) VALUES ('CD', 'G1', 0, 0, 5)",
            "INSERT INTO Answ1 (Cod_grupa, Cod_articol, Ctot) VALUES ('G1', 'FAI001', 6)",
            // Turnover balance: one moved key, one without movement, one left without a key.
            "INSERT INTO ANSW_B (Cod_gestiune, Cod_grupa, Cod_articol, Pret_achizitie, Agent, QOut, QIn, RQIn, RQOut, QInit, VInit, "
            "Vin, QFin, VOut, VFin) VALUES ('01', 'G1', 'FAI001', 2.5, 'B1', 0, 10, 3, 1, 10, 25, 7.5, 12, 2.5, 30)",
            "INSERT INTO ANSW_B (Cod_gestiune, Cod_grupa, Cod_articol, Pret_achizitie, Agent, QOut, QIn, RQIn, RQOut, QInit) "
            "VALUES ('02', 'G1', 'ZAH001', 4, 'B1', 0, 0, 0, 0, 0)",
            "INSERT INTO ANSW_B (Pret_achizitie, QIn, QOut) VALUES (1, 1, 0)",
            "INSERT INTO ANSW_B1 (Cod_gestiune, Cod_grupa, Cod_articol, Pret_achizitie, Agent, Data_inregistrarii, Numar, Tip, Data, "
            "Contor_secundar, Cantitate) VALUES ('01', 'G1', 'FAI001', 2.5, 'B1', '2026-01-22', 7, 'NIR', '2026-01-22', 1, 3)",
            "INSERT INTO ANSW_B2 (Cod_gestiune, Cod_grupa, Cod_articol, Pret_achizitie, Agent, Data_inregistrarii, Numar, Tip, Data, "
            "Contor_secundar, Cantitate) VALUES ('01', 'G1', 'FAI001', 2.5, 'B1', '2026-01-23', 3, 'FCT', '2026-01-23', 1, 1)",
            "INSERT INTO ANSW_CI1 (Contor, Contor_secundar, TVA, Cont_marfa, Cont_TVA_Intrari, Cont_creditor, Gestiune, Valachiz) "
            "VALUES (1, 1, 2.25, '371', '4426', '401', 'Magazie', 25)",
            "INSERT INTO ANSW_CO1 (Contor, Contor_secundar, TVA, Cont_marfa, Cont_venituri, Cont_accize, Acciza, Gestiune, "
            "\"Cont client\", \"Valoare vanzare\") VALUES (10, 1, 1.08, '371', '707', '446', 0, 'Magazie', '4111', 12)",
            "INSERT INTO ANSW_C (Gestiune, Cont_debitor, Cont_creditor, Valoare, Grup) VALUES ('Magazie', '371', '401', 25, '1. APROVIZIONARE')",
            "INSERT INTO ANSW_C (Gestiune, Cont_debitor, Cont_creditor, Valoare, Grup) VALUES ('Magazie', '635', '446', 0, '5. ACCIZE')",
            "INSERT INTO JANSW (Contor, Numar, Tip, Data, Client, Contor_secundar, TVA, Baza, Total, Coef_TVA) "
            "VALUES (10, 1, 'FCT', '2026-01-20', 'B1', 1, 1.08, 12, 13.08, 9)",
            "INSERT INTO tempTable (Cod_gestiune, Agent, Cod_grupa, Cod_articol, Pret_vz_echiv_USD, Qout, Val) "
            "VALUES ('01', 'AB', 'G1', 'FAI001', 0.6, 4, 2.4)",
            "INSERT INTO CRTAB (Cod_gestiune, Agent, \"Val.G1\") VALUES ('01', 'AB', 2.4)",
        });
    }

    // The query text after the reports' qualification of an answer table: its
    // first mention replaced by the table's path in the private directory,
    // single-quoted, the directory followed by a backslash, the name in capitals.
    QString qualified(const QString& sql, const QString& table) const
    {
        QString out = sql;
        const int at = int(out.indexOf(table, 0, Qt::CaseInsensitive));
        EXPECT_GE(at, 0) << table.toStdString();
        QString path = QDir::toNativeSeparators(privDir.path());
        if (!path.endsWith(u'\\'))
            path += u'\\';
        return out.replace(at, table.size(), u'\'' + path + table.toUpper() + u'\'');
    }

    testsupport::ServerSchema mainSchema;
    testsupport::ServerSchema privateSchema;
    testsupport::TempDir dir;
    testsupport::TempDir privDir;
    Database db;
    Database priv{kPrivateAlias};
};

} // namespace

INSTANTIATE_TEST_SUITE_P(Engines, StatementsTest, ::testing::Values(Backend::Sqlite, Backend::Postgres),
                         [](const ::testing::TestParamInfo<Backend>& p) {
                             return p.param == Backend::Sqlite ? "Sqlite" : "Postgres";
                         });

TEST_P(StatementsTest, EveryStatementOfTheWindowsAndReportsRuns)
{
    constexpr On M = On::Main;
    constexpr On P = On::Private;
    const QDate from(2026, 1, 1), to(2026, 1, 31);
    const double eps = 0.0001;

    QList<Case> cases = {
        // --- Article catalog window ---------------------------------------
        run(M, lines({"SELECT DISTINCT Cod", "FROM \"Catalog.DB\" ", "WHERE", "(Cod LIKE \"FAI%\")", " AND (Cod < 'ZZZZZ')",
                      "ORDER BY Cod DESC"}),
            {}, 1, "Cod", "FAI001"),
        run(M, "UPDATE CATALOG SET Pret_vinzare = (Pret_vinzare * :Coef) WHERE (Grupa = :Group)", {{"Coef", 1.0}, {"Group", "G1"}}, 2),
        flawed(M,
               "SELECT DISTINCT D.Cod_articol, D.Pret_achizitie, D.Lot,D.Cod_Agent, D.Cantitate, D1.Denumire, D1.Unitate_masura "
               "FROM STOC D, CATALOG D1 WHERE (D.Cod_gestiune = :Gest) AND (D.Cod_grupa = :Grp) AND (D.Cod_articol = :Art) "
               "AND (D1.Cod = D.Cod_articol) ORDER BY D.Cod_articol, D.Pret_achizitie, D.Lot",
               {{"Gest", "01"}, {"Grp", "G1"}, {"Art", "FAI001"}}, "the stock table has Agent, not Cod_Agent"),
        run(M,
            "SELECT DISTINCT Grupa, Cod, Denumire, Descriere, Unitate_masura, Pret_vinzare, Moneda, Cont_marfa, Cont_cheltuieli, "
            "Cont_TVA_Intrari, Cont_TVA_Iesiri, Coef_TVA, Cont_accize, Coef_accize, Cont_adaos, Cont_venituri FROM \"Catalog.DB\" "
            "WHERE (Denumire LIKE :Den) ORDER BY Grupa, Cod, Denumire, Descriere, Unitate_masura, Pret_vinzare, Moneda, Cont_marfa, "
            "Cont_cheltuieli, Cont_TVA_Intrari, Cont_TVA_Iesiri, Coef_TVA, Cont_accize, Coef_accize, Cont_adaos, Cont_venituri",
            {{"Den", "Fa%"}}, 1, "Cod", "FAI001"),
        run(M, "SELECT DISTINCT Cod_articol FROM \"Item_in.DB\" WHERE (Cod_articol = :Cod) ORDER BY Cod_articol", {{"Cod", "FAI001"}}, 1),

        // --- Sales targets windows (per warehouse, per beneficiary) -------
        run(M,
            "SELECT Cod_Gest, Cod_Grupa, An, Sum (Target) AS Total FROM Target WHERE Cod_Gest= :Gest AND Cod_Grupa= :Grupa "
            "AND An = :An GROUP BY Cod_Gest, Cod_Grupa, An",
            {{"Gest", "01"}, {"Grupa", "G1"}, {"An", 2026}}, 1, "Total", 220.0),
        run(M,
            "SELECT Agent, Cod_Grupa, An, Sum (Target) AS Total FROM TargetA WHERE Agent= :User AND Cod_Grupa= :Grupa "
            "AND An = :An GROUP BY Agent, Cod_Grupa, An",
            {{"User", "AB"}, {"Grupa", "G1"}, {"An", 2026}}, 1, "Total", 50.0),

        // --- Input documents window ----------------------------------------
        run(M,
            "SELECT MAX(D1.Lot) AS ValMax FROM \"Doc_in.DB\" D, \"Item_in.DB\" D1 WHERE (D1.Contor = D.Contor) "
            "AND (D1.Cod_grupa = :Grupa) AND (D1.Cod_articol = :Articol) AND (D.Data_inregistrarii <> :Data)",
            {{"Grupa", "G1"}, {"Articol", "FAI001"}, {"Data", d(2026, 1, 10)}}, 1, "ValMax", "L7"),
        run(M, "DELETE FROM \"Serie.db\" WHERE (Contor = :C) AND (ContorSec = :CS)", {{"C", 1}, {"CS", 2}}, 1),
        run(M, "select max(Contor_secundar)  from ITEM_IN  where (Contor = :Contor)", {{"Contor", 1}}, 1, "max(Contor_secundar)", 1.0),
        run(M,
            "SELECT MAX(Numar) AS ValMax FROM \"Doc_in.DB\" WHERE (EXTRACT(YEAR FROM Data_inregistrarii) = :An) AND (Tip = 'LZ')",
            {{"An", 2026}}, 1, "ValMax", 1.0),

        // --- Output documents window ---------------------------------------
        run(M, "delete from \"item_out.db\" where cantitate = 0", {}, 1),
        run(M, "SELECT DISTINCT Discount FROM item_grila WHERE (Grila =:grila)  AND (Cod_grupa =:grupa)",
            {{"grila", 1}, {"grupa", "G1"}}, 1, "Discount", 5.0),
        run(M, "select max(Contor_secundar)  from ITEM_OUT  where (Contor = :Contor)", {{"Contor", 10}}, 1, "max(Contor_secundar)", 1.0),

        // --- Document numbers and series -----------------------------------
        run(M,
            "SELECT MAX(Numar) AS ValMax FROM \"Doc_out.DB\" WHERE (EXTRACT(YEAR FROM Data_inregistrarii) = :An) AND (Tip = :Fel)",
            {{"An", 2026}, {"Fel", "FCT"}}, 1, "ValMax", 1.0),
        run(M, lines({"SELECT DISTINCT MAX(Number) AS MaxNum", "FROM FCTSER", "WHERE Serie = \"AB\""}), {}, 1, "MaxNum", 5.0),
        // an invoice series left empty in the settings
        run(M, lines({"SELECT DISTINCT MAX(Number) AS MaxNum", "FROM FCTSER", "WHERE Serie = \"\""}), {}, 1, "MaxNum", 2.0),
        run(M, lines({"SELECT DISTINCT MAX(Number) AS MaxNum", "FROM AESER", "WHERE Serie = \"AE\""}), {}, 1, "MaxNum", 3.0),
        run(M, lines({"SELECT DISTINCT MAX(Numar) AS MaxNum", "FROM CHSER"}), {}, 1, "MaxNum", 3.0),

        // --- Initial stock window and stock recalculation ------------------
        run(M, "SELECT * FROM ITEM_IN WHERE (Cod_Gestiune = :Cod) AND (Contor<0) ORDER BY Contor, Contor_secundar", {{"Cod", "01"}}, 1),
        run(M, "select max(Contor_secundar)  from ITEM_IN  where (Contor = -1)", {}, 1),
        run(M,
            lines({"SELECT DISTINCT", "  D1.Cod_gestiune, D1.Cod_grupa, D1.Cod_articol,", "  D1.Pret_achizitie_lei as Pret_achizitie,",
                   "  D1.Lot, D1.Agent,", "  0 as QOut,", "  SUM(D1.Cantitate) AS QIn", "FROM", "  DOC_IN D, ITEM_IN D1", "WHERE",
                   "  (D1.Contor = D.Contor)", "GROUP BY",
                   "  D1.Cod_gestiune, D1.Cod_grupa, D1.Cod_articol, D1.Pret_achizitie_lei, D1.Lot, D1.Agent", "ORDER BY",
                   "  D1.Cod_gestiune, D1.Cod_grupa, D1.Cod_articol, D1.Pret_achizitie_lei, D1.Lot, D1.Agent"}),
            {}, 4, "QIn", 10.0),
        run(M,
            lines({"SELECT DISTINCT", "  D1.Cod_gestiune, D1.Cod_grupa, D1.Cod_articol,", "  D1.Pret_achizitie,", "  D1.Lot, D1.Agent,",
                   "  SUM(D1.Cantitate) AS QOut", "FROM", "  DOC_OUT D, ITEM_OUT D1", "WHERE", "  (D1.Contor = D.Contor)", "GROUP BY",
                   "  D1.Cod_gestiune, D1.Cod_grupa, D1.Cod_articol, D1.Pret_achizitie, D1.Lot, D1.Agent", "ORDER BY",
                   "  D1.Cod_gestiune, D1.Cod_grupa, D1.Cod_articol, D1.Pret_achizitie, D1.Lot, D1.Agent"}),
            {}, 2, "QOut", 4.0),
        run(P, "UPDATE ANSW_ST SET QIn = 0.0 WHERE QIn IS NULL", {}, 1),
        run(P,
            "SELECT DISTINCT Cod_gestiune, Cod_grupa, Cod_articol, Pret_achizitie, Lot, Agent,  (QIn - QOut) AS Cantitate FROM ANSW_ST "
            "WHERE ((QIn - QOut) < -:Eps) OR ((QIn - QOut) > :Eps) ORDER BY Cod_gestiune, Cod_grupa, Cod_articol, Pret_achizitie",
            {{"Eps", eps}}, 2, "Cantitate", 6.0),
    };

    // --- Current stock window: both lists with each of their orders ---------
    const QString detailed = lines({"SELECT S.Cod_Gestiune,S.Cod_grupa, S.Cod_Articol, S.Lot, S.Agent, C.Denumire, S.Pret_Achizitie, "
                                    "S.Cantitate, C.Unitate_masura, C.Pret_Vinzare, C.Moneda, S.Cod_bare",
                                    "FROM Stoc S, Catalog C",
                                    "WHERE (S.Cod_Gestiune = :Cod) AND (S.Cod_grupa = C.Grupa) AND (S.Cod_Articol = C.Cod)"});
    for (const char* order : {"ORDER BY S.Cod_grupa, S.Cod_Articol, S.Lot, S.Agent, C.Denumire, S.Pret_Achizitie",
                              "ORDER BY S.Cod_articol, S.Cod_grupa, S.Lot, S.Agent, C.Denumire, S.Pret_Achizitie",
                              "ORDER BY C.Denumire, S.Cod_grupa, S.Cod_Articol, S.Lot, S.Agent, S.Pret_Achizitie",
                              "ORDER BY S.Pret_Achizitie, S.Cod_grupa, S.Cod_Articol, S.Lot, S.Agent, C.Denumire"})
        cases << run(M, detailed + u'\n' + str(order), {{"Cod", "01"}}, 2, "Cod_Articol", "FAI001");
    const QString cumulated = lines({"SELECT S.Cod_grupa, S.Cod_Articol, C.Denumire, SUM(S.Cantitate) AS Total_Cantitate, "
                                     "C.Unitate_masura, C.Pret_vinzare, C.Moneda, S.Cod_bare",
                                     "FROM Stoc S, Catalog C",
                                     "WHERE (S.Cod_Gestiune = :Cod) AND (S.Cod_grupa = C.Grupa) AND (S.Cod_Articol = C.Cod)",
                                     "GROUP BY S.Cod_grupa, S.Cod_Articol, C.Denumire, C.Unitate_masura, C.Pret_vinzare, C.Moneda, "
                                     "S.Cod_bare"});
    for (const char* order : {"ORDER BY S.Cod_grupa", "ORDER BY S.Cod_articol", "ORDER BY C.Denumire", "ORDER BY C.Pret_vinzare"})
        cases << run(M, cumulated + u'\n' + str(order), {{"Cod", "01"}}, 2);
    cases << run(M,
                 "SELECT DISTINCT D.Denumire as DenGest, D1.Cod_gestiune, D1.Cod_grupa, D1.Cod_articol, D2.Denumire, D1.Lot "
                 "FROM \"Gest.db\" D, \"Stoc.DB\" D1, \"Catalog.DB\" D2 WHERE (D.Cod = D1.Cod_gestiune) AND (D1.Cod_gestiune = :Gest) "
                 "AND (D1.Cod_grupa = :Grupa) AND (D1.Cod_articol = :Art) AND (D1.Pret_achizitie = :Pret) AND (D2.Grupa = D1.Cod_grupa) "
                 "AND (D2.Cod = D1.Cod_articol) ORDER BY DenGest, D1.Cod_gestiune, D1.Cod_grupa, D1.Cod_articol, D2.Denumire",
                 {{"Gest", "01"}, {"Grupa", "G1"}, {"Art", "FAI001"}, {"Pret", 2.5}}, 1, "DenGest", "Magazie");

    // --- Find a document (input documents; outputs where they differ) -------
    const QVariantHash period{{"PrevCont", 0}, {"FirstDate", d(1800, 1, 1)}, {"LastDate", d(2500, 1, 1)}};
    auto with = [&](QVariantHash p, const char* name, const QVariant& v) {
        p.insert(str(name), v);
        return p;
    };
    cases << QList<Case>{
        run(M,
            lines({"SELECT DISTINCT Contor", "FROM DOC_IN", "WHERE (Contor > :PrevCont) AND (Data_Inregistrarii >= :FirstDate)",
                   "AND (Data_Inregistrarii <= :LastDate) AND (Numar = :NrDoc)"}),
            with(period, "NrDoc", 1), 2),
        run(M,
            lines({"SELECT DISTINCT D.Contor", "FROM DOC_IN D, ITEM_IN I",
                   "WHERE (D.Contor > :PrevCont) AND (D.Data_Inregistrarii >= :FirstDate)",
                   "AND (D.Data_Inregistrarii <= :LastDate) AND (D.Contor=I.Contor) AND (I.Cod_Articol = :CodArt)"}),
            with(period, "CodArt", "FAI001"), 2),
        run(M,
            lines({"SELECT DISTINCT Contor", "FROM DOC_IN ", "WHERE (Contor > :PrevCont) AND (Data_Inregistrarii >= :FirstDate)",
                   "AND (Data_Inregistrarii <= :LastDate) AND (Explicatie LIKE :Expl)"}),
            with(period, "Expl", "%faina%"), 1, "Contor", 1.0),
        run(M,
            lines({"SELECT DISTINCT D.Contor", "FROM DOC_IN D, ITEM_IN I",
                   "WHERE (D.Contor > :PrevCont) AND (D.Data_Inregistrarii >= :FirstDate)",
                   "AND (D.Data_Inregistrarii <= :LastDate) AND (D.Contor=I.Contor) AND (I.Pret_Achizitie_lei = :Price)"}),
            with(period, "Price", 2.5), 1, "Contor", 1.0),
        run(M,
            lines({"SELECT DISTINCT D.Contor", "FROM DOC_OUT D, ITEM_OUT I",
                   "WHERE (D.Contor > :PrevCont) AND (D.Data_Inregistrarii >= :FirstDate)",
                   "AND (D.Data_Inregistrarii <= :LastDate) AND (D.Contor=I.Contor) AND (I.Pret_Achizitie = :Price)"}),
            with(period, "Price", 2.5), 1, "Contor", 10.0),
        run(M,
            lines({"SELECT DISTINCT S.Contor AS Contor, S.ContorSec AS ContorSec", "FROM DOC_IN D, SERIE S",
                   "WHERE (D.Contor > :PrevCont) AND (D.Data_Inregistrarii >= :FirstDate)",
                   "AND (D.Data_Inregistrarii <= :LastDate) AND (D.Contor=S.Contor) AND (S.Serie = :Serie)"}),
            with(period, "Serie", 5001), 1, "ContorSec", 1.0),
    };

    // --- Consolidation of delivery notes --------------------------------------
    cases << QList<Case>{
        run(M,
            lines({"SELECT Contor, Data_inregistrarii, Numar, Tip, Data, Furnizor, Explicatie,", "  0 as Contor_fact", "FROM DOC_IN",
                   "WHERE", "(Tip = 'AE')", " AND (Data >= :FD)", " AND (Data <= :TD)", " AND (Furnizor = :Cod_furnizor)"}),
            {{"FD", from}, {"TD", to}, {"Cod_furnizor", "F1"}}, 1, "Contor", 3.0),
        run(M,
            lines({"SELECT DISTINCT Contor, Data_inregistrarii, Numar, Tip, Data, Client, Explicatie, Data_scadenta, ",
                   "  0 AS Contor_Fact, Agent", "FROM DOC_OUT", "WHERE", " (Tip = 'AE')", " AND (Data >= :FD)", " AND (Data <= :TD)",
                   " AND (Client = :Cod_client)"}),
            {{"FD", from}, {"TD", to}, {"Cod_client", "B1"}}, 1, "Contor", 11.0),
        run(M,
            qualified(lines({"SELECT DISTINCT D.Contor, D.Contor_secundar, D.Cod_gestiune,D.Cod_grupa, D.Cod_articol, D.Lot, D.Cantitate, ",
                             "D.Pret_achizitie_valuta,", "D.Valuta,", "D.Pret_achizitie_lei, ", "D.Pret_echiv_USD,",
                             "D.TVA, D.Cont_marfa, D.Cont_TVA_Intrari, D.Agent", "FROM ITEM_IN D, ANSW D1", "WHERE",
                             "  (D1.Contor = D.Contor)"}),
                      "ANSW"),
            {}, 1, "Lot", "L7"),
        run(M,
            qualified(lines({"SELECT DISTINCT D.Contor, D.Contor_secundar, D.Cod_gestiune,D.Cod_grupa, D.Cod_articol, D.Cantitate, ",
                             "D.Pret_achizitie, D.Pret_vinzare, D.Pret_vz_echiv_USD, D.TVA, D.Cont_marfa, D.Cont_cheltuieli, ",
                             "D.Cont_TVA_Iesiri, D.Cont_accize, D.Acciza, D.Cont_adaos, D.Cont_venituri, D.Lot, D.Agent",
                             "FROM ITEM_OUT D, ANSW D1", "WHERE", "  (D1.Contor = D.Contor)"}),
                      "ANSW"),
            {}, 1, "Contor", 11.0),
    };

    // --- Scrapping proposals and the list of scrapped objects ---------------
    cases << QList<Case>{
        run(M,
            "SELECT I.Cod_gestiune, I.Cod_grupa, I.Cod_articol, I.Pret_achizitie, SUM(I.TVA) as TVA, SUM(I.Cantitate) as Cantitate, "
            "I.Lot, I.Buget, C.Denumire as Den, C.Descriere, C.Unitate_masura as UM, C.Coef_TVA as DummyTVA FROM ITEM_PROF I, "
            "CATALOG C WHERE (I.Contor = :Contor) AND (I.Cod_grupa = C.Grupa) AND (I.Cod_articol = C.Cod) "
            "GROUP BY I.Cod_gestiune, I.Cod_grupa, I.Cod_articol, I.Lot, I.Pret_achizitie",
            {{"Contor", 30}}, 1, "Den", "Faina"),
        run(M, "select max(Contor_secundar) from Item_Prof where (Contor = :Contor)", {{"Contor", 30}}, 1),
        run(M, lines({"select max(Contor_secundar)  from Item_Prof", "where (Contor = :Contor)"}), {{"Contor", 30}}, 1),
        // the same warehouse, article, price and (empty) lot on another line
        run(M,
            "Select count(Cod_grupa) from \"Item_prof.DB\" where Cod_gestiune=\"01\" and Cod_grupa=\"G1\" and Cod_articol=\"FAI001\" "
            "and Pret_achizitie= :PretA and Contor=30 and Contor_secundar <> 2 and Lot=\"\"",
            {{"PretA", 2.5}}, 1, "count(Cod_grupa)", 1),
        run(M,
            "Select count(Cod_grupa) from \"Item_prof.DB\" where Cod_gestiune=\"01\" and Cod_grupa=\"G1\" and Cod_articol=\"FAI001\" "
            "and Pret_achizitie= :PretA and Contor=30 and Contor_secundar <> 2 and Lot=\"L1\"",
            {{"PretA", 2.5}}, 1, "count(Cod_grupa)", 0),
        run(M,
            "Select count(Cod_grupa) from \"Item_prof.DB\" where Cod_grupa=\"G1\" and Cod_articol=\"FAI001\" and Contor=30 "
            "and Contor_secundar <> 2",
            {}, 1, "count(Cod_grupa)", 1),
        run(M, "Select * from \"DOC_prof.DB\" WHERE Contor = :Counter", {{"Counter", 30}}, 1, "Explicatie", "Propunere"),
    };

    // --- Order register, order situation and the order prints --------------
    const QString unfulfilled = "SELECT DISTINCT D.Cod_grupa, D.Cod_articol, D.Cod_agent, D.Cant_solicitata, D.Cant_anulata, D1.Data, "
                                "D1.Numar FROM \"Stoc_Com.DB\" D, \"Doc_Com.Db\" D1 WHERE %1(D1.Contor = D.Contor) and "
                                "(D.Cant_solicitata<>D.Cant_anulata) ORDER BY %2";
    const QString situation = "SELECT S.Contor, S.Cod_grupa, S.Cod_articol, S.Cod_agent,S.Cod_furnizor, S.Cant_solicitata, "
                              "S.Cant_anulata, C.Denumire, C.Unitate_masura,  C.Moneda FROM Stoc_Com S, Catalog C WHERE  "
                              "(S.Cod_Furnizor = :Cod_furnizor) AND (S.Cod_grupa = C.Grupa) AND (S.Cod_Articol = C.Cod) AND "
                              "(S.Cant_solicitata <> S.Cant_anulata)\n";
    cases << QList<Case>{
        run(M,
            "SELECT DISTINCT Contor, Data_inregistrarii, Numar, Tip, Data, Furnizor FROM \"Doc_in.DB\" WHERE (Furnizor = :Cod_Furnizor) "
            "ORDER BY Data_inregistrarii DESC, Data DESC, Tip, Numar DESC",
            {{"Cod_Furnizor", "F1"}}, 3, "Contor", 2.0),
        run(M,
            lines({"INSERT ", "INTO \"Item_com.DB\" (Contor, Contor_secundar, Cod_grupa, Cod_articol, Cantitate_solicitata, Cod_Agent, Pret)",
                   "SELECT :ContorCom,  ((SELECT (COUNT(Contor_secundar))  FROM \"Item_com.DB\" D2", "  WHERE (D2.Contor = 20))",
                   " + D1.Contor_secundar) AS ContorSec, D1.Cod_grupa, D1.Cod_articol, D1.Cantitate, D1.Agent, D1.Pret_achizitie_lei",
                   "FROM \"Item_in.DB\" D1", "WHERE", "(D1.Contor = :ContorIn)"}),
            {{"ContorCom", 20}, {"ContorIn", 1}}, 1),
        // (check: the copied line follows the order's existing line)
        run(M, "SELECT Contor_secundar, Pret FROM Item_com WHERE Contor = 20 ORDER BY Contor_secundar DESC", {}, 2, "Contor_secundar", 2.0),
        run(M,
            "SELECT DISTINCT D.Contor, D.Numar, D.Data, D.Explicatie, D1.Nume_furnizor, D1.Adresa, D1.Cod_fiscal FROM DOC_COM D, FURN D1 "
            "WHERE (D.Contor = :Counter) AND (D1.Cod_furnizor = D.Cod_furnizor) ORDER BY D.Numar, D.Data, D.Explicatie, "
            "D1.Nume_furnizor, D1.Adresa, D1.Cod_fiscal",
            {{"Counter", 20}}, 1, "Nume_furnizor", "Furnizor SA"),
        run(M, situation + "ORDER BY S.Cod_grupa", {{"Cod_furnizor", "F1"}}, 2),
        run(M, situation + "ORDER BY S.Cod_articol", {{"Cod_furnizor", "F1"}}, 2),
        run(M, situation + "ORDER BY C.Denumire", {{"Cod_furnizor", "F1"}}, 2),
        run(M, situation + "ORDER BY S.Cod_agent", {{"Cod_furnizor", "F1"}}, 2),
        run(M, situation + "ORDER BY S.Contor", {{"Cod_furnizor", "F1"}}, 2),
        run(M,
            lines({"update Stoc_Com set ", "Cant_anulata = 3 ", "where Contor = 20 ", "and Cod_grupa = \"G1\" ",
                   "and Cod_articol = \"FAI001\" ", "and Cod_agent = \"B1\""}),
            {}, 1),
        // an order line without a budget
        run(M,
            lines({"update Stoc_Com set ", "Cant_anulata = 1 ", "where Contor = 20 ", "and Cod_grupa = \"G1\" ",
                   "and Cod_articol = \"ZAH001\" ", "and Cod_agent = \"\""}),
            {}, 1),
        run(M, unfulfilled.arg(QString(), "D.Cod_agent, D1.Numar, D.Cod_articol"), {}, 2),
        run(M, unfulfilled.arg("\n(D.Cod_Agent IN (\"B1\")) AND\n", "D.Cod_agent, D1.Numar, D.Cod_articol"), {}, 1, "Cant_anulata", 3.0),
        run(M, unfulfilled.arg(QString(), "D.Cod_articol , D1.Data, D1.Numar"), {}, 2),
    };

    // --- Invoice prints ------------------------------------------------------
    const QString invoiceLines =
        "SELECT I.Cod_articol, I.Pret_vinzare, SUM(I.TVA) as TVA, SUM(I.Cantitate) as Cantitate, SUM(I.Acciza) as Acciza, "
        "C.Denumire as Den, C.Descriere, C.Unitate_masura as UM, C.Coef_TVA as DummyTVA FROM ITEM_OUT I, CATALOG C WHERE "
        "(I.Contor = :Contor) AND (I.Cod_grupa = C.Grupa) AND (I.Cod_articol = C.Cod) GROUP BY I.Cod_articol, I.Pret_vinzare, "
        "C.Denumire, C.Descriere, %1C.Unitate_masura, C.Coef_TVA ORDER BY I.Cod_articol, I.Pret_vinzare";
    cases << QList<Case>{
        run(M,
            "SELECT DISTINCT D.Contor, D.Numar, D.Data, D.Client, D1.Nume_client, D1.Adresa, D1.Cod_fiscal, D1.ORC, D1.Cont_bancar, "
            "D1.Banca, D1.Judetul FROM DOC_OUT D LEFT JOIN CLIENT D1 ON (D1.Cod_client = D.Client) WHERE (D.Contor = :Contor) "
            "ORDER BY D.Contor, D.Numar, D.Data, D.Client, D1.Nume_client, D1.Adresa, D1.Cod_fiscal, D1.ORC",
            {{"Contor", 10}}, 1, "Nume_client", "Buget local"),
        run(M, invoiceLines.arg("C.\"Generic 1\", C.\"Generic 2\", C.\"Generic 3\", C.\"Generic 4\", "), {{"Contor", 10}}, 1, "Cantitate", 4.0),
        run(M, invoiceLines.arg(QString()), {{"Contor", 10}}, 1, "Den", "Faina"),
        run(M, "SELECT Suma, Data_platii FROM ClnPay WHERE (Cod_Client = :Client) AND (Contor_document = :Contor)",
            {{"Client", "B1"}, {"Contor", 10}}, 1, "Data_platii", d(2026, 1, 25)),
    };

    // --- Receipt note, transfer note, daily food list prints ----------------
    cases << QList<Case>{
        run(M,
            "SELECT DISTINCT D.Contor, D.Numar, D.Tip, D.Data, D.Explicatie, D1.Nume_furnizor, D1.Adresa, D1.Cod_fiscal FROM DOC_IN D, "
            "FURN D1 WHERE (D.Contor = :Counter) AND (D1.Cod_furnizor = D.Furnizor)",
            {{"Counter", 1}}, 1, "Cod_fiscal", "RO456"),
        run(M,
            "SELECT I.Agent, I.Cod_gestiune, I.Cod_articol, I.Cod_grupa, I.Pret_achizitie, SUM(I.TVA) as TVA, SUM(I.Cantitate) as "
            "Cantitate, SUM(I.Acciza) as Acciza, C.Denumire as Den, C.Descriere, C.Unitate_masura as UM, C.Coef_TVA as DummyTVA "
            "FROM ITEM_OUT I, CATALOG C WHERE (I.Contor = :Contor) AND (I.Cod_grupa = C.Grupa) AND (I.Cod_articol = C.Cod) "
            "GROUP BY I.Agent, I.Cod_gestiune, I.Cod_articol, I.Pret_achizitie, C.Denumire, C.Descriere, C.\"Generic 1\", "
            "C.\"Generic 2\", C.\"Generic 3\", C.\"Generic 4\", C.Unitate_masura, C.Coef_TVA, I.Cod_grupa "
            "ORDER BY I.Agent, I.Cod_gestiune, I.Cod_articol, I.Pret_achizitie, I.Cod_grupa",
            {{"Contor", 10}}, 1, "Cantitate", 4.0),
        run(M, "SELECT DISTINCT Cod_client, Nume_client FROM \"Client.DB\" WHERE (Cod_client = :Agent)", {{"Agent", "B1"}}, 1),
        run(M,
            "SELECT DISTINCT D.Contor, d1.Denumire AS DenGest, D2.Denumire, D2.Descriere FROM \"Item_in.DB\" D, \"Gest.db\" d1, "
            "\"Catalog.DB\" D2 WHERE (D.Contor = :Contor) AND (d1.Cod = D.Cod_gestiune) AND (D2.Grupa = D.Cod_grupa) AND "
            "(D2.Cod = D.Cod_articol) ORDER BY D.Contor, d1.Denumire, D2.Denumire",
            {{"Contor", 2}}, 1, "DenGest", "Cantina"),
    };

    // --- Consumption note, scrapping list and label prints ------------------
    cases << QList<Case>{
        run(M,
            "SELECT DISTINCT D.Contor, D.Data_inregistrarii, D.Numar, D.Data, D.Client, D1.Nume_client, D1.Adresa, D1.Cod_fiscal, "
            "D1.ORC, D1.Cont_bancar, D1.Banca, D1.Judetul FROM DOC_OUT D LEFT JOIN CLIENT D1 ON (D1.Cod_client = D.Client) "
            "WHERE (D.Contor = :Contor)",
            {{"Contor", 10}}, 1, "Data_inregistrarii", d(2026, 1, 20)),
        run(M,
            "SELECT I.Agent, I.Cod_grupa, I.Cod_gestiune, I.Cod_articol, I.Pret_achizitie, SUM(I.TVA) as TVA, SUM(I.Cantitate) as "
            "Cantitate, SUM(I.Acciza) as Acciza, I.Lot, C.Denumire as Den, C.Descriere, C.Unitate_masura as UM, C.Coef_TVA as "
            "DummyTVA FROM ITEM_OUT I, CATALOG C WHERE (I.Contor = :Contor) AND (I.Cod_grupa = C.Grupa) AND (I.Cod_articol = C.Cod) "
            "GROUP BY I.Agent, I.Cod_grupa, I.Cod_gestiune, I.Cod_articol, I.Pret_achizitie, I.Lot, C.Denumire, C.Descriere, "
            "C.\"Generic 1\", C.\"Generic 2\", C.\"Generic 3\", C.\"Generic 4\", C.Unitate_masura, C.Coef_TVA "
            "ORDER BY I.Agent, I.Cod_grupa, C.Denumire, I.Cod_articol, I.Pret_achizitie",
            {{"Contor", 10}}, 1, "TVA", 1.08),
        run(M, "SELECT DISTINCT Cod_grupa, Denumire FROM \"Grup.DB\" WHERE (Cod_grupa = :Cod_grupa)", {{"Cod_grupa", "G1"}}, 1,
            "Denumire", "Alimente"),
        run(M,
            "SELECT DISTINCT D.Denumire as DenGest, D1.Cod_gestiune, D1.Cod_grupa, D1.Cod_articol, D2.Denumire, D1.Lot FROM "
            "\"Gest.DB\" D, \"STOC.DB\" D1, \"Catalog.DB\" D2 WHERE (D.Cod = D1.Cod_gestiune) AND (D1.Cod_gestiune = :Gest) AND "
            "(D1.Cod_grupa = :Grupa) AND (D1.Cod_articol = :Art) AND (D1.Pret_achizitie = :Pret) AND (D2.Grupa = D1.Cod_grupa) "
            "AND (D2.Cod = D1.Cod_articol)",
            {{"Gest", "01"}, {"Grupa", "G1"}, {"Art", "ZAH001"}, {"Pret", 4.0}}, 1, "Denumire", "Zahar"),
    };

    // --- Report selections and the crosstab table ---------------------------
    const QString articles = lines({"SELECT DISTINCT D.Grupa, D1.Denumire, D.Cod, D.Denumire AS Den",
                                    "FROM \"Catalog.DB\" D, \"Grup.db\" D1", "WHERE", "(D1.Cod_grupa = D.Grupa)"});
    cases << QList<Case>{
        run(M, "SELECT DISTINCT Cod, Denumire FROM \"Gest.db\" ORDER BY Cod, Denumire", {}, 2, "Denumire", "Magazie"),
        run(M, "SELECT DISTINCT Cod_client as Cod, Nume_client as Denumire FROM \"Client.db\" ORDER BY Cod, Denumire", {}, 1),
        run(M, articles + "\nORDER BY D.Cod", {}, 2, "Den", "Faina"),
        run(M, articles + "\nORDER BY D.Denumire", {}, 2, "Den", "Faina"),
        run(M, "SELECT DISTINCT Tip from \"Doc_in.DB\" WHERE Tip <> \"XXX\"", {}, 4),
        run(M, "SELECT DISTINCT Tip from \"Doc_out.DB\" WHERE Tip <> \"XXX\"", {}, 3),
        run(M, "SELECT DISTINCT Init, Name FROM \"User.db\" ORDER BY Init, Name", {}, 1),
        run(M, "SELECT DISTINCT Cod_furnizor as Cod, Nume_furnizor as Denumire FROM \"Furn.db\" ORDER BY Cod, Denumire", {}, 1),
        run(M, "SELECT DISTINCT Nume_client FROM \"Client.DB\" WHERE (Cod_client = :PBuget) ORDER BY Nume_client", {{"PBuget", "B1"}},
            1, "Nume_client", "Buget local"),
        run(P, lines({"SELECT DISTINCT Cod_gestiune", "FROM ANSW_ST", "ORDER BY Cod_gestiune"}), {}, 1),
        run(P, lines({"SELECT DISTINCT Cod_grupa", "FROM \"tempTable.Db\"", "ORDER BY Cod_grupa"}), {}, 1),
        run(P,
            lines({"SELECT DISTINCT Cod_grupa,Cod_articol,Cod_gestiune,SUM(Q)", "FROM ANSW_ST",
                   "GROUP BY Cod_grupa,Cod_articol,Cod_gestiune", "ORDER BY Cod_grupa,Cod_articol,Cod_gestiune"}),
            {}, 2),
        run(P,
            lines({"SELECT DISTINCT Data,Contor,Tip,Numar,Client,Coef_TVA,SUM(Baza),SUM(Total),SUM(TVA)", "FROM JANSW",
                   "GROUP BY Data,Contor,Tip,Numar,Client,Coef_TVA", "ORDER BY Data,Contor,Tip,Numar,Client,Coef_TVA"}),
            {}, 1),
    };

    // --- Stock reports: stock at a date and the reports built on it ----------
    const QString stockInputs =
        "SELECT DISTINCT D1.Cod_gestiune, D1.Cod_grupa, D1.Cod_articol, D1.Pret_achizitie_lei as Pret_achizitie, D1.Agent, "
        "D1.Lot, 0 as QOut, SUM(D1.Cantitate) AS QIn FROM DOC_IN D, ITEM_IN D1 WHERE %1((D.Data_inregistrarii <= :Date) OR "
        "(D.Data_inregistrarii IS NULL)) AND (D1.Contor = D.Contor) GROUP BY D1.Cod_gestiune, D1.Cod_grupa, D1.Cod_articol, "
        "D1.Pret_achizitie_lei, D1.Agent, D1.Lot ORDER BY D1.Cod_gestiune, D1.Cod_grupa, D1.Cod_articol, D1.Pret_achizitie_lei, "
        "D1.Agent";
    const QString stockOutputs =
        "SELECT DISTINCT D1.Cod_gestiune, D1.Cod_grupa, D1.Cod_articol, D1.Pret_achizitie, D1.Agent, D1.Lot, SUM(D1.Cantitate) AS "
        "QOut FROM DOC_OUT D, ITEM_OUT D1 WHERE %1(D.Data_inregistrarii <= :Date) AND (D1.Contor = D.Contor) GROUP BY "
        "D1.Cod_gestiune, D1.Cod_grupa, D1.Cod_articol, D1.Pret_achizitie, D1.Agent, D1.Lot ORDER BY D1.Cod_gestiune, "
        "D1.Cod_grupa, D1.Cod_articol, D1.Pret_achizitie, D1.Agent";
    const QString inventory =
        "SELECT A.Cod_Gestiune, A.Cod_grupa, A.Cod_articol, A.Pret_achizitie, A.Lot, A.QIn, A.QOut, C.Denumire, C.Unitate_masura, "
        "C.Pret_vinzare, C.Moneda, C.Coef_TVA FROM ANSW_ST A LEFT JOIN CATALOG C ON (A.Cod_grupa = C.Grupa) AND (A.Cod_articol = "
        "C.Cod ) WHERE ((A.QIn - A.QOut < -:Eps) OR (A.QIn - A.QOut > :Eps))%1 ORDER BY A.Cod_Gestiune, A.Cod_grupa, C.Denumire, "
        "A.Cod_articol";
    const QVariantHash atDate{{"Date", to}};
    cases << QList<Case>{
        run(M, stockInputs.arg("(D1.Cod_gestiune IN (\"01\",\"02\")) AND "), atDate, 3, "QIn", 10.0),
        run(M, stockInputs.arg(QString()), atDate, 3),
        run(M, stockInputs.arg("(D1.Agent IN (\"B1\")) AND (D1.Cod_gestiune IN (\"01\")) AND "), atDate, 3),
        run(M, stockOutputs.arg("(D1.Cod_gestiune IN (\"01\",\"02\")) AND "), atDate, 2),
        run(M, qualified(inventory.arg(" AND (A.Cod_gestiune IN (\"01\")) AND (A.Agent = \"B1\")"), "ANSW_ST"), {{"Eps", eps}}, 2,
            "Denumire", "Faina"),
        run(M,
            qualified(inventory.arg(" AND (A.Agent = \"B1\") AND (A.Cod_grupa IN (\"G1\")) AND (A.Cod_articol IN (\"ZAH001\")) "
                                    "AND(C.Denumire IN (\"Zahar\"))"),
                      "ANSW_ST"),
            {{"Eps", eps}}, 1, "QOut", 1.0),
        // critical stocks
        run(M, "SELECT DISTINCT S.Cod_grupa, S.Cod_articol, SUM(S.Cantitate) AS Ctot FROM \"Stoc.db\" S GROUP BY S.Cod_grupa, S.Cod_articol",
            {}, 2),
        run(P,
            "SELECT C.Grupa AS Cod_grupa, C.Cod, C.Denumire, C.Unitate_masura, C.Stock_minim, A.Ctot FROM \":TSTOCK:Catalog.DB\" C "
            "LEFT JOIN \":TBX_PRIV:Answ1\" A ON (A.Cod_grupa = C.Grupa) AND (A.Cod_articol = C.Cod) ORDER BY C.Grupa, C.Cod",
            {}, 2, "Ctot", 6.0),
    };

    // --- Turnover balance and the detailed balance ---------------------------
    const QString key = "D1.Cod_gestiune, D1.Cod_grupa, D1.Cod_articol, %1, D1.Agent, D1.Lot";
    const QString inKey = key.arg("D1.Pret_achizitie_lei"), outKey = key.arg("D1.Pret_achizitie");
    const QString where = "(D1.Cod_gestiune IN (\"01\",\"02\")) AND ";
    const QString balance =
        "SELECT A.Cod_gestiune, A.Cod_grupa, A.Cod_articol, A.Pret_achizitie, A.RQIn, A.RQOut, A.QInit, A.VInit, A.Vin, A.QFin, "
        "A.VOut, A.VFin, C.Cod, C.Denumire, C.Unitate_masura, C.Coef_TVA FROM ANSW_B A LEFT JOIN CATALOG C ON (A.Cod_grupa = "
        "C.Grupa) AND (A.Cod_articol = C.Cod )\n%1\n%2\nORDER BY A.Cod_gestiune, A.Cod_grupa, C.Denumire";
    const QVariantHash first{{"Date", d(2026, 1, 21)}};
    const QVariantHash interval{{"Date1", d(2026, 1, 21)}, {"Date2", d(2026, 2, 28)}};
    const QVariantHash detailInterval{{"FromDate", d(2026, 1, 21)}, {"ToDate", d(2026, 2, 28)}};
    cases << QList<Case>{
        run(M,
            "SELECT D1.Cod_gestiune, D1.Cod_grupa, D1.Cod_articol, D1.Pret_achizitie_lei as Pret_achizitie, D1.Agent, D1.Lot, 0 as QOut, "
            "SUM(D1.Cantitate) AS QIn, 0 as RQIn, 0 as RQOut FROM DOC_IN D, ITEM_IN D1 WHERE " + where +
                "((D.Data_inregistrarii < :Date) OR (D.Data_inregistrarii IS NULL)) AND (D1.Contor = D.Contor) GROUP BY " + inKey +
                " ORDER BY " + inKey,
            first, 3),
        run(M,
            "SELECT " + outKey + ", SUM(D1.Cantitate) AS QOut FROM DOC_OUT D, ITEM_OUT D1 WHERE " + where +
                "(D.Data_inregistrarii < :Date) AND (D1.Contor = D.Contor) GROUP BY " + outKey + " ORDER BY " + outKey,
            first, 1, "QOut", 4.0),
        run(P, "SELECT * FROM Answ_B WHERE QIn <> QOut", {}, 2),
        run(M,
            "SELECT " + inKey + ", 0 as RQOut, SUM(D1.Cantitate) AS RQIn FROM DOC_IN D, ITEM_IN D1 WHERE " + where +
                "(D.Data_inregistrarii >= :Date1) AND (D.Data_inregistrarii <= :Date2) AND (D1.Contor = D.Contor) GROUP BY " + inKey +
                " ORDER BY " + inKey,
            interval, 1, "RQIn", 3.0),
        run(M,
            "SELECT " + outKey + ", 0 as RQIn, SUM(D1.Cantitate) AS RQOut FROM DOC_OUT D, ITEM_OUT D1 WHERE " + where +
                "(D.Data_inregistrarii >= :Date1) AND (D.Data_inregistrarii <= :Date2) AND (D1.Contor = D.Contor) GROUP BY " +
                outKey + " ORDER BY " + outKey,
            interval, 1, "RQOut", 1.0),
        run(P,
            "SELECT Cod_gestiune, Cod_grupa, Cod_articol, Pret_achizitie, Agent, RQIn, RQOut, (QIn - QOut) AS QInit, (Pret_achizitie * "
            "(QIn - QOut)) AS VInit, (Pret_achizitie * RQIn) AS Vin, (((QIn - QOut) + RQIn) - RQOut) AS QFin, (Pret_achizitie * RQOut) "
            "AS VOut, (Pret_achizitie * (((QIn - QOut) + RQIn) - RQOut)) AS VFin FROM \"ANSW_B.DB\" ORDER BY Cod_gestiune, Cod_grupa, "
            "Cod_articol, Pret_achizitie, RQIn, RQOut",
            {}, 3),
        run(M,
            "SELECT D1.Cod_gestiune, D1.Cod_grupa, D1.Cod_Articol, D1.Pret_achizitie_lei as Pret_achizitie, D1.Agent, D1.Lot, "
            "D.Data_inregistrarii, D.Numar, D.Tip, D.Data, D1.Contor_secundar, D1.Cantitate FROM DOC_IN D, ITEM_IN D1 WHERE "
            "(D.Data_inregistrarii >= :FromDate) AND (D.Data_inregistrarii <= :ToDate) AND (D1.Contor = D.Contor) AND "
            "(D1.Cod_gestiune IN (\"01\",\"02\")) ORDER BY " + inKey + ", D.Data_inregistrarii, D.Numar, D.Tip, D.Data, D1.Contor_secundar",
            detailInterval, 1, "Tip", "LZ"),
        run(M,
            "SELECT D1.Cod_gestiune, D1.Cod_grupa, D1.Cod_Articol, D1.Pret_achizitie, D1.Agent, D1.Lot, D.Data_inregistrarii, "
            "D.Numar, D.Tip, D.Data, D1.Contor_secundar, D1.Cantitate FROM DOC_OUT D, ITEM_OUT D1 WHERE (D.Data_inregistrarii >= "
            ":FromDate) AND (D.Data_inregistrarii <= :ToDate) AND (D1.Contor = D.Contor) AND (D1.Cod_gestiune IN (\"01\",\"02\")) "
            "ORDER BY " + outKey + ", D.Data_inregistrarii, D.Numar, D.Tip, D.Data, D1.Contor_secundar",
            detailInterval, 1, "Tip", "AE"),
        run(P, "DELETE FROM ANSW_B WHERE (Cod_gestiune IS NULL) AND (Cod_grupa IS NULL) AND (Cod_articol IS NULL)", {}, 1),
        run(M, qualified(balance.arg(QString(), QString()), "ANSW_B"), {}, 2),
        run(M,
            qualified(balance.arg("WHERE (A.Cod_grupa IN (\"G1\")) AND (A.Cod_articol IN (\"FAI001\")) AND(C.Denumire IN (\"Faina\"))",
                                  " AND (A.Agent = \"B1\")"),
                      "ANSW_B"),
            {}, 1, "VFin", 30.0),
        run(M, qualified(balance.arg(QString(), " WHERE (A.Agent = \"B1\")"), "ANSW_B"), {}, 2),
        run(P,
            "DELETE FROM ANSW_B WHERE (QInit > -:Eps) AND (QInit < :Eps) AND (RQIn > -:Eps) AND (RQIn < :Eps) AND (RQOut > -:Eps) "
            "AND (RQOut < :Eps)",
            {{"Eps", eps}}, 1),
    };

    // --- Stock card, list of inputs and outputs, inventory centraliser -------
    const QString inOut =
        "SELECT DISTINCT D2.Cod_grupa, D2.Cod_articol, D.Denumire, D2.Agent, %1 FROM \"Catalog.DB\" D, \"%2\" D1, \"%3\" D2 WHERE "
        "(D1.Data_inregistrarii >= :Start) AND (D1.Data_inregistrarii <= :Stop) AND (D2.Contor = D1.Contor) AND (D2.Cod_grupa = "
        "D.Grupa) AND (D2.Cod_articol = D.Cod) AND (D2.Agent = \"B1\") GROUP BY D2.Cod_grupa, D2.Cod_articol, D.Denumire, D2.Agent "
        "ORDER BY D2.Cod_grupa, D2.Cod_articol, D.Denumire, D2.Agent";
    const QVariantHash startStop{{"Start", from}, {"Stop", to}};
    cases << QList<Case>{
        run(P,
            "CREATE TABLE \"Answ_BF.DB\" (Cod_gestiune char(4), Cod_grupa char(8), Cod_Articol char(30), Pret_achizitie numeric, "
            "Buget char(3), Lot char(30), Data_inregistrarii Date, Mod char(3), Data Date, Numar numeric, Tip char(20), "
            "Contor_secundar numeric, Intrari numeric, Iesiri numeric, Stoc numeric, PRIMARY KEY (Cod_gestiune, Cod_grupa, "
            "Cod_Articol, Pret_achizitie, Buget, Lot, Data_inregistrarii, Mod, Data, Numar, Tip, Contor_secundar))"),
        run(P,
            "INSERT INTO \"ANSW_Bf.DB\" (Cod_gestiune, Cod_grupa, Cod_Articol, Pret_achizitie, Buget, Lot, Tip, Stoc) SELECT "
            "D1.Cod_gestiune, D1.Cod_grupa, D1.Cod_articol, D1.Pret_achizitie, D1.Agent, D1.Lot, 'Stoc initial', D1.QInit FROM "
            "\"ANSW_B.DB\" D1",
            {}, 1),
        run(P,
            "INSERT INTO \"ANSW_Bf.DB\" (Cod_gestiune, Cod_grupa, Cod_Articol, Pret_achizitie, Buget, Lot, Data_inregistrarii, Mod, "
            "Numar, Tip, Data, Contor_secundar, Intrari) SELECT D1.Cod_gestiune, D1.Cod_grupa, D1.Cod_Articol, D1.Pret_achizitie, "
            "D1.Agent, D1.Lot, D1.Data_inregistrarii, 'IN', D1.Numar, D1.Tip, D1.Data, D1.Contor_secundar, D1.Cantitate FROM "
            "\"ANSW_B1.DB\" D1",
            {}, 1),
        run(P,
            "INSERT INTO \"ANSW_Bf.DB\" (Cod_gestiune, Cod_grupa, Cod_Articol, Pret_achizitie, Buget, Lot, Data_inregistrarii, Mod, "
            "Numar, Tip, Data, Contor_secundar, Iesiri) SELECT D1.Cod_gestiune, D1.Cod_grupa, D1.Cod_Articol, D1.Pret_achizitie, "
            "D1.Agent, D1.Lot, D1.Data_inregistrarii, 'OUT', D1.Numar, D1.Tip, D1.Data, D1.Contor_secundar, D1.Cantitate FROM "
            "\"ANSW_B2.DB\" D1",
            {}, 1),
        run(P,
            "SELECT DISTINCT A.Cod_gestiune, A.Cod_grupa, A.Cod_articol, A.Pret_achizitie, Buget, Lot FROM ANSW_BF A\n"
            "WHERE (A.Cod_grupa IN (\"G1\")) AND (A.Cod_articol IN (\"FAI001\"))\n"
            "ORDER BY A.Cod_gestiune, A.Cod_grupa, A.Cod_Articol, A.Pret_achizitie, Buget, Lot",
            {}, 1, "Buget", "B1"),
        // (check: the opening line, then the input and the output)
        run(P, "SELECT Mod, Intrari, Iesiri FROM ANSW_BF ORDER BY Data_inregistrarii, Mod", {}, 3, "Mod", QVariant(QString())),
        run(P,
            "CREATE TABLE \"TotalInOut.DB\" (Cod_grupa char(8), Cod_Articol char(30), Denumire char(255), TotalIn numeric, "
            "TotalOut numeric, PRIMARY KEY (Cod_grupa, Cod_Articol, Denumire))"),
        run(M, inOut.arg("SUM(D2.Cantitate) AS TotalIn, 0 AS TotalOut", "Doc_in.DB", "Item_in.DB"), startStop, 1, "TotalIn", 15.0),
        run(M, inOut.arg("0 AS TotalIn, SUM(D2.Cantitate) AS TotalOut", "Doc_out.DB", "Item_out.DB"), startStop, 2, "TotalOut", 4.0),
        run(M,
            qualified("SELECT A.Cod_Gestiune, SUM( A.Pret_achizitie *( A.QIn- A.QOut)) AS Valoare, G.Denumire FROM ANSW_ST A LEFT "
                      "JOIN GEST G ON (A.Cod_gestiune = G.Cod) WHERE ((A.QIn - A.QOut < -:Eps) OR (A.QIn - A.QOut > :Eps)) AND "
                      "(A.Agent = \"B1\") GROUP BY A.Cod_Gestiune, G.Denumire ORDER BY G.Denumire, A.Cod_Gestiune",
                      "ANSW_ST"),
            {{"Eps", eps}}, 1, "Valoare", 11.0),
    };

    // --- Lists of input and output documents, outputs by group and daily ----
    const QVariantHash fromTo{{"FromDate", from}, {"ToDate", to}};
    const QString mainPath = QDir::toNativeSeparators(dir.path()) + u'/';
    cases << QList<Case>{
        run(M,
            "SELECT D.Contor, D.Tip, D.Numar, D.Data_inregistrarii, D.Data, D.Explicatie, I.Cod_articol, I.Cantitate, (I.Cantitate * "
            "I.Pret_achizitie) AS Val, CL.Nume_client, C.Denumire, C.Unitate_masura FROM DOC_OUT D LEFT JOIN CLIENT CL ON (D.Client = "
            "CL.Cod_client ), ITEM_OUT I, CATALOG C WHERE (I.Cod_gestiune IN (\"01\")) AND (D.Data_inregistrarii >= :FromDate) AND "
            "(D.Data_inregistrarii <= :ToDate) AND (D.Tip IN (\"AE\",\"FCT\")) AND (D.Contor= I.Contor ) AND (I.Cod_grupa = C.Grupa) "
            "AND (I.Cod_articol= C.Cod ) AND (I.Agent = \"B1\") ORDER BY D.Tip, I.Cod_gestiune, D.Data_inregistrarii, D.Numar",
            fromTo, 2, "Tip", "AE"),
        run(M,
            "SELECT D.Tip, D.Numar, D.Data, I.Cantitate, I.Lot, C.Denumire FROM DOC_OUT D, ITEM_OUT I, CATALOG C WHERE "
            "(I.Cod_gestiune IN (\"01\")) AND (upper(C.Denumire) LIKE :Den) AND (D.Data_inregistrarii >= :FromDate) AND "
            "(D.Data_inregistrarii <= :ToDate) AND (D.Contor= I.Contor ) AND (I.Cod_grupa = C.Grupa) AND (I.Cod_articol= C.Cod )",
            with(fromTo, "Den", "%FAINA%"), 1),
        run(M,
            "SELECT D.Agent, I.Cod_gestiune, D.Contor, D.Data, D.Client, SUM(I.Cantitate * I.Pret_achizitie + I.TVA) AS TVal FROM "
            "DOC_OUT D, ITEM_OUT I WHERE (D.Agent IN (\"AB\")) AND (I.Cod_gestiune IN (\"01\")) AND ((D.Tip = \"FCT\") OR (D.Tip = "
            "\"CF\")) AND (D.Data_inregistrarii >= :FromDate) AND (D.Data_inregistrarii <= :ToDate) AND (D.Contor= I.Contor ) "
            "GROUP BY D.Agent, I.Cod_gestiune, D.Contor, D.Data, D.Client",
            fromTo, 1, "Contor", 10.0),
        run(M,
            "SELECT DISTINCT D1.Cod_gestiune, D.Agent, D1.Cod_grupa, D1.Cod_articol, D1.Pret_vz_echiv_USD, SUM(D1.Cantitate) AS QOut, "
            "((D1.Pret_vz_echiv_USD) * SUM(D1.Cantitate)) as Val FROM DOC_OUT D, ITEM_OUT D1 WHERE (D.Data_inregistrarii >= :FromDate) "
            "AND (D.Data_inregistrarii <= :ToDate) AND (D1.Contor = D.Contor) GROUP BY D1.Cod_gestiune,D.Agent, D1.Cod_grupa, "
            "D1.Cod_articol,D1.Pret_vz_echiv_USD ORDER BY D1.Cod_gestiune, D1.Cod_grupa, D1.Cod_articol",
            fromTo, 2, "Val", 2.4),
        run(P,
            "SELECT d1.Cod_gestiune, d1.Agent, D2.Denumire, D3.Name, d1.\"Val.G1\", SUM(D.Val) AS \"Val.total\" FROM \"tempTable.Db\" "
            "D, \"Crtab.db\" d1, \"" + mainPath + "Gest.DB\" D2, \"" + mainPath + "User.DB\" D3 WHERE (D.Cod_gestiune = "
            "d1.Cod_gestiune) AND (D.Agent = d1.Agent) AND (D2.Cod = d1.Cod_gestiune) AND (D3.Init = d1.Agent) GROUP BY "
            "d1.Cod_gestiune, d1.Agent, D2.Denumire, D3.Name, d1.\"Val.G1\" ORDER BY d1.Cod_gestiune, d1.Agent",
            {}, 1, "Val.total", 2.4),
        run(M,
            "SELECT DISTINCT D1.Cod_gestiune, D1.Cod_grupa, D1.Cod_articol, D.Agent, D1.Pret_vz_echiv_USD, SUM(D1.Cantitate) AS QOut, "
            "SUM(D1.Cantitate)*D1.Pret_vz_echiv_USD AS Val FROM DOC_OUT D, ITEM_OUT D1 WHERE (D1.Cod_gestiune IN (\"01\")) AND "
            "(D.Tip ='FCT') AND (D.Data_inregistrarii >= :FromDate) AND (D.Data_inregistrarii <= :ToDate) AND (D1.Contor = "
            "D.Contor) GROUP BY D1.Cod_gestiune, D1.Cod_grupa, D1.Cod_articol, D.Agent, D1.Pret_vz_echiv_USD ORDER BY "
            "D1.Cod_gestiune, D1.Cod_grupa, D1.Cod_articol",
            fromTo, 1, "QOut", 4.0),
    };

    // --- Journals, accounting notes, amounts received and payments -----------
    cases << QList<Case>{
        run(M,
            "SELECT DISTINCT D.Contor, D.Numar, D.Tip, D.Data, D.Client, D1.Contor_secundar, D1.TVA, (D1.Cantitate * D1.Pret_vinzare) "
            "AS Baza, ((D1.Cantitate * D1.Pret_vinzare) + D1.TVA) AS Total, D2.Coef_TVA FROM DOC_OUT D, ITEM_OUT D1, CATALOG D2 "
            "WHERE (D.Data >= :FromDate) AND (D.Data <= :ToDate) AND (D1.Contor = D.Contor) AND (D2.Cod = D1.Cod_articol)\n"
            "AND (D.Tip in ('AE','FCT'))\nORDER BY D.Data, D.Contor, D.Numar, D.Tip, D2.Coef_TVA",
            fromTo, 2, "Total", 13.08),
        run(M,
            "SELECT DISTINCT D.Contor, D.Numar, D.Tip, D.Data, D.Furnizor, D1.Contor_secundar, D1.TVA, (D1.Cantitate * "
            "D1.Pret_achizitie_lei) AS Baza, ((D1.Cantitate * D1.Pret_achizitie_lei) + D1.TVA) AS Total, D2.Coef_TVA FROM DOC_IN D, "
            "ITEM_IN D1, CATALOG D2 WHERE (D.Data >= :FromDate) AND (D.Data <= :ToDate) AND (D1.Contor = D.Contor) AND (D2.Cod = "
            "D1.Cod_articol)\nAND (D.Tip in ('AE','NIR'))\nORDER BY D.Data, D.Contor, D.Numar, D.Tip, D2.Coef_TVA",
            fromTo, 2, "Baza", 25.0),
        run(M,
            "SELECT DISTINCT D.Contor, D1.Contor_secundar, D1.TVA, D1.Cont_marfa, D1.Cont_TVA_Intrari, D2.Cont_creditor, D3.Denumire "
            "AS Gestiune, (D1.Cantitate * D1.Pret_achizitie_lei) AS Valachiz FROM DOC_IN D, ITEM_IN D1, FURN D2, GEST D3 WHERE "
            "(D.Data_inregistrarii >= :FromDate) AND (D.Data_inregistrarii <= :ToDate) AND (D1.Contor = D.Contor) AND "
            "(D2.Cod_furnizor = D.Furnizor) AND (D3.Cod = D1.Cod_gestiune)",
            fromTo, 2, "Cont_creditor", "401"),
        run(P,
            "SELECT DISTINCT Gestiune, Cont_marfa AS Cont_debitor, Cont_creditor, SUM(Valachiz) AS Valoare, \"1. APROVIZIONARE      \" "
            "AS Grup FROM ANSW_CI1 GROUP BY Gestiune, Cont_marfa, Cont_creditor ORDER BY Gestiune, Cont_marfa, Cont_creditor",
            {}, 1, "Grup", "1. APROVIZIONARE      "),
        run(P,
            "SELECT DISTINCT Gestiune, Cont_TVA_Intrari AS Cont_debitor, Cont_creditor, SUM(TVA) AS Valoare, \"1. APROVIZIONARE      \" "
            "AS Grup FROM ANSW_CI1 GROUP BY Gestiune, Cont_TVA_Intrari, Cont_creditor ORDER BY Gestiune, Cont_TVA_Intrari, Cont_creditor",
            {}, 1, "Valoare", 2.25),
        run(M,
            "SELECT DISTINCT D.Contor, D1.Contor_secundar, D1.TVA, D1.Cont_marfa, D1.Cont_cheltuieli, D1.Cont_TVA_Iesiri, "
            "D1.Cont_accize, D1.Acciza, D1.Cont_adaos, D1.Cont_venituri, D2.Denumire AS Gestiune, D3.Cont AS \"Cont client\", "
            "(D1.Cantitate * D1.Pret_achizitie) AS \"Valoare achizitie\", (D1.Cantitate * D1.Pret_vinzare) AS \"Valoare vanzare\", "
            "(D1.Cantitate * (D1.Pret_vinzare - D1.Pret_achizitie)) AS Adaos FROM DOC_OUT D, ITEM_OUT D1, GEST D2, CLIENT D3 WHERE "
            "(D.Data_inregistrarii >= :FromDate) AND (D.Data_inregistrarii <= :ToDate) AND (D1.Contor = D.Contor) AND (D2.Cod = "
            "D1.Cod_gestiune) AND (D3.Cod_client = D.Client)",
            fromTo, 2, "Cont client", "4111"),
        run(P,
            "SELECT DISTINCT Gestiune, \"Cont client\" AS Cont_debitor, Cont_venituri AS Cont_creditor, SUM(\"Valoare vanzare\") AS "
            "Valoare, \"2. DESFACERE          \" AS Grup FROM ANSW_CO1 GROUP BY Gestiune, \"Cont client\", Cont_venituri",
            {}, 1, "Valoare", 12.0),
        run(P,
            "SELECT DISTINCT Gestiune, \"635         \" AS Cont_debitor, Cont_accize AS Cont_creditor, SUM(Acciza) AS Valoare, "
            "\"5. ACCIZE             \" AS Grup FROM ANSW_CO1 GROUP BY Gestiune, Cont_accize",
            {}, 1, "Cont_debitor", "635         "),
        run(P, "DELETE FROM ANSW_C WHERE Valoare = 0", {}, 1),
        run(P, "SELECT Gestiune, Cont_debitor, Cont_creditor, Valoare, Grup FROM ANSW_C ORDER BY Gestiune, Grup", {}, 1),
        run(M,
            "SELECT DISTINCT D.Cod_client, D.Contor_document, D.Data_platii, D.Suma, D.Comentariu, D1.Numar, D1.Tip, D1.Data, "
            "C.Serie, C.Number FROM CLNPAY D LEFT OUTER JOIN CFSER C ON D.Contor_document = C.Contor, DOC_OUT D1 WHERE "
            "(D.Data_platii >= :FromDate) AND (D.Data_platii <= :ToDate) AND (D1.Contor = D.Contor_document) AND (D1.Client = "
            "D.Cod_client) AND NOT (D.Suma IS NULL) ORDER BY D.Data_platii, D1.Tip, D1.Data, D1.Numar",
            fromTo, 1, "Serie", "CF"),
        run(M,
            "SELECT DISTINCT D.Cod_furn, D.Contor_document, D.Data_platii, D.Suma, D.Comentariu, D1.Numar, D1.Tip, D1.Data FROM "
            "SPLPAY D, DOC_IN D1 WHERE (D.Data_platii >= :FromDate) AND (D.Data_platii <= :ToDate) AND (D1.Contor = "
            "D.Contor_document) AND (D1.Furnizor = D.Cod_furn) ORDER BY D.Data_platii, D1.Tip, D1.Data, D1.Numar",
            fromTo, 1, "Suma", 25.0),
        run(M,
            "SELECT DISTINCT D.Cod_furn, D.Contor_document, D.Valuta, D.Data_platii, D.Suma, D.Comentariu, D1.Numar, D1.Tip, D1.Data "
            "FROM SPLVPAY D, DOC_IN D1 WHERE (D.Data_platii >= :FromDate) AND (D.Data_platii <= :ToDate) AND (D1.Contor = "
            "D.Contor_document) AND (D1.Furnizor = D.Cod_furn) ORDER BY D.Data_platii, D1.Tip, D1.Data, D1.Numar",
            fromTo, 1, "Valuta", "EUR"),
    };

    // --- Targets achieved per warehouse and per agent -------------------------
    const QVariantHash sales{{"Data1", from}, {"Data2", to}};
    const QVariantHash months{{"Data1", 1}, {"Data2", 1}};
    cases << QList<Case>{
        run(M,
            "SELECT DISTINCT I.Cod_gestiune, I.Cod_grupa, 0 As LTarget, 0 As Target, Sum(I.Cantitate*I.Pret_vinzare) AS IsMoney FROM "
            "Item_out I, Doc_out D WHERE I.Contor = D.Contor AND D.Data>= :Data1 AND D.Data<= :Data2 GROUP BY I.Cod_gestiune, I.Cod_grupa",
            sales, 1, "IsMoney", 17.0),
        run(M,
            "SELECT DISTINCT I.Agent, I.Cod_grupa, 0 As LTarget, 0 As Target, Sum(I.Cantitate*I.Pret_vinzare) AS IsMoney FROM "
            "Item_out I, Doc_out D WHERE I.Contor = D.Contor AND D.Data>= :Data1 AND D.Data<= :Data2 GROUP BY I.Agent, I.Cod_grupa",
            sales, 1),
        run(M, "SELECT Cod_gest, Cod_grupa, 0 AS LTarget, Sum(Target) AS Target FROM Target GROUP BY Cod_gest, Cod_grupa", {}, 1,
            "Target", 220.0),
        run(M, "SELECT Agent, Cod_grupa, 0 AS LTarget, Sum(Target) AS Target FROM TargetA GROUP BY Agent, Cod_grupa", {}, 1),
        run(M,
            "SELECT Cod_gest, Cod_grupa, Sum(Target) AS LTarget FROM Target WHERE Luna>=:Data1 AND Luna <=:Data2 GROUP BY Cod_gest, "
            "Cod_grupa",
            months, 1, "LTarget", 100.0),
        run(M, "SELECT Agent, Cod_grupa, Sum(Target) AS LTarget FROM TargetA WHERE Luna>=:Data1 AND Luna <=:Data2 GROUP BY Agent, Cod_grupa",
            months, 1),
        run(P, "DELETE FROM Answ WHERE Target=0", {}, 1),
        run(P, "UPDATE Answ SET IsMoney=0 WHERE IsMoney Is Null", {}, 3),
        run(P, "DELETE FROM AnswA WHERE Target=0", {}, 1),
        run(P, "UPDATE AnswA SET IsMoney=0 WHERE IsMoney Is Null", {}, 1),
    };

    // --- Allocation types, daily food lists and their prints -----------------
    const QString allocations =
        "SELECT DISTINCT D1.Cod, %1 FROM \"Alocatie.DB\" D, \"ValAlocatie.DB\" D1, \"Doc_in.DB\" D2, \"Item_in.DB\" D3 WHERE "
        "(D1.Cod = D.CodAlocatie) AND (D2.Data_inregistrarii >= D1.Data) AND (D2.Data_inregistrarii <= D1.DataSf) AND %2"
        "(D3.Contor = D.Contor) AND (D3.Contor = D2.Contor) AND %3 AND (D3.Contor_secundar = D.Contor_secundar) GROUP BY D1.Cod "
        "ORDER BY D1.Cod";
    cases << QList<Case>{
        run(M, "select max(Cod)  from TipAlocatie", {}, 1, "max(Cod)", 1.0),
        run(M,
            "SELECT DISTINCT Contor, Contor_secundar, CodAlocatie, NrPersoane FROM \"Alocatie.DB\" WHERE (CodAlocatie = :Cod) "
            "ORDER BY Contor, Contor_secundar, CodAlocatie, NrPersoane",
            {{"Cod", 1}}, 1),
        run(P,
            "CREATE TABLE \"LZilnica.DB\" (Cod numeric, NrPersR numeric, DrepturiR numeric, ConsumatR numeric, NrPers numeric, "
            "Drepturi numeric, Consumat numeric, PRIMARY KEY (Cod))"),
        run(M,
            allocations.arg("SUM(D.NrPersoane) AS NrPersR, SUM(D.NrPersoane * D1.Valoare) AS DrepturiR, SUM(D3.Cantitate * "
                            "D3.Pret_achizitie_lei) AS ConsumatR, 0 AS NrPers, 0 AS Drepturi, 0 AS Consumat",
                            "(D2.Data_inregistrarii >= :StartReport) AND ", "(D2.Contor < :Contor)"),
            {{"StartReport", from}, {"Contor", 3}}, 1, "DrepturiR", 100.0),
        run(M,
            allocations.arg("0 AS NrPersR, 0 AS DrepturiR, 0 AS ConsumatR, SUM(D.NrPersoane) AS NrPers, SUM(D.NrPersoane * "
                            "D1.Valoare) AS Drepturi, SUM(D3.Cantitate * D3.Pret_achizitie_lei) AS Consumat",
                            "", "(D2.Contor = :Contor)"),
            {{"Contor", 2}}, 1, "Consumat", 12.0),
        run(M,
            "SELECT DISTINCT D.Contor FROM \"Doc_in.DB\" D, \"Alocatie.DB\" D1 WHERE (D.Data_inregistrarii < :StartReport) AND "
            "(D.Tip = 'LZ') AND (D1.Contor = D.Contor) AND (D1.CodAlocatie = :Cod) ORDER BY D.Contor",
            {{"StartReport", from}, {"Cod", 1}}, 0),
        run(M,
            "SELECT I.Agent, I.Cod_gestiune, I.Cod_articol, I.Pret_achizitie, SUM(I.TVA) as TVA, SUM(I.Cantitate) as Cantitate, "
            "SUM(I.Acciza) as Acciza, I.Lot, C.Denumire as Den, C.Descriere, C.Unitate_masura as UM, C.Coef_TVA as DummyTVA, "
            "C.Proteine, C.Lipide, C.Glucide, C.Calorii FROM ITEM_OUT I, CATALOG C WHERE (I.Contor = :Contor) AND (I.Cod_grupa = "
            "C.Grupa) AND (I.Cod_articol = C.Cod) GROUP BY I.Agent, I.Cod_gestiune, I.Cod_articol, I.Pret_achizitie, I.Lot, "
            "C.Denumire, C.Descriere, C.Unitate_masura, C.Coef_TVA, C.Proteine, C.Lipide, C.Glucide, C.Calorii ORDER BY I.Agent, "
            "C.Denumire, I.Cod_articol, I.Pret_achizitie",
            {{"Contor", 10}}, 1, "Proteine", 12.0),
        run(M,
            "SELECT D.Contor, D.Data_inregistrarii, D.Numar, D.Data, D.Explicatie, SUM(I.Cantitate * I.Pret_achizitie_lei) as Val FROM "
            "DOC_IN D , ITEM_IN I WHERE (D.Data_inregistrarii >= :FromDate) AND (D.Data_inregistrarii <= :ToDate) AND (D.Tip = 'LZ') "
            "AND (D.Contor= I.Contor ) AND (I.Agent = \"B1\") GROUP BY D.Contor, D.Data_inregistrarii, D.Numar, D.Data, D.Explicatie "
            "ORDER BY D.Data_inregistrarii, D.Numar, D.Contor",
            {{"FromDate", from}, {"ToDate", d(2026, 2, 28)}}, 1, "Val", 12.0),
        run(M,
            "SELECT D2.Contor, SUM(D.NrPersoane) AS NrPers, SUM(D.NrPersoane * D1.Valoare) AS Drepturi FROM \"Alocatie.DB\" D, "
            "\"ValAlocatie.DB\" D1, \"Doc_in.DB\" D2, \"Item_in.DB\" D3 WHERE (D1.Cod = D.CodAlocatie) AND (D2.Data_inregistrarii >= "
            "D1.Data) AND (D2.Data_inregistrarii <= D1.DataSf) AND (D3.Contor = D.Contor) AND (D3.Contor = D2.Contor) AND "
            "(D3.Contor_secundar = D.Contor_secundar) AND (D2.Contor = :Contor) AND (D3.Agent = \"B1\") GROUP BY D2.Contor",
            {{"Contor", 2}}, 1, "NrPers", 20.0),
    };

    runCases(cases, db, &priv);
}

// The first and second upgrade stages on tables of the older structure: each
// statement runs, and afterwards every upgraded table has the fields of the
// catalog with their types and sizes.
TEST(StatementsUpgrade, TheUpgradeChainBringsOlderTablesToTheCatalog)
{
    testsupport::TempDir dir;
    Database db;
    db.setDirectory(dir.path());

    // Tables as the versions before the upgrade chain left them.
    struct Older { const char* table; QStringList added; };
    const QList<Older> older = {
        {"Ch_agent.DB", {"Emitent"}},
        {"Acces.DB", {"Comenzi", "Comenzi_Emise", "Comenzi_Neonorate", "Centralizator", "Stoc_Total", "Modul_Aux",
                      "Op_Arhivare", "Vinz_Zilnice", "Vinz_Perioada", "Retur", "Grila_discount"}},
        {"Item_out.DB", {"Lot", "Agent", "Cod_bare"}},
        {"Item_in.DB", {"Lot", "Serii", "Cod_bare"}},
        {"Stoc.DB", {"Lot", "Cod_bare"}},
        {"Catalog.DB", {"Stock_minim", "Proteine", "Lipide", "Glucide", "Calorii", "ZileValabilitate", "CantReteta", "Cod_bare"}},
        {"Grup.db", {"Target", "Cod_material"}},
        {"Counter.DB", {"NewCounterOffC", "NewCounterProf"}},
        {"Client.DB", {"Discount", "Grila", "Lock", "Limita_credit", "Credit_actual", "Rest_credit", "Atentie"}},
        {"TipAlocatie.DB", {"ReportNrPers", "ReportDrepturi", "ReportConsum", "EcoDep"}},
        {"Item_prof.DB", {"Buget", "Lot"}},
        {"Gest.db", {"Gestionar"}},
        {"Firmdata.DB", {"Comisia1", "Comisia2", "Comisia3", "Comisia4", "Comisia5", "Comisia6", "Capital", "Capital_text"}},
        {"Item_Com.DB", {"Pret", "Termen"}},
    };
    for (const Older& o : older) {
        TableDef def = *findTableDef(QString::fromLatin1(o.table));
        def.fields.removeIf([&](const FieldDef& f) { return o.added.contains(f.name); });
        for (IndexDef& ix : def.indexes) {
            QStringList fields = ix.fieldList();
            fields.removeIf([&](const QString& f) { return o.added.contains(f); });
            ix.fields = fields.join(u';');
        }
        if (def.name == QLatin1String("Ch_agent.DB"))
            def.fields.last() = text("Comentariu", 255); // a text before it became a memo
        if (def.name == QLatin1String("Catalog.DB"))
            for (int n = 1; n <= 4; ++n)
                def.indexes.append(secondary(QStringLiteral("ByGeneric%1").arg(n), QStringLiteral("Grupa;Generic %1").arg(n)));
        db.createTable(def);
    }
    // The table Item_in is rebuilt into after it receives its lot.
    db.createTable({"ItemInNew.DB",
                    {floating("Contor"), floating("Contor_secundar"), text("Cod_gestiune", 4), text("Cod_grupa", 8),
                     text("Cod_articol", 30), text("Lot", 30), floating("Cantitate"), floating("Pret_achizitie_valuta"),
                     text("Valuta", 3), floating("Pret_achizitie_lei"), floating("Pret_echiv_USD"), floating("TVA"),
                     text("Cont_marfa", 20), text("Cont_TVA_Intrari", 20), text("Agent", 3), floating("Contor_Com")},
                    {primaryKey("Contor;Contor_secundar")}});
    execAll(db, {"INSERT INTO TipAlocatie (Cod, Denumire) VALUES (1, 'Mic dejun')",
                 "INSERT INTO Catalog (Grupa, Cod, Denumire) VALUES ('G', 'A', 'Faina')",
                 "INSERT INTO Acces (Niv_acces) VALUES (0)", "INSERT INTO Acces (Niv_acces) VALUES (1)"});

    QList<Case> cases;
    auto step = [&](const QString& sql, int rows = -1) { cases << run(On::Main, sql, {}, rows); };
    // First stage.
    step(R"(Alter Table "Ch_Agent.Db" DROP Comentariu , ADD Comentariu BLOB(10,1), ADD Emitent CHAR(100))");
    for (const char* f : {"Comenzi", "Comenzi_Emise", "Comenzi_Neonorate", "Centralizator", "Stoc_Total", "Modul_Aux", "Op_Arhivare",
                          "Vinz_Zilnice", "Vinz_Perioada"})
        step(R"(Alter Table "Acces.Db" ADD )" + str(f) + " Boolean");
    step(R"(Alter Table "Item_out.db" ADD Lot CHAR(30))");
    step(R"(Alter Table "Item_out.db" ADD Agent CHAR(3))");
    step(R"(Alter Table "Item_in.db" ADD Lot CHAR(30))");
    step(R"(CREATE INDEX ByCodArt ON "ItemInNew.db" (Cod_grupa, Cod_articol, Pret_achizitie_lei))");
    step(R"(Alter Table "Stoc.db" ADD Lot CHAR(30))");
    for (const char* ix : {"ByGeneric1", "ByGeneric2", "ByGeneric3", "ByGeneric4", "ByName", "ByDescript"})
        step("DROP INDEX Catalog." + str(ix));
    // Second stage.
    for (const char* s : {
             R"(Alter Table "Grup.db" ADD Target BOOLEAN)",
             R"(Alter Table "Counter.db" ADD NewCounterOffC FLOAT)",
             R"(Alter Table "Client.db" ADD Discount FLOAT)",
             R"(Alter Table "Client.db" ADD Grila INTEGER)",
             R"(Alter Table "Client.db" ADD Lock BOOLEAN, ADD Limita_credit FLOAT )",
             R"(Alter Table "Client.db" ADD Credit_actual Float, ADD Rest_credit FLOAT , ADD Atentie CHAR(10))",
             R"(Alter Table "Catalog.db" ADD Stock_minim FLOAT)",
             R"(Alter Table "Grup.db" ADD Cod_material char(10))",
             R"(Alter Table "TipAlocatie.db" ADD ReportNrPers FLOAT, ADD ReportDrepturi FLOAT, ADD ReportConsum FLOAT)",
             R"(Alter Table "Catalog.db" ADD Proteine FLOAT, ADD Lipide FLOAT, ADD Glucide FLOAT, ADD Calorii FLOAT)",
             R"(Alter Table "Catalog.db" ADD ZileValabilitate FLOAT)",
             R"(Alter Table "Item_prof.db" ADD Buget CHAR(3))",
             R"(Alter Table "Gest.db" ADD Gestionar CHAR(100))",
             R"(Alter Table "Firmdata.db" ADD Comisia1 CHAR(100), ADD Comisia2 CHAR(100), ADD Comisia3 CHAR(100))",
             R"(Alter Table "TipAlocatie.db" ADD EcoDep BOOLEAN)",
         })
        step(str(s));
    step(R"(UPDATE "TipAlocatie.db" SET EcoDep = True)", 1);
    for (const char* s : {
             R"(Alter Table "Item_com.db" ADD Pret FLOAT, ADD Termen DATE)",
             R"(Alter Table "Firmdata.db" ADD Comisia4 CHAR(100), ADD Comisia5 CHAR(100), ADD Comisia6 CHAR(100))",
             R"(Alter Table "Catalog.db" ADD CantReteta FLOAT )",
         })
        step(str(s));
    step(R"(UPDATE "Catalog.db" SET CantReteta = 1 )", 1);
    for (const char* s : {
             R"(Alter Table "Item_in.db" ADD Serii BOOLEAN)",
             R"(Alter Table "Item_prof.db" ADD Lot char(30))",
             R"(Alter Table "Catalog.db" ADD Cod_bare CHAR(60))",
             R"(Alter Table "Item_in.db" ADD Cod_bare CHAR(60))",
             R"(Alter Table "Item_out.db" ADD Cod_bare CHAR(60))",
             R"(Alter Table "Stoc.db" ADD Cod_bare CHAR(60))",
             R"(Alter Table "Acces.db" ADD Retur BOOLEAN)",
         })
        step(str(s));
    step(lines({"Update \"Acces.db\"", "Set Retur = True", "Where (Niv_Acces = 0)"}), 1);
    step(R"(Alter Table "Acces.db" ADD Grila_discount BOOLEAN)");
    step(lines({"Update \"Acces.db\"", "Set Grila_discount = True", "Where (Niv_Acces = 0)"}), 1);
    for (const char* s : {
             R"(Alter Table "Counter.db" ADD NewCounterProf FLOAT)",
             R"(Alter Table "Firmdata.db" ADD Capital FLOAT)",
             R"(Alter Table "Firmdata.db" ADD Capital_text CHAR(100))",
         })
        step(str(s));
    runCases(cases, db, nullptr);

    auto byName = [](QList<FieldDef> fields) {
        std::sort(fields.begin(), fields.end(), [](const FieldDef& a, const FieldDef& b) { return a.name < b.name; });
        return fields;
    };
    for (const Older& o : older) {
        const TableDef& expected = *findTableDef(QString::fromLatin1(o.table));
        EXPECT_EQ(byName(db.readTableDef(expected.name).fields), byName(expected.fields)) << o.table;
    }
    EXPECT_EQ(db.readTableDef("Catalog.DB").indexes, QList<IndexDef>{primaryKey("Grupa;Cod")});
    EXPECT_EQ(db.readTableDef("ItemInNew.DB").indexes.value(1), (IndexDef{"ByCodArt", "Cod_grupa;Cod_articol;Pret_achizitie_lei", 0}));
    EXPECT_EQ(db.scalar("SELECT EcoDep FROM TipAlocatie"), QVariant(true));
    EXPECT_EQ(db.scalar("SELECT CantReteta FROM Catalog").toDouble(), 1.0);
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM Acces WHERE Retur = True AND Grila_discount = True").toInt(), 1);
    EXPECT_EQ(db.scalar("SELECT Niv_acces FROM Acces WHERE Retur").toInt(), 0);
}

// The import of a first-generation database from its archive folder: the
// archived tables named by their path (the folder, a backslash, the file),
// then the rows that complete the new database.
TEST(StatementsImport, AFirstGenerationDatabaseIsImportedFromItsArchive)
{
    testsupport::TempDir dir;
    const QString archive = dir.file("Arhiva_Date_Tobrix");
    ASSERT_TRUE(QDir().mkpath(archive));
    {
        Database old(QStringLiteral("ARHIVA"));
        old.setDirectory(archive);
        execAll(old, {
            "CREATE TABLE Catalog (Cod char(30), Denumire char(255), Unitate_masura char(4), Pret_vinzare numeric, "
            "Cont_marfa char(20), Cont_cheltuieli char(20), Cont_TVA_Intrari char(20), Cont_TVA_Iesiri char(20), Coef_TVA numeric, "
            "Cont_accize char(20), Coef_accize numeric, Cont_adaos char(20), Cont_venituri char(20), PRIMARY KEY (Cod))",
            "CREATE TABLE Item_in (Contor numeric, Contor_secundar numeric, Cod_gestiune char(4), Cod_articol char(30), "
            "Cantitate numeric, Pret_achizitie numeric, TVA numeric, Cont_marfa char(20), Cont_TVA_Intrari char(20))",
            "CREATE TABLE Splpay (Cod_furn char(30), Contor_document numeric, Data_platii Date, Suma numeric, Comentariu char(255))",
            "CREATE TABLE Stoc (Cod_gestiune char(4), Cod_articol char(30), Pret_achizitie numeric, Cantitate numeric)",
            "CREATE TABLE Furn (Cod_furnizor char(30), Nume_furnizor char(255), Cont_creditor char(20), Adresa char(30), "
            "Banca char(15), Cont_bancar char(60), Cod_fiscal char(15), ORC char(20), Tel char(12), Fax char(12))",
            "INSERT INTO Catalog (Cod, Denumire, Unitate_masura, Pret_vinzare, Coef_TVA) VALUES ('A1', 'Faina', 'kg', 30000, 19)",
            "INSERT INTO Item_in (Contor, Contor_secundar, Cod_gestiune, Cod_articol, Cantitate, Pret_achizitie) "
            "VALUES (1, 1, '01', 'A1', 10, 25000)",
            "INSERT INTO Splpay (Cod_furn, Contor_document, Data_platii, Suma) VALUES ('F1', 1, '2004-03-01', 250000)",
            "INSERT INTO Stoc (Cod_gestiune, Cod_articol, Pret_achizitie, Cantitate) VALUES ('01', 'A1', 25000, 10)",
            "INSERT INTO Furn (Cod_furnizor, Nume_furnizor) VALUES ('F1', 'Furnizor SA')",
        });
    }
    Database db;
    db.setDirectory(dir.path());
    for (const TableDef& t : databaseTables())
        db.createTable(t);
    db.attach(QStringLiteral("ARHIVA"), archive);
    const QString from = u'"' + QDir::toNativeSeparators(archive) + u'\\';

    QStringList rights; // the first 45 fields of the access levels
    for (const FieldDef& f : findTableDef("Acces.DB")->fields.mid(0, 45))
        rights << f.name;
    QStringList values{"0.0"};
    values << QStringList(44, "'TRUE'");

    constexpr On M = On::Main;
    const QList<Case> cases = {
        run(M,
            "INSERT INTO \"Catalog.DB\" (Cod, Denumire, Unitate_masura, Pret_vinzare, Cont_marfa, Cont_cheltuieli, Cont_TVA_Intrari, "
            "Cont_TVA_Iesiri, Coef_TVA, Cont_accize, Coef_accize, Cont_adaos, Cont_venituri) SELECT Cod, Denumire, Unitate_masura, "
            "Pret_vinzare, Cont_marfa, Cont_cheltuieli, Cont_TVA_Intrari, Cont_TVA_Iesiri, Coef_TVA, Cont_accize, Coef_accize, "
            "Cont_adaos, Cont_venituri FROM " + from + "Catalog.DB\"",
            {}, 1),
        run(M,
            "INSERT INTO \"Item_in.DB\" (Contor, Contor_secundar, Cod_gestiune, Cod_articol, Cantitate, Pret_achizitie_lei, TVA, "
            "Cont_marfa, Cont_TVA_Intrari) SELECT D1.Contor, D1.Contor_secundar, D1.Cod_gestiune, D1.Cod_articol, D1.Cantitate, "
            "D1.Pret_achizitie, D1.TVA, D1.Cont_marfa, D1.Cont_TVA_Intrari FROM " + from + "Item_in.DB\" D1",
            {}, 1),
        run(M,
            "INSERT INTO \"Splpay.DB\" (Cod_furn, Contor_document, Data_platii, Suma, Comentariu) SELECT Cod_furn, Contor_document, "
            "Data_platii, Suma, Comentariu FROM " + from + "Splpay.DB\"",
            {}, 1),
        run(M,
            "INSERT INTO \"Splvpay.DB\" (Cod_furn, Contor_document, Data_platii, Suma, Comentariu) SELECT Cod_furn, Contor_document, "
            "Data_platii, Suma, Comentariu FROM " + from + "Splpay.DB\"",
            {}, 1),
        run(M,
            "INSERT INTO \"Stoc.db\" (Cod_gestiune, Cod_articol, Pret_achizitie, Cantitate) SELECT Cod_gestiune, Cod_articol, "
            "Pret_achizitie, Cantitate FROM " + from + "Stoc.db\"",
            {}, 1),
        run(M,
            "SELECT DISTINCT Cod_furnizor, Nume_furnizor, Cont_creditor, Adresa, Banca, Cont_bancar, Cod_fiscal, ORC, Tel, Fax FROM " +
                from + "Furn.DB\"",
            {}, 1, "Nume_furnizor", "Furnizor SA"),
        run(M, "INSERT INTO \"Acces.DB\" (" + rights.join(", ") + ") VALUES (" + values.join(", ") + ")", {}, 1),
        run(M, "INSERT INTO \"Grup.db\" (Cod_grupa, Denumire) VALUES ('Toate', 'Toate')", {}, 1),
        run(M, "INSERT INTO \"Valuta.db\" (Moneda, Denumire) VALUES ('LEI', 'LEI')", {}, 1),
        run(M, "INSERT INTO \"Curs.db\" (Valuta, Data, Curs) VALUES ('LEI', '01/01/2001', 1.0)", {}, 1),
        run(M, "UPDATE \"Avit_in.DB\" SET Cod_grupa = 'Toate', Valuta = 'LEI'", {}, 0),
        run(M, "UPDATE \"Avit_out.DB\" SET Cod_grupa = 'Toate'", {}, 0),
        run(M, "UPDATE \"Catalog.DB\" SET Grupa = 'Toate', Moneda = 'LEI'", {}, 1),
        run(M,
            "UPDATE \"Item_in.DB\" SET Cod_grupa = 'Toate', Pret_achizitie_valuta = Pret_achizitie_lei, Valuta = 'LEI', "
            "Pret_echiv_USD = Pret_achizitie_lei",
            {}, 1),
        run(M, "UPDATE \"Item_out.DB\" SET Cod_grupa = 'Toate', Pret_vz_echiv_USD = Pret_vinzare", {}, 0),
        run(M, "UPDATE \"Splvpay.DB\" SET Valuta = 'LEI'", {}, 1),
        run(M, "UPDATE \"Stoc.db\" SET Cod_grupa = 'Toate'", {}, 1),
    };
    runCases(cases, db, nullptr);

    // One article in group "Toate", in lei; the rate of 1 January 2001; every right given.
    EXPECT_EQ(db.scalar("SELECT Grupa || '/' || Moneda FROM Catalog").toString(), "Toate/LEI");
    EXPECT_EQ(db.scalar("SELECT Data FROM Curs WHERE Valuta = 'LEI'").toDate().toString(Qt::ISODate), "2001-01-01");
    Query access = db.query("SELECT * FROM Acces");
    ASSERT_TRUE(access.next());
    EXPECT_EQ(access.value("Niv_acces").toInt(), 0);
    QStringList denied;
    for (const QString& right : rights.mid(1))
        if (access.value(right) != QVariant(true))
            denied << right;
    EXPECT_TRUE(denied.isEmpty()) << denied.join(", ").toStdString();
    EXPECT_EQ(db.scalar("SELECT Pret_achizitie_valuta FROM Item_in").toDouble(), 25000.0);
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM Splvpay WHERE Valuta = 'LEI' AND Data_platii = '2004-03-01'").toInt(), 1);
}

// The rules of the dialect those statements rely on, one translation each,
// with the places where a rule must not apply.
TEST(StatementsTranslation, PathsDateAndBooleanConstantsAndBlankFields)
{
    const SqlDialect d("TSTOCK", "/data/db", {{"TBX_PRIV", "/home/u/TBX_PRIV"}});
    struct Case { const char* in; const char* out; } cases[] = {
        // a report's answer table, qualified by its path in single quotes
        {R"(SELECT * FROM '/home/u/TBX_PRIV\ANSW_ST' A LEFT JOIN CATALOG C ON (A.Cod = C.Cod))",
         R"(SELECT * FROM "TBX_PRIV"."ANSW_ST" A LEFT JOIN CATALOG C ON (A.Cod = C.Cod))"},
        {R"(SELECT 1 FROM ITEM_IN D, '/home/u/TBX_PRIV\ANSW' D1 WHERE (D1.Contor = D.Contor))",
         R"(SELECT 1 FROM ITEM_IN D, "TBX_PRIV"."ANSW" D1 WHERE (D1.Contor = D.Contor))"},
        {R"(SELECT 'a/b', X FROM T WHERE Y LIKE '%/%' AND Z IN ('c\d', 'e'))",
         R"(SELECT 'a/b', X FROM T WHERE Y LIKE '%/%' AND Z IN ('c\d', 'e'))"},
        // a directory and a file joined by a backslash
        {R"(SELECT * FROM "/data/db\Catalog.DB" D1)", R"(SELECT * FROM "Catalog" D1)"},
        {R"(SELECT * FROM "/home/u/TBX_PRIV\Answ1.DB")", R"(SELECT * FROM "TBX_PRIV"."Answ1")"},
        // date and boolean constants
        {"INSERT INTO Curs (Valuta, Data) VALUES ('LEI', '01/01/2001')", "INSERT INTO Curs (Valuta, Data) VALUES ('LEI', '2001-01-01')"},
        {R"(WHERE Data = "12/31/1999" OR Data < '2/3/2004')", "WHERE Data = '1999-12-31' OR Data < '2004-02-03'"},
        {"VALUES ('13/40/2001', '1/2/03', '2001/01/01')", "VALUES ('13/40/2001', '1/2/03', '2001/01/01')"},
        {"VALUES (0.0, 'TRUE', 'false', 'Truex')", "VALUES (0.0, TRUE, FALSE, 'Truex')"},
        // blank fields
        {R"(where Cod_grupa="G1" and Lot="")", "where Cod_grupa='G1' and Lot IS NULL"},
        {R"(WHERE (Serie = '') OR (Tip <> "") OR (Agent != ''))", "WHERE (Serie IS NULL) OR (Tip IS NOT NULL) OR (Agent IS NOT NULL)"},
        {R"(UPDATE T SET Lot = '', Agent = "" WHERE Lot = '')", "UPDATE T SET Lot = '', Agent = '' WHERE Lot IS NULL"},
        {"UPDATE T SET A = CASE WHEN Lot = '' THEN 1 ELSE 0 END", "UPDATE T SET A = CASE WHEN Lot IS NULL THEN 1 ELSE 0 END"},
        {"SELECT * FROM A LEFT JOIN B ON (B.Lot = '') WHERE A.X = 'a'", "SELECT * FROM A LEFT JOIN B ON (B.Lot IS NULL) WHERE A.X = 'a'"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(d.translate(QString::fromUtf8(c.in)).toStdString(), std::string(c.out)) << c.in;
}
