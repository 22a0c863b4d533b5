#pragma once
// The purchase-price chooser ("Selectati un pret de achizitie"): the stock
// lines of one article in one warehouse; "OK" or a double click takes the
// acquisition price of the current line.

#include "articlepurchaseprice.h"

#include "common/formats.h"
#include "common/parameters.h"
#include "ui/datagrid.h"

#include <QDialog>
#include <memory>
#include <optional>

class QPushButton;

namespace catalogs {

class TPricesDlg : public QDialog {
    Q_OBJECT
public:
    // `lines` as openPurchasePrices returns them; prices shown with `priceDecimals` decimals at most.
    TPricesDlg(std::unique_ptr<datastore::Dataset> lines, const common::Formats& formats, common::Dialogs& dialogs,
               int priceDecimals, QWidget* parent = nullptr);
    ~TPricesDlg() override;

    datastore::Dataset& lines() { return *m_lines; }
    ui::DataGrid* grid() const { return m_grid; }
    QPushButton* okButton() const { return m_ok; }
    QPushButton* cancelButton() const { return m_cancel; }
    // The acquisition price of the current line; nullopt when the list is empty.
    std::optional<double> price() const;

private:
    std::unique_ptr<datastore::Dataset> m_lines;
    std::unique_ptr<ui::DatasetModel> m_model;
    ui::DataGrid* m_grid = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
};

// The acquisition price of one stock line of the article in the warehouse;
// nullopt after the warning "Nu exista stoc pentru acest articol!" (the
// window is not shown), or when the window is cancelled.
std::optional<double> PickPurchasePrice(QWidget* owner, datastore::Database& db, common::Dialogs& dialogs,
                                        const common::Formats& formats, const common::Parameters& params,
                                        const QString& warehouse, const QString& group, const QString& article);

} // namespace catalogs
