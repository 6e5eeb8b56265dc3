#include "dock/widgets/TCustomToolWindow97.h"

#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

#include "dock/core/EInvalidOperation.h"
#include "dock/widgets/Accessible97.h"
#include "dock/widgets/Paint97.h"
#include "dock/widgets/QtGeometry97.h"
#include "dock/widgets/TBarClientArea97.h"
#include "dock/widgets/TBarDrag97.h"
#include "dock/widgets/TDock97.h"
#include "dock/widgets/TFloatingWindow97.h"

namespace zb {

// The bar as its dock's row model sees it.
class TCustomToolWindow97::Item : public TDockBarItem {
public:
    explicit Item(TCustomToolWindow97* bar) : FBar(bar) {}
    bool IsVisibleOnDock() const override {
        return FBar->FDock && FBar->parentWidget() == FBar->FDock && FBar->FBarVisible;
    }
    int GetBarSize(TDockType dockType) const override { return FBar->GetBarSize(dockType); }
    int GetDockedLength(bool vertical) const override {
        if (!FBar->FDock) return 0;
        const QSize s =
            FBar->OuterSizeFor(FBar->FDock->IsVertical() ? dtLeftRight : dtTopBottom, FBar->FDock);
        return vertical ? s.height() : s.width();
    }
    void PlaceOnDock(const TRect& bounds) override { FBar->PlaceOnDock(bounds); }
    TCustomToolWindow97* Bar() const { return FBar; }

private:
    TCustomToolWindow97* FBar;
};

namespace {

bool IsInsideBar(const QWidget* w) {
    for (; w; w = w->parentWidget())
        if (qobject_cast<const TCustomToolWindow97*>(w)) return true;
    return false;
}

QWidget* CheckedBarParent(QWidget* parent) {
    if (!parent || qobject_cast<TDock97*>(parent)) return parent;
    bool insideDock = false;
    for (const QWidget* w = parent; w; w = w->parentWidget())
        if (qobject_cast<const TDock97*>(w)) insideDock = true;
    if (insideDock || IsInsideBar(parent))
        throw EInvalidOperation(
            "A tool window can only be placed on a TDock97 or directly on the form");
    return parent;
}

}  // namespace

TCustomToolWindow97::TCustomToolWindow97(QWidget* parent) : QWidget(CheckedBarParent(parent)) {
    InstallAccessible97();
    FItem = std::make_unique<Item>(this);
    FColor = palette().color(QPalette::Button);
    FClient = new TBarClientArea97(this);
    FClient->show();
    if (auto* dock = qobject_cast<TDock97*>(parent)) {
        FForm = dock->parentWidget();
        FDock = dock;
        FLastDock = dock;
    } else {
        FForm = parent;
    }
}

void TCustomToolWindow97::InitialPlacement() {
    if (FDock) {
        QWidget::setVisible(true);
        FDock->ChangeDockList(true, this);
    } else if (FForm) {
        // A bar put directly on the form floats.
        Reparent(nullptr);
        ShowFloating();
    }
}

TCustomToolWindow97::~TCustomToolWindow97() {
    if (FDrag) FDrag->BarDestroyed();
    if (FDock) {
        TDock97* dock = FDock;
        FDock = nullptr;
        dock->ForgetBar(this);
    }
    if (FFloatWin) {
        TFloatingWindow97* win = FFloatWin;
        FFloatWin = nullptr;
        win->BarDestroyed();
        win->hide();
        win->deleteLater();
    }
}

QWidget* TCustomToolWindow97::ClientArea() const {
    return FClient;
}
TDockBarItem& TCustomToolWindow97::DockItem() {
    return *FItem;
}
TCustomToolWindow97* TCustomToolWindow97::FromItem(TDockBarItem* item) {
    auto* own = dynamic_cast<Item*>(item);
    return own ? own->Bar() : nullptr;
}

int TCustomToolWindow97::DockRow() const {
    return FItem->DockRow;
}
void TCustomToolWindow97::SetDockRow(int value) {
    if (FItem->DockRow == value) return;
    FItem->DockRow = value;
    if (FDock) FDock->ArrangeToolbars(false);
}
int TCustomToolWindow97::DockPos() const {
    return FItem->DockPos;
}
void TCustomToolWindow97::SetDockPos(int value) {
    if (FItem->DockPos == value) return;
    FItem->DockPos = value;
    if (FDock) FDock->ArrangeToolbars(false);
}
bool TCustomToolWindow97::FullSize() const {
    return FItem->FullSize;
}
void TCustomToolWindow97::SetFullSize(bool value) {
    if (FItem->FullSize == value) return;
    FItem->FullSize = value;
    if (FDock) FDock->ArrangeToolbars(false);
}

void TCustomToolWindow97::SetBorderStyle(TBorderStyle97 value) {
    FBorderStyle = value;
    update();
}
void TCustomToolWindow97::SetDragHandleStyle(TDragHandleStyle value) {
    if (FDragHandleStyle == value) return;
    FDragHandleStyle = value;
    SizeChanged();
    PlaceClientArea();
    update();
}
void TCustomToolWindow97::SetCloseButtonWhenDocked(bool value) {
    if (FCloseButtonWhenDocked == value) return;
    FCloseButtonWhenDocked = value;
    SizeChanged();
    PlaceClientArea();
    update();
}
void TCustomToolWindow97::SetCloseButton(bool value) {
    FCloseButton = value;
    if (FFloatWin) FFloatWin->update();
}
void TCustomToolWindow97::SetShowCaption(bool value) {
    FShowCaption = value;
    if (FFloatWin) FFloatWin->update();
}
void TCustomToolWindow97::SetColor(const QColor& value) {
    FColor = value;
    update();
    FClient->update();
}
void TCustomToolWindow97::SetCaption(const QString& value) {
    setWindowTitle(value);
    if (FFloatWin) FFloatWin->update();
}
void TCustomToolWindow97::SetFloatingPosition(QPoint value) {
    FFloatingPosition = value;
    FHasFloatingPosition = true;
    if (FFloatWin) FFloatWin->move(value);
}

TDock97* TCustomToolWindow97::LastDock() const {
    return FLastDock;
}
void TCustomToolWindow97::SetLastDock(TDock97* dock) {
    FLastDock = dock;
}
TDock97* TCustomToolWindow97::DefaultDock() const {
    return FDefaultDock;
}
void TCustomToolWindow97::SetDefaultDock(TDock97* dock) {
    FDefaultDock = dock;
}

void TCustomToolWindow97::AddDockForm(QWidget* form) {
    if (form && !DockForms().contains(form)) FDockForms.append(form);
}
void TCustomToolWindow97::RemoveDockForm(QWidget* form) {
    FDockForms.removeAll(form);
}
QList<QWidget*> TCustomToolWindow97::DockForms() const {
    QList<QWidget*> forms;
    for (const auto& f : FDockForms)
        if (f) forms.append(f);
    return forms;
}

TFrameMargins TCustomToolWindow97::DockedMargins(TDockType dockType) const {
    return DockedFrameMargins(dockType, FDragHandleStyle, FCloseButtonWhenDocked);
}

QSize TCustomToolWindow97::OuterSizeFor(TDockType dockType, const TDock97* dock) const {
    const QSize client = ClientSizeFor(dockType, dock);
    if (dockType == dtNotDocked) return ToQSize(TFloatingFrame::OuterSize(ToTSize(client)));
    const TFrameMargins m = DockedMargins(dockType);
    return client + QSize(m.Horizontal(), m.Vertical());
}

int TCustomToolWindow97::RowThickness() const {
    if (!FDock) return 0;
    return FDock->GetRowSize(DockRow(), this);
}

void TCustomToolWindow97::Reparent(QWidget* parent) {
    FReparenting = true;
    setParent(parent);
    FReparenting = false;
    if (parent) QWidget::setVisible(FBarVisible);
}

void TCustomToolWindow97::setVisible(bool visible) {
    if (FReparenting) {
        QWidget::setVisible(visible);
        return;
    }
    FBarVisible = visible;
    if (FFloatWin && !FDock) {
        QWidget::setVisible(visible);
        FFloatWin->setVisible(visible);
        return;
    }
    QWidget::setVisible(visible);
    if (FDock) FDock->ToolbarVisibilityChanged(this, false);
}

void TCustomToolWindow97::PlaceOnDock(const TRect& bounds) {
    if (!FDock) return;
    ++FArranging;
    const QRect r = ToQRect(bounds).translated(FDock->ClientRect().topLeft());
    setGeometry(r);
    PlaceClientArea();
    ArrangeControls();
    update();
    --FArranging;
}

void TCustomToolWindow97::PlaceClientArea() {
    if (FDock) {
        const TFrameMargins m = DockedMargins(FDock->IsVertical() ? dtLeftRight : dtTopBottom);
        FClient->setGeometry(rect().adjusted(m.left, m.top, -m.right, -m.bottom));
    } else {
        FClient->setGeometry(rect());
    }
}

void TCustomToolWindow97::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    PlaceClientArea();
}

