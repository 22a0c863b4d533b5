#include "tpricesdlg.h"

#include "lookupcontrols.h"

#include <QMouseEvent>

namespace catalogs {

namespace {

// A double click confirms when the list has a line.
class PriceGrid : public ui::DataGrid {
public:
    PriceGrid(ui::DatasetModel* model, QDialog* dialog) : ui::DataGrid(model, dialog), m_dialog(dialog) {}

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override
    {
        if (!dataset().isEmpty() && indexAt(event->position().toPoint()).isValid())
            m_dialog->accept();
    }

private:
    QDialog* m_dialog;
};

} // namespace

TPricesDlg::TPricesDlg(std::unique_ptr<datastore::Dataset> lines, const common::Formats& formats,
                       common::Dialogs& dialogs, int priceDecimals, QWidget* parent)
    : QDialog(parent), m_lines(std::move(lines))
{
    setWindowTitle(QStringLiteral("Selectati un pret de achizitie"));
    setModal(true);
    // The currency format, with the further decimals that tell close prices apart.
    const QString priceMask = QStringLiteral("#,##0.00") + QString(std::max(priceDecimals - 2, 0), QLatin1Char('#'));
    m_model = std::make_unique<ui::DatasetModel>(*m_lines, formats, dialogs);
    m_model->setColumns({
        ui::GridColumn(QStringLiteral("Cod_articol"), QStringLiteral("Cod articol"), 100),
        ui::GridColumn(QStringLiteral("Denumire"), QStringLiteral("Denumire"), 200),
        ui::GridColumn(QStringLiteral("Pret_achizitie"), QStringLiteral("Pret achizitie"), 100).withMask(priceMask),
        ui::GridColumn(QStringLiteral("Cantitate"), QStringLiteral("Cantitate"), 80).withMask(QStringLiteral("0.######")),
        ui::GridColumn(QStringLiteral("Unitate_masura"), QStringLiteral("U.M."), 50),
        ui::GridColumn(QStringLiteral("Lot"), QStringLiteral("Lot"), 110),
    });
    m_grid = new PriceGrid(m_model.get(), this);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);

    const ListDialogButtons buttons = layOutListDialog(this, m_grid, QStringLiteral("Renunta"));
    m_ok = buttons.ok;
    m_cancel = buttons.cancel;
    resize(720, 300);
    m_grid->setFocus();
}

TPricesDlg::~TPricesDlg() = default;

std::optional<double> TPricesDlg::price() const
{
    if (!m_lines->isOpen() || m_lines->isEmpty())
        return std::nullopt;
    const QVariant v = m_lines->value(QStringLiteral("Pret_achizitie"));
    if (v.isNull())
        return 0.0; // a stock line without a price is a price of 0
    return v.toDouble();
}

std::optional<double> PickPurchasePrice(QWidget* owner, datastore::Database& db, common::Dialogs& dialogs,
                                        const common::Formats& formats, const common::Parameters& params,
                                        const QString& warehouse, const QString& group, const QString& article)
{
    std::unique_ptr<datastore::Dataset> lines = openPurchasePrices(db, dialogs, warehouse, group, article);
    if (!lines)
        return std::nullopt;
    TPricesDlg dlg(std::move(lines), formats, dialogs, params.nrZecimaleLei, owner);
    if (dlg.exec() != QDialog::Accepted)
        return std::nullopt;
    return dlg.price();
}

} // namespace catalogs
