#include "dock/widgets/TDock97.h"

#include <QContextMenuEvent>
#include <QEvent>
#include <QLayout>
#include <QPainter>
#include <QResizeEvent>

#include "dock/core/DockAlignment.h"
#include "dock/core/EInvalidOperation.h"
#include "dock/widgets/Paint97.h"
#include "dock/widgets/QtGeometry97.h"
#include "dock/widgets/TCustomToolWindow97.h"

namespace zb {

namespace {

QWidget* CheckedDockParent(QWidget* parent) {
    for (const QWidget* w = parent; w; w = w->parentWidget())
        if (qobject_cast<const TDock97*>(w) || qobject_cast<const TCustomToolWindow97*>(w))
            throw EInvalidOperation(
                "A TDock97 control cannot be placed inside a tool window or another TDock97");
    return parent;
}

}  // namespace

TDock97::TDock97(QWidget* parent, TDockPosition position) : QWidget(CheckedDockParent(parent)) {
    FLayout.Position = position;
    FColor = palette().color(QPalette::Button);
    FLayout.ClientLength = [this] { return ClientLength(); };
    FLayout.SetOuterThickness = [this](int outer) { ApplyThickness(outer); };
    FLayout.BringToFront = [this] { raise(); };
    FLayout.OnInsertRemoveBar = [this](bool inserting, TDockBarItem* item) {
        if (!OnInsertRemoveBar) return;
        if (TCustomToolWindow97* bar = TCustomToolWindow97::FromItem(item))
            OnInsertRemoveBar(this, inserting, bar);
    };
    if (parent) parent->installEventFilter(this);
    if (parent) show();
    FLayout.ArrangeToolbars(false);
}

TDock97::~TDock97() {
    // The bars still on the dock are deleted with it; they must not call back.
    for (TCustomToolWindow97* bar : Bars())
        bar->DockDestroyed();
}

QString TDock97::Version() const {
    return QStringLiteral("Zunbarra dock 1.0");
}

void TDock97::SetAllowDrag(bool value) {
    FAllowDrag = value;
    RefreshBars();
}
void TDock97::SetBackground(const QPixmap& value) {
    FBackground = value;
    RefreshBars();
}
void TDock97::SetBackgroundOnToolbars(bool value) {
    FBackgroundOnToolbars = value;
    RefreshBars();
}
void TDock97::SetBackgroundTransparent(bool value) {
    FBackgroundTransparent = value;
    update();
}
void TDock97::SetBoundLines(TDockBoundLines value) {
    if (FBoundLines == value) return;
    FBoundLines = value;
    FLayout.BorderThickness = BoundLinesThickness(value, IsVertical());
    FLayout.ArrangeToolbars(false);
    update();
}
void TDock97::SetColor(const QColor& value) {
    FColor = value;
    update();
}
void TDock97::SetFixAlign(bool value) {
    if (FLayout.FixAlign == value) return;
    FLayout.FixAlign = value;
    FLayout.ArrangeToolbars(false);
}
void TDock97::SetLimitToOneRow(bool value) {
    FLayout.LimitToOneRow = value;
    FLayout.ArrangeToolbars(false);
}

void TDock97::SetPosition(TDockPosition value) {
    if (value == FLayout.Position) return;
    for (QObject* child : children())
        if (child->isWidgetType())
            throw EInvalidOperation(
                "Cannot change Position of a TDock97 if it already contains controls");
    FLayout.Position = value;
    FLayout.ArrangeToolbars(false);
    if (!ManagedByLayout() && parentWidget()) AlignDocks(parentWidget());
}

void TDock97::RefreshBars() {
    update();
    for (TCustomToolWindow97* bar : Bars()) {
        bar->update();
        bar->ClientArea()->update();
    }
}

int TDock97::GetRowSize(int row, const TCustomToolWindow97* bar) const {
    return FLayout.GetRowSize(row,
                              bar ? &const_cast<TCustomToolWindow97*>(bar)->DockItem() : nullptr);
}

int TDock97::GetNumberOfToolbarsOnRow(int row, const TCustomToolWindow97* notThisBar) const {
    return FLayout.GetNumberOfToolbarsOnRow(
        row, notThisBar ? &const_cast<TCustomToolWindow97*>(notThisBar)->DockItem() : nullptr);
}

QList<TCustomToolWindow97*> TDock97::Bars() const {
    QList<TCustomToolWindow97*> bars;
    for (TDockBarItem* item : FLayout.DockList())
        if (TCustomToolWindow97* bar = TCustomToolWindow97::FromItem(item)) bars.append(bar);
    return bars;
}

void TDock97::ChangeDockList(bool insert, TCustomToolWindow97* bar) {
    FLayout.ChangeDockList(insert, &bar->DockItem());
}

void TDock97::ToolbarVisibilityChanged(TCustomToolWindow97* bar, bool forceRemove) {
    FLayout.ToolbarVisibilityChanged(&bar->DockItem(), forceRemove);
}

void TDock97::ForgetBar(TCustomToolWindow97* bar) {
    FLayout.Forget(&bar->DockItem());
    // Close the gap once the bar is gone.
    QMetaObject::invokeMethod(
        this, [this] { FLayout.ArrangeToolbars(false); }, Qt::QueuedConnection);
}

QRect TDock97::ClientRect() const {
    return ToQRect(InsideBoundLines(ToTRect(rect()), FBoundLines));
}

int TDock97::ClientLength() const {
    const QRect r = ClientRect();
    return IsVertical() ? r.height() : r.width();
}

bool TDock97::ManagedByLayout() const {
    return parentWidget() && parentWidget()->layout() &&
           parentWidget()->layout()->indexOf(const_cast<TDock97*>(this)) >= 0;
}

void TDock97::ApplyThickness(int outer) {
    if (outer == FThickness && (IsVertical() ? width() : height()) == outer) return;
    FThickness = outer;
    if (ManagedByLayout()) {
        if (IsVertical())
            setFixedWidth(outer);
        else
            setFixedHeight(outer);
    } else if (parentWidget()) {
        AlignDocks(parentWidget());
    } else {
        if (IsVertical())
            resize(outer, height());
        else
            resize(width(), outer);
    }
}

QRect TDock97::AlignDocks(QWidget* form) {
    QList<TDock97*> docks;
    std::vector<TDockEdge> edges;
    for (QObject* child : form->children())
        if (auto* dock = qobject_cast<TDock97*>(child);
            dock && !dock->isHidden() && !dock->ManagedByLayout()) {
            docks.append(dock);
            edges.push_back({dock->Position(), dock->FThickness});
        }
    const TDockAlignment alignment = AlignDockEdges(ToTRect(form->rect()), edges);
    for (std::size_t i : alignment.Placement) {
        const QRect r = ToQRect(alignment.Bounds[i]);
        TDock97* dock = docks[static_cast<qsizetype>(i)];
        if (dock->geometry() != r) {
            dock->FAligning = true;
            dock->setGeometry(r);
            dock->FAligning = false;
        }
    }
    return ToQRect(alignment.Remaining);
}

bool TDock97::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize && !ManagedByLayout())
        AlignDocks(parentWidget());
    return QWidget::eventFilter(watched, event);
}

