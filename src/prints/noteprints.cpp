// The daily food list, the hand-over note and the delivery notes.
#include "noteprints.h"

#include "invoicefiles.h"
#include "layoutfile.h"
#include "pagefurniture.h"
#include "printdata.h"

#include "common/documenttotals.h"
#include "common/rounding.h"
#include "reportengine/papersizes.h"

#include <QDir>
#include <QSet>

namespace prints {

using reportengine::Band;
using reportengine::BandKind;
using reportengine::Element;
using reportengine::Group;
using reportengine::Orientation;
using reportengine::Report;
using reportengine::Row;


// ---------------------------------------------------------------------------
// Hand-over note

DocumentPrint BuildHandOverNote(const PrintRequest& request)
{
    datastore::Database& db = request.db;
    const PrintRow issuer = issuerOf(db, request.parameters.FirmNo);
    const PrintRow header = outputHeader(db, request.contor);
    QList<PrintRow> lines = readRows(
        db,
        QStringLiteral(
            "SELECT I.Agent, I.Cod_gestiune, I.Cod_articol, I.Cod_grupa, I.Pret_achizitie, SUM(I.TVA) as TVA, "
            "SUM(I.Cantitate) as Cantitate, SUM(I.Acciza) as Acciza, C.Denumire as Den, C.Descriere, "
            "C.Unitate_masura as UM, C.Coef_TVA as DummyTVA "
            "FROM ITEM_OUT I LEFT JOIN CATALOG C ON (I.Cod_grupa = C.Grupa) AND (I.Cod_articol = C.Cod) "
            "WHERE (I.Contor = :Contor) "
            "GROUP BY I.Agent, I.Cod_gestiune, I.Cod_articol, I.Pret_achizitie, C.Denumire, C.Descriere, "
            "C.\"Generic 1\", C.\"Generic 2\", C.\"Generic 3\", C.\"Generic 4\", C.Unitate_masura, C.Coef_TVA, I.Cod_grupa "
            "ORDER BY I.Agent, I.Cod_gestiune, I.Cod_articol, I.Pret_achizitie, I.Cod_grupa"),
        {{QStringLiteral("Contor"), request.contor}});
    const QHash<QString, QString> budgets = budgetNames(db, lines);
    // Each printed line's value rounded once; the totals sum those values.
    const QList<common::TotalLine> valued = common::valuedLines(pricedLines(lines, "Pret_achizitie"),
                                                                request.parameters.nrZecimaleLei);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        PrintRow& line = lines[i];
        const QString code = textOf(line, QStringLiteral("Cod_articol"));
        line.insert(QStringLiteral("linetext"),
                    lineText(code, field(line, QStringLiteral("Den")), textOf(line, QStringLiteral("Descriere")),
                             request.parameters.CodProdusPeFact, true));
        line.insert(QStringLiteral("valoare"), valued.at(i).value);
        line.insert(QStringLiteral("nume_client"), budgetName(budgets, textOf(line, QStringLiteral("Agent"))));
    }

    // The giving warehouse is the first line's; the receiving one is named by
    // the caller (the document's client: a warehouse code on a transfer).
    const QString giving = lines.isEmpty() ? QString() : textOf(lines.first(), QStringLiteral("Cod_gestiune"));
    const QString givingName = warehouseField(db, giving, "Denumire");
    const QString givingKeeper = warehouseField(db, giving, "Gestionar");
    QString receiving = request.warehouseName;
    if (receiving.isEmpty()) {
        receiving = warehouseField(db, textOf(header, QStringLiteral("Client")), "Denumire");
        if (receiving.isEmpty())
            receiving = textOf(header, QStringLiteral("Nume_client"));
    }
    QString receivingKeeper;
    if (!receiving.isEmpty()) {
        const QList<PrintRow> keepers =
            readRows(db, QStringLiteral("SELECT Gestionar FROM \"Gest.db\" WHERE UPPER(Denumire) = UPPER(:n)"),
                     {{QStringLiteral("n"), receiving}});
        if (!keepers.isEmpty())
            receivingKeeper = textOf(keepers.first(), QStringLiteral("Gestionar"));
    }
    QString explanation;
    if (request.options.explanation)
        explanation = request.explanation.isEmpty() ? textOf(header, QStringLiteral("Explicatie")) : request.explanation;

    const QString money = moneyMask(request.parameters.nrZecimaleLei);
    auto report = newReport(request, Orientation::Portrait,
                            QStringLiteral("Nota de transfer %1").arg(wholeText(field(header, QStringLiteral("Numar")))));
    Report& r = *report;
    const double W = 190;

