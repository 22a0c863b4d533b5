#include "invoiceprints.h"

#include "amountinwords.h"
#include "invoicefiles.h"
#include "pagefurniture.h"
#include "printdata.h"
#include "tqrprndlg.h"

#include "common/documenttotals.h"
#include "common/rounding.h"
#include "datastore/dataset.h"
#include "reportengine/papersizes.h"

#include <QDir>
#include <QHash>
#include <cmath>
#include <optional>
#include <vector>

namespace prints {

using reportengine::Band;
using reportengine::BandKind;
using reportengine::Element;
using reportengine::Report;
using reportengine::Row;

namespace {

const QString kTwoDecimals = QStringLiteral("#,##0.00");
const QString kQuantity = QStringLiteral("#,##0.###");
const QString kShortDate = QStringLiteral("dd.mm.yy");
const QString kRateMask = QStringLiteral("0.##");

// The document, its client and the issuer.
struct InvoiceHeader {
    QVariant numar;
    QVariant data;
    QString client;
    QString clientName;
    QString clientAddress;
    QString clientFiscalCode;
    QString clientOrc;
    QString clientAccount;
    QString clientBank;
    QString clientCounty;
    // The issuer (FIRMDATA of FirmNo).
    QString firmName;
    QString firmOrc;
    QString firmFiscalCode;
    QString firmAddress;
    QString firmCounty;
    QString firmAccount;
    QString firmBank;
    QVariant firmCapital; // Capital_text
};

InvoiceHeader readHeader(const PrintRequest& request)
{
    InvoiceHeader h;
    const QVariantHash key{{QStringLiteral("Contor"), request.contor}};
    datastore::Query q = request.db.query(
        QStringLiteral("SELECT DISTINCT D.Contor, D.Numar, D.Data, D.Client, D1.Nume_client, D1.Adresa, "
                       "D1.Cod_fiscal, D1.ORC, D1.Cont_bancar, D1.Banca, D1.Judetul "
                       "FROM DOC_OUT D LEFT JOIN CLIENT D1 ON (D1.Cod_client = D.Client) "
                       "WHERE (D.Contor = :Contor) ORDER BY 1, 2, 3, 4, 5, 6, 7, 8"),
        key);
    if (q.next()) {
        h.numar = q.value(1);
        h.data = q.value(2).isNull() ? QVariant() : QVariant(q.value(2).toDate());
        h.client = q.value(3).toString();
        h.clientName = q.value(4).toString();
        h.clientAddress = q.value(5).toString();
        h.clientFiscalCode = q.value(6).toString();
        h.clientOrc = q.value(7).toString();
        h.clientAccount = q.value(8).toString();
        h.clientBank = q.value(9).toString();
        h.clientCounty = q.value(10).toString();
    }
    datastore::Query f = request.db.query(
        QStringLiteral("SELECT Denumire, ORC, \"Cod fiscal\", Adresa, Judet, Cont, Banca, Capital_text "
                       "FROM FIRMDATA WHERE Cod = :f"),
        {{QStringLiteral("f"), request.parameters.FirmNo}});
    if (f.next()) {
        h.firmName = f.value(0).toString();
        h.firmOrc = f.value(1).toString();
        h.firmFiscalCode = f.value(2).toString();
        h.firmAddress = f.value(3).toString();
        h.firmCounty = f.value(4).toString();
        h.firmAccount = f.value(5).toString();
        h.firmBank = f.value(6).toString();
        // A text, whatever it looks like: kept as text so that a mask never turns it into a number.
        h.firmCapital = f.value(7).isNull() ? QVariant() : QVariant(f.value(7).toString());
    }
    return h;
}

// The printed lines of an invoice and its totals: the document lines of the
// same group, article, sale price and VAT rate merged into one line
// (common::mergedInvoiceLines, the grouping of the document window), each
// line's value rounded once, every total the sum of the printed lines.
struct InvoiceLines {
    QList<common::TotalLine> lines;
    QStringList texts;
    QStringList units;
    common::DocumentTotals totals;

