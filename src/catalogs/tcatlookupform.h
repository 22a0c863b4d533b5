#pragma once
// The article catalog window and the article picker.
//
// As the catalog window ("Catalog articole", main menu "Produse") it is a
// child of the main window: the articles are edited directly in the list.
// As the picker (PickArticles) it is a modal dialog that starts browsing, with
// marks in the article list, and the buttons "OK", "&Renunta", "&Editeaza".
//
// Layout: the class list, the group list of the current class and the
// article list of the current group, one above the other; to the right the
// order combo "Or&dine de afisare:", the search box "&Cauta:" and the buttons.

#include "articlecataloglogic.h"

#include "ui/datagrid.h"
#include "ui/refreshtarget.h"

#include <QWidget>
#include <memory>
#include <optional>

class QAction;
class QComboBox;
class QLineEdit;
class QMenu;
class QPushButton;

namespace catalogs {

class ArticleGridMarks;

class TCatLookupForm : public QWidget, public ui::RefreshTarget {
    Q_OBJECT
public:
    TCatLookupForm(const ArticleCatalogContext& context, ArticleCatalogRole role, QWidget* parent = nullptr);
    ~TCatLookupForm() override;

    // Opens the tables, positioned on `group` and `article` when given, and
    // reads the list layouts of catlook.cfg. Returns false after the error
    // box when the tables cannot be opened: the window is to be released.
    bool prepare(const QString& group = {}, const QString& article = {});

    // The main window's refresh timer: idle lists read their tables again.
    void refreshTick() override;
    // The close request: pending changes are posted (false, after the
    // message, when refused: the window stays) and the list layouts written
    // to catlook.cfg. The catalog window runs it from its close event.
    bool closeQuery();

    // The current article and the marked ones (picker).
    ArticlePick pickResult() const { return m_logic.pickResult(); }

    // The window's own menu "&Document" with "Indexeaza &preturile"; neither
    // is visible in this edition.
    QMenu* documentMenu() const { return m_documentMenu; }
    QAction* indexPricesAction() const { return m_indexPrices; }
    void indexPrices(); // the command "Indexeaza &preturile"

    TCatLookupFormLogic& logic() { return m_logic; }
    ui::DataGrid* classGrid() const { return m_classGrid; }
    ui::DataGrid* groupGrid() const { return m_groupGrid; }
    ui::DataGrid* articleGrid() const { return m_articleGrid; }
    QComboBox* orderCombo() const { return m_order; }
    QLineEdit* searchEdit() const { return m_search; }
    QPushButton* okButton() const { return m_ok; }
    QPushButton* cancelButton() const { return m_cancel; }
    QPushButton* editButton() const { return m_edit; }
    QPushButton* groupsButton() const { return m_groups; }
    // "Clase si &grupe...": the class and group editor, modal, on the current
    // group; the lists read their tables again afterwards.
    void editGroups();
    // The classes or groups were changed elsewhere: the lists read them again.
    void reloadGroups();

signals:
    void okClicked();     // "OK" or a double click on an article (picker)
    void cancelClicked(); // "&Renunta"

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void applyEditingState();
    void editToggled(bool down);
    void applyParameterColumns(); // visibility that the parameters decide
    bool commitEditors(); // false when a cell's value was refused

    TCatLookupFormLogic m_logic;
    std::unique_ptr<ui::DatasetModel> m_classModel;
    std::unique_ptr<ui::DatasetModel> m_groupModel;
    std::unique_ptr<ui::DatasetModel> m_articleModel;
    ui::DataGrid* m_classGrid = nullptr;
    ui::DataGrid* m_groupGrid = nullptr;
    ui::DataGrid* m_articleGrid = nullptr;
    ArticleGridMarks* m_marks = nullptr;
    QComboBox* m_order = nullptr;
    QLineEdit* m_search = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
    QPushButton* m_edit = nullptr;
    QPushButton* m_groups = nullptr;
    QMenu* m_documentMenu = nullptr;
    QAction* m_indexPrices = nullptr;
    bool m_closed = false;
};

// The article picker: a modal dialog on the catalog, positioned on `group`
// and `article`, order "dupa Denumire". Returns the current article and the
// marked ones, or nullopt when it was closed with "&Renunta" (or its tables
// could not be opened, or there was no article to return).
std::optional<ArticlePick> PickArticles(QWidget* owner, const ArticleCatalogContext& context, const QString& group,
                                        const QString& article);

} // namespace catalogs