    Band& title = r.band(BandKind::Title, 52);
    issuerBlock(title, 0, 0, 95, issuer);
    title.label(100, 2, 90, QStringLiteral("NOTA DE TRANSFER")).bold().fontSize(12).center();
    title.label(100, 9, 90,
                QStringLiteral("Nr. : %1   din data %2")
                    .arg(wholeText(field(header, QStringLiteral("Numar"))),
                         dateText(field(header, QStringLiteral("Data")), request.formats)))
        .center();
    title.label(0, 32, 42, QStringLiteral("GESTIUNE PREDATOARE :")).bold();
    title.label(42, 32, 148, givingName);
    title.label(0, 36, 42, QStringLiteral("GESTIUNE PRIMITOARE : ")).bold();
    title.label(42, 36, 148, receiving);
    title.label(0, 40, W,
                QStringLiteral("pentru documentul nr.: %1   din data : %2")
                    .arg(wholeText(request.contor), dateText(registrationDate(request, header), request.formats)));
    title.label(0, 45, W, explanation).wrap();

    const QList<Column> columns{
        {0, 10, {S("Nr crt.")}, {}, {}, true},
        {10, 16, {S("Cod grupa")}, QStringLiteral("Cod_grupa"), {}},
        {26, 24, {S("Numar inventar")}, QStringLiteral("Cod_articol"), {}},
        {50, 62, {S("Denumire produs")}, QStringLiteral("LineText"), {}},
        {112, 10, {S("U.M.")}, QStringLiteral("UM"), {}},
        {122, 16, {S("Canti-"), S("tate")}, QStringLiteral("Cantitate"), kQuantityMask, true},
        {138, 18, {S("Pret unitar ")}, QStringLiteral("Pret_achizitie"), priceMask(request.parameters.nrZecimaleLei), true},
        {156, 24, {S("Valoare")}, QStringLiteral("Valoare"), money, true},
        {180, 10, {S("TVA")}, QStringLiteral("DummyTVA"), QStringLiteral("0"), true},
    };
    Band& head = r.band(BandKind::ColumnHeader, 9);
    Group& budget = r.group(QStringLiteral("Agent"));
    Band& gh = budget.header(6);
    gh.field(0, 1, 120, QStringLiteral("Nume_client")).bold();
    gh.field(125, 1, 40, QStringLiteral("Agent"));
    Band& gf = budget.footer(7);
    gf.line(0, 0.5, W, 0.5);
    gf.label(0, 1.5, 12, QStringLiteral("Total")).bold();
    gf.field(12, 1.5, 120, QStringLiteral("Nume_client")).bold();
    gf.sum(156, 1.5, 23, QStringLiteral("Valoare"), money).right().bold();
    Band& detail = r.band(BandKind::Detail, 4.5);
    addColumns(head, detail, columns, 8, &gf);

    Band& summary = r.band(BandKind::Summary, 40);
    summary.line(0, 0.5, W, 0.5);
    summary.label(100, 2, 50, QStringLiteral("Total general:")).bold();
    summary.sum(156, 2, 23, QStringLiteral("Valoare"), money).right().bold();
    summary.label(0, 12, 30, QStringLiteral("Semnatura:"));
    summary.label(30, 12, 60, QStringLiteral("PREDATOR:")).bold();
    summary.label(30, 17, 60, givingKeeper);
    summary.label(95, 12, 55, QStringLiteral("PRIMITOR:")).bold();
    summary.label(95, 17, 55, receivingKeeper);
    summary.label(155, 12, 35, QStringLiteral("Aprobat,")).bold();
    pageFooter(r, W, QStringLiteral("Cod 14-50-56"));

    const QStringList fields{QStringLiteral("Agent"),       QStringLiteral("Nume_client"), QStringLiteral("Cod_gestiune"),
                             QStringLiteral("Cod_grupa"),   QStringLiteral("Cod_articol"), QStringLiteral("LineText"),
                             QStringLiteral("UM"),          QStringLiteral("Cantitate"),   QStringLiteral("Pret_achizitie"),
                             QStringLiteral("Valoare"),     QStringLiteral("TVA"),         QStringLiteral("DummyTVA")};
    return DocumentPrint{std::move(report), listOf(fields, lines), nullptr};
}

// ---------------------------------------------------------------------------
// Delivery notes

