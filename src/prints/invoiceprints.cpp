#include "invoiceprints.h"

#include "amountinwords.h"
#include "invoicefiles.h"
#include "tqrprndlg.h"

#include "datastore/dataset.h"
#include "reportengine/papersizes.h"

#include <QDir>
#include <array>
#include <cmath>
#include <vector>

namespace prints {

using reportengine::Band;
using reportengine::BandKind;
using reportengine::Report;
using reportengine::Row;

namespace {

const QString kTwoDecimals = QStringLiteral("#,##0.00");
const QString kQuantity = QStringLiteral("#,##0.###");
const QString kShortDate = QStringLiteral("dd.mm.yy");

QString moneyMask(int decimals)
{
    return QStringLiteral("#,##0.") + QString(qMax(decimals, 0), u'0');
}

QString numberText(const QVariant& v)
{
    return v.isNull() ? QString() : QString::number(v.toDouble(), 'f', 0);
}

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

enum class LineText { Name, CodeOption }; // the receipt invoice prints the name only

// The lines grouped by article and price (and by the catalog's name,
// description, generic fields, unit and VAT rate). A line whose article is
// missing from the catalog keeps its code as its text.
std::unique_ptr<reportengine::ListSource> readLines(const PrintRequest& request, LineText textRule, bool generics,
                                                    bool withDescription)
{
    const QString genericFields =
        generics ? QStringLiteral("C.\"Generic 1\", C.\"Generic 2\", C.\"Generic 3\", C.\"Generic 4\", ") : QString();
    datastore::Query q = request.db.query(
        QStringLiteral("SELECT I.Cod_articol, I.Pret_vinzare, SUM(I.TVA) AS TVA, SUM(I.Cantitate) AS Cantitate, "
                       "SUM(I.Acciza) AS Acciza, C.Denumire AS Den, C.Descriere, C.Unitate_masura AS UM, "
                       "C.Coef_TVA AS DummyTVA, C.Cod "
                       "FROM ITEM_OUT I LEFT JOIN CATALOG C ON (I.Cod_grupa = C.Grupa) AND (I.Cod_articol = C.Cod) "
                       "WHERE (I.Contor = :Contor) "
                       "GROUP BY I.Cod_articol, I.Pret_vinzare, C.Denumire, C.Descriere, %1"
                       "C.Unitate_masura, C.Coef_TVA, C.Cod "
                       "ORDER BY I.Cod_articol, I.Pret_vinzare")
            .arg(genericFields),
        {{QStringLiteral("Contor"), request.contor}});
    auto rows = std::make_unique<reportengine::ListSource>(QStringList{
        QStringLiteral("Nr"), QStringLiteral("Cod_articol"), QStringLiteral("Text"), QStringLiteral("UM"),
        QStringLiteral("Cantitate"), QStringLiteral("Pret_vinzare"), QStringLiteral("Valoare"), QStringLiteral("TVA"),
        QStringLiteral("TVal"), QStringLiteral("Acciza"), QStringLiteral("DummyTVA")});
    const bool withCode = textRule == LineText::CodeOption && request.parameters.CodProdusPeFact;
    int n = 0;
    while (q.next()) {
        const QString code = q.value(0).toString();
        QString text;
        if (q.value(9).isNull()) {
            text = code;
        } else {
            const QString name = q.value(5).toString();
            text = withCode ? code + QStringLiteral(" - ") + name : name;
            if (withDescription && !q.value(6).toString().isEmpty())
                text += u' ' + q.value(6).toString();
        }
        const double quantity = q.value(3).toDouble();
        const double price = q.value(1).toDouble();
        const double value = quantity * price;
        const double vat = q.value(2).toDouble();
        rows->add({++n, code, text, q.value(7), quantity, price, value, vat, value + vat, q.value(4).toDouble(),
                   q.value(8)});
    }
    return rows;
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

// ---- the invoice on plain paper ----------------------------------------------------------

struct Column {
    double x;
    double width;
    QString caption;
    QString number;
};

const QList<Column>& invoiceColumns()
{
    static const QList<Column> columns{
        {0, 10, QStringLiteral("Nr.\ncrt."), QStringLiteral("0")},
        {10, 74, QStringLiteral("Denumirea produselor\nsau serviciilor"), QStringLiteral("1")},
        {84, 12, QStringLiteral("U.M."), QStringLiteral("2")},
        {96, 18, QStringLiteral("Cantitate"), QStringLiteral("3")},
        {114, 24, QStringLiteral("Pret unitar \n(fara TVA)-lei"), QStringLiteral("4")},
        {138, 26, QStringLiteral("Valoare\n-lei-"), QStringLiteral("5 (3x4)")},
        {164, 26, QStringLiteral("Valoare TVA\n-lei-"), QStringLiteral("6")},
    };
    return columns;
}

DocumentPrint buildPlainInvoice(const PrintRequest& request, bool withReceipt)
{
    const InvoiceHeader h = readHeader(request);
    std::unique_ptr<reportengine::ListSource> rows =
        readLines(request, withReceipt ? LineText::Name : LineText::CodeOption, true, false);
    const common::Formats& formats = request.formats;

    auto report = std::make_unique<Report>();
    Report& r = *report;
    r.page(reportengine::kPaperA4, reportengine::Orientation::Portrait).margins(10, 10, 10, 10).font(QStringLiteral("Arial"), 8);
    r.formats(formats);
    r.title(QStringLiteral("Factura %1").arg(numberText(h.numar)));
    r.value(QStringLiteral("Capital_text"), h.firmCapital);

    const QString date = h.data.isNull() ? QString() : common::formatDate(kShortDate, h.data.toDate(), formats);

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
    title.label(64, 18, 62, QStringLiteral("Nr. ") + numberText(h.numar));
    title.label(64, 22, 62, QStringLiteral("data ") + date);
    title.label(64, 26, 62, QStringLiteral("Nr. aviz de însotire a marfii ________"));
    title.label(64, 30, 15, QStringLiteral("Cota TVA"));
    title.field(79, 30, 8, QStringLiteral("DummyTVA"), QStringLiteral("0")).right();
    title.label(88, 30, 5, QStringLiteral("%"));
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
    for (const Column& c : invoiceColumns()) {
        head.label(c.x, 0, c.width, c.caption).center().frame(reportengine::FrameAll);
        head.label(c.x, 8, c.width, c.number).center().frame(reportengine::FrameAll);
        detail.vline(c.x);
    }
    detail.vline(190);
    detail.frame(reportengine::FrameBottom, 0.1);
    detail.count(0, 0.5, 9).running().right();
    detail.field(11, 0.5, 72, QStringLiteral("Text")).wrap();
    detail.field(85, 0.5, 10, QStringLiteral("UM")).center();
    detail.field(96, 0.5, 17, QStringLiteral("Cantitate"), kQuantity).right();
    detail.field(114, 0.5, 23, QStringLiteral("Pret_vinzare"), kTwoDecimals).right();
    detail.field(138, 0.5, 25, QStringLiteral("Valoare"), kTwoDecimals).right();
    detail.field(164, 0.5, 25, QStringLiteral("TVA"), kTwoDecimals).right();

    // The totals, the signatures and the dispatch.
    Band& foot = r.band(BandKind::Summary, 42);
    foot.line(0, 0, 190, 0);
    foot.label(84, 1, 52, QStringLiteral("Total:")).bold().right();
    foot.sum(138, 1, 25, QStringLiteral("Valoare"), kTwoDecimals).right().bold();
    foot.sum(164, 1, 25, QStringLiteral("TVA"), kTwoDecimals).right().bold();
    foot.line(138, 5.5, 190, 5.5);
    foot.label(84, 7, 52, QStringLiteral("Total de plata:")).bold().right();
    foot.label(84, 11, 52, QStringLiteral("(col. 5 + col. 6)")).right();
    foot.sum(138, 7, 51, QStringLiteral("TVal"), kTwoDecimals).right().bold().fontSize(10);
    foot.box(138, 6, 52, 9);
    foot.line(0, 16, 190, 16);
    foot.label(0, 18, 40, QStringLiteral("Semnatura si stampila")).center();
    foot.label(0, 22, 40, QStringLiteral("furnizorului")).center();
    foot.label(44, 18, 100, QStringLiteral("Date privind expeditia")).bold();
    foot.label(44, 22, 100, QStringLiteral("Numele delegatului ______________________________"));
    foot.label(44, 26, 100, QStringLiteral("Mijlocul de transport ______________  Nr. __________"));
    foot.label(44, 30, 100, QStringLiteral("Expedierea s-a efectuat în prezenta"));
    foot.label(44, 34, 100, QStringLiteral("noastra la data _________, ora ______"));
    foot.label(44, 38, 100, QStringLiteral("Semnatura ____________"));
    foot.label(150, 18, 40, QStringLiteral("Semnatura")).center();
    foot.label(150, 22, 40, QStringLiteral("de primire")).center();
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
        QString words;
        try {
            words = amount.isNull() ? QString() : AmountInWords(amount.toDouble());
        } catch (const std::out_of_range&) {
            words.clear();
        }
        Band& receipt = foot.child(44);
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
                          + (amount.isNull() ? QString() : common::formatFloat(kTwoDecimals, amount.toDouble(), formats)));
        receipt.label(0, 25, 190, QStringLiteral("adica ") + words).wrap();
        receipt.label(0, 31, 190,
                      QStringLiteral("reprezentînd contravaloarea facturii nr. ") + numberText(h.numar)
                          + QStringLiteral(" din ") + date);
        receipt.label(150, 37, 40, QStringLiteral("Casier,"));
    }

