#pragma once
// Enumerations shared by the docks, the bars and the layout core.

#include <cstdint>

namespace zb {

// Edge of the parent that a dock is aligned to.
enum TDockPosition { dpTop, dpBottom, dpLeft, dpRight };

// A set of dock positions (bit 1 << position).
using TDockPositions = std::uint8_t;
constexpr TDockPositions DockPositionBit(TDockPosition p) {
    return static_cast<TDockPositions>(1u << p);
}
constexpr TDockPositions AllDockPositions = 0x0F;
constexpr bool InDockPositions(TDockPositions set, TDockPosition p) {
    return (set & DockPositionBit(p)) != 0;
}

// How a bar's layout is oriented: floating, on a left/right dock or on a top/bottom dock.
enum TDockType { dtNotDocked, dtTopBottom, dtLeftRight };

constexpr TDockType GetDockTypeOf(TDockPosition p) {
    return (p == dpLeft || p == dpRight) ? dtLeftRight : dtTopBottom;
}

enum TDockBoundLinesValues { blTop, blBottom, blLeft, blRight };
using TDockBoundLines = std::uint8_t;
constexpr TDockBoundLines BoundLineBit(TDockBoundLinesValues v) {
    return static_cast<TDockBoundLines>(1u << v);
}

enum TToolWindowDockMode { dmCanFloat, dmCannotFloat, dmCannotFloatOrChangeDocks };

enum TDragHandleStyle { dhDouble, dhNone, dhSingle };

enum TBorderStyle97 { bsNone97, bsSingle97 };

// The border of a floating window being dragged to resize it.
enum TToolWindowSizeHandle {
    twshLeft,
    twshRight,
    twshTop,
    twshTopLeft,
    twshTopRight,
    twshBottom,
    twshBottomLeft,
    twshBottomRight
};

}  // namespace zb
