#include "numbering.h"

#include "datastore/dberror.h"

namespace stock {

using datastore::Database;
using datastore::DbError;
using datastore::UnitOfWork;

QString counterFieldName(CounterField field)
{
    switch (field) {
    case CounterField::In: return QStringLiteral("NewCounterIn");
    case CounterField::Out: return QStringLiteral("NewCounterOut");
    case CounterField::Com: return QStringLiteral("NewCounterCom");
    case CounterField::Prof: return QStringLiteral("NewCounterProf");
    case CounterField::Off: return QStringLiteral("NewCounterOff");
    case CounterField::OffC: return QStringLiteral("NewCounterOffC");
    }
    return {};
}

namespace {

// The one record of the counter table (created on first use).
const QString kCounterRecord = QStringLiteral("rowid = (SELECT MIN(rowid) FROM COUNTER)");

void ensureCounterRecord(Database& db)
{
    if (db.scalar(QStringLiteral("SELECT COUNT(*) FROM COUNTER")).toInt() == 0)
        db.exec(QStringLiteral("INSERT INTO COUNTER (NewCounterIn, NewCounterOut, NewCounterOff, NewCounterCom, "
                               "NewCounterOffC, NewCounterProf) VALUES (0, 0, 0, 0, 0, 0)"));
}

QVariant textOrNull(const QString& value)
{
    return value.isEmpty() ? QVariant(QMetaType(QMetaType::QString)) : QVariant(value);
}

} // namespace

double TakeCounter(Database& db, CounterField field)
{
    const QString name = counterFieldName(field);
    UnitOfWork work(db);
    ensureCounterRecord(db);
    db.exec(QStringLiteral("UPDATE COUNTER SET %1 = COALESCE(%1, 0) + 1 WHERE %2").arg(name, kCounterRecord));
    const double contor = db.scalar(QStringLiteral("SELECT %1 FROM COUNTER WHERE %2").arg(name, kCounterRecord)).toDouble();
    work.commit();
    return contor;
}

void GiveBackCounter(Database& db, CounterField field, double contor)
{
    const QString name = counterFieldName(field);
    UnitOfWork work(db);
    db.exec(QStringLiteral("UPDATE COUNTER SET %1 = %1 - 1 WHERE %2 AND %1 = :c").arg(name, kCounterRecord),
            {{QStringLiteral("c"), contor}});
    work.commit();
}

double NextLineNumber(Database& db, const QString& table, double contor)
{
    const QVariant max = db.scalar(QStringLiteral("select max(Contor_secundar)  from %1  where (Contor = :Contor)").arg(table),
                                   {{QStringLiteral("Contor"), contor}});
    return (max.isNull() ? 0.0 : max.toDouble()) + 1;
}

namespace {

double largestNumberOfYear(Database& db, const QString& table, int year, const QString& type)
{
    const QVariant max = db.scalar(
        QStringLiteral("SELECT MAX(Numar) AS ValMax FROM \"%1\" WHERE (EXTRACT(YEAR FROM Data_inregistrarii) = :An) "
                       "AND (Tip = :Fel)").arg(table),
        {{QStringLiteral("An"), year}, {QStringLiteral("Fel"), type}});
    return max.isNull() ? 0.0 : max.toDouble();
}

} // namespace

double ProposeOutputNumber(Database& db, int year, const QString& type)
{
    return largestNumberOfYear(db, QStringLiteral("Doc_out.DB"), year, type) + 1;
}

double ProposeLzNumber(Database& db, int year)
{
    return largestNumberOfYear(db, QStringLiteral("Doc_in.DB"), year, QStringLiteral("LZ")) + 1;
}

// ---- series -------------------------------------------------------------------

namespace {

struct SeriesTexts {
    QString table;       // FCTSER, AESER
    QString readError;   // opening the table or reading its largest number
    QString exhausted;
    QString remainingBefore;
    QString remainingAfter;
    QString writeError;
};

const SeriesTexts& invoiceTexts()
{
    static const SeriesTexts t{
        QStringLiteral("FCTSER"),
        QStringLiteral("Eroare de acces la baza de date!\rNu pot determina urmatorul numar de serie de factura!\r<"),
        QStringLiteral("Actuala serie de numere de factura s-a epuizat!"),
        QStringLiteral("Mai puteti emite "),
        QStringLiteral(" facturi pina la epuizarea seriei!"),
        QStringLiteral("Eroare de acces la baza de date! Nu pot salva urmatorul numar serial de factura!\r<")};
    return t;
}

const SeriesTexts& deliveryNoteTexts()
{
    static const SeriesTexts t{
        QStringLiteral("AESER"),
        QStringLiteral("Eroare de acces la baza de date!\rNu pot determina urmatorul numar de serie de aviz de expeditie!\r<"),
        QStringLiteral("Actuala serie de numere de avize de expeditie s-a epuizat!"),
        QStringLiteral("Mai puteti emite "),
        QStringLiteral(" avize de expeditie pîna la epuizarea seriei!"),
        QStringLiteral("Eroare de acces la baza de date! Nu pot salva urmatorul numar serial de aviz de expeditie!\r<")};
    return t;
}

// Messages wait until the write transaction has ended, so that a box left
// open on one workstation never holds the others' printing.
struct PendingMessages {
    common::Dialogs& dialogs;
    QString warning;
    QString error;
    ~PendingMessages()
    {
        if (!warning.isEmpty())
            dialogs.warning(warning);
        if (!error.isEmpty())
            dialogs.error(error);
    }
};

SeriesNumber takeSeriesNumber(Database& db, const SeriesTexts& texts, const QString& series, double first,
                              double last, common::Dialogs& dialogs, double contor)
{
    SeriesNumber result;
    PendingMessages messages{dialogs, {}, {}};
    bool writing = false;
    try {
        UnitOfWork work(db);
        const bool empty = db.scalar(QStringLiteral("SELECT COUNT(*) FROM %1").arg(texts.table)).toInt() == 0;
        if (!empty) {
            datastore::Query stored = db.query(
                QStringLiteral("SELECT Serie, Number FROM %1 WHERE Contor = :c").arg(texts.table),
                {{QStringLiteral("c"), contor}});
            if (stored.next()) {
                result = {true, stored.value(0).toString(), stored.value(1).toDouble()};
                work.commit(); // nothing written
                return result;
            }
        }
        result.series = series;
        if (empty) {
            result.number = first;
        } else {
            // The series text is a parameter of the statement, not part of its text.
            const QVariant max = db.scalar(
                QStringLiteral("SELECT DISTINCT MAX(Number) AS MaxNum\nFROM %1\nWHERE Serie IS :Serie").arg(texts.table),
                {{QStringLiteral("Serie"), textOrNull(series)}});
            const double m = max.isNull() ? 0.0 : max.toDouble();
            if (m < first) {
                result.number = first;
            } else if (m >= last) {
                messages.warning = texts.exhausted;
                work.commit(); // nothing written
                return result;
            } else {
                result.number = m + 1;
                if (m > last - 100)
                    messages.warning = texts.remainingBefore + QString::number(static_cast<qint64>(last - m)) +
                                       texts.remainingAfter;
            }
        }
        writing = true;
        db.exec(QStringLiteral("INSERT INTO %1 (Contor, Serie, Number) VALUES (:c, :s, :n)").arg(texts.table),
                {{QStringLiteral("c"), contor}, {QStringLiteral("s"), textOrNull(series)},
                 {QStringLiteral("n"), result.number}});
        work.commit();
        result.ok = true;
    } catch (const DbError& e) {
        result.ok = false;
        messages.warning.clear();
        messages.error = (writing ? texts.writeError : texts.readError) + e.engineText() + u'>';
    }
    return result;
}

} // namespace

SeriesNumber GetInvoiceNumber(Database& db, const common::Parameters& p, common::Dialogs& dialogs, double contor)
{
    return takeSeriesNumber(db, invoiceTexts(), p.SerFact, p.FactN1, p.FactN2, dialogs, contor);
}

SeriesNumber GetDeliveryNoteNumber(Database& db, const common::Parameters& p, common::Dialogs& dialogs, double contor)
{
    return takeSeriesNumber(db, deliveryNoteTexts(), p.SerAE, p.AEN1, p.AEN2, dialogs, contor);
}

SeriesNumber GetReceiptNumber(Database& db, const common::Parameters& p, common::Dialogs& dialogs, double contor,
                              const QDate& date)
{
    SeriesNumber result;
    PendingMessages messages{dialogs, {}, {}};
    enum class Step { Open, Query, Write } step = Step::Open;
    try {
        UnitOfWork work(db);
        const bool empty = db.scalar(QStringLiteral("SELECT COUNT(*) FROM CHSER")).toInt() == 0;
        if (empty) {
            result.number = p.ChN1;
        } else {
            datastore::Query stored =
                db.query(QStringLiteral("SELECT Numar FROM CHSER WHERE Contor = :c AND Data_platii = :d"),
                         {{QStringLiteral("c"), contor}, {QStringLiteral("d"), date}});
            if (stored.next()) {
                result = {true, QString(), stored.value(0).toDouble()};
                work.commit(); // nothing written
                return result;
            }
            step = Step::Query;
            const QVariant max = db.scalar(QStringLiteral("SELECT DISTINCT MAX(Numar) AS MaxNum\nFROM CHSER"));
            const double m = max.isNull() ? 0.0 : max.toDouble();
            result.number = m >= p.ChN1 ? m + 1 : p.ChN1;
        }
        step = Step::Write;
        db.exec(QStringLiteral("INSERT INTO CHSER (Contor, Data_platii, Numar) VALUES (:c, :d, :n)"),
                {{QStringLiteral("c"), contor}, {QStringLiteral("d"), date}, {QStringLiteral("n"), result.number}});
        work.commit();
        result.ok = true;
    } catch (const DbError& e) {
        result.ok = false;
        switch (step) {
        case Step::Open:
            messages.error = QStringLiteral("Eroare de acces la baza de date!\rNu pot determina urmatorul numar de chitanta!\r<");
            break;
        case Step::Query:
            messages.error = QStringLiteral("Eroare de acces la baza de date!\rNu pot determina urmatorul numar de chitanta !\r<");
            break;
        case Step::Write:
            messages.error = QStringLiteral("Eroare de acces la baza de date! Nu pot salva urmatorul numar de chitanta!\r<");
            break;
        }
        messages.error += e.engineText() + u'>';
    }
    return result;
}

QString formatSeriesNumber(const QString& series, double number)
{
    return series + u' ' + QString::number(number, 'f', 0).leftJustified(12);
}

} // namespace stock