    // Nr, Cod_grupa, Cod_articol, Text, UM, Cantitate, Pret_vinzare,
    // Valoare, TVA, TVal, Acciza, CotaTVA.
    std::unique_ptr<reportengine::ListSource> rows() const;
    // The one VAT rate of every line; none when the lines have several (or none).
    std::optional<double> singleRate() const
    {
        return totals.byRate.size() == 1 ? std::optional<double>(totals.byRate.first().rate) : std::nullopt;
    }
};

std::unique_ptr<reportengine::ListSource> InvoiceLines::rows() const
{
    auto list = std::make_unique<reportengine::ListSource>(QStringList{
        QStringLiteral("Nr"), QStringLiteral("Cod_grupa"), QStringLiteral("Cod_articol"), QStringLiteral("Text"),
        QStringLiteral("UM"), QStringLiteral("Cantitate"), QStringLiteral("Pret_vinzare"), QStringLiteral("Valoare"),
        QStringLiteral("TVA"), QStringLiteral("TVal"), QStringLiteral("Acciza"), QStringLiteral("CotaTVA")});
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const common::TotalLine& l = lines.at(i);
        list->add({int(i + 1), l.group, l.article, texts.at(i), units.at(i), l.quantity, l.price, l.value, l.vat,
                   common::roundMoney(l.value + l.vat, 9), l.excise, l.vatRate});
    }
    return list;
}

// The lines of the document, in the order of article, price and group. The
// VAT rate of a line is its article's; a line whose article is no longer in
// the catalog prints its code as its text and takes the rate its stored VAT
// shows, in whole percent.
InvoiceLines readLines(const PrintRequest& request, bool withCode, bool withDescription)
{
    datastore::Query q = request.db.query(
        QStringLiteral("SELECT I.Cod_grupa, I.Cod_articol, I.Pret_vinzare, I.Cantitate, I.TVA, I.Acciza, "
                       "C.Denumire, C.Descriere, C.Unitate_masura, C.Coef_TVA, C.Cod "
                       "FROM ITEM_OUT I LEFT JOIN CATALOG C ON (I.Cod_grupa = C.Grupa) AND (I.Cod_articol = C.Cod) "
                       "WHERE (I.Contor = :Contor) "
                       "ORDER BY I.Cod_articol, I.Pret_vinzare, I.Cod_grupa, I.Contor_secundar"),
        {{QStringLiteral("Contor"), request.contor}});
    struct Article {
        QString text;
        QString unit;
    };
    QList<common::PricedLine> priced;
    QHash<QString, Article> articles; // by group and article
    while (q.next()) {
        common::PricedLine p;
        p.group = q.value(0).toString();
        p.article = q.value(1).toString();
        p.price = q.value(2).toDouble();
        p.quantity = q.value(3).toDouble();
        p.vat = q.value(4).toDouble();
        p.excise = q.value(5).toDouble();
        const bool inCatalog = !q.value(10).isNull();
        if (inCatalog) {
            p.vatRate = q.value(9).toDouble();
        } else {
            const double value = p.quantity * p.price;
            p.vatRate = std::fabs(value) < 1e-9 ? 0 : std::round(p.vat / value * 100);
        }
        const QString key = p.group + QChar(0x1f) + p.article;
        if (!articles.contains(key))
            articles.insert(key, Article{lineText(p.article, inCatalog ? q.value(6) : QVariant(), q.value(7).toString(),
                                                  withCode, withDescription),
                                         q.value(8).toString()});
        priced << p;
    }
    InvoiceLines out;
    out.lines = common::mergedInvoiceLines(priced, request.parameters.nrZecimaleLei);
    for (const common::TotalLine& l : out.lines) {
        const Article a = articles.value(l.group + QChar(0x1f) + l.article);
        out.texts << a.text;
        out.units << a.unit;
    }
    out.totals = common::totalsOf(out.lines);
    return out;
}

// The footer text when the comment is chosen (a missing file is no text).
QStringList footerLines(const PrintRequest& request)
{
    if (!request.options.comment)
        return {};
    QString text = ReadInvoiceFooter(request.definitionDir).text;
    if (text.endsWith(u'\n'))
        text.chop(1);
    return text.isEmpty() ? QStringList() : text.split(u'\n');
}

// A band of text lines; no height without lines.
void fillComment(Band& band, const QStringList& lines)
{
    constexpr double kLine = 3.8;
    if (lines.isEmpty()) {
        band.setHeight(0);
        band.setEnabled(false);
        return;
    }
    band.setHeight(2 + kLine * lines.size());
    band.label(0, 2, 190, QString()).setLines(lines);
}

QString rateText(double rate, const common::Formats& formats)
{
    return common::formatFloat(kRateMask, rate, formats);
}

// The caption of a rate's line under the totals: "din care cota 19 %:" on
// the first, "cota 19 %:" on the others.
QString rateCaption(qsizetype index, double rate, const common::Formats& formats)
{
    return (index == 0 ? QStringLiteral("din care cota ") : QStringLiteral("cota "))
           + rateText(rate, formats) + QStringLiteral(" %:");
}

// ---- the invoice on plain paper ----------------------------------------------------------

struct InvoiceColumn {
    double x;
    double width;
    QString caption;
    QString number;
};

const QList<InvoiceColumn>& invoiceColumns()
{
    static const QList<InvoiceColumn> columns{
        {0, 10, QStringLiteral("Nr.\ncrt."), QStringLiteral("0")},
        {10, 56, QStringLiteral("Denumirea produselor\nsau serviciilor"), QStringLiteral("1")},
        {66, 10, QStringLiteral("U.M."), QStringLiteral("2")},
        {76, 16, QStringLiteral("Cantitate"), QStringLiteral("3")},
        {92, 26, QStringLiteral("Pret unitar \n(fara TVA)-lei"), QStringLiteral("4")},
        {118, 30, QStringLiteral("Valoare\n-lei-"), QStringLiteral("5 (3x4)")},
        {148, 12, QStringLiteral("Cota\nTVA %"), QString()},
        {160, 30, QStringLiteral("Valoare TVA\n-lei-"), QStringLiteral("6")},
    };
    return columns;
}

DocumentPrint buildPlainInvoice(const PrintRequest& request, bool withReceipt)
{
    const InvoiceHeader h = readHeader(request);
    // The receipt invoice prints the catalog name only.
    const InvoiceLines lines = readLines(request, !withReceipt && request.parameters.CodProdusPeFact, false);
    const common::Formats& formats = request.formats;
    // Values print with the decimals they were rounded to.
    const QString money = moneyMask(request.parameters.nrZecimaleLei);

    auto report = std::make_unique<Report>();
    Report& r = *report;
    r.page(reportengine::kPaperA4, reportengine::Orientation::Portrait).margins(10, 10, 10, 10).font(QStringLiteral("Arial"), 8);
    r.formats(formats);
    r.title(QStringLiteral("Factura %1").arg(wholeText(h.numar)));
    r.value(QStringLiteral("Capital_text"), h.firmCapital);

    const QString date = h.data.isNull() ? QString() : common::formatDate(kShortDate, h.data.toDate(), formats);
    const QString series = request.seriesNumber.trimmed();

    // The pages after the first name the invoice.
    continuationHeader(r,
                       QStringLiteral("FACTURA FISCALA")
                           + (series.isEmpty() ? QString() : QStringLiteral("   Seria ") + series)
                           + QStringLiteral("   Nr. ") + wholeText(h.numar) + QStringLiteral("   data ") + date,
                       190);

    // The issuer, the invoice and the buyer, side by side.
    Band& title = r.band(BandKind::Title, 50);
    title.label(0, 0, 62, h.firmName).bold().wrap();
    title.label(0, 9, 62, QStringLiteral("O.R.C. ") + h.firmOrc);
    title.label(0, 13, 62, QStringLiteral("Cod fiscal ") + h.firmFiscalCode);
    title.label(0, 17, 62, QStringLiteral("Localitatea ") + h.firmAddress);
    title.label(0, 21, 62, QStringLiteral("Judetul ") + h.firmCounty + QStringLiteral("  ") + request.parameters.County);
    title.label(0, 25, 62, QStringLiteral("Contul ") + h.firmAccount);
    title.label(0, 29, 62, QStringLiteral("Banca ") + h.firmBank);
    title.field(0, 33, 62, QStringLiteral("Capital_text"), kTwoDecimals);

    title.label(64, 0, 62, QStringLiteral("FACTURA")).bold().fontSize(14).center();
    title.label(64, 6, 62, QStringLiteral("FISCALA")).bold().fontSize(14).center();
    title.label(64, 14, 62, QStringLiteral("Seria ") + request.seriesNumber);
    title.label(64, 18, 62, QStringLiteral("Nr. ") + wholeText(h.numar));
    title.label(64, 22, 62, QStringLiteral("data ") + date);
    title.label(64, 26, 62, QStringLiteral("Nr. aviz de însotire a marfii ________"));
    // One rate for the whole invoice only when every line has it; otherwise each line states its own.
    if (const std::optional<double> rate = lines.singleRate()) {
        title.label(64, 30, 15, QStringLiteral("Cota TVA"));
        title.label(79, 30, 8, rateText(*rate, formats)).right();
        title.label(88, 30, 5, QStringLiteral("%"));
    }
    title.label(64, 34, 62, QStringLiteral("Regim special"));

    title.label(128, 0, 62, QStringLiteral("Cumparator:"));
    title.label(128, 4, 62, h.clientName).bold().center().wrap();
    title.label(128, 13, 62, QStringLiteral("Cod fiscal ") + h.clientFiscalCode);
    title.label(128, 17, 62, QStringLiteral("Localitatea ") + h.clientAddress);
    title.label(128, 21, 62, QStringLiteral("Judetul ") + h.clientCounty);
    title.label(128, 25, 62, QStringLiteral("Contul ") + h.clientAccount);
    title.label(128, 29, 62, QStringLiteral("Banca ") + h.clientBank);

    // The columns, on every page.
    Band& head = r.band(BandKind::ColumnHeader, 12);
    Band& detail = r.band(BandKind::Detail, 4.5);
    for (const InvoiceColumn& c : invoiceColumns()) {
        head.label(c.x, 0, c.width, c.caption).center().frame(reportengine::FrameAll);
        head.label(c.x, 8, c.width, c.number).center().frame(reportengine::FrameAll);
        detail.vline(c.x);
    }
    detail.vline(190);
    detail.frame(reportengine::FrameBottom, 0.1);
    detail.count(0, 0.5, 9).running().right();
    detail.field(11, 0.5, 54, QStringLiteral("Text")).wrap();
    detail.field(67, 0.5, 8, QStringLiteral("UM")).center();
    detail.field(76, 0.5, 15, QStringLiteral("Cantitate"), kQuantity).right();
    detail.field(92, 0.5, 25, QStringLiteral("Pret_vinzare"), money).right();
    detail.field(118, 0.5, 29, QStringLiteral("Valoare"), money).right();
    detail.field(148, 0.5, 11, QStringLiteral("CotaTVA"), kRateMask).right();
    detail.field(160, 0.5, 29, QStringLiteral("TVA"), kTwoDecimals).right();

    // The totals (the sums of the printed lines), the base and VAT of each
    // rate, the signatures and the dispatch.
    const common::DocumentTotals& totals = lines.totals;
    const double below = 4.0 * double(totals.byRate.size());
    Band& foot = r.band(BandKind::Summary, 42 + below);
    foot.line(0, 0, 190, 0);
    // The figures may run as wide as their columns, the captions end before them.
    foot.label(50, 1, 66, QStringLiteral("Total:")).bold().right();
    foot.label(118, 1, 29, common::formatFloat(money, totals.value, formats)).right().bold();
    foot.label(160, 1, 29, common::formatFloat(kTwoDecimals, totals.vat, formats)).right().bold();
    for (qsizetype i = 0; i < totals.byRate.size(); ++i) {
        const common::RateTotal& rate = totals.byRate.at(i);
        const double y = 5 + 4.0 * double(i);
        foot.label(50, y, 66, rateCaption(i, rate.rate, formats)).right();
        foot.label(118, y, 29, common::formatFloat(money, rate.base, formats)).right();
        foot.label(160, y, 29, common::formatFloat(kTwoDecimals, rate.vat, formats)).right();
    }
    foot.line(118, 5.5 + below, 190, 5.5 + below);
    foot.label(50, 7 + below, 66, QStringLiteral("Total de plata:")).bold().right();
    foot.label(50, 11 + below, 66, QStringLiteral("(col. 5 + col. 6)")).right();
    foot.label(118, 7 + below, 71, common::formatFloat(money, totals.total(), formats)).right().bold().fontSize(10);
    foot.box(118, 6 + below, 72, 9);
    foot.line(0, 16 + below, 190, 16 + below);
    foot.label(0, 18 + below, 40, QStringLiteral("Semnatura si stampila")).center();
    foot.label(0, 22 + below, 40, QStringLiteral("furnizorului")).center();
    foot.label(44, 18 + below, 100, QStringLiteral("Date privind expeditia")).bold();
    foot.label(44, 22 + below, 100, QStringLiteral("Numele delegatului ______________________________"));
    foot.label(44, 26 + below, 100, QStringLiteral("Mijlocul de transport ______________  Nr. __________"));
    foot.label(44, 30 + below, 100, QStringLiteral("Expedierea s-a efectuat în prezenta"));
    foot.label(44, 34 + below, 100, QStringLiteral("noastra la data _________, ora ______"));
    foot.label(44, 38 + below, 100, QStringLiteral("Semnatura ____________"));
    foot.label(150, 18 + below, 40, QStringLiteral("Semnatura")).center();
    foot.label(150, 22 + below, 40, QStringLiteral("de primire")).center();
    fillComment(foot.child(0), footerLines(request));

    if (withReceipt) {
        QVariant amount;
        QVariant paidOn;
        datastore::Query pay = request.db.query(
            // By the document's counter alone: an invoice need not name a client.
            QStringLiteral("SELECT Suma, Data_platii FROM ClnPay WHERE Contor_document = :Contor "
                           "ORDER BY Data_platii, Nrcrt"),
            {{QStringLiteral("Contor"), request.contor}});
        if (pay.next()) {
            amount = pay.value(0);
            paidOn = pay.value(1).isNull() ? QVariant() : QVariant(pay.value(1).toDate());
        }
        // The sum is stated once, to the ban, in figures and in words alike.
        const double paid = amount.isNull() ? 0 : common::roundMoney(amount.toDouble(), 2);
        QString words;
        try {
            words = amount.isNull() ? QString() : AmountInWords(paid);
        } catch (const std::out_of_range&) {
            words.clear();
        }
        Band& receipt = foot.child(25);
        receipt.line(0, 2, 190, 2);
        receipt.label(0, 5, 120,
                      QStringLiteral("CHITANTA NR. ")
                          + (request.receiptNumber != 0 ? QString::number(request.receiptNumber, 'f', 0) : QString()))
            .bold()
            .fontSize(11);
        receipt.label(130, 5, 60,
                      QStringLiteral("Data ")
                          + (paidOn.isNull() ? QString()
                                             : common::formatDate(QStringLiteral("dd.mm.yyyy"), paidOn.toDate(), formats)));
        receipt.label(0, 13, 190, QStringLiteral("Am primit de la ") + h.clientName);
        receipt.label(0, 17, 190, QStringLiteral("Adresa ") + h.clientAddress);
        receipt.label(0, 21, 190,
                      QStringLiteral("Suma de lei ")
                          + (amount.isNull() ? QString() : common::formatFloat(kTwoDecimals, paid, formats)));
        // The sum in words takes the lines it needs; what follows comes after them.
        Band& inWords = receipt.child(4.5);
        inWords.label(0, 0, 190, QStringLiteral("adica ") + words).wrap();
        Band& end = inWords.child(13);
        end.label(0, 1.5, 190,
                  QStringLiteral("reprezentînd contravaloarea facturii nr. ") + wholeText(h.numar)
                      + QStringLiteral(" din ") + date);
        end.label(150, 7.5, 40, QStringLiteral("Casier,"));
    }

    r.band(BandKind::PageFooter, 5).pageNumber(0, 1, 190, QStringLiteral("Pagina %1 din %2")).right();

    DocumentPrint print;
    print.report = std::move(report);
    print.rows = lines.rows();
    return print;
}

// ---- the invoice on pre-printed forms ------------------------------------------------------

constexpr double kDesignHeaderHeight = 65;
constexpr double kDesignFooterHeight = 40;
constexpr double kDesignLineHeight = 5;

const QString kLineSection = QString::fromLatin1(kInvoiceLineSection);
const QString kFooterSection = QString::fromLatin1(kInvoiceFooterElementsSection);

// An element of the summary that stands under a column of the lines: it
// takes the column's place once the column has taken its own from the
// layout file.
class UnderColumn : public reportengine::Label {
public:
    UnderColumn(const Element& column, double y, const QString& text)
        : Label(column.x(), y, column.width(), text), m_column(column)
    {
        setAlignment(column.alignment());
    }
    void prepare(Report&) override
    {
        setX(m_column.x());
        setWidth(m_column.width());
    }

private:
    const Element& m_column;
};

} // namespace

