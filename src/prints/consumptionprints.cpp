// The materials consumption note, the list of scrapped inventory objects and
// the inventory labels.
#include "invoicefiles.h"
#include "noteprints.h"
#include "printdata.h"
#include "tqrprndlg.h"

#include "common/documenttotals.h"
#include "common/rounding.h"
#include "datastore/dataset.h"
#include "reportengine/papersizes.h"

#include <QSet>

namespace prints {

using reportengine::Band;
using reportengine::BandKind;
using reportengine::Group;
using reportengine::Orientation;
using reportengine::Report;
using reportengine::Row;

// ---------------------------------------------------------------------------
// Consumption note

DocumentPrint BuildConsumptionNote(const PrintRequest& request)
{
    datastore::Database& db = request.db;
    const PrintRow issuer = issuerOf(db, request.parameters.FirmNo);
    const PrintRow header = outputHeader(db, request.contor);
    const QString receivingWarehouse = warehouseField(db, textOf(header, QStringLiteral("Client")), "Denumire");
    QList<PrintRow> lines = readRows(
        db,
        QStringLiteral(
            "SELECT I.Agent, I.Cod_grupa, I.Cod_gestiune, I.Cod_articol, I.Pret_achizitie, SUM(I.TVA) as TVA, "
            "SUM(I.Cantitate) as Cantitate, SUM(I.Acciza) as Acciza, I.Lot, C.Denumire as Den, C.Descriere, "
            "C.Unitate_masura as UM, C.Coef_TVA as DummyTVA "
            "FROM ITEM_OUT I LEFT JOIN CATALOG C ON (I.Cod_grupa = C.Grupa) AND (I.Cod_articol = C.Cod) "
            "WHERE (I.Contor = :Contor) "
            "GROUP BY I.Agent, I.Cod_grupa, I.Cod_gestiune, I.Cod_articol, I.Pret_achizitie, I.Lot, C.Denumire, "
            "C.Descriere, C.\"Generic 1\", C.\"Generic 2\", C.\"Generic 3\", C.\"Generic 4\", C.Unitate_masura, C.Coef_TVA "
            "ORDER BY I.Agent, I.Cod_grupa, C.Denumire, I.Cod_articol, I.Pret_achizitie"),
        {{QStringLiteral("Contor"), request.contor}});
    const QHash<QString, QString> budgets = budgetNames(db, lines);
    QHash<QString, QString> groups;
    // Each printed line's value rounded once; every total sums those values.
    const QList<common::TotalLine> valued = common::valuedLines(pricedLines(lines, "Pret_achizitie"),
                                                                request.parameters.nrZecimaleLei);
    QSet<QString> agents;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        PrintRow& line = lines[i];
        const QString code = textOf(line, QStringLiteral("Cod_articol"));
        line.insert(QStringLiteral("linetext"),
                    lineText(code, field(line, QStringLiteral("Den")), textOf(line, QStringLiteral("Descriere")),
                             request.parameters.CodProdusPeFact, true));
        line.insert(QStringLiteral("valoare"), valued.at(i).value);
        line.insert(QStringLiteral("tva"), valued.at(i).vat);
        line.insert(QStringLiteral("tval"), common::roundMoney(valued.at(i).value + valued.at(i).vat, 9));
        const QString agent = textOf(line, QStringLiteral("Agent"));
        agents.insert(agent);
        line.insert(QStringLiteral("nume_client"), budgetName(budgets, agent));
        const QString group = textOf(line, QStringLiteral("Cod_grupa"));
        if (!groups.contains(group)) {
            const QList<PrintRow> names = readRows(
                db, QStringLiteral("SELECT DISTINCT Cod_grupa, Denumire FROM \"Grup.DB\" WHERE (Cod_grupa = :Cod_grupa)"),
                {{QStringLiteral("Cod_grupa"), group}});
            groups.insert(group, names.isEmpty() ? QString() : textOf(names.first(), QStringLiteral("Denumire")));
        }
        line.insert(QStringLiteral("dengrupa"), groups.value(group));
    }
    const common::DocumentTotals totals = common::totalsOf(valued);
    // The budget's bands print when the lines hold more than one budget (a
    // line without one is a budget of its own), or when their one budget is
    // in the list of budgets; otherwise a group would print once for each
    // budget, its lines never told apart.
    const bool byBudget =
        agents.size() > 1 || (!lines.isEmpty() && budgets.contains(textOf(lines.first(), QStringLiteral("Agent"))));
    const QString keeper =
        lines.isEmpty() ? QString() : warehouseField(db, textOf(lines.first(), QStringLiteral("Cod_gestiune")), "Gestionar");
    QString explanation;
    if (request.options.explanation)
        explanation = request.explanation.isEmpty() ? textOf(header, QStringLiteral("Explicatie")) : request.explanation;