void TDock97::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int length = ClientLength();
    if (length != FLastClientLength) {
        FLastClientLength = length;
        FLayout.ArrangeToolbars(false);
    }
    if (OnResize && !FLayout.Loading) OnResize(this);
}

void TDock97::contextMenuEvent(QContextMenuEvent* event) {
    if (!OnContextMenu) {
        event->ignore();
        return;
    }
    event->accept();
    OnContextMenu(this, event->globalPos());
}

void TDock97::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (!FBackground.isNull())
        p.drawTiledPixmap(rect(), FBackground);
    else
        p.fillRect(rect(), FColor);
    const QPalette& pal = palette();
    const QRect r = rect();
    if (FBoundLines & BoundLineBit(blTop))
        p.fillRect(QRect(r.left(), r.top(), r.width(), 1), paint97::Shadow(pal));
    if (FBoundLines & BoundLineBit(blBottom))
        p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), paint97::Highlight(pal));
    if (FBoundLines & BoundLineBit(blLeft))
        p.fillRect(QRect(r.left(), r.top(), 1, r.height()), paint97::Shadow(pal));
    if (FBoundLines & BoundLineBit(blRight))
        p.fillRect(QRect(r.right(), r.top(), 1, r.height()), paint97::Highlight(pal));
}

}  // namespace zb
