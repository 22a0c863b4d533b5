#pragma once
// The result of the search by name ("Cautare articole"): the articles whose
// name contains the text, with marks; "OK" (or a double click) confirms,
// "&Renunta" cancels.

#include "articlesearch.h"

#include "common/formats.h"
#include "ui/datagrid.h"

#include <QDialog>
#include <memory>
#include <optional>

class QPushButton;

namespace catalogs {

class ArticleGridMarks;

class TCautareForm : public QDialog {
    Q_OBJECT
public:
    TCautareForm(std::unique_ptr<datastore::Dataset> result, const common::Formats& formats,
                 common::Dialogs& dialogs, QWidget* parent = nullptr);
    ~TCautareForm() override;

    TCautareFormLogic& logic() { return m_logic; }
    ui::DataGrid* grid() const { return m_grid; }
    QPushButton* okButton() const { return m_ok; }
    QPushButton* cancelButton() const { return m_cancel; }
    ArticlePick pickResult() const { return m_logic.pickResult(); }

private:
    TCautareFormLogic m_logic;
    std::unique_ptr<ui::DatasetModel> m_model;
    ui::DataGrid* m_grid = nullptr;
    ArticleGridMarks* m_marks = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
};

// Ctrl-G: asks for a part of the name ("Criteriu de cautare") and shows the
// articles that contain it. Returns the current article and the marked ones;
// nullopt when the question or the window was cancelled, the search failed
// (after the error box) or nothing was found to return.
std::optional<ArticlePick> SearchArticlesByName(QWidget* owner, datastore::Database& db, common::Dialogs& dialogs,
                                                const common::Formats& formats);

} // namespace catalogs