    const QString money = moneyMask(request.parameters.nrZecimaleLei);
    auto report = newReport(request, Orientation::Landscape,
                            QStringLiteral("Bon consum %1").arg(wholeText(field(header, QStringLiteral("Numar")))));
    Report& r = *report;
    const double W = 277;

    Band& title = r.band(BandKind::Title, 34);
    title.label(0, 0, 120, textOf(issuer, QStringLiteral("Denumire"))).bold();
    const struct {
        const char* caption;
        const char* field;
    } firm[] = {{"O.R.C.", "ORC"}, {"Cod fiscal", "Cod fiscal"}, {"Localitatea", "Adresa"}, {"Judetul", "Judet"}};
    for (int i = 0; i < 4; ++i) {
        title.label(0, 4 + 4 * i, 20, QString::fromLatin1(firm[i].caption));
        title.label(20, 4 + 4 * i, 100, textOf(issuer, QString::fromLatin1(firm[i].field)));
    }
    title.label(0, 2, W, QStringLiteral("BON CONSUM MATERIALE")).bold().fontSize(12).center();
    title.label(0, 9, W,
                QStringLiteral("Nr. %1   data %2")
                    .arg(wholeText(field(header, QStringLiteral("Numar"))),
                         dateText(field(header, QStringLiteral("Data")), request.formats)))
        .center();
    title.label(0, 13.5, W,
                QStringLiteral("%1 / %2").arg(wholeText(request.contor),
                                              dateText(registrationDate(request, header), request.formats)))
        .center();
    title.label(0, 24, W, explanation).wrap();

    // Money columns hold "-9.999.999.999.999,99", the lot its 30 characters.
    const QList<Column> columns{
        {0, 9, {S("Nr.crt.")}, {}, {}, true},
        {9, 60, {S("Denumirea materialelor"), S("(inclusiv cod, sort, marca,"), S("profil, dimensiune, etc.)")},
         QStringLiteral("LineText"), {}},
        {69, 9, {S("U.M.")}, QStringLiteral("UM"), {}},
        {78, 16, {S("Cantitate"), S("necesara")}, QString(), {}},
        {94, 24, {S("Cantitate"), S("eliberata")}, QStringLiteral("Cantitate"), kQuantityMask, true},
        {118, 46, {S("Lot")}, QStringLiteral("Lot"), {}},
        {164, 30, {S("Pret unitar ")}, QStringLiteral("Pret_achizitie"), priceMask(request.parameters.nrZecimaleLei), true},
        {194, 30, {S("Valoare"), S("- lei -")}, QStringLiteral("Valoare"), money, true},
        {224, 30, {S("TVA"), S("- lei -")}, QStringLiteral("TVA"), kVatMask, true},
        {254, 23, {S("Observatii")}, QStringLiteral("Observatii"), {}},
    };
    const double valueX = 194.5, valueWidth = 28.5; // where a value prints, right-aligned
    // The pages after the first say whose lines they carry.
    Band& continued = r.band(BandKind::PageHeader, 6).skipFirstPage();
    continued.label(0, 0, W, QStringLiteral("BON CONSUM MATERIALE   Nr. %1   data %2   %3 / %4")
                                 .arg(wholeText(field(header, QStringLiteral("Numar"))),
                                      dateText(field(header, QStringLiteral("Data")), request.formats),
                                      wholeText(request.contor),
                                      dateText(registrationDate(request, header), request.formats)));
    continued.line(0, 4.5, W, 4.5);
    Band& head = r.band(BandKind::ColumnHeader, 16);
    Group& budget = r.group(QStringLiteral("Agent"));
    Band& bh = budget.header(6).setEnabled(byBudget);
    bh.field(0, 1, 150, QStringLiteral("Nume_client")).bold();
    bh.field(155, 1, 40, QStringLiteral("Agent")).bold();
    Band& bf = budget.footer(6).setEnabled(byBudget);
    bf.label(0, 1, 12, QStringLiteral("Total")).bold();
    bf.field(12, 1, 150, QStringLiteral("Nume_client")).bold();
    bf.sum(valueX, 1, valueWidth, QStringLiteral("Valoare"), money).right().bold();
    Group& group = r.group(QStringLiteral("Cod_grupa"));
    Band& gh = group.header(5);
    gh.field(4, 0.5, 150, QStringLiteral("DenGrupa")).bold();
    gh.field(155, 0.5, 40, QStringLiteral("Cod_grupa"));
    Band& gf = group.footer(6);
    gf.line(69, 0.5, W, 0.5);
    gf.label(4, 1, 12, QStringLiteral("Total"));
    gf.field(16, 1, 150, QStringLiteral("DenGrupa"));
    gf.sum(valueX, 1, valueWidth, QStringLiteral("Valoare"), money).right();
    Band& detail = r.band(BandKind::Detail, 4.5);
    // The count goes on over the groups: the note numbers its lines.
    QList<Column> shown = columns;
    shown[3].field = QStringLiteral("Necesar");
    addColumns(head, detail, shown, 11);
    numberColumns(head, columns, {S("1"), S("2"), S("3"), S("4"), S("5"), S("6"), S("7"), S("8=5x7"), S("9"), S("10")},
                  11.5);

