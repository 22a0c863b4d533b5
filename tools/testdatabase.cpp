#include "testdatabase.h"

#include "common/rounding.h"

#include <QHash>
#include <QStringList>
#include <QVariantHash>

#include <cmath>
#include <random>
#include <unordered_map>
#include <vector>

namespace testdata {

QDate firstDay() { return QDate(2016, 1, 1); }
QDate lastDay() { return QDate(2025, 12, 31); }

namespace {

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

// x brought to the nearest whole number, halves to the even neighbour.

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

class Generator {
public:
    Generator(datastore::Database& db, const GenerateOptions& options,
              const std::function<void(const QString&)>& progress)
        : m_db(db), m_options(options), m_progress(progress), m_rng(options.seed), m_stock(options.warehouses),
          m_rates(db, QStringLiteral("\"Curs.db\""), {QStringLiteral("Valuta"), QStringLiteral("Data"), QStringLiteral("Curs")}),
          m_inputHeaders(db, QStringLiteral("DOC_IN"),
                         QStringList{QStringLiteral("Contor"), QStringLiteral("Data_inregistrarii"), QStringLiteral("Numar"),
                                     QStringLiteral("Tip"), QStringLiteral("Data"), QStringLiteral("Furnizor"),
                                     QStringLiteral("Explicatie")}),
          m_inputLines(db, QStringLiteral("ITEM_IN"),
                       QStringList{QStringLiteral("Contor"), QStringLiteral("Contor_secundar"), QStringLiteral("Cod_gestiune"),
                                   QStringLiteral("Cod_grupa"), QStringLiteral("Cod_articol"), QStringLiteral("Lot"),
                                   QStringLiteral("Cantitate"), QStringLiteral("Valuta"), QStringLiteral("Pret_achizitie_lei"),
                                   QStringLiteral("Pret_echiv_USD"), QStringLiteral("TVA"), QStringLiteral("Cont_marfa"),
                                   QStringLiteral("Cont_TVA_Intrari"), QStringLiteral("Agent"), QStringLiteral("Serii")}),
          m_outputHeaders(db, QStringLiteral("DOC_OUT"),
                          QStringList{QStringLiteral("Contor"), QStringLiteral("Data_inregistrarii"), QStringLiteral("Numar"),
                                      QStringLiteral("Tip"), QStringLiteral("Data"), QStringLiteral("Explicatie"),
                                      QStringLiteral("Agent")}),
          m_outputLines(db, QStringLiteral("ITEM_OUT"),
                        QStringList{QStringLiteral("Contor"), QStringLiteral("Contor_secundar"), QStringLiteral("Cod_gestiune"),
                                    QStringLiteral("Cod_grupa"), QStringLiteral("Cod_articol"), QStringLiteral("Cantitate"),
                                    QStringLiteral("Pret_achizitie"), QStringLiteral("Pret_vinzare"), QStringLiteral("TVA"),
                                    QStringLiteral("Cont_marfa"), QStringLiteral("Cont_cheltuieli"),
                                    QStringLiteral("Cont_TVA_Iesiri"), QStringLiteral("Acciza"), QStringLiteral("Cont_venituri"),
                                    QStringLiteral("Lot"), QStringLiteral("Agent")})
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
        for (BatchedInsert* table : {&m_rates, &m_inputHeaders, &m_inputLines, &m_outputHeaders, &m_outputLines})
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
            a.fractional = (food || fuel) ? m_rng.chance(0.7) : m_rng.chance(0.05);
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
                          "Cont_marfa, Cont_cheltuieli, Cont_TVA_Intrari, Cont_TVA_Iesiri, Coef_TVA, Stock_minim, Cod_bare) "
                          "VALUES (:g, :c, :d, :s, :u, :p, :m, :cm, :cc, '4426', '4427', :t, :min, :b)"),
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

    void writeInputLine(double contor, int number, int warehouse, const QDate& day, bool initial)
    {
        const int articleIndex = popularArticle();
        const Article& a = m_articles[static_cast<size_t>(articleIndex)];
        const int price = m_rng.below(a.priceCount);
        const int budget = m_rng.chance(0.3) ? 1 + m_rng.below(5) : 0;
        const quint32 lot = m_rng.chance(0.2) ? newLot(day) : 0;
        const double quantity = inputQuantity(a);
        const double unitPrice = a.prices[price];
        const double vat = common::roundHalfEven(common::roundHalfEven(a.vat * unitPrice * quantity) / 100);
        m_inputLines.add({contor, double(number), m_warehouses.at(warehouse), a.group, a.code, textOrNull(lotText(lot)),
                          quantity, QStringLiteral("LEI"), unitPrice,
                          initial ? QVariant(unitPrice / usdAt(day)) : QVariant(QMetaType(QMetaType::Double)),
                          initial ? 0.0 : vat, a.goodsAccount, QStringLiteral("4426"),
                          textOrNull(budget ? QString::fromLatin1(kBudgetCodes[budget - 1]) : QString()), false});
        m_stock.add(packKey(warehouse, articleIndex, price, budget, lot), quantity);
    }