void TCustomToolWindow97::SizeChanged() {
    if (FArranging > 0) return;
    if (FDock) {
        FDock->ArrangeToolbars(false);
    } else if (FFloatWin) {
        ++FArranging;
        FFloatWin->SetClientSize(ClientSizeFor(dtNotDocked, nullptr));
        PlaceClientArea();
        ArrangeControls();
        --FArranging;
    }
}

void TCustomToolWindow97::ShowFloating() {
    if (!FFloatWin) {
        QWidget* owner = FForm ? FForm->window() : nullptr;
        FFloatWin = new TFloatingWindow97(this, owner);
    }
    if (!FHasFloatingPosition) {
        FFloatingPosition = isVisible() ? mapToGlobal(QPoint(0, 0)) : QPoint(0, 0);
        FHasFloatingPosition = true;
    }
    FFloatWin->HostBar();
    ++FArranging;
    FFloatWin->SetClientSize(ClientSizeFor(dtNotDocked, nullptr));
    FFloatWin->move(FFloatingPosition);
    PlaceClientArea();
    ArrangeControls();
    --FArranging;
    QWidget::setVisible(FBarVisible);
    FFloatWin->setVisible(FBarVisible);
}

void TCustomToolWindow97::SetDockedTo(TDock97* dock) {
    if (dock == FDock && (dock || FFloatWin)) return;
    TDock97* old = FDock;
    if (dock) {
        if (!FForm) FForm = dock->parentWidget();
        FDock = dock;
        FLastDock = dock;
        dock->BeginUpdate();
        if (old) old->ChangeDockList(false, this);
        Reparent(dock);
        dock->ChangeDockList(true, this);
        PlaceClientArea();
        if (FFloatWin) {
            TFloatingWindow97* win = FFloatWin;
            FFloatWin = nullptr;
            win->BarDestroyed();
            win->hide();
            win->deleteLater();
        }
        dock->EndUpdate();
    } else {
        if (!FHasFloatingPosition && isVisible()) {
            FFloatingPosition = mapToGlobal(QPoint(0, 0));
            FHasFloatingPosition = true;
        }
        if (old) {
            FAloneOnRow = old->GetNumberOfToolbarsOnRow(DockRow(), this) == 0;
            old->ChangeDockList(false, this);
        }
        FDock = nullptr;
        Reparent(nullptr);
        ShowFloating();
    }
    update();
    if (OnDockChanged) OnDockChanged(this);
}

