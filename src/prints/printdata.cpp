#include "printdata.h"

#include "documentprints.h"

#include "common/rounding.h"
#include "reportengine/papersizes.h"

namespace prints {

using reportengine::Band;
using reportengine::BandKind;
using reportengine::Element;
using reportengine::Orientation;
using reportengine::Report;

QList<PrintRow> readRows(datastore::Database& db, const QString& sql, const QVariantHash& params)
{
    QList<PrintRow> rows;
    datastore::Query q = db.query(sql, params);
    const QStringList names = q.columnNames();
    while (q.next()) {
        PrintRow row;
        for (int c = 0; c < names.size(); ++c)
            row.insert(names.at(c).toLower(), q.value(c));
        rows << row;
    }
    return rows;
}

QVariant field(const PrintRow& row, const QString& name)
{
    return row.value(name.toLower());
}

QString textOf(const PrintRow& row, const QString& name)
{
    return field(row, name).toString();
}

PrintRow issuerOf(datastore::Database& db, int firmNo)
{
    const QList<PrintRow> rows = readRows(
        db,
        QStringLiteral("SELECT Denumire, ORC, \"Cod fiscal\", Adresa, Judet, Cont, Banca, Comisia1, Comisia2, Comisia3 "
                       "FROM FIRMDATA WHERE Cod = :f"),
        {{QStringLiteral("f"), firmNo}});
    return rows.isEmpty() ? PrintRow{} : rows.first();
}

QString moneyMask(int decimals)
{
    return QStringLiteral("#,##0.") + QString(qMax(decimals, 0), u'0');
}

QString priceMask(int decimals)
{
    return moneyMask(decimals) + QStringLiteral("####");
}

QString dateText(const QVariant& date, const common::Formats& formats, const QString& mask)
{
    if (date.isNull())
        return {};
    const QDate d = date.toDate();
    return d.isValid() ? common::formatDate(mask, d, formats) : QString();
}

QString wholeText(const QVariant& number)
{
    return number.isNull() ? QString() : QString::number(number.toDouble(), 'f', 0);
}

QString lineText(const QString& code, const QVariant& name, const QString& description, bool withCode,
                 bool withDescription)
{
    QString text = name.toString();
    if (withDescription && !description.isEmpty())
        text += u' ' + description;
    if (name.isNull())
        return code; // not in the catalog: the code, so the line is known
    return withCode ? code + QStringLiteral(" - ") + text : text;
}

std::unique_ptr<reportengine::ListSource> listOf(const QStringList& columns, const QList<PrintRow>& rows)
{
    auto list = std::make_unique<reportengine::ListSource>(columns);
    for (const PrintRow& row : rows) {
        QVariantList values;
        values.reserve(columns.size());
        for (const QString& c : columns)
            values << field(row, c);
        list->add(values);
    }
    return list;
}

double issuerBlock(reportengine::Band& band, double x, double y, double width, const PrintRow& issuer)
{
    band.label(x, y, width, textOf(issuer, QStringLiteral("Denumire"))).bold();
    const struct {
        const char* caption;
        const char* field;
    } lines[] = {{"O.R.C.", "ORC"},           {"Cod fiscal", "Cod fiscal"}, {"Localitatea", "Adresa"},
                 {"Judetul", "Judet"},        {"Contul", "Cont"},           {"Banca", "Banca"}};
    double at = y + 4;
    for (const auto& l : lines) {
        band.label(x, at, 20, QString::fromLatin1(l.caption));
        band.label(x + 20, at, width - 20, textOf(issuer, QString::fromLatin1(l.field)));
        at += 4;
    }
    return at;
}

std::unique_ptr<Report> newReport(const PrintRequest& request, Orientation orientation, const QString& title)
{
    auto report = std::make_unique<Report>();
    report->page(reportengine::kPaperA4, orientation).margins(10, 10, 10, 10).font(QStringLiteral("Arial"), 8);
    report->formats(request.formats);
    report->title(title);
    return report;
}

void addColumns(Band& head, Band& detail, const QList<Column>& columns, double headHeight, const Band* countReset)
{
    for (qsizetype i = 0; i < columns.size(); ++i) {
        const Column& c = columns.at(i);
        head.box(c.x, 0.5, c.width, headHeight);
        Element& title = head.label(c.x + 0.5, 1.2, c.width - 1, c.title.join(u' ')).center();
        if (c.title.size() > 1)
            title.setLines(c.title);
        else
            title.wrap(); // a long title breaks at its blanks
        if (c.field.isEmpty()) {
            Element& n = detail.count(c.x, 0, c.width - 1).right();
            if (countReset)
                n.resetAfter(*countReset);
            else
                n.running();
            continue;
        }
        if (c.right)
            detail.field(c.x + 0.5, 0, c.width - 1.5, c.field, c.mask).right();
        else
            detail.field(c.x + 0.5, 0, c.width - 1, c.field, c.mask).wrap();
    }
}

void numberColumns(Band& head, const QList<Column>& columns, const QStringList& numbers, double y)
{
    for (qsizetype i = 0; i < columns.size() && i < numbers.size(); ++i)
    {
        head.box(columns.at(i).x, y, columns.at(i).width, 4);
        head.label(columns.at(i).x, y + 0.3, columns.at(i).width, numbers.at(i)).center();
    }
}

void pageFooter(Report& r, double width, const QString& formCode)
{
    Band& f = r.band(BandKind::PageFooter, 5);
    f.date(0, 1, 20);
    f.time(20, 1, 12);
    f.pageNumber(0, 1, width, QStringLiteral("Pagina %1 din %2")).center();
    f.label(width - 40, 1, 40, formCode).right();
}

PrintRow outputHeader(datastore::Database& db, double contor)
{
    const QList<PrintRow> rows = readRows(
        db,
        QStringLiteral("SELECT DISTINCT D.Contor, D.Data_inregistrarii, D.Numar, D.Tip, D.Data, D.Client, D.Explicatie, "
                       "D1.Nume_client, D1.Adresa, D1.Cod_fiscal, D1.ORC, D1.Cont_bancar, D1.Banca, D1.Judetul "
                       "FROM DOC_OUT D LEFT JOIN CLIENT D1 ON (D1.Cod_client = D.Client) WHERE (D.Contor = :Contor)"),
        {{QStringLiteral("Contor"), contor}});
    return rows.isEmpty() ? PrintRow{} : rows.first();
}

QVariant registrationDate(const PrintRequest& request, const PrintRow& header)
{
    return request.registrationDate.isValid() ? QVariant(request.registrationDate)
                                               : field(header, QStringLiteral("Data_inregistrarii"));
}

QString warehouseField(datastore::Database& db, const QString& code, const char* name)
{
    const QList<PrintRow> rows = readRows(db, QStringLiteral("SELECT %1 FROM \"Gest.db\" WHERE Cod = :c").arg(QLatin1String(name)),
                                          {{QStringLiteral("c"), code}});
    return rows.isEmpty() ? QString() : rows.first().begin().value().toString();
}

QHash<QString, QString> budgetNames(datastore::Database& db, const QList<PrintRow>& lines)
{
    QHash<QString, QString> names;
    for (const PrintRow& line : lines) {
        const QString code = textOf(line, QStringLiteral("Agent"));
        if (code.isEmpty() || names.contains(code))
            continue;
        const QList<PrintRow> rows =
            readRows(db, QStringLiteral("SELECT DISTINCT Cod_client, Nume_client FROM \"Client.DB\" WHERE (Cod_client = :Agent)"),
                     {{QStringLiteral("Agent"), code}});
        if (!rows.isEmpty())
            names.insert(code, textOf(rows.first(), QStringLiteral("Nume_client")));
    }
    return names;
}

QString budgetName(const QHash<QString, QString>& names, const QString& code)
{
    if (code.isEmpty())
        return kNoBudget;
    const auto found = names.constFind(code);
    return found == names.constEnd() ? code : *found;
}

QList<common::PricedLine> pricedLines(const QList<PrintRow>& lines, const char* priceField)
{
    QList<common::PricedLine> priced;
    priced.reserve(lines.size());
    for (const PrintRow& line : lines) {
        common::PricedLine p;
        p.group = textOf(line, QStringLiteral("Cod_grupa"));
        p.article = textOf(line, QStringLiteral("Cod_articol"));
        p.price = field(line, QString::fromLatin1(priceField)).toDouble();
        p.quantity = field(line, QStringLiteral("Cantitate")).toDouble();
        p.vat = common::roundMoney(field(line, QStringLiteral("TVA")).toDouble(), 2);
        priced << p;
    }
    return priced;
}

} // namespace prints
