#include "dock/core/TToolbarLayout.h"

#include <algorithm>
#include <climits>

namespace zb {

namespace {

// The thinnest a bar gets across its line, and the length of a bar without controls.
constexpr int MinBarSize = 8;
constexpr int EmptyBarLength = 8;
// Extra room across between wrapped lines of groups, where the line separator is drawn.
constexpr int WrappedGroupGap = 6;

// Controls between separators; a separator ends the group it is in.
struct Group {
    std::vector<std::size_t> Members;
    int SumWidth = 0, SumHeight = 0;
    bool EndsWithSeparator = false;
};

std::vector<Group> GroupShownItems(const std::vector<TToolbarLayoutItem>& items,
                                   const std::vector<bool>& shown) {
    std::vector<Group> groups;
    bool startNew = true;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (!shown[i]) continue;
        if (startNew) groups.emplace_back();
        Group& g = groups.back();
        g.Members.push_back(i);
        startNew = items[i].IsSeparator;
        g.EndsWithSeparator = items[i].IsSeparator;
        if (!items[i].IsSeparator) {
            g.SumWidth += items[i].Width;
            g.SumHeight += items[i].Height;
        }
    }
    return groups;
}

// Where a floating bar wraps: never narrower than the widest control plus both along margins,
// so the first control of every line fits. No wrapping on a dock or without a wrap width.
int WrapWidth(const std::vector<TToolbarLayoutItem>& items, const std::vector<bool>& shown,
              bool floating, int floatRightX, const TToolbarMargins& m) {
    if (!floating || floatRightX == 0) return INT_MAX;
    int widestControl = 0;
    for (std::size_t i = 0; i < items.size(); ++i)
        if (shown[i] && !items[i].IsSeparator)
            widestControl = std::max(widestControl, items[i].Width);
    return std::max(floatRightX, widestControl + m.AlongStart + m.AlongEnd);
}

// Places the groups one after the other along the line, wrapping a floating bar's groups (and
// controls that still do not fit) onto new lines, and measures the extent they take.
class ControlPlacer {
public:
    ControlPlacer(const std::vector<TToolbarLayoutItem>& items, TDockType dockType, int floatRightX,
                  int rowSize, TToolbarLayoutResult& result)
        : FItems(items),
          FResult(result),
          FVertical(dockType == dtLeftRight),
          FCanWrap(dockType == dtNotDocked),
          FMargins(ToolbarMargins(FCanWrap)),
          FWrapWidth(WrapWidth(items, result.Shown, FCanWrap, floatRightX, FMargins)),
          FBarSize(TToolbarLayout::GetBarSize(items, dockType)),
          FRowThickness(rowSize > 0 ? rowSize : FBarSize),
          FAcross(FMargins.AcrossStart),
          FAlong(FMargins.AlongStart),
          FWidest(FAlong),
          FWidestBeforeSeparator(FWidest) {}

    void PlaceAll() {
        const std::vector<Group> groups = GroupShownItems(FItems, FResult.Shown);
        for (std::size_t gi = 0; gi < groups.size(); ++gi) {
            if (GroupMustWrap(groups[gi])) WrapBeforeGroup(groups, gi);
            FForceWrap = false;
            FWidest = std::max(FWidest, FAlong);
            for (std::size_t i : groups[gi].Members)
                PlaceItem(i);
        }
        if (groups.empty()) FWidest = FAlong + EmptyBarLength;
    }

    TSize ClientSize() const {
        const int alongExtent = FWidest + FMargins.AlongEnd;
        const int acrossExtent = FAcross + FBarSize + FMargins.AcrossEnd;
        return FVertical ? TSize{acrossExtent, alongExtent} : TSize{alongExtent, acrossExtent};
    }

private:
    int LengthOf(const TToolbarLayoutItem& item) const {
        if (item.IsSeparator) return FVertical ? item.SizeVert : item.SizeHorz;
        return FVertical ? item.Height : item.Width;
    }

    bool GroupMustWrap(const Group& g) const {
        const int groupLength = FVertical ? g.SumHeight : g.SumWidth;
        return FCanWrap && (FForceWrap || FAlong + groupLength + FMargins.AlongEnd > FWrapWidth);
    }

