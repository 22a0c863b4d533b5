#pragma once
// TDocInFormLogic: the rules of the input documents window ("Intrari
// produse"): supplier invoices, receipt notes and canteen daily lists. A
// document is a header (Doc_in.DB) and its lines (Item_in.DB); each line adds
// its quantity to the stock the moment it is written and gives it back when
// it is changed or deleted.
//
// One change of a line is one unit of work: the line, its stock row, the
// balance of the purchase order it receives against (Stoc_Com.DB) and its
// serial rows (Serie.DB) are committed together or not at all. Deleting a
// document is one unit of work too: every line is reversed, then the header,
// the lines, their serial and allocation rows go, and the counter is given
// back when it was the last one issued; one refused reversal leaves it all.
//
// Headless: the window (TDocInForm) implements DocInView for the pickers and
// the cursor; tests drive the logic through a scripted view and Dialogs.

#include "docsearch.h"
#include "documentwindow.h"
#include "ledger.h"
#include "lineposting.h"
#include "orderbalance.h"
#include "serials.h"

#include "catalogs/articlemarks.h"
#include "common/dialogs.h"
#include "common/formats.h"
#include "common/parameters.h"
#include "datastore/dataset.h"

#include <QDate>
#include <QHash>
#include <functional>
#include <optional>

namespace stock {

// What the logic asks of its window. Every picker returns false (or nothing)
// when cancelled; the defaults do nothing.
class DocInView : public DocumentView {
public:
    virtual bool pickWarehouse(QString& code) { Q_UNUSED(code); return false; }
    virtual bool pickBudget(QString& code) { Q_UNUSED(code); return false; }
    virtual bool pickSupplier(QString& code) { Q_UNUSED(code); return false; }
    virtual std::optional<catalogs::ArticlePick> pickArticles(const QString& group, const QString& article)
    {
        Q_UNUSED(group); Q_UNUSED(article);
        return std::nullopt;
    }
    virtual std::optional<catalogs::ArticlePick> searchArticlesByName() { return std::nullopt; }
    // The print setup; false when cancelled.
    virtual bool printSetup() { return false; }
    virtual void printReceipt(double contor, const QDate& registrationDate)
    {
        Q_UNUSED(contor); Q_UNUSED(registrationDate);
    }
    virtual void printDailyList(double contor) { Q_UNUSED(contor); }
    // The allocation grid.
    virtual void focusAllocations() {}
    // The parts of the window that follow the document's type and the period.
    virtual void showAllocations(bool visible) { Q_UNUSED(visible); }
    virtual void setPrintCaption(const QString& caption) { Q_UNUSED(caption); }
};

class TDocInFormLogic : public DocumentWindowLogic, private PostingWindow {
public:
    TDocInFormLogic(datastore::Database& db, const common::Parameters& parameters, const common::Formats& formats,
                    common::Dialogs& dialogs, DocInView& view, QString userInitials = {});
    ~TDocInFormLogic() override;

    // Opens the tables on the last document (an empty list starts a new one).
    // False, after the access error, when they cannot be opened.
    bool open(const QDate& today = QDate::currentDate());

    // --- the document ---------------------------------------------------------
    void showTotals();       // "&Total"
    void print();            // "&Receptie" / "L &Zilnica"
    void refreshTick() override;
    QString title() const override;
    void pickSupplier();     // the "..." beside the supplier

    // --- the lines --------------------------------------------------------------
    // Ctrl-Enter / double click in a column of the line grid.
    void pickInColumn(const QString& field);
    // Ctrl-G.
    void selectArticleByName();
    // The budget of the current line by its code (picker, grid): a code the
    // line cannot hold is refused with a message.
    void setLineBudget(const QString& code);
    // Inserts one line per article, without quantity or price (the multi-row
    // selection of a picker).
    void insertArticles(const QList<QVariantHash>& articles);

