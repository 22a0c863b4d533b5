#pragma once
// The rules of the list selection dialogs, without widgets:
//   SelectWarehouses    TSelGestDlg  "Toate gestiunile"         multi   quoted list of Cod
//   SelectBudget        TSelClnDlg   "Toate bugetele"           single  the bare Cod of the current row
//   SelectArticles      TSelArtDlg   "Toate articolele din Catalog" multi  (group, code, name) pairs
//   SelectDocumentTypes TSelTipDocForm "Toate tipurile de document" multi quoted list; "all" lists every type
//   SelectBeneficiaries TSelAgentDlg "Toti beneficiarii"         multi   the initials, in selection order
//   SelectSuppliers     TSelFurnDlg  "Toti furnizorii"           multi   quoted list of Cod
// The list is read when the "all" box is cleared (values bound, never spliced).
// The beneficiaries are confirmed with "OK" / "Renunta", the others with
// "&Deschide" / "&Inchide".

#include "selection.h"

#include "datastore/database.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantList>

namespace reports {

class SelectionListLogic {
public:
    enum class Kind { Warehouses, Budget, Articles, DocumentTypesIn, DocumentTypesOut, Beneficiaries, Suppliers };
    SelectionListLogic(datastore::Database& db, Kind kind);

    Kind kind() const { return m_kind; }
    QString caption() const;
    QString allCaption() const;
    QString hint() const;
    QStringList headings() const;
    QString confirmCaption() const;
    QString cancelCaption() const;
    bool multiSelect() const { return m_kind != Kind::Budget; }

    bool allChecked() const { return m_all; }
    void setAllChecked(bool all); // clearing it reads the list
    const QList<QVariantList>& rows() const { return m_rows; }
    // Articles: "dupa Cod" (true) or "dupa Denumire"; re-reads the list.
    void setOrderByCode(bool byCode);
    bool orderByCode() const { return m_byCode; }
    // The first row whose code (by code) or article name begins with `text`, case ignored; -1 when none.
    int searchRow(const QString& text) const;

    // The rows chosen, in the order they were chosen.
    void setSelectedRows(const QList<int>& rows) { m_selected = rows; }
    // The row the cursor is on: the first one after the list is read, -1
    // when the list is empty. The budget is the current row's.
    void setCurrentRow(int row) { m_current = row; }
    int currentRow() const { return m_current; }

    // Results (after confirmation).
    QString listResult() const;              // warehouses, types, suppliers: quoted list
    QString codeResult() const;              // budget: the bare code
    ArticleSelection articlesResult() const; // articles
    QStringList initialsResult() const;      // beneficiaries

private:
    void read();
    QString sql() const;
    datastore::Database& m_db;
    Kind m_kind;
    bool m_all = true;
    bool m_byCode = true;
    QList<QVariantList> m_rows;
    QList<int> m_selected;
    int m_current = -1;
};

// "Ordinea de sortare": the fields in their order, moved up and down.
class SortOrderLogic {
public:
    explicit SortOrderLogic(QStringList fields) : m_fields(std::move(fields)) {}
    const QStringList& fields() const { return m_fields; }
    int moveUp(int row);   // returns the row's new place
    int moveDown(int row);
    void setFields(const QStringList& fields) { m_fields = fields; } // after a drag

private:
    QStringList m_fields;
};

} // namespace reports
