#include "rates.h"

#include <cmath>

namespace catalogs {

namespace {

const QString kCurrencyField = QStringLiteral("Valuta");
const QString kDateField = QStringLiteral("Data");
const QString kRateField = QStringLiteral("Curs");

void readAgain(datastore::Dataset& rates)
{
    if (rates.state() == datastore::DatasetState::Browse)
        rates.refresh();
}

} // namespace

std::unique_ptr<datastore::Dataset> OpenRateTable(datastore::Database& db)
{
    auto rates = std::make_unique<datastore::Dataset>(db, QString::fromLatin1(kRateTable));
    rates->setOrderBy(QString::fromLatin1(kRateOrder));
    rates->open();
    return rates;
}

bool FindRateAtDate(datastore::Dataset& rates, const QString& dateField, const QString& currency,
                    const QDate& date)
{
    readAgain(rates);
    // 1. The record of that very date.
    if (rates.locate({kCurrencyField, dateField}, {currency, date}))
        return true;

    // 2. The records of the currency: positions low..high.
    const int currencyIndex = rates.fieldIndex(kCurrencyField);
    const int dateIndex = rates.fieldIndex(dateField);
    if (currencyIndex < 0 || dateIndex < 0)
        throw datastore::DatasetError(QStringLiteral("Tabela de cursuri nu are cimpurile %1 si %2")
                                          .arg(kCurrencyField, dateField));
    auto dateAt = [&](int row) { return rates.value(row, dateIndex).toDate(); };
    int low = -1;
    int high = -1;
    for (int r = 0; r < rates.recordCount(); ++r) {
        if (rates.value(r, currencyIndex).toString() != currency)
            continue;
        if ((high >= 0 && high != r - 1) || (high >= 0 && dateAt(r) < dateAt(high)))
            throw datastore::DatasetError(QStringLiteral("Cursurile valutare trebuie citite in ordinea %1")
                                              .arg(QString::fromLatin1(kRateOrder)));
        if (low < 0)
            low = r;
        high = r;
    }
    if (low < 0)
        return false;

    // 3. The latest rate serves every later date.
    if (date >= dateAt(high)) {
        rates.moveTo(high);
        return true;
    }
    // 4. Halving: the latest record dated on or before the date, or the earliest.
    while (high - low > 1) {
        const int middle = low + (high - low) / 2;
        if (date >= dateAt(middle))
            low = middle;
        else
            high = middle;
    }
    rates.moveTo(low);
    return true;
}

std::optional<double> RateAtDate(datastore::Database& db, const QString& currency, const QDate& date)
{
    // The record of that date or the latest one before it; failing those, the earliest.
    datastore::Query q = db.query(
        QStringLiteral("SELECT Curs, 0 AS Choice, Data FROM CURS WHERE Valuta = :v AND Data = "
                       "(SELECT MAX(Data) FROM CURS WHERE Valuta = :v AND Data <= :d) "
                       "UNION ALL "
                       "SELECT Curs, 1 AS Choice, Data FROM CURS WHERE Valuta = :v AND Data = "
                       "(SELECT MIN(Data) FROM CURS WHERE Valuta = :v) "
                       "ORDER BY 2"),
        {{QStringLiteral("v"), currency}, {QStringLiteral("d"), date}});
    if (!q.next())
        return std::nullopt;
    return q.value(0).toDouble();
}

std::optional<double> RateCache::find(const QString& currency) const
{
    const auto it = m_rates.constFind(currency.toCaseFolded());
    if (it == m_rates.constEnd())
        return std::nullopt;
    return it->second;
}

void RateCache::add(const QString& currency, double rate)
{
    const QString key = currency.toCaseFolded();
    if (!m_rates.contains(key))
        m_rates.insert(key, {currency, rate});
}

void RateCache::forget(const QString& currency)
{
    m_rates.remove(currency.toCaseFolded());
}

QStringList RateCache::currencies() const
{
    QStringList codes;
    for (const auto& entry : m_rates)
        codes << entry.first;
    return codes;
}

double GetLatestRate(RateCache& cache, datastore::Dataset& rates, const QString& currency)
{
    if (const std::optional<double> cached = cache.find(currency))
        return *cached;
    if (!rates.isOpen())
        throw datastore::DatasetError(QStringLiteral("Tabela de cursuri valutare nu este deschisa"));
    readAgain(rates);
    // The currency is matched as the cache matches it, so that a code asked in
    // another letter case finds the same rate rather than a 0 kept for the run.
    const int currencyIndex = rates.fieldIndex(kCurrencyField);
    const int dateIndex = rates.fieldIndex(kDateField);
    int latest = -1;
    QDate latestDate;
    for (int r = 0; r < rates.recordCount(); ++r) {
        if (rates.value(r, currencyIndex).toString().compare(currency, Qt::CaseInsensitive) != 0)
            continue;
        const QDate d = rates.value(r, dateIndex).toDate();
        if (latest < 0 || d >= latestDate) {
            latest = r;
            latestDate = d;
        }
    }
    double rate = 0;
    if (latest >= 0) {
        rates.moveTo(latest);
        rate = rates.value(kRateField).toDouble();
    }
    cache.add(currency, rate);
    return rate;
}

QString MissingRateMessage(const QString& currency)
{
    return QStringLiteral("Nu exista curs valutar pentru moneda %1!").arg(currency);
}

bool CheckRate(double rate, const QString& currency, common::Dialogs& dialogs)
{
    if (std::isfinite(rate) && rate != 0.0)
        return true;
    dialogs.warning(MissingRateMessage(currency));
    return false;
}

} // namespace catalogs
