#pragma once
// TIniStockFormLogic: the rules of the initial stock window ("Stocuri
// initiale"): per warehouse, the stock that existed before the first
// document. Its lines are input lines (Item_in.DB) of one pseudo-document,
// counter -1 (type "XXX", "Introducere stocuri initiale"), made when the
// window first opens and never listed among the input documents; so they
// count in the current stock at once and in every stock computed from the
// documents.
//
// Each change of a line is one unit of work: the line and its stock row
// (AdjustStockInitial, which never refuses: an initial quantity may be
// negative) are committed together or not at all. Deleting a line that is
// being edited gives back what the stock holds for it (its values when the
// editing began), not the values typed since.
//
// Headless: the window (TIniStockForm) implements IniStockView for the
// article picker and the cursor; tests drive the logic with a scripted view.

#include "ledger.h"
#include "lineposting.h"

#include "catalogs/articlemarks.h"
#include "common/dialogs.h"
#include "common/formats.h"
#include "common/parameters.h"
#include "datastore/dataset.h"

#include <QDate>
#include <QHash>
#include <memory>
#include <optional>

namespace stock {

class IniStockView {
public:
    virtual ~IniStockView() = default;
    virtual std::optional<catalogs::ArticlePick> pickArticles(const QString& group, const QString& article)
    {
        Q_UNUSED(group); Q_UNUSED(article);
        return std::nullopt;
    }
    virtual void focusLineColumn(const QString& field) { Q_UNUSED(field); }
    virtual void showProgress(const QString& text) { Q_UNUSED(text); }
};

class TIniStockFormLogic : private PostingWindow {
public:
    TIniStockFormLogic(datastore::Database& db, const common::Parameters& parameters, const common::Formats& formats,
                       common::Dialogs& dialogs, IniStockView& view);
    ~TIniStockFormLogic() override;

    // Opens the tables on the first warehouse (by name), making the
    // initial-stock document when there is none. False, after the access
    // error, when they cannot be opened (the window is then closed).
    bool open();
    // The window closes: a pending line and the header are written. False
    // (the window stays open) when they were refused.
    bool close();

    // The warehouses of the selector, in the order shown (by name).
    struct Warehouse {
        QString code;
        QString name;
    };
    const QList<Warehouse>& warehouses() const { return m_warehouses; }
    QString warehouse() const { return m_warehouse; }
    // Shows the lines of another warehouse (a pending line is written first);
    // false when that line was refused.
    bool selectWarehouse(const QString& code);

    // --- the lines ------------------------------------------------------------
    // Ctrl-Enter / double click in a column of the grid.
    void pickInColumn(const QString& field);
    void insertLine();
    // False when there is no line or it was refused.
    bool deleteLine();
    // One line per article, without quantity or price (a multi-row selection).
    void insertArticles(const QList<QVariantHash>& articles);
    void refreshTick();

    // The status-line hint of a column for the current line.
    QString columnHint(const QString& field) const;
    // The budget names of the pick list and the code of one (refused when too long for a line).
    QStringList budgetNames() const;
    QVariant budgetCodeOf(const QString& name) const;
    // "Pret echivalent " + the reference currency.
    QString currencyPriceTitle() const;

    datastore::Database& database() const { return m_db; }
    Ledger& ledger() { return m_ledger; }

    datastore::Dataset header; // Doc_in.DB, Contor = -1
    datastore::Dataset items;  // Item_in.DB, Contor < 0, the selected warehouse

    static constexpr double kCounter = -1;
    static const QString kIncompleteLine;
    static const QString kAccessError;
    static const QString kDocumentType;
    static const QString kDocumentExplanation;

private:
    void ItemsNewRecord();
    void ItemsBeforePost();
    void ItemsCalcFields();
    void ArticleValidate();
    void PriceChange();
    void ComputeVat();
    void rememberCursor();
    void createDocument();
    void openLines();
    void setArticle(const QString& group, const QString& code);
    struct Article {
        bool found = false;
        QString name;
        QString unit;
        double vat = 0;
        QString goodsAccount;
    };
    Article article(const QString& group, const QString& code) const;
    std::optional<double> referenceRate(const QDate& date);

    datastore::Database& m_db;
    const common::Parameters& m_parameters;
    const common::Formats& m_formats;
    common::Dialogs& m_dialogs;
    IniStockView& m_view;
    Ledger m_ledger;
    std::unique_ptr<LinePosting> m_posting;
    std::unique_ptr<datastore::Dataset> m_rates;
    QList<Warehouse> m_warehouses;
    QString m_warehouse;
    QString m_cursorGroup; // the group of the line under the cursor
    bool m_pickerFilling = false;
    bool m_insertingSelection = false;
    mutable QHash<QString, Article> m_articles;
};

} // namespace stock
