#pragma once
// The bar base class of toolbars and tool windows. A bar sits on a dock (with a thin frame and
// a drag handle at the start of its row) or floats in a small window of its own. Its controls
// live in its client area. A press on the handle or the free client area starts a drag, a
// double click floats or docks the bar.

#include <QColor>
#include <QList>
#include <QPoint>
#include <QPointer>
#include <QSize>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>

#include "dock/core/BarFrameMetrics.h"
#include "dock/core/DockTypes.h"
#include "dock/core/TDockBarItem.h"

namespace zb {

class TDock97;
class TBarClientArea97;
class TFloatingWindow97;
class TBarDrag97;

class TCustomToolWindow97 : public QWidget {
    Q_OBJECT
public:
    // The parent is a dock (the bar docks there) or the form (the bar floats). Anything else
    // raises EInvalidOperation.
    explicit TCustomToolWindow97(QWidget* parent);
    ~TCustomToolWindow97() override;

    // Where the bar's controls go.
    QWidget* ClientArea() const;

    int DockRow() const;
    void SetDockRow(int value);
    int DockPos() const;
    void SetDockPos(int value);
    bool FullSize() const;
    void SetFullSize(bool value);
    // Places the bar on a dock; nullptr makes it float on its form.
    TDock97* DockedTo() const { return FDock; }
    void SetDockedTo(TDock97* dock);
    bool Floating() const { return FDock == nullptr; }
    TFloatingWindow97* FloatingWindow() const { return FFloatWin; }
    // The form the bar belongs to: where it floats and whose docks it may be dragged to.
    QWidget* Form() const { return FForm; }

    TToolWindowDockMode DockMode() const { return FDockMode; }
    void SetDockMode(TToolWindowDockMode value) { FDockMode = value; }
    TDockPositions DockableTo() const { return FDockableTo; }
    void SetDockableTo(TDockPositions value) { FDockableTo = value; }
    TBorderStyle97 BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle97 value);
    TDragHandleStyle DragHandleStyle() const { return FDragHandleStyle; }
    void SetDragHandleStyle(TDragHandleStyle value);
    bool CloseButtonWhenDocked() const { return FCloseButtonWhenDocked; }
    void SetCloseButtonWhenDocked(bool value);
    bool CloseButton() const { return FCloseButton; }
    void SetCloseButton(bool value);
    bool ShowCaption() const { return FShowCaption; }
    void SetShowCaption(bool value);
    bool Resizable() const { return FResizable; }
    void SetResizable(bool value) { FResizable = value; }
    bool ActivateParent() const { return FActivateParent; }
    void SetActivateParent(bool value) { FActivateParent = value; }
    bool HideWhenInactive() const { return FHideWhenInactive; }
    void SetHideWhenInactive(bool value) { FHideWhenInactive = value; }
    bool UseLastDock() const { return FUseLastDock; }
    void SetUseLastDock(bool value) { FUseLastDock = value; }
    QColor Color() const { return FColor; }
    void SetColor(const QColor& value);
    TDock97* LastDock() const;
    void SetLastDock(TDock97* dock);
    TDock97* DefaultDock() const;
    void SetDefaultDock(TDock97* dock);
    QString Caption() const { return windowTitle(); }
    void SetCaption(const QString& value);
    // Top-left of the floating window in screen coordinates.
    QPoint FloatingPosition() const { return FFloatingPosition; }
    void SetFloatingPosition(QPoint value);

    // Further forms whose docks the bar may be dragged to.
    void AddDockForm(QWidget* form);
    void RemoveDockForm(QWidget* form);
    QList<QWidget*> DockForms() const;

    // The bar's own visibility (on its dock, or its floating window).
    void setVisible(bool visible) override;
    bool BarVisible() const { return FBarVisible; }

    // Starts dragging: grab is the press position relative to the bar's window rectangle (the
    // bar on a dock, the floating window when floating), ctrl whether Ctrl is held.
    void BeginMoving(QPoint grab, QPoint globalCursor, bool ctrl);
    TBarDrag97* ActiveDrag() const { return FDrag; }
    // The window rectangle a drag starts from, in screen coordinates.
    QRect WindowRectOnScreen() const;
    // Floats a docked bar, or docks a floating one (LastDock, else DefaultDock at the front of
    // row 0).
    void DoubleClickAction();
    // Moves the floating window wholly into the work area of its screen.
    void KeepOnScreen();

