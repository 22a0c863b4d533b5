#include "receiptnote.h"

#include "tqrprndlg.h"

#include "datastore/dataset.h"
#include "reportengine/papersizes.h"

namespace prints {

using reportengine::BandKind;
using reportengine::Report;

namespace {

QString moneyMask(int decimals)
{
    return QStringLiteral("#,##0.") + QString(qMax(decimals, 0), u'0');
}

QString dateText(const QVariant& date, const common::Formats& formats)
{
    return date.isNull() ? QString() : common::formatDate(QStringLiteral("dd.mm.yyyy"), date.toDate(), formats);
}

} // namespace

ReceiptNote BuildReceiptNote(datastore::Database& db, const common::Parameters& parameters,
                             const common::Formats& formats, double contor, const QDate& registrationDate)
{
    const QVariantHash key{{QStringLiteral("c"), contor}};
    // The issuer.
    QVariantHash firm;
    {
        datastore::Query q = db.query(QStringLiteral("SELECT Denumire, Adresa, \"Cod fiscal\", Comisia1, Comisia2, Comisia3 "
                                                     "FROM FIRMDATA WHERE Cod = :f"),
                                      {{QStringLiteral("f"), parameters.FirmNo}});
        if (q.next())
            for (int i = 0; i < 6; ++i)
                firm.insert(QStringLiteral("f%1").arg(i), q.value(i));
    }
    // The document and its supplier (a document without a supplier prints too).
    QVariantList doc;
    {
        datastore::Query q = db.query(
            QStringLiteral("SELECT D.Numar, D.Data, D.Explicatie, F.Nume_furnizor, F.Adresa, F.Cod_fiscal "
                           "FROM DOC_IN D LEFT JOIN FURN F ON F.Cod_furnizor = D.Furnizor WHERE D.Contor = :c"),
            key);
        if (q.next())
            for (int i = 0; i < 6; ++i)
                doc << q.value(i);
        while (doc.size() < 6)
            doc << QVariant();
    }
    // The lines, with the catalog's names and the keeper of their warehouse.
    auto rows = std::make_unique<reportengine::ListSource>(
        QStringList{QStringLiteral("Cod_articol"), QStringLiteral("Den"), QStringLiteral("UM"),
                    QStringLiteral("Cantitate"), QStringLiteral("Pret_achizitie_lei"), QStringLiteral("Val"),
                    QStringLiteral("TVA"), QStringLiteral("Total"), QStringLiteral("Agent"), QStringLiteral("Lot"),
                    QStringLiteral("Gestionar")});
    QString keeper;
    {
        datastore::Query q = db.query(
            QStringLiteral("SELECT I.Cod_articol, C.Denumire, C.Descriere, C.Unitate_masura, I.Cantitate, "
                           "I.Pret_achizitie_lei, I.TVA, I.Agent, I.Lot, G.Gestionar "
                           "FROM ITEM_IN I LEFT JOIN CATALOG C ON C.Grupa = I.Cod_grupa AND C.Cod = I.Cod_articol "
                           "LEFT JOIN \"Gest.db\" G ON G.Cod = I.Cod_gestiune "
                           "WHERE I.Contor = :c ORDER BY I.Contor_secundar"),
            key);
        while (q.next()) {
            QString name = q.value(1).toString();
            if (!q.value(2).toString().isEmpty())
                name += u' ' + q.value(2).toString();
            const double value = q.value(4).toDouble() * q.value(5).toDouble();
            const double vat = q.value(6).toDouble();
            if (keeper.isEmpty())
                keeper = q.value(9).toString();
            rows->add({q.value(0), name, q.value(3), q.value(4), q.value(5), value, vat, value + vat, q.value(7),
                       q.value(8), q.value(9)});
        }
    }

    const QString money = moneyMask(parameters.nrZecimaleLei);
    auto report = std::make_unique<Report>();
    Report& r = *report;
    r.page(reportengine::kPaperA4, reportengine::Orientation::Portrait).margins(10, 10, 10, 10).font(QStringLiteral("Arial"), 8);
    r.formats(formats);
    r.title(QStringLiteral("Nota de receptie %1").arg(contor, 0, 'f', 0));

    reportengine::Band& title = r.band(BandKind::Title, 44);
    title.label(0, 0, 120, firm.value(QStringLiteral("f0")).toString()).bold();
    title.label(0, 4, 120, firm.value(QStringLiteral("f1")).toString());
    title.label(0, 8, 120, QStringLiteral("Cod fiscal ") + firm.value(QStringLiteral("f2")).toString());
    title.label(0, 14, 190, QStringLiteral("Nota de receptie")).bold().fontSize(12).center();
    title.label(0, 20, 190,
                QStringLiteral("Nr. : %1  din data %2")
                    .arg(QString::number(contor, 'f', 0), dateText(registrationDate, formats)))
        .center();
    title.label(0, 25, 190,
                QStringLiteral("la documentul nr. %1  data %2")
                    .arg(doc.at(0).isNull() ? QString() : QString::number(doc.at(0).toDouble(), 'f', 0),
                         dateText(doc.at(1), formats)))
        .center();
    title.label(0, 31, 20, QStringLiteral("Furnizor"));
    title.label(20, 31, 100, doc.at(3).toString()).bold();
    title.label(120, 31, 70, QStringLiteral("C.F. ") + doc.at(5).toString());
    title.label(20, 35, 170, doc.at(4).toString());
    title.label(0, 39, 190, doc.at(2).toString());

    reportengine::Band& head = r.band(BandKind::ColumnHeader, 6);
    struct Column {
        double x, width;
        const char* title;
        const char* field;
        bool number;
        QString mask;
    };
    const QList<Column> columns{
        {0, 11, "Nr. crt.", nullptr, true, {}},
        {13, 18, "Cod", "Cod_articol", false, {}},
        {32, 45, "Denumire", "Den", false, {}},
        {78, 9, "U.M.", "UM", false, {}},
        {87, 16, "Cantitate", "Cantitate", true, QStringLiteral("0.######")},
        {104, 19, "Pret achizitie", "Pret_achizitie_lei", true, money},
        {124, 19, "Valoare", "Val", true, money},
        {144, 14, "TVA", "TVA", true, QStringLiteral("#,##0.00")},
        {160, 15, "Cod buget", "Agent", false, {}},
        {176, 14, "Lot", "Lot", false, {}},
    };
    reportengine::Band& detail = r.band(BandKind::Detail, 5);
    for (const Column& c : columns) {
        reportengine::Element& h = head.label(c.x, 1, c.width, QString::fromLatin1(c.title)).bold();
        if (c.number)
            h.right();
        if (!c.field) {
            detail.count(c.x, 0, c.width).running().right();
            continue;
        }
        reportengine::Element& e = detail.field(c.x, 0, c.width, QString::fromLatin1(c.field), c.mask);
        if (c.number)
            e.right();
        else
            e.wrap(); // a long name or lot takes more lines, never less text
    }
    head.line(0, 5.5, 190, 5.5);

    reportengine::Band& summary = r.band(BandKind::Summary, 48);
    summary.line(0, 0.5, 190, 0.5);
    summary.label(87, 2, 36, QStringLiteral("Valoare totala:"));
    summary.sum(124, 2, 19, QStringLiteral("Val"), money).right();
    summary.label(87, 6, 36, QStringLiteral("Total TVA:"));
    summary.sum(124, 6, 19, QStringLiteral("TVA"), QStringLiteral("#,##0.00")).right();
    summary.label(87, 10, 36, QStringLiteral("Total document:")).bold();
    summary.sum(124, 10, 19, QStringLiteral("Total"), money).right().bold();
    summary.label(0, 16, 60, QStringLiteral("Receptionat,"));
    summary.label(0, 20, 60, keeper);
    summary.label(0, 26, 60, QStringLiteral("Comisia de receptie:")).bold();
    summary.label(60, 26, 50, QStringLiteral("Numele si prenumele"));
    summary.label(115, 26, 35, QStringLiteral("Semnatura"));
    summary.label(155, 26, 35, QStringLiteral("Data"));
    for (int i = 0; i < 3; ++i)
        summary.label(60, 31 + 4 * i, 50, firm.value(QStringLiteral("f%1").arg(3 + i)).toString());
    summary.label(0, 44, 40, QStringLiteral("Primit in gestiune:"));
    summary.label(40, 44, 70, keeper);
    summary.label(115, 44, 40, dateText(registrationDate, formats));

    r.band(BandKind::PageFooter, 5).pageNumber(0, 0, 190, QStringLiteral("Pagina %1 din %2")).right();
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
