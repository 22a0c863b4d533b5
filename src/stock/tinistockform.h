#pragma once
// TIniStockForm: the initial stock window "Stocuri initiale", a child window
// of the main window: the warehouse selector and the date of the initial
// stock above the grid of its lines; every rule is TIniStockFormLogic's. The
// grid's layout is kept in iniStock.cfg of the private directory.

#include "inistocklogic.h"

#include "ui/datagrid.h"
#include "ui/fieldedit.h"
#include "ui/refreshtarget.h"

#include <QWidget>
#include <functional>
#include <memory>

class QComboBox;
class QMenu;

namespace stock {

// What the window needs from the program.
struct IniStockContext {
    datastore::Database& database;
    common::Dialogs& dialogs;
    const common::Formats& formats;
    const common::Parameters& parameters;
    QString privateDir;                               // ends in '/', where iniStock.cfg is kept
    std::function<void(const QString&)> showProgress; // the main window's status line
};

class TIniStockForm : public QWidget, public ui::RefreshTarget, private IniStockView {
    Q_OBJECT
public:
    explicit TIniStockForm(IniStockContext context, QWidget* parent = nullptr);
    ~TIniStockForm() override;

    // Opens the tables; false, after the error box, when the window is to be released.
    bool prepare();
    // The child window, opened; nullptr when its tables cannot be opened.
    static std::unique_ptr<TIniStockForm> createChild(IniStockContext context);

    TIniStockFormLogic& logic() { return m_logic; }
    ui::DataGrid* lineGrid() const { return m_grid; }
    QComboBox* warehouseSelector() const { return m_warehouse; }
    ui::FieldEdit* dateEdit() const { return m_date; }
    QString layoutFile() const;

    void refreshTick() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // IniStockView
    std::optional<catalogs::ArticlePick> pickArticles(const QString& group, const QString& article) override;
    void focusLineColumn(const QString& field) override;
    void showProgress(const QString& text) override;

    QList<ui::GridColumn> lineColumns() const;
    void showWarehouse();
    bool commitEdits();

    IniStockContext m_ctx;
    TIniStockFormLogic m_logic;
    std::unique_ptr<ui::DatasetModel> m_model;
    ui::DataGrid* m_grid = nullptr;
    QComboBox* m_warehouse = nullptr;
    ui::FieldEdit* m_date = nullptr;
    QMenu* m_linePopup = nullptr;
    bool m_layoutRestored = false;
};

} // namespace stock