    // The document's totals, from the rounded values of its lines; wider
    // than a line's value, since the document's total adds the VAT.
    r.value(QStringLiteral("TotalValoare"), totals.value);
    r.value(QStringLiteral("TotalTVA"), totals.vat);
    r.value(QStringLiteral("TotalDocument"), totals.total());
    Band& summary = r.band(BandKind::Summary, 42);
    summary.line(0, 0.5, W, 0.5);
    const double valueRight = valueX + valueWidth, vatRight = 253;
    summary.label(120, 2, 40, QStringLiteral("Valoare totala:"));
    summary.field(valueRight - 50, 2, 50, QStringLiteral("TotalValoare"), money).right();
    summary.label(120, 6, 40, QStringLiteral("Total TVA:"));
    summary.field(vatRight - 50, 6, 50, QStringLiteral("TotalTVA"), kVatMask).right();
    summary.label(120, 10, 40, QStringLiteral("Total document:")).bold();
    summary.field(valueRight - 50, 10, 50, QStringLiteral("TotalDocument"),
                  moneyMask(qMax(request.parameters.nrZecimaleLei, 2)))
        .right()
        .bold();
    summary.label(0, 17, 40, QStringLiteral("Data si semnatura:"));
    summary.label(40, 17, 40, dateText(registrationDate(request, header), request.formats));
    summary.label(0, 23, 80, QStringLiteral("GESTIONAR")).bold().center();
    summary.label(0, 28, 80, keeper).center();
    summary.label(90, 23, 90, QStringLiteral("BENEFICIAR")).bold().center();
    summary.label(90, 28, 90, request.beneficiary).center();
    summary.label(90, 32, 90, receivingWarehouse).center();
    summary.label(190, 23, 87, QStringLiteral("SEF COMPARTIMENT")).bold().center();
    summary.label(W - 40, 37, 40, QStringLiteral("14-3-4/aA")).right();
    pageFooter(r, W, QString()); // a long note: the page it is on

    const QStringList fields{QStringLiteral("Agent"),       QStringLiteral("Nume_client"),    QStringLiteral("Cod_grupa"),
                             QStringLiteral("DenGrupa"),    QStringLiteral("Cod_gestiune"),   QStringLiteral("Cod_articol"),
                             QStringLiteral("LineText"),    QStringLiteral("UM"),             QStringLiteral("Necesar"),
                             QStringLiteral("Cantitate"),   QStringLiteral("Lot"),            QStringLiteral("Pret_achizitie"),
                             QStringLiteral("Valoare"),     QStringLiteral("TVA"),            QStringLiteral("TVal"),
                             QStringLiteral("Observatii")};
    return DocumentPrint{std::move(report), listOf(fields, lines), nullptr};
}

// ---------------------------------------------------------------------------
// Scrapping list

