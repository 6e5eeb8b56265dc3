#include "dock/core/TDockLayout.h"

#include <algorithm>

namespace zb {

namespace {

// A row is as thick as its thickest bar plus the bars' docked frames (2 pixels on each side),
// and at least MinRowSize plus the frames.
constexpr int RowFrame = 4;
constexpr int MinRowSize = 8;
// The thickness of a dock without visible bars: while designing, with FixAlign, otherwise.
constexpr int DesigningEmptyThickness = 9;
constexpr int FixAlignEmptyThickness = 1;
// While dragging, an across position this close to a row's start opens a new row before it.
constexpr int NewRowBand = 5;

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
        size = std::max({size, b->GetBarSize(DockType()), MinRowSize});
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

// A bar that spans the row and shares it gets a row of its own: the bars after it move down.
void TDockLayout::GiveFullSizeBarsOwnRows() {
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
}

std::vector<TDockBarItem*> TDockLayout::BarsOnRow(int row) const {
    std::vector<TDockBarItem*> bars;
    for (TDockBarItem* b : FDockList)
        if (b->DockRow == row && CountsAsVisible(b)) bars.push_back(b);
    return bars;
}

std::size_t TDockLayout::IndexOf(const TDockBarItem* bar) const {
    return static_cast<std::size_t>(std::find(FDockList.begin(), FDockList.end(), bar) -
                                    FDockList.begin());
}

// Preferred positions: overlapping bars are pushed apart towards the far end.
void TDockLayout::PushApartPreferredPositions(int highest) {
    const bool vertical = IsVertical();
    for (int row = 0; row <= highest; ++row) {
        int edge = 0;
        for (TDockBarItem* b : BarsOnRow(row)) {
            if (b->FullSize) {
                b->DockPos = 0;
                continue;
            }
            if (b->DockPos <= edge) b->DockPos = edge;
            edge = b->DockPos + b->GetDockedLength(vertical);
        }
    }
}

// Fitted positions (per bar of the dock list): the bars of each row pulled back from the far
// end so they fit the client length, then kept from overlapping from the start.
std::vector<int> TDockLayout::FittedPositions(int highest, int clientLength) const {
    const bool vertical = IsVertical();
    std::vector<int> fitted(FDockList.size());
    for (std::size_t i = 0; i < FDockList.size(); ++i)
        fitted[i] = FDockList[i]->DockPos;
    for (int row = 0; row <= highest; ++row) {
        std::vector<TDockBarItem*> bars;
        for (TDockBarItem* b : BarsOnRow(row))
            if (!b->FullSize) bars.push_back(b);
        int edge = clientLength;
        for (auto it = bars.rbegin(); it != bars.rend(); ++it) {
            int& pos = fitted[IndexOf(*it)];
            edge -= (*it)->GetDockedLength(vertical);
            if (edge < pos) pos = edge;
            edge = pos;
        }
        edge = 0;
        for (TDockBarItem* b : bars) {
            int& pos = fitted[IndexOf(b)];
            if (pos <= edge) pos = edge;
            edge = pos + b->GetDockedLength(vertical);
        }
    }
    return fitted;
}

// Places the bars row after row at their fitted positions; answers the rows' total thickness.
int TDockLayout::PlaceRows(int highest, const std::vector<int>& fitted, int clientLength) {
    const bool vertical = IsVertical();
    int offset = 0;
    for (int row = 0; row <= highest; ++row) {
        const int thickness = FRowSizes[row] == 0 ? 0 : FRowSizes[row] + RowFrame;
        for (TDockBarItem* b : BarsOnRow(row)) {
            const int along = b->FullSize ? 0 : fitted[IndexOf(b)];
            const int length = b->FullSize ? clientLength : b->GetDockedLength(vertical);
            b->PlaceOnDock(vertical ? TRect::FromSize(offset, along, thickness, length)
                                    : TRect::FromSize(along, offset, length, thickness));
        }
        offset += thickness;
    }
    return offset;
}

void TDockLayout::ArrangeToolbars(bool commitPositions) {
    if (commitPositions) CommitPositionsFlag = true;
    if (UpdateCount > 0 || Loading) {
        ArrangePending = true;
        return;
    }
    ArrangeGuard guard(*this);
    if (BringToFront && !Designing) BringToFront();
    if (!HasVisibleToolbars()) {
        FRowSizes.clear();
        if (SetOuterThickness)
            SetOuterThickness(Designing ? DesigningEmptyThickness
                                        : (FixAlign ? FixAlignEmptyThickness : 0));
        return;
    }
    if (LimitToOneRow)
        for (TDockBarItem* b : FDockList)
            b->DockRow = 0;
    RemoveBlankRows();
    SortLists();
    GiveFullSizeBarsOwnRows();
    BuildRowInfo();

    const int highest = GetHighestRow();
    PushApartPreferredPositions(highest);
    const int clientLength = ClientLength ? ClientLength() : 0;
    const std::vector<int> fitted = FittedPositions(highest, clientLength);
    if (CommitPositionsFlag)
        for (std::size_t i = 0; i < FDockList.size(); ++i)
            FDockList[i]->DockPos = fitted[i];
    const int thickness = PlaceRows(highest, fitted, clientLength);
    if (SetOuterThickness) SetOuterThickness(thickness + BorderThickness);
}

int TDockLayout::GetRowOf(int pos, bool& before) const {
    before = false;
    const int highest = GetHighestRow();
    int top = 0;
    for (int row = 0; row <= highest + 1; ++row) {
        const bool exists = row < static_cast<int>(FRowSizes.size()) && row <= highest;
        if (exists && FRowSizes[row] == 0) continue;
        if (pos - top < NewRowBand) {
            before = true;
            return row;
        }
        if (!exists) return row;  // the band after the last row has no end
        const int end = top + FRowSizes[row] + RowFrame;
        if (pos < end - NewRowBand) return row;
        top = end;
    }
    return highest + 1;
}

int TDockLayout::GetDesignModeRowOf(int pos) const {
    int total = 0;
    for (int row = 0; row < static_cast<int>(FRowSizes.size()); ++row) {
        if (FRowSizes[row] == 0) continue;
        total += FRowSizes[row] + RowFrame;
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