    // A new line for the group. The separator that ended the group before takes no room; it is
    // drawn as a line between the two lines instead.
    void WrapBeforeGroup(const std::vector<Group>& groups, std::size_t gi) {
        FAlong = FMargins.AlongStart;
        if (gi == 0) return;
        FAcross += FBarSize + WrappedGroupGap;
        if (!groups[gi - 1].EndsWithSeparator) return;
        FWidest = FWidestBeforeSeparator;
        const std::size_t sep = groups[gi - 1].Members.back();
        TRect& b = FResult.Bounds[sep];
        b.right = b.left;
        FResult.LineSeparators.push_back({FAcross, FItems[sep].Blank});
    }

    void PlaceItem(std::size_t i) {
        const TToolbarLayoutItem& item = FItems[i];
        const int length = LengthOf(item);
        if (FCanWrap && !item.IsSeparator && FAlong + length + FMargins.AlongEnd > FWrapWidth) {
            // A control that does not fit starts a new line, and so does the group after it.
            FAlong = FMargins.AlongStart;
            FAcross += FBarSize;
            FForceWrap = true;
        }
        if (item.IsSeparator) FWidestBeforeSeparator = FWidest;
        FResult.Bounds[i] = BoundsAt(item);
        FResult.Placed[i] = true;
        FAlong += length;
        FWidest = std::max(FWidest, FAlong);
    }

    // A separator spans the line's thickness; a control is centred across it.
    TRect BoundsAt(const TToolbarLayoutItem& item) const {
        if (!FVertical) {
            if (item.IsSeparator)
                return TRect::FromSize(FAlong, FAcross, item.SizeHorz, FRowThickness);
            return TRect::FromSize(FAlong, FAcross + (FRowThickness - item.Height) / 2, item.Width,
                                   item.Height);
        }
        if (item.IsSeparator) return TRect::FromSize(FAcross, FAlong, FRowThickness, item.SizeVert);
        return TRect::FromSize(FAcross + (FRowThickness - item.Width) / 2, FAlong, item.Width,
                               item.Height);
    }

    const std::vector<TToolbarLayoutItem>& FItems;
    TToolbarLayoutResult& FResult;
    const bool FVertical;
    const bool FCanWrap;
    const TToolbarMargins FMargins;
    const int FWrapWidth;
    const int FBarSize;
    const int FRowThickness;
    int FAcross;
    int FAlong;
    int FWidest;
    int FWidestBeforeSeparator;
    bool FForceWrap = false;
};

}  // namespace

TToolbarMargins ToolbarMargins(bool floating) {
    if (floating) return {2, 1, 4, 4};
    return {0, 0, 0, 0};
}

bool TToolbarLayout::ShownIn(const TToolbarLayoutItem& item, bool vertical) {
    switch (item.ShowIn) {
        case TShowIn::HorizontalOnly:
            return !vertical;
        case TShowIn::VerticalOnly:
            return vertical;
        case TShowIn::Both:
            return item.Visible;
    }
    return item.Visible;
}

int TToolbarLayout::GetBarSize(const std::vector<TToolbarLayoutItem>& items, TDockType dockType) {
    const bool vertical = dockType == dtLeftRight;
    int size = 0;
    for (const auto& item : items)
        if (!item.IsSeparator && ShownIn(item, vertical))
            size = std::max(size, vertical ? item.Width : item.Height);
    return std::max(size, MinBarSize);
}

TToolbarLayoutResult TToolbarLayout::OrderControls(const std::vector<TToolbarLayoutItem>& items,
                                                   bool canMoveControls, TDockType dockType,
                                                   int floatRightX, int rowSize) {
    TToolbarLayoutResult result;
    result.Bounds.resize(items.size());
    result.Placed.assign(items.size(), false);
    result.Shown.resize(items.size());
    for (std::size_t i = 0; i < items.size(); ++i)
        result.Shown[i] = ShownIn(items[i], dockType == dtLeftRight);
    ControlPlacer placer(items, dockType, floatRightX, rowSize, result);
    placer.PlaceAll();
    if (!canMoveControls) result.LineSeparators.clear();
    result.ClientSize = placer.ClientSize();
    return result;
}

}  // namespace zb