    void writeOutputLine(double contor, int number, quint64 key, const QString& type)
    {
        const int articleIndex = keyArticle(key);
        const Article& a = m_articles[static_cast<size_t>(articleIndex)];
        const double held = m_stock.quantity(key);
        double quantity = held;
        if (a.fractional) {
            const int quarters = static_cast<int>(std::lround(held / 0.25));
            if (quarters > 1 && m_rng.chance(0.85))
                quantity = 0.25 * (1 + m_rng.below(quarters));
        } else if (held > 1 && m_rng.chance(0.85)) {
            quantity = 1 + m_rng.below(static_cast<int>(held));
        }
        const double price = a.prices[keyPrice(key)];
        const bool sold = type == u"AE";
        const double sale = sold ? roundCents(price * 1.25) : 0;
        const double vat = sold ? common::roundHalfEven(common::roundHalfEven(a.vat * sale * quantity) / 100) : 0;
        const int budget = keyBudget(key);
        m_outputLines.add({contor, double(number), m_warehouses.at(keyWarehouse(key)), a.group, a.code, quantity, price,
                           sold ? QVariant(sale) : QVariant(QMetaType(QMetaType::Double)), vat, a.goodsAccount,
                           a.expenseAccount, QStringLiteral("4427"), 0.0,
                           sold ? QVariant(QStringLiteral("707")) : textOrNull({}), textOrNull(lotText(keyLot(key))),
                           textOrNull(budget ? QString::fromLatin1(kBudgetCodes[budget - 1]) : QString())});
        m_stock.take(key, quantity);
    }

    // ---- documents ---------------------------------------------------------------

    void writeInitialStock()
    {
        const QDate day = firstDay().addDays(-1);
        m_db.exec(QStringLiteral("INSERT INTO DOC_IN (Contor, Tip, Data, Explicatie) VALUES (-1, 'XXX', :d, "
                                 "'Introducere stocuri initiale')"),
                  {{QStringLiteral("d"), day}});
        const qint64 count = std::min<qint64>(m_options.lines / 100, qint64(m_options.warehouses) * 50);
        for (qint64 i = 0; i < count; ++i)
            writeInputLine(-1, int(i + 1), int(i % m_options.warehouses), day, true);
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
            writeInputLine(contor, i + 1, warehouse, day, false);
        m_summary.inputLines += size;
        m_written += size;
        m_inputs += size;
    }

    void writeOutputDocument(const QDate& day, int size)
    {
        // A warehouse that has stock, the first one from a random start.
        int warehouse = m_rng.below(m_options.warehouses);
        for (int i = 0; i < m_options.warehouses && m_stock.available(warehouse).empty(); ++i)
            warehouse = (warehouse + 1) % m_options.warehouses;
        const double contor = double(++m_summary.outputDocuments);
        const int r = m_rng.below(100);
        const QString type = r < 70 ? QStringLiteral("BMC") : (r < 85 ? QStringLiteral("AE") : QStringLiteral("NPR"));
        m_outputHeaders.add({contor, day, nextNumber(type, day.year()), type, day,
                             QStringLiteral("Consum %1").arg(day.toString(QStringLiteral("MM.yyyy"))),
                             QString::fromLatin1(kUserInits[m_rng.below(8)])});
        int written = 0;
        while (written < size && !m_stock.available(warehouse).empty()) {
            const std::vector<quint64>& keys = m_stock.available(warehouse);
            writeOutputLine(contor, written + 1, keys[static_cast<size_t>(m_rng.below(int(keys.size())))], type);
            ++written;
        }
        m_summary.outputLines += written;
        m_written += written;
        m_outputs += written;
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
    const std::function<void(const QString&)>& m_progress;
    Rng m_rng;
    StockBook m_stock;
    GenerateSummary m_summary;
    std::vector<Article> m_articles;
    std::vector<int> m_popularity;
    QStringList m_warehouses;
    QStringList m_suppliers;
    QStringList m_lots;
    QHash<QDate, double> m_usd;
    std::vector<QDate> m_days;
    QHash<QString, double> m_numbers; // last number of a type in a year
    BatchedInsert m_rates;
    BatchedInsert m_inputHeaders;
    BatchedInsert m_inputLines;
    BatchedInsert m_outputHeaders;
    BatchedInsert m_outputLines;
    qint64 m_written = 0;             // lines written so far
    qint64 m_inputs = 0;
    qint64 m_outputs = 0;
};

} // namespace

GenerateSummary GenerateTestDatabase(datastore::Database& db, const GenerateOptions& options,
                                     const std::function<void(const QString&)>& progress)
{
    GenerateOptions o = options;
    o.lines = std::max<qint64>(1, o.lines);
    o.articles = std::clamp(o.articles, 1, 999999);
    o.warehouses = std::clamp(o.warehouses, 1, 999);
    Generator generator(db, o, progress);
    return generator.run();
}

} // namespace testdata
