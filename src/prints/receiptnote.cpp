#include "receiptnote.h"

#include "printdata.h"
#include "tqrprndlg.h"

#include "common/documenttotals.h"
#include "common/rounding.h"
#include "datastore/dataset.h"
#include "reportengine/papersizes.h"

namespace prints {

using reportengine::Band;
using reportengine::BandKind;
using reportengine::Report;

ReceiptNote BuildReceiptNote(datastore::Database& db, const common::Parameters& parameters,
                             const common::Formats& formats, double contor, const QDate& registrationDate)
{
    const QVariantHash key{{QStringLiteral("c"), contor}};
    const PrintRow firm = issuerOf(db, parameters.FirmNo);
    // The document and its supplier (a document without a supplier prints too).
    const QList<PrintRow> docs = readRows(
        db,
        QStringLiteral("SELECT D.Numar, D.Data, D.Explicatie, D.Data_inregistrarii, F.Nume_furnizor, F.Adresa, F.Cod_fiscal "
                       "FROM DOC_IN D LEFT JOIN FURN F ON F.Cod_furnizor = D.Furnizor WHERE D.Contor = :c"),
        key);
    const PrintRow doc = docs.isEmpty() ? PrintRow{} : docs.first();
    // The note is dated as asked, else on the document's registration date.
    const QString registered = dateText(
        registrationDate.isValid() ? QVariant(registrationDate) : field(doc, QStringLiteral("Data_inregistrarii")), formats);

    // The lines, with the catalog's names and the keeper of their warehouse.
    const QList<PrintRow> lines = readRows(
        db,
        QStringLiteral("SELECT I.Cod_articol, C.Denumire, C.Descriere, C.Unitate_masura, I.Cantitate, "
                       "I.Pret_achizitie_lei, I.TVA, I.Agent, I.Lot, G.Gestionar "
                       "FROM ITEM_IN I LEFT JOIN CATALOG C ON C.Grupa = I.Cod_grupa AND C.Cod = I.Cod_articol "
                       "LEFT JOIN \"Gest.db\" G ON G.Cod = I.Cod_gestiune "
                       "WHERE I.Contor = :c ORDER BY I.Contor_secundar"),
        key);
    // Each line's value rounded once; the totals are the sums of what the lines print.
    const QList<common::TotalLine> valued = common::valuedLines(pricedLines(lines, "Pret_achizitie_lei"), parameters.nrZecimaleLei);
    const common::DocumentTotals totals = common::totalsOf(valued);

    auto rows = std::make_unique<reportengine::ListSource>(
        QStringList{QStringLiteral("Cod_articol"), QStringLiteral("Den"), QStringLiteral("UM"),
                    QStringLiteral("Cantitate"), QStringLiteral("Pret_achizitie_lei"), QStringLiteral("Val"),
                    QStringLiteral("TVA"), QStringLiteral("Agent"), QStringLiteral("Lot"), QStringLiteral("Gestionar")});
    QString keeper;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const PrintRow& line = lines.at(i);
        QString name = textOf(line, QStringLiteral("Denumire"));
        if (!textOf(line, QStringLiteral("Descriere")).isEmpty())
            name += u' ' + textOf(line, QStringLiteral("Descriere"));
        if (keeper.isEmpty())
            keeper = textOf(line, QStringLiteral("Gestionar"));
        rows->add({field(line, QStringLiteral("Cod_articol")), name, field(line, QStringLiteral("Unitate_masura")),
                   field(line, QStringLiteral("Cantitate")), field(line, QStringLiteral("Pret_achizitie_lei")),
                   valued.at(i).value, valued.at(i).vat, field(line, QStringLiteral("Agent")),
                   field(line, QStringLiteral("Lot")), field(line, QStringLiteral("Gestionar"))});
    }

    const QString money = moneyMask(parameters.nrZecimaleLei);
    // The document's total adds the VAT, printed with two decimals, to the values.
    const QString totalMask = moneyMask(qMax(parameters.nrZecimaleLei, 2));
    const QString number = QString::number(contor, 'f', 0);
    const QString ofDocument = QStringLiteral("la documentul nr. %1  data %2")
                                   .arg(wholeText(field(doc, QStringLiteral("Numar"))),
                                        dateText(field(doc, QStringLiteral("Data")), formats));
    auto report = std::make_unique<Report>();
    Report& r = *report;
    // Landscape: every amount a line can hold (up to 9.999.999.999.999,99) and
    // a lot of 30 characters keep their columns at 8 points.
    r.page(reportengine::kPaperA4, reportengine::Orientation::Landscape).margins(10, 10, 10, 10).font(QStringLiteral("Arial"), 8);
    r.formats(formats);
    r.title(QStringLiteral("Nota de receptie %1").arg(number));
    r.value(QStringLiteral("TotalValoare"), totals.value);
    r.value(QStringLiteral("TotalTVA"), totals.vat);
    r.value(QStringLiteral("TotalDocument"), totals.total());
    const double W = 277;

    // The pages after the first say whose lines they carry.
    Band& continued = r.band(BandKind::PageHeader, 6).skipFirstPage();
    continued.label(0, 0, W, QStringLiteral("Nota de receptie   Nr. : %1  din data %2   %3")
                                 .arg(number, registered, ofDocument));
    continued.line(0, 4.5, W, 4.5);

