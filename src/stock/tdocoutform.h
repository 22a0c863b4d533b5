#pragma once
// TDocOutForm: the output documents window "Documente de iesire", a child
// window of the main window. The header boxes "Inregistrare" / "Document",
// the "Client" controls that follow the type, the beneficiary, the line
// grid, the navigator, the menu "&Document" and the line pop-up; every rule
// is TDocOutFormLogic's.

#include "docoutlogic.h"

#include "prints/printstore.h"
#include "ui/datagrid.h"
#include "ui/fieldedit.h"
#include "ui/refreshtarget.h"
#include "documentchrome.h"

#include <QWidget>
#include <functional>
#include <memory>

class QComboBox;
class QLabel;
class QMenu;
class QPushButton;

namespace stock {

// What the window needs from the program.
struct DocOutContext {
    datastore::Database& database;
    common::Dialogs& dialogs;
    const common::Formats& formats;
    const common::Parameters& parameters;
    prints::PrintSettingsStore& printSettings;        // each print's own
    QString privateDir;                               // ends in '/', where docout.cfg is kept
    QString userInitials;                             // empty in this edition
    std::function<void(const QString&)> showProgress; // the main window's status line
    // The stock picker; empty: no line can be picked.
    std::function<bool(QWidget* owner, StockLinePick& pick)> pickStockLine;
    // "Listeaza...": the prints to make of the document.
    std::function<bool(QWidget* owner, int& printSet, prints::PrintOptions& options)> choosePrints;
    // One print of the document (after its series number and the print setup).
    std::function<void(const OutputPrintJob& job)> printDocument;
    // "T&ransfer": the transfer dialog (the receiving warehouse and the state
    // of inventory objects), false when cancelled; empty: the command is not offered.
    std::function<bool(QWidget* owner, TransferOptions& options)> transfer;
    // The "..." beside the beneficiary: the beneficiaries' window.
    std::function<void()> showBeneficiaries;
};

class TDocOutForm : public QWidget, public ui::RefreshTarget, private DocOutView {
    Q_OBJECT
public:
    explicit TDocOutForm(DocOutContext context, QWidget* parent = nullptr);
    ~TDocOutForm() override;

    // Opens the tables; false, after the error box, when the window is to be released.
    bool prepare(const QDate& today = QDate::currentDate());
    // The child window, opened; nullptr when its tables cannot be opened.
    static std::unique_ptr<TDocOutForm> createChild(DocOutContext context);

    TDocOutFormLogic& logic() { return m_logic; }
    ui::DataGrid* lineGrid() const { return m_grid; }
    QString layoutFile() const;

    void refreshTick() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // DocOutView
    bool pickStockLine(StockLinePick& pick) override;
    std::optional<double> pickPurchasePrice(const QString& warehouse, const QString& group,
                                            const QString& article) override;
    bool pickWarehouse(QString& code) override;
    bool selectInterval(QDate& first, QDate& last) override;
    bool askSearchCriterion(SearchState& state, bool offerSerial) override;
    void showSearching(bool on) override;
    bool choosePrints(int& printSet, prints::PrintOptions& options) override;
    bool printSetup(const OutputPrintJob& job) override;
    void printDocument(const OutputPrintJob& job) override;
    bool askTransfer(TransferOptions& options) override;
    bool askDiscount(double& percent) override;
    void closeWindow() override;
    void focusLineColumn(const QString& field) override;
    void focusHeaderField(const QString& field) override;
    void showClientControls(ClientControls controls) override;
    void showSalePrice(bool shown) override;
    void setTitle(const QString& title) override;
    void showProgress(const QString& text) override;

    void buildHeader(QWidget* box);
    void buildMenus();
    QList<ui::GridColumn> lineColumns() const;
    void showHeaderLists();
    bool guard(const std::function<void()>& action);
    bool commitEdits();
    void setHeaderValue(const QString& field, const QVariant& value);

    DocOutContext m_ctx;
    TDocOutFormLogic m_logic;
    std::unique_ptr<ui::DatasetModel> m_model;
    ui::DataGrid* m_grid = nullptr;
    ui::FieldEdit* m_contor = nullptr;
    ui::FieldEdit* m_registered = nullptr;
    ui::FieldEdit* m_number = nullptr;
    ui::FieldEdit* m_date = nullptr;
    QComboBox* m_type = nullptr;
    QLabel* m_clientLabel = nullptr;
    ui::FieldEdit* m_client = nullptr;        // "BT": the warehouse code
    QLabel* m_clientName = nullptr;           // its name
    QComboBox* m_receiving = nullptr;         // "BMC" with CGetPret: by name
    ui::FieldEdit* m_explanation = nullptr;
    QComboBox* m_beneficiary = nullptr;
    QPushButton* m_print = nullptr;
    QPushButton* m_transfer = nullptr;
    QMenu* m_linePopup = nullptr;
    QWidget* m_menuRow = nullptr;
    SearchingIndicator m_searchingIndicator;
    QStringList m_beneficiaryCodes;
    QStringList m_warehouseCodes;
    bool m_layoutRestored = false;
};

} // namespace stock