    r.band(BandKind::PageFooter, 5).pageNumber(0, 1, 190, QStringLiteral("Pagina %1 din %2")).right();

    DocumentPrint print;
    print.report = std::move(report);
    print.rows = std::move(rows);
    return print;
}

// ---- the invoice on pre-printed forms ------------------------------------------------------

constexpr int kDefaultTop = 10;
constexpr int kDefaultLeft = 8;
constexpr int kDefaultRight = 8;
constexpr int kDefaultBottom = 10;
constexpr int kDefaultPaper = reportengine::kPaperA4;
constexpr double kDesignHeaderHeight = 65;
constexpr double kDesignFooterHeight = 40;
constexpr double kDesignLineHeight = 5;

const QString kLineSection = QString::fromLatin1(kInvoiceLineSection);
const QString kFooterSection = QStringLiteral("Baza factura");

// The totals at the foot of each page: the page's figures, and the
// document's on the page of its last line. The page header notes the first
// line of its page; the page footer sees the last line placed on it.
struct PageTotals {
    std::vector<std::array<double, 4>> running{{0, 0, 0, 0}}; // after line n: value, VAT, excise, total
    int firstOnPage = 1;

    int lines() const { return int(running.size()) - 1; }
    QVariant figure(const Row& lastPlaced, int which) const
    {
        const int last = qBound(0, int(lastPlaced.number(QStringLiteral("Nr"))), lines());
        const int first = qBound(1, firstOnPage, qMax(last, 1));
        const double v = last >= lines() ? running.back()[which]
                                         : running[last][which] - running[first - 1][which];
        return v;
    }
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

PrintSettings preprintedInvoiceSettings(const common::IniFile& layout, const PrintSettings& settings)
{
    const QString margins = QString::fromLatin1(kMarginsSection);
    PrintSettings s = settings;
    s.topMargin = layout.readInteger(margins, QString::fromLatin1(kMarginTopKey), kDefaultTop);
    s.leftMargin = layout.readInteger(margins, QString::fromLatin1(kMarginLeftKey), kDefaultLeft);
    s.rightMargin = layout.readInteger(margins, QString::fromLatin1(kMarginRightKey), kDefaultRight);
    s.bottomMargin = layout.readInteger(margins, QString::fromLatin1(kMarginBottomKey), kDefaultBottom);
    s.paperSize = layout.readInteger(QString::fromLatin1(kPageSection), QString::fromLatin1(kPaperKey), kDefaultPaper);
    s.orientation = PageOrientation::Portrait;
    return s;
}

bool writePreprintedInvoicePage(common::IniFile& layout, const Report& report)
{
    const QString margins = QString::fromLatin1(kMarginsSection);
    const QMarginsF m = report.pageMargins();
    auto whole = [](double mm) { return int(std::lround(mm)); };
    bool ok = layout.writeInteger(margins, QString::fromLatin1(kMarginTopKey), whole(m.top()));
    ok = layout.writeInteger(margins, QString::fromLatin1(kMarginLeftKey), whole(m.left())) && ok;
    ok = layout.writeInteger(margins, QString::fromLatin1(kMarginRightKey), whole(m.right())) && ok;
    ok = layout.writeInteger(margins, QString::fromLatin1(kMarginBottomKey), whole(m.bottom())) && ok;
    ok = layout.writeInteger(QString::fromLatin1(kPageSection), QString::fromLatin1(kPaperKey), report.paperIndex()) && ok;
    if (const Band* header = report.findBand(BandKind::PageHeader))
        ok = layout.writeInteger(QString::fromLatin1(kHeaderSection), QString::fromLatin1(kHeightKey),
                                 whole(header->height())) && ok;
    if (const Band* footer = report.findBand(BandKind::PageFooter))
        ok = layout.writeInteger(QString::fromLatin1(kInvoiceFooterSection), QString::fromLatin1(kHeightKey),
                                 whole(footer->height())) && ok;
    return ok;
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
    std::unique_ptr<reportengine::ListSource> rows =
        readLines(request, LineText::CodeOption, false, request.options.description);
    auto totals = std::make_shared<PageTotals>();
    for (qsizetype i = 0; i < rows->size(); ++i) {
        rows->next();
        std::array<double, 4> sum = totals->running.back();
        sum[0] += rows->value(6).toDouble();
        sum[1] += rows->value(7).toDouble();
        sum[2] += rows->value(9).toDouble();
        sum[3] += rows->value(8).toDouble();
        totals->running.push_back(sum);
    }
    rows->rewind();

    const PrintSettings page = preprintedInvoiceSettings(ini, PrintSettings{});
    auto report = std::make_unique<Report>();
    Report& r = *report;
    r.page(page.paperSize, reportengine::Orientation::Portrait)
        .margins(page.leftMargin, page.topMargin, page.rightMargin, page.bottomMargin)
        .font(QStringLiteral("Arial"), 8);
    r.formats(request.formats);
    r.title(QStringLiteral("Factura %1").arg(numberText(h.numar)));
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
        totals->firstOnPage = qMax(1, int(row.number(QStringLiteral("Nr"))));
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
        {&invoiceSection, "CotaTVA", 150, 55, 12, "DummyTVA", "0"},
    };
    for (const Place& p : heading) {
        auto& e = head.add<TQRIniDBText>(file, *p.section, QString::fromLatin1(p.name), p.x, p.y, p.width,
                                        QString::fromLatin1(p.field), p.mask ? QString::fromLatin1(p.mask) : QString());
        if (QLatin1String(p.name) == QLatin1String("Data"))
            e.IniWidthTopic = QStringLiteral("Data_latime");
    }

