#pragma once
// What every document window's logic shares: a list of document headers with
// the datasets of their lines, the counter of a document being started, the
// registration-date period the list shows, and the search by one criterion.
//
//   "&Insereaza"       -> the pending document is saved (after the question),
//                         a counter is taken and a new header begins;
//   a new document cancelled or let go
//                      -> its counter goes back when it was the last one;
//   "&Perioada" / "&Integral", a search
//                      -> the current document is written first (a new one
//                         without lines is let go), then the list is read again.
//
// Headless: a window implements DocumentView; the input and output document
// windows derive their logic from DocumentWindowLogic.

#include "docsearch.h"
#include "numbering.h"

#include "common/dialogs.h"
#include "common/formats.h"
#include "datastore/dataset.h"

#include <QDate>
#include <QList>
#include <optional>

namespace stock {

// The part of a document window its logic talks to, whatever the documents.
class DocumentView {
public:
    virtual ~DocumentView() = default;
    virtual bool selectInterval(QDate& first, QDate& last) { Q_UNUSED(first); Q_UNUSED(last); return false; }
    virtual bool askSearchCriterion(SearchState& state, bool offerSerial)
    {
        Q_UNUSED(state); Q_UNUSED(offerSerial);
        return false;
    }
    // The small "Caut..." window while a search runs.
    virtual void showSearching(bool on) { Q_UNUSED(on); }
    virtual void focusLineColumn(const QString& field) { Q_UNUSED(field); }
    virtual void focusHeaderField(const QString& field) { Q_UNUSED(field); }
    virtual void setTitle(const QString& title) { Q_UNUSED(title); }
    virtual void showProgress(const QString& text) { Q_UNUSED(text); }
};

class DocumentWindowLogic {
public:
    virtual ~DocumentWindowLogic();

    // The window closes: a pending line and header are written; a document
    // without lines is let go (among others, after the question). False (the
    // window stays open) when something was refused.
    bool close();

    void newDocument();    // "&Insereaza"
    bool saveDocument();   // navigator "Salveaza document"; false when refused
    void cancelDocument(); // navigator "Anuleaza modificarile"
    void deleteDocument(); // "Sterge document", after the question
    void selectPeriod();   // "&Afiseaza" / "&Perioada"
    void showAll();        // "&Afiseaza" / "&Integral"
    void searchFirst();    // "&Prima aparitie..."
    void searchNext();     // "&Urmatoarea"
    // Shows the document `contor` (one another command has just written):
    // the current one is written or let go first, the list is read again,
    // and the whole list is shown when the period leaves it out. False when
    // it is not found.
    bool showDocument(double contor);
    // Reads again what other workstations wrote, where nothing is being edited.
    virtual void refreshTick();

    void insertLine(); // the line pop-up's "Insereaza"
    bool deleteLine(); // the line pop-up's "Sterge": false when refused

    // The warehouses for a pick list, by name, and the code of a name.
    QStringList warehouseNames() const;
    QVariant warehouseCodeOf(const QString& name) const;

    bool periodActive() const { return m_periodActive; }
    QDate periodFirst() const { return m_first; }
    QDate periodLast() const { return m_last; }
    const SearchState& search() const { return m_search; }
    virtual QString title() const = 0;

    // Messages.
    static const QString kSaveCurrent;
    static const QString kDeleteCurrent;
    static const QString kNoLines;
    static const QString kAccessError;

protected:
    struct Kind {
        CounterField counter;  // where the counters of these documents are taken
        DocumentSide side;     // the tables the search reads
        QString linePriceField; // the line's acquisition price, for the price search
    };
    // `lines` is the detail of `docs` that holds the document's lines; `more`
    // are details of the lines (written before them, read after them).
    DocumentWindowLogic(datastore::Database& db, common::Dialogs& dialogs, DocumentView& view, Kind kind,
                        datastore::Dataset& docs, datastore::Dataset& lines, QList<datastore::Dataset*> more = {});

    // The period shown at opening: the first of the month to 30 days later.
    void setDefaultPeriod(const QDate& today);
    bool confirmSaveCurrent();
    bool leaveCurrentDocument(); // written, or let go when new and without lines
    void dropNewDocument();      // a new document let go: its counter given back
    // The serial number criterion, offered by the input documents only.
    virtual bool offerSerialSearch() const { return false; }

    datastore::Database& m_base;
    common::Dialogs& m_dialogs;
    DocumentView& m_documentView;
    QDate m_defaultRegistration;
    bool m_periodActive = false;
    bool m_shownAll = false; // "&Integral" was chosen
    QDate m_first;
    QDate m_last;
    SearchState m_search;
    std::optional<double> m_newCounter; // counter taken for the document being inserted

private:
    void applyFilter();
    void switchList(bool period, const QDate& first = {}, const QDate& last = {});
    QList<datastore::Dataset*> details() const; // the lines first

    Kind m_kind;
    datastore::Dataset& m_docs;
    datastore::Dataset& m_lines;
    QList<datastore::Dataset*> m_more;
};

// Values of the first column of a statement, for a window's pick lists.
QStringList columnValues(datastore::Database& db, const QString& sql);
// The code a name stands for (`sql` has the parameter :n); null for an empty
// name; DatasetError when no row has that name.
QVariant codeOfName(datastore::Database& db, const QString& sql, const QString& name);

} // namespace stock
