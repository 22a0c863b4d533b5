#pragma once
// TDocInForm: the input documents window "Intrari produse", a child window of
// the main window. The header box "Inregistrare" / "Document", the line grid,
// the allocation grid of daily lists ("LZ"), the navigator, the menu
// "&Document" and the line pop-up; every rule is TDocInFormLogic's.

#include "docinlogic.h"

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
class QGroupBox;
class QMenu;
class QPushButton;
class QToolButton;

namespace stock {

// What the window needs from the program.
struct DocInContext {
    datastore::Database& database;
    common::Dialogs& dialogs;
    const common::Formats& formats;
    const common::Parameters& parameters;
    prints::PrintSettingsStore& printSettings;          // each print's own
    QString privateDir;                                 // ends in '/', where tobrix.cfg is kept
    QString userInitials;                               // empty in this edition
    std::function<void(const QString&)> showProgress;   // the main window's status line
    std::function<void(double contor)> showSerials;     // the serial window of a document
    // The receipt note of a document (after the print setup); empty: the plain receipt note.
    std::function<void(double contor, const QDate& registrationDate)> printReceipt;
    std::function<void(double contor)> printDailyList;
};

class TDocInForm : public QWidget, public ui::RefreshTarget, private DocInView {
    Q_OBJECT
public:
    explicit TDocInForm(DocInContext context, QWidget* parent = nullptr);
    ~TDocInForm() override;

    // Opens the tables; false, after the error box, when the window is to be released.
    bool prepare(const QDate& today = QDate::currentDate());
    // The child window, opened; nullptr when its tables cannot be opened.
    static std::unique_ptr<TDocInForm> createChild(DocInContext context);

    TDocInFormLogic& logic() { return m_logic; }
    ui::DataGrid* lineGrid() const { return m_grid; }
    ui::DataGrid* allocationGrid() const { return m_allocGrid; }
    QString layoutFile() const;

    void refreshTick() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // DocInView
    bool pickWarehouse(QString& code) override;
    bool pickBudget(QString& code) override;
    bool pickSupplier(QString& code) override;
    std::optional<catalogs::ArticlePick> pickArticles(const QString& group, const QString& article) override;
    std::optional<catalogs::ArticlePick> searchArticlesByName() override;
    bool selectInterval(QDate& first, QDate& last) override;
    bool askSearchCriterion(SearchState& state, bool offerSerial) override;
    bool printSetup() override;
    void printReceipt(double contor, const QDate& registrationDate) override;
    void printDailyList(double contor) override;
    void focusLineColumn(const QString& field) override;
    void focusHeaderField(const QString& field) override;
    void focusAllocations() override;
    void showAllocations(bool visible) override;
    void setPrintCaption(const QString& caption) override;
    void setTitle(const QString& title) override;
    void showProgress(const QString& text) override;
    void showSearching(bool on) override;

    void buildHeader(QWidget* box);
    void buildMenus();
    QList<ui::GridColumn> lineColumns() const;
    QList<ui::GridColumn> allocationColumns() const;
    void showSupplier();
    bool guard(const std::function<void()>& action);
    bool commitEdits();

    DocInContext m_ctx;
    TDocInFormLogic m_logic;
    std::unique_ptr<ui::DatasetModel> m_model;
    std::unique_ptr<ui::DatasetModel> m_allocModel;
    ui::DataGrid* m_grid = nullptr;
    ui::DataGrid* m_allocGrid = nullptr;
    QWidget* m_allocBox = nullptr;
    ui::FieldEdit* m_contor = nullptr;
    ui::FieldEdit* m_registered = nullptr;
    ui::FieldEdit* m_number = nullptr;
    ui::FieldEdit* m_date = nullptr;
    QComboBox* m_type = nullptr;
    QComboBox* m_supplier = nullptr;
    ui::FieldEdit* m_explanation = nullptr;
    QPushButton* m_print = nullptr;
    QPushButton* m_serials = nullptr;
    QMenu* m_linePopup = nullptr;
    QWidget* m_menuRow = nullptr;
    SearchingIndicator m_searchingIndicator;
    QStringList m_supplierCodes;
    bool m_layoutRestored = false;
};

} // namespace stock