namespace {

// The lines of a delivery note, one per group, article and sale price (Nr
// from 1), each valued once (common::valuedLines), and their totals.
struct DeliveryLines {
    QList<PrintRow> rows;
    common::DocumentTotals totals;
};

DeliveryLines deliveryLines(const PrintRequest& request, bool withDescription)
{
    DeliveryLines out;
    out.rows = readRows(
        request.db,
        QStringLiteral("SELECT I.Cod_grupa, I.Cod_articol, I.Pret_vinzare, SUM(I.TVA) as TVA, SUM(I.Cantitate) as Cantitate, "
                       "SUM(I.Acciza) as Acciza, C.Denumire as Den, C.Descriere, C.Unitate_masura as UM, "
                       "C.Coef_TVA as DummyTVA "
                       "FROM ITEM_OUT I LEFT JOIN CATALOG C ON (I.Cod_grupa = C.Grupa) AND (I.Cod_articol = C.Cod) "
                       "WHERE (I.Contor = :Contor) "
                       "GROUP BY I.Cod_grupa, I.Cod_articol, I.Pret_vinzare, C.Denumire, C.Descriere, C.Unitate_masura, "
                       "C.Coef_TVA "
                       "ORDER BY I.Cod_articol, I.Pret_vinzare, I.Cod_grupa"),
        {{QStringLiteral("Contor"), request.contor}});
    QList<common::PricedLine> priced;
    for (const PrintRow& line : out.rows) {
        common::PricedLine p;
        p.group = textOf(line, QStringLiteral("Cod_grupa"));
        p.article = textOf(line, QStringLiteral("Cod_articol"));
        p.price = field(line, QStringLiteral("Pret_vinzare")).toDouble();
        p.quantity = field(line, QStringLiteral("Cantitate")).toDouble();
        p.vat = field(line, QStringLiteral("TVA")).toDouble();
        p.excise = field(line, QStringLiteral("Acciza")).toDouble();
        p.vatRate = field(line, QStringLiteral("DummyTVA")).toDouble();
        priced << p;
    }
    const QList<common::TotalLine> valued = common::valuedLines(priced, request.parameters.nrZecimaleLei);
    for (qsizetype i = 0; i < out.rows.size(); ++i) {
        PrintRow& line = out.rows[i];
        line.insert(QStringLiteral("nr"), int(i + 1));
        line.insert(QStringLiteral("linetext"),
                    lineText(textOf(line, QStringLiteral("Cod_articol")), field(line, QStringLiteral("Den")),
                             textOf(line, QStringLiteral("Descriere")), request.parameters.CodProdusPeFact,
                             withDescription));
        // Values without VAT.
        line.insert(QStringLiteral("valoare"), valued.at(i).value);
        line.insert(QStringLiteral("tval"), valued.at(i).value);
    }
    out.totals = common::totalsOf(valued);
    return out;
}

const QStringList kDeliveryFields{QStringLiteral("Nr"),           QStringLiteral("Cod_articol"),
                                  QStringLiteral("LineText"),     QStringLiteral("UM"),
                                  QStringLiteral("Cantitate"),    QStringLiteral("Pret_vinzare"),
                                  QStringLiteral("Valoare"),      QStringLiteral("TVal"),
                                  QStringLiteral("TVA"),          QStringLiteral("Descriere")};

} // namespace

