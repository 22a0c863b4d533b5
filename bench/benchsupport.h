#pragma once
// Small helpers shared by the benchmarks.

#include "common/dialogs.h"

#include <QElapsedTimer>

namespace benchsupport {

// Every message is answered OK and nothing is shown.
class SilentDialogs : public common::Dialogs {
public:
    common::Answer message(common::Icon, const QString&, common::Buttons) override { return common::Answer::Ok; }
    std::optional<QString> inputBox(const QString&, const QString&, const QString&) override { return std::nullopt; }
    void beep() override {}
};

// Milliseconds since the timer started.
inline double ms(const QElapsedTimer& t)
{
    return t.nsecsElapsed() / 1e6;
}

} // namespace benchsupport
