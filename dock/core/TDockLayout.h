#pragma once
// The row model of a dock: which bars it holds, their rows and positions, the arrangement that
// lays them out in rows and gives the dock its thickness, and the row hit tests used when a bar
// is dropped. Plain geometry only; the dock widget feeds it and applies its results.

#include <functional>
#include <vector>

#include "dock/core/DockTypes.h"
#include "dock/core/Geometry.h"
#include "dock/core/TDockBarItem.h"

namespace zb {

class TDockLayout {
public:
    TDockPosition Position = dpTop;
    bool FixAlign = false;
    bool LimitToOneRow = false;
    bool Designing = false;  // hidden bars count, an empty dock keeps 9 pixels
    bool Loading = false;    // arrangement waits until loading ends

    // Host hooks. ClientLength: the dock's client length along its rows. SetOuterThickness:
    // the dock's new outer thickness. BorderThickness: outer minus client thickness.
    // BringToFront: raise the dock among its siblings. OnInsertRemoveBar: a bar joined or left
    // the visible list.
    std::function<int()> ClientLength;
    std::function<void(int)> SetOuterThickness;
    int BorderThickness = 0;
    std::function<void()> BringToFront;
    std::function<void(bool inserting, TDockBarItem* bar)> OnInsertRemoveBar;

    bool IsVertical() const { return Position == dpLeft || Position == dpRight; }
    TDockType DockType() const { return GetDockTypeOf(Position); }

    void ArrangeToolbars(bool commitPositions);
    void BeginUpdate() { ++UpdateCount; }
    void EndUpdate();

    void ChangeDockList(bool insert, TDockBarItem* bar);
    void ToolbarVisibilityChanged(TDockBarItem* bar, bool forceRemove);
    // A bar is being destroyed: forget it without arranging or notifying.
    void Forget(TDockBarItem* bar);

    int GetHighestRow() const;
    int GetRowSize(int row, const TDockBarItem* bar) const;
    int GetNumberOfToolbarsOnRow(int row, const TDockBarItem* notThisBar) const;
    void InsertRowBefore(int row);
    // Row under an across-coordinate while dragging; before = open a new row before it.
    int GetRowOf(int pos, bool& before) const;
    int GetDesignModeRowOf(int pos) const;
    bool HasVisibleToolbars() const;
    bool Contains(const TDockBarItem* bar) const;

    // Puts a dropped bar on the row under the outline's across centre (opening a row where
    // needed) at the outline's along start, then arranges with the fitted positions committed.
    // The outline is in the dock's client coordinates; the bar must already be in the dock list.
    void DropBar(TDockBarItem* bar, const TRect& outline);

    const std::vector<TDockBarItem*>& DockList() const { return FDockList; }
    const std::vector<TDockBarItem*>& VisibleList() const { return FVisibleList; }
    const std::vector<int>& RowSizes() const { return FRowSizes; }
    int UpdateCount = 0;
    bool ArrangePending = false;
    bool CommitPositionsFlag = false;

private:
    bool CountsAsVisible(const TDockBarItem* bar) const;
    void BuildRowInfo();
    void RemoveBlankRows();
    void SortLists();
    void GiveFullSizeBarsOwnRows();
    std::vector<TDockBarItem*> BarsOnRow(int row) const;
    std::size_t IndexOf(const TDockBarItem* bar) const;
    void PushApartPreferredPositions(int highest);
    std::vector<int> FittedPositions(int highest, int clientLength) const;
    int PlaceRows(int highest, const std::vector<int>& fitted, int clientLength);

    std::vector<TDockBarItem*> FDockList;
    std::vector<TDockBarItem*> FVisibleList;
    std::vector<int> FRowSizes;
};

}  // namespace zb
