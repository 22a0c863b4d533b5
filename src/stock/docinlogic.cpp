#include "docinlogic.h"

#include "inputvat.h"
#include "numbering.h"

#include "common/documenttotals.h"
#include "common/rounding.h"
#include "common/accountsymbol.h"
#include "datastore/dberror.h"
#include "ui/datagrid.h"

#include <QScopedValueRollback>

#include <cmath>

namespace stock {

using datastore::Abort;
using datastore::DatasetState;
using datastore::FieldType;

const QString TDocInFormLogic::kMissingType = QStringLiteral("Completati tipul documentului!");
const QString TDocInFormLogic::kMissingDates =
    QStringLiteral("Completati data inregistrarii, numarul si data documentului!");
const QString TDocInFormLogic::kDateAfterRegistration = QStringLiteral(
    "Data documentului nu poate fi mai mare decît data înregistrarii! (documentul nu poate fi datat în viitor)");
const QString TDocInFormLogic::kIncompleteLine =
    QStringLiteral("Completati toate datele articolului: cod, cantitate, pret achizitie, buget (daca este cazul)!");
const QString TDocInFormLogic::kIncompleteAllocation = QStringLiteral("Completati toate datele inregistrarii!");
const QString TDocInFormLogic::kNotInCatalog = QStringLiteral(
    "Articolul <%1.%2> nu exista în catalog! Apasati CTRL-ENTER pentru a introduce articolul în catalog!");
const QString TDocInFormLogic::kBarCodeUnknown =
    QStringLiteral("Completati in catalogul de articole Codul de bare corespunzator articolului selectat!");
const QString TDocInFormLogic::kValueBeforeQuantity =
    QStringLiteral("Completati cantitatea inainte de a inregistra valoarea!");
const QString TDocInFormLogic::kBadAccount = QString::fromUtf8(common::kAccountSymbolMessage);
const QString TDocInFormLogic::kBudgetTooLong = QStringLiteral(
    "Codul bugetului <%1> are mai mult de %2 caractere si nu poate fi folosit pe o linie de document "
    "(doua bugete ar ajunge sa aiba acelasi stoc). Alegeti un buget cu un cod de cel mult %2 caractere!");
namespace {

const QString kLineTable = QStringLiteral("ITEM_IN");

QString text(const datastore::Dataset& d, const char* field)
{
    return d.value(QLatin1String(field)).toString();
}

} // namespace

TDocInFormLogic::TDocInFormLogic(datastore::Database& db, const common::Parameters& parameters,
                                 const common::Formats& formats, common::Dialogs& dialogs, DocInView& view,
                                 QString userInitials)
    : DocumentWindowLogic(db, dialogs, view, {CounterField::In, DocumentSide::Input, QStringLiteral("Pret_achizitie_lei")},
                          docs, items, {&allocations}),
      docs(db, QStringLiteral("Doc_in.DB")), items(db, QStringLiteral("Item_in.DB")),
      allocations(db, QStringLiteral("Alocatie.DB")), m_db(db), m_parameters(parameters), m_formats(formats),
      m_view(view), m_userInitials(std::move(userInitials)),
      m_ledger(db, parameters, formats, dialogs), m_orders(db, parameters)
{
    m_ledger.showProgress = [this](const QString& t) { m_view.showProgress(t); };

    docs.setFilter(QStringLiteral("Contor >= 1"));
    docs.setOrderBy(QStringLiteral("Contor"));
    docs.onNewRecord = [this] { DocsNewRecord(); };
    docs.beforePost = [this] { DocsBeforePost(); };
    docs.afterPost = [this] { DocsAfterPost(); };
    docs.afterScroll = [this] { DocsAfterScroll(); };
    docs.afterOpen = [this] { DocsAfterScroll(); };
    docs.afterCancel = [this] { DocsAfterScroll(); };
    docs.afterInsert = [this] { DocsAfterScroll(); };
    docs.whileDeleting = [this] { DocsWhileDeleting(); };
    docs.afterDelete = [this] {
        showPendingMessages();
        DocsAfterScroll();
    };
    docs.onDeleteError = [this] { showPendingMessages(); };
    docs.field(QStringLiteral("Tip")).onChange = [this] { TipChange(); };

    items.setMaster(&docs, {{QStringLiteral("Contor"), QStringLiteral("Contor")}});
    items.setOrderBy(QStringLiteral("Contor_secundar"));
    items.addLookupField(QStringLiteral("GestName"), QStringLiteral("Cod_gestiune"), QStringLiteral("Gest.db"),
                         QStringLiteral("Cod"), QStringLiteral("Denumire"));
    items.addLookupField(QStringLiteral("Buget"), QStringLiteral("Agent"), QStringLiteral("Client.DB"),
                         QStringLiteral("Cod_client"), QStringLiteral("Nume_client"));
    items.addCalculatedField(QStringLiteral("Denumire"), FieldType::Text, 511);
    items.addCalculatedField(QStringLiteral("UM"), FieldType::Text, 4);
    items.addCalculatedField(QStringLiteral("Valoare"), FieldType::Float);
    items.addCalculatedField(QStringLiteral("Comanda"), FieldType::Text, 40);
    items.onCalcFields = [this] { ItemsCalcFields(); };
    items.onNewRecord = [this] { ItemsNewRecord(); };
    items.afterInsert = [this] {
        takeLineState();
        if (m_insertingSelection)
            return;
        if (m_parameters.CodBare)
            m_view.focusLineColumn(QStringLiteral("Cod_bare"));
        else if (m_parameters.CLot || m_parameters.CCom)
            m_view.focusLineColumn(QStringLiteral("Cantitate"));
        else
            m_view.focusLineColumn(QStringLiteral("Cod_grupa"));
    };
    items.afterEdit = [this] { takeLineState(); };
    items.beforePost = [this] { ItemsBeforePost(); };
    items.beforeWrite = [this] { ItemsBeforeWrite(); };
    items.whilePosting = [this] { ItemsWhilePosting(); };
    items.afterPost = [this] { ItemsAfterPost(); };
    items.onPostError = [this] { ItemsPostError(); };
    items.whileDeleting = [this] { ItemsWhileDeleting(); };
    items.afterDelete = [this] { showPendingMessages(); };
    items.onDeleteError = [this] { showPendingMessages(); };
    items.field(QStringLiteral("Cod_grupa")).onValidate = [this] {
        if (!m_pickerFilling)
            ArticleValidate();
    };
    items.field(QStringLiteral("Cod_articol")).onValidate = [this] { ArticleValidate(); };
    items.field(QStringLiteral("Cod_bare")).onChange = [this] { BarCodeChange(); };
    items.field(QStringLiteral("Pret_achizitie_valuta")).onChange = [this] { NetPriceChange(); };
    items.field(QStringLiteral("Valuta")).onChange = [this] {
        if (!items.isNull(QStringLiteral("Pret_achizitie_valuta")))
            NetPriceChange();
    };
    items.field(QStringLiteral("Pret_echiv_USD")).onChange = [this] { ValueChange(); };
    items.field(QStringLiteral("Cantitate")).onChange = [this] { ComputeVat(); };
    items.field(QStringLiteral("Pret_achizitie_lei")).onChange = [this] { ComputeVat(); };
    items.field(QStringLiteral("Cont_TVA_Intrari")).onValidate = [this] {
        AccountValidate(QStringLiteral("Cont_TVA_Intrari"));
    };
    items.field(QStringLiteral("Cont_marfa")).onValidate = [this] { AccountValidate(QStringLiteral("Cont_marfa")); };

    allocations.setMaster(&items, {{QStringLiteral("Contor"), QStringLiteral("Contor")},
                                   {QStringLiteral("Contor_secundar"), QStringLiteral("Contor_secundar")}});
    allocations.setOrderBy(QStringLiteral("CodAlocatie"));
    allocations.addLookupField(QStringLiteral("TipAlocatie"), QStringLiteral("CodAlocatie"),
                               QStringLiteral("TipAlocatie.DB"), QStringLiteral("Cod"), QStringLiteral("Denumire"));
    allocations.beforePost = [this] { AllocationsBeforePost(); };

    // The stock follows the lines; installed after the window's own handlers.
    m_posting = std::make_unique<LinePosting>(items, LineKind::Input, m_ledger, static_cast<PostingWindow*>(this));
}

TDocInFormLogic::~TDocInFormLogic() = default;

// ---- opening and closing --------------------------------------------------------

bool TDocInFormLogic::open(const QDate& today)
{
    setDefaultPeriod(today);
    try {
        m_defaultWarehouse = m_db.scalar(QStringLiteral("SELECT MIN(Cod) FROM \"Gest.db\"")).toString();
        docs.open();
        items.open();
        allocations.open();
    } catch (const std::exception& e) {
        m_dialogs.error(kAccessError.arg(datastore::errorText(e)));
        return false;
    }
    m_view.setTitle(title());
    if (docs.isEmpty())
        newDocument();
    else
        docs.last();
    updateTypeDependent();
    return true;
}

// ---- the document -----------------------------------------------------------------

void TDocInFormLogic::DocsNewRecord()
{
    docs.setValue(QStringLiteral("Contor"), m_newCounter.value_or(0));
    if (m_parameters.CAutoLot) {
        docs.setValue(QStringLiteral("Numar"), m_newCounter.value_or(0));
        docs.setValue(QStringLiteral("Tip"), QStringLiteral("NR"));
    }
    docs.setValue(QStringLiteral("Data_inregistrarii"), m_defaultRegistration);
    docs.setValue(QStringLiteral("Data"), m_defaultRegistration);
}

void TDocInFormLogic::DocsBeforePost()
{
    if (text(docs, "Tip").trimmed().isEmpty()) {
        m_dialogs.warning(kMissingType);
        m_view.focusHeaderField(QStringLiteral("Tip"));
        throw Abort();
    }
    const QVariant registered = docs.value(QStringLiteral("Data_inregistrarii"));
    const QVariant dated = docs.value(QStringLiteral("Data"));
    if (registered.isNull() || dated.isNull() || docs.isNull(QStringLiteral("Numar"))) {
        m_dialogs.warning(kMissingDates);
        m_view.focusHeaderField(QStringLiteral("Data_inregistrarii"));
        throw Abort();
    }
    if (dated.toDate() > registered.toDate()) {
        m_dialogs.warning(kDateAfterRegistration);
        m_view.focusHeaderField(QStringLiteral("Data"));
        throw Abort();
    }
    // Written as its first line begins, a header has no lines yet.
    if (!docs.isPostingForDetail()
        && m_db.scalar(QStringLiteral("SELECT COUNT(*) FROM ITEM_IN WHERE Contor = :c"),
                       {{QStringLiteral("c"), docs.value(QStringLiteral("Contor"))}})
                   .toInt()
            == 0) {
        m_dialogs.warning(kNoLines);
        throw Abort();
    }
}

void TDocInFormLogic::DocsAfterPost()
{
    m_defaultRegistration = docs.value(QStringLiteral("Data_inregistrarii")).toDate();
    m_newCounter.reset();
}

void TDocInFormLogic::DocsAfterScroll()
{
    updateTypeDependent();
}

QString TDocInFormLogic::documentType() const
{
    return docs.isOpen() ? text(docs, "Tip").trimmed() : QString();
}

bool TDocInFormLogic::allocationsVisible() const
{
    return documentType() == u"LZ";
}

QString TDocInFormLogic::printCaption() const
{
    return allocationsVisible() ? QStringLiteral("L &Zilnica") : QStringLiteral("&Receptie");
}

void TDocInFormLogic::updateTypeDependent()
{
    m_view.showAllocations(allocationsVisible());
    m_view.setPrintCaption(printCaption());
}

void TDocInFormLogic::TipChange()
{
    updateTypeDependent();
    if (documentType() == u"LZ" && docs.isNull(QStringLiteral("Numar"))) {
        const QDate registered = docs.value(QStringLiteral("Data_inregistrarii")).toDate();
        const int year = registered.isValid() ? registered.year() : m_defaultRegistration.year();
        docs.setValue(QStringLiteral("Numar"), ProposeLzNumber(m_db, year));
    }
}

// Inside the unit of work that deletes the header: every line is reversed,
// then the lines and everything that hangs on them go. One refusal (goods
// already issued) rolls the whole document back.
void TDocInFormLogic::DocsWhileDeleting()
{
    const QVariant contor = docs.value(QStringLiteral("Contor"));
    const QVariantHash key{{QStringLiteral("c"), contor}};
    struct Line {
        ItemSnapshot stock;
        OrderLineRef order;
    };
    std::vector<Line> lines;
    {
        datastore::Query q = m_db.query(
            QStringLiteral("SELECT Cod_gestiune, Cod_grupa, Cod_articol, Pret_achizitie_lei, Lot, Agent, Cantitate, "
                           "Cod_bare, Contor_Com FROM ITEM_IN WHERE Contor = :c ORDER BY Contor_secundar"),
            key);
        while (q.next()) {
            Line l;
            l.stock.key = {q.value(0).toString(), q.value(1).toString(), q.value(2).toString(),
                           q.value(3).toDouble(),  q.value(4).toString(), q.value(5).toString()};
            l.stock.quantity = q.value(6).toDouble();
            l.stock.barCode = q.value(7).toString();
            l.order = {q.value(8), l.stock.key.group, l.stock.key.article, l.stock.key.budget, l.stock.quantity};
            lines.push_back(std::move(l));
        }
    }
    for (const Line& l : lines) {
        if (l.stock.quantity != 0)
            m_ledger.AdjustStockIn(l.stock.key, -l.stock.quantity, l.stock.barCode);
        if (m_parameters.CCom && l.order.hasOrder() && l.order.quantity != 0)
            m_orders.UpdateOrderBalance(l.order.group, l.order.article, -l.order.quantity, l.order.order,
                                        l.order.budget);
    }
    m_db.exec(QStringLiteral("DELETE FROM \"Serie.db\" WHERE Contor = :c"), key);
    m_db.exec(QStringLiteral("DELETE FROM \"Alocatie.DB\" WHERE Contor = :c"), key);
    m_db.exec(QStringLiteral("DELETE FROM ITEM_IN WHERE Contor = :c"), key);
    GiveBackCounter(m_db, CounterField::In, contor.toDouble());
}

void TDocInFormLogic::showPendingMessages()
{
    m_ledger.flushMessages();
    if (const std::optional<QString> message = m_orders.takeMessage()) {
        m_dialogs.warning(*message);
        m_view.focusLineColumn(QStringLiteral("Cantitate"));
    }
}

bool TDocInFormLogic::priceIncludesVat(const QVariant& netPrice) const
{
    return m_parameters.CPretFaraTva && !netPrice.isNull();
}

// Every line's value rounded once to the decimals of lei, the totals the sums
// of those values. A line priced from its price without VAT is valued with
// its VAT inside: the document adds only the VAT of the other lines.
void TDocInFormLogic::showTotals()
{
    QList<common::PricedLine> lines;
    double vatOutsidePrices = 0;
    for (int row = 0; row < items.recordCount(); ++row) {
        common::PricedLine line;
        line.price = items.value(row, QStringLiteral("Pret_achizitie_lei")).toDouble();
        line.quantity = items.value(row, QStringLiteral("Cantitate")).toDouble();
        line.vat = items.value(row, QStringLiteral("TVA")).toDouble();
        lines.push_back(line);
        if (!priceIncludesVat(items.value(row, QStringLiteral("Pret_achizitie_valuta"))))
            vatOutsidePrices += line.vat;
    }
    const common::DocumentTotals totals = common::totalsOf(common::valuedLines(lines, m_parameters.nrZecimaleLei));
    const double document = common::roundMoney(totals.value + vatOutsidePrices, 9);
    const QString decimals = QString::number(m_parameters.nrZecimaleLei);
    const QString templ = QStringLiteral("Total: Valoare = %.") + decimals + QStringLiteral("n\rTVA = %n\rDocument = %.")
        + decimals + QStringLiteral("n");
    m_dialogs.information(common::formatMessage(templ, {totals.value, totals.vat, document}, m_formats));
}

// ---- period and search --------------------------------------------------------------

QString TDocInFormLogic::title() const
{
    if (!m_periodActive)
        return m_shownAll ? QStringLiteral("Documente de intrare") : QStringLiteral("Intrari produse");
    const QString d = QStringLiteral("d.m.yy");
    return QStringLiteral("Intrari produse ") + common::formatDate(d, m_first, m_formats) + QStringLiteral(" - ")
        + common::formatDate(d, m_last, m_formats);
}

// ---- printing, refresh --------------------------------------------------------------

void TDocInFormLogic::print()
{
    if (!saveDocument() || docs.isEmpty() || docs.state() == DatasetState::Insert)
        return;
    const double contor = docs.value(QStringLiteral("Contor")).toDouble();
    if (documentType() == u"LZ") {
        m_view.printDailyList(contor);
        return;
    }
    m_view.showProgress(QStringLiteral("Parametrii de listare impliciti: Arial, 8, A4, Portret"));
    if (m_view.printSetup())
        m_view.printReceipt(contor, docs.value(QStringLiteral("Data_inregistrarii")).toDate());
}

void TDocInFormLogic::refreshTick()
{
    m_articles.clear();
    m_orderTexts.clear();
    DocumentWindowLogic::refreshTick();
}

void TDocInFormLogic::pickSupplier()
{
    QString code = text(docs, "Furnizor");
    if (!m_view.pickSupplier(code))
        return;
    try {
        if (!docs.isEditing())
            docs.edit();
        docs.setValue(QStringLiteral("Furnizor"), code);
        m_view.focusHeaderField(QStringLiteral("Explicatie"));
    } catch (...) {
        ui::reportDataError(m_dialogs, std::current_exception());
    }
}

// ---- lines: values ------------------------------------------------------------------

TDocInFormLogic::Article TDocInFormLogic::article(const QString& group, const QString& code) const
{
    const QString key = group + QChar(0x1f) + code;
    if (const auto it = m_articles.constFind(key); it != m_articles.constEnd())
        return *it;
    Article a;
    datastore::Query q = m_db.query(
        QStringLiteral("SELECT Denumire, Descriere, Unitate_masura, Coef_TVA, Pret_vinzare, Moneda, Cont_marfa, "
                       "Cont_TVA_Intrari FROM CATALOG WHERE Grupa = :g AND Cod = :c"),
        {{QStringLiteral("g"), group}, {QStringLiteral("c"), code}});
    if (q.next()) {
        a.found = true;
        a.name = q.value(0).toString();
        const QString description = q.value(1).toString();
        if (!description.isEmpty())
            a.name += u' ' + description;
        a.unit = q.value(2).toString();
        a.vat = q.value(3).toDouble();
        a.sellPrice = q.value(4);
        a.currency = q.value(5).toString();
        a.goodsAccount = q.value(6).toString();
        a.vatAccount = q.value(7).toString();
    }
    m_articles.insert(key, a);
    return a;
}

void TDocInFormLogic::ItemsCalcFields()
{
    const Article a = article(text(items, "Cod_grupa"), text(items, "Cod_articol"));
    items.setCalculated(QStringLiteral("Denumire"), a.found ? QVariant(a.name) : QVariant());
    items.setCalculated(QStringLiteral("UM"), a.found ? QVariant(a.unit) : QVariant());
    const QVariant price = items.value(QStringLiteral("Pret_achizitie_lei"));
    const QVariant quantity = items.value(QStringLiteral("Cantitate"));
    items.setCalculated(QStringLiteral("Valoare"),
                        price.isNull() || quantity.isNull()
                            ? QVariant()
                            : QVariant(common::lineValue(quantity.toDouble(), price.toDouble(),
                                                         m_parameters.nrZecimaleLei)));
    const QVariant order = items.value(QStringLiteral("Contor_Com"));
    QVariant orderText;
    if (!order.isNull()) {
        const double contor = order.toDouble();
        auto it = m_orderTexts.constFind(contor);
        if (it == m_orderTexts.constEnd()) {
            datastore::Query q = m_db.query(QStringLiteral("SELECT Numar, Data FROM \"Doc_Com.Db\" WHERE Contor = :c"),
                                            {{QStringLiteral("c"), order}});
            QString text;
            if (q.next())
                text = QString::number(q.value(0).toDouble(), 'f', 0) + u'/'
                    + common::formatDate(QStringLiteral("dd.mm.yyyy"), q.value(1).toDate(), m_formats);
            it = m_orderTexts.insert(contor, text);
        }
        orderText = *it;
    }
    items.setCalculated(QStringLiteral("Comanda"), orderText);
}

void TDocInFormLogic::ItemsNewRecord()
{
    items.setValue(QStringLiteral("Contor"), docs.value(QStringLiteral("Contor")));
    items.setValue(QStringLiteral("Contor_secundar"),
                   NextLineNumber(m_db, kLineTable, docs.value(QStringLiteral("Contor")).toDouble()));
    if (!m_defaultWarehouse.isEmpty())
        items.setValue(QStringLiteral("Cod_gestiune"), m_defaultWarehouse);
    if (!m_userInitials.isEmpty())
        items.setValue(QStringLiteral("Agent"), m_userInitials.left(items.field(QStringLiteral("Agent")).size));
    items.setValue(QStringLiteral("Serii"), false);
}

void TDocInFormLogic::ArticleValidate()
{
    const QString group = text(items, "Cod_grupa");
    const QString code = text(items, "Cod_articol");
    if (group.isEmpty() || code.isEmpty())
        return;
    const Article a = article(group, code);
    if (!a.found) {
        m_dialogs.warning(kNotInCatalog.arg(group, code));
        throw Abort();
    }
    // The catalog's price is a price only when sale prices are fetched; when
    // they are calculated it holds the mark-up percentage.
    if (m_parameters.CGetPret && m_parameters.SellPrice == common::SellPriceMode::Fetch && !a.sellPrice.isNull())
        items.setValue(QStringLiteral("Pret_achizitie_lei"), a.sellPrice);
    items.setValue(QStringLiteral("Cont_TVA_Intrari"), a.vatAccount);
    items.setValue(QStringLiteral("Cont_marfa"), a.goodsAccount);
    items.setValue(QStringLiteral("Valuta"), a.currency);
    AutomaticLot();
    ComputeVat();
}

void TDocInFormLogic::AutomaticLot()
{
    if (!m_parameters.CLot || !m_parameters.CAutoLot || !text(items, "Lot").isEmpty())
        return;
    // The largest lot that is a number, compared as a number, among the
    // receipts of the article on other days.
    QString sql = QStringLiteral("SELECT DISTINCT D1.Lot FROM DOC_IN D, ITEM_IN D1 WHERE D.Contor = D1.Contor "
                                 "AND D1.Cod_grupa = :g AND D1.Cod_articol = :a AND D1.Lot IS NOT NULL");
    QVariantHash params{{QStringLiteral("g"), text(items, "Cod_grupa")},
                        {QStringLiteral("a"), text(items, "Cod_articol")}};
    const QVariant registered = docs.value(QStringLiteral("Data_inregistrarii"));
    if (!registered.isNull()) {
        sql += QStringLiteral(" AND D.Data_inregistrarii <> :d");
        params.insert(QStringLiteral("d"), registered);
    }
    std::optional<double> largest;
    datastore::Query q = m_db.query(sql, params);
    while (q.next()) {
        bool ok = false;
        const double n = q.value(0).toString().trimmed().toDouble(&ok);
        if (ok && std::isfinite(n) && (!largest || n > *largest))
            largest = n;
    }
    if (largest && *largest + 1 < 1e15)
        items.setValue(QStringLiteral("Lot"), QString::number(*largest + 1, 'g', 15));
}

void TDocInFormLogic::BarCodeChange()
{
    if (!m_parameters.CodBare)
        return;
    const QString code = text(items, "Cod_bare");
    if (code.isEmpty()) {
        m_view.focusLineColumn(QStringLiteral("Cod_bare"));
        return;
    }
    datastore::Query q = m_db.query(QStringLiteral("SELECT Grupa, Cod FROM CATALOG WHERE substr(Cod_bare, 1, length(:b)) = :b "
                                                   "ORDER BY Grupa, Cod"),
                                    {{QStringLiteral("b"), code}});
    if (!q.next()) {
        m_dialogs.warning(kBarCodeUnknown);
        m_view.focusLineColumn(QStringLiteral("Cod_grupa"));
        return;
    }
    const QString group = q.value(0).toString();
    const QString article = q.value(1).toString();
    setArticle(group, article);
    m_view.focusLineColumn(QStringLiteral("Cantitate"));
}

void TDocInFormLogic::setArticle(const QString& group, const QString& code)
{
    m_pickerFilling = true;
    try {
        items.setValue(QStringLiteral("Cod_grupa"), group);
        items.setValue(QStringLiteral("Cod_articol"), code);
    } catch (...) {
        m_pickerFilling = false;
        throw;
    }
    m_pickerFilling = false;
}

void TDocInFormLogic::NetPriceChange()
{
    const QVariant net = items.value(QStringLiteral("Pret_achizitie_valuta"));
    if (net.isNull())
        return;
    const double vat = article(text(items, "Cod_grupa"), text(items, "Cod_articol")).vat;
    const double p = net.toDouble();
    items.setValue(QStringLiteral("Pret_achizitie_lei"), p + p * vat / 100);
}

// Value mode: the price is the value over the quantity. A value typed before
// the quantity is refused and the field goes back to 0.
void TDocInFormLogic::ValueChange()
{
    const QVariant value = items.value(QStringLiteral("Pret_echiv_USD"));
    if (value.isNull() || value.toDouble() == 0)
        return;
    const QVariant quantity = items.value(QStringLiteral("Cantitate"));
    if (quantity.isNull() || quantity.toDouble() == 0) {
        m_dialogs.warning(kValueBeforeQuantity);
        items.setValue(QStringLiteral("Pret_echiv_USD"), 0.0);
        throw Abort();
    }
    items.setValue(QStringLiteral("Pret_achizitie_lei"), value.toDouble() / quantity.toDouble());
}

void TDocInFormLogic::ComputeVat()
{
    const double rate = article(text(items, "Cod_grupa"), text(items, "Cod_articol")).vat;
    const QVariant price = items.value(QStringLiteral("Pret_achizitie_lei"));
    const QVariant netPrice = items.value(QStringLiteral("Pret_achizitie_valuta"));
    const QVariant quantity = items.value(QStringLiteral("Cantitate"));
    items.setValue(QStringLiteral("TVA"), InputLineVat(m_parameters, documentType(), rate, price, netPrice, quantity));
}

void TDocInFormLogic::AccountValidate(const QString& field)
{
    const QString symbol = items.value(field).toString();
    if (symbol.isEmpty())
        return;
    if (!common::CheckAccountSymbol(symbol).accepted) {
        m_dialogs.warning(kBadAccount);
        throw Abort();
    }
}

// ---- lines: writing -------------------------------------------------------------------

TDocInFormLogic::LineState TDocInFormLogic::currentLineState() const
{
    LineState s;
    s.order = {items.value(QStringLiteral("Contor_Com")), text(items, "Cod_grupa"), text(items, "Cod_articol"),
               text(items, "Agent"), items.value(QStringLiteral("Cantitate")).toDouble()};
    s.serials = {items.value(QStringLiteral("Contor")).toDouble(),
                 items.value(QStringLiteral("Contor_secundar")).toDouble(),
                 text(items, "Cod_grupa"),
                 text(items, "Cod_articol"),
                 items.value(QStringLiteral("Serii")).toBool(),
                 items.value(QStringLiteral("Cantitate")).toDouble()};
    return s;
}

void TDocInFormLogic::takeLineState()
{
    if (items.state() == DatasetState::Insert)
        m_lineBefore = LineState(); // a new line owns nothing yet
    else
        m_lineBefore = currentLineState();
}

bool TDocInFormLogic::lineComplete() const
{
    for (const char* f : {"Cod_gestiune", "Cod_grupa", "Cod_articol"})
        if (text(items, f).isEmpty())
            return false;
    if (items.isNull(QStringLiteral("Pret_achizitie_lei")) || items.isNull(QStringLiteral("Cantitate")))
        return false;
    if (text(items, "Agent").isEmpty()
        && m_db.scalar(QStringLiteral("SELECT COUNT(*) FROM \"Client.DB\"")).toInt() > 0)
        return false;
    return true;
}

void TDocInFormLogic::ItemsBeforePost()
{
    if (m_insertingSelection)
        return;
    if (!lineComplete()) {
        m_dialogs.warning(kIncompleteLine);
        throw Abort();
    }
    if (items.value(QStringLiteral("Serii")).toBool()) {
        const double quantity = items.value(QStringLiteral("Cantitate")).toDouble();
        if (serialRowCount(quantity) < 0) {
            m_dialogs.warning(tooManySerialsMessage(quantity));
            m_view.focusLineColumn(QStringLiteral("Cantitate"));
            throw Abort();
        }
    }
}

// Inside the write, after the line took its number: the order it receives
// against, checked and lowered before anything else is written.
void TDocInFormLogic::ItemsBeforeWrite()
{
    if (m_insertingSelection || !m_parameters.CCom)
        return;
    m_orders.ReconcileLine(m_lineBefore.order, currentLineState().order);
}

// Inside the write, after the stock: the serial rows follow the line.
void TDocInFormLogic::ItemsWhilePosting()
{
    if (m_insertingSelection)
        return;
    SyncSerialRows(m_db, m_lineBefore.serials, currentLineState().serials);
}

void TDocInFormLogic::ItemsAfterPost()
{
    m_defaultWarehouse = text(items, "Cod_gestiune");
    m_lineBefore = currentLineState();
}

void TDocInFormLogic::ItemsPostError()
{
    showPendingMessages();
}

void TDocInFormLogic::ItemsWhileDeleting()
{
    const LineState gone = items.state() == DatasetState::Edit ? m_lineBefore : currentLineState();
    if (m_parameters.CCom && gone.order.hasOrder() && gone.order.quantity != 0)
        m_orders.UpdateOrderBalance(gone.order.group, gone.order.article, -gone.order.quantity, gone.order.order,
                                    gone.order.budget);
    // Rows of the line whatever its flag says: none may stay behind it.
    DeleteSerialRows(m_db, gone.serials.contor, gone.serials.lineNumber);
    m_db.exec(QStringLiteral("DELETE FROM \"Alocatie.DB\" WHERE Contor = :c AND Contor_secundar = :n"),
              {{QStringLiteral("c"), gone.serials.contor}, {QStringLiteral("n"), gone.serials.lineNumber}});
}

void TDocInFormLogic::focusQuantityColumn()
{
    m_view.focusLineColumn(QStringLiteral("Cantitate"));
}

void TDocInFormLogic::AllocationsBeforePost()
{
    if (allocations.isNull(QStringLiteral("CodAlocatie")) || allocations.isNull(QStringLiteral("NrPersoane"))) {
        m_dialogs.warning(kIncompleteAllocation);
        m_view.focusAllocations();
        throw Abort();
    }
}

// ---- lines: commands ------------------------------------------------------------------

void TDocInFormLogic::setLineBudget(const QString& code)
{
    const int room = items.field(QStringLiteral("Agent")).size;
    if (room > 0 && code.size() > room) {
        m_dialogs.warning(kBudgetTooLong.arg(code).arg(room));
        throw Abort();
    }
    if (!items.isEditing())
        items.edit();
    items.setValue(QStringLiteral("Agent"), code);
}

void TDocInFormLogic::focusAfterArticle(bool byNameSearch)
{
    if (byNameSearch && m_parameters.CCom)
        m_view.focusLineColumn(QStringLiteral("Comanda"));
    else
        m_view.focusLineColumn(QStringLiteral("Cantitate"));
}

void TDocInFormLogic::applyPick(const catalogs::ArticlePick& pick, bool byNameSearch)
{
    const QList<QVariantHash> articles = pick.articles();
    if (articles.isEmpty())
        return;
    if (articles.size() > 1) {
        insertArticles(articles);
        return;
    }
    try {
        if (!items.isEditing())
            items.edit();
        setArticle(articles.first().value(QStringLiteral("Grupa")).toString(),
                   articles.first().value(QStringLiteral("Cod")).toString());
        focusAfterArticle(byNameSearch);
    } catch (...) {
        ui::reportDataError(m_dialogs, std::current_exception());
    }
}

void TDocInFormLogic::pickInColumn(const QString& field)
{
    try {
        if (field == u"Cod_gestiune" || field == u"GestName") {
            QString code = text(items, "Cod_gestiune");
            if (!m_view.pickWarehouse(code))
                return;
            if (!items.isEditing())
                items.edit();
            items.setValue(QStringLiteral("Cod_gestiune"), code);
            m_view.focusLineColumn(m_parameters.CodBare ? QStringLiteral("Cod_bare") : QStringLiteral("Cod_grupa"));
        } else if (field == u"Cod_grupa" || field == u"Cod_articol") {
            if (const std::optional<catalogs::ArticlePick> pick =
                    m_view.pickArticles(text(items, "Cod_grupa"), text(items, "Cod_articol")))
                applyPick(*pick, false);
        } else if (field == u"Agent" || field == u"Buget") {
            QString code = text(items, "Agent");
            if (m_view.pickBudget(code))
                setLineBudget(code);
        }
        // "Comanda": the order lines are picked by the purchase orders' own window.
    } catch (...) {
        ui::reportDataError(m_dialogs, std::current_exception());
    }
}

void TDocInFormLogic::selectArticleByName()
{
    if (const std::optional<catalogs::ArticlePick> pick = m_view.searchArticlesByName())
        applyPick(*pick, true);
}

void TDocInFormLogic::insertArticles(const QList<QVariantHash>& articles)
{
    if (articles.isEmpty() || !docs.isOpen())
        return;
    // The warehouse of the line that was current (being typed or written).
    QString warehouse = text(items, "Cod_gestiune");
    if (warehouse.isEmpty())
        warehouse = m_defaultWarehouse;
    QScopedValueRollback<bool> inserting(m_insertingSelection, true);
    InsertSelectionLines(
        items, *m_posting, kLineTable, docs.value(QStringLiteral("Contor")).toDouble(), articles,
        [&](const QVariantHash& a) {
            if (!warehouse.isEmpty())
                items.setValue(QStringLiteral("Cod_gestiune"), warehouse);
            setArticle(a.value(QStringLiteral("Grupa")).toString(), a.value(QStringLiteral("Cod")).toString());
        },
        m_dialogs, [this](const QString& t) { m_view.showProgress(t); });
}

// ---- look-ups for the window ------------------------------------------------------

QStringList TDocInFormLogic::budgetNames() const
{
    return columnValues(m_db, QStringLiteral("SELECT Nume_client FROM \"Client.DB\" ORDER BY Nume_client"));
}

QStringList TDocInFormLogic::supplierNames() const
{
    return columnValues(m_db, QStringLiteral("SELECT Nume_furnizor FROM \"Furn.DB\" ORDER BY Nume_furnizor"));
}

QStringList TDocInFormLogic::currencies() const
{
    return columnValues(m_db, QStringLiteral("SELECT DISTINCT Moneda FROM \"Valuta.db\" ORDER BY Moneda"));
}

QStringList TDocInFormLogic::allocationTypeNames() const
{
    return columnValues(m_db, QStringLiteral("SELECT Denumire FROM \"TipAlocatie.DB\" ORDER BY Denumire"));
}

QVariant TDocInFormLogic::budgetCodeOf(const QString& name) const
{
    const QVariant code =
        codeOfName(m_db, QStringLiteral("SELECT MIN(Cod_client) FROM \"Client.DB\" WHERE Nume_client = :n"), name);
    const int room = items.field(QStringLiteral("Agent")).size;
    if (!code.isNull() && room > 0 && code.toString().size() > room) {
        m_dialogs.warning(kBudgetTooLong.arg(code.toString()).arg(room));
        throw Abort();
    }
    return code;
}

QVariant TDocInFormLogic::supplierCodeOf(const QString& name) const
{
    return codeOfName(m_db, QStringLiteral("SELECT MIN(Cod_furnizor) FROM \"Furn.DB\" WHERE Nume_furnizor = :n"), name);
}

QVariant TDocInFormLogic::allocationTypeOf(const QString& name) const
{
    return codeOfName(m_db, QStringLiteral("SELECT MIN(Cod) FROM \"TipAlocatie.DB\" WHERE Denumire = :n"), name);
}

QString TDocInFormLogic::columnHint(const QString& field)
{
    if (field == u"Cod_gestiune" || field == u"GestName")
        return QStringLiteral("Apasati CTRL-ENTER pentru a selecta gestiunea din catalog!");
    if (field == u"Cod_grupa" || field == u"Cod_articol")
        return QStringLiteral(
            "Apasati CTRL-ENTER pentru a selecta articolul din catalog sau CTRL-G pentru cautare in catalog !");
    return QStringLiteral("...");
}

QString TDocInFormLogic::headerHint(const QString& field)
{
    if (field == u"Tip")
        return QStringLiteral(
            "Specificati tipul documentului (factura, aviz de expeditie, nota de receptie, lista zilnica, etc.");
    if (field == u"Furnizor")
        return QStringLiteral("Selectati furnizorul din lista !");
    if (field == u"Data_inregistrarii")
        return QStringLiteral("Specificati data la care efectuati înregistrarea documentului !");
    if (field == u"Numar" || field == u"Data")
        return QStringLiteral("Specificati numarul si data documentului de intrare în gestiune!");
    return QString();
}

void AttachDocInMenus(QObject* window, datastore::Dataset& header, datastore::Dataset& lines)
{
    Q_UNUSED(window);
    Q_UNUSED(header);
    Q_UNUSED(lines);
}

} // namespace stock
