#include "stockbrowserlogic.h"

#include "common/rounding.h"
#include "common/textsearch.h"
#include "datastore/tabledef.h"

#include <QScopedValueRollback>

#include <algorithm>
#include <cmath>

namespace stock {

using datastore::Dataset;
using datastore::DatasetState;

const QString TStockFormLogic::kOpenError = QStringLiteral("Eroare de acces la stocurile curente!");
const QString TStockFormLogic::kPriceCaption = QStringLiteral("Cauta...");
const QString TStockFormLogic::kPricePrompt = QStringLiteral("Pret de achizitie:");
const QString TStockFormLogic::kNotAValue = QStringLiteral("<%1> nu este o valoare corecta!");
const QString TStockFormLogic::kCopiesCaption = QStringLiteral("Dialog");
const QString TStockFormLogic::kCopiesPrompt = QStringLiteral("Tastati numarul de etichete dorit");
const QString TStockFormLogic::kBadCopies = QStringLiteral("'%1' nu este un numar intreg valid");
const QString TStockFormLogic::kTooManyCopies =
    QStringLiteral("Se pot lista cel mult %1 etichete deodata!").arg(TStockFormLogic::kMaxLabels);
const QString TStockFormLogic::kNotInCatalog =
    QStringLiteral("Articolul <%1.%2> nu exista în catalog! Apasati CTRL-ENTER pentru a introduce articolul în catalog!");
const QString TStockFormLogic::kAlreadyInStock =
    QStringLiteral("Articolul <%1.%2> exista deja în stoc la pretul %3 în gestiunea %4!\r"
                   "Selectati-l din lista sau modificati pretul.");
const QString TStockFormLogic::kAlreadyAdded =
    QStringLiteral("Articolul <%1.%2> cu pretul %3 a fost adaugat deja în gestiunea %4!\r"
                   "Modificati pretul sau renuntati la una din linii.");
const QString TStockFormLogic::kPickerHint = QStringLiteral("Selectati articolul si apasati butonul OK sau Enter");
const QString TStockFormLogic::kCatalogColumnHint =
    QStringLiteral("Apasati CTRL-ENTER pentru a selecta articolul din catalog!");

namespace {

const QString kLabelsError = QStringLiteral("Eroare de acces la baza de date!");

// The statements as the lists are built on them; the order line follows.
const char* const kDetailedSelect =
    "SELECT S.Cod_Gestiune,S.Cod_grupa, S.Cod_Articol, S.Lot, S.Agent, C.Denumire, S.Pret_Achizitie, S.Cantitate, "
    "C.Unitate_masura, C.Pret_Vinzare, C.Moneda, S.Cod_bare\n"
    "FROM Stoc S, Catalog C\n"
    "WHERE (S.Cod_Gestiune = :Cod) AND (S.Cod_grupa = C.Grupa) AND (S.Cod_Articol = C.Cod)\n";

// One row per article: the bar code is not part of an article's identity
// (two receipts of one article may carry different codes), so it is not
// grouped on; the row shows one of them.
const char* const kCumulatedSelect =
    "SELECT S.Cod_grupa, S.Cod_Articol, C.Denumire, SUM(S.Cantitate) AS Total_Cantitate, C.Unitate_masura, "
    "C.Pret_vinzare, C.Moneda, MAX(S.Cod_bare) AS Cod_bare\n"
    "FROM Stoc S, Catalog C\n"
    "WHERE (S.Cod_Gestiune = :Cod) AND (S.Cod_grupa = C.Grupa) AND (S.Cod_Articol = C.Cod)\n"
    "GROUP BY S.Cod_grupa, S.Cod_Articol, C.Denumire, C.Unitate_masura, C.Pret_vinzare, C.Moneda\n";

// The first column of each order is the one the incremental search halves
// over; text is ordered folded as the search compares it (without regard to
// case or diacritics: "Șervetele" among the names in S), the same on both
// engines. %1 stands for that column folded; the column itself (%2) comes
// last, so that rows it alone tells apart ('g' and 'G') come in one order.
const char* const kDetailedOrders[] = {
    "ORDER BY %1, S.Cod_Articol, S.Lot, S.Agent, C.Denumire, S.Pret_Achizitie, %2",
    "ORDER BY %1, S.Cod_grupa, S.Lot, S.Agent, C.Denumire, S.Pret_Achizitie, %2",
    "ORDER BY %1, S.Cod_grupa, S.Cod_Articol, S.Lot, S.Agent, S.Pret_Achizitie, %2",
    "ORDER BY S.Pret_Achizitie, S.Cod_grupa, S.Cod_Articol, S.Lot, S.Agent, C.Denumire",
};
const char* const kCumulatedOrders[] = {
    "ORDER BY %1, S.Cod_Articol, %2",
    "ORDER BY %1, S.Cod_grupa, %2",
    "ORDER BY %1, S.Cod_grupa, S.Cod_Articol, %2",
    "ORDER BY C.Pret_vinzare, S.Cod_grupa, S.Cod_Articol",
};
// The text column each order begins with (none for the price).
const char* const kOrderColumns[] = {"S.Cod_grupa", "S.Cod_Articol", "C.Denumire", nullptr};

QString orderLine(const char* const orders[], StockOrder order)
{
    const int i = static_cast<int>(order);
    const QString line = QString::fromLatin1(orders[i]);
    if (!kOrderColumns[i])
        return line;
    const QString column = QString::fromLatin1(kOrderColumns[i]);
    return line.arg(common::foldForSearchSql(column), column);
}

const char* const kInsertStatement = "insert into Stoc\n"
                                     "  (Cod_gestiune, Cod_grupa, Cod_articol, Pret_achizitie, Cantitate, Cod_bare)\n"
                                     "values\n"
                                     "  (:Cod_gestiune, :Cod_grupa, :Cod_articol, :Pret_achizitie, :Cantitate, :Cod_bare)";

// The labels of one stock row: the row's whole key in the detailed list, the
// article's rows in the warehouse in the cumulated one. The warehouse and
// the catalog only lend their names: a row whose article left the catalog
// still gets its label.
const char* const kLabelsSelect =
    "SELECT DISTINCT D.Denumire as DenGest, D1.Cod_gestiune, D1.Cod_grupa, D1.Cod_articol, D2.Denumire, D1.Lot\n"
    "FROM Stoc D1 LEFT JOIN Gest D ON (D.Cod = D1.Cod_gestiune)\n"
    "  LEFT JOIN Catalog D2 ON (D2.Grupa = D1.Cod_grupa) AND (D2.Cod = D1.Cod_articol)\n"
    "WHERE (D1.Cod_gestiune = :Gest) AND (D1.Cod_grupa = :Grupa) AND (D1.Cod_articol = :Articol)\n";
const char* const kLabelsKey = "  AND (D1.Pret_achizitie = :Pret) AND (D1.Lot IS :Lot) AND (D1.Agent IS :Agent)\n";
const char* const kLabelsOrder = "ORDER BY DenGest, D1.Cod_gestiune, D1.Cod_grupa, D1.Cod_articol, D2.Denumire, D1.Lot";

datastore::TableDef labelsTable()
{
    using namespace datastore;
    return {QString::fromLatin1(TStockFormLogic::kLabelsTable),
            {text(QStringLiteral("DenGest"), 30), text(QStringLiteral("Cod_gestiune"), 4),
             text(QStringLiteral("Cod_grupa"), 8), text(QStringLiteral("Cod_articol"), 30),
             text(QStringLiteral("Denumire"), 255), text(QStringLiteral("Lot"), 30)},
            {}};
}

datastore::TableDef newRowsTable()
{
    using namespace datastore;
    return {QString::fromLatin1(TStockFormLogic::kNewRowsTable),
            {text(QStringLiteral("Cod_gestiune"), 4), text(QStringLiteral("Cod_grupa"), 8),
             text(QStringLiteral("Cod_articol"), 30), text(QStringLiteral("Denumire"), 255),
             floating(QStringLiteral("Pret_achizitie")), floating(QStringLiteral("Cantitate")),
             text(QStringLiteral("Unitate_masura"), 4), floating(QStringLiteral("Pret_vinzare")),
             text(QStringLiteral("Moneda"), 3), text(QStringLiteral("Cod_bare"), 60)},
            {}};
}

// The fields a new row must hold to be kept, in the order the cursor visits them.
const char* const kRequiredNewRowFields[] = {"Cod_grupa", "Cod_articol", "Denumire", "Pret_achizitie",
                                             "Cantitate", "Unitate_masura", "Pret_vinzare", "Moneda"};

QString dbMessage(const QString& sentence, const std::exception& e, const char* closing = ">")
{
    return sentence + QStringLiteral("\r<") + datastore::errorText(e) + QString::fromLatin1(closing);
}

} // namespace

const QStringList& stockListCaptions()
{
    static const QStringList captions{QStringLiteral("Stocuri defalcate pe preturi"),
                                      QStringLiteral("Stocuri cumulate pe cod articol")};
    return captions;
}

const QStringList& stockOrderCaptions()
{
    static const QStringList captions{QStringLiteral("Grupa"), QStringLiteral("Articol"), QStringLiteral("Denumire"),
                                      QStringLiteral("Pret")};
    return captions;
}

QString detailedStockStatement(StockOrder order)
{
    return QString::fromLatin1(kDetailedSelect) + orderLine(kDetailedOrders, order);
}

QString cumulatedStockStatement(StockOrder order)
{
    return QString::fromLatin1(kCumulatedSelect) + orderLine(kCumulatedOrders, order);
}

// --- the logic ---------------------------------------------------------------------------

TStockFormLogic::TStockFormLogic(datastore::Database& db, datastore::Database& privateDb,
                                 const common::Parameters& parameters, const common::Formats& formats,
                                 common::Dialogs& dialogs, QSettings& settings, StockFormView& view)
    : newRows(privateDb, QString::fromLatin1(kNewRowsTable)), m_db(db), m_privateDb(privateDb),
      m_parameters(parameters), m_formats(formats), m_dialogs(dialogs), m_settings(settings), m_view(view),
      m_detailed(Dataset::fromQuery(db, detailedStockStatement(StockOrder::Group))),
      m_cumulated(Dataset::fromQuery(db, cumulatedStockStatement(StockOrder::Group)))
{
    // The budget's name, read only for the rows the grid shows.
    m_detailed->addLookupField(QStringLiteral("Buget"), QStringLiteral("Agent"), QStringLiteral("Client.DB"),
                               QStringLiteral("Cod_client"), QStringLiteral("Nume_client"));
    // Worked out by saleValue() for the rows the grid paints, never for all of them.
    for (Dataset* list : {m_detailed.get(), m_cumulated.get()})
        list->addCalculatedField(QString::fromLatin1(kSaleValueField), datastore::FieldType::Float);

    newRows.onNewRecord = [this] { NewRowsNewRecord(); };
    newRows.beforePost = [this] { NewRowsBeforePost(); };
    newRows.field(QStringLiteral("Cod_grupa")).onValidate = [this] { ArticleValidate(QStringLiteral("Cod_grupa")); };
    newRows.field(QStringLiteral("Cod_articol")).onValidate = [this] {
        ArticleValidate(QStringLiteral("Cod_articol"));
    };
    newRows.field(QStringLiteral("Cod_grupa")).onChange = [this] { ArticleChange(); };
    newRows.field(QStringLiteral("Cod_articol")).onChange = [this] { ArticleChange(); };
}

TStockFormLogic::~TStockFormLogic() = default;

// --- life ----------------------------------------------------------------------------------

bool TStockFormLogic::open(const QString& warehouse, StockList list)
{
    bool ok = false;
    const int sortBy = m_settings.value(QLatin1String(kSortByKey), 0).toInt(&ok);
    m_order = ok && sortBy >= 0 && sortBy <= static_cast<int>(StockOrder::Price) ? static_cast<StockOrder>(sortBy)
                                                                                   : StockOrder::Group;
    m_list = list;
    try {
        readWarehouses();
        m_warehouse = m_warehouses.isEmpty() ? QString() : m_warehouses.first().code;
        for (const StockWarehouse& w : m_warehouses)
            if (w.code == warehouse)
                m_warehouse = w.code;
        openShown();
    } catch (const std::exception& e) {
        m_detailed->close();
        m_cumulated->close();
        m_dialogs.error(dbMessage(kOpenError, e));
        return false;
    }
    m_opened = true;
    return true;
}

bool TStockFormLogic::close()
{
    if (m_editing && !setEditing(false))
        return false;
    if (m_opened)
        m_settings.setValue(QLatin1String(kSortByKey), static_cast<int>(m_order));
    m_detailed->close();
    m_cumulated->close();
    m_opened = false;
    return true;
}

void TStockFormLogic::refreshTick()
{
    if (!m_opened || m_editing)
        return;
    // Warehouses made or removed meanwhile; the list stays on its own while it exists.
    readWarehouses();
    if (warehouseIndex() < 0) {
        m_warehouse = m_warehouses.isEmpty() ? QString() : m_warehouses.first().code;
        openShown();
        m_lastFound = -1;
        return;
    }
    reopen();
}

void TStockFormLogic::readWarehouses()
{
    m_warehouses.clear();
    datastore::Query q = m_db.query(QStringLiteral("SELECT Cod, Denumire FROM \"Gest.db\" ORDER BY Cod"));
    while (q.next())
        m_warehouses.append({q.value(0).toString(), q.value(1).toString()});
}

int TStockFormLogic::warehouseIndex() const
{
    for (int i = 0; i < m_warehouses.size(); ++i)
        if (m_warehouses[i].code == m_warehouse)
            return i;
    return -1;
}

QString TStockFormLogic::warehouseText(const QString& code) const
{
    for (const StockWarehouse& w : m_warehouses)
        if (w.code == code && !w.name.isEmpty())
            return code + QStringLiteral(" (") + w.name + u')';
    return code;
}

void TStockFormLogic::openShown()
{
    Dataset& list = shown();
    list.close();
    const QString statement = m_list == StockList::Detailed ? detailedStockStatement(m_order)
                                                            : cumulatedStockStatement(m_order);
    list.setQuery(statement, {{QStringLiteral("Cod"), m_warehouse}});
    list.open();
}

void TStockFormLogic::reopen()
{
    // The row under the cursor is looked for again by its key.
    Dataset& list = shown();
    QStringList keyFields{QStringLiteral("Cod_grupa"), QStringLiteral("Cod_Articol")};
    if (m_list == StockList::Detailed)
        keyFields << QStringLiteral("Pret_Achizitie") << QStringLiteral("Lot") << QStringLiteral("Agent");
    QVariantList key;
    if (list.isOpen() && list.recNo() >= 0)
        for (const QString& f : keyFields)
            key << list.value(f);
    openShown();
    m_lastFound = -1;
    if (!key.isEmpty())
        list.locate(keyFields, key);
}

void TStockFormLogic::setWarehouse(const QString& code)
{
    if (m_editing || (code == m_warehouse && shown().isOpen()))
        return;
    m_warehouse = code;
    m_lastFound = -1;
    openShown();
}

void TStockFormLogic::setList(StockList list)
{
    if (m_editing || (list == m_list && shown().isOpen()))
        return;
    // The other list opens on the article that was current.
    QVariantList article;
    if (shown().isOpen() && shown().recNo() >= 0)
        article << shown().value(QStringLiteral("Cod_grupa")) << shown().value(QStringLiteral("Cod_Articol"));
    m_detailed->close();
    m_cumulated->close();
    m_list = list;
    m_lastFound = -1;
    m_lastPrice = 0;
    openShown();
    if (!article.isEmpty())
        shown().locate({QStringLiteral("Cod_grupa"), QStringLiteral("Cod_Articol")}, article);
}

void TStockFormLogic::setOrder(StockOrder order)
{
    if (m_editing || order == m_order)
        return;
    m_order = order;
    // Both statements take the order; the list that is open is read again.
    if (shown().isOpen())
        reopen();
}

// --- columns ---------------------------------------------------------------------------------

QList<ui::GridColumn> TStockFormLogic::detailedColumns() const
{
    using ui::GridColumn;
    const common::Parameters& p = m_parameters;
    const QString money = QStringLiteral("#,##0.") + QString(p.nrZecimaleLei, u'0');
    GridColumn sale(QStringLiteral("Pret_Vinzare"), QStringLiteral("Pret vînzare"), 90);
    sale.withMask(money).asHidden();
    if (p.SellPrice == common::SellPriceMode::Calc) {
        sale.title = QStringLiteral("Adaos comercial");
        sale.mask = QStringLiteral("0.00%");
    }
    GridColumn lot(QStringLiteral("Lot"), QStringLiteral("Lot"), 80);
    GridColumn budget(QStringLiteral("Buget"), QStringLiteral("Buget"), 140);
    if (!p.CLot) {
        lot.asHidden();
        budget.asHidden();
    }
    return {GridColumn(QStringLiteral("Cod_grupa"), QStringLiteral("Grupa"), 60),
            GridColumn(QStringLiteral("Cod_Articol"), QStringLiteral("Articol"), 90),
            GridColumn(QStringLiteral("Denumire"), QStringLiteral("Denumire"), 240),
            GridColumn(QStringLiteral("Pret_Achizitie"), QStringLiteral("Pret"), 90).withMask(money),
            GridColumn(QStringLiteral("Cantitate"), QStringLiteral("Cantitate"), 80).withMask(QStringLiteral("#,##0.000")),
            GridColumn(QStringLiteral("Unitate_masura"), QStringLiteral("U.M."), 40),
            lot,
            budget,
            sale,
            GridColumn(QStringLiteral("Moneda"), QStringLiteral("Moneda"), 50).asHidden(),
            GridColumn(QString::fromLatin1(kSaleValueField), QStringLiteral("Valoare vînzare"), 100)
                .withMask(money)
                .asHidden(),
            GridColumn(QStringLiteral("Cod_bare"), QStringLiteral("Cod_bare"), 110).asHidden()};
}

QList<ui::GridColumn> TStockFormLogic::cumulatedColumns() const
{
    using ui::GridColumn;
    const QString money = QStringLiteral("#,##0.") + QString(m_parameters.nrZecimaleLei, u'0');
    return {GridColumn(QStringLiteral("Cod_grupa"), QStringLiteral("Grupa"), 60),
            GridColumn(QStringLiteral("Cod_Articol"), QStringLiteral("Articol"), 90),
            GridColumn(QStringLiteral("Denumire"), QStringLiteral("Denumire"), 240),
            GridColumn(QStringLiteral("Total_Cantitate"), QStringLiteral("Total Cantitate"), 100)
                .withMask(QStringLiteral("#,##0.000")),
            GridColumn(QStringLiteral("Unitate_masura"), QStringLiteral("U.M."), 40),
            GridColumn(QString::fromLatin1(kSaleValueField), QStringLiteral("Valoare vînzare"), 100)
                .withMask(money)
                .asHidden()};
}

QList<ui::GridColumn> TStockFormLogic::newRowColumns() const
{
    using ui::GridColumn;
    const common::Parameters& p = m_parameters;
    const QString money = QStringLiteral("#,##0.") + QString(p.nrZecimaleLei, u'0');
    GridColumn sale(QStringLiteral("Pret_vinzare"), QStringLiteral("Pret vînzare"), 90);
    sale.withMask(money).asReadOnly();
    if (p.SellPrice == common::SellPriceMode::Calc) {
        sale.title = QStringLiteral("Adaos comercial");
        sale.mask = QStringLiteral("0.00%");
    }
    QList<GridColumn> columns{
        GridColumn(QStringLiteral("Cod_gestiune"), QStringLiteral("Gestiune"), 60).asHidden(),
        GridColumn(QStringLiteral("Cod_grupa"), QStringLiteral("Grupa"), 60).withPicker(),
        GridColumn(QStringLiteral("Cod_articol"), QStringLiteral("Articol"), 90).withPicker(),
        GridColumn(QStringLiteral("Denumire"), QStringLiteral("Denumire"), 240).asReadOnly(),
        GridColumn(QStringLiteral("Pret_achizitie"), QStringLiteral("Pret"), 90).withMask(money),
        GridColumn(QStringLiteral("Cantitate"), QStringLiteral("Cantitate"), 80).withMask(QStringLiteral("#,##0.000")),
        GridColumn(QStringLiteral("Unitate_masura"), QStringLiteral("U.M."), 40).asReadOnly(),
        sale,
        GridColumn(QStringLiteral("Moneda"), QStringLiteral("Moneda"), 50).asReadOnly(),
        GridColumn(QStringLiteral("Cod_bare"), QStringLiteral("Cod_bare"), 110).asReadOnly().asHidden()};
    for (GridColumn& c : columns)
        c.withHint(newRowHint(c.field));
    return columns;
}

QString TStockFormLogic::newRowHint(const QString& field)
{
    if (field.compare(QLatin1String("Cod_grupa"), Qt::CaseInsensitive) == 0
        || field.compare(QLatin1String("Cod_articol"), Qt::CaseInsensitive) == 0)
        return kCatalogColumnHint;
    return QStringLiteral("...");
}

// --- picker ----------------------------------------------------------------------------------

bool TStockFormLogic::locate(const QString& group, const QString& article, double price)
{
    if (article.isEmpty())
        return false;
    Dataset& list = *m_detailed;
    if (!list.isOpen() || list.isEmpty())
        return false;
    const int groupField = list.fieldIndex(QStringLiteral("Cod_grupa"));
    const int articleField = list.fieldIndex(QStringLiteral("Cod_Articol"));
    const int priceField = list.fieldIndex(QStringLiteral("Pret_Achizitie"));
    for (int row = 0; row < list.recordCount(); ++row) {
        if (list.value(row, articleField).toString() != article || list.value(row, groupField).toString() != group)
            continue;
        if (price != -1) {
            const QVariant rowPrice = list.value(row, priceField);
            if (rowPrice.isNull() || rowPrice.toDouble() != price)
                continue;
        }
        list.moveTo(row);
        return true;
    }
    list.first();
    return false;
}

std::optional<StockRow> TStockFormLogic::currentRow() const
{
    const Dataset& list = *m_detailed;
    if (!list.isOpen() || list.recNo() < 0)
        return std::nullopt;
    StockRow row;
    row.warehouse = list.value(QStringLiteral("Cod_Gestiune")).toString();
    row.group = list.value(QStringLiteral("Cod_grupa")).toString();
    row.article = list.value(QStringLiteral("Cod_Articol")).toString();
    row.price = list.value(QStringLiteral("Pret_Achizitie")).toDouble();
    row.quantity = list.value(QStringLiteral("Cantitate")).toDouble();
    row.lot = list.value(QStringLiteral("Lot")).toString();
    row.budget = list.value(QStringLiteral("Agent")).toString();
    return row;
}

// --- searches --------------------------------------------------------------------------------

QString TStockFormLogic::searchField() const
{
    switch (m_order) {
    case StockOrder::Group: return QStringLiteral("Cod_grupa");
    case StockOrder::Article: return QStringLiteral("Cod_Articol");
    case StockOrder::Name: return QStringLiteral("Denumire");
    case StockOrder::Price: break;
    }
    // The price the list is ordered by: the acquisition price of a stock
    // row, the catalog's sale price of an article.
    return m_list == StockList::Detailed ? QStringLiteral("Pret_Achizitie") : QStringLiteral("Pret_vinzare");
}

std::optional<double> TStockFormLogic::readPrice(const QString& text) const
{
    return common::parseFloat(text.trimmed(), m_formats);
}

bool TStockFormLogic::searchAsYouType(const QString& text)
{
    Dataset& list = shown();
    if (!list.isOpen() || list.isEmpty() || m_editing)
        return false;
    const int field = list.fieldIndex(searchField());
    int low = 0;
    int high = list.recordCount();
    if (m_order == StockOrder::Price) {
        double wanted = 0;
        if (!text.trimmed().isEmpty()) {
            const std::optional<double> price = readPrice(text);
            if (!price)
                return false; // still being typed, or not a price: the cursor stays
            wanted = *price;
        }
        while (low < high) {
            const int middle = low + (high - low) / 2;
            const QVariant v = list.value(middle, field);
            if (v.isNull() || v.toDouble() < wanted)
                low = middle + 1;
            else
                high = middle;
        }
    } else {
        const QString wanted = common::foldForSearch(text);
        while (low < high) {
            const int middle = low + (high - low) / 2;
            if (QString::compare(common::foldForSearch(list.value(middle, field).toString()), wanted) < 0)
                low = middle + 1;
            else
                high = middle;
        }
        // A text the list orders otherwise than the search folds it (an
        // accent other than the Romanian ones, on SQLite) is still found
        // where it begins with what was typed.
        const auto begins = [&](int row) {
            return common::foldForSearch(list.value(row, field).toString()).startsWith(wanted);
        };
        if (!wanted.isEmpty() && !(low < list.recordCount() && begins(low))) {
            for (int row = 0; row < list.recordCount(); ++row)
                if (begins(row)) {
                    low = row;
                    break;
                }
        }
    }
    const int row = std::min(low, list.recordCount() - 1);
    list.moveTo(row);
    return list.recNo() == row;
}

void TStockFormLogic::findPrice()
{
    if (m_list != StockList::Detailed || !m_detailed->isOpen() || m_editing)
        return;
    const std::optional<QString> answer =
        m_dialogs.inputBox(kPriceCaption, kPricePrompt, common::formatFloat(QStringLiteral("0.00"), m_lastPrice, m_formats));
    if (!answer)
        return;
    const std::optional<double> price = readPrice(*answer);
    if (!price) {
        m_dialogs.warning(kNotAValue.arg(*answer));
        return;
    }
    m_lastPrice = *price;
    m_lastFound = -1;
    moveToSearched(m_lastPrice, 0);
}

void TStockFormLogic::findPriceAgain()
{
    if (m_list != StockList::Detailed || !m_detailed->isOpen() || m_editing)
        return;
    moveToSearched(m_lastPrice, m_lastFound + 1);
}

bool TStockFormLogic::moveToSearched(double price, int from)
{
    Dataset& list = *m_detailed;
    const int field = list.fieldIndex(QStringLiteral("Pret_Achizitie"));
    for (int row = std::max(from, 0); row < list.recordCount(); ++row) {
        const QVariant v = list.value(row, field);
        if (!v.isNull() && v.toDouble() == price) {
            list.moveTo(row);
            m_lastFound = row;
            m_view.focusList();
            return true;
        }
    }
    m_dialogs.beep();
    m_view.focusList();
    return false;
}

// --- values ----------------------------------------------------------------------------------

QVariant TStockFormLogic::saleValue(int row) const
{
    const Dataset& list = shown();
    if (!list.isOpen() || row < 0 || row >= list.recordCount())
        return {};
    const bool detailedList = m_list == StockList::Detailed;
    const double quantity =
        list.value(row, detailedList ? QStringLiteral("Cantitate") : QStringLiteral("Total_Cantitate")).toDouble();
    const double sale = list.value(row, QStringLiteral("Pret_vinzare")).toDouble();
    if (m_parameters.SellPrice == common::SellPriceMode::Fetch)
        return quantity * sale;
    if (!detailedList)
        return 0.0;
    // The catalog holds a markup percentage over the acquisition price.
    const double price = list.value(row, QStringLiteral("Pret_Achizitie")).toDouble();
    const double value = quantity * price * (sale / 100 + 1);
    return m_parameters.roundTva ? common::roundHalfEven(value) : value;
}

// --- labels ----------------------------------------------------------------------------------

bool TStockFormLogic::listLabels()
{
    Dataset& list = shown();
    if (!list.isOpen() || list.recNo() < 0 || m_editing)
        return false;
    const bool byPrice = m_list == StockList::Detailed;
    QVariantHash params{{QStringLiteral("Gest"), m_warehouse},
                        {QStringLiteral("Grupa"), list.value(QStringLiteral("Cod_grupa"))},
                        {QStringLiteral("Articol"), list.value(QStringLiteral("Cod_Articol"))}};
    QString select = QString::fromLatin1(kLabelsSelect);
    if (byPrice) {
        select += QString::fromLatin1(kLabelsKey);
        params.insert(QStringLiteral("Pret"), list.value(QStringLiteral("Pret_Achizitie")));
        // An empty lot or budget is stored empty (NULL) and compared as such.
        for (const char* f : {"Lot", "Agent"}) {
            const QString value = list.value(QString::fromLatin1(f)).toString();
            params.insert(QString::fromLatin1(f), value.isEmpty() ? QVariant() : QVariant(value));
        }
    }
    select += QString::fromLatin1(kLabelsOrder);

    const QString insert = QStringLiteral(
        "INSERT INTO Etichete (DenGest, Cod_gestiune, Cod_grupa, Cod_articol, Denumire, Lot) "
        "VALUES (:DenGest, :Cod_gestiune, :Cod_grupa, :Cod_articol, :Denumire, :Lot)");
    QList<QVariantHash> labels;
    auto append = [&](int copies) {
        datastore::UnitOfWork work(m_privateDb);
        for (int copy = 0; copy < copies; ++copy)
            for (const QVariantHash& label : labels)
                m_privateDb.exec(insert, label);
        work.commit();
    };
    try {
        datastore::Query q = m_db.query(select, params);
        while (q.next()) {
            QVariantHash label;
            for (int c = 0; c < q.columnCount(); ++c)
                label.insert(q.columnName(c), q.value(c));
            labels << label;
        }
        m_privateDb.createTable(labelsTable()); // the labels of the last print go
        append(1);
    } catch (const std::exception& e) {
        m_dialogs.error(dbMessage(kLabelsError, e, ">!"));
        return false;
    }

    const std::optional<QString> answer = m_dialogs.inputBox(kCopiesCaption, kCopiesPrompt, QStringLiteral("1"));
    if (!answer)
        return false;
    bool ok = false;
    const int copies = answer->trimmed().toInt(&ok);
    if (!ok) {
        m_dialogs.warning(kBadCopies.arg(answer->trimmed()));
        return false;
    }
    if (copies > kMaxLabels) {
        m_dialogs.warning(kTooManyCopies);
        return false;
    }
    try {
        append(copies - 1); // at least the one copy written
    } catch (const std::exception& e) {
        m_dialogs.error(dbMessage(kLabelsError, e, ">!"));
        return false;
    }
    if (printLabels)
        printLabels();
    return true;
}

// --- new stock rows ----------------------------------------------------------------------------

bool TStockFormLogic::setEditing(bool on)
{
    if (on == m_editing)
        return true;
    if (on) {
        if (!m_opened || m_list != StockList::Detailed)
            return false;
        try {
            newRows.close();
            m_privateDb.createTable(newRowsTable()); // rows left by an interrupted run go
            newRows.open();
        } catch (const std::exception& e) {
            m_dialogs.error(dbMessage(kOpenError, e));
            return false;
        }
        m_editing = true;
        startNewRow();
        return true;
    }
    // The row being typed first: an untouched one goes, an incomplete or
    // refused one keeps the editing on.
    try {
        if (newRows.state() == DatasetState::Insert && !newRows.isModified())
            newRows.cancel();
        else
            newRows.settle();
    } catch (...) {
        ui::reportDataError(m_dialogs, std::current_exception());
        return false;
    }
    if (!writeNewRows())
        return false;
    m_editing = false;
    return true;
}

void TStockFormLogic::startNewRow()
{
    try {
        newRows.append();
    } catch (...) {
        ui::reportDataError(m_dialogs, std::current_exception());
        return;
    }
    m_view.focusNewRowColumn(QStringLiteral("Cod_grupa"));
}

bool TStockFormLogic::writeNewRows()
{
    QList<QVariantHash> rows;
    for (int row = 0; row < newRows.recordCount(); ++row) {
        QVariantHash values;
        for (const char* f : {"Cod_gestiune", "Cod_grupa", "Cod_articol", "Pret_achizitie", "Cantitate", "Cod_bare"})
            values.insert(QString::fromLatin1(f), newRows.value(row, QString::fromLatin1(f)));
        rows << values;
    }
    int refused = -1; // the row whose key is taken meanwhile
    try {
        datastore::UnitOfWork work(m_db);
        for (int i = 0; i < rows.size(); ++i) {
            try {
                m_db.exec(QString::fromLatin1(kInsertStatement), rows[i]);
            } catch (const datastore::DbError& e) {
                if (!e.isKeyViolation())
                    throw;
                refused = i;
                break;
            }
        }
        if (refused < 0)
            work.commit();
    } catch (const std::exception& e) {
        m_dialogs.error(dbMessage(kOpenError, e));
        return false;
    }
    if (refused >= 0) {
        // Another workstation added the same key since the row was typed;
        // nothing was written. The message comes after the transaction.
        const QVariantHash& r = rows[refused];
        m_dialogs.warning(kAlreadyInStock.arg(r.value(QStringLiteral("Cod_grupa")).toString(),
                                              r.value(QStringLiteral("Cod_articol")).toString(),
                                              moneyText(r.value(QStringLiteral("Pret_achizitie")).toDouble()),
                                              warehouseText(r.value(QStringLiteral("Cod_gestiune")).toString())));
        newRows.moveTo(refused);
        m_view.focusNewRowColumn(QStringLiteral("Pret_achizitie"));
        return false;
    }
    newRows.close();
    try {
        m_privateDb.dropTable(QString::fromLatin1(kNewRowsTable));
    } catch (const std::exception&) {
        // an empty working table left behind is replaced by the next editing
    }
    // The list with the new rows, on the last one added.
    m_lastFound = -1;
    try {
        openShown();
    } catch (const std::exception& e) {
        m_dialogs.error(dbMessage(kOpenError, e));
    }
    if (!rows.isEmpty()) {
        const QVariantHash& last = rows.last();
        locate(last.value(QStringLiteral("Cod_grupa")).toString(), last.value(QStringLiteral("Cod_articol")).toString(),
               last.value(QStringLiteral("Pret_achizitie")).toDouble());
    }
    m_view.focusList();
    return true;
}

void TStockFormLogic::NewRowsNewRecord()
{
    newRows.setValue(QStringLiteral("Cod_gestiune"), m_warehouse);
    newRows.setValue(QStringLiteral("Cantitate"), 0.0);
}

bool TStockFormLogic::newRowComplete() const
{
    for (const char* f : kRequiredNewRowFields)
        if (newRows.value(QString::fromLatin1(f)).isNull())
            return false;
    return true;
}

void TStockFormLogic::NewRowsBeforePost()
{
    // An incomplete row is not kept; the cursor goes to what is missing.
    for (const char* f : kRequiredNewRowFields)
        if (newRows.value(QString::fromLatin1(f)).isNull()) {
            m_view.focusNewRowColumn(QString::fromLatin1(f));
            throw datastore::Abort();
        }
    const QString warehouse = newRows.value(QStringLiteral("Cod_gestiune")).toString();
    const QString group = newRows.value(QStringLiteral("Cod_grupa")).toString();
    const QString article = newRows.value(QStringLiteral("Cod_articol")).toString();
    const double price = newRows.value(QStringLiteral("Pret_achizitie")).toDouble();
    // A stock key holds one row: the article at that price is picked from the list instead.
    const QVariant inStock = m_db.scalar(
        QStringLiteral("SELECT COUNT(*) FROM Stoc WHERE Cod_gestiune = :g AND Cod_grupa = :gr AND Cod_articol = :a "
                       "AND Pret_achizitie = :p AND Lot IS NULL AND Agent IS NULL"),
        {{QStringLiteral("g"), warehouse}, {QStringLiteral("gr"), group}, {QStringLiteral("a"), article},
         {QStringLiteral("p"), price}});
    if (inStock.toInt() > 0) {
        m_dialogs.warning(kAlreadyInStock.arg(group, article, moneyText(price), warehouseText(warehouse)));
        m_view.focusNewRowColumn(QStringLiteral("Pret_achizitie"));
        throw datastore::Abort();
    }
    for (int row = 0; row < newRows.recordCount(); ++row) {
        if (row == newRows.recNo())
            continue;
        if (newRows.value(row, QStringLiteral("Cod_gestiune")).toString() == warehouse
            && newRows.value(row, QStringLiteral("Cod_grupa")).toString() == group
            && newRows.value(row, QStringLiteral("Cod_articol")).toString() == article
            && newRows.value(row, QStringLiteral("Pret_achizitie")).toDouble() == price) {
            m_dialogs.warning(kAlreadyAdded.arg(group, article, moneyText(price), warehouseText(warehouse)));
            m_view.focusNewRowColumn(QStringLiteral("Pret_achizitie"));
            throw datastore::Abort();
        }
    }
}

void TStockFormLogic::ArticleValidate(const QString& field)
{
    if (m_filling)
        return;
    const QString group = newRows.value(QStringLiteral("Cod_grupa")).toString();
    const QString article = newRows.value(QStringLiteral("Cod_articol")).toString();
    // A group typed before its article is checked with the article.
    if (article.isEmpty())
        return;
    Q_UNUSED(field);
    const QVariant found =
        m_db.scalar(QStringLiteral("SELECT COUNT(*) FROM Catalog WHERE Grupa = :g AND Cod = :c"),
                    {{QStringLiteral("g"), group}, {QStringLiteral("c"), article}});
    if (found.toInt() == 0) {
        m_dialogs.warning(kNotInCatalog.arg(group, article));
        throw datastore::Abort();
    }
}

void TStockFormLogic::ArticleChange()
{
    if (m_filling)
        return;
    fillArticle(newRows.value(QStringLiteral("Cod_grupa")).toString(),
                newRows.value(QStringLiteral("Cod_articol")).toString());
}

bool TStockFormLogic::fillArticle(const QString& group, const QString& code)
{
    const QScopedValueRollback filling(m_filling, true);
    const QStringList fields{QStringLiteral("Denumire"), QStringLiteral("Unitate_masura"),
                             QStringLiteral("Pret_vinzare"), QStringLiteral("Moneda"), QStringLiteral("Cod_bare")};
    QVariantList values;
    if (!code.isEmpty()) {
        datastore::Query q = m_db.query(
            QStringLiteral("SELECT Denumire, Unitate_masura, Pret_vinzare, Moneda, Cod_bare FROM Catalog "
                           "WHERE Grupa = :g AND Cod = :c"),
            {{QStringLiteral("g"), group}, {QStringLiteral("c"), code}});
        if (q.next())
            for (int i = 0; i < fields.size(); ++i)
                values << q.value(i);
    }
    for (int i = 0; i < fields.size(); ++i)
        newRows.setValue(fields[i], values.value(i));
    return !values.isEmpty();
}

void TStockFormLogic::pickInNewRow(const QString& field)
{
    if (!m_editing)
        return;
    if (field.compare(QLatin1String("Cod_grupa"), Qt::CaseInsensitive) != 0
        && field.compare(QLatin1String("Cod_articol"), Qt::CaseInsensitive) != 0)
        return;
    const QString group = newRows.recNo() >= 0 ? newRows.value(QStringLiteral("Cod_grupa")).toString() : QString();
    const QString article = newRows.recNo() >= 0 ? newRows.value(QStringLiteral("Cod_articol")).toString() : QString();
    const std::optional<catalogs::ArticlePick> pick = m_view.pickArticles(group, article);
    if (!pick)
        return;
    QVariantHash chosen = pick->current;
    if (chosen.isEmpty() && !pick->selected.isEmpty())
        chosen = pick->selected.first();
    if (chosen.isEmpty())
        return;
    try {
        if (newRows.recNo() < 0)
            newRows.append();
        else if (!newRows.isEditing())
            newRows.edit();
        {
            const QScopedValueRollback filling(m_filling, true);
            newRows.setValue(QStringLiteral("Cod_grupa"), chosen.value(QStringLiteral("Grupa")));
            newRows.setValue(QStringLiteral("Cod_articol"), chosen.value(QStringLiteral("Cod")));
        }
        fillArticle(newRows.value(QStringLiteral("Cod_grupa")).toString(),
                    newRows.value(QStringLiteral("Cod_articol")).toString());
    } catch (...) {
        ui::reportDataError(m_dialogs, std::current_exception());
        return;
    }
    m_view.focusNewRowColumn(QStringLiteral("Pret_achizitie"));
}

QString TStockFormLogic::moneyText(double value) const
{
    return common::formatFloat(QStringLiteral("#,##0.") + QString(m_parameters.nrZecimaleLei, u'0'), value, m_formats);
}

} // namespace stock