    // Thickness across a row of the dock type.
    virtual int GetBarSize(TDockType dockType) const = 0;
    // Client size of the layout the bar takes on the dock (nullptr: floating).
    virtual QSize ClientSizeFor(TDockType dockType, const TDock97* dock) const = 0;
    // Outer size docked (client plus frame) or floating (client plus floating window frame).
    QSize OuterSizeFor(TDockType dockType, const TDock97* dock) const;
    TFrameMargins DockedMargins(TDockType dockType) const;

    // Floating-window resize protocol (called while a border of the floating window is dragged).
    virtual void ResizeBegin(TToolWindowSizeHandle handle);
    virtual QRect ResizeTrack(const QRect& dragged, const QRect& start);
    virtual void ResizeEnd(bool accept);

    // The rectangle of the docked close button in bar coordinates (empty without one).
    QRect DockedCloseButtonRect() const;

    std::function<void(TCustomToolWindow97* sender)> OnClose;
    std::function<void(TCustomToolWindow97* sender)> OnDockChanged;
    // A context menu was asked for on the bar's grip or frame (docked), its floating window's
    // caption, or a free spot of its client area; globalPos is where it should open. Without a
    // handler the request goes on to the bar's parent (its dock).
    std::function<void(TCustomToolWindow97* sender, QPoint globalPos)> OnContextMenu;

    TDockBarItem& DockItem();
    static TCustomToolWindow97* FromItem(TDockBarItem* item);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

    // Puts a new bar on its dock or floats it; the derived constructors call it last, once the
    // bar can answer for its sizes.
    void InitialPlacement();
    // Lays the controls out for the current placement (toolbars).
    virtual void ArrangeControls() {}
    // Client-area hooks: a control joined or left; paint behind the controls.
    virtual void ControlAdded(QWidget*) {}
    virtual void ControlRemoved(QObject*) {}
    virtual void PaintClient(QPainter&) {}
    // The bar's needed size may have changed: the dock arranges again, the floating window
    // takes the new size.
    void SizeChanged();
    // Puts the client area inside the current frame.
    void PlaceClientArea();
    bool Arranging() const { return FArranging > 0; }
    // A press on the client area (not on a child control) or on the frame.
    void HandlePress(QMouseEvent* event, QPoint posInBar);
    int RowThickness() const;

private:
    friend class TBarClientArea97;
    friend class TFloatingWindow97;
    friend class TBarDrag97;
    friend class TDock97;
    class Item;

    void FinishDrag(bool drop);
    // Moves the bar to another parent keeping its own visibility (Qt hides a reparented
    // widget, which must not count as the bar being hidden).
    void Reparent(QWidget* parent);
    void DockDestroyed();
    void FloatingWindowDestroyed() { FFloatWin = nullptr; }
    void PlaceOnDock(const TRect& bounds);
    void ShowFloating();

    std::unique_ptr<Item> FItem;
    TBarClientArea97* FClient = nullptr;
    TDock97* FDock = nullptr;
    QPointer<QWidget> FForm;
    TFloatingWindow97* FFloatWin = nullptr;
    TBarDrag97* FDrag = nullptr;
    QList<QPointer<QWidget>> FDockForms;
    QPointer<TDock97> FLastDock;
    QPointer<TDock97> FDefaultDock;
    TToolWindowDockMode FDockMode = dmCanFloat;
    TDockPositions FDockableTo = AllDockPositions;
    TBorderStyle97 FBorderStyle = bsSingle97;
    TDragHandleStyle FDragHandleStyle = dhDouble;
    bool FCloseButtonWhenDocked = false;
    bool FCloseButton = true;
    bool FShowCaption = true;
    bool FResizable = true;
    bool FActivateParent = true;
    bool FHideWhenInactive = true;
    bool FUseLastDock = true;
    QColor FColor;
    QPoint FFloatingPosition;
    bool FHasFloatingPosition = false;
    bool FBarVisible = true;
    bool FReparenting = false;
    bool FAloneOnRow = false;  // had a row of its own when it last left a dock
    bool FClosePressed = false;
    bool FCloseHot = false;
    int FArranging = 0;
};

}  // namespace zb
