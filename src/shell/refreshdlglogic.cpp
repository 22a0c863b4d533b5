#include "refreshdlglogic.h"

#include <QDir>
#include <algorithm>

namespace shell {

RefreshDlgLogic::RefreshDlgLogic(common::Parameters& params, common::IniFile& appIni,
                                 std::function<void(int)> setRefreshInterval)
    : seconds(std::clamp(params.Refresh, 0, kMaxSeconds)), m_params(params), m_appIni(appIni),
      m_setRefreshInterval(std::move(setRefreshInterval))
{
}

void RefreshDlgLogic::accept()
{
    m_params.Refresh = std::clamp(seconds, 0, kMaxSeconds);
    if (m_setRefreshInterval)
        m_setRefreshInterval(m_params.Refresh * 1000);
    if (!m_appIni.writeInteger(QLatin1String(common::kAppOptionsSection), QStringLiteral("Refresh"), m_params.Refresh))
        throw common::EParameters(
            QStringLiteral("Nu pot scrie fisierul %1!").arg(QDir::toNativeSeparators(m_appIni.path())));
}

} // namespace shell