DocumentPrint BuildDeliveryNote(const PrintRequest& request)
{
    datastore::Database& db = request.db;
    const PrintRow issuer = issuerOf(db, request.parameters.FirmNo);
    const PrintRow header = outputHeader(db, request.contor);
    const DeliveryLines lines = deliveryLines(request, false);

    const QString money = moneyMask(request.parameters.nrZecimaleLei);
    auto report = newReport(request, Orientation::Portrait,
                            QStringLiteral("Aviz de insotire %1").arg(wholeText(field(header, QStringLiteral("Numar")))));
    Report& r = *report;
    const double W = 190;

    const QString number = wholeText(field(header, QStringLiteral("Numar")));
    const QString date = dateText(field(header, QStringLiteral("Data")), request.formats, QStringLiteral("dd.mm.yy"));
    const QString series = request.seriesNumber.trimmed();
    // The pages after the first name the note.
    continuationHeader(r,
                       QStringLiteral("AVIZ DE INSOTIRE A MARFII")
                           + (series.isEmpty() ? QString() : QStringLiteral("   Seria ") + series)
                           + QStringLiteral("   Nr. ") + number + QStringLiteral("   data ") + date,
                       W);

    Band& title = r.band(BandKind::Title, 38);
    issuerBlock(title, 0, 0, 68, issuer);
    title.label(70, 2, 50, QStringLiteral("AVIZ DE INSOTIRE")).bold().fontSize(11).center();
    title.label(70, 7, 50, QStringLiteral("A MARFII")).bold().fontSize(11).center();
    double y = 14;
    if (!request.seriesNumber.isEmpty()) {
        title.label(70, y, 50, QStringLiteral("Seria ") + request.seriesNumber).center();
        y += 4.5;
    }
    title.label(70, y, 50, QStringLiteral("Nr. ") + number).center();
    title.label(70, y + 4.5, 50, QStringLiteral("data ") + date).center();
    title.label(124, 0, 66, QStringLiteral("Cumparator:"));
    title.label(124, 4, 66, textOf(header, QStringLiteral("Nume_client"))).bold().wrap();
    const struct {
        const char* caption;
        const char* field;
    } buyer[] = {{"Cod fiscal", "Cod_fiscal"}, {"Localitatea", "Adresa"}, {"Judetul", "Judetul"},
                 {"Contul", "Cont_bancar"},    {"Banca", "Banca"},         {"O.R.C.", "ORC"}};
    double by = 12;
    for (const auto& b : buyer) {
        title.label(124, by, 20, QString::fromLatin1(b.caption));
        title.label(144, by, 46, textOf(header, QString::fromLatin1(b.field)));
        by += 4;
    }

    const QList<Column> columns{
        {0, 10, {S("Nr.crt.")}, {}, {}, true},
        {10, 88, {S("Specificatia"), S("(produse, ambalaje, etc.)")}, QStringLiteral("LineText"), {}},
        {98, 12, {S("U.M.")}, QStringLiteral("UM"), {}},
        {110, 22, {S("Cantitate"), S("livrata")}, QStringLiteral("Cantitate"), kQuantityMask, true},
        {132, 28, {S("Pret unitar "), S("(fara TVA) -lei")}, QStringLiteral("Pret_vinzare"), money, true},
        {160, 30, {S("Valoare"), S("- lei -")}, QStringLiteral("TVal"), money, true},
    };
    Band& head = r.band(BandKind::ColumnHeader, 13);
    Band& detail = r.band(BandKind::Detail, 4.5);
    addColumns(head, detail, columns, 8);
    numberColumns(head, columns, {S("0"), S("1"), S("2"), S("3"), S("4"), S("5=3x4")}, 8.5);

    // The total: the sum of the values printed above it.
    Band& summary = r.band(BandKind::Summary, 48);
    summary.line(0, 0.5, W, 0.5);
    summary.label(132, 2, 28, QStringLiteral("Total:")).bold();
    summary.label(160, 2, 29, common::formatFloat(money, lines.totals.value, request.formats)).right().bold();
    summary.box(0, 8, 60, 36);
    summary.label(2, 9, 56, QStringLiteral("Semnatura si stampila")).center();
    summary.label(2, 13, 56, QStringLiteral("furnizorului")).center();
    summary.box(60, 8, 80, 36);
    summary.label(62, 9, 76, QStringLiteral("Date privind expeditia")).bold();
    summary.label(62, 14, 40, QStringLiteral("Numele delegatului"));
    summary.label(62, 19, 40, QStringLiteral("Mijlocul de transport"));
    summary.label(110, 19, 10, QStringLiteral("Nr."));
    summary.label(62, 23, 76, QString::fromUtf8("Expedierea s-a facut în prezenta noastra la data de ________ ora _______. "
                                                "Semnaturile________________________"))
        .wrap();
    summary.box(140, 8, 50, 36);
    summary.label(142, 9, 46, QStringLiteral("Semnatura")).center();
    summary.label(142, 13, 46, QStringLiteral("de primire")).center();
    pageFooter(r, W, QStringLiteral("Cod 14-3-6a"));
    return DocumentPrint{std::move(report), listOf(kDeliveryFields, lines.rows), nullptr};
}

