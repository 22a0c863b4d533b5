#include "testdatabase.h"

#include "common/documenttotals.h"
#include "common/rounding.h"
#include "stock/outputpricing.h"

#include <QDir>
#include <QHash>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariantHash>

#include <cmath>
#include <random>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace testdata {

QDate firstDay() { return QDate(2016, 1, 1); }
QDate lastDay() { return QDate(2025, 12, 31); }

namespace {

constexpr int kFirmNo = 1;

// Deterministic on every platform: the standard distributions are not.
class Rng {
public:
    explicit Rng(quint32 seed) : m_engine(seed) {}
    int below(int n) { return n <= 1 ? 0 : static_cast<int>(m_engine() % static_cast<quint32>(n)); }
    double unit() { return m_engine() / 4294967296.0; }
    bool chance(double p) { return unit() < p; }
    template <class T>
    const T& pick(const std::vector<T>& v) { return v[static_cast<size_t>(below(static_cast<int>(v.size())))]; }

private:
    std::mt19937 m_engine;
};

struct Article {
    QString group;
    QString code;
    QString goodsAccount;
    QString expenseAccount;
    double vat = 19;
    bool fractional = false; // kg, l, m: quantities in quarters
    bool inventory = false;  // an inventory object: what a scrapping list takes
    int priceCount = 1;
    double prices[4] = {0, 0, 0, 0};
};

struct ClassDef {
    const char* code;
    const char* name;
    const char* account;
    const char* expense;
    std::vector<const char*> nouns;
};

const std::vector<ClassDef>& classes()
{
    static const std::vector<ClassDef> c = {
        {"MAT", "Materiale consumabile", "302", "602",
         {"Hartie copiator", "Pix", "Creion", "Dosar plic", "Biblioraft", "Toner imprimanta", "Capsator", "Plic",
          "Marker", "Registru", "Agrafe", "Cartus cerneala"}},
        {"CUR", "Materiale de curatenie", "3028", "6028",
         {"Detergent", "Sapun lichid", "Dezinfectant", "Hartie igienica", "Prosoape hartie", "Saci menaj",
          "Manusi", "Lavete", "Clor", "Odorizant"}},
        {"ALI", "Alimente", "3021", "6021",
         {"Faina", "Zahar", "Ulei floarea soarelui", "Orez", "Lapte", "Paine", "Carne pui", "Cartofi", "Ceapa",
          "Mere", "Branza", "Oua"}},
        {"COM", "Combustibili si piese", "3022", "6022",
         {"Motorina", "Benzina", "Ulei motor", "Antigel", "Anvelopa", "Filtru ulei", "Bec auto", "Acumulator"}},
        {"OBI", "Obiecte de inventar", "303", "603",
         {"Scaun birou", "Birou", "Dulap metalic", "Monitor", "Imprimanta", "Telefon", "Ventilator", "Cuier",
          "Lampa birou", "Tabla magnetica"}},
    };
    return c;
}

const char* const kUnitsWhole[] = {"buc", "set", "top", "cut"};
const char* const kUnitsFractional[] = {"kg", "l", "m"};
const char* const kSpecs[] = {"standard", "tip A", "tip B", "economic", "profesional", "mare", "mic", "premium",
                              "eco", "clasic"};
const char* const kBudgetCodes[] = {"BL", "VP", "BS", "FE", "SP"};
const char* const kBudgetNames[] = {"Buget local", "Venituri proprii", "Buget de stat", "Fonduri europene",
                                    "Sponsorizari"};
const char* const kUserInits[] = {"AP", "MI", "CD", "EV", "RS", "TB", "LN", "GO"};
const char* const kUserNames[] = {"Andrei Popescu", "Maria Ionescu", "Cristina Dumitru", "Elena Vasile",
                                  "Radu Stan", "Tudor Barbu", "Laura Neagu", "George Olteanu"};
const char* const kWarehouseNames[] = {"Magazia centrala", "Cantina", "Atelier intretinere", "Secretariat",
                                       "Parc auto", "Biblioteca", "Laborator", "Arhiva", "Dispensar", "Sala sport"};
const char* const kSupplierWords[] = {"Alfa", "Delta", "Nord", "Carpati", "Dunarea", "Select", "Prima", "Vest",
                                      "Trans", "Univers", "Agro", "Birotica", "Tehno", "Casa", "Central"};

// The institution that keeps the database (Firmdata.DB, Cod = FirmNo).
struct FirmDef {
    const char* name;
    const char* address;
    const char* county;
    const char* fiscalCode;
    const char* bank;
    const char* account;
    const char* commission[6];
};
const FirmDef kFirm = {"Colegiul National \"Unirea\" Targu Mures",
                       "Targu Mures, Str. Mihai Viteazul 21",
                       "Mures",
                       "4322803",
                       "Trezoreria Targu Mures",
                       "RO59TREZ4765003XXX000142",
                       {"Prof. Ana Moldovan", "Ec. Ioan Suciu", "Ing. Maria Farcas", "Prof. Vasile Rus",
                        "Adm. Ilona Szabo", "Prof. Dan Cozma"}};

// The buyers of the invoices and delivery notes (Client.DB beside the budgets).
struct BuyerDef {
    const char* code;
    const char* name;
    const char* address; // locality first: the invoice prints it after "Localitatea"
    const char* county;
    const char* fiscalCode;
    const char* tradeRegister;
    const char* bank;
    const char* account;
    const char* phone;
};
const BuyerDef kBuyers[] = {
    {"CL01", "SC Alfa Catering SRL", "Targu Mures, Str. Doja 64", "Mures", "RO14399112", "J26/1120/2001",
     "BCR Targu Mures", "RO49RNCB0193015269820001", "0265211456"},
    {"CL02", "Primaria Comunei Sancraiu de Mures", "Sancraiu de Mures, nr. 150", "Mures", "4322730", "",
     "Trezoreria Targu Mures", "RO12TREZ4765024XXX000158", "0265321078"},
    {"CL03", "Scoala Gimnaziala Nr. 2 Reghin", "Reghin, Str. Iernutului 7", "Mures", "4436231", "",
     "Trezoreria Reghin", "RO33TREZ4815024XXX000210", "0265512334"},
    {"CL04", "SC Transilvania Prest SRL", "Sighisoara, Str. Morii 21", "Mures", "RO20455871", "J26/455/2007",
     "BRD Sighisoara", "RO71BRDE270SV51227642700", "0265771902"},
    {"CL05", "Asociatia Parintilor \"Unirea\"", "Targu Mures, P-ta Bolyai 3", "Mures", "28733190", "",
     "Banca Transilvania", "RO55BTRL02701205K2145800", "0744512900"},
    {"CL06", "SC Agro Nord SRL", "Ludus, Str. Fabricii 2", "Mures", "RO9341278", "J26/88/1997", "CEC Bank Ludus",
     "RO03CECEMS0143RON0412553", "0265411200"},
    {"CL07", "Centrul Scolar pentru Educatie Incluziva", "Tg. Mures, Voinicenilor 17", "Mures", "4322889", "",
     "Trezoreria Targu Mures", "RO88TREZ4765024XXX000377", "0265230451"},
    {"CL08", "SC Birotica Expert SRL", "Cluj-Napoca, Str. Fabricii 9", "Cluj", "RO18566001", "J12/3310/2005",
     "ING Bank Cluj", "RO61INGB0000999902231144", "0264598120"},
    {"CL09", "Clubul Sportiv Scolar Mures", "Targu Mures, Str. Ciucas 3", "Mures", "4323150", "",
     "Trezoreria Targu Mures", "RO21TREZ4765024XXX000990", "0265262117"},
    {"CL10", "SC Casa Verde Distributie SRL", "Brasov, Str. Zizinului 110", "Brasov", "RO31245777", "J08/1205/2013",
     "Raiffeisen Bank Brasov", "RO92RZBR0000060014557788", "0268330155"},
};

// A stock key in one integer: warehouse (10 bits), article (20), price (2),
// budget (3), lot (29).
quint64 packKey(int warehouse, int article, int price, int budget, quint32 lot)
{
    return (quint64(warehouse) << 54) | (quint64(article) << 34) | (quint64(price) << 32) | (quint64(budget) << 29)
        | quint64(lot & 0x1FFFFFFF);
}
int keyWarehouse(quint64 k) { return int(k >> 54); }
int keyArticle(quint64 k) { return int((k >> 34) & 0xFFFFF); }
int keyPrice(quint64 k) { return int((k >> 32) & 0x3); }
int keyBudget(quint64 k) { return int((k >> 29) & 0x7); }
quint32 keyLot(quint64 k) { return quint32(k & 0x1FFFFFFF); }

// The stock as the documents leave it, day by day: what an output may take.
class StockBook {
public:
    explicit StockBook(int warehouses) : m_available(static_cast<size_t>(warehouses)) {}
    void add(quint64 key, double quantity)
    {
        auto it = m_rows.find(key);
        if (it == m_rows.end()) {
            auto& list = m_available[static_cast<size_t>(keyWarehouse(key))];
            m_rows.emplace(key, Row{quantity, list.size()});
            list.push_back(key);
        } else {
            it->second.quantity += quantity;
        }
    }
    void take(quint64 key, double quantity)
    {
        auto it = m_rows.find(key);
        it->second.quantity -= quantity;
        if (it->second.quantity > 0)
            return;
        auto& list = m_available[static_cast<size_t>(keyWarehouse(key))];
        const size_t slot = it->second.slot;
        list[slot] = list.back();
        m_rows[list[slot]].slot = slot;
        list.pop_back();
        m_rows.erase(it);
    }
    double quantity(quint64 key) const { return m_rows.at(key).quantity; }
    const std::vector<quint64>& available(int warehouse) const { return m_available[static_cast<size_t>(warehouse)]; }
    bool empty() const { return m_rows.empty(); }

private:
    struct Row {
        double quantity;
        size_t slot;
    };
    std::unordered_map<quint64, Row> m_rows;
    std::vector<std::vector<quint64>> m_available; // keys with stock, per warehouse
};

double roundCents(double x) { return std::round(x * 100) / 100; }

QVariant textOrNull(const QString& s) { return s.isEmpty() ? QVariant(QMetaType(QMetaType::QString)) : QVariant(s); }

// Rows of one table written a batch at a time: on a server one INSERT of a
// hundred rows, every value bound, so that the server is reached once per
// batch rather than once per row; in a SQLite file a row per statement, which
// binds faster there. The statements of a full batch and of a single row are
// prepared once and reused; flush() writes what is left.
class BatchedInsert {
public:
    BatchedInsert(datastore::Database& db, const QString& table, const QStringList& columns)
        : m_db(db), m_table(table), m_columns(columns), m_batch(db.onServer() ? 100 : 1)
    {
        for (int r = 0; r < m_batch; ++r)
            for (int c = 0; c < m_columns.size(); ++c)
                m_names << QStringLiteral("r%1c%2").arg(r).arg(c);
    }

