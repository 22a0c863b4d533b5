#include "partnerlookuplogic.h"

#include "common/accountsymbol.h"
#include "ui/datagrid.h"

namespace catalogs {

using datastore::DatasetState;

TPartnerLookupLogic::TPartnerLookupLogic(const PartnerCatalogDef& def, datastore::Database& db,
                                         common::Dialogs& dialogs, const common::Parameters& parameters,
                                         LookupRole role)
    : table(db, def.table), m_def(def), m_dialogs(dialogs), m_parameters(parameters), m_role(role)
{
    table.setReadOnly(role == LookupRole::Picker);
    table.onNewRecord = [this] { TableNewRecord(); };
    table.beforePost = [this] { TableBeforePost(); };
    if (!m_def.accountField.isEmpty())
        table.field(m_def.accountField).onValidate = [this] { AccountValidate(); };
    if (m_def.codeLength > 0)
        table.field(m_def.codeField).onValidate = [this] { CodeValidate(); };
}

bool TPartnerLookupLogic::FormCreate()
{
    QString failure;
    try {
        // Names are compared as the index ByName compares them.
        const datastore::TableDef stored = table.database().readTableDef(m_def.table);
        for (const datastore::IndexDef& ix : stored.indexes)
            if (ix.name.compare(QLatin1String(kByNameIndex), Qt::CaseInsensitive) == 0)
                m_nameCaseInsensitive = ix.options & datastore::IxCaseInsensitive;
        m_order = PartnerOrder::ByCode;
        table.setOrderBy(orderBy(m_order));
        table.open();
        return true;
    } catch (const datastore::DbError& e) {
        failure = e.message();
    } catch (const datastore::DatasetError& e) {
        failure = e.message();
    }
    table.close();
    m_dialogs.error(QStringLiteral("%1\r<%2>").arg(m_def.openError, failure));
    return false;
}

bool TPartnerLookupLogic::FormShow()
{
    if (!table.isOpen() || !table.isEmpty())
        return false;
    table.setReadOnly(false);
    m_dialogs.warning(m_def.emptyWarning);
    return true;
}

QString TPartnerLookupLogic::orderBy(PartnerOrder order) const
{
    if (order == PartnerOrder::ByCode)
        return m_def.codeField;
    // Equal names follow the primary key, as in the index.
    return QStringLiteral("%1%2, %3")
        .arg(m_def.nameField, m_nameCaseInsensitive ? QStringLiteral(" COLLATE NOCASE") : QString(),
             m_def.codeField);
}

void TPartnerLookupLogic::settle()
{
    table.settle();
}

void TPartnerLookupLogic::setOrder(PartnerOrder order)
{
    if (order == m_order || !table.isOpen()) {
        m_order = order;
        return;
    }
    settle();
    m_order = order;
    table.setOrderBy(orderBy(order));
    table.refresh();
}

void TPartnerLookupLogic::SearchChange(const QString& text)
{
    if (text.isEmpty() || !table.isOpen() || table.isEmpty())
        return;
    settle();
    const bool byName = m_order == PartnerOrder::ByName;
    const QString field = byName ? m_def.nameField : m_def.codeField;
    const Qt::CaseSensitivity cs = byName && m_nameCaseInsensitive ? Qt::CaseInsensitive : Qt::CaseSensitive;
    const int fi = table.fieldIndex(field);
    const int count = table.recordCount();
    int row = count - 1;
    for (int r = 0; r < count; ++r)
        if (QString::compare(table.value(r, fi).toString(), text, cs) >= 0) {
            row = r;
            break;
        }
    table.moveTo(row);
}

bool TPartnerLookupLogic::locateCode(const QString& code)
{
    if (!table.isOpen())
        return false;
    return table.locate({m_def.codeField}, {code});
}

QString TPartnerLookupLogic::currentCode() const
{
    if (!table.isOpen() || table.recNo() < 0)
        return QString();
    return table.value(m_def.codeField).toString();
}

bool TPartnerLookupLogic::setEditMode(bool on)
{
    if (m_role == LookupRole::Child)
        return true;
    if (on) {
        table.setReadOnly(false);
        return true;
    }
    try {
        if (table.isOpen())
            settle();
    } catch (...) {
        ui::reportDataError(m_dialogs, std::current_exception());
        return false;
    }
    table.setReadOnly(true);
    return true;
}

bool TPartnerLookupLogic::FormCloseQuery()
{
    if (!table.isOpen())
        return true;
    try {
        settle();
    } catch (...) {
        ui::reportDataError(m_dialogs, std::current_exception());
        return false;
    }
    return true;
}

void TPartnerLookupLogic::FormClose()
{
    table.close();
}

bool TPartnerLookupLogic::refreshTick()
{
    if (!m_def.reactsToRefresh || !table.isOpen())
        return false;
    return table.refresh(); // only while browsing
}

void TPartnerLookupLogic::TableNewRecord()
{
    if (m_def.accountField.isEmpty() || !m_def.defaultAccount)
        return;
    // A default that the account check would refuse (a hand-edited
    // definition file) is left out rather than blocking every new row.
    const QString account = m_parameters.*m_def.defaultAccount;
    if (common::CheckAccountSymbol(account).accepted)
        table.setValue(m_def.accountField, account);
}

void TPartnerLookupLogic::TableBeforePost()
{
    if (m_def.saveCheckMessage.isEmpty())
        return;
    const bool blankCode = table.value(m_def.codeField).toString().trimmed().isEmpty();
    const bool blankName = m_def.nameRequired && table.value(m_def.nameField).toString().trimmed().isEmpty();
    if (blankCode || blankName) {
        m_dialogs.warning(m_def.saveCheckMessage);
        throw datastore::Abort();
    }
}

void TPartnerLookupLogic::CodeValidate()
{
    if (table.value(m_def.codeField).toString().size() > m_def.codeLength) {
        m_dialogs.warning(m_def.codeLengthMessage);
        throw datastore::Abort();
    }
}

void TPartnerLookupLogic::AccountValidate()
{
    if (!common::CheckAccountSymbol(table.value(m_def.accountField).toString()).accepted) {
        m_dialogs.warning(QString::fromUtf8(common::kAccountSymbolMessage));
        throw datastore::Abort();
    }
}

} // namespace catalogs
