#pragma once
// TStockForm: the current stock window "Stocuri curente" and the stock picker
// "Selectie articol din stoc".
//
// As a child window of the main window (one instance) it shows the stock of
// a warehouse for looking and for shelf labels; OK, "Renunta" and "&Editeaza"
// are hidden. As the picker (PickStockLine, created for each call) it is a
// modal dialog on the detailed list, positioned on the article it is given;
// OK, Enter or a double click return the current row, and "&Editeaza" adds
// stock rows of quantity 0 to pick from. Every rule is TStockFormLogic's.

#include "stockbrowserlogic.h"
#include "stockpick.h"

#include "catalogs/articlecataloglogic.h"
#include "ui/datagrid.h"
#include "ui/refreshtarget.h"

#include <QWidget>
#include <functional>
#include <memory>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStackedWidget;

namespace stock {

// What the window and the picker need from the program.
struct StockFormContext {
    datastore::Database& database;        // the database directory ("TSTOCK")
    datastore::Database& privateDatabase; // the private directory ("TBX_PRIV"): Etichete.DB, new rows being typed
    common::Dialogs& dialogs;
    const common::Formats& formats;
    const common::Parameters& parameters;
    QSettings& settings;                  // the current user's key: "SortBy"
    QString privateDir;                   // ends in '/': stocksPret.cfg, stocksArticole.cfg
    StockPickMemory& memory;              // the warehouse of the last picker call, owned by the application
    std::function<void(const QString&)> showProgress; // the main window's status line; may be empty
    // Prints the labels of Etichete.DB; empty: "Listeaza etichete" is not offered.
    std::function<void(QWidget* owner)> printLabels;

    // What the article picker of a new stock row needs.
    catalogs::ArticleCatalogContext articleContext() const
    {
        return {database, dialogs, parameters, formats, privateDir, showProgress};
    }
};

enum class StockFormRole { Window, Picker };

class TStockForm : public QWidget, public ui::RefreshTarget, private StockFormView {
    Q_OBJECT
public:
    TStockForm(StockFormContext context, StockFormRole role, QWidget* parent = nullptr);
    ~TStockForm() override;

    // Opens the lists on `warehouse` (the first one when it is empty or
    // unknown) and reads the grid layouts. False, after the error box, when
    // the window is to be released.
    bool prepare(const QString& warehouse);
    // The child window on the warehouse last given to the picker; nullptr
    // when its tables cannot be read.
    static std::unique_ptr<TStockForm> createChild(StockFormContext context);

    // The close request: new rows being typed are written (false, the window
    // stays, when refused); the order and the layout are saved.
    bool closeQuery();
    void refreshTick() override;

    StockFormRole role() const { return m_role; }
    TStockFormLogic& logic() { return m_logic; }
    ui::DataGrid* grid() const; // the list shown
    ui::DataGrid* detailedGrid() const { return m_detailedGrid; }
    ui::DataGrid* cumulatedGrid() const { return m_cumulatedGrid; }
    ui::DataGrid* newRowsGrid() const { return m_newGrid; }
    QComboBox* warehouseCombo() const { return m_warehouse; }
    QComboBox* listCombo() const { return m_list; }
    QComboBox* orderCombo() const { return m_order; }
    QLineEdit* searchEdit() const { return m_search; }
    QPushButton* findPriceButton() const { return m_findPrice; }
    QPushButton* repeatButton() const { return m_repeat; }
    QPushButton* labelsButton() const { return m_labels; }
    QPushButton* editButton() const { return m_edit; }
    QPushButton* okButton() const { return m_ok; }
    QPushButton* cancelButton() const { return m_cancel; }
    QLabel* hintLabel() const { return m_hint; }
    QString layoutFile(StockList list) const;

signals:
    void okClicked();     // OK, Enter or a double click on a row (picker)
    void cancelClicked(); // "Renunta"

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // StockFormView
    std::optional<catalogs::ArticlePick> pickArticles(const QString& group, const QString& article) override;
    void focusNewRowColumn(const QString& field) override;
    void focusList() override;

    void buildControls();
    void fillWarehouses();
    void switchList(int index);
    void editToggled(bool down);
    void applyEditingState();
    void showHint(const QString& hint);
    bool guard(const std::function<void()>& action);

    StockFormContext m_ctx;
    StockFormRole m_role;
    TStockFormLogic m_logic;
    std::unique_ptr<ui::DatasetModel> m_detailedModel;
    std::unique_ptr<ui::DatasetModel> m_cumulatedModel;
    std::unique_ptr<ui::DatasetModel> m_newModel;
    ui::DataGrid* m_detailedGrid = nullptr;
    ui::DataGrid* m_cumulatedGrid = nullptr;
    ui::DataGrid* m_newGrid = nullptr;
    QStackedWidget* m_lists = nullptr;
    QWidget* m_newPanel = nullptr;
    QComboBox* m_warehouse = nullptr;
    QComboBox* m_list = nullptr;
    QComboBox* m_order = nullptr;
    QLineEdit* m_search = nullptr;
    QPushButton* m_findPrice = nullptr;
    QPushButton* m_repeat = nullptr;
    QPushButton* m_labels = nullptr;
    QPushButton* m_edit = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
    QLabel* m_hint = nullptr;
    bool m_prepared = false;
    bool m_closed = false;
};

// "Selectie articol din stoc": the modal picker on `pick`'s warehouse (the
// one last given when it is empty), positioned on its group, article and
// price. False when left with "Renunta"; otherwise `pick` holds the current
// row's warehouse, group, article, acquisition price, quantity, lot and budget.
bool PickStockLine(QWidget* owner, const StockFormContext& context, StockLinePick& pick);

} // namespace stock