void TCustomToolWindow97::DockDestroyed() {
    FDock = nullptr;
}

QRect TCustomToolWindow97::WindowRectOnScreen() const {
    if (FFloatWin && !FDock) return FFloatWin->frameGeometry();
    return QRect(mapToGlobal(QPoint(0, 0)), size());
}

QRect TCustomToolWindow97::DockedCloseButtonRect() const {
    if (!FDock || !FCloseButtonWhenDocked) return {};
    const TDockType type = FDock->IsVertical() ? dtLeftRight : dtTopBottom;
    const THandleGeometry g =
        DockedHandleGeometry(type, FDragHandleStyle, true, ToTSize(FClient->size()));
    return ToQRect(g.CloseButton);
}

void TCustomToolWindow97::KeepOnScreen() {
    if (!FFloatWin || FDock) return;
    QRect r = FFloatWin->frameGeometry();
    QScreen* screen = QGuiApplication::screenAt(r.center());
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect work = screen->availableGeometry();
    if (r.right() > work.right()) r.moveRight(work.right());
    if (r.bottom() > work.bottom()) r.moveBottom(work.bottom());
    if (r.left() < work.left()) r.moveLeft(work.left());
    if (r.top() < work.top()) r.moveTop(work.top());
    FFloatWin->move(r.topLeft());
    FFloatingPosition = r.topLeft();
    FHasFloatingPosition = true;
}

void TCustomToolWindow97::DoubleClickAction() {
    if (FDock) {
        if (FDockMode != dmCanFloat) return;
        SetDockedTo(nullptr);
        KeepOnScreen();
        return;
    }
    if (FLastDock) {
        // A bar that had a row of its own gets one again: its old row number may have been
        // closed and taken by the rows below while it floated.
        if (FAloneOnRow && FLastDock->GetNumberOfToolbarsOnRow(DockRow(), this) > 0)
            FLastDock->InsertRowBefore(DockRow());
        SetDockedTo(FLastDock);
    } else if (FDefaultDock) {
        FItem->DockRow = 0;
        FItem->DockPos = -8;
        SetDockedTo(FDefaultDock);
    }
}

