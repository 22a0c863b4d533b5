#pragma once
// A child window that reacts to the main window's refresh tick: it re-reads
// what other workstations wrote when it is not being edited.

namespace ui {

class RefreshTarget {
public:
    virtual ~RefreshTarget() = default;
    virtual void refreshTick() = 0;
};

} // namespace ui
