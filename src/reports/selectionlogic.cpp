#include "selectionlogic.h"

namespace reports {

SelectionListLogic::SelectionListLogic(datastore::Database& db, Kind kind) : m_db(db), m_kind(kind) {}

QString SelectionListLogic::caption() const
{
    switch (m_kind) {
    case Kind::DocumentTypesIn:
    case Kind::DocumentTypesOut: return QStringLiteral("Selectie Tip Document");
    case Kind::Beneficiaries: return QStringLiteral("Selectie beneficiari");
    default: return QStringLiteral("Selectie");
    }
}

QString SelectionListLogic::allCaption() const
{
    switch (m_kind) {
    case Kind::Warehouses: return QStringLiteral("Toate gestiunile");
    case Kind::Budget: return QStringLiteral("Toate bugetele");
    case Kind::Articles: return QStringLiteral("Toate articolele din Catalog");
    case Kind::DocumentTypesIn:
    case Kind::DocumentTypesOut: return QStringLiteral("Toate tipurile de document");
    case Kind::Beneficiaries: return QStringLiteral("Toti beneficiarii");
    case Kind::Suppliers: return QStringLiteral("Toti furnizorii");
    }
    return {};
}

QString SelectionListLogic::hint() const
{
    if (m_kind == Kind::Warehouses)
        return QStringLiteral("Pentru a selecta mai multe gestiuni folositi\nmouse-ul si tasta Ctrl");
    if (m_kind == Kind::Articles)
        return QStringLiteral("Pentru a selecta mai multe articole folositi concomitent mouse-ul si tasta Ctrl");
    return {};
}

QStringList SelectionListLogic::headings() const
{
    switch (m_kind) {
    case Kind::Articles:
        return {QStringLiteral("Grupa"), QStringLiteral("Denumire grupa"), QStringLiteral("Cod articol"),
                QStringLiteral("Denumire articol")};
    case Kind::DocumentTypesIn:
    case Kind::DocumentTypesOut: return {QStringLiteral("Tip")};
    case Kind::Beneficiaries: return {QStringLiteral("Initiale"), QStringLiteral("Nume Agent")};
    default: return {QStringLiteral("Cod"), QStringLiteral("Denumire")};
    }
}

QString SelectionListLogic::confirmCaption() const
{
    return m_kind == Kind::Beneficiaries ? QStringLiteral("OK") : QStringLiteral("&Deschide");
}

QString SelectionListLogic::cancelCaption() const
{
    return m_kind == Kind::Beneficiaries ? QStringLiteral("Renunta") : QStringLiteral("&Inchide");
}

QString SelectionListLogic::sql() const
{
    switch (m_kind) {
    case Kind::Warehouses: return QStringLiteral("SELECT DISTINCT Cod, Denumire FROM \"Gest.db\" ORDER BY Cod, Denumire");
    case Kind::Budget:
        return QStringLiteral("SELECT DISTINCT Cod_client as Cod, Nume_client as Denumire FROM \"Client.db\" ORDER BY Cod, Denumire");
    case Kind::Articles:
        return QStringLiteral("SELECT DISTINCT D.Grupa, D1.Denumire, D.Cod, D.Denumire AS Den FROM \"Catalog.DB\" D, \"Grup.db\" D1 "
                              "WHERE (D1.Cod_grupa = D.Grupa) ")
            + (m_byCode ? QStringLiteral("ORDER BY D.Cod") : QStringLiteral("ORDER BY D.Denumire"));
    case Kind::DocumentTypesIn:
        return QStringLiteral("SELECT DISTINCT Tip FROM \"Doc_in.DB\" WHERE (Tip <> \"XXX\" OR Tip IS NULL) ORDER BY Tip");
    case Kind::DocumentTypesOut:
        return QStringLiteral("SELECT DISTINCT Tip FROM \"Doc_out.DB\" WHERE (Tip <> \"XXX\" OR Tip IS NULL) ORDER BY Tip");
    case Kind::Beneficiaries: return QStringLiteral("SELECT DISTINCT Init, Name FROM \"User.db\" ORDER BY Init, Name");
    case Kind::Suppliers:
        return QStringLiteral("SELECT DISTINCT Cod_furnizor as Cod, Nume_furnizor as Denumire FROM \"Furn.db\" ORDER BY Cod, Denumire");
    }
    return {};
}

void SelectionListLogic::read()
{
    m_rows.clear();
    m_selected.clear();
    datastore::Query q = m_db.query(sql());
    while (q.next()) {
        QVariantList row;
        for (int i = 0; i < q.columnCount(); ++i)
            row << q.value(i);
        m_rows << row;
    }
    m_current = m_rows.isEmpty() ? -1 : 0;
}

void SelectionListLogic::setAllChecked(bool all)
{
    m_all = all;
    if (!all || m_kind == Kind::DocumentTypesIn || m_kind == Kind::DocumentTypesOut)
        read();
}

void SelectionListLogic::setOrderByCode(bool byCode)
{
    m_byCode = byCode;
    read();
}

int SelectionListLogic::searchRow(const QString& text) const
{
    const int column = m_kind == Kind::Articles ? (m_byCode ? 2 : 3) : 0;
    for (qsizetype i = 0; i < m_rows.size(); ++i)
        if (m_rows.at(i).value(column).toString().startsWith(text, Qt::CaseInsensitive))
            return int(i);
    return -1;
}

QString SelectionListLogic::listResult() const
{
    QStringList values;
    const bool types = m_kind == Kind::DocumentTypesIn || m_kind == Kind::DocumentTypesOut;
    if (m_all && types) {
        // "All" is every type of the documents, given as a list (an empty
        // type too: it is not dropped).
        for (const QVariantList& row : m_rows)
            values << row.value(0).toString();
        return quotedList(values);
    }
    if (m_all)
        return {};
    for (int r : m_selected)
        values << m_rows.value(r).value(0).toString();
    return quotedList(values);
}

QString SelectionListLogic::codeResult() const
{
    if (m_all)
        return {};
    // One row is always current in the grid: without a click, the first.
    const int row = m_selected.isEmpty() ? m_current : m_selected.first();
    if (row < 0 || row >= m_rows.size())
        return {};
    return m_rows.at(row).value(0).toString();
}

ArticleSelection SelectionListLogic::articlesResult() const
{
    if (m_all)
        return {};
    QList<ArticleKey> keys;
    for (int r : m_selected) {
        const QVariantList row = m_rows.value(r);
        keys.append({row.value(0).toString(), row.value(2).toString(), row.value(3).toString()});
    }
    return ArticleSelection::fromKeys(keys);
}

QStringList SelectionListLogic::initialsResult() const
{
    QStringList initials;
    if (m_all)
        return initials;
    for (int r : m_selected)
        initials << m_rows.value(r).value(0).toString();
    return initials;
}

int SortOrderLogic::moveUp(int row)
{
    if (row <= 0 || row >= m_fields.size())
        return row;
    m_fields.swapItemsAt(row, row - 1);
    return row - 1;
}

int SortOrderLogic::moveDown(int row)
{
    if (row < 0 || row + 1 >= m_fields.size())
        return row;
    m_fields.swapItemsAt(row, row + 1);
    return row + 1;
}

} // namespace reports