    // One line per article and price.
    Band& detail = r.band(BandKind::Detail, kDesignLineHeight);
    detail.add<TQRIniDBText>(file, kLineSection, QStringLiteral("Contor"), 0, 0, 8, QStringLiteral("Nr")).right();
    detail.add<TQRIniDBText>(file, kLineSection, QStringLiteral("Den"), 10, 0, 82, QStringLiteral("Text"));
    detail.add<TQRIniDBText>(file, kLineSection, QStringLiteral("UM"), 93, 0, 10, QStringLiteral("UM"));
    detail.add<TQRIniDBText>(file, kLineSection, QStringLiteral("Cant"), 104, 0, 18, QStringLiteral("Cantitate"),
                             kQuantity)
        .right();
    auto& price = detail.add<TQRIniDBText>(file, kLineSection, QStringLiteral("Pret"), 123, 0, 22,
                                           QStringLiteral("Pret_vinzare"), money);
    price.right();
    price.IniLeftTopic = QStringLiteral("Pret_stings");
    detail.add<TQRIniDBText>(file, kLineSection, QStringLiteral("Val"), 146, 0, 24, QStringLiteral("Valoare"), money)
        .right();
    detail.add<TQRIniDBText>(file, kLineSection, QStringLiteral("TVA"), 171, 0, 22, QStringLiteral("TVA"),
                             kTwoDecimals)
        .right();

