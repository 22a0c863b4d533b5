#pragma once
// The report selection state and the selection strings.
//
// The main window keeps the last choices of the selection dialogs for the
// whole run and hands them to every report, which starts from them and
// stores back what the user chose. Multi-selections are kept as quoted lists
// ("01","05": each value between double quotes, a double quote inside a
// value doubled, values joined by one comma, no blanks); an empty list means
// no restriction. A list is never pasted into a statement: SelectionTables
// writes it into a small table of the private directory, and the statement
// joins that table (values bound, never spliced).

#include "datastore/database.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

namespace reports {

// Each value between double quotes (a quote inside doubled), joined by commas.
QString quotedList(const QStringList& values);
// The values of a quoted list, in order; a bare value (no quotes) is taken as
// it is written; empty for an empty text.
QStringList parseQuotedList(const QString& list);

// One selected article: its group and code (and its name, for the captions).
struct ArticleKey {
    QString group;
    QString code;
    QString name;
    bool operator==(const ArticleKey&) const = default;
};

// The articles chosen in SelectArticles: three parallel quoted lists, one
// entry per selected article (a group code occurs once per article).
struct ArticleSelection {
    QString groups;
    QString codes;
    QString names;
    bool isEmpty() const { return groups.isEmpty() && codes.isEmpty() && names.isEmpty(); }
    // The selected (group, code) pairs, in selection order.
    QList<ArticleKey> keys() const;
    static ArticleSelection fromKeys(const QList<ArticleKey>& keys);
};

struct ReportSelection {
    QString warehouses;     // quoted list of Gest.db Cod; empty: all warehouses
    QString budget;         // one Client.db Cod_client, bare; empty: all budgets
    ArticleSelection articles;
    QDate from;             // interval start
    QDate to;               // interval end
    QDate stockDate;        // "la data"

    // The values at start-up: from = today - 30 days, to = stockDate = today.
    static ReportSelection initial(const QDate& today = QDate::currentDate());
};

// The selections as tables of the private directory, joined by the report
// statements. Each table is written afresh when a report asks for it.
//   SELGEST (Cod text 4)                    the selected warehouses
//   SELART  (Grupa text 8, Cod text 30)     the selected (group, code) pairs
class SelectionTables {
public:
    // `privateDb`: the connection of the private directory.
    explicit SelectionTables(datastore::Database& privateDb) : m_db(privateDb) {}

    // Writes SELGEST from the list; false (and nothing written) when the list
    // is empty, i.e. no restriction.
    bool writeWarehouses(const QString& list);
    // Writes SELART from the selected pairs; false when there are none.
    bool writeArticles(const ArticleSelection& articles);
    // Writes the values of a quoted list (document types, suppliers) into
    // `table` (field Cod, text `size`); false when the list is empty. An
    // empty value is kept (stored empty): see inSelection().
    bool writeValues(const QString& table, const QString& list, int size = 30);

    // The condition "column is one of the values of `table`" (a table
    // written by writeValues or writeWarehouses), an empty column matching
    // an empty value: (column IN (SELECT Cod FROM table) OR (column IS NULL
    // AND EXISTS (SELECT 1 FROM table WHERE Cod IS NULL))).
    static QString inSelection(const QString& column, const QString& table);

private:
    datastore::Database& m_db;
};

inline constexpr const char* kWarehouseTable = "SELGEST";
inline constexpr const char* kArticleTable = "SELART";

} // namespace reports