    // One row, its values in the order of the columns.
    void add(QVariantList values)
    {
        m_rows.push_back(std::move(values));
        if (m_rows.size() == m_batch) {
            write(0, m_batch);
            m_rows.clear();
        }
    }

    void flush()
    {
        for (int i = 0; i < m_rows.size(); ++i)
            write(i, 1);
        m_rows.clear();
    }

private:
    void write(int first, int count)
    {
        QString& sql = count == m_batch ? m_full : m_single;
        if (sql.isEmpty())
            sql = statement(count);
        QVariantHash params;
        params.reserve(count * m_columns.size());
        for (int r = 0; r < count; ++r)
            for (int c = 0; c < m_columns.size(); ++c)
                params.insert(m_names[r * m_columns.size() + c], m_rows[first + r][c]);
        m_db.exec(sql, params);
    }

    QString statement(int rows) const
    {
        QStringList tuples;
        for (int r = 0; r < rows; ++r) {
            QStringList names;
            for (int c = 0; c < m_columns.size(); ++c)
                names << u':' + m_names[r * m_columns.size() + c];
            tuples << u'(' + names.join(QStringLiteral(", ")) + u')';
        }
        return QStringLiteral("INSERT INTO %1 (%2) VALUES %3")
            .arg(m_table, m_columns.join(QStringLiteral(", ")), tuples.join(QStringLiteral(", ")));
    }

