#pragma once
// The currencies and rates window ("Valute si cursuri"), headless: the
// currencies (Valuta.db, by code) and the rates of the current currency
// (Curs.db, by date), both edited in place, and the import of the National
// Bank of Romania's reference rates from a file or from an address. Every
// rate written or deleted here makes the rate cache forget that currency, so
// the latest rate is read again. TCurrenciesForm binds it to the controls.

#include "nbrrates.h"
#include "rates.h"

#include "common/dialogs.h"
#include "datastore/dataset.h"
#include "ui/datagrid.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <functional>

namespace catalogs {

inline constexpr const char* kCurrenciesCaption = "Valute si cursuri";
inline constexpr const char* kNbrDefaultAddress = "https://www.bnr.ro/nbrfxrates.xml";

// Reads an address: the contents, or an empty array and `error` (the
// reason, in the words of the network layer). The window passes a fetcher
// over the network; tests pass the same over a local server.
using UrlFetcher = std::function<QByteArray(const QString& url, QString& error)>;

class TCurrenciesLogic {
public:
    // `cache` may be null (no rate was asked for yet in this run).
    TCurrenciesLogic(datastore::Database& db, common::Dialogs& dialogs, RateCache* cache);
    TCurrenciesLogic(const TCurrenciesLogic&) = delete;
    TCurrenciesLogic& operator=(const TCurrenciesLogic&) = delete;

    datastore::Dataset currencies; // Valuta.db
    datastore::Dataset rates;      // Curs.db, the rates of the current currency

    // False after the error box "Eroare de acces la catalogul de valute!" +
    // line break + "<" + engine message + ">" when a table cannot be opened.
    bool FormCreate();
    QList<ui::GridColumn> currencyColumns() const;
    QList<ui::GridColumn> rateColumns() const;

    // --- import of the bank's rates ------------------------------------------------------
    // The file or address the user gave: an address (http:// or https://) is
    // read by `fetch`, anything else is a file. The rates are written and the
    // summary shown, or the reason shown and nothing written. True when written.
    bool ImportNbrRates(const QString& source, const UrlFetcher& fetch);
    // The same for the contents already read; `from` names them in messages.
    bool ImportNbrRatesData(const QByteArray& xml, const QString& from);
    static bool isAddress(const QString& source);

    void RefreshTick();
    bool FormCloseQuery();
    void FormClose();

    // --- handlers ---------------------------------------------------------
    void CurrencyBeforePost();
    void CurrencyBeforeDelete();
    void RateNewRecord();
    void RateBeforePost();
    void RateChanged(); // after a rate was written or deleted

private:
    datastore::Database& m_db;
    common::Dialogs& m_dialogs;
    RateCache* m_cache;
    QString m_rateCurrency; // the currency of the rate being written or deleted
};

} // namespace catalogs
