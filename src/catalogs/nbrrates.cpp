#include "nbrrates.h"

#include <QMap>
#include <QSet>
#include <QXmlStreamReader>
#include <algorithm>
#include <cmath>

namespace catalogs {

namespace {

const QString kFileError = QStringLiteral("Fisierul de cursuri BNR nu poate fi citit: ");

bool isElement(const QXmlStreamReader& xml, const char* name)
{
    return xml.name() == QLatin1String(name);
}

} // namespace

QList<NbrRate> ParseNbrRates(const QByteArray& data, QString& error)
{
    error.clear();
    QList<NbrRate> rates;
    QXmlStreamReader xml(data);
    bool dataSet = false;
    bool sawCube = false;
    QDate cubeDate;
    bool inCube = false;
    const auto fail = [&](const QString& why) {
        error = kFileError + why;
        rates.clear();
        return rates;
    };

    if (data.trimmed().isEmpty())
        return fail(QStringLiteral("fisierul este gol!"));
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::EndElement && isElement(xml, "Cube")) {
            inCube = false;
            continue;
        }
        if (token != QXmlStreamReader::StartElement)
            continue;
        if (!dataSet) {
            if (!isElement(xml, "DataSet"))
                return fail(QStringLiteral("nu este un fisier de cursuri BNR (lipseste elementul DataSet)!"));
            dataSet = true;
        } else if (isElement(xml, "OrigCurrency")) {
            const QString origin = xml.readElementText().trimmed();
            if (origin.compare(QLatin1String("RON"), Qt::CaseInsensitive) != 0)
                return fail(QStringLiteral("cursurile sunt fata de moneda \"%1\", nu fata de RON!").arg(origin));
        } else if (isElement(xml, "Cube")) {
            const QString text = xml.attributes().value(QLatin1String("date")).toString();
            cubeDate = QDate::fromString(text, Qt::ISODate);
            if (!cubeDate.isValid())
                return fail(QStringLiteral("data \"%1\" nu este o data valida!").arg(text));
            sawCube = true;
            inCube = true;
        } else if (isElement(xml, "Rate")) {
            if (!inCube)
                return fail(QStringLiteral("un curs nu are data (elementul Rate este in afara unui Cube)!"));
            const QString currency =
                xml.attributes().value(QLatin1String("currency")).toString().trimmed().toUpper();
            const QString multiplierText = xml.attributes().value(QLatin1String("multiplier")).toString().trimmed();
            const QString valueText = xml.readElementText().trimmed();
            if (currency.isEmpty() || currency.size() > 3)
                return fail(QStringLiteral("codul de moneda \"%1\" din %2 nu este valid!")
                                .arg(currency, cubeDate.toString(QStringLiteral("dd.MM.yyyy"))));
            bool ok = false;
            const double value = valueText.toDouble(&ok);
            if (!ok || !std::isfinite(value) || value <= 0)
                return fail(QStringLiteral("cursul monedei %1 din %2 nu este un numar valid: \"%3\"!")
                                .arg(currency, cubeDate.toString(QStringLiteral("dd.MM.yyyy")), valueText));
            int multiplier = 1;
            if (!multiplierText.isEmpty()) {
                multiplier = multiplierText.toInt(&ok);
                if (!ok || multiplier <= 0)
                    return fail(QStringLiteral("multiplicatorul monedei %1 din %2 nu este valid: \"%3\"!")
                                    .arg(currency, cubeDate.toString(QStringLiteral("dd.MM.yyyy")), multiplierText));
            }
            rates.append({currency, cubeDate, value / multiplier});
        }
    }
    if (xml.hasError()) {
        QString why = xml.errorString();
        while (why.endsWith(QLatin1Char('.')))
            why.chop(1);
        return fail(QStringLiteral("XML invalid la linia %1 (%2)!").arg(xml.lineNumber()).arg(why));
    }
    if (!dataSet)
        return fail(QStringLiteral("fisierul este gol!"));
    if (!sawCube || rates.isEmpty())
        return fail(QStringLiteral("fisierul nu contine niciun curs!"));
    return rates;
}

NbrImportResult ImportNbrRates(datastore::Database& db, const QList<NbrRate>& rates, RateCache* cache)
{
    NbrImportResult result;
    QSet<QString> known;
    {
        datastore::Query q = db.query(QStringLiteral("SELECT Moneda FROM \"Valuta.db\""));
        while (q.next())
            known.insert(q.value(0).toString().trimmed().toCaseFolded());
    }
    QSet<QString> skipped;
    QSet<QDate> days;
    QSet<QString> changed;
    {
        datastore::UnitOfWork work(db);
        for (const NbrRate& r : rates) {
            days.insert(r.date);
            if (!known.contains(r.currency.toCaseFolded())) {
                skipped.insert(r.currency);
                continue;
            }
            // The code as Valuta.db writes it.
            const QString code = db.scalar(QStringLiteral("SELECT Moneda FROM \"Valuta.db\" WHERE UPPER(Moneda) = :Code"),
                                           {{QStringLiteral("Code"), r.currency}})
                                     .toString();
            const QVariantHash key = {{QStringLiteral("Valuta"), code}, {QStringLiteral("Data"), r.date}};
            const QVariant stored =
                db.scalar(QStringLiteral("SELECT Curs FROM \"Curs.db\" WHERE Valuta = :Valuta AND Data = :Data"), key);
            QVariantHash row = key;
            row.insert(QStringLiteral("Curs"), r.rate);
            if (!stored.isValid()) {
                db.exec(QStringLiteral("INSERT INTO \"Curs.db\" (Valuta, Data, Curs) VALUES (:Valuta, :Data, :Curs)"),
                        row);
                ++result.added;
            } else if (!stored.isNull() && stored.toDouble() == r.rate) {
                ++result.unchanged;
                continue;
            } else {
                db.exec(QStringLiteral("UPDATE \"Curs.db\" SET Curs = :Curs WHERE Valuta = :Valuta AND Data = :Data"),
                        row);
                ++result.replaced;
            }
            changed.insert(code);
        }
        work.commit();
    }
    if (cache)
        for (const QString& code : changed)
            cache->forget(code);
    result.skippedCurrencies = QStringList(skipped.begin(), skipped.end());
    result.skippedCurrencies.sort();
    result.days = QList<QDate>(days.begin(), days.end());
    std::sort(result.days.begin(), result.days.end());
    return result;
}

QString NbrImportSummary(const NbrImportResult& result)
{
    QString days;
    if (!result.days.isEmpty()) {
        const QString first = result.days.first().toString(QStringLiteral("dd.MM.yyyy"));
        const QString last = result.days.last().toString(QStringLiteral("dd.MM.yyyy"));
        days = first == last ? first : first + QStringLiteral(" - ") + last;
    }
    QString text = QStringLiteral("Cursurile BNR din %1 au fost importate: %2 adaugate, %3 inlocuite, %4 neschimbate.")
                       .arg(days)
                       .arg(result.added)
                       .arg(result.replaced)
                       .arg(result.unchanged);
    if (!result.skippedCurrencies.isEmpty())
        text += QStringLiteral("\rMonede care nu exista in catalogul de valute (neimportate): %1.")
                    .arg(result.skippedCurrencies.join(QStringLiteral(", ")));
    return text;
}

} // namespace catalogs
