#include "dock/core/TToolbarLayout.h"

#include <algorithm>
#include <climits>

namespace zb {

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
    return std::max(size, 8);
}

TToolbarLayoutResult TToolbarLayout::OrderControls(const std::vector<TToolbarLayoutItem>& items,
                                                   bool canMoveControls, TDockType dockType,
                                                   int floatRightX, int rowSize) {
    const bool vertical = dockType == dtLeftRight;
    const bool floating = dockType == dtNotDocked;
    const TToolbarMargins m = ToolbarMargins(floating);
    TToolbarLayoutResult result;
    result.Bounds.resize(items.size());
    result.Placed.assign(items.size(), false);
    result.Shown.resize(items.size());
    for (std::size_t i = 0; i < items.size(); ++i)
        result.Shown[i] = ShownIn(items[i], vertical);

    // Wrap width: never narrower than the widest control plus both along margins, so the first
    // control of every line fits.
    int wrapWidth = INT_MAX;
    if (floating && floatRightX != 0) {
        int widestControl = 0;
        for (std::size_t i = 0; i < items.size(); ++i)
            if (result.Shown[i] && !items[i].IsSeparator)
                widestControl = std::max(widestControl, items[i].Width);
        wrapWidth = std::max(floatRightX, widestControl + 8);
    }
    const bool canWrap = floating;
    const int barSize = GetBarSize(items, dockType);
    const int rowThickness = rowSize > 0 ? rowSize : barSize;

    // Groups: a separator ends the group it is in.
    struct Group {
        std::vector<std::size_t> members;
        int sumWidth = 0, sumHeight = 0;
        bool endsWithSeparator = false;
    };
    std::vector<Group> groups;
    bool startNew = true;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (!result.Shown[i]) continue;
        if (startNew) groups.emplace_back();
        startNew = false;
        Group& g = groups.back();
        g.members.push_back(i);
        if (items[i].IsSeparator) {
            g.endsWithSeparator = true;
            startNew = true;
        } else {
            g.sumWidth += items[i].Width;
            g.sumHeight += items[i].Height;
        }
    }

    int across = m.AcrossStart;
    int along = m.AlongStart;
    int widest = along;
    int widestBeforeSeparator = widest;
    bool forceWrap = false;
    for (std::size_t gi = 0; gi < groups.size(); ++gi) {
        const Group& g = groups[gi];
        const int groupLength = vertical ? g.sumHeight : g.sumWidth;
        if (canWrap && (forceWrap || along + groupLength + m.AlongEnd > wrapWidth)) {
            along = m.AlongStart;
            if (gi != 0) across += barSize + 6;
            if (gi != 0 && groups[gi - 1].endsWithSeparator) {
                widest = widestBeforeSeparator;
                const std::size_t sep = groups[gi - 1].members.back();
                TRect& b = result.Bounds[sep];
                b.right = b.left;  // the separator that caused the wrap takes no room
                result.LineSeparators.push_back({across, items[sep].Blank});
            }
        }
        forceWrap = false;
        widest = std::max(widest, along);
        for (std::size_t i : g.members) {
            const TToolbarLayoutItem& item = items[i];
            const int length = item.IsSeparator ? (vertical ? item.SizeVert : item.SizeHorz)
                                                : (vertical ? item.Height : item.Width);
            if (canWrap && !item.IsSeparator && along + length + m.AlongEnd > wrapWidth) {
                along = m.AlongStart;
                across += barSize;
                forceWrap = true;
            }
            if (item.IsSeparator) widestBeforeSeparator = widest;
            TRect& b = result.Bounds[i];
            if (!vertical) {
                if (item.IsSeparator)
                    b = TRect::FromSize(along, across, item.SizeHorz, rowThickness);
                else
                    b = TRect::FromSize(along, across + (rowThickness - item.Height) / 2,
                                        item.Width, item.Height);
            } else {
                if (item.IsSeparator)
                    b = TRect::FromSize(across, along, rowThickness, item.SizeVert);
                else
                    b = TRect::FromSize(across + (rowThickness - item.Width) / 2, along, item.Width,
                                        item.Height);
            }
            result.Placed[i] = true;
            along += length;
            widest = std::max(widest, along);
        }
    }
    if (groups.empty()) widest = along + 8;
    if (!canMoveControls) result.LineSeparators.clear();

    const int alongExtent = widest + m.AlongEnd;
    const int acrossExtent = across + barSize + m.AcrossEnd;
    result.ClientSize =
        vertical ? TSize{acrossExtent, alongExtent} : TSize{alongExtent, acrossExtent};
    return result;
}

}  // namespace zb