    datastore::Database& m_db;
    QString m_table;
    QStringList m_columns;
    qsizetype m_batch;  // rows of one statement
    QStringList m_names; // of the parameters, row by row
    QList<QVariantList> m_rows;
    QString m_full;
    QString m_single;
};

QStringList names(std::initializer_list<const char*> list)
{
    QStringList out;
    for (const char* n : list)
        out << QString::fromLatin1(n);
    return out;
}

class Generator {
public:
    Generator(datastore::Database& db, const GenerateOptions& options, const common::Parameters& parameters,
              const std::function<void(const QString&)>& progress)
        : m_db(db), m_options(options), m_parameters(parameters), m_rules(stock::PricingRules::from(parameters)),
          m_progress(progress), m_rng(options.seed), m_stock(options.warehouses),
          m_rates(db, QStringLiteral("\"Curs.db\""), names({"Valuta", "Data", "Curs"})),
          m_inputHeaders(db, QStringLiteral("DOC_IN"),
                         names({"Contor", "Data_inregistrarii", "Numar", "Tip", "Data", "Furnizor", "Explicatie"})),
          m_inputLines(db, QStringLiteral("ITEM_IN"),
                       names({"Contor", "Contor_secundar", "Cod_gestiune", "Cod_grupa", "Cod_articol", "Lot", "Cantitate",
                              "Valuta", "Pret_achizitie_lei", "Pret_echiv_USD", "TVA", "Cont_marfa", "Cont_TVA_Intrari",
                              "Agent", "Serii"})),
          m_outputHeaders(db, QStringLiteral("DOC_OUT"),
                          names({"Contor", "Data_inregistrarii", "Numar", "Tip", "Data", "Client", "Explicatie",
                                 "Data_scadenta", "Agent"})),
          m_outputLines(db, QStringLiteral("ITEM_OUT"),
                        names({"Contor", "Contor_secundar", "Cod_gestiune", "Cod_grupa", "Cod_articol", "Cantitate",
                               "Pret_achizitie", "Pret_vinzare", "Pret_vz_echiv_USD", "TVA", "Cont_marfa",
                               "Cont_cheltuieli", "Cont_TVA_Iesiri", "Acciza", "Cont_venituri", "Lot", "Agent"})),
          m_invoiceSeries(db, QStringLiteral("\"Fctser.DB\""), names({"Contor", "Serie", "Number"})),
          m_noteSeries(db, QStringLiteral("\"Aeser.DB\""), names({"Contor", "Serie", "Number"})),
          m_receipts(db, QStringLiteral("\"Chser.db\""), names({"Contor", "Data_platii", "Numar"})),
          m_payments(db, QStringLiteral("\"Clnpay.DB\""),
                     names({"Cod_client", "Contor_document", "Data_platii", "Suma", "Comentariu", "Cont_contabil"}))
    {
    }

    GenerateSummary run()
    {
        datastore::UnitOfWork work(m_db);
        say(QStringLiteral("Scriu cataloagele..."));
        writeCatalogs();
        writeRates();
        say(QStringLiteral("Scriu documentele..."));
        writeInitialStock();
        writeDocuments();
        for (BatchedInsert* table : {&m_rates, &m_inputHeaders, &m_inputLines, &m_outputHeaders, &m_outputLines,
                                     &m_invoiceSeries, &m_noteSeries, &m_receipts, &m_payments})
            table->flush();
        writeCounters();
        work.commit();
        return m_summary;
    }

private:
    void say(const QString& text)
    {
        if (m_progress)
            m_progress(text);
    }

    // ---- catalogs ----------------------------------------------------------------

