#include "dock/core/TDockLayout.h"

#include <algorithm>

namespace zb {

namespace {

// Keeps the update counter raised and the flags set for the duration of one arrangement, and
// clears them however the arrangement ends.
class ArrangeGuard {
public:
    explicit ArrangeGuard(TDockLayout& dock) : FDock(dock) { ++FDock.UpdateCount; }
    ~ArrangeGuard() {
        --FDock.UpdateCount;
        FDock.ArrangePending = false;
        FDock.CommitPositionsFlag = false;
    }
    ArrangeGuard(const ArrangeGuard&) = delete;
    ArrangeGuard& operator=(const ArrangeGuard&) = delete;

private:
    TDockLayout& FDock;
};

}  // namespace

bool TDockLayout::CountsAsVisible(const TDockBarItem* bar) const {
    return Designing || bar->IsVisibleOnDock();
}

bool TDockLayout::Contains(const TDockBarItem* bar) const {
    return std::find(FDockList.begin(), FDockList.end(), bar) != FDockList.end();
}

void TDockLayout::EndUpdate() {
    if (UpdateCount <= 0) return;
    if (--UpdateCount == 0 && ArrangePending) ArrangeToolbars(CommitPositionsFlag);
}

void TDockLayout::ChangeDockList(bool insert, TDockBarItem* bar) {
    if (insert) {
        if (!Contains(bar)) FDockList.push_back(bar);
    } else {
        FDockList.erase(std::remove(FDockList.begin(), FDockList.end(), bar), FDockList.end());
    }
    ToolbarVisibilityChanged(bar, false);
}

void TDockLayout::ToolbarVisibilityChanged(TDockBarItem* bar, bool forceRemove) {
    const bool wanted = !forceRemove && Contains(bar) && bar->IsVisibleOnDock();
    const auto it = std::find(FVisibleList.begin(), FVisibleList.end(), bar);
    const bool present = it != FVisibleList.end();
    if (wanted == present) return;
    if (wanted)
        FVisibleList.push_back(bar);
    else
        FVisibleList.erase(it);
    ArrangeToolbars(false);
    if (OnInsertRemoveBar) OnInsertRemoveBar(wanted, bar);
}

void TDockLayout::Forget(TDockBarItem* bar) {
    FDockList.erase(std::remove(FDockList.begin(), FDockList.end(), bar), FDockList.end());
    FVisibleList.erase(std::remove(FVisibleList.begin(), FVisibleList.end(), bar),
                       FVisibleList.end());
}

int TDockLayout::GetHighestRow() const {
    int highest = -1;
    for (const TDockBarItem* b : FDockList)
        highest = std::max(highest, b->DockRow);
    return highest;
}

int TDockLayout::GetRowSize(int row, const TDockBarItem* bar) const {
    int size = (row >= 0 && row < static_cast<int>(FRowSizes.size())) ? FRowSizes[row] : 0;
    if (size == 0 && bar) size = bar->GetBarSize(DockType());
    return size;
}

int TDockLayout::GetNumberOfToolbarsOnRow(int row, const TDockBarItem* notThisBar) const {
    return static_cast<int>(std::count_if(FDockList.begin(), FDockList.end(), [&](auto* b) {
        return b != notThisBar && b->DockRow == row;
    }));
}

void TDockLayout::InsertRowBefore(int row) {
    for (TDockBarItem* b : FDockList)
        if (b->DockRow >= row) ++b->DockRow;
}

bool TDockLayout::HasVisibleToolbars() const {
    return std::any_of(FDockList.begin(), FDockList.end(),
                       [&](auto* b) { return CountsAsVisible(b); });
}

void TDockLayout::BuildRowInfo() {
    FRowSizes.assign(static_cast<std::size_t>(std::max(GetHighestRow() + 1, 0)), 0);
    for (const TDockBarItem* b : FDockList) {
        if (b->DockRow < 0 || !CountsAsVisible(b)) continue;
        int& size = FRowSizes[b->DockRow];
        size = std::max({size, b->GetBarSize(DockType()), 8});
    }
}

// Closes every row that no bar of the dock list uses, so rows stay numbered without gaps.
void TDockLayout::RemoveBlankRows() {
    int highest = GetHighestRow();
    int row = 0;
    while (row <= highest) {
        if (GetNumberOfToolbarsOnRow(row, nullptr) == 0) {
            for (TDockBarItem* b : FDockList)
                if (b->DockRow > row) --b->DockRow;
            --highest;
        } else {
            ++row;
        }
    }
}

void TDockLayout::SortLists() {
    auto less = [](const TDockBarItem* a, const TDockBarItem* b) {
        return a->DockRow != b->DockRow ? a->DockRow < b->DockRow : a->DockPos < b->DockPos;
    };
    std::stable_sort(FDockList.begin(), FDockList.end(), less);
    std::stable_sort(FVisibleList.begin(), FVisibleList.end(), less);
}

void TDockLayout::ArrangeToolbars(bool commitPositions) {
    if (commitPositions) CommitPositionsFlag = true;
    if (UpdateCount > 0 || Loading) {
        ArrangePending = true;
        return;
    }
    ArrangeGuard guard(*this);
    if (BringToFront && !Designing) BringToFront();
    const bool vertical = IsVertical();

    if (!HasVisibleToolbars()) {
        FRowSizes.clear();
        if (SetOuterThickness) SetOuterThickness(Designing ? 9 : (FixAlign ? 1 : 0));
        return;
    }
    if (LimitToOneRow)
        for (TDockBarItem* b : FDockList)
            b->DockRow = 0;
    RemoveBlankRows();
    SortLists();

    // Full-size bars take a row of their own.
    int highest = GetHighestRow();
    for (int row = 0; row <= highest; ++row) {
        for (TDockBarItem* bar : FDockList) {
            if (bar->DockRow != row || !bar->FullSize) continue;
            if (GetNumberOfToolbarsOnRow(row, bar) == 0) continue;
            for (TDockBarItem* other : FDockList)
                if (other != bar && other->DockRow >= row) ++other->DockRow;
            highest = GetHighestRow();
        }
    }
    BuildRowInfo();

    auto onRow = [&](int row) {
        std::vector<TDockBarItem*> bars;
        for (TDockBarItem* b : FDockList)
            if (b->DockRow == row && CountsAsVisible(b)) bars.push_back(b);
        return bars;
    };

    // Preferred positions: overlapping bars are pushed apart towards the far end.
    for (int row = 0; row <= highest; ++row) {
        int edge = 0;
        for (TDockBarItem* b : onRow(row)) {
            if (b->FullSize) {
                b->DockPos = 0;
                continue;
            }
            if (b->DockPos <= edge) b->DockPos = edge;
            edge = b->DockPos + b->GetDockedLength(vertical);
        }
    }

    // Fitted positions: pull bars back from the far end, then keep them from overlapping.
    const int clientLength = ClientLength ? ClientLength() : 0;
    std::vector<int> working(FDockList.size());
    for (std::size_t i = 0; i < FDockList.size(); ++i)
        working[i] = FDockList[i]->DockPos;
    auto indexOf = [&](const TDockBarItem* b) {
        return static_cast<std::size_t>(std::find(FDockList.begin(), FDockList.end(), b) -
                                        FDockList.begin());
    };
    for (int row = 0; row <= highest; ++row) {
        std::vector<TDockBarItem*> bars;
        for (TDockBarItem* b : onRow(row))
            if (!b->FullSize) bars.push_back(b);
        int edge = clientLength;
        for (auto it = bars.rbegin(); it != bars.rend(); ++it) {
            int& pos = working[indexOf(*it)];
            edge -= (*it)->GetDockedLength(vertical);
            if (edge < pos) pos = edge;
            edge = pos;
        }
        edge = 0;
        for (TDockBarItem* b : bars) {
            int& pos = working[indexOf(b)];
            if (pos <= edge) pos = edge;
            edge = pos + b->GetDockedLength(vertical);
        }
    }
    if (CommitPositionsFlag)
        for (std::size_t i = 0; i < FDockList.size(); ++i)
            FDockList[i]->DockPos = working[i];

    // Placement, row after row.
    int offset = 0;
    for (int row = 0; row <= highest; ++row) {
        const int thickness = FRowSizes[row] == 0 ? 0 : FRowSizes[row] + 4;
        for (TDockBarItem* b : onRow(row)) {
            const int along = b->FullSize ? 0 : working[indexOf(b)];
            const int length = b->FullSize ? clientLength : b->GetDockedLength(vertical);
            b->PlaceOnDock(vertical ? TRect::FromSize(offset, along, thickness, length)
                                    : TRect::FromSize(along, offset, length, thickness));
        }
        offset += thickness;
    }
    if (SetOuterThickness) SetOuterThickness(offset + BorderThickness);
}

int TDockLayout::GetRowOf(int pos, bool& before) const {
    before = false;
    const int highest = GetHighestRow();
    int top = 0;
    for (int row = 0; row <= highest + 1; ++row) {
        const bool exists = row < static_cast<int>(FRowSizes.size()) && row <= highest;
        if (exists && FRowSizes[row] == 0) continue;
        if (pos - top < 5) {
            before = true;
            return row;
        }
        if (!exists) return row;  // the band after the last row has no end
        const int end = top + FRowSizes[row] + 4;
        if (pos < end - 5) return row;
        top = end;
    }
    return highest + 1;
}

int TDockLayout::GetDesignModeRowOf(int pos) const {
    int total = 0;
    for (int row = 0; row < static_cast<int>(FRowSizes.size()); ++row) {
        if (FRowSizes[row] == 0) continue;
        total += FRowSizes[row] + 4;
        if (total > pos) return row;
    }
    return GetHighestRow() + 1;
}

void TDockLayout::DropBar(TDockBarItem* bar, const TRect& outline) {
    const bool vertical = IsVertical();
    const int across =
        vertical ? (outline.left + outline.right) / 2 : (outline.top + outline.bottom) / 2;
    bool before = false;
    int row = GetRowOf(across, before);
    if (before) {
        InsertRowBefore(row);
    } else if (bar->FullSize && GetNumberOfToolbarsOnRow(row, bar) > 0) {
        ++row;
        InsertRowBefore(row);
    }
    bar->DockRow = row;
    bar->DockPos = vertical ? outline.top : outline.left;
    if (!Contains(bar)) ChangeDockList(true, bar);
    ArrangeToolbars(true);
}

}  // namespace zb