void TCustomToolWindow97::BeginMoving(QPoint grab, QPoint globalCursor, bool ctrl) {
    if (FDrag) return;
    FDrag = new TBarDrag97(this, grab, ctrl);
    FDrag->Start(globalCursor);
}

void TCustomToolWindow97::FinishDrag(bool) {
    FDrag = nullptr;
}

void TCustomToolWindow97::HandlePress(QMouseEvent* event, QPoint posInBar) {
    if (event->button() != Qt::LeftButton) return;
    if (FDock && DockedCloseButtonRect().contains(posInBar)) {
        FClosePressed = true;
        FCloseHot = true;
        update();
        return;
    }
    if (FDock && !FDock->AllowDrag()) return;
    const QPoint grab = FDock ? posInBar : mapTo(FFloatWin, posInBar);
    BeginMoving(grab, event->globalPosition().toPoint(),
                event->modifiers().testFlag(Qt::ControlModifier));
}

void TCustomToolWindow97::mousePressEvent(QMouseEvent* event) {
    HandlePress(event, event->position().toPoint());
}

void TCustomToolWindow97::mouseMoveEvent(QMouseEvent* event) {
    if (!FClosePressed) return;
    const bool hot = DockedCloseButtonRect().contains(event->position().toPoint());
    if (hot != FCloseHot) {
        FCloseHot = hot;
        update();
    }
}

void TCustomToolWindow97::mouseReleaseEvent(QMouseEvent* event) {
    if (!FClosePressed || event->button() != Qt::LeftButton) return;
    FClosePressed = false;
    const bool inside = DockedCloseButtonRect().contains(event->position().toPoint());
    update();
    if (inside) {
        hide();
        if (OnClose) OnClose(this);
    }
}

void TCustomToolWindow97::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    if (DockedCloseButtonRect().contains(event->position().toPoint())) return;
    if (FDock && !FDock->AllowDrag()) return;
    DoubleClickAction();
}

void TCustomToolWindow97::contextMenuEvent(QContextMenuEvent* event) {
    if (!OnContextMenu) {
        event->ignore();
        return;
    }
    event->accept();
    OnContextMenu(this, event->globalPos());
}

void TCustomToolWindow97::ResizeBegin(TToolWindowSizeHandle) {}
QRect TCustomToolWindow97::ResizeTrack(const QRect&, const QRect& start) {
    return start;
}
void TCustomToolWindow97::ResizeEnd(bool) {}

void TCustomToolWindow97::paintEvent(QPaintEvent*) {
    if (!FDock) return;
    using namespace paint97;
    QPainter p(this);
    QPalette pal = palette();
    pal.setColor(QPalette::Button, FColor);
    const bool throughBackground = FDock->BackgroundOnToolbars() && !FDock->Background().isNull();
    const QRect r = rect();
    if (FBorderStyle == bsSingle97)
        DrawRing(p, r, RaisedInner, AllSides, pal);
    else
        FrameRect(p, r, FColor);
    if (!throughBackground) FrameRect(p, r.adjusted(1, 1, -1, -1), FColor);
    if (!FDock->AllowDrag()) return;

    const TDockType type = FDock->IsVertical() ? dtLeftRight : dtTopBottom;
    const THandleGeometry g = DockedHandleGeometry(type, FDragHandleStyle, FCloseButtonWhenDocked,
                                                   ToTSize(FClient->size()));
    const QRect handle = ToQRect(g.HandleArea);
    if (throughBackground)
        p.drawTiledPixmap(handle, FDock->Background(), mapTo(FDock, handle.topLeft()));
    else
        p.fillRect(handle, FColor);
    for (const TRect& grip : g.Grips) {
        const QRect gr = ToQRect(grip);
        DrawRing(p, gr, RaisedInner, AllSides, pal);
        p.fillRect(gr.adjusted(1, 1, -1, -1), FColor);
        // The grip's bottom-left pixel is lit, as on the grip's left side.
        if (type == dtTopBottom)
            p.fillRect(QRect(gr.left(), gr.bottom(), 1, 1), Highlight(pal));
        else
            p.fillRect(QRect(gr.right(), gr.top(), 1, 1), Highlight(pal));
    }
    if (FCloseButtonWhenDocked)
        DrawCloseButton(p, ToQRect(g.CloseButton), FClosePressed && FCloseHot, pal);
}

}  // namespace zb