DocumentPrint BuildScrappingList(const PrintRequest& request)
{
    datastore::Database& db = request.db;
    const PrintRow issuer = issuerOf(db, request.parameters.FirmNo);
    const PrintRow header = outputHeader(db, request.contor);
    QList<PrintRow> lines = readRows(
        db,
        QStringLiteral("SELECT I.Cod_gestiune, G.Denumire AS DenGest, I.Cod_grupa, I.Cod_articol, I.Pret_achizitie, "
                       "I.Lot, I.Agent, SUM(I.Cantitate) AS Cantitate, C.Denumire AS Den "
                       "FROM ITEM_OUT I LEFT JOIN CATALOG C ON (I.Cod_grupa = C.Grupa) AND (I.Cod_articol = C.Cod) "
                       "LEFT JOIN \"Gest.db\" G ON (G.Cod = I.Cod_gestiune) "
                       "WHERE (I.Contor = :Contor) "
                       "GROUP BY I.Cod_gestiune, G.Denumire, I.Cod_grupa, I.Cod_articol, I.Pret_achizitie, I.Lot, I.Agent, "
                       "C.Denumire "
                       "ORDER BY I.Cod_gestiune, I.Cod_grupa, I.Cod_articol, I.Pret_achizitie, I.Lot, I.Agent"),
        {{QStringLiteral("Contor"), request.contor}});
    // Each printed line's value rounded once; the totals sum those values.
    const QList<common::TotalLine> valued = common::valuedLines(pricedLines(lines, "Pret_achizitie"),
                                                                request.parameters.nrZecimaleLei);
    for (qsizetype i = 0; i < lines.size(); ++i)
        lines[i].insert(QStringLiteral("valoare"), valued.at(i).value);

    auto report = newReport(request, Orientation::Portrait,
                            QStringLiteral("Lista obiectelor de inventar casate %1").arg(wholeText(request.contor)));
    Report& r = *report;
    const double W = 190;
    const QString money = moneyMask(request.parameters.nrZecimaleLei);

    Band& title = r.band(BandKind::Title, 44);
    issuerBlock(title, 0, 0, 100, issuer);
    title.label(0, 30, W, QStringLiteral("Lista obiectelor de inventar casate")).bold().fontSize(12).center();
    title.label(0, 36, W,
                QStringLiteral("la data %1   %2 / %3")
                    .arg(dateText(field(header, QStringLiteral("Data")), request.formats), wholeText(request.contor),
                         dateText(registrationDate(request, header), request.formats)))
        .center();

    const QList<Column> columns{
        {0, 10, {S("Nr. crt.")}, {}, {}, true},
        {10, 15, {S("Cod grupa")}, QStringLiteral("Cod_grupa"), {}},
        {25, 50, {S("Denumire produs")}, QStringLiteral("Den"), {}},
        {75, 25, {S("   Cod articol  (nr. de inventar)")}, QStringLiteral("Cod_articol"), {}},
        {100, 22, {S("Lot (data folosinta)")}, QStringLiteral("Lot"), {}},
        {122, 14, {S("Can- titate")}, QStringLiteral("Cantitate"), kQuantityMask, true},
        {136, 18, {S("Pret unitar")}, QStringLiteral("Pret_achizitie"), priceMask(request.parameters.nrZecimaleLei), true},
        {154, 22, {S("Valoare lei")}, QStringLiteral("Valoare"), money, true},
        {176, 14, {S("Cod buget")}, QStringLiteral("Agent"), {}},
    };
    Band& head = r.band(BandKind::ColumnHeader, 9.5);
    Group& warehouse = r.group(QStringLiteral("Cod_gestiune"));
    warehouse.header(6).field(0, 1, 120, QStringLiteral("DenGest")).bold();
    Band& wf = warehouse.footer(7);
    wf.line(0, 0.5, W, 0.5);
    wf.calc(0, 1.5, 120, [](const Row& row) { return QStringLiteral("Total %1").arg(row.text(QStringLiteral("DenGest"))); })
        .bold();
    wf.sum(154.5, 1.5, 21, QStringLiteral("Valoare"), money).right().bold();
    Band& detail = r.band(BandKind::Detail, 4.5);
    // Each header label is given its own lines so that long titles break.
    QList<Column> titled = columns;
    titled[3].title = QStringList{S("Cod articol"), S("(nr. de inventar)")};
    titled[4].title = QStringList{S("Lot (data"), S("folosinta)")};
    titled[5].title = QStringList{S("Can-"), S("titate")};
    titled[7].title = QStringList{S("Valoare"), S("lei")};
    addColumns(head, detail, titled, 8.5, &wf);

    Band& summary = r.band(BandKind::Summary, 10);
    summary.line(0, 0.5, W, 0.5);
    summary.label(100, 2, 50, QStringLiteral("Total general :")).bold();
    summary.sum(154.5, 2, 21, QStringLiteral("Valoare"), kVatMask).right().bold();
    if (request.options.comment) {
        QStringList text = ReadInvoiceFooter(request.definitionDir).text.split(u'\n');
        while (!text.isEmpty() && text.last().isEmpty())
            text.removeLast();
        if (!text.isEmpty()) {
            Band& signatories = summary.child(4.0 * text.size() + 6);
            signatories.label(0, 4, W, text.join(u'\n')).setLines(text);
        }
    }
    pageFooter(r, W, QString());

    const QStringList fields{QStringLiteral("Cod_gestiune"), QStringLiteral("DenGest"),        QStringLiteral("Cod_grupa"),
                             QStringLiteral("Den"),          QStringLiteral("Cod_articol"),    QStringLiteral("Lot"),
                             QStringLiteral("Cantitate"),    QStringLiteral("Pret_achizitie"), QStringLiteral("Valoare"),
                             QStringLiteral("Agent")};
    return DocumentPrint{std::move(report), listOf(fields, lines), nullptr};
}

