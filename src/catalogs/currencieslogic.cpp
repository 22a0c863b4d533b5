#include "currencieslogic.h"

#include <QFile>

namespace catalogs {

using datastore::Abort;
using datastore::Dataset;
using datastore::DatasetState;

namespace {

const QString kCode = QStringLiteral("Moneda");

// Tables whose rows name a currency, and what they are to the user.
struct CurrencyUse {
    const char* table;
    const char* field;
    const char* what;
};
const CurrencyUse kCurrencyUses[] = {
    {"Curs.db", "Valuta", "cursuri valutare"},
    {"Catalog.DB", "Moneda", "catalogul de articole"},
    {"Item_in.DB", "Valuta", "documentele de intrare"},
    {"Avit_in.DB", "Valuta", "avizele de intrare"},
    {"Splvpay.DB", "Valuta", "platile in valuta"},
    {"Target.DB", "Moneda", "targete"},
};

} // namespace

TCurrenciesLogic::TCurrenciesLogic(datastore::Database& db, common::Dialogs& dialogs, RateCache* cache)
    : currencies(db, QStringLiteral("Valuta.db")), rates(db, QString::fromLatin1(kRateTable)), m_db(db),
      m_dialogs(dialogs), m_cache(cache)
{
    currencies.setOrderBy(kCode);
    rates.setOrderBy(QString::fromLatin1(kRateOrder));
    rates.setMaster(&currencies, {{QStringLiteral("Valuta"), kCode}});

    currencies.beforePost = [this] { CurrencyBeforePost(); };
    currencies.beforeDelete = [this] { CurrencyBeforeDelete(); };
    rates.onNewRecord = [this] { RateNewRecord(); };
    rates.beforePost = [this] { RateBeforePost(); };
    rates.beforeDelete = [this] { m_rateCurrency = rates.value(QStringLiteral("Valuta")).toString(); };
    rates.afterPost = [this] { RateChanged(); };
    rates.afterDelete = [this] { RateChanged(); };
}

bool TCurrenciesLogic::FormCreate()
{
    try {
        currencies.open();
        rates.open();
        rates.last(); // the latest rate
        return true;
    } catch (const std::exception& e) {
        const QString engine = datastore::errorText(e);
        FormClose();
        m_dialogs.error(QStringLiteral("Eroare de acces la catalogul de valute!\r<%1>").arg(engine));
        return false;
    }
}

QList<ui::GridColumn> TCurrenciesLogic::currencyColumns() const
{
    return {ui::GridColumn(kCode, QStringLiteral("Moneda"), 70),
            ui::GridColumn(QStringLiteral("Denumire"), QStringLiteral("Denumire"), 200)};
}

QList<ui::GridColumn> TCurrenciesLogic::rateColumns() const
{
    return {ui::GridColumn(QStringLiteral("Valuta"), QStringLiteral("Moneda"), 60).asHidden(),
            ui::GridColumn(QStringLiteral("Data"), QStringLiteral("Data"), 100),
            ui::GridColumn(QStringLiteral("Curs"), QStringLiteral("Curs (lei)"), 110).withMask(QStringLiteral("0.0000####"))};
}

// --- import ------------------------------------------------------------------------------------

bool TCurrenciesLogic::isAddress(const QString& source)
{
    const QString s = source.trimmed();
    return s.startsWith(QLatin1String("http://"), Qt::CaseInsensitive)
        || s.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
}

bool TCurrenciesLogic::ImportNbrRates(const QString& source, const UrlFetcher& fetch)
{
    const QString from = source.trimmed();
    if (from.isEmpty()) {
        m_dialogs.warning(QStringLiteral("Specificati fisierul sau adresa cursurilor BNR!"));
        return false;
    }
    QByteArray data;
    if (isAddress(from)) {
        QString error;
        data = fetch ? fetch(from, error) : QByteArray();
        if (!fetch)
            error = QStringLiteral("fara acces la retea");
        if (!error.isEmpty()) {
            m_dialogs.error(QStringLiteral("Nu pot descarca cursurile BNR de la %1!\r<%2>").arg(from, error));
            return false;
        }
    } else {
        QFile file(from);
        if (!file.open(QIODevice::ReadOnly)) {
            m_dialogs.error(QStringLiteral("Nu pot deschide fisierul %1!\r<%2>").arg(from, file.errorString()));
            return false;
        }
        data = file.readAll();
    }
    return ImportNbrRatesData(data, from);
}

bool TCurrenciesLogic::ImportNbrRatesData(const QByteArray& xml, const QString& from)
{
    QString error;
    const QList<NbrRate> parsed = ParseNbrRates(xml, error);
    if (!error.isEmpty()) {
        m_dialogs.warning(error + QStringLiteral("\r(") + from + QStringLiteral(")\rNu s-a importat niciun curs."));
        return false;
    }
    NbrImportResult result;
    try {
        rates.settle();
        currencies.settle();
        result = catalogs::ImportNbrRates(m_db, parsed, m_cache);
    } catch (...) {
        ui::reportDataError(m_dialogs, std::current_exception());
        return false;
    }
    try {
        rates.refresh();
    } catch (...) {
        ui::reportDataError(m_dialogs, std::current_exception());
    }
    m_dialogs.information(NbrImportSummary(result));
    return true;
}

// --- life ----------------------------------------------------------------------------------------

void TCurrenciesLogic::RefreshTick()
{
    try {
        for (Dataset* d : {&currencies, &rates})
            if (d->isOpen())
                d->refresh(); // a list being edited, or its master, waits
    } catch (const datastore::DbError&) {
        // busy on another workstation: the next tick reads it
    }
}

bool TCurrenciesLogic::FormCloseQuery()
{
    try {
        rates.settle();
        currencies.settle();
    } catch (...) {
        ui::reportDataError(m_dialogs, std::current_exception());
        return false;
    }
    return true;
}

void TCurrenciesLogic::FormClose()
{
    rates.close();
    currencies.close();
}

// --- handlers ------------------------------------------------------------------------------------

void TCurrenciesLogic::CurrencyBeforePost()
{
    const QString code = currencies.value(kCode).toString().trimmed();
    if (code.isEmpty() || currencies.value(QStringLiteral("Denumire")).toString().trimmed().isEmpty()) {
        m_dialogs.warning(QStringLiteral("Introduceti codul si denumirea monedei!"));
        throw Abort();
    }
    if (code != code.toUpper())
        currencies.setValue(kCode, code.toUpper());
    if (currencies.state() != DatasetState::Edit)
        return;
    const QString old = currencies.oldValue(kCode).toString();
    if (old == currencies.value(kCode).toString())
        return;
    for (const CurrencyUse& use : kCurrencyUses) {
        const QVariant n = m_db.scalar(QStringLiteral("SELECT COUNT(*) FROM \"%1\" WHERE %2 = :Code")
                                           .arg(QString::fromLatin1(use.table), QString::fromLatin1(use.field)),
                                       {{QStringLiteral("Code"), old}});
        if (n.toInt() > 0) {
            m_dialogs.warning(QStringLiteral("Codul monedei %1 nu poate fi modificat deoarece este folosit in %2!")
                                  .arg(old, QString::fromLatin1(use.what)));
            throw Abort();
        }
    }
}

void TCurrenciesLogic::CurrencyBeforeDelete()
{
    const QString code = currencies.value(kCode).toString();
    for (const CurrencyUse& use : kCurrencyUses) {
        const QVariant n = m_db.scalar(QStringLiteral("SELECT COUNT(*) FROM \"%1\" WHERE %2 = :Code")
                                           .arg(QString::fromLatin1(use.table), QString::fromLatin1(use.field)),
                                       {{QStringLiteral("Code"), code}});
        if (n.toInt() > 0) {
            m_dialogs.warning(QStringLiteral("Moneda %1 nu poate fi stearsa deoarece este folosita in %2! "
                                             "Stergeti inregistrarile aferente si reveniti!")
                                  .arg(code, QString::fromLatin1(use.what)));
            throw Abort();
        }
    }
}

void TCurrenciesLogic::RateNewRecord()
{
    rates.setValue(QStringLiteral("Data"), QDate::currentDate());
}

void TCurrenciesLogic::RateBeforePost()
{
    const QVariant date = rates.value(QStringLiteral("Data"));
    const QVariant rate = rates.value(QStringLiteral("Curs"));
    if (date.isNull() || rate.isNull() || rate.toDouble() <= 0) {
        m_dialogs.warning(QStringLiteral("Introduceti data si cursul (un numar mai mare decit zero)!"));
        throw Abort();
    }
    m_rateCurrency = rates.value(QStringLiteral("Valuta")).toString();
}

void TCurrenciesLogic::RateChanged()
{
    if (m_cache && !m_rateCurrency.isEmpty())
        m_cache->forget(m_rateCurrency);
}

} // namespace catalogs