    // The comment under the lines.
    fillComment(r.band(BandKind::Summary, 0), footerLines(request));

    // The foot of every page: the totals and the dispatch details.
    Band& foot = r.band(BandKind::PageFooter,
                        ini.readInteger(QString::fromLatin1(kInvoiceFooterSection), QString::fromLatin1(kHeightKey),
                                        int(kDesignFooterHeight)));
    struct Total {
        const char* name;
        double x, y, width;
        int which;
        bool money;
    };
    for (const Total& t : {Total{"SVal", 146, 3, 24, 0, true}, Total{"STVA", 171, 3, 22, 1, false},
                           Total{"Acciza", 146, 9, 24, 2, true}, Total{"Sum", 160, 16, 33, 3, true}}) {
        const int which = t.which;
        foot.add<TQRIniDBCalc>(
                file, kFooterSection, QString::fromLatin1(t.name), t.x, t.y, t.width,
                [totals, which](const Row& row) {
                    const QVariant v = totals->figure(row, which);
                    if (which == 2 && std::fabs(v.toDouble()) < 0.005)
                        return QVariant(); // no excise: nothing printed
                    return v;
                },
                t.money ? money : kTwoDecimals)
            .right();
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
    print.report = std::move(report);
    print.rows = std::move(rows);
    print.resources = layout;
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
    const QString path = QDir(request.layoutDirectory()).filePath(QString::fromLatin1(kInvoiceLayoutFileName));
    PrintSettings used = preprintedInvoiceSettings(common::IniFile(path), settings);
    if (!ShowPrintSetup(owner, used, dialogs))
        return false;
    // What the setup chose beside the page stays for the next prints.
    const PrintSettings page = settings;
    settings = used;
    settings.topMargin = page.topMargin;
    settings.leftMargin = page.leftMargin;
    settings.bottomMargin = page.bottomMargin;
    settings.rightMargin = page.rightMargin;
    settings.paperSize = page.paperSize;
    settings.orientation = page.orientation;

    DocumentPrint print;
    try {
        print = BuildPreprintedInvoice(request);
    } catch (const std::exception& e) {
        dialogs.error(QStringLiteral("Eroare de acces la baza de date!\r<%1>").arg(datastore::errorText(e)));
        return false;
    }
    const bool printed = ShowDocumentPrint(owner, print, used, dialogs);
    auto layout = std::static_pointer_cast<LayoutFile>(print.resources);
    if (printed && layout->ini() && !writePreprintedInvoicePage(*layout->ini(), *print.report))
        dialogs.error(QStringLiteral("Nu pot scrie fisierul %1!").arg(QDir::toNativeSeparators(path)));
    layout->CloseLayoutFile();
    return printed;
}

} // namespace prints