DocumentPrint BuildPreprintedDeliveryNote(const PrintRequest& request)
{
    datastore::Database& db = request.db;
    const PrintRow issuer = issuerOf(db, request.parameters.FirmNo);
    const PrintRow header = outputHeader(db, request.contor);
    const DeliveryLines lines = deliveryLines(request, request.options.description);

    auto layout = std::make_shared<LayoutFile>();
    const QString dir = request.layoutDirectory();
    const QString fileName = QDir(dir).filePath(QString::fromLatin1(kDeliveryNoteLayoutFileName));
    if (!layout->OpenLayoutFile(fileName))
        throw std::runtime_error(QStringLiteral("Fisierul %1 nu poate fi creat").arg(fileName).toStdString());
    const common::IniFile& ini = *layout->ini();
    // The page of the form, from the file.
    const PrintSettings page = layoutPageSettings(ini, PrintSettings{});
    const int headerHeight = ini.readInteger(QString::fromLatin1(kHeaderSection), QString::fromLatin1(kHeightKey), 95);

    // At the foot of each page the total of its lines; the document's on the last page.
    std::vector<std::vector<double>> figures;
    for (const PrintRow& line : lines.rows)
        figures.push_back({field(line, QStringLiteral("TVal")).toDouble()});
    auto totals = std::make_shared<PageTotals>(figures, std::vector<double>{lines.totals.value});

    const QString money = moneyMask(request.parameters.nrZecimaleLei);
    auto report = std::make_unique<Report>();
    Report& r = *report;
    r.page(page.paperSize, Orientation::Portrait)
        .margins(page.leftMargin, page.topMargin, page.rightMargin, page.bottomMargin)
        .font(QStringLiteral("Arial"), 8);
    r.formats(request.formats);
    r.title(QStringLiteral("Aviz de insotire %1").arg(wholeText(field(header, QStringLiteral("Numar")))));
    for (const char* f : {"Denumire", "ORC", "Cod fiscal", "Adresa", "Judet", "Cont", "Banca"})
        r.value(QStringLiteral("Firma_") + QString::fromLatin1(f), field(issuer, QString::fromLatin1(f)));
    for (const char* f : {"Nume_client", "Cod_fiscal", "Adresa", "Judetul", "Cont_bancar", "Banca", "Numar"})
        r.value(QStringLiteral("Doc_") + QString::fromLatin1(f), field(header, QString::fromLatin1(f)));
    r.value(QStringLiteral("Doc_Data"), field(header, QStringLiteral("Data")).toDate());

    // The header of every form: the issuer, the buyer, the note's date and number.
    Band& h = r.band(BandKind::PageHeader, headerHeight);
    h.calc(0, 0, 1, [totals](const Row& row) {
        totals->pageStarts(row);
        return QVariant();
    });
    const QString firm = QStringLiteral("Antet firma");
    const struct {
        const char* name;
        const char* value;
        double x, y, width;
    } firmElements[] = {{"Firma", "Firma_Denumire", 10, 10, 80}, {"ORC", "Firma_ORC", 10, 14, 60},
                        {"CF", "Firma_Cod fiscal", 10, 18, 60},  {"Adr", "Firma_Adresa", 10, 22, 80},
                        {"Jud", "Firma_Judet", 10, 26, 60},      {"Cont", "Firma_Cont", 10, 30, 80},
                        {"Banca", "Firma_Banca", 10, 34, 80}};
    for (const auto& e : firmElements)
        h.add<TQRIniDBText>(*layout, firm, QString::fromLatin1(e.name), e.x, e.y, e.width, QString::fromLatin1(e.value));
    const QString client = QStringLiteral("Antet client");
    const struct {
        const char* name;
        const char* value;
        double x, y, width;
    } clientElements[] = {{"Firma", "Doc_Nume_client", 120, 10, 70}, {"CF", "Doc_Cod_fiscal", 120, 14, 60},
                          {"Adr", "Doc_Adresa", 120, 18, 70},        {"Jud", "Doc_Judetul", 120, 22, 60},
                          {"Cont", "Doc_Cont_bancar", 120, 26, 70},  {"Banca", "Doc_Banca", 120, 30, 70}};
    for (const auto& e : clientElements)
        h.add<TQRIniDBText>(*layout, client, QString::fromLatin1(e.name), e.x, e.y, e.width, QString::fromLatin1(e.value));
    const QString note = QStringLiteral("Antet aviz");
    TQRIniDBText& date = h.add<TQRIniDBText>(*layout, note, QStringLiteral("Data"), 90, 45, 30, QStringLiteral("Doc_Data"),
                                             QStringLiteral("dd.mm.yyyy"));
    date.IniLeftTopic = QStringLiteral("Data_stinga");
    date.IniTopTopic = QStringLiteral("Data_sus");
    date.IniWidthTopic = QStringLiteral("Data_latime");
    h.add<TQRIniDBText>(*layout, note, QStringLiteral("Numar"), 90, 40, 30, QStringLiteral("Doc_Numar"), QStringLiteral("0"));

    // One line of the form per printed line.
    Band& d = r.band(BandKind::Detail, 5);
    const QString item = QStringLiteral("Pozitie aviz");
    d.add<TQRIniDBText>(*layout, item, QStringLiteral("Contor"), 0, 0, 8, QStringLiteral("Nr")).right();
    d.add<TQRIniDBText>(*layout, item, QStringLiteral("Den"), 10, 0, 90, QStringLiteral("LineText"));
    d.add<TQRIniDBText>(*layout, item, QStringLiteral("UM"), 102, 0, 12, QStringLiteral("UM"));
    d.add<TQRIniDBText>(*layout, item, QStringLiteral("Cant"), 115, 0, 20, QStringLiteral("Cantitate"),
                        QStringLiteral("0.######"))
        .right();
    TQRIniDBText& price = d.add<TQRIniDBText>(*layout, item, QStringLiteral("Pret"), 136, 0, 24,
                                              QStringLiteral("Pret_vinzare"), money);
    price.right();
    price.IniLeftTopic = QStringLiteral("Pret_stings");
    price.IniTopTopic = QStringLiteral("Pret_sus");
    price.IniWidthTopic = QStringLiteral("Pret_ext");
    d.add<TQRIniDBText>(*layout, item, QStringLiteral("Val"), 161, 0, 28, QStringLiteral("Valoare"), money).right();

    // The comment below the lines, when chosen.
    Band& summary = r.band(BandKind::Summary, 0);
    if (request.options.comment) {
        const InvoiceFooter footer = ReadInvoiceFooter(request.definitionDir);
        QStringList text = footer.text.split(u'\n');
        while (!text.isEmpty() && text.last().isEmpty())
            text.removeLast();
        if (!text.isEmpty()) {
            summary.setHeight(4.0 * text.size() + 2);
            summary.label(10, 1, 170, text.join(u'\n')).setLines(text);
        }
    }
    // The total without VAT: of the page's lines, and the document's on its last page.
    Band& f = r.band(BandKind::PageFooter, 20);
    f.add<TQRIniDBCalc>(*layout, QStringLiteral("Baza aviz"), QStringLiteral("Sum"), 161, 5, 28,
                        [totals](const Row& row) { return QVariant(totals->figure(row, 0)); }, money)
        .right();

    Report* printed = report.get();
    DocumentPrint print{std::move(report), listOf(kDeliveryFields, lines.rows), layout};
    print.layoutFile = fileName;
    print.keepPage = [layout, printed] { return layout->ini() && writeLayoutPage(*layout->ini(), *printed); };
    return print;
}

