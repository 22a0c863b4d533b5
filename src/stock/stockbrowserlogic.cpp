#include "stockbrowserlogic.h"

#include "datastore/dberror.h"
#include "datastore/tabledef.h"
#include "ui/datagrid.h"

#include <cmath>

namespace stock {

using datastore::FieldType;

const QString TStockFormLogic::kLabelsTable = QStringLiteral("Etichete.DB");
const QString TStockFormLogic::kNotANumber = QStringLiteral("<%1> nu este o valoare corecta!");
const QString TStockFormLogic::kNotInCatalog = QStringLiteral(
    "Articolul <%1.%2> nu exista în catalog! Apasati CTRL-ENTER pentru a introduce articolul în catalog!");
const QString TStockFormLogic::kRowExists = QStringLiteral(
    "Articolul <%1.%2> are deja un rând de stoc la pretul %3 în gestiunea <%4>. Rândurile noi nu au fost adaugate.");
const QString TStockFormLogic::kCopiesPrompt = QStringLiteral("Tastati numarul de etichete dorit");

namespace {

const char* const kSortByKey = "SortBy";

const char* const kDetailedOrders[] = {
    "ORDER BY S.Cod_grupa COLLATE NOCASE, S.Cod_Articol, S.Lot, S.Agent, C.Denumire, S.Pret_Achizitie",
    "ORDER BY S.Cod_articol COLLATE NOCASE, S.Cod_grupa, S.Lot, S.Agent, C.Denumire, S.Pret_Achizitie",
    "ORDER BY C.Denumire COLLATE NOCASE, S.Cod_grupa, S.Cod_Articol, S.Lot, S.Agent, S.Pret_Achizitie",
    "ORDER BY S.Pret_Achizitie, S.Cod_grupa, S.Cod_Articol, S.Lot, S.Agent, C.Denumire",
};
// Ties are broken by the article, so that a row keeps its place between
// openings. The column searched by typing is ordered without regard to case,
// as the search compares it.
const char* const kCumulatedOrders[] = {
    "ORDER BY S.Cod_grupa COLLATE NOCASE, S.Cod_Articol",
    "ORDER BY S.Cod_articol COLLATE NOCASE, S.Cod_grupa",
    "ORDER BY C.Denumire COLLATE NOCASE, S.Cod_grupa, S.Cod_Articol",
    "ORDER BY C.Pret_vinzare, S.Cod_grupa, S.Cod_Articol",
};

} // namespace

TStockFormLogic::TStockFormLogic(datastore::Database& db, datastore::Database* privateDb,
                                 const common::Parameters& parameters, const common::Formats& formats,
                                 common::Dialogs& dialogs, QSettings& settings)
    : m_db(db), m_private(privateDb), m_parameters(parameters), m_formats(formats), m_dialogs(dialogs),
      m_settings(settings)
{
}

TStockFormLogic::~TStockFormLogic() = default;

bool TStockFormLogic::open(const QString& warehouse, List list)
{
    bool ok = false;
    const int stored = m_settings.value(QLatin1String(kSortByKey)).toInt(&ok);
    m_order = ok && stored >= ByGroup && stored <= ByPrice ? stored : ByGroup;
    m_kind = list;
    try {
        m_warehouseCodes.clear();
        m_warehouseNames.clear();
        datastore::Query q = m_db.query(QStringLiteral("SELECT Cod, Denumire FROM \"Gest.db\" ORDER BY Denumire, Cod"));
        while (q.next()) {
            m_warehouseCodes << q.value(0).toString();
            m_warehouseNames << q.value(1).toString();
        }
        m_warehouse = m_warehouseCodes.contains(warehouse)
            ? warehouse
            : m_db.scalar(QStringLiteral("SELECT MIN(Cod) FROM \"Gest.db\"")).toString();
        reopen();
    } catch (...) {
        ui::reportDataError(m_dialogs, std::current_exception());
        return false;
    }
    return true;
}

void TStockFormLogic::close()
{
    m_settings.setValue(QLatin1String(kSortByKey), m_order);
}

QString TStockFormLogic::selectStatement() const
{
    if (m_kind == List::Detailed)
        return QStringLiteral("SELECT S.Cod_Gestiune, S.Cod_grupa, S.Cod_Articol, S.Lot, S.Agent, C.Denumire, "
                              "S.Pret_Achizitie, S.Cantitate, C.Unitate_masura, C.Pret_Vinzare, C.Moneda, S.Cod_bare "
                              "FROM Stoc S, Catalog C "
                              "WHERE (S.Cod_Gestiune = :Cod) AND (S.Cod_grupa = C.Grupa) AND (S.Cod_Articol = C.Cod) ")
            + QLatin1String(kDetailedOrders[m_order]);
    // One row per article: the bar code of a stock row does not split it.
    return QStringLiteral("SELECT S.Cod_grupa, S.Cod_Articol, C.Denumire, SUM(S.Cantitate) AS Total_Cantitate, "
                          "C.Unitate_masura, C.Pret_vinzare, C.Moneda, MIN(S.Cod_bare) AS Cod_bare "
                          "FROM Stoc S, Catalog C "
                          "WHERE (S.Cod_Gestiune = :Cod) AND (S.Cod_grupa = C.Grupa) AND (S.Cod_Articol = C.Cod) "
                          "GROUP BY S.Cod_grupa, S.Cod_Articol, C.Denumire, C.Unitate_masura, C.Pret_vinzare, "
                          "C.Moneda ")
        + QLatin1String(kCumulatedOrders[m_order]);
}

void TStockFormLogic::reopen()
{
    auto list = datastore::Dataset::fromQuery(m_db, selectStatement(), {{QStringLiteral("Cod"), m_warehouse}});
    if (m_kind == List::Detailed)
        list->addLookupField(QStringLiteral("Buget"), QStringLiteral("Agent"), QStringLiteral("Client.DB"),
                             QStringLiteral("Cod_client"), QStringLiteral("Nume_client"));
    list->addCalculatedField(QStringLiteral("Valoare_vinzare"), FieldType::Float);
    datastore::Dataset* raw = list.get();
    list->onCalcFields = [this, raw] {
        const double sell = raw->value(QStringLiteral("Pret_vinzare")).toDouble();
        double value = 0;
        if (m_parameters.SellPrice == common::SellPriceMode::Calc) {
            if (m_kind == List::Detailed) {
                value = raw->value(QStringLiteral("Cantitate")).toDouble()
                    * raw->value(QStringLiteral("Pret_Achizitie")).toDouble() * (sell / 100 + 1);
                if (m_parameters.roundTva)
                    value = std::nearbyint(value);
            }
        } else {
            const QString quantity =
                m_kind == List::Detailed ? QStringLiteral("Cantitate") : QStringLiteral("Total_Cantitate");
            value = raw->value(quantity).toDouble() * sell;
        }
        raw->setCalculated(QStringLiteral("Valoare_vinzare"), value);
    };
    list->open();
    // The list shown until the window has moved to the new one stays readable.
    m_previous = std::move(m_list);
    m_list = std::move(list);
    m_lastFound = -1;
}

void TStockFormLogic::setWarehouse(const QString& code)
{
    if (code == m_warehouse && m_list)
        return;
    m_warehouse = code;
    try {
        reopen();
    } catch (...) {
        ui::reportDataError(m_dialogs, std::current_exception());
    }
}

void TStockFormLogic::setList(List list)
{
    if (list == m_kind && m_list)
        return;
    m_kind = list;
    m_soughtPrice = 0;
    try {
        reopen();
    } catch (...) {
        ui::reportDataError(m_dialogs, std::current_exception());
    }
}

void TStockFormLogic::setOrder(int order)
{
    if (order < ByGroup || order > ByPrice)
        return;
    m_order = order;
    try {
        reopen();
    } catch (...) {
        ui::reportDataError(m_dialogs, std::current_exception());
    }
}

void TStockFormLogic::position(const QString& group, const QString& article, double price)
{
    if (!m_list || m_list->isEmpty() || article.isEmpty())
        return;
    const int g = m_list->fieldIndex(QStringLiteral("Cod_grupa"));
    const int a = m_list->fieldIndex(QStringLiteral("Cod_Articol"));
    const int p = m_list->fieldIndex(QStringLiteral("Pret_Achizitie"));
    for (int row = 0; row < m_list->recordCount(); ++row) {
        if (m_list->value(row, g).toString() != group || m_list->value(row, a).toString() != article)
            continue;
        if (price != -1 && (p < 0 || m_list->value(row, p).toDouble() != price))
            continue;
        m_list->moveTo(row);
        return;
    }
    m_list->first();
}

QString TStockFormLogic::orderColumn() const
{
    switch (m_order) {
    case ByArticle:
        return QStringLiteral("Cod_Articol");
    case ByName:
        return QStringLiteral("Denumire");
    case ByPrice:
        // The column the list is ordered by.
        return m_kind == List::Detailed ? QStringLiteral("Pret_Achizitie") : QStringLiteral("Pret_vinzare");
    default:
        return QStringLiteral("Cod_grupa");
    }
}

void TStockFormLogic::incrementalSearch(const QString& text)
{
    if (!m_list || m_list->isEmpty())
        return;
    const int column = m_list->fieldIndex(orderColumn());
    if (column < 0)
        return;
    const int count = m_list->recordCount();
    // Bisection: the first row whose value is not less than the one typed.
    int low = 0;
    int high = count;
    if (m_order == ByPrice) {
        double sought = 0;
        if (!text.trimmed().isEmpty()) {
            const std::optional<double> number = common::parseFloat(text.trimmed(), m_formats);
            if (!number)
                return; // not a number (yet): the list stays where it is
            sought = *number;
        }
        while (low < high) {
            const int mid = (low + high) / 2;
            if (m_list->value(mid, column).toDouble() < sought)
                low = mid + 1;
            else
                high = mid;
        }
    } else {
        const QString sought = text.toUpper();
        while (low < high) {
            const int mid = (low + high) / 2;
            if (m_list->value(mid, column).toString().toUpper() < sought)
                low = mid + 1;
            else
                high = mid;
        }
    }
    m_list->moveTo(qMin(low, count - 1));
}

bool TStockFormLogic::searchPrice()
{
    if (!m_list || m_kind != List::Detailed)
        return false;
    const std::optional<QString> text = m_dialogs.inputBox(QStringLiteral("Cauta..."), QStringLiteral("Pret de achizitie:"),
                                                           common::formatFloat(QStringLiteral("0.00"), m_soughtPrice, m_formats));
    if (!text)
        return false;
    const std::optional<double> price = common::parseFloat(text->trimmed(), m_formats);
    if (!price) {
        m_dialogs.warning(kNotANumber.arg(*text));
        return false;
    }
    m_soughtPrice = *price;
    m_lastFound = -1;
    return repeatSearch();
}

bool TStockFormLogic::repeatSearch()
{
    if (!m_list || m_kind != List::Detailed)
        return false;
    const int column = m_list->fieldIndex(QStringLiteral("Pret_Achizitie"));
    for (int row = m_lastFound + 1; row < m_list->recordCount(); ++row)
        if (m_list->value(row, column).toDouble() == m_soughtPrice) {
            m_lastFound = row;
            m_list->moveTo(row);
            return true;
        }
    m_dialogs.beep();
    return false;
}

std::optional<StockLinePick> TStockFormLogic::currentPick() const
{
    if (!m_list || m_list->isEmpty() || m_kind != List::Detailed)
        return std::nullopt;
    StockLinePick pick;
    pick.warehouse = m_list->value(QStringLiteral("Cod_Gestiune")).toString();
    pick.group = m_list->value(QStringLiteral("Cod_grupa")).toString();
    pick.article = m_list->value(QStringLiteral("Cod_Articol")).toString();
    pick.price = m_list->value(QStringLiteral("Pret_Achizitie")).toDouble();
    pick.quantity = m_list->value(QStringLiteral("Cantitate")).toDouble();
    pick.lot = m_list->value(QStringLiteral("Lot")).toString();
    pick.budget = m_list->value(QStringLiteral("Agent")).toString();
    return pick;
}

// ---- labels ----------------------------------------------------------------------------

bool TStockFormLogic::prepareLabels()
{
    if (!m_private || !m_list || m_list->isEmpty())
        return false;
    const QString group = m_list->value(QStringLiteral("Cod_grupa")).toString();
    const QString article = m_list->value(QStringLiteral("Cod_Articol")).toString();
    QString sql = QStringLiteral(
        "SELECT DISTINCT D.Denumire AS DenGest, D1.Cod_gestiune, D1.Cod_grupa, D1.Cod_articol, D2.Denumire, D1.Lot "
        "FROM \"Gest.db\" D, Stoc D1, Catalog D2 WHERE D.Cod = D1.Cod_gestiune AND D1.Cod_grupa = D2.Grupa "
        "AND D1.Cod_articol = D2.Cod AND D1.Cod_gestiune = :w AND D1.Cod_grupa = :g AND D1.Cod_articol = :a");
    QVariantHash params{{QStringLiteral("w"), m_warehouse}, {QStringLiteral("g"), group}, {QStringLiteral("a"), article}};
    if (m_kind == List::Detailed) {
        sql += QStringLiteral(" AND D1.Pret_achizitie = :p");
        params.insert(QStringLiteral("p"), m_list->value(QStringLiteral("Pret_Achizitie")));
    }
    sql += QStringLiteral(" ORDER BY DenGest, D1.Cod_gestiune, D1.Cod_grupa, D1.Cod_articol, D2.Denumire");
    try {
        QList<QVariantList> rows;
        datastore::Query q = m_db.query(sql, params);
        while (q.next())
            rows << QVariantList{q.value(0), q.value(1), q.value(2), q.value(3), q.value(4), q.value(5)};
        if (rows.isEmpty())
            return false;
        const std::optional<QString> answer = m_dialogs.inputBox(QStringLiteral("Dialog"), kCopiesPrompt, QStringLiteral("1"));
        if (!answer)
            return false;
        const int copies = qBound(1, answer->trimmed().toInt(), 10000);
        datastore::UnitOfWork work(*m_private);
        if (m_private->tableExists(kLabelsTable))
            m_private->dropTable(kLabelsTable);
        m_private->createTable({kLabelsTable,
                                {datastore::text(QStringLiteral("DenGest"), 30),
                                 datastore::text(QStringLiteral("Cod_gestiune"), 4),
                                 datastore::text(QStringLiteral("Cod_grupa"), 8),
                                 datastore::text(QStringLiteral("Cod_articol"), 30),
                                 datastore::text(QStringLiteral("Denumire"), 255),
                                 datastore::text(QStringLiteral("Lot"), 30)},
                                {}});
        // The rows of the current stock row, then again until there are as many as asked.
        int written = 0;
        while (written < copies * rows.size()) {
            const QVariantList& r = rows.at(written % rows.size());
            m_private->exec(QStringLiteral("INSERT INTO \"%1\" (DenGest, Cod_gestiune, Cod_grupa, Cod_articol, "
                                           "Denumire, Lot) VALUES (:a, :b, :c, :d, :e, :f)")
                                .arg(kLabelsTable),
                            {{QStringLiteral("a"), r[0]},
                             {QStringLiteral("b"), r[1]},
                             {QStringLiteral("c"), r[2]},
                             {QStringLiteral("d"), r[3]},
                             {QStringLiteral("e"), r[4]},
                             {QStringLiteral("f"), r[5]}});
            ++written;
        }
        work.commit();
        return true;
    } catch (...) {
        ui::reportDataError(m_dialogs, std::current_exception());
        return false;
    }
}

// ---- new stock rows --------------------------------------------------------------------

std::optional<TStockFormLogic::NewRow> TStockFormLogic::newRowFor(const QString& group, const QString& article) const
{
    datastore::Query q = m_db.query(QStringLiteral("SELECT Denumire, Unitate_masura, Pret_vinzare, Moneda, Cod_bare "
                                                   "FROM CATALOG WHERE Grupa = :g AND Cod = :a"),
                                    {{QStringLiteral("g"), group}, {QStringLiteral("a"), article}});
    if (!q.next()) {
        m_dialogs.warning(kNotInCatalog.arg(group, article));
        return std::nullopt;
    }
    NewRow row;
    row.group = group;
    row.article = article;
    row.name = q.value(0).toString();
    row.unit = q.value(1).toString();
    row.sellPrice = q.value(2);
    row.currency = q.value(3).toString();
    row.barCode = q.value(4).toString();
    return row;
}

bool TStockFormLogic::addStockRows(const QList<NewRow>& rows)
{
    QList<NewRow> kept;
    for (const NewRow& r : rows)
        if (!r.group.isEmpty() && !r.article.isEmpty() && !r.name.isEmpty() && !r.unit.isEmpty()
            && !r.currency.isEmpty() && !r.sellPrice.isNull() && !r.price.isNull())
            kept << r;
    if (kept.isEmpty())
        return true;
    try {
        datastore::UnitOfWork work(m_db);
        for (const NewRow& r : kept) {
            const QVariantHash key{{QStringLiteral("Cod_gestiune"), m_warehouse},
                                   {QStringLiteral("Cod_grupa"), r.group},
                                   {QStringLiteral("Cod_articol"), r.article},
                                   {QStringLiteral("Pret_achizitie"), r.price.toDouble()}};
            QVariantHash values = key;
            values.insert(QStringLiteral("Cantitate"), 0.0);
            values.insert(QStringLiteral("Cod_bare"), r.barCode.isEmpty() ? QVariant() : QVariant(r.barCode));
            try {
                m_db.exec(QStringLiteral("insert into Stoc\n"
                                         "  (Cod_gestiune, Cod_grupa, Cod_articol, Pret_achizitie, Cantitate, Cod_bare)\n"
                                         "values\n"
                                         "  (:Cod_gestiune, :Cod_grupa, :Cod_articol, :Pret_achizitie, :Cantitate, "
                                         ":Cod_bare)"),
                          values);
            } catch (const datastore::DbError& e) {
                if (e.kind() != datastore::DbErrorKind::KeyViolation)
                    throw;
                // The row exists already (with no lot and no budget): none of the new rows is kept.
                const QString price =
                    common::formatFloat(QStringLiteral("#,##0.00##"), r.price.toDouble(), m_formats);
                m_dialogs.warning(kRowExists.arg(r.group, r.article, price, m_warehouse));
                return false; // the unit of work rolls back every row
            }
        }
        work.commit();
    } catch (...) {
        ui::reportDataError(m_dialogs, std::current_exception());
        return false;
    }
    try {
        reopen();
    } catch (...) {
        ui::reportDataError(m_dialogs, std::current_exception());
    }
    return true;
}

} // namespace stock