    void writeCatalogs()
    {
        const int articleCount = m_options.articles;
        const int groupsPerClass = std::clamp(articleCount / 125, 1, 20);
        QStringList groups;
        for (size_t c = 0; c < classes().size(); ++c) {
            const ClassDef& cls = classes()[c];
            m_db.exec(QStringLiteral("INSERT INTO \"Materiale.db\" (Cod_material, Denumire, CONT_SINT) VALUES (:c, :d, :a)"),
                      {{QStringLiteral("c"), QString::fromLatin1(cls.code)},
                       {QStringLiteral("d"), QString::fromLatin1(cls.name)},
                       {QStringLiteral("a"), QString::fromLatin1(cls.account)}});
            for (int g = 0; g < groupsPerClass; ++g) {
                const QString code = QStringLiteral("%1%2").arg(QString::fromLatin1(cls.code)).arg(g + 1, 2, 10, QLatin1Char('0'));
                m_db.exec(QStringLiteral("INSERT INTO \"Grup.db\" (Cod_material, Cod_grupa, Denumire, Cont_sint, Target) "
                                         "VALUES (:m, :g, :d, :a, :t)"),
                          {{QStringLiteral("m"), QString::fromLatin1(cls.code)},
                           {QStringLiteral("t"), false},
                           {QStringLiteral("g"), code},
                           {QStringLiteral("d"), QStringLiteral("%1 - grupa %2").arg(QString::fromLatin1(cls.name)).arg(g + 1)},
                           {QStringLiteral("a"), QString::fromLatin1(cls.account)}});
                groups << code;
            }
        }

        const int width = std::max(5, int(QString::number(articleCount).size()));
        m_articles.reserve(static_cast<size_t>(articleCount));
        for (int i = 0; i < articleCount; ++i) {
            const int groupIndex = m_rng.below(int(groups.size()));
            const ClassDef& cls = classes()[static_cast<size_t>(groupIndex / groupsPerClass)];
            Article a;
            a.group = groups.at(groupIndex);
            a.code = QStringLiteral("A%1").arg(i + 1, width, 10, QLatin1Char('0'));
            a.goodsAccount = QString::fromLatin1(cls.account);
            a.expenseAccount = QString::fromLatin1(cls.expense);
            const bool food = QLatin1String(cls.code) == QLatin1String("ALI");
            const bool fuel = QLatin1String(cls.code) == QLatin1String("COM");
            a.inventory = QLatin1String(cls.code) == QLatin1String("OBI");
            // Inventory objects are counted in whole pieces.
            a.fractional = a.inventory ? false : (food || fuel) ? m_rng.chance(0.7) : m_rng.chance(0.05);
            const int r = m_rng.below(100);
            a.vat = food ? (r < 80 ? 9 : 19) : (r < 90 ? 19 : (r < 97 ? 5 : 0));
            const double base = roundCents(std::exp(std::log(0.5) + m_rng.unit() * (std::log(4000.0) - std::log(0.5))));
            a.priceCount = 1 + m_rng.below(4);
            for (int p = 0; p < a.priceCount; ++p)
                a.prices[p] = std::max(0.01, roundCents(base * (1 + 0.08 * p)));
            const QString unit = QString::fromLatin1(a.fractional ? kUnitsFractional[m_rng.below(3)] : kUnitsWhole[m_rng.below(4)]);
            const QString currency = m_rng.chance(0.85) ? QStringLiteral("LEI") : (m_rng.chance(0.65) ? QStringLiteral("EUR") : QStringLiteral("USD"));
            const QString name = QString::fromLatin1(cls.nouns[static_cast<size_t>(m_rng.below(int(cls.nouns.size())))]) + u' '
                + QString::fromLatin1(kSpecs[m_rng.below(10)]) + QStringLiteral(" %1").arg(i + 1);
            QString barCode;
            if (m_rng.chance(0.3))
                barCode = QStringLiteral("594%1").arg(qulonglong(1000000000ULL + quint64(i) * 7919ULL % 9000000000ULL), 10, 10, QLatin1Char('0'));
            m_db.exec(QStringLiteral(
                          "INSERT INTO CATALOG (Grupa, Cod, Denumire, Descriere, Unitate_masura, Pret_vinzare, Moneda, "
                          "Cont_marfa, Cont_cheltuieli, Cont_TVA_Intrari, Cont_TVA_Iesiri, Cont_venituri, Coef_TVA, Stock_minim, "
                          "Cod_bare) VALUES (:g, :c, :d, :s, :u, :p, :m, :cm, :cc, '4426', '4427', '707', :t, :min, :b)"),
                      {{QStringLiteral("g"), a.group},
                       {QStringLiteral("c"), a.code},
                       {QStringLiteral("d"), name},
                       {QStringLiteral("s"), m_rng.chance(0.3) ? QVariant(QStringLiteral("conform specificatiei")) : textOrNull({})},
                       {QStringLiteral("u"), unit},
                       {QStringLiteral("p"), roundCents(base * 1.2)},
                       {QStringLiteral("m"), currency},
                       {QStringLiteral("cm"), a.goodsAccount},
                       {QStringLiteral("cc"), a.expenseAccount},
                       {QStringLiteral("t"), a.vat},
                       {QStringLiteral("min"), double(m_rng.below(4) * 5)},
                       {QStringLiteral("b"), textOrNull(barCode)}});
            m_articles.push_back(a);
        }

        for (int i = 0; i < 5; ++i)
            m_db.exec(QStringLiteral("INSERT INTO \"Client.DB\" (Cod_client, Nume_client) VALUES (:c, :n)"),
                      {{QStringLiteral("c"), QString::fromLatin1(kBudgetCodes[i])},
                       {QStringLiteral("n"), QString::fromLatin1(kBudgetNames[i])}});
        for (const BuyerDef& b : kBuyers) {
            m_db.exec(QStringLiteral("INSERT INTO \"Client.DB\" (Cod_client, Nume_client, Adresa, Judetul, Banca, "
                                     "Cont_bancar, Cod_fiscal, ORC, Tel, Cont) VALUES (:c, :n, :a, :j, :b, :cb, :f, :o, "
                                     ":t, '4111')"),
                      {{QStringLiteral("c"), QString::fromLatin1(b.code)},
                       {QStringLiteral("n"), QString::fromLatin1(b.name)},
                       {QStringLiteral("a"), QString::fromLatin1(b.address)},
                       {QStringLiteral("j"), QString::fromLatin1(b.county)},
                       {QStringLiteral("b"), QString::fromLatin1(b.bank)},
                       {QStringLiteral("cb"), QString::fromLatin1(b.account)},
                       {QStringLiteral("f"), QString::fromLatin1(b.fiscalCode)},
                       {QStringLiteral("o"), textOrNull(QString::fromLatin1(b.tradeRegister))},
                       {QStringLiteral("t"), QString::fromLatin1(b.phone)}});
            m_buyers << QString::fromLatin1(b.code);
        }
        QVariantHash firm{{QStringLiteral("c"), m_parameters.FirmNo},
                          {QStringLiteral("d"), QString::fromLatin1(kFirm.name)},
                          {QStringLiteral("a"), QString::fromLatin1(kFirm.address)},
                          {QStringLiteral("j"), QString::fromLatin1(kFirm.county)},
                          {QStringLiteral("f"), QString::fromLatin1(kFirm.fiscalCode)},
                          {QStringLiteral("b"), QString::fromLatin1(kFirm.bank)},
                          {QStringLiteral("n"), QString::fromLatin1(kFirm.account)}};
        for (int i = 0; i < 6; ++i)
            firm.insert(QStringLiteral("m%1").arg(i + 1), QString::fromLatin1(kFirm.commission[i]));
        m_db.exec(QStringLiteral("INSERT INTO \"Firmdata.DB\" (Cod, Denumire, Adresa, Judet, \"Cod fiscal\", Banca, Cont, "
                                 "Comisia1, Comisia2, Comisia3, Comisia4, Comisia5, Comisia6) "
                                 "VALUES (:c, :d, :a, :j, :f, :b, :n, :m1, :m2, :m3, :m4, :m5, :m6)"),
                  firm);
        for (int i = 0; i < 8; ++i)
            m_db.exec(QStringLiteral("INSERT INTO \"User.db\" (Init, Name, Acces) VALUES (:i, :n, 0)"),
                      {{QStringLiteral("i"), QString::fromLatin1(kUserInits[i])},
                       {QStringLiteral("n"), QString::fromLatin1(kUserNames[i])}});
        const int warehouseWidth = std::max(2, int(QString::number(m_options.warehouses).size()));
        for (int w = 0; w < m_options.warehouses; ++w) {
            const QString code = QStringLiteral("M%1").arg(w + 1, warehouseWidth, 10, QLatin1Char('0'));
            QString name = QString::fromLatin1(kWarehouseNames[w % 10]);
            if (w >= 10)
                name += QStringLiteral(" %1").arg(w / 10 + 1);
            m_db.exec(QStringLiteral("INSERT INTO \"Gest.db\" (Cod, Denumire, Gestionar) VALUES (:c, :d, :g)"),
                      {{QStringLiteral("c"), code}, {QStringLiteral("d"), name},
                       {QStringLiteral("g"), QString::fromLatin1(kUserNames[w % 8])}});
            m_warehouses << code;
            m_warehouseNames << name;
        }
        const int suppliers = std::max(10, articleCount / 25);
        for (int s = 0; s < suppliers; ++s) {
            const QString code = QStringLiteral("F%1").arg(s + 1, 4, 10, QLatin1Char('0'));
            m_db.exec(QStringLiteral("INSERT INTO \"Furn.DB\" (Cod_furnizor, Nume_furnizor, Cont_creditor, Cod_fiscal) "
                                     "VALUES (:c, :n, '401', :f)"),
                      {{QStringLiteral("c"), code},
                       {QStringLiteral("n"), QStringLiteral("SC %1 %2 SRL").arg(QString::fromLatin1(kSupplierWords[s % 15])).arg(s + 1)},
                       {QStringLiteral("f"), QStringLiteral("RO%1").arg(10000000 + s * 137)}});
            m_suppliers << code;
        }
        // Popular articles are bought and used more often: a fixed order of popularity.
        m_popularity.resize(static_cast<size_t>(articleCount));
        for (int i = 0; i < articleCount; ++i)
            m_popularity[static_cast<size_t>(i)] = i;
        for (int i = articleCount - 1; i > 0; --i)
            std::swap(m_popularity[static_cast<size_t>(i)], m_popularity[static_cast<size_t>(m_rng.below(i + 1))]);
    }

