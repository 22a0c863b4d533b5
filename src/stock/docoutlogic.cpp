#include "docoutlogic.h"

#include "numbering.h"
#include "outputprints.h"

#include "common/documenttotals.h"
#include "common/numberlimits.h"
#include "common/rounding.h"
#include "datastore/dberror.h"
#include "ui/datagrid.h"

#include <cmath>

namespace stock {

using datastore::Abort;
using datastore::DatasetState;
using datastore::FieldType;

const QString TDocOutFormLogic::kMissingType = QStringLiteral("Completati tipul documentului!");
const QString TDocOutFormLogic::kMissingDates =
    QStringLiteral("Completati data inregistrarii, numarul si data documentului!");
const QString TDocOutFormLogic::kDateAfterRegistration = QStringLiteral(
    "Data documentului nu poate fi mai mare decît data înregistrarii! (documentul nu poate fi datat în viitor)");
const QString TDocOutFormLogic::kDueBeforeDate =
    QStringLiteral("Data scadentei platii nu poate fi mai mica decit data documentului!");
const QString TDocOutFormLogic::kPaidAboveTotal =
    QStringLiteral("Valoarea achitata (%m) este mai mare decît valoarea facturii (%m)!\r,Continuati astfel ?");
const QString TDocOutFormLogic::kPaidInvalid = QStringLiteral(
    "Suma achitata <%1> nu este corecta: specificati o valoare numerica pozitiva sau zero!");
const QString TDocOutFormLogic::kIncompleteLine = QStringLiteral("Completati toate datele articolului!");
const QString TDocOutFormLogic::kWarehouseNotInCatalog = QStringLiteral(
    "Gestiunea <%1> nu figureaza în catalog. Apasati Ctrl-Enter pentru a selecta din catalog !");
const QString TDocOutFormLogic::kNoStock = QStringLiteral(
    "Articolul <%s.%s> nu are stoc în gestiunea <%s> ! Apasati CTRL-ENTER pentru a selecta din stocul existent!!");
const QString TDocOutFormLogic::kNoStockAtPrice = QStringLiteral(
    "Articolul <%s.%s> nu are stoc la pret de achizitie de %m în gestiunea <%s> Apasati CTRL-ENTER pentru a "
    "selecta articolul din stocul existent!!");
const QString TDocOutFormLogic::kReturns =
    QStringLiteral("Documentele retur se introduc la meniul Documente de retur / Retur");
const QString TDocOutFormLogic::kTotals = QStringLiteral(
    "Total:\r Achizitie = %n;\rVînzare = %n;\rTVA = %n\rVînzare in valuta = %n;\rDocument = %n");
const QString TDocOutFormLogic::kMarkPaid = QStringLiteral("\rDoriti sa marcati documentul ca achitat integral?");
const QString TDocOutFormLogic::kNoSalePrice = QStringLiteral(
    "Factura contine articole fara pret de vînzare (%1): vor fi listate cu pretul si valoarea zero.\r"
    "Continuati listarea?");
const QString TDocOutFormLogic::kNegativeSalePrice =
    QStringLiteral("Pretul de vînzare nu poate fi negativ! Introduceti un pret pozitiv sau zero.");
const QString TDocOutFormLogic::kDiscountWithoutLines =
    QStringLiteral("Aplicati discount-ul numai dupa ce completati factura!");
const QString TDocOutFormLogic::kGridAccessError = QStringLiteral("Eroare de acces la grila de discount!\r%1>");
const QString TDocOutFormLogic::kDiscountHint =
    QStringLiteral("Modifica preturile de vînzare cu discount-ul specificat");
const QString TDocOutFormLogic::kComputing = QStringLiteral(" Calculez...");
const QString TDocOutFormLogic::kDiscountDone = QStringLiteral("OK. Aplicarea discount-ului s-a încheiat.");
const QString TDocOutFormLogic::kTransferHint = QStringLiteral("Operare tranferuri");
const QString TDocOutFormLogic::kTransferMenuHint =
    QStringLiteral("Genereaza un document de intrare echivalent in alta gestiune");
namespace {

const QString kLineTable = QStringLiteral("ITEM_OUT");

QString text(const datastore::Dataset& d, const char* field)
{
    return d.value(QLatin1String(field)).toString();
}

bool paysAtIssue(const QString& type)
{
    return IsFiscalInvoice(type);
}

} // namespace

TDocOutFormLogic::TDocOutFormLogic(datastore::Database& db, const common::Parameters& parameters,
                                   const common::Formats& formats, common::Dialogs& dialogs, DocOutView& view,
                                   QString userInitials)
    : DocumentWindowLogic(db, dialogs, view, {CounterField::Out, DocumentSide::Output, QStringLiteral("Pret_achizitie")},
                          docs, items),
      docs(db, QStringLiteral("Doc_out.DB")), items(db, QStringLiteral("Item_out.DB")), m_db(db),
      m_parameters(parameters), m_formats(formats), m_view(view),
      m_userInitials(std::move(userInitials)), m_ledger(db, parameters, formats, dialogs),
      m_pricing(db, parameters)
{
    m_ledger.showProgress = [this](const QString& t) { m_view.showProgress(t); };

    docs.setFilter(QStringLiteral("Contor >= 1"));
    docs.setOrderBy(QStringLiteral("Contor"));
    docs.addLookupField(QStringLiteral("DenCln"), QStringLiteral("Client"), QStringLiteral("Gest.db"),
                        QStringLiteral("Cod"), QStringLiteral("Denumire"));
    docs.addLookupField(QStringLiteral("Beneficiar"), QStringLiteral("Agent"), QStringLiteral("User.db"),
                        QStringLiteral("Init"), QStringLiteral("Name"));
    docs.onNewRecord = [this] { DocsNewRecord(); };
    docs.beforePost = [this] { DocsBeforePost(); };
    docs.beforeWrite = [this] { DocsBeforeWrite(); };
    docs.afterPost = [this] { DocsAfterPost(); };
    docs.afterScroll = [this] { updateTypeDependent(); };
    docs.afterOpen = [this] { updateTypeDependent(); };
    docs.afterCancel = [this] { updateTypeDependent(); };
    docs.afterInsert = [this] { updateTypeDependent(); };
    docs.whileDeleting = [this] { DocsWhileDeleting(); };
    docs.afterDelete = [this] {
        showPendingMessages();
        updateTypeDependent();
    };
    docs.onDeleteError = [this] { showPendingMessages(); };
    docs.field(QStringLiteral("Tip")).onChange = [this] { TipChange(); };
    docs.field(QStringLiteral("Client")).onValidate = [this] { ClientValidate(); };
    docs.field(QStringLiteral("Data_inregistrarii")).onChange = [this] { RegistrationDateChange(); };

    items.setMaster(&docs, {{QStringLiteral("Contor"), QStringLiteral("Contor")}});
    items.setOrderBy(QStringLiteral("Contor_secundar"));
    items.addLookupField(QStringLiteral("GestName"), QStringLiteral("Cod_gestiune"), QStringLiteral("Gest.db"),
                         QStringLiteral("Cod"), QStringLiteral("Denumire"));
    items.addLookupField(QStringLiteral("Buget"), QStringLiteral("Agent"), QStringLiteral("Client.DB"),
                         QStringLiteral("Cod_client"), QStringLiteral("Nume_client"));
    items.addCalculatedField(QStringLiteral("Denumire"), FieldType::Text, 255);
    items.addCalculatedField(QStringLiteral("UM"), FieldType::Text, 4);
    items.addCalculatedField(QStringLiteral("Val"), FieldType::Float);
    items.onCalcFields = [this] { ItemsCalcFields(); };
    items.onNewRecord = [this] { ItemsNewRecord(); };
    items.afterInsert = [this] { m_view.focusLineColumn(QStringLiteral("Cod_articol")); };
    items.beforePost = [this] { ItemsBeforePost(); };
    items.afterPost = [this] { ItemsAfterPost(); };
    items.onPostError = [this] { showPendingMessages(); };
    items.afterDelete = [this] { showPendingMessages(); };
    items.onDeleteError = [this] { showPendingMessages(); };
    items.field(QStringLiteral("Cod_grupa")).onValidate = [this] { ArticleValidate(); };
    items.field(QStringLiteral("Cod_articol")).onValidate = [this] { ArticleValidate(); };
    items.field(QStringLiteral("Cod_grupa")).onChange = [this] { ArticleChange(); };
    items.field(QStringLiteral("Cod_articol")).onChange = [this] { ArticleChange(); };
    items.field(QStringLiteral("Pret_achizitie")).onValidate = [this] { PriceValidate(); };
    items.field(QStringLiteral("Pret_achizitie")).onChange = [this] { AcquisitionPriceChange(); };
    items.field(QStringLiteral("Agent")).onChange = [this] { BudgetChange(); };
    items.field(QStringLiteral("Cantitate")).onChange = [this] { ComputeLineTaxes(); };
    items.field(QStringLiteral("Pret_vinzare")).onValidate = [this] { SalePriceValidate(); };
    items.field(QStringLiteral("Pret_vinzare")).onChange = [this] { ComputeCurrencyPrice(); };

    // The stock follows the lines; installed after the window's own handlers.
    m_posting = std::make_unique<LinePosting>(items, LineKind::Output, m_ledger, static_cast<PostingWindow*>(this));
}

TDocOutFormLogic::~TDocOutFormLogic() = default;

// ---- opening and closing --------------------------------------------------------

bool TDocOutFormLogic::open(const QDate& today)
{
    setDefaultPeriod(today);
    m_ledger.AskOtherPrice = true;
    try {
        // Lines of quantity 0 take nothing from the stock. This window never
        // writes one (a line needs a quantity), so those found here were left
        // by a generated document or an interrupted entry, never by a
        // document someone is typing; one statement removes them all.
        m_db.exec(QStringLiteral("DELETE FROM ITEM_OUT WHERE Cantitate = 0"));
        m_defaultWarehouse = m_db.scalar(QStringLiteral("SELECT MIN(Cod) FROM \"Gest.db\"")).toString();
        docs.open();
        items.open();
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

void TDocOutFormLogic::DocsNewRecord()
{
    docs.setValue(QStringLiteral("Contor"), m_newCounter.value_or(0));
    docs.setValue(QStringLiteral("Data_inregistrarii"), m_defaultRegistration);
    docs.setValue(QStringLiteral("Data"), m_defaultRegistration);
    if (!m_userInitials.isEmpty())
        docs.setValue(QStringLiteral("Agent"), m_userInitials.left(docs.field(QStringLiteral("Agent")).size));
}

void TDocOutFormLogic::RegistrationDateChange()
{
    if (docs.isNull(QStringLiteral("Data")) && !docs.isNull(QStringLiteral("Data_inregistrarii")))
        docs.setValue(QStringLiteral("Data"), docs.value(QStringLiteral("Data_inregistrarii")));
    // The collection row's payment date follows when the header is written.
}

void TDocOutFormLogic::ClientValidate()
{
    const QString code = text(docs, "Client").trimmed();
    if (code.isEmpty())
        return;
    const int found =
        m_db.scalar(QStringLiteral("SELECT COUNT(*) FROM \"Gest.db\" WHERE Cod = :c"), {{QStringLiteral("c"), code}})
            .toInt();
    if (found == 0) {
        m_dialogs.warning(kWarehouseNotInCatalog.arg(code));
        throw Abort();
    }
}

QString TDocOutFormLogic::documentType() const
{
    return docs.isOpen() ? text(docs, "Tip").trimmed() : QString();
}

ClientControls TDocOutFormLogic::clientControls() const
{
    const QString type = documentType();
    if (type == u"BT")
        return ClientControls::Warehouse;
    if (type == u"BMC" && m_parameters.CGetPret)
        return ClientControls::ReceivingWarehouse;
    return ClientControls::Hidden;
}

bool TDocOutFormLogic::salePriceTyped() const
{
    return m_pricing.rules().sellPrice != common::SellPriceMode::Calc;
}

bool TDocOutFormLogic::salePriceShown() const
{
    return salePriceTyped() || IsFiscalInvoice(documentType());
}

void TDocOutFormLogic::updateTypeDependent()
{
    m_view.showClientControls(clientControls());
    m_view.showSalePrice(salePriceShown());
}

void TDocOutFormLogic::TipChange()
{
    updateTypeDependent();
    const QString type = documentType();
    if (type.isEmpty() || !docs.isNull(QStringLiteral("Numar")))
        return;
    const QDate registered = docs.value(QStringLiteral("Data_inregistrarii")).toDate();
    const int year = registered.isValid() ? registered.year() : m_defaultRegistration.year();
    docs.setValue(QStringLiteral("Numar"), ProposeOutputNumber(m_db, year, type));
}

// The figures of "&Total", of "achitat integral" and of the paid-amount
// check, from one place. Every line's value is rounded once to the decimals
// of lei and every total is the sum of those values: a fiscal invoice is
// totalled on the lines it prints (those of one article, sale price and VAT
// rate merged into one, valued at the sale price it prints), any other
// document on its lines at their acquisition prices.
TDocOutFormLogic::Totals TDocOutFormLogic::documentTotals() const
{
    const int decimals = m_parameters.nrZecimaleLei;
    const bool invoice = IsFiscalInvoice(documentType());
    QList<common::PricedLine> atCost;
    QList<common::PricedLine> atSale;
    Totals t;
    for (int row = 0; row < items.recordCount(); ++row) {
        common::PricedLine line;
        line.group = items.value(row, QStringLiteral("Cod_grupa")).toString();
        line.article = items.value(row, QStringLiteral("Cod_articol")).toString();
        line.quantity = items.value(row, QStringLiteral("Cantitate")).toDouble();
        line.price = items.value(row, QStringLiteral("Pret_achizitie")).toDouble();
        line.vat = items.value(row, QStringLiteral("TVA")).toDouble();
        line.excise = items.value(row, QStringLiteral("Acciza")).toDouble();
        line.vatRate = article(line.group, line.article).vatRate;
        atCost.push_back(line);
        if (invoice) {
            line.price = items.value(row, QStringLiteral("Pret_vinzare")).toDouble();
            atSale.push_back(line);
        }
        t.foreign += items.value(row, QStringLiteral("Pret_vz_echiv_USD")).toDouble() * line.quantity;
    }
    const common::DocumentTotals cost = common::totalsOf(common::valuedLines(atCost, decimals));
    const common::DocumentTotals sold =
        invoice ? common::totalsOf(common::mergedInvoiceLines(atSale, decimals)) : cost;
    t.acquisition = cost.value;
    t.value = sold.value;
    t.vat = sold.vat;
    t.document = sold.total();
    return t;
}

void TDocOutFormLogic::DocsBeforePost()
{
    if (documentType().isEmpty()) {
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
        && m_db.scalar(QStringLiteral("SELECT COUNT(*) FROM ITEM_OUT WHERE Contor = :c"),
                       {{QStringLiteral("c"), docs.value(QStringLiteral("Contor"))}})
                   .toInt()
            == 0) {
        m_dialogs.warning(kNoLines);
        throw Abort();
    }
    const QVariant due = docs.value(QStringLiteral("Data_scadenta"));
    if (!due.isNull() && due.toDate().isValid() && due.toDate() < dated.toDate()) {
        m_dialogs.warning(kDueBeforeDate);
        m_view.focusHeaderField(QStringLiteral("Data_scadenta"));
        throw Abort();
    }
    const QVariant paid = paidAmount();
    if (!paid.isNull()) {
        const double total = documentTotals().document;
        if (paid.toDouble() - total > m_parameters.Epsilon
            && !m_dialogs.confirm(common::formatMessage(kPaidAboveTotal, {paid.toDouble(), total}, m_formats),
                                  common::Buttons::OkCancel)) {
            m_view.focusHeaderField(QStringLiteral("Suma"));
            throw Abort();
        }
    }
}

// Inside the write: the collection row follows the header's client and
// registration date.
void TDocOutFormLogic::DocsBeforeWrite()
{
    if (docs.state() != DatasetState::Edit)
        return;
    const QVariant oldClient = docs.oldValue(QStringLiteral("Client"));
    const QVariant oldDate = docs.oldValue(QStringLiteral("Data_inregistrarii"));
    const QVariant client = docs.value(QStringLiteral("Client"));
    const QVariant date = docs.value(QStringLiteral("Data_inregistrarii"));
    if (oldClient.toString() == client.toString() && oldDate.toDate() == date.toDate())
        return;
    m_db.exec(QStringLiteral("UPDATE CLNPAY SET Cod_client = :nc, Data_platii = :nd WHERE Contor_document = :c "
                             "AND COALESCE(Cod_client, '') = COALESCE(:oc, '') AND Data_platii = :od"),
              {{QStringLiteral("nc"), client.toString().isEmpty() ? QVariant() : client},
               {QStringLiteral("nd"), date},
               {QStringLiteral("c"), docs.value(QStringLiteral("Contor"))},
               {QStringLiteral("oc"), oldClient.toString()},
               {QStringLiteral("od"), oldDate}});
}

void TDocOutFormLogic::DocsAfterPost()
{
    m_defaultRegistration = docs.value(QStringLiteral("Data_inregistrarii")).toDate();
    m_newCounter.reset();
}

QVariant TDocOutFormLogic::paidAmount() const
{
    if (!docs.isOpen() || docs.isEmpty())
        return QVariant();
    return m_db.scalar(QStringLiteral("SELECT Suma FROM CLNPAY WHERE Contor_document = :c "
                                      "AND COALESCE(Cod_client, '') = COALESCE(:k, '') AND Data_platii = :d"),
                       {{QStringLiteral("c"), docs.oldValue(QStringLiteral("Contor"))},
                        {QStringLiteral("k"), docs.oldValue(QStringLiteral("Client")).toString()},
                        {QStringLiteral("d"), docs.oldValue(QStringLiteral("Data_inregistrarii"))}});
}

void TDocOutFormLogic::writePaidAmount(double amount)
{
    const QString client = text(docs, "Client");
    QVariantHash p{{QStringLiteral("c"), docs.value(QStringLiteral("Contor"))},
                   {QStringLiteral("k"), client},
                   {QStringLiteral("d"), docs.value(QStringLiteral("Data_inregistrarii"))},
                   {QStringLiteral("s"), amount}};
    datastore::UnitOfWork work(m_db);
    const int updated = m_db.exec(QStringLiteral("UPDATE CLNPAY SET Suma = :s WHERE Contor_document = :c "
                                                 "AND COALESCE(Cod_client, '') = COALESCE(:k, '') AND Data_platii = :d"),
                                  p);
    if (updated == 0) {
        p.insert(QStringLiteral("k"), client.isEmpty() ? QVariant() : QVariant(client));
        m_db.exec(QStringLiteral("INSERT INTO CLNPAY (Cod_client, Contor_document, Data_platii, Suma) "
                                 "VALUES (:k, :c, :d, :s)"),
                  p);
    }
    work.commit();
}

bool TDocOutFormLogic::setPaidAmount(const QVariant& amount)
{
    bool ok = false;
    const double value = amount.toString().trimmed().isEmpty() ? 0 : amount.toDouble(&ok);
    if (amount.toString().trimmed().isEmpty())
        ok = true;
    if (!ok || !std::isfinite(value) || value < 0 || std::fabs(value) >= common::kLargestNumber) {
        m_dialogs.warning(kPaidInvalid.arg(amount.toString()));
        m_view.focusHeaderField(QStringLiteral("Suma"));
        return false;
    }
    if (!saveDocument() || docs.isEmpty() || docs.state() == DatasetState::Insert)
        return false;
    try {
        writePaidAmount(value);
        return true;
    } catch (...) {
        ui::reportDataError(m_dialogs, std::current_exception());
        return false;
    }
}

bool TDocOutFormLogic::hasSeriesNumber(const QVariant& contor) const
{
    const QVariantHash key{{QStringLiteral("c"), contor}};
    return m_db.scalar(QStringLiteral("SELECT COUNT(*) FROM FCTSER WHERE Contor = :c"), key).toInt() > 0
        || m_db.scalar(QStringLiteral("SELECT COUNT(*) FROM AESER WHERE Contor = :c"), key).toInt() > 0
        || m_db.scalar(QStringLiteral("SELECT COUNT(*) FROM CHSER WHERE Contor = :c"), key).toInt() > 0;
}

// Inside the unit of work that deletes the header: every stored line gives
// its quantity back (a return line takes it again, and may be refused), then
// the lines and the collection rows go. One refusal rolls it all back.
void TDocOutFormLogic::DocsWhileDeleting()
{
    const QVariant contor = docs.value(QStringLiteral("Contor"));
    const QVariantHash key{{QStringLiteral("c"), contor}};
    std::vector<ItemSnapshot> lines;
    {
        datastore::Query q = m_db.query(
            QStringLiteral("SELECT Cod_gestiune, Cod_grupa, Cod_articol, Pret_achizitie, Lot, Agent, Cantitate "
                           "FROM ITEM_OUT WHERE Contor = :c ORDER BY Contor_secundar"),
            key);
        while (q.next()) {
            ItemSnapshot s;
            s.key = {q.value(0).toString(), q.value(1).toString(), q.value(2).toString(),
                     q.value(3).toDouble(),  q.value(4).toString(), q.value(5).toString()};
            s.quantity = q.value(6).toDouble();
            lines.push_back(std::move(s));
        }
    }
    for (const ItemSnapshot& l : lines)
        if (l.quantity != 0)
            m_ledger.AdjustStockOut(l.key, l.quantity);
    m_db.exec(QStringLiteral("DELETE FROM ITEM_OUT WHERE Contor = :c"), key);
    m_db.exec(QStringLiteral("DELETE FROM CLNPAY WHERE Contor_document = :c"), key);
    // A counter that carries a printed series number is never given again.
    if (!hasSeriesNumber(contor))
        GiveBackCounter(m_db, CounterField::Out, contor.toDouble());
}

void TDocOutFormLogic::showPendingMessages()
{
    m_ledger.flushMessages();
}

void TDocOutFormLogic::showTotals()
{
    const Totals t = documentTotals();
    const QString message =
        common::formatMessage(kTotals, {t.acquisition, t.value, t.vat, t.foreign, t.document}, m_formats);
    if (!paysAtIssue(documentType())) {
        m_dialogs.information(message);
        return;
    }
    if (!m_dialogs.confirm(message + kMarkPaid, common::Buttons::YesNo))
        return;
    setPaidAmount(t.document);
}

// ---- period and search --------------------------------------------------------------

QString TDocOutFormLogic::title() const
{
    if (!m_periodActive)
        return QStringLiteral("Documente de iesire");
    const QString d = QStringLiteral("d.m.yy");
    return QStringLiteral("Documente de iesire ") + common::formatDate(d, m_first, m_formats) + QStringLiteral(" - ")
        + common::formatDate(d, m_last, m_formats);
}

// ---- printing, transfer, refresh ------------------------------------------------------

// One print: its print setup, on its own settings, then the print. A print
// this edition does not make gets no setup; a print on a pre-printed form
// shows its own, on the page of its layout file.
void TDocOutFormLogic::printJob(const OutputPrintJob& job)
{
    const prints::DocumentPrintKind* kind = outputPrintKind(job.kind);
    if (!kind) {
        m_dialogs.information(unavailablePrintMessage(job.kind));
        return;
    }
    if (!kind->design.pageFromLayoutFile && !m_view.printSetup(job))
        return;
    m_view.printDocument(job);
}

void TDocOutFormLogic::print()
{
    if (!saveDocument() || docs.isEmpty() || docs.state() == DatasetState::Insert)
        return;
    const double contor = docs.value(QStringLiteral("Contor")).toDouble();
    const QString type = documentType();
    const QVariant paid = paidAmount();
    int set = prints::InitialPrintSet(type, !paid.isNull() && paid.toDouble() != 0);
    prints::PrintOptions options = m_printOptions;
    if (!m_view.choosePrints(set, options))
        return;
    m_printOptions = options;
    // On pre-printed forms the receipt has no form: the invoice is printed alone.
    if (m_parameters.PreprintedInvoice && (set & prints::PrintInvoiceWithReceiptBit))
        set = (set & ~prints::PrintInvoiceWithReceiptBit) | prints::PrintInvoiceBit;
    // An invoice prints the sale prices: asked before any number is taken.
    if ((set & (prints::PrintInvoiceBit | prints::PrintInvoiceWithReceiptBit)) && !confirmSalePrices())
        return;

    OutputPrintJob base;
    base.contor = contor;
    base.registrationDate = docs.value(QStringLiteral("Data_inregistrarii")).toDate();
    base.explanation = text(docs, "Explicatie");
    base.warehouseName = text(docs, "DenCln");
    base.beneficiary = text(docs, "Beneficiar");
    base.options = options;
    auto job = [&](OutputPrint kind) {
        OutputPrintJob j = base;
        j.kind = kind;
        return j;
    };

    // The order: invoice, hand-over note, invoice with receipt, delivery note,
    // consumption note, daily-list note, scrapping list; each print with its
    // own print setup.
    if (set & prints::PrintInvoiceBit) {
        if (m_parameters.PreprintedInvoice) {
            printJob(job(OutputPrint::PreprintedInvoice));
        } else {
            const SeriesNumber n = GetInvoiceNumber(m_db, m_parameters, m_dialogs, contor);
            if (n.ok) {
                OutputPrintJob j = job(OutputPrint::Invoice);
                j.seriesNumber = formatSeriesNumber(n.series, n.number);
                printJob(j);
            }
        }
    }
    if (set & prints::PrintTransferNoteBit)
        printJob(job(OutputPrint::HandOverNote));
    if (set & prints::PrintInvoiceWithReceiptBit) {
        // The invoice number first: a series that has run out takes no receipt number.
        const SeriesNumber n = GetInvoiceNumber(m_db, m_parameters, m_dialogs, contor);
        if (n.ok) {
            const SeriesNumber receipt =
                GetReceiptNumber(m_db, m_parameters, m_dialogs, contor, base.registrationDate);
            if (receipt.ok) {
                OutputPrintJob j = job(OutputPrint::InvoiceWithReceipt);
                j.seriesNumber = formatSeriesNumber(n.series, n.number);
                j.receiptNumber = receipt.number;
                printJob(j);
            }
        }
    }
    if (set & prints::PrintDeliveryNoteBit) {
        const SeriesNumber n = GetDeliveryNoteNumber(m_db, m_parameters, m_dialogs, contor);
        if (n.ok) {
            OutputPrintJob j = job(m_parameters.PreprintedInvoice ? OutputPrint::PreprintedDeliveryNote
                                                                  : OutputPrint::DeliveryNote);
            j.seriesNumber = formatSeriesNumber(n.series, n.number);
            printJob(j);
        }
    }
    if (set & prints::PrintConsumptionNoteBit)
        printJob(job(OutputPrint::ConsumptionNote));
    if (set & prints::PrintDailyListNoteBit)
        printJob(job(OutputPrint::DailyListNote));
    if (set & prints::PrintScrappingBit)
        printJob(job(OutputPrint::Scrapping));
}

bool TDocOutFormLogic::confirmSalePrices()
{
    QStringList unpriced;
    for (int row = 0; row < items.recordCount(); ++row) {
        if (HasSalePrice(items.value(row, QStringLiteral("Pret_vinzare"))))
            continue;
        const QString name = items.value(row, QStringLiteral("Cod_grupa")).toString() + u'.'
            + items.value(row, QStringLiteral("Cod_articol")).toString();
        if (!unpriced.contains(name))
            unpriced << name;
    }
    if (unpriced.isEmpty())
        return true;
    constexpr qsizetype kNamed = 5; // the message stays short on a long invoice
    QString names = unpriced.mid(0, kNamed).join(QStringLiteral(", "));
    if (unpriced.size() > kNamed)
        names += QStringLiteral(", ...");
    return m_dialogs.confirm(kNoSalePrice.arg(names), common::Buttons::YesNo);
}

void TDocOutFormLogic::transfer()
{
    if (!saveDocument() || docs.isEmpty() || docs.state() == DatasetState::Insert)
        return;
    const double contor = docs.value(QStringLiteral("Contor")).toDouble();
    const QVariant currentLine = items.isEmpty() ? QVariant() : items.value(QStringLiteral("Contor_secundar"));
    const QString source = items.isEmpty() ? QString() : text(items, "Cod_gestiune");
    try {
        const QList<GeneratedInput> earlier = GeneratedTransferInputs(m_db, contor);
        if (!earlier.isEmpty()) {
            const GeneratedInput& last = earlier.last();
            const QString question = QString::fromUtf8(kTransferAgain)
                                         .arg(common::formatFloat(QStringLiteral("0"), last.number, m_formats),
                                              common::formatDate(m_formats.longDateFormat, last.registered, m_formats));
            if (!m_dialogs.confirm(question, common::Buttons::YesNoDefaultNo))
                return;
        }
    } catch (...) {
        ui::reportDataError(m_dialogs, std::current_exception());
        return;
    }
    TransferOptions options;
    if (!m_view.askTransfer(options))
        return;
    TransferDocument(m_db, m_parameters, m_formats, m_dialogs, {contor, options, source},
                     [this](const QString& t) { m_view.showProgress(t); });
    // The document as written now (or as it stayed), on the line that was current.
    try {
        docs.refresh();
        items.refresh();
        if (currentLine.isValid())
            items.locate({QStringLiteral("Contor_secundar")}, {currentLine});
    } catch (...) {
        ui::reportDataError(m_dialogs, std::current_exception());
    }
    updateTypeDependent();
}

void TDocOutFormLogic::refreshTick()
{
    m_articles.clear();
    DocumentWindowLogic::refreshTick();
}

void TDocOutFormLogic::pickClient()
{
    if (clientControls() != ClientControls::Warehouse)
        return;
    QString code = text(docs, "Client");
    if (!m_view.pickWarehouse(code))
        return;
    try {
        if (!docs.isEditing())
            docs.edit();
        docs.setValue(QStringLiteral("Client"), code);
        m_view.focusHeaderField(QStringLiteral("Explicatie"));
    } catch (...) {
        ui::reportDataError(m_dialogs, std::current_exception());
    }
}

// ---- lines: values ------------------------------------------------------------------

TDocOutFormLogic::Accounts TDocOutFormLogic::article(const QString& group, const QString& code) const
{
    const QString key = group + QChar(0x1f) + code;
    if (const auto it = m_articles.constFind(key); it != m_articles.constEnd())
        return *it;
    Accounts a;
    datastore::Query q = m_db.query(
        QStringLiteral("SELECT Denumire, Unitate_masura, Cont_marfa, Cont_cheltuieli, Cont_TVA_Iesiri, Cont_accize, "
                       "Cont_adaos, Cont_venituri, Coef_TVA FROM CATALOG WHERE Grupa = :g AND Cod = :c"),
        {{QStringLiteral("g"), group}, {QStringLiteral("c"), code}});
    if (q.next()) {
        a.found = true;
        a.name = q.value(0).toString();
        a.unit = q.value(1).toString();
        a.goods = q.value(2).toString();
        a.expense = q.value(3).toString();
        a.vatOut = q.value(4).toString();
        a.excise = q.value(5).toString();
        a.markup = q.value(6).toString();
        a.revenue = q.value(7).toString();
        a.vatRate = q.value(8).toDouble();
    }
    m_articles.insert(key, a);
    return a;
}

void TDocOutFormLogic::ItemsCalcFields()
{
    const Accounts a = article(text(items, "Cod_grupa"), text(items, "Cod_articol"));
    items.setCalculated(QStringLiteral("Denumire"), a.found ? QVariant(a.name) : QVariant());
    items.setCalculated(QStringLiteral("UM"), a.found ? QVariant(a.unit) : QVariant());
    const QVariant price = items.value(QStringLiteral("Pret_achizitie"));
    const QVariant quantity = items.value(QStringLiteral("Cantitate"));
    items.setCalculated(QStringLiteral("Val"),
                        price.isNull() || quantity.isNull()
                            ? QVariant()
                            : QVariant(common::lineValue(quantity.toDouble(), price.toDouble(),
                                                         m_parameters.nrZecimaleLei)));
}

void TDocOutFormLogic::ItemsNewRecord()
{
    items.setValue(QStringLiteral("Contor"), docs.value(QStringLiteral("Contor")));
    items.setValue(QStringLiteral("Contor_secundar"),
                   NextLineNumber(m_db, kLineTable, docs.value(QStringLiteral("Contor")).toDouble()));
    if (!m_defaultWarehouse.isEmpty())
        items.setValue(QStringLiteral("Cod_gestiune"), m_defaultWarehouse);
    items.setValue(QStringLiteral("TVA"), 0.0);
    items.setValue(QStringLiteral("Acciza"), 0.0);
}

// The group or the article received a value by hand: the line must name a
// row of the current stock.
void TDocOutFormLogic::ArticleValidate()
{
    if (m_pickerFilling)
        return;
    const QString warehouse = text(items, "Cod_gestiune");
    const QString group = text(items, "Cod_grupa");
    const QString code = text(items, "Cod_articol");
    if (group.isEmpty() || code.isEmpty())
        return;
    QVariantHash params{{QStringLiteral("w"), warehouse}, {QStringLiteral("g"), group}, {QStringLiteral("a"), code}};
    const QVariant price = items.value(QStringLiteral("Pret_achizitie"));
    QString sql = QStringLiteral("SELECT Pret_achizitie, Lot, Agent FROM STOC WHERE Cod_gestiune = :w "
                                 "AND Cod_grupa = :g AND Cod_articol = :a");
    if (!price.isNull()) {
        sql += QStringLiteral(" AND Pret_achizitie = :p");
        params.insert(QStringLiteral("p"), price);
    }
    sql += QStringLiteral(" ORDER BY Pret_achizitie, Lot, Agent");
    datastore::Query q = m_db.query(sql, params);
    if (!q.next()) {
        if (price.isNull())
            m_dialogs.warning(common::formatMessage(kNoStock, {group, code, warehouse}, m_formats));
        else
            m_dialogs.warning(
                common::formatMessage(kNoStockAtPrice, {group, code, price.toDouble(), warehouse}, m_formats));
        throw Abort();
    }
    // The row found gives what the line does not name yet.
    const QVariant rowPrice = q.value(0);
    const QVariant rowLot = q.value(1);
    const QVariant rowBudget = q.value(2);
    m_pickerFilling = true;
    try {
        if (price.isNull())
            items.setValue(QStringLiteral("Pret_achizitie"), rowPrice);
        if (text(items, "Lot").isEmpty())
            items.setValue(QStringLiteral("Lot"), rowLot);
        if (text(items, "Agent").isEmpty())
            items.setValue(QStringLiteral("Agent"), rowBudget);
    } catch (...) {
        m_pickerFilling = false;
        throw;
    }
    m_pickerFilling = false;
}

// In every case the article's accounts come from the catalog and the sale
// price starts again from 0.
void TDocOutFormLogic::ArticleChange()
{
    const Accounts a = article(text(items, "Cod_grupa"), text(items, "Cod_articol"));
    items.setValue(QStringLiteral("Cont_TVA_Iesiri"), a.vatOut);
    items.setValue(QStringLiteral("Cont_marfa"), a.goods);
    items.setValue(QStringLiteral("Cont_cheltuieli"), a.expense);
    items.setValue(QStringLiteral("Cont_accize"), a.excise);
    items.setValue(QStringLiteral("Cont_adaos"), a.markup);
    items.setValue(QStringLiteral("Cont_venituri"), a.revenue);
    setSalePrice(0.0);
    if (m_pricing.rules().gridDiscount)
        ApplyGridDiscount();
}

void TDocOutFormLogic::PriceValidate()
{
    if (m_pickerFilling)
        return;
    const QString warehouse = text(items, "Cod_gestiune");
    const QString group = text(items, "Cod_grupa");
    const QString code = text(items, "Cod_articol");
    const QVariant price = items.value(QStringLiteral("Pret_achizitie"));
    if (group.isEmpty() || code.isEmpty() || price.isNull())
        return;
    const int rows = m_db.scalar(QStringLiteral("SELECT COUNT(*) FROM STOC WHERE Cod_gestiune = :w AND Cod_grupa = :g "
                                                "AND Cod_articol = :a AND Pret_achizitie = :p"),
                                 {{QStringLiteral("w"), warehouse},
                                  {QStringLiteral("g"), group},
                                  {QStringLiteral("a"), code},
                                  {QStringLiteral("p"), price}})
                         .toInt();
    if (rows == 0) {
        m_dialogs.warning(
            common::formatMessage(kNoStockAtPrice, {group, code, price.toDouble(), warehouse}, m_formats));
        throw Abort();
    }
}

// ---- lines: prices and taxes ----------------------------------------------------------

// A new acquisition price: the sale price calculated from it, and the taxes
// of the value it gives.
void TDocOutFormLogic::AcquisitionPriceChange()
{
    ComputeSalePrice();
    ComputeLineTaxes();
}

// The picker names the budget after the price: the grid discount is the new budget's.
void TDocOutFormLogic::BudgetChange()
{
    if (m_pricing.rules().gridDiscount)
        ComputeSalePrice();
}

void TDocOutFormLogic::ComputeSalePrice()
{
    if (!items.isEditing() || m_pricing.rules().sellPrice != common::SellPriceMode::Calc)
        return;
    const QVariant acquisition = items.value(QStringLiteral("Pret_achizitie"));
    if (acquisition.isNull() || text(items, "Cod_gestiune").isEmpty() || text(items, "Cod_grupa").isEmpty()
        || text(items, "Cod_articol").isEmpty())
        return;
    const ArticlePricing a = m_pricing.article(text(items, "Cod_grupa"), text(items, "Cod_articol"));
    setSalePrice(MarkedUpPrice(acquisition.toDouble(), a.markup, m_pricing.rules()));
    if (m_pricing.rules().gridDiscount)
        ApplyGridDiscount();
}

// The percentage the discount grid of the line's budget gives the line's
// group. A line without a budget has no grid discount.
void TDocOutFormLogic::ApplyGridDiscount()
{
    double percent = 0;
    try {
        percent = m_pricing.gridDiscount(text(items, "Agent"), text(items, "Cod_grupa"));
    } catch (const datastore::DbError& e) {
        m_dialogs.error(kGridAccessError.arg(e.message()));
        m_view.closeWindow();
        return;
    }
    if (percent != 0)
        setSalePrice(WithPercent(items.value(QStringLiteral("Pret_vinzare")).toDouble(), percent));
}

// A sale price the pricing computed; only a typed one is checked.
void TDocOutFormLogic::setSalePrice(double price)
{
    m_computingSalePrice = true;
    try {
        items.setValue(QStringLiteral("Pret_vinzare"), price);
    } catch (...) {
        m_computingSalePrice = false;
        throw;
    }
    m_computingSalePrice = false;
}

void TDocOutFormLogic::SalePriceValidate()
{
    if (m_computingSalePrice)
        return;
    const QVariant price = items.value(QStringLiteral("Pret_vinzare"));
    if (!price.isNull() && price.toDouble() < 0) {
        m_dialogs.warning(kNegativeSalePrice);
        m_view.focusLineColumn(QStringLiteral("Pret_vinzare"));
        throw Abort();
    }
}

void TDocOutFormLogic::ComputeLineTaxes()
{
    if (!items.isEditing())
        return;
    const QVariant quantity = items.value(QStringLiteral("Cantitate"));
    if (!quantity.isNull() && quantity.toDouble() < 0) {
        m_dialogs.information(kReturns);
        return;
    }
    const ArticlePricing a = m_pricing.article(text(items, "Cod_grupa"), text(items, "Cod_articol"));
    const LineTaxes t =
        stock::ComputeLineTaxes(documentType(), items.value(QStringLiteral("Pret_achizitie")), quantity,
                                items.value(QStringLiteral("Pret_vinzare")), a.rates, m_pricing.rules());
    items.setValue(QStringLiteral("TVA"), t.vat);
    items.setValue(QStringLiteral("Acciza"), t.excise);
}

// The sale price in the reference currency at the document's date; kept
// as it is when the currency has no rate.
void TDocOutFormLogic::ComputeCurrencyPrice()
{
    if (!items.isEditing())
        return;
    ComputeLineTaxes();
    if (const std::optional<double> rate = m_pricing.referenceRate(docs.value(QStringLiteral("Data")).toDate()))
        items.setValue(QStringLiteral("Pret_vz_echiv_USD"),
                       CurrencyPrice(items.value(QStringLiteral("Pret_vinzare")).toDouble(), *rate));
}

void TDocOutFormLogic::priceSplitLine(QVariantHash& values, bool newPrice)
{
    const QString group = values.value(QStringLiteral("Cod_grupa")).toString();
    const ArticlePricing a = m_pricing.article(group, values.value(QStringLiteral("Cod_articol")).toString());
    const PricingRules& rules = m_pricing.rules();
    if (newPrice && rules.sellPrice == common::SellPriceMode::Calc) {
        double sale = MarkedUpPrice(values.value(QStringLiteral("Pret_achizitie")).toDouble(), a.markup, rules);
        if (rules.gridDiscount)
            sale = WithPercent(sale, m_pricing.gridDiscount(values.value(QStringLiteral("Agent")).toString(), group));
        values.insert(QStringLiteral("Pret_vinzare"), sale);
        if (const std::optional<double> rate = m_pricing.referenceRate(docs.value(QStringLiteral("Data")).toDate()))
            values.insert(QStringLiteral("Pret_vz_echiv_USD"), CurrencyPrice(sale, *rate));
    }
    const LineTaxes t = stock::ComputeLineTaxes(documentType(), values.value(QStringLiteral("Pret_achizitie")),
                                                values.value(QStringLiteral("Cantitate")),
                                                values.value(QStringLiteral("Pret_vinzare")), a.rates, rules);
    values.insert(QStringLiteral("TVA"), t.vat);
    values.insert(QStringLiteral("Acciza"), t.excise);
}

void TDocOutFormLogic::prepareSplitLine(QVariantHash& values)
{
    priceSplitLine(values, true);
}

void TDocOutFormLogic::splitLineCut(QVariantHash& values)
{
    priceSplitLine(values, false);
}

// "Aplica &discount": every sale price of the document changed by one
// percentage, in one unit of work, with the taxes and the currency price
// that follow a sale price.
void TDocOutFormLogic::ApplyDocumentDiscount()
{
    if (docs.isEmpty() || items.isEmpty()) {
        m_dialogs.beep();
        m_dialogs.warning(kDiscountWithoutLines);
        return;
    }
    if (!saveDocument() || docs.isEmpty() || items.isEmpty())
        return;
    // Pre-filled with the budget's discount when the lines name one budget.
    QString budget;
    bool oneBudget = true;
    for (int row = 0; row < items.recordCount(); ++row) {
        const QString b = items.value(row, QStringLiteral("Agent")).toString();
        if (b.isEmpty())
            continue;
        if (!budget.isEmpty() && b != budget)
            oneBudget = false;
        budget = b;
    }
    double percent = oneBudget ? m_pricing.budgetDiscount(budget) : 0;
    if (!m_view.askDiscount(percent))
        return;

    m_view.showProgress(kComputing);
    const QVariant current = items.value(QStringLiteral("Contor_secundar"));
    const QString type = documentType();
    const PricingRules& rules = m_pricing.rules();
    try {
        const std::optional<double> rate = m_pricing.referenceRate(docs.value(QStringLiteral("Data")).toDate());
        datastore::UnitOfWork work(m_db);
        datastore::Query lines = m_db.query(
            QStringLiteral("SELECT Contor_secundar, Cod_grupa, Cod_articol, Pret_achizitie, Cantitate, Pret_vinzare, "
                           "TVA, Acciza, Pret_vz_echiv_USD FROM ITEM_OUT WHERE Contor = :c ORDER BY Contor_secundar"),
            {{QStringLiteral("c"), docs.value(QStringLiteral("Contor"))}});
        struct Change {
            QVariant number;
            QVariantHash values;
        };
        QList<Change> changes;
        while (lines.next()) {
            const ArticlePricing a = m_pricing.article(lines.value(1).toString(), lines.value(2).toString());
            if (!a.found)
                continue;
            const QVariant acquisition = lines.value(3);
            const QVariant quantity = lines.value(4);
            const double sale =
                DiscountedPrice(acquisition.toDouble(), lines.value(5).toDouble(), a.markup, percent, rules);
            QVariantHash v{{QStringLiteral("s"), sale}, {QStringLiteral("t"), lines.value(6)},
                           {QStringLiteral("a"), lines.value(7)}, {QStringLiteral("u"), lines.value(8)}};
            if (quantity.isNull() || quantity.toDouble() >= 0) {
                const LineTaxes t = stock::ComputeLineTaxes(type, acquisition, quantity, sale, a.rates, rules);
                v.insert(QStringLiteral("t"), t.vat);
                v.insert(QStringLiteral("a"), t.excise);
            }
            if (rate)
                v.insert(QStringLiteral("u"), CurrencyPrice(sale, *rate));
            changes.append({lines.value(0), v});
        }
        for (Change& c : changes) {
            c.values.insert(QStringLiteral("c"), docs.value(QStringLiteral("Contor")));
            c.values.insert(QStringLiteral("n"), c.number);
            m_db.exec(QStringLiteral("UPDATE ITEM_OUT SET Pret_vinzare = :s, TVA = :t, Acciza = :a, "
                                     "Pret_vz_echiv_USD = :u WHERE Contor = :c AND Contor_secundar = :n"),
                      c.values);
        }
        work.commit();
    } catch (const std::exception& e) {
        m_view.showProgress(QString());
        m_dialogs.error(datastore::errorText(e));
        items.refresh();
        return;
    }
    items.refresh();
    items.locate({QStringLiteral("Contor_secundar")}, {current});
    m_view.showProgress(kDiscountDone);
}

// ---- lines: writing -------------------------------------------------------------------

void TDocOutFormLogic::ItemsBeforePost()
{
    bool complete = true;
    for (const char* f : {"Cod_gestiune", "Cod_grupa", "Cod_articol"})
        if (text(items, f).isEmpty())
            complete = false;
    // A line of quantity 0 issues nothing; it is not kept.
    if (items.isNull(QStringLiteral("Pret_achizitie")) || items.isNull(QStringLiteral("Cantitate"))
        || items.value(QStringLiteral("Cantitate")).toDouble() == 0)
        complete = false;
    if (!complete) {
        m_dialogs.warning(kIncompleteLine);
        throw Abort();
    }
}

void TDocOutFormLogic::ItemsAfterPost()
{
    m_defaultWarehouse = text(items, "Cod_gestiune");
}

void TDocOutFormLogic::focusQuantityColumn()
{
    m_view.focusLineColumn(QStringLiteral("Cantitate"));
}

// ---- lines: commands ------------------------------------------------------------------

void TDocOutFormLogic::cancelLine()
{
    // The stock moves only when a line is written: cancelling leaves it as it was.
    try {
        if (items.isEditing())
            items.cancel();
    } catch (...) {
        ui::reportDataError(m_dialogs, std::current_exception());
    }
}

void TDocOutFormLogic::pickInColumn(const QString& field)
{
    try {
        if (field == u"Cod_gestiune" || field == u"GestName" || field == u"Cod_grupa" || field == u"Cod_articol") {
            StockLinePick pick;
            pick.warehouse = text(items, "Cod_gestiune");
            pick.group = text(items, "Cod_grupa");
            pick.article = text(items, "Cod_articol");
            pick.price = items.isNull(QStringLiteral("Pret_achizitie"))
                ? -1
                : items.value(QStringLiteral("Pret_achizitie")).toDouble();
            if (!m_view.pickStockLine(pick))
                return;
            if (!items.isEditing()) {
                if (items.isEmpty())
                    items.append();
                else
                    items.edit();
            }
            // Warehouse, group and article first, the acquisition price last.
            m_pickerFilling = true;
            try {
                items.setValue(QStringLiteral("Cod_gestiune"), pick.warehouse);
                items.setValue(QStringLiteral("Cod_grupa"), pick.group);
                items.setValue(QStringLiteral("Cod_articol"), pick.article);
                items.setValue(QStringLiteral("Pret_achizitie"), pick.price);
                items.setValue(QStringLiteral("Lot"), pick.lot);
            } catch (...) {
                m_pickerFilling = false;
                throw;
            }
            m_pickerFilling = false;
            items.setValue(QStringLiteral("Agent"), pick.budget);
            if (m_parameters.CCantStoc)
                items.setValue(QStringLiteral("Cantitate"), pick.quantity);
            m_view.focusLineColumn(QStringLiteral("Cantitate"));
        } else if (field == u"Pret_achizitie") {
            const QString warehouse = text(items, "Cod_gestiune");
            const QString group = text(items, "Cod_grupa");
            const QString code = text(items, "Cod_articol");
            if (warehouse.isEmpty() || group.isEmpty() || code.isEmpty())
                return;
            const std::optional<double> price = m_view.pickPurchasePrice(warehouse, group, code);
            if (!price)
                return;
            if (!items.isEditing())
                items.edit();
            items.setValue(QStringLiteral("Pret_achizitie"), *price);
            m_view.focusLineColumn(QStringLiteral("Cantitate"));
        }
    } catch (...) {
        ui::reportDataError(m_dialogs, std::current_exception());
    }
}

// ---- look-ups for the window ------------------------------------------------------

QStringList TDocOutFormLogic::beneficiaryNames() const
{
    return columnValues(m_db, QStringLiteral("SELECT Name FROM \"User.db\" ORDER BY Name"));
}

QVariant TDocOutFormLogic::beneficiaryCodeOf(const QString& name) const
{
    return codeOfName(m_db, QStringLiteral("SELECT MIN(Init) FROM \"User.db\" WHERE Name = :n"), name);
}

QString TDocOutFormLogic::warehouseName(const QString& code) const
{
    if (code.isEmpty())
        return QString();
    return m_db.scalar(QStringLiteral("SELECT Denumire FROM \"Gest.db\" WHERE Cod = :c"), {{QStringLiteral("c"), code}})
        .toString();
}

QString TDocOutFormLogic::columnHint(const QString& field)
{
    if (field == u"Cod_gestiune" || field == u"GestName" || field == u"Cod_grupa" || field == u"Cod_articol")
        return QStringLiteral("Apasati CTRL-ENTER pentru a selecta gestiunea si articolul din stocurile curente!");
    if (field == u"Pret_achizitie")
        return QStringLiteral("Apasati CTRL-ENTER pentru a selecta pretul din stocurile curente!");
    return QStringLiteral("...");
}

QString TDocOutFormLogic::headerHint(const QString& field)
{
    if (field == u"Data_inregistrarii")
        return QStringLiteral("Specificati data la care efectuati înregistrarea documentului !");
    if (field == u"Numar" || field == u"Data")
        return QStringLiteral("Specificati numarul si data documentului de intrare în gestiune!");
    if (field == u"Client")
        return QStringLiteral("Apsati <Ctrl-Enter> pentru a selecta clientul din catalog!");
    if (field == u"Data_scadenta")
        return QStringLiteral("Optional, puteti specifica o data scadenta pentru factura emisa.");
    if (field == u"Suma")
        return QStringLiteral(
            "In cazul achitarii (partiale) a facturii sau chitantei fiscale, specificati aici suma.");
    return QString();
}

void AttachDocOutMenus(QObject* window, datastore::Dataset& header, datastore::Dataset& lines)
{
    Q_UNUSED(window);
    Q_UNUSED(header);
    Q_UNUSED(lines);
}

} // namespace stock
