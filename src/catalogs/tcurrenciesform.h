#pragma once
// The currencies and rates window ("Valute si cursuri"): the currency list
// beside the rates of the current currency, both edited in place, and under
// them the file or address of the National Bank of Romania's rates with
// "&Fisier..." (choose a file) and "&Importa cursurile BNR". A child window
// of the main window ("&Sistem" / "Valute si cursuri", one instance). Binds
// TCurrenciesLogic; addresses are read by FetchUrl.

#include "currencieslogic.h"
#include "partnercatalogs.h"

#include "ui/refreshtarget.h"

#include <QWidget>
#include <memory>

class QLineEdit;
class QPushButton;

namespace catalogs {

class TCurrenciesForm : public QWidget, public ui::RefreshTarget {
    Q_OBJECT
public:
    TCurrenciesForm(const PartnerServices& services, RateCache* cache, QWidget* parent = nullptr);
    ~TCurrenciesForm() override;

    bool prepare(); // false after the error box: the window is to be released
    static std::unique_ptr<TCurrenciesForm> createChild(const PartnerServices& services, RateCache* cache);

    void refreshTick() override;
    bool closeQuery();
    void importRates(); // "&Importa cursurile BNR"

    TCurrenciesLogic& logic() { return m_logic; }
    ui::DataGrid* currencyGrid() const { return m_currencyGrid; }
    ui::DataGrid* rateGrid() const { return m_rateGrid; }
    QLineEdit* sourceEdit() const { return m_source; }
    QPushButton* importButton() const { return m_import; }
    // The reader of addresses; FetchUrl unless replaced.
    void setFetcher(UrlFetcher fetch) { m_fetch = std::move(fetch); }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    bool commitEditors(); // false when a typed value was refused
    const PartnerServices m_services;
    TCurrenciesLogic m_logic;
    std::unique_ptr<ui::DatasetModel> m_currencyModel;
    std::unique_ptr<ui::DatasetModel> m_rateModel;
    ui::DataGrid* m_currencyGrid = nullptr;
    ui::DataGrid* m_rateGrid = nullptr;
    QLineEdit* m_source = nullptr;
    QPushButton* m_browse = nullptr;
    QPushButton* m_import = nullptr;
    UrlFetcher m_fetch;
    bool m_closed = false;
};

} // namespace catalogs