    // EUR and USD with a rate on every working day, wandering slowly.
    void writeRates()
    {
        const struct {
            const char* code;
            const char* name;
            double start;
        } currencies[] = {{"EUR", "Euro", 4.45}, {"USD", "Dolar american", 4.05}};
        for (const auto& c : currencies) {
            const QString code = QString::fromLatin1(c.code);
            if (m_db.scalar(QStringLiteral("SELECT COUNT(*) FROM \"Valuta.db\" WHERE Moneda = :m"), {{QStringLiteral("m"), code}}).toInt() == 0)
                m_db.exec(QStringLiteral("INSERT INTO \"Valuta.db\" (Moneda, Denumire) VALUES (:m, :d)"),
                          {{QStringLiteral("m"), code}, {QStringLiteral("d"), QString::fromLatin1(c.name)}});
            double rate = c.start;
            for (QDate d = firstDay().addDays(-31); d <= lastDay(); d = d.addDays(1)) {
                if (d.dayOfWeek() > 5)
                    continue;
                rate = std::clamp(rate * (1 + (m_rng.unit() - 0.48) * 0.004), c.start * 0.85, c.start * 1.25);
                const double stored = std::round(rate * 10000) / 10000;
                m_rates.add({code, d, stored});
                if (code == u"USD")
                    m_usd.insert(d, stored);
            }
        }
        for (QDate d = firstDay(); d <= lastDay(); d = d.addDays(1))
            if (d.dayOfWeek() <= 5)
                m_days.push_back(d);
    }

    double usdAt(QDate d) const
    {
        for (int i = 0; i < 7; ++i, d = d.addDays(-1))
            if (const auto it = m_usd.constFind(d); it != m_usd.constEnd())
                return *it;
        return 4.05;
    }

    // ---- lines -------------------------------------------------------------------

    int popularArticle()
    {
        // About a fifth of the articles make most of the movements.
        const double u = m_rng.unit();
        const int index = static_cast<int>(u * u * m_options.articles);
        return m_popularity[static_cast<size_t>(std::min(index, m_options.articles - 1))];
    }

    double inputQuantity(const Article& a)
    {
        if (a.fractional)
            return 0.25 * (1 + m_rng.below(400));
        return 1 + m_rng.below(m_rng.chance(0.8) ? 20 : 200);
    }

    QString lotText(quint32 lot) const { return lot ? m_lots[lot - 1] : QString(); }

    quint32 newLot(const QDate& day)
    {
        m_lots << QStringLiteral("L%1-%2").arg(day.year()).arg(m_lots.size() + 1, 6, 10, QLatin1Char('0'));
        return quint32(m_lots.size());
    }

    QVariant budgetOf(quint64 key) const
    {
        const int budget = keyBudget(key);
        return textOrNull(budget ? QString::fromLatin1(kBudgetCodes[budget - 1]) : QString());
    }

    // The VAT of an input line as the input window computes it: none with
    // "Calc TVA" on any type but the fiscal invoices; otherwise
    // R(rate × price × quantity) / 100, whole lei with "Round TVA".
    double inputVat(const QString& type, double rate, double price, double quantity) const
    {
        if (m_rules.calcTva && !stock::IsFiscalInvoice(type))
            return 0;
        const double vat = common::roundHalfEven(rate * price * quantity) / 100;
        return m_rules.roundTva ? common::roundHalfEven(vat) : vat;
    }

