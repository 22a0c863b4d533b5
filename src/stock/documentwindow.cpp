#include "documentwindow.h"

#include "datastore/dberror.h"
#include "ui/datagrid.h"

#include <algorithm>

namespace stock {

using datastore::DatasetState;

const QString DocumentWindowLogic::kSaveCurrent = QStringLiteral("Salvez documentul curent?");
const QString DocumentWindowLogic::kDeleteCurrent = QStringLiteral("Sterg documentul curent?");
const QString DocumentWindowLogic::kNoLines = QStringLiteral("Documentul trebuie sa contina inregistrari !");
const QString DocumentWindowLogic::kAccessError = QStringLiteral(
    "Eroare de acces la baza de date. Verificati server-ul sau un acces neautorizat la baza de date.\r<%1>");

DocumentWindowLogic::DocumentWindowLogic(datastore::Database& db, common::Dialogs& dialogs, DocumentView& view,
                                         Kind kind, datastore::Dataset& docs, datastore::Dataset& lines,
                                         QList<datastore::Dataset*> more)
    : m_base(db), m_dialogs(dialogs), m_documentView(view), m_kind(std::move(kind)), m_docs(docs), m_lines(lines),
      m_more(std::move(more))
{
}

DocumentWindowLogic::~DocumentWindowLogic() = default;

QList<datastore::Dataset*> DocumentWindowLogic::details() const
{
    QList<datastore::Dataset*> all{&m_lines};
    all += m_more;
    return all;
}

void DocumentWindowLogic::setDefaultPeriod(const QDate& today)
{
    m_defaultRegistration = today;
    m_first = QDate(today.year(), today.month(), 1);
    m_last = m_first.addDays(30);
}

bool DocumentWindowLogic::close()
{
    try {
        const QList<datastore::Dataset*> all = details();
        for (auto it = all.crbegin(); it != all.crend(); ++it)
            (*it)->settle();
    } catch (...) {
        ui::reportDataError(m_dialogs, std::current_exception());
        return false;
    }
    if (!m_docs.isOpen() || m_docs.isEmpty())
        return true;
    if (m_lines.recordCount() == 0) {
        // A document without lines cannot stay. The only one goes quietly
        // (nothing was entered); among others the user is told and chooses
        // to delete it or to go on completing it.
        if (m_docs.recordCount() > 1) {
            m_dialogs.warning(kNoLines);
            if (!m_dialogs.confirm(kDeleteCurrent, common::Buttons::OkCancel))
                return false;
        }
        if (m_docs.state() == DatasetState::Insert) {
            dropNewDocument();
            return true;
        }
        try {
            if (m_docs.isEditing())
                m_docs.cancel();
            m_docs.remove();
        } catch (...) {
            ui::reportDataError(m_dialogs, std::current_exception());
            return false;
        }
        return true;
    }
    if (m_docs.isEditing()) {
        try {
            m_docs.post();
        } catch (...) {
            ui::reportDataError(m_dialogs, std::current_exception());
            return false;
        }
    }
    return true;
}

bool DocumentWindowLogic::confirmSaveCurrent()
{
    const QList<datastore::Dataset*> all = details();
    const bool pending =
        m_docs.isEditing() || std::any_of(all.cbegin(), all.cend(), [](const auto* d) { return d->isEditing(); });
    if (!pending)
        return true;
    if (!m_dialogs.confirm(kSaveCurrent, common::Buttons::OkCancel))
        return false;
    return saveDocument();
}

bool DocumentWindowLogic::saveDocument()
{
    try {
        const QList<datastore::Dataset*> all = details();
        for (auto it = all.crbegin(); it != all.crend(); ++it)
            (*it)->settle();
        if (m_docs.isEditing())
            m_docs.post();
        return true;
    } catch (...) {
        ui::reportDataError(m_dialogs, std::current_exception());
        return false;
    }
}

void DocumentWindowLogic::newDocument()
{
    if (!confirmSaveCurrent())
        return;
    double contor = 0;
    try {
        contor = TakeCounter(m_base, m_kind.counter);
    } catch (const std::exception& e) {
        m_dialogs.error(datastore::errorText(e));
        return;
    }
    m_newCounter = contor;
    try {
        m_docs.append();
    } catch (...) {
        ui::reportDataError(m_dialogs, std::current_exception());
        GiveBackCounter(m_base, m_kind.counter, contor);
        m_newCounter.reset();
        return;
    }
    m_documentView.focusHeaderField(QStringLiteral("Data_inregistrarii"));
}

void DocumentWindowLogic::dropNewDocument()
{
    const std::optional<double> counter = m_newCounter;
    if (m_docs.state() == DatasetState::Insert)
        m_docs.cancel();
    m_newCounter.reset();
    if (counter) {
        try {
            GiveBackCounter(m_base, m_kind.counter, *counter);
        } catch (const std::exception& e) {
            m_dialogs.error(datastore::errorText(e));
        }
    }
}

void DocumentWindowLogic::cancelDocument()
{
    try {
        const QList<datastore::Dataset*> all = details();
        for (auto it = all.crbegin(); it != all.crend(); ++it)
            if ((*it)->isEditing())
                (*it)->cancel();
    } catch (...) {
        ui::reportDataError(m_dialogs, std::current_exception());
        return;
    }
    if (m_docs.state() == DatasetState::Insert) {
        if (!m_dialogs.confirm(kDeleteCurrent, common::Buttons::OkCancel))
            return;
        dropNewDocument();
        if (m_docs.isEmpty())
            newDocument();
        m_documentView.focusHeaderField(QStringLiteral("Data_inregistrarii"));
        return;
    }
    if (m_docs.state() == DatasetState::Edit)
        m_docs.cancel();
}

void DocumentWindowLogic::deleteDocument()
{
    if (!m_docs.isOpen() || m_docs.isEmpty())
        return;
    if (m_docs.state() == DatasetState::Insert) {
        cancelDocument();
        return;
    }
    if (!m_dialogs.confirm(kDeleteCurrent, common::Buttons::OkCancel))
        return;
    try {
        const QList<datastore::Dataset*> all = details();
        for (auto it = all.crbegin(); it != all.crend(); ++it)
            if ((*it)->isEditing())
                (*it)->cancel();
        if (m_docs.isEditing())
            m_docs.cancel();
        m_docs.remove();
    } catch (...) {
        ui::reportDataError(m_dialogs, std::current_exception());
        return;
    }
    if (m_docs.isEmpty())
        newDocument();
}

void DocumentWindowLogic::applyFilter()
{
    const QVariant current = m_docs.isOpen() ? m_docs.value(QStringLiteral("Contor")) : QVariant();
    const QList<datastore::Dataset*> all = details();
    for (auto it = all.crbegin(); it != all.crend(); ++it)
        (*it)->close();
    m_docs.close();
    if (m_periodActive) {
        m_docs.setFilter(
            QStringLiteral("Contor >= 1 AND Data_inregistrarii >= :first AND Data_inregistrarii <= :last"),
            {{QStringLiteral("first"), m_first}, {QStringLiteral("last"), m_last}});
        m_docs.setOrderBy(QStringLiteral("Data_inregistrarii, Contor"));
    } else {
        m_docs.setFilter(QStringLiteral("Contor >= 1"));
        m_docs.setOrderBy(QStringLiteral("Contor"));
    }
    m_docs.open();
    for (datastore::Dataset* d : all)
        d->open();
    if (current.isNull() || !m_docs.locate({QStringLiteral("Contor")}, {current}))
        m_docs.last();
    m_documentView.setTitle(title());
}

bool DocumentWindowLogic::leaveCurrentDocument()
{
    // A new document without lines cannot be written: it is let go.
    if (m_docs.state() == DatasetState::Insert && m_lines.isEmpty() && !m_lines.isEditing()) {
        dropNewDocument();
        return true;
    }
    return saveDocument();
}

void DocumentWindowLogic::switchList(bool period, const QDate& first, const QDate& last)
{
    if (!leaveCurrentDocument())
        return;
    if (period) {
        m_first = first;
        m_last = last;
    }
    m_periodActive = period;
    m_shownAll = m_shownAll || !period;
    try {
        applyFilter();
    } catch (...) {
        ui::reportDataError(m_dialogs, std::current_exception());
    }
    if (m_docs.isOpen() && m_docs.isEmpty())
        newDocument();
}

void DocumentWindowLogic::selectPeriod()
{
    QDate first = m_first;
    QDate last = m_last;
    if (!m_documentView.selectInterval(first, last))
        return;
    switchList(true, first, last);
}

void DocumentWindowLogic::showAll()
{
    if (m_periodActive)
        switchList(false);
}

void DocumentWindowLogic::searchFirst()
{
    SearchState state = m_search;
    const bool serial = offerSerialSearch();
    if (!serial && state.criterion == SearchCriterion::Serial)
        state.criterion = SearchCriterion::Number;
    if (!m_documentView.askSearchCriterion(state, serial))
        return;
    m_search = state;
    m_search.lastFound = -1;
    searchNext();
}

void DocumentWindowLogic::searchNext()
{
    if (!leaveCurrentDocument())
        return;
    SearchHit hit;
    m_documentView.showSearching(true);
    try {
        hit = FindNextDocument(m_base, m_kind.side, m_search, m_periodActive ? m_first : QDate(),
                               m_periodActive ? m_last : QDate());
    } catch (...) {
        m_documentView.showSearching(false);
        ui::reportDataError(m_dialogs, std::current_exception());
        return;
    }
    m_documentView.showSearching(false);
    if (!hit.found) {
        m_dialogs.beep();
        return;
    }
    rememberHit(m_search, hit);
    try {
        if (!m_docs.locate({QStringLiteral("Contor")}, {hit.contor})) {
            m_docs.refresh(); // written by another workstation since the list was read
            if (!m_docs.locate({QStringLiteral("Contor")}, {hit.contor}))
                return;
        }
        // The line the criterion speaks of.
        switch (m_search.criterion) {
        case SearchCriterion::Article:
            m_lines.locate({QStringLiteral("Cod_articol")}, {m_search.article});
            break;
        case SearchCriterion::Price:
            m_lines.locate({m_kind.linePriceField}, {m_search.price});
            break;
        case SearchCriterion::Serial:
            m_lines.locate({QStringLiteral("Contor_secundar")}, {hit.lineNumber});
            break;
        default:
            break;
        }
    } catch (...) {
        ui::reportDataError(m_dialogs, std::current_exception());
    }
}

bool DocumentWindowLogic::showDocument(double contor)
{
    if (!leaveCurrentDocument())
        return false;
    const QStringList key{QStringLiteral("Contor")};
    try {
        if (m_docs.locate(key, {contor}))
            return true;
        m_docs.refresh();
        if (m_docs.locate(key, {contor}))
            return true;
    } catch (...) {
        ui::reportDataError(m_dialogs, std::current_exception());
        return false;
    }
    if (!m_periodActive)
        return false;
    switchList(false);
    return m_docs.isOpen() && m_docs.locate(key, {contor});
}

void DocumentWindowLogic::refreshTick()
{
    try {
        if (!m_docs.isOpen())
            return;
        if (!m_docs.isEditing())
            m_docs.refresh();
        for (datastore::Dataset* d : details())
            if (!d->isEditing())
                d->refresh();
    } catch (...) {
        // the next tick tries again; the rows shown stay as they were
    }
}

void DocumentWindowLogic::insertLine()
{
    try {
        m_lines.append();
    } catch (...) {
        ui::reportDataError(m_dialogs, std::current_exception());
    }
}

bool DocumentWindowLogic::deleteLine()
{
    if (m_lines.isEmpty())
        return false;
    try {
        if (m_lines.state() == DatasetState::Insert) {
            m_lines.cancel();
            return true;
        }
        m_lines.remove();
        return true;
    } catch (...) {
        ui::reportDataError(m_dialogs, std::current_exception());
        return false;
    }
}

QStringList DocumentWindowLogic::warehouseNames() const
{
    return columnValues(m_base, QStringLiteral("SELECT Denumire FROM \"Gest.db\" ORDER BY Denumire"));
}

QVariant DocumentWindowLogic::warehouseCodeOf(const QString& name) const
{
    return codeOfName(m_base, QStringLiteral("SELECT MIN(Cod) FROM \"Gest.db\" WHERE Denumire = :n"), name);
}

QStringList columnValues(datastore::Database& db, const QString& sql)
{
    QStringList values;
    datastore::Query q = db.query(sql);
    while (q.next())
        values << q.value(0).toString();
    return values;
}

QVariant codeOfName(datastore::Database& db, const QString& sql, const QString& name)
{
    if (name.trimmed().isEmpty())
        return QVariant();
    const QVariant code = db.scalar(sql, {{QStringLiteral("n"), name}});
    if (!code.isValid() || code.isNull())
        throw datastore::DatasetError(QStringLiteral("'%1' nu exista in catalog").arg(name));
    return code;
}

} // namespace stock