bool PrintPreprintedDeliveryNote(QWidget* owner, const PrintRequest& request, PrintSettings& settings,
                                 common::Dialogs& dialogs)
{
    return PrintPreprintedForm(owner, QStringLiteral("preprinted-delivery-note"), request, settings, dialogs);
}

// ---------------------------------------------------------------------------
// Daily food list

namespace {

// The figures of one allocation type (or of all) for one period. Money is
// rounded to the decimals of lei when read, so every sum and difference is
// one of the figures printed.
struct DailyFigures {
    double persons = 0;
    double rights = 0;
    double consumed = 0;
    double counted = 0; // consumption compared with the rights
    double difference() const { return common::roundMoney(rights - counted, 9); }
    double savings() const { return difference() > 0 ? difference() : 0; }
    double overrun() const { return difference() < 0 ? -difference() : 0; }
    DailyFigures& operator+=(const DailyFigures& o)
    {
        persons += o.persons;
        rights = common::roundMoney(rights + o.rights, 9);
        consumed = common::roundMoney(consumed + o.consumed, 9);
        counted = common::roundMoney(counted + o.counted, 9);
        return *this;
    }
};

QString paragraphText(const QString& text)
{
    QStringList lines;
    for (const QString& line : text.split(u';'))
        lines << line.trimmed() << QString();
    return lines.join(u'\n');
}

} // namespace