DocumentPrint BuildInvoice(const PrintRequest& request)
{
    return buildPlainInvoice(request, false);
}

DocumentPrint BuildInvoiceWithReceipt(const PrintRequest& request)
{
    return buildPlainInvoice(request, true);
}

DocumentPrint BuildPreprintedInvoice(const PrintRequest& request)
{
    auto layout = std::make_shared<LayoutFile>();
    const QString path = QDir(request.layoutDirectory()).filePath(QString::fromLatin1(kInvoiceLayoutFileName));
    layout->OpenLayoutFile(path); // without the file every element keeps its design place
    LayoutFile& file = *layout;
    const common::IniFile empty{QString()};
    const common::IniFile& ini = file.ini() ? *file.ini() : empty;

    const InvoiceHeader h = readHeader(request);
    const InvoiceLines lines = readLines(request, request.parameters.CodProdusPeFact, request.options.description);
    const common::DocumentTotals& documentTotals = lines.totals;
    // At the foot of each page: value, VAT, excise and the total of its lines; the document's on the last page.
    std::vector<std::vector<double>> figures;
    for (const common::TotalLine& l : lines.lines)
        figures.push_back({l.value, l.vat, l.excise, l.value + l.vat});
    auto totals = std::make_shared<PageTotals>(
        figures, std::vector<double>{documentTotals.value, documentTotals.vat, documentTotals.excise,
                                     documentTotals.total()});

    const PrintSettings page = layoutPageSettings(ini, PrintSettings{});
    auto report = std::make_unique<Report>();
    Report& r = *report;
    r.page(page.paperSize, reportengine::Orientation::Portrait)
        .margins(page.leftMargin, page.topMargin, page.rightMargin, page.bottomMargin)
        .font(QStringLiteral("Arial"), 8);
    r.formats(request.formats);
    r.title(QStringLiteral("Factura %1").arg(wholeText(h.numar)));
    const std::optional<double> singleRate = lines.singleRate();
    const QList<std::pair<QString, QVariant>> values{
        {QStringLiteral("Firma_Denumire"), h.firmName},     {QStringLiteral("Firma_ORC"), h.firmOrc},
        {QStringLiteral("Firma_CF"), h.firmFiscalCode},     {QStringLiteral("Firma_Adresa"), h.firmAddress},
        {QStringLiteral("Firma_Judet"), h.firmCounty},      {QStringLiteral("Firma_Cont"), h.firmAccount},
        {QStringLiteral("Firma_Banca"), h.firmBank},        {QStringLiteral("Capital_text"), h.firmCapital},
        {QStringLiteral("Nume_client"), h.clientName},      {QStringLiteral("Cod_fiscal"), h.clientFiscalCode},
        {QStringLiteral("Adresa"), h.clientAddress},        {QStringLiteral("Judetul"), h.clientCounty},
        {QStringLiteral("Cont_bancar"), h.clientAccount},   {QStringLiteral("Banca"), h.clientBank},
        {QStringLiteral("ORC"), h.clientOrc},               {QStringLiteral("Data"), h.data},
        {QStringLiteral("Numar"), h.numar},
        // The invoice's one rate, only when every line has it.
        {QStringLiteral("Cota_factura"), singleRate ? QVariant(*singleRate) : QVariant()},
    };
    for (const auto& [name, value] : values)
        r.value(name, value);

    const QString money = moneyMask(request.parameters.nrZecimaleLei);
    const QString firmSection = QString::fromLatin1(kFirmHeaderSection);
    const QString clientSection = QString::fromLatin1(kClientHeaderSection);
    const QString invoiceSection = QString::fromLatin1(kInvoiceHeaderSection);

    // The heading of every page: the issuer, the buyer, the invoice.
    Band& head = r.band(BandKind::PageHeader,
                        ini.readInteger(QString::fromLatin1(kHeaderSection), QString::fromLatin1(kHeightKey),
                                        int(kDesignHeaderHeight)));
    head.calc(0, 0, 1, [totals](const Row& row) {
        totals->pageStarts(row);
        return QVariant();
    });
    struct Place {
        const QString* section;
        const char* name;
        double x, y, width;
        const char* field;
        const char* mask;
    };
    const QList<Place> heading{
        {&firmSection, "Firma", 12, 8, 85, "Firma_Denumire", nullptr},
        {&firmSection, "ORC", 22, 14, 60, "Firma_ORC", nullptr},
        {&firmSection, "CF", 22, 19, 60, "Firma_CF", nullptr},
        {&firmSection, "Adr", 22, 24, 75, "Firma_Adresa", nullptr},
        {&firmSection, "Jud", 22, 29, 40, "Firma_Judet", nullptr},
        {&firmSection, "Cont", 22, 34, 75, "Firma_Cont", nullptr},
        {&firmSection, "Banca", 22, 39, 75, "Firma_Banca", nullptr},
        {&firmSection, "Capital", 22, 44, 60, "Capital_text", "#,##0.00"},
        {&clientSection, "Firma", 125, 8, 70, "Nume_client", nullptr},
        {&clientSection, "ORC_Client", 135, 14, 60, "ORC", nullptr},
        {&clientSection, "CF", 135, 19, 60, "Cod_fiscal", nullptr},
        {&clientSection, "Adr", 135, 24, 60, "Adresa", nullptr},
        {&clientSection, "Jud", 135, 29, 40, "Judetul", nullptr},
        {&clientSection, "Cont", 135, 34, 60, "Cont_bancar", nullptr},
        {&clientSection, "Banca", 135, 39, 60, "Banca", nullptr},
        {&invoiceSection, "Numar", 80, 55, 30, "Numar", "0"},
        {&invoiceSection, "Data", 112, 55, 25, "Data", "dd.mm.yy"},
        {&invoiceSection, "CotaTVA", 150, 55, 12, "Cota_factura", "0.##"},
    };
    for (const Place& p : heading) {
        auto& e = head.add<TQRIniDBText>(file, *p.section, QString::fromLatin1(p.name), p.x, p.y, p.width,
                                        QString::fromLatin1(p.field), p.mask ? QString::fromLatin1(p.mask) : QString());
        if (QLatin1String(p.name) == QLatin1String("Data"))
            e.IniWidthTopic = QStringLiteral("Data_latime");
    }

    // One line per article, price and rate.
    Band& detail = r.band(BandKind::Detail, kDesignLineHeight);
    detail.add<TQRIniDBText>(file, kLineSection, QStringLiteral("Contor"), 0, 0, 8, QStringLiteral("Nr")).right();
    auto& text = detail.add<TQRIniDBText>(file, kLineSection, QStringLiteral("Den"), 10, 0, 70, QStringLiteral("Text"));
    detail.add<TQRIniDBText>(file, kLineSection, QStringLiteral("UM"), 81, 0, 10, QStringLiteral("UM"));
    detail.add<TQRIniDBText>(file, kLineSection, QStringLiteral("Cant"), 92, 0, 16, QStringLiteral("Cantitate"),
                             kQuantity)
        .right();
    auto& price = detail.add<TQRIniDBText>(file, kLineSection, QStringLiteral("Pret"), 109, 0, 22,
                                           QStringLiteral("Pret_vinzare"), money);
    price.right();
    price.IniLeftTopic = QStringLiteral("Pret_stings");
    auto& value = detail.add<TQRIniDBText>(file, kLineSection, QStringLiteral("Val"), 132, 0, 26,
                                           QStringLiteral("Valoare"), money);
    value.right();
    detail.add<TQRIniDBText>(file, kLineSection, QStringLiteral("Cota"), 159, 0, 10, QStringLiteral("CotaTVA"),
                             kRateMask)
        .right();
    auto& vat = detail.add<TQRIniDBText>(file, kLineSection, QStringLiteral("TVA"), 171, 0, 22, QStringLiteral("TVA"),
                                         kTwoDecimals);
    vat.right();

    // The base and VAT of each rate: where Factura.INI places them at the
    // foot of the last page, otherwise under the last line, in the columns
    // of the values and of the VAT.
    const QStringList rateNames{QStringLiteral("Cote"), QStringLiteral("BazaCote"), QStringLiteral("TVACote")};
    const bool breakdownPlaced = ini.valueExists(kFooterSection, rateNames[0] + QString::fromLatin1(kLeftSuffix))
                                 || ini.valueExists(kFooterSection, rateNames[1] + QString::fromLatin1(kRightSuffix))
                                 || ini.valueExists(kFooterSection, rateNames[2] + QString::fromLatin1(kRightSuffix));
    QStringList rates, bases, vats;
    for (qsizetype i = 0; i < documentTotals.byRate.size(); ++i) {
        const common::RateTotal& t = documentTotals.byRate.at(i);
        rates << (breakdownPlaced ? rateText(t.rate, request.formats) + QStringLiteral(" %")
                                  : rateCaption(i, t.rate, request.formats));
        bases << common::formatFloat(money, t.base, request.formats);
        vats << common::formatFloat(kTwoDecimals, t.vat, request.formats);
    }
    Band& summary = r.band(BandKind::Summary, 0);
    if (!breakdownPlaced && !rates.isEmpty()) {
        summary.setHeight(2 + 4.0 * double(rates.size()));
        summary.add<UnderColumn>(text, 1, QString()).right().setLines(rates);
        summary.add<UnderColumn>(value, 1, QString()).setLines(bases);
        summary.add<UnderColumn>(vat, 1, QString()).setLines(vats);
    }
    // The comment under the lines.
    fillComment(summary.child(0), footerLines(request));

    // The foot of every page: the totals and the dispatch details.
    Band& foot = r.band(BandKind::PageFooter,
                        ini.readInteger(QString::fromLatin1(kInvoiceFooterSection), QString::fromLatin1(kHeightKey),
                                        int(kDesignFooterHeight)));
    struct Total {
        const char* name;
        double x, y, width;
        std::size_t which;
        bool money;
    };
    for (const Total& t : {Total{"SVal", 146, 3, 24, 0, true}, Total{"STVA", 171, 3, 22, 1, false},
                           Total{"Acciza", 146, 9, 24, 2, true}, Total{"Sum", 160, 16, 33, 3, true}}) {
        const std::size_t which = t.which;
        foot.add<TQRIniDBCalc>(
                file, kFooterSection, QString::fromLatin1(t.name), t.x, t.y, t.width,
                [totals, which](const Row& row) {
                    const double v = totals->figure(row, which);
                    if (which == 2 && std::fabs(v) < 0.005)
                        return QVariant(); // no excise: nothing printed
                    return QVariant(v);
                },
                t.money ? money : kTwoDecimals)
            .right();
    }
    if (breakdownPlaced) {
        struct Breakdown {
            const QString& name;
            double x, width;
            const QStringList& lines;
            bool right;
        };
        for (const Breakdown& c : {Breakdown{rateNames[0], 120, 20, rates, false},
                                   Breakdown{rateNames[1], 146, 24, bases, true},
                                   Breakdown{rateNames[2], 171, 22, vats, true}}) {
            const QString joined = c.lines.join(u'\n');
            auto& e = foot.add<TQRIniDBCalc>(file, kFooterSection, c.name, c.x, 24, c.width,
                                             [totals, joined](const Row& row) {
                                                 return totals->lastPage(row) ? QVariant(joined) : QVariant();
                                             });
            e.wrap();
            if (c.right)
                e.right();
        }
    }
    const TransportDetails transport = ReadTransport(request.definitionDir).details;
    struct Dispatch {
        const char* name;
        double x, y, width;
        QString text;
    };
    for (const Dispatch& d : {Dispatch{"NumeDelegat", 22, 3, 60, transport.name},
                              Dispatch{"SerBI", 22, 9, 15, transport.idSeries},
                              Dispatch{"NrBI", 45, 9, 25, transport.idNumber},
                              Dispatch{"MijTransport", 22, 15, 40, transport.vehicle},
                              Dispatch{"DataExpeditie", 22, 21, 30, transport.date}})
        foot.add<TQRIniLabel>(file, kFooterSection, QString::fromLatin1(d.name), d.x, d.y, d.width, d.text)
            .setEnabled(transport.include);

    DocumentPrint print;
    Report* printed = report.get();
    print.report = std::move(report);
    print.rows = lines.rows();
    print.resources = layout;
    print.layoutFile = path;
    print.keepPage = [layout, printed] {
        return layout->ini()
               && writeLayoutPage(*layout->ini(), *printed, QString::fromLatin1(kInvoiceFooterSection));
    };
    return print;
}

