#pragma once
// A bar for the row-model tests: fixed sizes, a visible flag, and the rectangle it was given.

#include <functional>

#include "dock/core/TDockBarItem.h"

namespace zb::test {

class FakeDockBar : public TDockBarItem {
public:
    FakeDockBar(int row, int pos, int barSize, int length) : Size(barSize), Length(length) {
        DockRow = row;
        DockPos = pos;
    }
    bool IsVisibleOnDock() const override { return Visible; }
    int GetBarSize(TDockType) const override { return Size; }
    int GetDockedLength(bool) const override { return Length; }
    void PlaceOnDock(const TRect& bounds) override {
        Bounds = bounds;
        ++Placements;
        if (OnPlace) OnPlace();
    }

    int Size;
    int Length;
    bool Visible = true;
    TRect Bounds{-1, -1, -1, -1};
    int Placements = 0;
    std::function<void()> OnPlace;
};

}  // namespace zb::test
