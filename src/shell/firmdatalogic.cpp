#include "firmdatalogic.h"

#include "common/inifile.h"
#include "common/parameters.h"
#include "ui/datagrid.h"

#include <QDir>

namespace shell {

TFirmDataDlgLogic::TFirmDataDlgLogic(datastore::Database& db, common::Dialogs& dialogs, int firmNo)
    : firms(db, QStringLiteral("Firmdata.DB")), m_dialogs(dialogs), m_firmNo(firmNo)
{
    firms.setOrderBy(QStringLiteral("Cod"));
    firms.beforePost = [this] { FirmdataBeforePost(); };
    firms.field(QStringLiteral("Cod")).onValidate = [this] { CodValidate(); };
}

void TFirmDataDlgLogic::CodValidate()
{
    const QVariant cod = firms.value(QStringLiteral("Cod"));
    if (!cod.isNull() && cod.toInt() < 0) {
        m_dialogs.warning(QStringLiteral("Numarul de ordine nu poate fi negativ!"));
        throw datastore::Abort();
    }
}

bool TFirmDataDlgLogic::FormCreate()
{
    try {
        firms.open();
    } catch (const datastore::DbError& e) {
        m_dialogs.error(QStringLiteral("Eroare de acces la tabela de firme!\r%1!").arg(e.message()));
        return false;
    } catch (const datastore::DatasetError& e) {
        m_dialogs.error(QStringLiteral("Eroare de acces la tabela de firme!\r%1!").arg(e.message()));
        return false;
    }
    if (!firms.locate({QStringLiteral("Cod")}, {m_firmNo}))
        firms.first();
    return true;
}

void TFirmDataDlgLogic::FirmdataBeforePost()
{
    if (firms.value(QStringLiteral("Cod")).isNull()) {
        m_dialogs.warning(QStringLiteral("Specificati un numar de ordine!"));
        if (focusField)
            focusField(QStringLiteral("Cod"));
        throw datastore::Abort();
    }
}

bool TFirmDataDlgLogic::Valideaza(const QString& definitionFile)
{
    bool stored = false;
    try {
        if (firms.isOpen()) {
            firms.post();
            if (!firms.isEmpty())
                m_firmNo = firms.value(QStringLiteral("Cod")).toInt();
            firms.close();
        }
        stored = true;
    } catch (...) {
        ui::reportDataError(m_dialogs, std::current_exception());
    }
    common::IniFile ini(definitionFile);
    if (!ini.isReadable())
        m_dialogs.error(common::unreadableParameterFileMessage(ini));
    else if (!ini.writeInteger(QStringLiteral("Default"), QStringLiteral("FirmNo"), m_firmNo))
        m_dialogs.error(QStringLiteral("Nu pot scrie fisierul %1!").arg(QDir::toNativeSeparators(ini.path())));
    return stored;
}

void TFirmDataDlgLogic::FormClose()
{
    if (firms.isOpen()) {
        firms.cancel();
        firms.close();
    }
}

} // namespace shell
