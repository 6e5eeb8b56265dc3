#pragma once
// A dock: a strip along one edge of a form that holds toolbars and tool windows in rows and
// takes exactly the thickness its rows need. The row rules live in TDockLayout; this widget
// feeds it, places the bars it arranges, aligns itself to its parent's edge (unless a Qt layout
// manages it) and paints its background and bound lines.

#include <QColor>
#include <QList>
#include <QPixmap>
#include <QRect>
#include <QString>
#include <QWidget>
#include <functional>

#include "dock/core/DockTypes.h"
#include "dock/core/TDockLayout.h"

namespace zb {

class TCustomToolWindow97;

class TDock97 : public QWidget {
    Q_OBJECT
public:
    // The parent is the form (or any widget that is neither a bar nor inside one, nor a dock).
    explicit TDock97(QWidget* parent, TDockPosition position = dpTop);
    ~TDock97() override;

    bool AllowDrag() const { return FAllowDrag; }
    void SetAllowDrag(bool value);
    const QPixmap& Background() const { return FBackground; }
    void SetBackground(const QPixmap& value);
    bool BackgroundOnToolbars() const { return FBackgroundOnToolbars; }
    void SetBackgroundOnToolbars(bool value);
    bool BackgroundTransparent() const { return FBackgroundTransparent; }
    void SetBackgroundTransparent(bool value);
    TDockBoundLines BoundLines() const { return FBoundLines; }
    void SetBoundLines(TDockBoundLines value);
    QColor Color() const { return FColor; }
    void SetColor(const QColor& value);
    bool FixAlign() const { return FLayout.FixAlign; }
    void SetFixAlign(bool value);
    bool LimitToOneRow() const { return FLayout.LimitToOneRow; }
    void SetLimitToOneRow(bool value);
    TDockPosition Position() const { return FLayout.Position; }
    // Only while the dock holds no controls; otherwise raises EInvalidOperation.
    void SetPosition(TDockPosition value);
    QString Version() const;
    void SetVersion(const QString&) {}

    // A bar became visible on, or left, the dock.
    std::function<void(TDock97* sender, bool inserting, TCustomToolWindow97* bar)>
        OnInsertRemoveBar;
    // Asked while a bar is dragged over the dock; clearing accept refuses it.
    std::function<void(TDock97* sender, TCustomToolWindow97* bar, bool& accept)> OnRequestDock;
    // The dock's size changed.
    std::function<void(TDock97* sender)> OnResize;
    // A context menu was asked for on the dock's free area (or on a bar without a handler of
    // its own); globalPos is where it should open.
    std::function<void(TDock97* sender, QPoint globalPos)> OnContextMenu;

    void ArrangeToolbars(bool commitPositions) { FLayout.ArrangeToolbars(commitPositions); }
    void BeginUpdate() { FLayout.BeginUpdate(); }
    void EndUpdate() { FLayout.EndUpdate(); }
    int GetHighestRow() const { return FLayout.GetHighestRow(); }
    int GetRowSize(int row, const TCustomToolWindow97* bar) const;
    int GetNumberOfToolbarsOnRow(int row, const TCustomToolWindow97* notThisBar) const;
    void InsertRowBefore(int row) { FLayout.InsertRowBefore(row); }
    int GetRowOf(int pos, bool& before) const { return FLayout.GetRowOf(pos, before); }
    int GetDesignModeRowOf(int pos) const { return FLayout.GetDesignModeRowOf(pos); }
    bool HasVisibleToolbars() const { return FLayout.HasVisibleToolbars(); }
    // Every bar that has this dock as its dock, in arrangement order.
    QList<TCustomToolWindow97*> Bars() const;
    const TDockLayout& Layout() const { return FLayout; }
    TDockLayout& Layout() { return FLayout; }

    // The client rectangle (inside the bound lines) in the dock's coordinates.
    QRect ClientRect() const;
    int ClientLength() const;
    // The dock's outer thickness as last arranged.
    int Thickness() const { return FThickness; }
    bool IsVertical() const { return FLayout.IsVertical(); }

    // Lays out the self-aligned docks of a form along its edges (top docks first, then bottom,
    // then left and right between them) and returns the rectangle that remains.
    static QRect AlignDocks(QWidget* form);

    // Used by the bars.
    void ChangeDockList(bool insert, TCustomToolWindow97* bar);
    void ToolbarVisibilityChanged(TCustomToolWindow97* bar, bool forceRemove);
    void ForgetBar(TCustomToolWindow97* bar);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool ManagedByLayout() const;
    void ApplyThickness(int outer);
    void RefreshBars();

    TDockLayout FLayout;
    bool FAllowDrag = true;
    QPixmap FBackground;
    bool FBackgroundOnToolbars = true;
    bool FBackgroundTransparent = false;
    TDockBoundLines FBoundLines = 0;
    QColor FColor;
    int FThickness = 0;
    int FLastClientLength = -1;
    bool FAligning = false;
};

}  // namespace zb