    Band& title = r.band(BandKind::Title, 44);
    title.label(0, 0, 120, textOf(firm, QStringLiteral("Denumire"))).bold();
    title.label(0, 4, 120, textOf(firm, QStringLiteral("Adresa")));
    title.label(0, 8, 120, QStringLiteral("Cod fiscal ") + textOf(firm, QStringLiteral("Cod fiscal")));
    title.label(0, 14, W, QStringLiteral("Nota de receptie")).bold().fontSize(12).center();
    title.label(0, 20, W, QStringLiteral("Nr. : %1  din data %2").arg(number, registered)).center();
    title.label(0, 25, W, ofDocument).center();
    title.label(0, 31, 20, QStringLiteral("Furnizor"));
    title.label(20, 31, 150, textOf(doc, QStringLiteral("Nume_furnizor"))).bold();
    title.label(175, 31, 102, QStringLiteral("C.F. ") + textOf(doc, QStringLiteral("Cod_fiscal")));
    title.label(20, 35, 257, textOf(doc, QStringLiteral("Adresa")));
    title.label(0, 39, W, textOf(doc, QStringLiteral("Explicatie")));

    // Money columns hold "-9.999.999.999.999,99", the quantity thirteen
    // digits and three decimals, the lot its 30 characters.
    const QList<Column> columns{
        {0, 9, {S("Nr."), S("crt.")}, {}, {}, true},
        {9, 24, {S("Cod")}, QStringLiteral("Cod_articol"), {}},
        {33, 55, {S("Denumire")}, QStringLiteral("Den"), {}},
        {88, 9, {S("U.M.")}, QStringLiteral("UM"), {}},
        {97, 28, {S("Cantitate")}, QStringLiteral("Cantitate"), kQuantityMask, true},
        {125, 30, {S("Pret achizitie")}, QStringLiteral("Pret_achizitie_lei"), priceMask(parameters.nrZecimaleLei), true},
        {155, 30, {S("Valoare")}, QStringLiteral("Val"), money, true},
        {185, 30, {S("TVA")}, QStringLiteral("TVA"), kVatMask, true},
        {215, 12, {S("Cod"), S("buget")}, QStringLiteral("Agent"), {}},
        {227, 50, {S("Lot")}, QStringLiteral("Lot"), {}},
    };
    Band& head = r.band(BandKind::ColumnHeader, 9);
    Band& detail = r.band(BandKind::Detail, 4.5);
    addColumns(head, detail, columns, 8);

    // The totals end where the value column ends; wider than a line's value,
    // since the document's total adds the VAT.
    Band& summary = r.band(BandKind::Summary, 48);
    summary.line(0, 0.5, W, 0.5);
    const double valueRight = 184, vatRight = 214; // where the lines' values end
    summary.label(90, 2, 40, QStringLiteral("Valoare totala:"));
    summary.field(valueRight - 50, 2, 50, QStringLiteral("TotalValoare"), money).right();
    summary.label(90, 6, 40, QStringLiteral("Total TVA:"));
    summary.field(vatRight - 50, 6, 50, QStringLiteral("TotalTVA"), kVatMask).right();
    summary.label(90, 10, 40, QStringLiteral("Total document:")).bold();
    summary.field(valueRight - 50, 10, 50, QStringLiteral("TotalDocument"), totalMask).right().bold();
    summary.label(0, 16, 60, QStringLiteral("Receptionat,"));
    summary.label(0, 20, 60, keeper);
    summary.label(0, 26, 60, QStringLiteral("Comisia de receptie:")).bold();
    summary.label(60, 26, 60, QStringLiteral("Numele si prenumele"));
    summary.label(125, 26, 50, QStringLiteral("Semnatura"));
    summary.label(180, 26, 40, QStringLiteral("Data"));
    for (int i = 0; i < 3; ++i)
        summary.label(60, 31 + 4 * i, 60, textOf(firm, QStringLiteral("Comisia%1").arg(1 + i)));
    summary.label(0, 44, 40, QStringLiteral("Primit in gestiune:"));
    summary.label(40, 44, 80, keeper);
    summary.label(125, 44, 40, registered);

    r.band(BandKind::PageFooter, 5).pageNumber(0, 0, W, QStringLiteral("Pagina %1 din %2")).right();
    return {std::move(report), std::move(rows)};
}

bool PrintReceiptNote(QWidget* owner, datastore::Database& db, const common::Parameters& parameters,
                      const common::Formats& formats, const PrintSettings& settings, common::Dialogs& dialogs,
                      double contor, const QDate& registrationDate)
{
    ReceiptNote note;
    try {
        note = BuildReceiptNote(db, parameters, formats, contor, registrationDate);
    } catch (const std::exception& e) {
        dialogs.error(QStringLiteral("Eroare de acces la baza de date!\r<%1>!").arg(datastore::errorText(e)));
        return false;
    }
    return ApplyPrintSettings(*note.report, note.rows.get(), settings, dialogs, owner);
}

} // namespace prints
