#pragma once
// The menu of the window's bars, opened by a right click on a bar's grip or on a dock's free
// area: every bar by its caption, checked while it is shown (choosing it shows or hides it, which
// also brings back a bar closed with its close button), then the Thumbnails window, then
// "Reset bar layout", which puts every bar back where it stood at start (dock, row, position,
// shown). The Thumbnails window goes back to its dock and place too but stays shown or hidden.

#include <QList>
#include <QPoint>
#include <QPointer>
#include <QSize>
#include <functional>
#include <vector>

class QMenu;
class QWidget;

namespace zb {

class TCustomToolWindow97;
class TDock97;
class TToolWindow97;

class BarMenu {
public:
    BarMenu() = default;
    BarMenu(const BarMenu&) = delete;
    BarMenu& operator=(const BarMenu&) = delete;

    // Records the bar's place as its place at start and opens the menu from its grip. The bars
    // are listed in the order they are added.
    void AddBar(TCustomToolWindow97* bar);
    // The Thumbnails window: listed apart, after the bars.
    void SetThumbnails(TToolWindow97* window);
    // Opens the menu from the dock's free area.
    void AddDock(TDock97* dock);

    // Shows or hides the Thumbnails window for its menu entry (default: shows or hides the bar).
    std::function<void(bool shown)> ShowThumbnails;

    // The menu as it would open now; the caller owns it.
    QMenu* Build(QWidget* parent);
    void Popup(QWidget* parent, QPoint globalPos);
    void ResetLayout();

private:
    struct Place {
        QPointer<TCustomToolWindow97> Bar;
        QPointer<TDock97> Dock;
        int Row = 0;
        int Pos = 0;
        bool Shown = true;
        QSize ClientSize;  // tool windows only
    };
    static Place Record(TCustomToolWindow97* bar);
    static void Restore(const Place& place, bool shown);
    void HookMenu(TCustomToolWindow97* bar);

    std::vector<Place> FBars;
    Place FThumbnails;
    QList<QPointer<TDock97>> FDocks;
};

}  // namespace zb