DocumentPrint BuildDailyFoodList(const PrintRequest& request)
{
    datastore::Database& db = request.db;
    datastore::Database& privateDb = request.privateDb ? *request.privateDb : request.db;
    const PrintRow issuer = issuerOf(db, request.parameters.FirmNo);
    const QList<PrintRow> docs = readRows(db, QStringLiteral("SELECT Numar, Data FROM DOC_IN WHERE Contor = :c"),
                                          {{QStringLiteral("c"), request.contor}});
    const PrintRow doc = docs.isEmpty() ? PrintRow{} : docs.first();

    // The allocation types of the list, with their names and whether they count.
    QList<PrintRow> types = readRows(
        privateDb, QStringLiteral("SELECT Cod, NrPersR, DrepturiR, ConsumatR, NrPers, Drepturi, Consumat FROM LZilnica ORDER BY Cod"));
    QHash<double, PrintRow> typeInfo;
    for (const PrintRow& t : readRows(db, QStringLiteral("SELECT Cod, Denumire, EcoDep FROM \"TipAlocatie.DB\"")))
        typeInfo.insert(field(t, QStringLiteral("Cod")).toDouble(), t);

    // One row per type, in three groups of columns: carried over, the day, both.
    const char* const figureNames[] = {"NrPers", "Drepturi", "Consumat", "ConsEco", "Economii", "Depasiri"};
    QStringList fields{QStringLiteral("Nr"), QStringLiteral("Tip")};
    for (int p = 0; p < 3; ++p)
        for (const char* f : figureNames)
            fields << QString::fromLatin1(f) + QString::number(p);
    const int decimals = request.parameters.nrZecimaleLei;
    QList<PrintRow> rows;
    DailyFigures totals[3];
    int number = 0;
    double persons = 0;
    const auto insertFigures = [](PrintRow& row, int p, const DailyFigures& f) {
        const QString n = QString::number(p);
        const double values[] = {f.persons, f.rights, f.consumed, f.counted, f.savings(), f.overrun()};
        const char* const names[] = {"nrpers", "drepturi", "consumat", "conseco", "economii", "depasiri"};
        for (int v = 0; v < 6; ++v)
            row.insert(QString::fromLatin1(names[v]) + n, values[v]);
    };
    for (const PrintRow& t : types) {
        const double code = field(t, QStringLiteral("Cod")).toDouble();
        const PrintRow info = typeInfo.value(code);
        const bool counts = field(info, QStringLiteral("EcoDep")).toBool();
        DailyFigures figures[3];
        const char* const names[2][3] = {{"NrPersR", "DrepturiR", "ConsumatR"}, {"NrPers", "Drepturi", "Consumat"}};
        for (int p = 0; p < 2; ++p) {
            figures[p].persons = field(t, QString::fromLatin1(names[p][0])).toDouble();
            figures[p].rights = common::roundMoney(field(t, QString::fromLatin1(names[p][1])).toDouble(), decimals);
            figures[p].consumed = common::roundMoney(field(t, QString::fromLatin1(names[p][2])).toDouble(), decimals);
            figures[p].counted = counts ? figures[p].consumed : 0;
        }
        figures[2] = figures[0];
        figures[2] += figures[1];
        persons += figures[1].persons;
        PrintRow row;
        row.insert(QStringLiteral("nr"), ++number);
        row.insert(QStringLiteral("tip"), field(info, QStringLiteral("Denumire")).isNull()
                                              ? QVariant(wholeText(code))
                                              : field(info, QStringLiteral("Denumire")));
        for (int p = 0; p < 3; ++p) {
            totals[p] += figures[p];
            insertFigures(row, p, figures[p]);
        }
        rows << row;
    }

    // The menu: the articles of the list, warehouse by warehouse.
    const QList<PrintRow> items = readRows(
        db,
        QStringLiteral("SELECT DISTINCT D.Contor, d1.Denumire AS DenGest, D2.Denumire, D2.Descriere "
                       "FROM \"Item_in.DB\" D LEFT JOIN \"Gest.db\" d1 ON (d1.Cod = D.Cod_gestiune) "
                       "LEFT JOIN \"Catalog.DB\" D2 ON (D2.Grupa = D.Cod_grupa) AND (D2.Cod = D.Cod_articol) "
                       "WHERE (D.Contor = :Contor) ORDER BY D.Contor, DenGest, D2.Denumire"),
        {{QStringLiteral("Contor"), request.contor}});
    QSet<QString> warehouses;
    for (const PrintRow& i : items)
        warehouses.insert(textOf(i, QStringLiteral("DenGest")));
    const bool several = warehouses.size() >= 2;
    QStringList paragraphs;
    QString text;
    QString current;
    for (qsizetype i = 0; i < items.size(); ++i) {
        const QString warehouse = textOf(items.at(i), QStringLiteral("DenGest"));
        if (i > 0 && warehouse != current) {
            paragraphs << text;
            text.clear();
        }
        if (several && (i == 0 || warehouse != current))
            text += warehouse + QStringLiteral(" : ");
        current = warehouse;
        QString name = textOf(items.at(i), QStringLiteral("Denumire"));
        const QString description = textOf(items.at(i), QStringLiteral("Descriere"));
        if (!description.isEmpty())
            name += u' ' + description;
        text += name + QStringLiteral(", ");
    }
    if (text.endsWith(QStringLiteral(", ")))
        text.chop(2);
    if (!items.isEmpty())
        paragraphs << text;
    QStringList menu;
    for (const QString& p : paragraphs)
        menu << paragraphText(p);

    // Landscape: the three groups of six columns side by side, as the list
    // is drawn on paper. The day's figures are a day's; the carried-over and
    // total ones hold a year's, up to 9.999.999,99 lei. The figures print a
    // point smaller than the text.
    auto report = newReport(request, Orientation::Landscape,
                            QStringLiteral("Lista zilnica %1").arg(wholeText(field(doc, QStringLiteral("Numar")))));
    Report& r = *report;
    const double W = 277;
    const QString money = QStringLiteral("#,###0.") + QString(qMax(decimals, 0), u'0');
    const QString count = QStringLiteral("#,###");
    constexpr double kFigureSize = 7;

    Band& title = r.band(BandKind::Title, 26);
    title.label(0, 0, 120, textOf(issuer, QStringLiteral("Denumire"))).bold();
    title.label(0, 4, 20, QStringLiteral("Cod fiscal"));
    title.label(20, 4, 100, textOf(issuer, QStringLiteral("Cod fiscal")));
    title.label(0, 8, 20, QStringLiteral("Localitatea"));
    title.label(20, 8, 100, textOf(issuer, QStringLiteral("Adresa")));
    title.label(0, 14, W, QStringLiteral("LISTA ZILNICA DE ALIMENTE")).bold().fontSize(12).center();
    title.label(0, 20, W,
                QStringLiteral("Nr. : %1   din data %2")
                    .arg(wholeText(field(doc, QStringLiteral("Numar"))),
                         dateText(field(doc, QStringLiteral("Data")), request.formats)))
        .center();

    // The columns: number and type, then each period's six figures.
    struct Span {
        double x, width;
    };
    const double personsWidth[3] = {11, 11, 11};
    const double moneyWidth[3] = {15, 12.5, 15};
    Span periods[3];
    QList<Span> figureColumns[3];
    double x = 31.5;
    for (int p = 0; p < 3; ++p) {
        periods[p].x = x;
        for (int v = 0; v < 6; ++v) {
            const double w = v == 0 ? personsWidth[p] : moneyWidth[p];
            figureColumns[p] << Span{x, w};
            x += w;
        }
        periods[p].width = x - periods[p].x;
    }
    const char* const captions[6][2] = {{"Nr.", "persoane"}, {"Drepturi", ""},        {"Consum", "total"},
                                        {"Cons. pt.", "Eco/Dep"}, {"Economii", ""}, {"Depasiri", ""}};
    Band& head = r.band(BandKind::ColumnHeader, 13);
    head.box(0, 0.5, 7, 12.5);
    head.label(0.5, 5, 6, QStringLiteral("Nr crt")).center().wrap();
    head.box(7, 0.5, 24.5, 12.5);
    head.label(7.5, 5, 23.5, QStringLiteral("Tip alocatie")).center();
    for (int p = 0; p < 3; ++p) {
        head.box(periods[p].x, 0.5, periods[p].width, 4.5);
        head.label(periods[p].x, 1, periods[p].width, QString::fromUtf8(kDailyListPeriods[p])).bold().center();
        for (int v = 0; v < 6; ++v) {
            const Span& c = figureColumns[p].at(v);
            head.box(c.x, 5, c.width, 8);
            QStringList lines{QString::fromLatin1(captions[v][0])};
            if (*captions[v][1])
                lines << QString::fromLatin1(captions[v][1]);
            head.label(c.x, 5.6, c.width, lines.join(u' ')).setLines(lines).center().fontSize(kFigureSize);
        }
    }

    Band& detail = r.band(BandKind::Detail, 4.5);
    detail.field(0, 0, 6, QStringLiteral("Nr")).right();
    detail.field(8, 0, 23, QStringLiteral("Tip")).wrap();
    for (int p = 0; p < 3; ++p)
        for (int v = 0; v < 6; ++v) {
            const Span& c = figureColumns[p].at(v);
            detail.field(c.x + 0.3, 0.3, c.width - 0.6, QString::fromLatin1(figureNames[v]) + QString::number(p),
                         v == 0 ? count : money)
                .right()
                .fontSize(kFigureSize);
        }
    // The table's lines down every column, through the rows and the total.
    QList<double> rules{0, 7, 31.5, W};
    for (int p = 0; p < 3; ++p)
        for (const Span& c : figureColumns[p])
            rules << c.x;

    // The general total: the sums of the rows, savings and overruns worked
    // out on the sums.
    Band& summary = r.band(BandKind::Summary, 6);
    summary.line(0, 0.5, W, 0.5);
    summary.label(0, 1.5, 31, QStringLiteral("Total general:")).bold();
    for (int p = 0; p < 3; ++p) {
        const double values[] = {totals[p].persons, totals[p].rights,    totals[p].consumed,
                                 totals[p].counted, totals[p].savings(), totals[p].overrun()};
        for (int v = 0; v < 6; ++v) {
            const Span& c = figureColumns[p].at(v);
            summary.label(c.x + 0.3, 1.8, c.width - 0.6,
                          common::formatFloat(v == 0 ? count : money, values[v], request.formats))
                .right()
                .bold()
                .fontSize(kFigureSize);
        }
    }
    summary.line(0, 5.8, W, 5.8);
    for (double rule : rules) {
        detail.vline(rule);
        if (rule != 7) // "Total general:" takes the number's column too
            summary.line(rule, 0.5, rule, 5.8);
    }

    // The menu and the meals served, then the signatures.
    Band& menuBand = summary.child(40);
    menuBand.label(0, 2, 40, QStringLiteral("Meniul zilnic :")).bold();
    const QString menuText = menu.join(u'\n');
    menuBand.label(0, 7, 165, menuText).setLines(menuText.split(u'\n')).wrap();
    menuBand.label(175, 2, 36, QStringLiteral("Mese servite")).bold();
    const char* const meals[] = {"Dimineata", "Pranz", "Seara"};
    for (int m = 0; m < 3; ++m)
        menuBand.label(211 + 22 * m, 2, 22, QString::fromLatin1(meals[m])).center().frame();
    const char* const servings[] = {"Efectiv la hrana", "Portii preparate", "Portii distribuite", "Portii ramase"};
    for (int s = 0; s < 4; ++s) {
        menuBand.label(175, 7 + 5 * s, 36, QString::fromLatin1(servings[s]));
        for (int m = 0; m < 3; ++m)
            menuBand.label(211 + 22 * m, 7 + 5 * s, 22, common::formatFloat(count, persons, request.formats))
                .center()
                .frame();
    }
    Band& signatures = menuBand.child(16);
    signatures.label(0, 4, 65, QStringLiteral("Aprobat,")).bold().center();
    signatures.label(70, 4, 65, QStringLiteral("Vizat,")).bold().center();
    signatures.label(140, 4, 65, QStringLiteral("Compartiment financiar-contabil")).center();
    signatures.label(210, 4, 67, QStringLiteral("Aprobat,")).bold().center();
    return DocumentPrint{std::move(report), listOf(fields, rows), nullptr};
}

} // namespace prints
