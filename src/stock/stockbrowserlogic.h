#pragma once
// TStockFormLogic: the rules of the current stock window "Stocuri curente"
// and of the stock picker "Selectie articol din stoc" (TStockForm).
//
// The window lists the Stoc.DB rows of one warehouse whose article is in the
// catalog, either one row per stock key (the detailed list) or summed per
// article (the cumulated list), in one of four orders remembered in the
// settings ("SortBy"). Both lists are read-only query datasets; the grid
// shows them as they are, and the sale value is worked out only for the rows
// the grid paints (saleValue).
//
// The picker may add stock rows of quantity 0 ("&Editeaza"): they are kept
// in a working table of the private directory while they are being typed
// and written to Stoc.DB together, in one unit of work, when the editing
// ends. Shelf labels are written to Etichete.DB in the private directory and
// printed by a hook.
//
// Headless: the window implements StockFormView; tests drive the logic with
// a scripted Dialogs and a real database.

#include "catalogs/articlemarks.h"
#include "common/dialogs.h"
#include "common/formats.h"
#include "common/parameters.h"
#include "datastore/dataset.h"
#include "ui/datagrid.h"

#include <QSettings>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

namespace stock {

// "&Prezinta:" — one row per stock key, or one row per article.
enum class StockList { Detailed = 0, Cumulated = 1 };
// "Sorteaza &dupa:" — the index is what "SortBy" holds.
enum class StockOrder { Group = 0, Article = 1, Name = 2, Price = 3 };

const QStringList& stockListCaptions();  // "Stocuri defalcate pe preturi", "Stocuri cumulate pe cod articol"
const QStringList& stockOrderCaptions(); // "Grupa", "Articol", "Denumire", "Pret"

// The statements of the two lists, in the given order; the warehouse is the
// bound value :Cod. The column searched by the incremental search comes
// first in each order, folded as common::foldForSearch folds it.
QString detailedStockStatement(StockOrder order);
QString cumulatedStockStatement(StockOrder order);

// The warehouse given to the last picker call, kept by the application for
// the whole run and preselected by the next opening of either role.
struct StockPickMemory {
    QString lastWarehouse;
};

struct StockWarehouse {
    QString code;
    QString name;
};

// A row of the current stock, as the picker returns it.
struct StockRow {
    QString warehouse;
    QString group;
    QString article;
    double price = 0;
    double quantity = 0;
    QString lot;
    QString budget;
};

// What the logic asks of its window; the defaults do nothing.
class StockFormView {
public:
    virtual ~StockFormView() = default;
    // PickArticles on the given group and article; nullopt when cancelled.
    virtual std::optional<catalogs::ArticlePick> pickArticles(const QString& group, const QString& article)
    {
        Q_UNUSED(group);
        Q_UNUSED(article);
        return std::nullopt;
    }
    // The cursor to a column of the new stock rows.
    virtual void focusNewRowColumn(const QString& field) { Q_UNUSED(field); }
    // The cursor back to the list.
    virtual void focusList() {}
};

class TStockFormLogic {
public:
    // `privateDb`: the private directory's connection, where Etichete.DB and
    // the new rows being typed are kept.
    TStockFormLogic(datastore::Database& db, datastore::Database& privateDb, const common::Parameters& parameters,
                    const common::Formats& formats, common::Dialogs& dialogs, QSettings& settings,
                    StockFormView& view);
    ~TStockFormLogic();
    TStockFormLogic(const TStockFormLogic&) = delete;
    TStockFormLogic& operator=(const TStockFormLogic&) = delete;

    // --- life -------------------------------------------------------------------
    // Reads the warehouses and the order ("SortBy"), and opens `list` for
    // `warehouse` (the first warehouse when it is empty or unknown). False,
    // after the error box, when the tables cannot be read.
    bool open(const QString& warehouse, StockList list = StockList::Detailed);
    // The window closes: new rows being typed are written first (false, the
    // window stays, when they are refused); the order goes to "SortBy".
    bool close();
    // The refresh tick: the warehouses and the list are read again, on the
    // same row (the first warehouse when its own is gone), unless new rows
    // are being typed.
    void refreshTick();

    // --- warehouse, list and order (fixed while new rows are typed) ---------------
    const QList<StockWarehouse>& warehouses() const { return m_warehouses; }
    QString warehouse() const { return m_warehouse; }
    int warehouseIndex() const; // -1 when there is none
    // "&Selecteaza gestiunea:": the list is read for that warehouse.
    void setWarehouse(const QString& code);
    StockList list() const { return m_list; }
    // "&Prezinta:": both lists close, the other opens; the last price found is forgotten.
    void setList(StockList list);
    StockOrder order() const { return m_order; }
    // "Sorteaza &dupa:": the open list is read again in that order, on the same row.
    void setOrder(StockOrder order);

    // The grid columns of the lists and of the new rows, as the parameters
    // want them ("Lot" and "Buget" only with CLot; the sale price as a
    // markup with SellPrice "Calc").
    QList<ui::GridColumn> detailedColumns() const;
    QList<ui::GridColumn> cumulatedColumns() const;
    QList<ui::GridColumn> newRowColumns() const;
    static constexpr const char* kSaleValueField = "Valoare_vinzare";

    datastore::Dataset& detailed() { return *m_detailed; }
    datastore::Dataset& cumulated() { return *m_cumulated; }
    datastore::Dataset& shown() { return m_list == StockList::Detailed ? *m_detailed : *m_cumulated; }
    const datastore::Dataset& shown() const { return m_list == StockList::Detailed ? *m_detailed : *m_cumulated; }

