#pragma once
// TStockForm: the current stock window "Stocuri curente" (a child window of
// the main window) and, created modally for each call, the stock picker
// PickStockLine ("Selectie articol din stoc"), the only way an output line
// receives its warehouse, article, acquisition price, lot and budget. Every
// rule is TStockFormLogic's; the widget binds the controls.

#include "stockbrowserlogic.h"
#include "stockpick.h"

#include "ui/datagrid.h"
#include "ui/refreshtarget.h"

#include <QDialog>
#include <functional>
#include <memory>

class QComboBox;
class QLineEdit;
class QLabel;
class QListWidget;
class QPushButton;
class QVBoxLayout;

namespace stock {

// What the window needs from the program.
struct StockFormContext {
    datastore::Database& database;
    datastore::Database* privateDatabase; // where Etichete.DB is written; may be null
    common::Dialogs& dialogs;
    const common::Formats& formats;
    const common::Parameters& parameters;
    QSettings& settings;                  // "SortBy"
    QString privateDir;                   // ends in '/', where the layouts are kept
    std::function<void(const QString&)> showProgress;
    std::function<void()> printLabels;    // prints Etichete.DB; empty: not offered
    QString* lastWarehouse = nullptr;     // the warehouse of the last picker call, kept while the program runs
};

class TStockForm : public QDialog, public ui::RefreshTarget {
    Q_OBJECT
public:
    enum class Role { Browser, Picker };
    TStockForm(StockFormContext context, Role role, QWidget* parent = nullptr);
    ~TStockForm() override;

    // Opens the list of the warehouse; false, after the message, when it cannot be read.
    bool prepare(const QString& warehouse);
    static std::unique_ptr<TStockForm> createChild(StockFormContext context);

    TStockFormLogic& logic() { return m_logic; }
    ui::DataGrid* grid() const { return m_grid; }
    QString layoutFile() const;

    // The child window shows what other workstations issued and received.
    void refreshTick() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void done(int result) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void rebuildGrid();
    QList<ui::GridColumn> columns() const;
    void saveCurrentLayout();
    void toggleEditing(bool on);
    void addPendingRow();
    void pickPendingArticle();

    StockFormContext m_ctx;
    Role m_role;
    TStockFormLogic m_logic;
    std::unique_ptr<ui::DatasetModel> m_model;
    ui::DataGrid* m_grid = nullptr;
    QVBoxLayout* m_gridBox = nullptr;
    QComboBox* m_warehouse = nullptr;
    QComboBox* m_show = nullptr;
    QComboBox* m_sort = nullptr;
    QLineEdit* m_search = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_edit = nullptr;
    QWidget* m_editPanel = nullptr;
    QLineEdit* m_newGroup = nullptr;
    QLineEdit* m_newArticle = nullptr;
    QLineEdit* m_newPrice = nullptr;
    QLabel* m_newName = nullptr;
    QListWidget* m_pendingList = nullptr;
    QList<TStockFormLogic::NewRow> m_pending;
    bool m_closed = false;
};

// "Selectie articol din stoc": false when left with "Renunta".
bool PickStockLine(QWidget* owner, const StockFormContext& context, StockLinePick& pick);

} // namespace stock