    void writeInputLine(double contor, int number, int warehouse, const QDate& day, const QString& type)
    {
        const bool initial = contor < 0;
        const int articleIndex = popularArticle();
        const Article& a = m_articles[static_cast<size_t>(articleIndex)];
        const int price = m_rng.below(a.priceCount);
        const int budget = m_rng.chance(0.3) ? 1 + m_rng.below(5) : 0;
        const quint32 lot = m_rng.chance(0.2) ? newLot(day) : 0;
        const double quantity = inputQuantity(a);
        const double unitPrice = a.prices[price];
        const quint64 key = packKey(warehouse, articleIndex, price, budget, lot);
        m_inputLines.add({contor, double(number), m_warehouses.at(warehouse), a.group, a.code, textOrNull(lotText(lot)),
                          quantity, QStringLiteral("LEI"), unitPrice,
                          initial ? QVariant(unitPrice / usdAt(day)) : QVariant(QMetaType(QMetaType::Double)),
                          initial ? 0.0 : inputVat(type, a.vat, unitPrice, quantity), a.goodsAccount,
                          QStringLiteral("4426"), budgetOf(key), false});
        m_stock.add(key, quantity);
    }

    // What an output line takes of the stock row `key`: all of it now and
    // then, mostly a part.
    double outputQuantity(quint64 key)
    {
        const Article& a = m_articles[static_cast<size_t>(keyArticle(key))];
        const double held = m_stock.quantity(key);
        double quantity = held;
        if (a.fractional) {
            const int quarters = static_cast<int>(std::lround(held / 0.25));
            if (quarters > 1 && m_rng.chance(0.85))
                quantity = 0.25 * (1 + m_rng.below(quarters));
        } else if (held > 1 && m_rng.chance(0.85)) {
            quantity = 1 + m_rng.below(static_cast<int>(held));
        }
        return quantity;
    }

    struct Take {
        quint64 key;
        double quantity;
    };

    // Up to `size` lines taken from the stock of `warehouse`. A scrapping
    // list takes only inventory objects, each article once.
    std::vector<Take> takeLines(int warehouse, int size, bool scrapping)
    {
        std::vector<Take> taken;
        std::unordered_set<int> articles;
        int misses = 0;
        while (int(taken.size()) < size && !m_stock.available(warehouse).empty()) {
            const std::vector<quint64>& keys = m_stock.available(warehouse);
            const quint64 key = keys[static_cast<size_t>(m_rng.below(int(keys.size())))];
            if (scrapping) {
                const int article = keyArticle(key);
                if (!m_articles[static_cast<size_t>(article)].inventory || !articles.insert(article).second) {
                    if (++misses > 20 * size)
                        break;
                    continue;
                }
            }
            const double quantity = outputQuantity(key);
            m_stock.take(key, quantity);
            taken.push_back({key, quantity});
        }
        return taken;
    }

    // One output line as the window writes it (a scrapping list's line as
    // the scrapping list writes it): the accounts of the article; the sale
    // price typed on what is sold, its equivalent in the reference currency
    // at `usd`; VAT and excise by the output pricing.
    void writeOutputLine(double contor, int number, const Take& take, const QString& type, double usd,
                         QList<common::PricedLine>* invoice)
    {
        const Article& a = m_articles[static_cast<size_t>(keyArticle(take.key))];
        const double price = a.prices[keyPrice(take.key)];
        const QVariant lot = textOrNull(lotText(keyLot(take.key)));
        const QString& warehouse = m_warehouses.at(keyWarehouse(take.key));
        if (type == u"CSR") {
            const QVariant none(QMetaType(QMetaType::Double));
            const QVariant noText(QMetaType(QMetaType::QString));
            m_outputLines.add({contor, double(number), warehouse, a.group, a.code, take.quantity, price, none, none, 0.0,
                               noText, noText, noText, none, noText, lot, budgetOf(take.key)});
            return;
        }
        double sale = 0;
        if (type == u"FCT" || type == u"AE")
            sale = common::roundMoney(price * 1.25, 2);
        else if (type == u"BT")
            sale = price; // a transfer moves the goods at their acquisition price, without VAT
        const stock::LineTaxes taxes = type == u"BT"
            ? stock::LineTaxes{}
            : stock::ComputeLineTaxes(type, price, take.quantity, sale, {a.vat, 0}, m_rules);
        const double currency = type == u"BT" ? 0 : stock::CurrencyPrice(sale, usd);
        m_outputLines.add({contor, double(number), warehouse, a.group, a.code, take.quantity, price, sale, currency,
                           taxes.vat, a.goodsAccount, a.expenseAccount, QStringLiteral("4427"), taxes.excise,
                           QStringLiteral("707"), lot, budgetOf(take.key)});
        if (invoice)
            invoice->push_back({a.group, a.code, sale, take.quantity, taxes.vat, taxes.excise, a.vat});
    }

    // ---- documents ---------------------------------------------------------------

    void writeInitialStock()
    {
        const QDate day = firstDay().addDays(-1);
        m_db.exec(QStringLiteral("INSERT INTO DOC_IN (Contor, Tip, Data, Explicatie) VALUES (-1, 'XXX', :d, "
                                 "'Introducere stocuri initiale')"),
                  {{QStringLiteral("d"), day}});
        const qint64 count = std::min<qint64>(m_options.lines / 100, qint64(m_options.warehouses) * 50);
        const QString type = QStringLiteral("XXX");
        for (qint64 i = 0; i < count; ++i)
            writeInputLine(-1, int(i + 1), int(i % m_options.warehouses), day, type);
        m_summary.initialLines = count;
        m_written = count;
        m_inputs = count;
    }

    QDate dayOfProgress() const
    {
        const double done = double(m_written) / double(std::max<qint64>(1, m_options.lines));
        const size_t index = std::min(m_days.size() - 1, static_cast<size_t>(done * double(m_days.size())));
        return m_days[index];
    }

    double nextNumber(const QString& type, int year)
    {
        return ++m_numbers[type + QString::number(year)];
    }

    void writeDocuments()
    {
        qint64 nextReport = 100000;
        while (m_written < m_options.lines) {
            const QDate day = dayOfProgress();
            const int size = int(std::min<qint64>(1 + m_rng.below(30), m_options.lines - m_written));
            const bool output = m_outputs * 2 < m_inputs && !m_stock.empty();
            if (output)
                writeOutputDocument(day, size);
            else
                writeInputDocument(day, size);
            if (m_written >= nextReport) {
                say(QStringLiteral("  %1 linii").arg(m_written));
                nextReport += 100000;
            }
        }
        if (!m_days.empty()) {
            m_summary.first = m_days.front();
            m_summary.last = dayOfProgress();
        }
    }