    // --- picker -----------------------------------------------------------------
    // Positions the detailed list on the first row of `group` and `article`
    // (and of that acquisition price unless it is -1); the first row when
    // none matches. Nothing happens for an empty article. True when found.
    bool locate(const QString& group, const QString& article, double price);
    // The current row of the detailed list; nullopt when it is empty.
    std::optional<StockRow> currentRow() const;

    // --- searches ---------------------------------------------------------------
    // "&Cauta denumire:" — the first row whose column of the current order is
    // not less than `text` (upper and lower case alike; for "Pret" the text
    // read as a number, 0 when empty) becomes current, by halving the range of
    // rows; past the end the last row. A price that is not a number moves
    // nothing. True when the cursor was placed.
    bool searchAsYouType(const QString& text);
    // The field the incremental search compares in the shown list.
    QString searchField() const;
    // "Cauta pret..." (detailed list): asks the acquisition price and looks for
    // it from the first row.
    void findPrice();
    // "Repeta": the next row after the last one found at that price. A price
    // not found beeps and leaves the cursor where it was.
    void findPriceAgain();
    double lastPriceSought() const { return m_lastPrice; }

    // --- values -----------------------------------------------------------------
    // "Valoare vînzare" of a row of the shown list: with SellPrice "Fetch" the
    // quantity times the catalog's sale price; with "Calc" the quantity times
    // the acquisition price raised by the catalog's markup percentage (a
    // whole number, halves to even, with "Round TVA"), 0 in the cumulated list.
    QVariant saleValue(int row) const;

    // --- labels -----------------------------------------------------------------
    // "Listeaza etichete": Etichete.DB gets the current row, the number of
    // labels is asked, the row is repeated up to it and the hook prints them.
    // False when there is no row, the question is cancelled or refused.
    bool listLabels();
    // Prints Etichete.DB; empty: the labels are only prepared.
    std::function<void()> printLabels;

    // --- new stock rows ("&Editeaza", picker) -------------------------------------
    bool isEditing() const { return m_editing; }
    // Down: a new row of quantity 0 in the selected warehouse starts. Up: the
    // row being typed is written (an incomplete one keeps the editing on),
    // then every new row goes to Stoc.DB in one unit of work and the list is
    // read again, on the last row added. False, after the message when there
    // is one, when the editing stays on.
    bool setEditing(bool on);
    // Ctrl-Enter in "Grupa" or "Articol" of a new row: the article picker.
    void pickInNewRow(const QString& field);
    // The new rows being typed (a working table of the private directory).
    datastore::Dataset newRows;
    static QString newRowHint(const QString& field);

    // --- texts ------------------------------------------------------------------
    static const QString kOpenError;        // followed by "\r<" + the engine's text + ">"
    static const QString kPriceCaption;     // "Cauta..."
    static const QString kPricePrompt;      // "Pret de achizitie:"
    static const QString kNotAValue;        // "<%1> nu este o valoare corecta!"
    static const QString kCopiesCaption;    // "Dialog"
    static const QString kCopiesPrompt;     // "Tastati numarul de etichete dorit"
    static const QString kBadCopies;        // "'%1' nu este un numar intreg valid"
    static const QString kTooManyCopies;
    static const QString kNotInCatalog;     // "Articolul <%1.%2> nu exista în catalog! ..."
    static const QString kAlreadyInStock;   // the row's key is in the stock already
    static const QString kAlreadyAdded;     // the row's key is among the new rows already
    static const QString kPickerHint;       // the grid's hint in the picker
    static const QString kCatalogColumnHint;
    static constexpr int kMaxLabels = 1000; // as many as the copies of one print
    static constexpr const char* kSortByKey = "SortBy";
    static constexpr const char* kDetailedLayoutFile = "stocksPret.cfg";
    static constexpr const char* kCumulatedLayoutFile = "stocksArticole.cfg";
    static constexpr const char* kLabelsTable = "Etichete.DB";
    static constexpr const char* kNewRowsTable = "StocNou.DB";

private:
    void readWarehouses();
    void reopen(); // the shown list, for the warehouse and order, on the same row when it is still there
    void openShown();
    bool moveToSearched(double price, int from);
    std::optional<double> readPrice(const QString& text) const;
    QString moneyText(double value) const;
    QString warehouseText(const QString& code) const;

    // new rows
    void NewRowsNewRecord();
    void NewRowsBeforePost();
    void ArticleValidate(const QString& field);
    void ArticleChange();
    bool fillArticle(const QString& group, const QString& code);
    bool newRowComplete() const;
    void startNewRow();
    bool writeNewRows();

    datastore::Database& m_db;
    datastore::Database& m_privateDb;
    const common::Parameters& m_parameters;
    const common::Formats& m_formats;
    common::Dialogs& m_dialogs;
    QSettings& m_settings;
    StockFormView& m_view;
    std::unique_ptr<datastore::Dataset> m_detailed;
    std::unique_ptr<datastore::Dataset> m_cumulated;
    QList<StockWarehouse> m_warehouses;
    QString m_warehouse;
    StockList m_list = StockList::Detailed;
    StockOrder m_order = StockOrder::Group;
    bool m_opened = false;
    double m_lastPrice = 0;
    int m_lastFound = -1; // row of the last price found; -1: search from the first row
    bool m_editing = false;
    bool m_filling = false; // the article of a new row is being set by the program
};

} // namespace stock