namespace {

bool buildAndShow(QWidget* owner, DocumentPrint (*build)(const PrintRequest&), const PrintRequest& request,
                  const PrintSettings& settings, common::Dialogs& dialogs)
{
    DocumentPrint print;
    try {
        print = build(request);
    } catch (const std::exception& e) {
        dialogs.error(QStringLiteral("Eroare de acces la baza de date!\r<%1>").arg(datastore::errorText(e)));
        return false;
    }
    return ShowDocumentPrint(owner, print, settings, dialogs);
}

} // namespace

bool PrintInvoice(QWidget* owner, const PrintRequest& request, const PrintSettings& settings,
                  common::Dialogs& dialogs)
{
    return buildAndShow(owner, BuildInvoice, request, settings, dialogs);
}

bool PrintInvoiceWithReceipt(QWidget* owner, const PrintRequest& request, const PrintSettings& settings,
                             common::Dialogs& dialogs)
{
    return buildAndShow(owner, BuildInvoiceWithReceipt, request, settings, dialogs);
}

bool PrintPreprintedInvoice(QWidget* owner, const PrintRequest& request, PrintSettings& settings,
                            common::Dialogs& dialogs)
{
    return PrintPreprintedForm(owner, QStringLiteral("preprinted-invoice"), request, settings, dialogs);
}

} // namespace prints
