#include "groupeditorlogic.h"

#include "common/accountsymbol.h"

namespace catalogs {

using datastore::Abort;
using datastore::Dataset;
using datastore::DatasetState;

namespace {

const QString kClassCode = QStringLiteral("Cod_material");
const QString kGroupCode = QStringLiteral("Cod_grupa");
const QString kName = QStringLiteral("Denumire");

bool blank(const Dataset& d, const QString& field)
{
    return d.value(field).toString().trimmed().isEmpty();
}

} // namespace

const QList<GroupUse>& groupUses()
{
    static const QList<GroupUse> uses = {
        {"Catalog.DB", "Grupa", "catalogul de articole"},
        {"Stoc.DB", "Cod_grupa", "stocuri"},
        {"Item_in.DB", "Cod_grupa", "documentele de intrare"},
        {"Item_out.DB", "Cod_grupa", "documentele de iesire"},
        {"Item_prof.DB", "Cod_grupa", "propunerile de casare"},
        {"Item_Com.DB", "Cod_grupa", "comenzi"},
        {"Stoc_Com.DB", "Cod_grupa", "comenzi"},
        {"Avit_in.DB", "Cod_grupa", "avizele de intrare"},
        {"Avit_out.DB", "Cod_grupa", "avizele de iesire"},
        {"Serie.DB", "Grupa", "seriile articolelor"},
        {"Reteta.DB", "Cod_Grupa", "retete"},
        {"Target.DB", "Cod_grupa", "targete"},
        {"TargetA.DB", "Cod_grupa", "targete"},
        {"item_grila.DB", "Cod_grupa", "grilele de discount"},
    };
    return uses;
}

TGroupEditorLogic::TGroupEditorLogic(datastore::Database& db, common::Dialogs& dialogs)
    : classes(db, QStringLiteral("Materiale.db")), groups(db, QStringLiteral("Grup.db")), m_db(db),
      m_dialogs(dialogs)
{
    classes.setOrderBy(kClassCode);
    groups.setOrderBy(QStringLiteral("Cod_material, Cod_grupa"));
    groups.setMaster(&classes, {{kClassCode, kClassCode}});

    classes.beforePost = [this] { ClassBeforePost(); };
    classes.beforeDelete = [this] { ClassBeforeDelete(); };
    classes.afterPost = [this] { changed(); };
    classes.afterDelete = [this] { changed(); };
    classes.field(QStringLiteral("CONT_SINT")).onValidate = [this] {
        AccountValidate(classes, QStringLiteral("CONT_SINT"));
    };
    groups.beforePost = [this] { GroupBeforePost(); };
    groups.beforeDelete = [this] { GroupBeforeDelete(); };
    groups.afterPost = [this] { changed(); };
    groups.afterDelete = [this] { changed(); };
    groups.field(QStringLiteral("Cont_sint")).onValidate = [this] {
        AccountValidate(groups, QStringLiteral("Cont_sint"));
    };
}

bool TGroupEditorLogic::FormCreate(const QString& group)
{
    try {
        classes.open();
        if (!group.isEmpty()) {
            const QVariant cls = m_db.scalar(
                QStringLiteral("SELECT Cod_material FROM \"Grup.db\" WHERE Cod_grupa = :Grp ORDER BY Cod_material"),
                {{QStringLiteral("Grp"), group}});
            if (cls.isValid() && !cls.isNull())
                classes.locate({kClassCode}, {cls});
        }
        groups.open();
        if (!group.isEmpty())
            groups.locate({kGroupCode}, {group});
        return true;
    } catch (const std::exception& e) {
        const QString engine = datastore::errorText(e);
        FormClose();
        m_dialogs.error(QStringLiteral("Eroare de acces la clasele si grupele de articole!\r<%1>").arg(engine));
        return false;
    }
}

QList<ui::GridColumn> TGroupEditorLogic::classColumns() const
{
    return {ui::GridColumn(kClassCode, QStringLiteral("Cod clasa"), 90),
            ui::GridColumn(kName, QStringLiteral("Denumire"), 300),
            ui::GridColumn(QStringLiteral("CONT_SINT"), QStringLiteral("Cont sintetic"), 110)};
}

QList<ui::GridColumn> TGroupEditorLogic::groupColumns() const
{
    return {ui::GridColumn(kClassCode, QStringLiteral("Cod clasa"), 90).asHidden(),
            ui::GridColumn(kGroupCode, QStringLiteral("Cod grupa"), 90),
            ui::GridColumn(kName, QStringLiteral("Denumire"), 300),
            ui::GridColumn(QStringLiteral("Cont_sint"), QStringLiteral("Cont sintetic"), 110),
            ui::GridColumn(QStringLiteral("Target"), QStringLiteral("Target"), 60)
                .withHint(QStringLiteral("Da: grupa apare in targetele pe gestiuni si pe agenti"))};
}

QString TGroupEditorLogic::groupUsedIn(const QString& group) const
{
    const QStringList existing = m_db.tableNames();
    for (const GroupUse& use : groupUses()) {
        const QString table = QString::fromLatin1(use.table);
        if (!existing.contains(table.section(QLatin1Char('.'), 0, 0), Qt::CaseInsensitive)
            && !existing.contains(table, Qt::CaseInsensitive))
            continue; // a table this database does not keep
        const QVariant found = m_db.scalar(
            QStringLiteral("SELECT COUNT(*) FROM \"%1\" WHERE %2 = :Grp").arg(table, QString::fromLatin1(use.field)),
            {{QStringLiteral("Grp"), group}});
        if (found.toInt() > 0)
            return QString::fromUtf8(use.what);
    }
    return QString();
}

QString TGroupEditorLogic::classOfGroup(const QString& group, const QString& ownClass) const
{
    datastore::Query q = m_db.query(
        QStringLiteral("SELECT Cod_material FROM \"Grup.db\" WHERE Cod_grupa = :Grp ORDER BY Cod_material"),
        {{QStringLiteral("Grp"), group}});
    while (q.next()) {
        const QString cls = q.value(0).toString();
        if (cls != ownClass)
            return cls.isEmpty() ? QStringLiteral("(fara clasa)") : cls;
    }
    return QString();
}

void TGroupEditorLogic::changed()
{
    if (onChanged)
        onChanged();
}

void TGroupEditorLogic::RefreshTick()
{
    try {
        for (Dataset* d : {&classes, &groups})
            if (d->isOpen())
                d->refresh(); // a list being edited, or its master, waits
    } catch (const datastore::DbError&) {
        // busy on another workstation: the next tick reads it
    }
}

bool TGroupEditorLogic::FormCloseQuery()
{
    try {
        groups.settle();
        classes.settle();
    } catch (...) {
        ui::reportDataError(m_dialogs, std::current_exception());
        return false;
    }
    return true;
}

void TGroupEditorLogic::FormClose()
{
    groups.close();
    classes.close();
}

// --- handlers ------------------------------------------------------------------------

void TGroupEditorLogic::ClassBeforePost()
{
    if (blank(classes, kClassCode) || blank(classes, kName)) {
        m_dialogs.warning(QStringLiteral("Introduceti codul si denumirea clasei de materiale!"));
        throw Abort();
    }
    if (classes.state() != DatasetState::Edit)
        return;
    const QString old = classes.oldValue(kClassCode).toString();
    if (old == classes.value(kClassCode).toString())
        return;
    const QVariant count = m_db.scalar(QStringLiteral("SELECT COUNT(*) FROM \"Grup.db\" WHERE Cod_material = :Cls"),
                                       {{QStringLiteral("Cls"), old}});
    if (count.toInt() > 0) {
        m_dialogs.warning(QStringLiteral("Codul clasei %1 nu poate fi modificat deoarece clasa are grupe de articole!")
                              .arg(old));
        throw Abort();
    }
}

void TGroupEditorLogic::ClassBeforeDelete()
{
    const QString code = classes.value(kClassCode).toString();
    const QVariant count = m_db.scalar(QStringLiteral("SELECT COUNT(*) FROM \"Grup.db\" WHERE Cod_material = :Cls"),
                                       {{QStringLiteral("Cls"), code}});
    if (count.toInt() > 0) {
        m_dialogs.warning(QStringLiteral("Clasa %1 nu poate fi stearsa deoarece are grupe de articole! "
                                         "Stergeti mai intii grupele clasei si reveniti!")
                              .arg(code));
        throw Abort();
    }
}

void TGroupEditorLogic::GroupBeforePost()
{
    if (blank(groups, kGroupCode) || blank(groups, kName)) {
        m_dialogs.warning(QStringLiteral("Introduceti codul si denumirea grupei!"));
        throw Abort();
    }
    if (blank(groups, kClassCode)) {
        m_dialogs.warning(QStringLiteral("Grupa trebuie sa apartina unei clase de materiale! Adaugati mai intii clasa."));
        throw Abort();
    }
    const QString code = groups.value(kGroupCode).toString();
    const QString other = classOfGroup(code, groups.value(kClassCode).toString());
    if (!other.isEmpty()) {
        m_dialogs.warning(QStringLiteral("Grupa %1 exista deja in clasa %2! Codul unei grupe trebuie sa fie unic.")
                              .arg(code, other));
        throw Abort();
    }
    if (groups.state() != DatasetState::Edit)
        return;
    const QString old = groups.oldValue(kGroupCode).toString();
    if (old == code)
        return;
    const QString usedIn = groupUsedIn(old);
    if (!usedIn.isEmpty()) {
        m_dialogs.warning(QStringLiteral("Codul grupei %1 nu poate fi modificat deoarece este folosit in %2!")
                              .arg(old, usedIn));
        throw Abort();
    }
}

void TGroupEditorLogic::GroupBeforeDelete()
{
    const QString code = groups.value(kGroupCode).toString();
    // Another class holding the same code keeps the rows meaningful.
    if (!classOfGroup(code, groups.value(kClassCode).toString()).isEmpty())
        return;
    const QString usedIn = groupUsedIn(code);
    if (!usedIn.isEmpty()) {
        m_dialogs.warning(QStringLiteral("Grupa %1 nu poate fi stearsa deoarece este folosita in %2! "
                                         "Stergeti inregistrarile aferente si reveniti!")
                              .arg(code, usedIn));
        throw Abort();
    }
}

void TGroupEditorLogic::AccountValidate(Dataset& table, const QString& field)
{
    if (!common::CheckAccountSymbol(table.value(field).toString()).accepted) {
        m_dialogs.warning(QString::fromUtf8(common::kAccountSymbolMessage));
        throw Abort();
    }
}

} // namespace catalogs
