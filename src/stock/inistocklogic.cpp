#include "inistocklogic.h"

#include "docinlogic.h"
#include "numbering.h"

#include "catalogs/rates.h"
#include "common/rounding.h"
#include "datastore/dberror.h"
#include "ui/datagrid.h"

#include <QScopedValueRollback>

#include <cmath>

namespace stock {

using datastore::Abort;
using datastore::DatasetState;
using datastore::FieldType;

const QString TIniStockFormLogic::kIncompleteLine = QStringLiteral("Completati toate datele articolului!");
const QString TIniStockFormLogic::kAccessError = QStringLiteral("Eroare de acces la datele stocurilor initiale!\r<%1>");
const QString TIniStockFormLogic::kDocumentType = QStringLiteral("XXX");
const QString TIniStockFormLogic::kDocumentExplanation = QStringLiteral("Introducere stocuri initiale");

namespace {

const QString kLineTable = QStringLiteral("ITEM_IN");

QString text(const datastore::Dataset& d, const char* field)
{
    return d.value(QLatin1String(field)).toString();
}

} // namespace

TIniStockFormLogic::TIniStockFormLogic(datastore::Database& db, const common::Parameters& parameters,
                                       const common::Formats& formats, common::Dialogs& dialogs, IniStockView& view)
    : header(db, QStringLiteral("Doc_in.DB")), items(db, QStringLiteral("Item_in.DB")), m_db(db),
      m_parameters(parameters), m_formats(formats), m_dialogs(dialogs), m_view(view),
      m_ledger(db, parameters, formats, dialogs)
{
    m_ledger.showProgress = [this](const QString& t) { m_view.showProgress(t); };

    header.setFilter(QStringLiteral("Contor = -1"));

    items.setOrderBy(QStringLiteral("Contor, Contor_secundar"));
    items.addLookupField(QStringLiteral("Buget"), QStringLiteral("Agent"), QStringLiteral("Client.DB"),
                         QStringLiteral("Cod_client"), QStringLiteral("Nume_client"));
    items.addCalculatedField(QStringLiteral("Denumire"), FieldType::Text, 511);
    items.addCalculatedField(QStringLiteral("UM"), FieldType::Text, 4);
    items.addCalculatedField(QStringLiteral("Val"), FieldType::Float);
    items.onCalcFields = [this] { ItemsCalcFields(); };
    items.onNewRecord = [this] { ItemsNewRecord(); };
    items.afterInsert = [this] {
        if (!m_insertingSelection)
            m_view.focusLineColumn(QStringLiteral("Cod_articol"));
    };
    items.afterOpen = [this] { rememberCursor(); };
    items.afterScroll = [this] { rememberCursor(); };
    items.afterPost = [this] { rememberCursor(); };
    items.beforePost = [this] { ItemsBeforePost(); };
    items.field(QStringLiteral("Cod_grupa")).onValidate = [this] {
        if (!m_pickerFilling)
            ArticleValidate();
    };
    items.field(QStringLiteral("Cod_articol")).onValidate = [this] {
        if (!m_pickerFilling)
            ArticleValidate();
    };
    items.field(QStringLiteral("Pret_achizitie_lei")).onChange = [this] {
        PriceChange();
        ComputeVat();
    };
    items.field(QStringLiteral("Cantitate")).onChange = [this] { ComputeVat(); };

    // The stock follows the lines; installed after the window's own handlers.
    m_posting = std::make_unique<LinePosting>(items, LineKind::Initial, m_ledger, static_cast<PostingWindow*>(this));
}

TIniStockFormLogic::~TIniStockFormLogic() = default;

// ---- opening and closing --------------------------------------------------------

void TIniStockFormLogic::createDocument()
{
    // Inside the write lock, so two workstations opening at once make one.
    datastore::UnitOfWork work(m_db);
    if (m_db.scalar(QStringLiteral("SELECT COUNT(*) FROM DOC_IN WHERE Contor = :c"), {{QStringLiteral("c"), kCounter}})
            .toInt()
        == 0)
        m_db.exec(QStringLiteral("INSERT INTO DOC_IN (Contor, Tip, Explicatie) VALUES (:c, :t, :e)"),
                  {{QStringLiteral("c"), kCounter}, {QStringLiteral("t"), kDocumentType},
                   {QStringLiteral("e"), kDocumentExplanation}});
    work.commit();
}

void TIniStockFormLogic::openLines()
{
    items.close();
    items.setFilter(QStringLiteral("Cod_Gestiune = :Cod AND Contor < 0"), {{QStringLiteral("Cod"), m_warehouse}});
    items.open();
}

bool TIniStockFormLogic::open()
{
    try {
        m_warehouses.clear();
        datastore::Query q = m_db.query(QStringLiteral("SELECT Cod, Denumire FROM \"Gest.db\" ORDER BY Denumire, Cod"));
        while (q.next())
            m_warehouses << Warehouse{q.value(0).toString(), q.value(1).toString()};
        if (m_warehouse.isEmpty() && !m_warehouses.isEmpty())
            m_warehouse = m_warehouses.first().code;
        createDocument();
        header.open();
        openLines();
    } catch (const std::exception& e) {
        m_dialogs.error(kAccessError.arg(datastore::errorText(e)));
        return false;
    }
    return true;
}

bool TIniStockFormLogic::close()
{
    try {
        items.settle();
        if (header.isOpen() && header.isEditing())
            header.post();
    } catch (...) {
        ui::reportDataError(m_dialogs, std::current_exception());
        return false;
    }
    try {
        items.close();
        header.close();
    } catch (const std::exception& e) {
        m_dialogs.error(datastore::errorText(e));
    }
    return true;
}

bool TIniStockFormLogic::selectWarehouse(const QString& code)
{
    if (code == m_warehouse && items.isOpen())
        return true;
    try {
        items.settle();
    } catch (...) {
        ui::reportDataError(m_dialogs, std::current_exception());
        return false;
    }
    m_warehouse = code;
    try {
        openLines();
    } catch (...) {
        ui::reportDataError(m_dialogs, std::current_exception());
        return false;
    }
    return true;
}

// ---- lines: values ------------------------------------------------------------------

TIniStockFormLogic::Article TIniStockFormLogic::article(const QString& group, const QString& code) const
{
    const QString key = group + QChar(0x1f) + code;
    if (const auto it = m_articles.constFind(key); it != m_articles.constEnd())
        return *it;
    Article a;
    datastore::Query q = m_db.query(QStringLiteral("SELECT Denumire, Descriere, Unitate_masura, Coef_TVA, Cont_marfa "
                                                   "FROM CATALOG WHERE Grupa = :g AND Cod = :c"),
                                    {{QStringLiteral("g"), group}, {QStringLiteral("c"), code}});
    if (q.next()) {
        a.found = true;
        a.name = q.value(0).toString();
        const QString description = q.value(1).toString();
        if (!description.isEmpty())
            a.name += u' ' + description;
        a.unit = q.value(2).toString();
        a.vat = q.value(3).toDouble();
        a.goodsAccount = q.value(4).toString();
    }
    m_articles.insert(key, a);
    return a;
}

void TIniStockFormLogic::ItemsCalcFields()
{
    const Article a = article(text(items, "Cod_grupa"), text(items, "Cod_articol"));
    items.setCalculated(QStringLiteral("Denumire"), a.found ? QVariant(a.name) : QVariant());
    items.setCalculated(QStringLiteral("UM"), a.found ? QVariant(a.unit) : QVariant());
    const QVariant price = items.value(QStringLiteral("Pret_achizitie_lei"));
    const QVariant quantity = items.value(QStringLiteral("Cantitate"));
    items.setCalculated(QStringLiteral("Val"), price.isNull() || quantity.isNull()
                                                   ? QVariant()
                                                   : QVariant(price.toDouble() * quantity.toDouble()));
}

void TIniStockFormLogic::rememberCursor()
{
    if (items.state() == DatasetState::Browse && !items.isEmpty())
        m_cursorGroup = text(items, "Cod_grupa");
}

void TIniStockFormLogic::ItemsNewRecord()
{
    items.setValue(QStringLiteral("Contor"), kCounter);
    items.setValue(QStringLiteral("Contor_secundar"), NextLineNumber(m_db, kLineTable, kCounter));
    items.setValue(QStringLiteral("Cod_gestiune"), m_warehouse);
    items.setValue(QStringLiteral("Serii"), false);
    if (!m_insertingSelection && !m_cursorGroup.isEmpty()) {
        m_pickerFilling = true; // a group alone names no article yet
        try {
            items.setValue(QStringLiteral("Cod_grupa"), m_cursorGroup);
        } catch (...) {
            m_pickerFilling = false;
            throw;
        }
        m_pickerFilling = false;
    }
}

void TIniStockFormLogic::ArticleValidate()
{
    const QString group = text(items, "Cod_grupa");
    const QString code = text(items, "Cod_articol");
    if (group.isEmpty() || code.isEmpty())
        return;
    const Article a = article(group, code);
    if (!a.found) {
        m_dialogs.warning(TDocInFormLogic::kNotInCatalog.arg(group, code));
        throw Abort();
    }
    items.setValue(QStringLiteral("Cont_marfa"), a.goodsAccount);
}

std::optional<double> TIniStockFormLogic::referenceRate(const QDate& date)
{
    if (!date.isValid() || m_parameters.CVal.isEmpty())
        return std::nullopt;
    if (!m_rates)
        m_rates = catalogs::OpenRateTable(m_db);
    if (!catalogs::FindRateAtDate(*m_rates, QStringLiteral("Data"), m_parameters.CVal, date))
        return std::nullopt;
    const double rate = m_rates->value(QStringLiteral("Curs")).toDouble();
    if (!std::isfinite(rate) || rate == 0)
        return std::nullopt;
    return rate;
}

void TIniStockFormLogic::PriceChange()
{
    const QVariant price = items.value(QStringLiteral("Pret_achizitie_lei"));
    if (price.isNull())
        return;
    const QDate date = header.isOpen() && !header.isEmpty() ? header.value(QStringLiteral("Data")).toDate() : QDate();
    if (const std::optional<double> rate = referenceRate(date))
        items.setValue(QStringLiteral("Pret_echiv_USD"), price.toDouble() / *rate);
}

// The VAT of an input line: with "Calc TVA" only invoices carry it, and the
// initial stock is no invoice.
void TIniStockFormLogic::ComputeVat()
{
    if (m_parameters.calcTva) {
        items.setValue(QStringLiteral("TVA"), 0.0);
        return;
    }
    const QVariant price = items.value(QStringLiteral("Pret_achizitie_lei"));
    const QVariant quantity = items.value(QStringLiteral("Cantitate"));
    double vat = 0;
    if (!price.isNull() && !quantity.isNull()) {
        const double rate = article(text(items, "Cod_grupa"), text(items, "Cod_articol")).vat;
        vat = common::roundHalfEven(rate * price.toDouble() * quantity.toDouble()) / 100;
        if (m_parameters.roundTva)
            vat = common::roundHalfEven(vat);
    }
    items.setValue(QStringLiteral("TVA"), vat);
}

void TIniStockFormLogic::ItemsBeforePost()
{
    if (m_insertingSelection)
        return;
    if (text(items, "Cod_gestiune").isEmpty() || text(items, "Cod_grupa").isEmpty() || text(items, "Cod_articol").isEmpty()
        || items.isNull(QStringLiteral("Pret_achizitie_lei")) || items.isNull(QStringLiteral("Cantitate"))) {
        m_dialogs.warning(kIncompleteLine);
        throw Abort();
    }
}

// ---- lines: commands ------------------------------------------------------------------

void TIniStockFormLogic::insertLine()
{
    try {
        items.append();
    } catch (...) {
        ui::reportDataError(m_dialogs, std::current_exception());
    }
}

bool TIniStockFormLogic::deleteLine()
{
    if (!items.isOpen() || items.isEmpty())
        return false;
    try {
        if (items.state() == DatasetState::Insert) {
            items.cancel();
            return true;
        }
        items.remove();
        return true;
    } catch (...) {
        ui::reportDataError(m_dialogs, std::current_exception());
        return false;
    }
}

void TIniStockFormLogic::setArticle(const QString& group, const QString& code)
{
    m_pickerFilling = true;
    try {
        items.setValue(QStringLiteral("Cod_grupa"), group);
        items.setValue(QStringLiteral("Cod_articol"), code);
        m_pickerFilling = false;
        ArticleValidate();
    } catch (...) {
        m_pickerFilling = false;
        throw;
    }
}

void TIniStockFormLogic::pickInColumn(const QString& field)
{
    if (field != u"Cod_grupa" && field != u"Cod_articol")
        return; // other columns have no picker
    try {
        const std::optional<catalogs::ArticlePick> pick =
            m_view.pickArticles(text(items, "Cod_grupa"), text(items, "Cod_articol"));
        if (!pick)
            return;
        const QList<QVariantHash> articles = pick->articles();
        if (articles.isEmpty())
            return;
        if (articles.size() > 1) {
            insertArticles(articles);
            return;
        }
        if (!items.isEditing()) {
            if (items.isEmpty())
                items.append();
            else
                items.edit();
        }
        setArticle(articles.first().value(QStringLiteral("Grupa")).toString(),
                   articles.first().value(QStringLiteral("Cod")).toString());
        m_view.focusLineColumn(QStringLiteral("Cantitate"));
    } catch (...) {
        ui::reportDataError(m_dialogs, std::current_exception());
    }
}

void TIniStockFormLogic::insertArticles(const QList<QVariantHash>& articles)
{
    if (articles.isEmpty() || !items.isOpen())
        return;
    QScopedValueRollback<bool> inserting(m_insertingSelection, true);
    InsertSelectionLines(
        items, *m_posting, kLineTable, kCounter, articles,
        [this](const QVariantHash& a) {
            setArticle(a.value(QStringLiteral("Grupa")).toString(), a.value(QStringLiteral("Cod")).toString());
        },
        m_dialogs, [this](const QString& t) { m_view.showProgress(t); });
}

void TIniStockFormLogic::refreshTick()
{
    m_articles.clear();
    try {
        if (items.isOpen() && !items.isEditing())
            items.refresh();
        if (header.isOpen() && !header.isEditing())
            header.refresh();
    } catch (...) {
        // the next tick tries again; the rows shown stay as they were
    }
}

// ---- look-ups and texts -------------------------------------------------------------

QString TIniStockFormLogic::columnHint(const QString& field) const
{
    if (field == u"Cod_grupa" || field == u"Cod_articol")
        return QStringLiteral("Apasati CTRL-ENTER pentru a selecta articolul din catalog!");
    const QString name = items.isOpen() && !items.isEmpty() ? text(items, "Denumire") : QString();
    if (field == u"Cantitate")
        return QStringLiteral("Specificati stocul initial pentru articolul ") + name + u'!';
    if (field == u"Pret_achizitie_lei")
        return QStringLiteral("Specificati pretul de achizitie la care se gaseste în stoc articolul ") + name + u'!';
    return QStringLiteral("...");
}

QStringList TIniStockFormLogic::budgetNames() const
{
    QStringList names;
    datastore::Query q = m_db.query(QStringLiteral("SELECT Nume_client FROM \"Client.DB\" ORDER BY Nume_client"));
    while (q.next())
        names << q.value(0).toString();
    return names;
}

QVariant TIniStockFormLogic::budgetCodeOf(const QString& name) const
{
    if (name.trimmed().isEmpty())
        return QVariant();
    const QVariant code =
        m_db.scalar(QStringLiteral("SELECT MIN(Cod_client) FROM \"Client.DB\" WHERE Nume_client = :n"),
                    {{QStringLiteral("n"), name}});
    if (!code.isValid() || code.isNull())
        throw datastore::DatasetError(QStringLiteral("'%1' nu exista in catalog").arg(name));
    const int room = items.field(QStringLiteral("Agent")).size;
    if (room > 0 && code.toString().size() > room) {
        m_dialogs.warning(TDocInFormLogic::kBudgetTooLong.arg(code.toString()).arg(room));
        throw Abort();
    }
    return code;
}

QString TIniStockFormLogic::currencyPriceTitle() const
{
    return QStringLiteral("Pret echivalent ") + m_parameters.CVal;
}

} // namespace stock
