#pragma once
// The rules of the refresh-interval dialog ("Interval de actualizare"),
// without widgets: the interval in seconds, 0 to 1000, where 0 stops the
// refresh ticks.

#include "common/inifile.h"
#include "common/parameters.h"

#include <functional>

namespace shell {

class RefreshDlgLogic {
public:
    static constexpr int kMaxSeconds = 1000;

    // `setRefreshInterval` restarts the main window's refresh timer (milliseconds, 0 stops it).
    RefreshDlgLogic(common::Parameters& params, common::IniFile& appIni, std::function<void(int)> setRefreshInterval);

    int seconds = 0; // the spin edit; opens with the current interval

    // The timer takes the new interval at once and Options / Refresh keeps it
    // (EParameters when the file cannot be written).
    void accept();

private:
    common::Parameters& m_params;
    common::IniFile& m_appIni;
    std::function<void(int)> m_setRefreshInterval;
};

} // namespace shell
