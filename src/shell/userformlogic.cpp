#include "userformlogic.h"

#include "ui/datagrid.h"

namespace shell {

QString initialsOf(const QString& name)
{
    QString initials;
    bool atWordStart = true;
    for (const QChar c : name) {
        if (c == u' ' || c == u',' || c == u'.' || c == u';') {
            atWordStart = true;
            continue;
        }
        if (atWordStart) {
            initials += c;
            if (initials.size() == 3)
                break;
            atWordStart = false;
        }
    }
    return initials;
}

TUserFormLogic::TUserFormLogic(datastore::Database& db, common::Dialogs& dialogs)
    : users(db, QStringLiteral("User.db")), m_dialogs(dialogs)
{
    users.setOrderBy(QStringLiteral("Name"));
    users.field(QStringLiteral("Name")).onChange = [this] { UserNameChange(); };
    users.field(QStringLiteral("Psw")).onChange = [this] { UserPswChange(); };
}

bool TUserFormLogic::FormCreate()
{
    try {
        users.open();
        m_levels.clear();
        datastore::Query q = users.database().query(QStringLiteral("SELECT Niv_acces FROM \"Acces.DB\" ORDER BY Niv_acces"));
        while (q.next())
            m_levels << q.value(0).toString();
        return true;
    } catch (const datastore::DbError& e) {
        users.close();
        m_dialogs.error(QStringLiteral("Eroare de acces la baza de date :\r<%1> !").arg(e.message()));
    } catch (const datastore::DatasetError& e) {
        users.close();
        m_dialogs.error(QStringLiteral("Eroare de acces la baza de date :\r<%1> !").arg(e.message()));
    }
    return false;
}

void TUserFormLogic::UserNameChange()
{
    users.setValue(QStringLiteral("Init"), initialsOf(users.value(QStringLiteral("Name")).toString()));
}

void TUserFormLogic::UserPswChange()
{
    // The password is typed through a mask that turns letters into capitals.
    const QString psw = users.value(QStringLiteral("Psw")).toString();
    if (psw != psw.toUpper())
        users.setValue(QStringLiteral("Psw"), psw.toUpper());
}

bool TUserFormLogic::FormCloseQuery()
{
    if (!users.isOpen())
        return true;
    try {
        if (users.state() == datastore::DatasetState::Insert && !users.isModified())
            users.cancel();
        users.post();
    } catch (...) {
        ui::reportDataError(m_dialogs, std::current_exception());
        return false;
    }
    users.close();
    return true;
}

const QStringList& requiredAccessRights()
{
    static const QStringList rights = {
        QStringLiteral("Doc_in"), QStringLiteral("Doc_out"), QStringLiteral("Cat_art"), QStringLiteral("Cat_cl"),
        QStringLiteral("Cat_fur"), QStringLiteral("Cat_gest"), QStringLiteral("Date_firma"),
        QStringLiteral("Utilizatori"), QStringLiteral("Stoc_crt"), QStringLiteral("Stoc_init"),
        QStringLiteral("Fact_neinc"), QStringLiteral("Fact_neac"), QStringLiteral("Oferta"),
        QStringLiteral("Intrari"), QStringLiteral("Iesiri"), QStringLiteral("Intr_valuta"),
        QStringLiteral("Ies_valuta"), QStringLiteral("Jurnale"), QStringLiteral("Note_contabile"),
        QStringLiteral("Balanta"), QStringLiteral("Balanta_verif"), QStringLiteral("Incasari"),
        QStringLiteral("Plati_Lei"), QStringLiteral("Plati_Valuta"), QStringLiteral("Stoc_Valuta"),
        QStringLiteral("Arhivare"), QStringLiteral("Restaurare"), QStringLiteral("Recalc_stoc"),
        QStringLiteral("Valori_implicite"), QStringLiteral("Interval_actualizare"),
        QStringLiteral("Consolidare_In"), QStringLiteral("Consolidare_Out"), QStringLiteral("Intr_Agenti"),
        QStringLiteral("Stoc_Agenti"), QStringLiteral("Comenzi"), QStringLiteral("Comenzi_Emise"),
        QStringLiteral("Comenzi_Neonorate"), QStringLiteral("Stoc_Total"), QStringLiteral("Modul_Aux"),
        QStringLiteral("Op_Arhivare"), QStringLiteral("Centralizator"),
    };
    return rights;
}

void AccesBeforePost(datastore::Dataset& acces, common::Dialogs& dialogs)
{
    bool complete = !acces.value(QStringLiteral("Niv_acces")).isNull();
    for (const QString& right : requiredAccessRights())
        complete = complete && !acces.value(right).isNull();
    if (!complete) {
        dialogs.warning(QStringLiteral("Completeaza toate cimpurile din inregistrare"));
        throw datastore::Abort();
    }
}

} // namespace shell