    // --- state ------------------------------------------------------------------
    QString printCaption() const;
    bool allocationsVisible() const;
    // The window's own look-ups for the grid's pick lists.
    QStringList budgetNames() const;
    QStringList supplierNames() const;
    QStringList currencies() const;
    QVariant budgetCodeOf(const QString& name) const;
    QVariant supplierCodeOf(const QString& name) const;
    QStringList allocationTypeNames() const;
    QVariant allocationTypeOf(const QString& name) const;

    // The status-line hint of a line column and of a header field.
    static QString columnHint(const QString& field);
    static QString headerHint(const QString& field);

    datastore::Database& database() const { return m_db; }
    const common::Parameters& parameters() const { return m_parameters; }
    const common::Formats& formats() const { return m_formats; }
    common::Dialogs& dialogs() const { return m_dialogs; }
    Ledger& ledger() { return m_ledger; }

    datastore::Dataset docs;        // Doc_in.DB, Contor >= 1
    datastore::Dataset items;       // Item_in.DB, the lines of the current document
    datastore::Dataset allocations; // Alocatie.DB, the allocation rows of the current line

    // Messages.
    static const QString kMissingType;
    static const QString kMissingDates;
    static const QString kDateAfterRegistration;
    static const QString kIncompleteLine;
    static const QString kIncompleteAllocation;
    static const QString kNotInCatalog;
    static const QString kBarCodeUnknown;
    static const QString kValueBeforeQuantity;
    static const QString kBadAccount;
    static const QString kBudgetTooLong;

private:
    struct LineState {        // the line as it was when its editing began
        OrderLineRef order;
        SerialLine serials;
    };

    // header
    void DocsNewRecord();
    void DocsBeforePost();
    void DocsAfterPost();
    void DocsAfterScroll();
    void DocsWhileDeleting();
    void TipChange();
    // lines
    void ItemsNewRecord();
    void ItemsBeforePost();
    void ItemsBeforeWrite();
    void ItemsWhilePosting();
    void ItemsAfterPost();
    void ItemsPostError();
    void ItemsWhileDeleting();
    void ItemsCalcFields();
    void ArticleValidate();
    void BarCodeChange();
    void NetPriceChange();
    void ValueChange();
    void ComputeVat();
    // Whether a line's acquisition price holds its VAT: it was made from the
    // price without VAT typed beside it.
    bool priceIncludesVat(const QVariant& netPrice) const;
    void AccountValidate(const QString& field);
    void AutomaticLot();
    // allocations
    void AllocationsBeforePost();

    void takeLineState();
    LineState currentLineState() const;
    void showPendingMessages();
    void updateTypeDependent();
    QString documentType() const;
    bool lineComplete() const;
    struct Article {
        bool found = false;
        QString name;
        QString unit;
        double vat = 0;
        QVariant sellPrice; // null when the catalog has none
        QString currency;
        QString goodsAccount;
        QString vatAccount;
    };
    Article article(const QString& group, const QString& code) const;
    void setArticle(const QString& group, const QString& code);
    void focusAfterArticle(bool byNameSearch);
    void applyPick(const catalogs::ArticlePick& pick, bool byNameSearch);

    void focusQuantityColumn() override;
    bool offerSerialSearch() const override { return m_parameters.CSerii; }

    datastore::Database& m_db;
    const common::Parameters& m_parameters;
    const common::Formats& m_formats;
    DocInView& m_view;
    QString m_userInitials;
    Ledger m_ledger;
    OrderBalance m_orders;
    std::unique_ptr<LinePosting> m_posting;

    QString m_defaultWarehouse;
    bool m_insertingSelection = false;
    bool m_pickerFilling = false;
    LineState m_lineBefore;
    mutable QHash<QString, Article> m_articles;  // catalog rows by group and code
    mutable QHash<double, QString> m_orderTexts; // "number/date" of orders by counter
};

// The hook of the add-on layer, called when the window is created, with the
// window and its header and line tables. Empty in this edition.
void AttachDocInMenus(QObject* window, datastore::Dataset& header, datastore::Dataset& lines);

} // namespace stock