    void writeInputDocument(const QDate& day, int size)
    {
        const double contor = double(++m_summary.inputDocuments);
        const bool invoice = m_rng.chance(0.8);
        const QString type = invoice ? QStringLiteral("FCT") : QStringLiteral("NR");
        const double number = invoice ? double(1 + m_rng.below(999999)) : nextNumber(type, day.year());
        m_inputHeaders.add({contor, day, number, type, day.addDays(-m_rng.below(3)),
                            m_suppliers.at(m_rng.below(int(m_suppliers.size()))),
                            invoice ? QStringLiteral("Aprovizionare") : QStringLiteral("Receptie marfa")});
        const int warehouse = m_rng.below(m_options.warehouses);
        for (int i = 0; i < size; ++i)
            writeInputLine(contor, i + 1, warehouse, day, type);
        m_summary.inputLines += size;
        m_written += size;
        m_inputs += size;
    }

    // The type of the next output document: mostly consumption notes, then
    // invoices, delivery notes, hand-over notes, transfers and a few
    // scrapping lists.
    QString outputType()
    {
        const int r = m_rng.below(100);
        if (r < 52)
            return QStringLiteral("BMC");
        if (r < 64)
            return QStringLiteral("AE");
        if (r < 79)
            return QStringLiteral("FCT");
        if (r < 87)
            return QStringLiteral("NPR");
        if (r < 95)
            return QStringLiteral("BT");
        return QStringLiteral("CSR");
    }

    void writeOutputDocument(const QDate& day, int size)
    {
        // A warehouse that has stock, the first one from a random start.
        int warehouse = m_rng.below(m_options.warehouses);
        for (int i = 0; i < m_options.warehouses && m_stock.available(warehouse).empty(); ++i)
            warehouse = (warehouse + 1) % m_options.warehouses;
        QString type = outputType();
        if (type == u"BT") {
            // A transfer writes its lines twice: the output and the input in the receiving warehouse.
            const qint64 room = (m_options.lines - m_written) / 2;
            if (m_options.warehouses < 2 || room < 1)
                type = QStringLiteral("BMC");
            else
                size = int(std::min<qint64>(size, room));
        }
        std::vector<Take> lines = takeLines(warehouse, size, type == u"CSR");
        if (lines.empty() && type == u"CSR") {
            type = QStringLiteral("BMC");
            lines = takeLines(warehouse, size, false);
        }

        const double contor = double(++m_summary.outputDocuments);
        const double number = nextNumber(type, day.year());
        const QVariant noText(QMetaType(QMetaType::QString));
        const QVariant noDate(QMetaType(QMetaType::QDate));
        QVariant client = noText;
        QVariant due = noDate;
        QVariant beneficiary = noText;
        QString explanation;
        int receiving = -1;
        if (type == u"FCT" || type == u"AE") {
            client = m_buyers.at(m_rng.below(int(m_buyers.size())));
            if (type == u"FCT") {
                due = day.addDays(30);
                explanation = QStringLiteral("Vanzare marfa");
            } else {
                explanation = QStringLiteral("Livrare marfa");
            }
        } else if (type == u"BT") {
            receiving = (warehouse + 1 + m_rng.below(m_options.warehouses - 1)) % m_options.warehouses;
            client = m_warehouses.at(receiving);
            explanation = QStringLiteral("Transfer");
            beneficiary = QString::fromLatin1(kUserInits[m_rng.below(8)]);
        } else if (type == u"CSR") {
            client = QString::fromLatin1(kBudgetCodes[m_rng.below(5)]);
            explanation = QStringLiteral("Casare obiecte de inventar uzate");
        } else {
            explanation = type == u"NPR" ? QStringLiteral("Predare %1").arg(day.toString(QStringLiteral("MM.yyyy")))
                                         : QStringLiteral("Consum %1").arg(day.toString(QStringLiteral("MM.yyyy")));
            beneficiary = QString::fromLatin1(kUserInits[m_rng.below(8)]);
        }
        m_outputHeaders.add({contor, day, number, type, day, client, explanation, due, beneficiary});

        const double usd = usdAt(day);
        QList<common::PricedLine> invoice;
        for (size_t i = 0; i < lines.size(); ++i)
            writeOutputLine(contor, int(i + 1), lines[i], type, usd, type == u"FCT" ? &invoice : nullptr);
        const qint64 written = qint64(lines.size());
        m_summary.outputLines += written;
        m_written += written;
        m_outputs += written;

        if (type == u"FCT")
            printInvoice(contor, day, client.toString(), invoice);
        else if (type == u"AE")
            m_noteSeries.add({contor, m_parameters.SerAE, m_parameters.AEN1 + double(m_summary.deliveryNotes++)});
        else if (type == u"BT")
            writeTransferInput(day, number, warehouse, receiving, lines);
        else if (type == u"CSR")
            ++m_summary.scrappings;
    }

    // An invoice printed at its issue: the next number of the series; part of
    // the invoices paid at once, most of them in full (the total the invoice
    // prints), the others in part, each payment with its receipt.
    void printInvoice(double contor, const QDate& day, const QString& client, const QList<common::PricedLine>& lines)
    {
        m_invoiceSeries.add({contor, m_parameters.SerFact, m_parameters.FactN1 + double(m_summary.invoices++)});
        if (!m_rng.chance(0.6))
            return;
        const double total =
            common::totalsOf(common::mergedInvoiceLines(lines, m_parameters.nrZecimaleLei)).total();
        const bool whole = m_rng.chance(0.7);
        double paid = total;
        if (!whole)
            paid = std::max(0.01, common::roundMoney(total * (0.2 + 0.6 * m_rng.unit()), 2));
        if (paid > total)
            paid = total;
        m_payments.add({client, contor, day, paid,
                        whole ? QStringLiteral("Achitat integral") : QStringLiteral("Achitat partial"),
                        QStringLiteral("5311")});
        m_receipts.add({contor, day, m_parameters.ChN1 + double(m_summary.payments++)});
    }

