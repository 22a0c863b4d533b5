#pragma once
// Searching articles by a part of their name (Ctrl-G in input documents):
// the criterion asked in an input box, the query over the whole catalog, and
// the marks of the result list. TCautareForm shows the result.

#include "articlemarks.h"

#include "common/dialogs.h"
#include "datastore/dataset.h"

#include <memory>
#include <optional>

namespace catalogs {

// The text to look for; nullopt when the input box was cancelled.
std::optional<QString> askArticleSearchText(common::Dialogs& dialogs);

// Opens a query's rows; false after the error box "Eroare de acces la baza
// de date!" with the engine's message when the query fails.
bool openQueryOrReport(datastore::Dataset& rows, common::Dialogs& dialogs);

// The articles whose name contains `text` (any letter case), with their
// group, code, unit, price, currency, accounts and rates. Returns nullptr
// after the error box when the query fails.
std::unique_ptr<datastore::Dataset> openArticleSearch(datastore::Database& db, common::Dialogs& dialogs,
                                                      const QString& text);

class TCautareFormLogic {
public:
    explicit TCautareFormLogic(std::unique_ptr<datastore::Dataset> result);

    datastore::Dataset& result() { return *m_result; }
    const datastore::Dataset& result() const { return *m_result; }
    ArticleMarks& marks() { return m_marks; }

    void markAndMoveNext();   // Space
    void markAndMovePrior();  // Shift+Up
    void toggleCurrentMark(); // Ctrl+click
    bool isMarked(int row) const;
    // The current row and the marked ones.
    ArticlePick pickResult() const;

private:
    std::unique_ptr<datastore::Dataset> m_result;
    ArticleMarks m_marks;
};

} // namespace catalogs
