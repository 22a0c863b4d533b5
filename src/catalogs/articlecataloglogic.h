#pragma once
// The article catalog ("Catalog articole") and the article picker: material
// classes, the groups of the current class and the articles of the current
// group (Materiale.db -> Grup.db -> Catalog.DB), the order and the
// search-as-you-type of the article list, the marks of the picker, the checks
// of an article, code generation and the price indexing of a group.
// Headless: TCatLookupForm binds it to the controls.

#include "articlecode.h"
#include "articlemarks.h"

#include "common/dialogs.h"
#include "common/formats.h"
#include "common/parameters.h"
#include "datastore/dataset.h"
#include "ui/datagrid.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace catalogs {

// What the catalog window and the article pickers need from the application.
struct ArticleCatalogContext {
    datastore::Database& db;                          // the database directory ("TSTOCK")
    common::Dialogs& dialogs;
    const common::Parameters& params;
    const common::Formats& formats;
    QString privateDir;                               // the private directory, where catlook.cfg is kept
    std::function<void(const QString&)> showProgress; // the main window's status line; may be empty
};

// The catalog window proper (non-modal, editable) or the modal picker.
enum class ArticleCatalogRole { Catalog, Picker };

// The order of the article list: "dupa Cod", "dupa Denumire", "dupa Descriere".
enum class ArticleOrder { ByCode, ByName, ByDescription };
const QStringList& articleOrderCaptions();
QString articleOrderField(ArticleOrder order); // "Cod", "Denumire", "Descriere"

inline constexpr const char* kArticleLayoutFile = "catlook.cfg";
// Shown when the catalog opens without any article group.
inline constexpr const char* kNoGroupsMessage =
    "Adaugati articole în catalog!\r"
    "Articolele se adauga într-o grupa. Clasele si grupele de articole se definesc cu butonul "
    "\"Clase si grupe...\" din aceasta fereastra sau din meniul Sistem / \"Clase si grupe de articole\".";
inline constexpr const char* kArticlesHint =
    "Apasati bara de spatiu sau dublu-clic pe mouse pentru a selecta sau deselecta un articol!";
inline constexpr const char* kGroupsHint =
    "Apasati bara de spatiu sau dublu-clic pe mouse pentru a selecta sau deselecta întregul grup de articole!";

// The accounting-account fields of an article, each checked by CheckAccountSymbol.
const QStringList& articleAccountFields();

class TCatLookupFormLogic {
public:
    TCatLookupFormLogic(const ArticleCatalogContext& context, ArticleCatalogRole role);
    TCatLookupFormLogic(const TCatLookupFormLogic&) = delete;
    TCatLookupFormLogic& operator=(const TCatLookupFormLogic&) = delete;

    datastore::Dataset classes;    // Materiale.db
    datastore::Dataset groups;     // Grup.db, detail of the current class
    datastore::Dataset articles;   // Catalog.DB, detail of the current group
    datastore::Dataset currencies; // Valuta.db, looked up only

    // Asks the product type when codes are generated with recipes on; the
    // window shows TTipProdDlgFrm. Without one the first type is taken.
    ProductTypeQuestion askProductType;

    // --- window creation -----------------------------------------------
    // Opens the tables in the order "dupa Denumire", positioned on `group`
    // (its class first) and on `article` of it when given. Returns false
    // after the error box "Eroare de acces la catalogul de articole!" when a
    // table cannot be opened. An empty group list switches to editing and
    // shows kNoGroupsMessage ("Adaugati articole în catalog!" and where groups are made).
    bool FormCreate(const QString& group = {}, const QString& article = {});
    // The columns of the lists, with titles and masks; the article columns
    // hidden and relabelled by the parameters (CGetPret, CCaloric, CRetetar, SellPrice).
    QList<ui::GridColumn> classColumns() const;
    QList<ui::GridColumn> groupColumns() const;
    QList<ui::GridColumn> articleColumns() const;
    // The column a new article starts in: "Denumire" with generated codes, else "Cod".
    QString newArticleField() const;
    QString layoutFile() const; // <private dir>/catlook.cfg

    ArticleCatalogRole role() const { return m_role; }
    const ArticleCatalogContext& context() const { return m_ctx; }

    // --- editing ("&Editeaza") -------------------------------------------
    // The catalog window is always editing; the picker starts browsing.
    bool isEditing() const { return m_editing; }
    // Turning editing off posts the pending changes of the article and group
    // tables first; false (after the message, still editing) when refused.
    bool setEditing(bool on);
    // Marks can be made: the picker while it is not editing.
    bool multiSelect() const { return m_role == ArticleCatalogRole::Picker && !m_editing; }

    // --- order and search --------------------------------------------------
    ArticleOrder order() const { return m_order; }
    void setOrder(ArticleOrder order); // keeps the current article
    // The search box changed: the first article of the current group whose
    // field of the current order starts with `text` in any letter case
    // becomes current. An empty text or no match leaves the cursor.
    bool searchAsYouType(const QString& text);

    // --- marks (picker) ------------------------------------------------------
    ArticleMarks& marks() { return m_marks; }
    const ArticleMarks& marks() const { return m_marks; }
    void markAndMoveNext();     // Space (or Shift+Down) in the article list
    void markAndMovePrior();    // Shift+Up in the article list
    void toggleCurrentMark();   // Ctrl+click in the article list
    // Space or double click in the group list: inverts the mark of every
    // article of the current group, first to last; the article list then
    // returns to its first row.
    void toggleGroupMarks();
    bool isMarked(int row) const; // a row of the article list
    // The current article and the marked ones.
    ArticlePick pickResult() const;

    // --- status-line hints ---------------------------------------------------
    void enterArticles(); // the article list got the focus
    void enterGroups();   // the group list got the focus

    // --- life ------------------------------------------------------------------
    // The refresh tick: the group, article and currency lists that are open
    // and not being edited read their tables again.
    void RefreshTick();
    // The classes and groups were changed (the class and group editor): the
    // class and group lists read their tables again, a pending article is
    // written first. False, after the message, when it is refused.
    bool ReloadGroups();
    // Closing: pending changes of the group and article tables are posted;
    // false (after the message, the window stays) when refused.
    bool FormCloseQuery();
    void FormClose(); // closes the tables

    // --- price indexing ("Indexeaza &preturile") --------------------------------
    // askCoefficient shows TAskCoefDlg with the prompt and returns the
    // percentage typed, nullopt for "&Renunta"; working(true/false) shows and
    // hides "Indexez preturile...". Returns true when the prices were updated.
    bool IndexGroupPrices(const std::function<std::optional<double>(const QString& prompt)>& askCoefficient,
                          const std::function<void(bool)>& working = {});
    // The multiplier of a percentage (10 -> 1.1); nullopt below -100.
    static std::optional<double> indexMultiplier(double percent);

    // --- handlers ----------------------------------------------------------------
    void CatalogNewRecord();
    void CatalogBeforePost();
    void CatalogBeforeDelete();
    void DenumireValidate();
    void MonedaValidate();
    void AccountValidate(const QString& field);

private:
    void applyOrder();
    ArticleCatalogContext m_ctx;
    ArticleCatalogRole m_role;
    bool m_editing = false;
    ArticleOrder m_order = ArticleOrder::ByName;
    ArticleMarks m_marks;
};

} // namespace catalogs