    // The input document of a transfer: the same number and dates, the lines
    // in their order (numbered from 0) in the receiving warehouse, at the
    // same acquisition prices, lots and budgets, without VAT.
    void writeTransferInput(const QDate& day, double number, int from, int to, const std::vector<Take>& lines)
    {
        const double contor = double(++m_summary.inputDocuments);
        m_inputHeaders.add({contor, day, number, QStringLiteral("BT"), day, QVariant(QMetaType(QMetaType::QString)),
                            QStringLiteral("Transfer din gestiunea ") + m_warehouseNames.at(from)});
        for (size_t i = 0; i < lines.size(); ++i) {
            const Take& t = lines[i];
            const int article = keyArticle(t.key);
            const Article& a = m_articles[static_cast<size_t>(article)];
            const double price = a.prices[keyPrice(t.key)];
            m_inputLines.add({contor, double(i), m_warehouses.at(to), a.group, a.code, textOrNull(lotText(keyLot(t.key))),
                              t.quantity, QVariant(QMetaType(QMetaType::QString)), price,
                              QVariant(QMetaType(QMetaType::Double)), 0.0, a.goodsAccount, QStringLiteral("4426"),
                              budgetOf(t.key), QVariant(QMetaType(QMetaType::Bool))});
            m_stock.add(packKey(to, article, keyPrice(t.key), keyBudget(t.key), keyLot(t.key)), t.quantity);
        }
        const qint64 written = qint64(lines.size());
        m_summary.inputLines += written;
        m_written += written;
        m_inputs += written;
        ++m_summary.transfers;
    }

    void writeCounters()
    {
        if (m_db.scalar(QStringLiteral("SELECT COUNT(*) FROM COUNTER")).toInt() == 0)
            m_db.exec(QStringLiteral("INSERT INTO COUNTER (NewCounterIn, NewCounterOut, NewCounterOff, NewCounterCom, "
                                     "NewCounterOffC, NewCounterProf) VALUES (0, 0, 0, 0, 0, 0)"));
        m_db.exec(QStringLiteral("UPDATE COUNTER SET NewCounterIn = :i, NewCounterOut = :o"),
                  {{QStringLiteral("i"), double(m_summary.inputDocuments)},
                   {QStringLiteral("o"), double(m_summary.outputDocuments)}});
    }

    datastore::Database& m_db;
    GenerateOptions m_options;
    const common::Parameters& m_parameters;
    stock::PricingRules m_rules;
    const std::function<void(const QString&)>& m_progress;
    Rng m_rng;
    StockBook m_stock;
    GenerateSummary m_summary;
    std::vector<Article> m_articles;
    std::vector<int> m_popularity;
    QStringList m_warehouses;
    QStringList m_warehouseNames;
    QStringList m_suppliers;
    QStringList m_buyers;
    QStringList m_lots;
    QHash<QDate, double> m_usd;
    std::vector<QDate> m_days;
    QHash<QString, double> m_numbers; // last number of a type in a year
    BatchedInsert m_rates;
    BatchedInsert m_inputHeaders;
    BatchedInsert m_inputLines;
    BatchedInsert m_outputHeaders;
    BatchedInsert m_outputLines;
    BatchedInsert m_invoiceSeries;
    BatchedInsert m_noteSeries;
    BatchedInsert m_receipts;
    BatchedInsert m_payments;
    qint64 m_written = 0;             // lines written so far
    qint64 m_inputs = 0;
    qint64 m_outputs = 0;
};

} // namespace

common::Parameters GeneratedParameters(const GenerateOptions& options)
{
    common::Parameters p;
    p.CLot = true;
    p.calcTva = true;    // VAT only on the invoices
    p.roundTva = false;  // VAT to the ban
    p.FirmNo = kFirmNo;
    p.County = QStringLiteral("MS");
    // Ranges that the documents of the database never use up: every line
    // could be an invoice of its own.
    const double last = std::min(common::kSeriesNumberMax, std::max(999999.0, double(options.lines) + 1));
    p.SerFact = QStringLiteral("MSF");
    p.FactN1 = 1;
    p.FactN2 = last;
    p.SerAE = QStringLiteral("MSA");
    p.AEN1 = 1;
    p.AEN2 = last;
    p.ChN1 = 1;
    p.conversieLaRon = QStringLiteral("1");
    return p;
}

void WriteParameterFile(const QString& directory, const common::Parameters& parameters)
{
    const QString file = QDir(directory).filePath(QString::fromLatin1(common::kDefinitionFileName));
    // The application's own INI file is not the database's: its two keys go to a scratch file.
    QTemporaryDir scratch;
    common::IniFile appIni(scratch.isValid() ? scratch.filePath(QStringLiteral("app.ini")) : QString());
    common::SaveParameters(parameters, appIni, file);
    // The keys of other windows: the current firm and the conversion to new lei.
    common::IniFile ini(file);
    if (!ini.writeInteger(QString::fromLatin1(common::kDefaultSection), QStringLiteral("FirmNo"), parameters.FirmNo)
        || !ini.writeString(QString::fromLatin1(common::kPermisionSection), QStringLiteral("Conversie la RON"),
                            parameters.conversieLaRon))
        throw common::EParameters(QStringLiteral("Nu pot scrie fisierul %1!").arg(QDir::toNativeSeparators(file)));
}

GenerateSummary GenerateTestDatabase(datastore::Database& db, const GenerateOptions& options,
                                     const std::function<void(const QString&)>& progress)
{
    GenerateOptions o = options;
    o.lines = std::max<qint64>(1, o.lines);
    o.articles = std::clamp(o.articles, 1, 999999);
    o.warehouses = std::clamp(o.warehouses, 1, 999);
    const common::Parameters parameters = GeneratedParameters(o);
    WriteParameterFile(db.directory(), parameters);
    Generator generator(db, o, parameters, progress);
    return generator.run();
}

} // namespace testdata