// ---------------------------------------------------------------------------
// Labels

namespace {

constexpr int kLabelsPerRow = 3;

} // namespace

DocumentPrint BuildLabels(const PrintRequest& request)
{
    datastore::Database& privateDb = request.privateDb ? *request.privateDb : request.db;
    const QList<PrintRow> labels = readRows(
        privateDb, QStringLiteral("SELECT DenGest, Cod_gestiune, Cod_grupa, Cod_articol, Denumire, Lot FROM Etichete"));

    // One report row holds a row of labels.
    QStringList fields;
    for (int c = 1; c <= kLabelsPerRow; ++c)
        for (const char* f : {"DenGest", "Lot", "Articol"})
            fields << QStringLiteral("%1%2").arg(QLatin1String(f)).arg(c);
    QList<PrintRow> rows;
    for (qsizetype i = 0; i < labels.size(); ++i) {
        if (i % kLabelsPerRow == 0)
            rows << PrintRow{};
        const PrintRow& label = labels.at(i);
        const int c = int(i % kLabelsPerRow) + 1;
        PrintRow& row = rows.last();
        row.insert(QStringLiteral("dengest%1").arg(c), field(label, QStringLiteral("DenGest")));
        row.insert(QStringLiteral("lot%1").arg(c), QStringLiteral("Data darii in folosinta: ") + textOf(label, QStringLiteral("Lot")));
        QString article = textOf(label, QStringLiteral("Cod_articol"));
        if (!textOf(label, QStringLiteral("Denumire")).isEmpty())
            article += QStringLiteral(" - ") + textOf(label, QStringLiteral("Denumire"));
        row.insert(QStringLiteral("articol%1").arg(c), article);
    }

    auto report = newReport(request, Orientation::Portrait, QStringLiteral("Etichete"));
    Report& r = *report;
    const double W = 190;
    const double width = W / kLabelsPerRow;
    Band& detail = r.band(BandKind::Detail, 26);
    for (int c = 0; c < kLabelsPerRow; ++c) {
        const double x = c * width;
        const QString n = QString::number(c + 1);
        detail.field(x + 2, 2, width - 4, QStringLiteral("DenGest") + n).bold().wrap();
        detail.field(x + 2, 9, width - 4, QStringLiteral("Lot") + n).bold().wrap();
        detail.field(x + 2, 15, width - 4, QStringLiteral("Articol") + n).bold().wrap();
    }
    return DocumentPrint{std::move(report), listOf(fields, rows), nullptr};
}

bool PrintLabels(QWidget* owner, datastore::Database& privateDb, const common::Parameters& parameters,
                 const common::Formats& formats, PrintSettings& settings, common::Dialogs& dialogs,
                 const std::function<void(const QString&)>& showProgress)
{
    auto status = [&](const char* text) {
        if (showProgress)
            showProgress(QString::fromUtf8(text));
    };
    status(kLabelsDefaultsStatus);
    useDocumentDefaults(settings);
    if (!ShowPrintSetup(owner, settings, dialogs))
        return false;
    status(kLabelsPrintingStatus);
    DocumentPrint print;
    try {
        PrintRequest request{privateDb, parameters, formats, QString()};
        request.privateDb = &privateDb;
        print = BuildLabels(request);
    } catch (const std::exception& e) {
        dialogs.error(QStringLiteral("Eroare de acces la baza de date!\r<%1>!").arg(datastore::errorText(e)));
        return false;
    }
    const bool printed = ApplyPrintSettings(*print.report, print.rows.get(), settings, dialogs, owner);
    status(kLabelsDoneStatus);
    return printed;
}

} // namespace prints
