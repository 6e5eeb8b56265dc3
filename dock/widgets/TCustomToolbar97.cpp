#include "dock/widgets/TCustomToolbar97.h"

#include <QEvent>
#include <QPainter>

#include "dock/core/EInvalidOperation.h"
#include "dock/widgets/Paint97.h"
#include "dock/widgets/QtGeometry97.h"
#include "dock/widgets/TDock97.h"
#include "dock/widgets/TFloatingWindow97.h"
#include "dock/widgets/TToolbarSep97.h"

namespace zb {

namespace {

// Visible now, or will be once its (hidden) parent is shown.
bool WillBeVisible(const QWidget* w) {
    if (!w->isHidden()) return true;
    return !w->testAttribute(Qt::WA_WState_ExplicitShowHide) && !w->parentWidget()->isVisible();
}

}  // namespace

TCustomToolbar97::TCustomToolbar97(QWidget* parent) : TCustomToolWindow97(parent) {
    InitialPlacement();
}

TCustomToolbar97::~TCustomToolbar97() {
    for (QWidget* w : FOrder.Items())
        w->removeEventFilter(this);
}

TDockType TCustomToolbar97::CurrentDockType() const {
    if (!DockedTo()) return dtNotDocked;
    return DockedTo()->IsVertical() ? dtLeftRight : dtTopBottom;
}

std::vector<TToolbarLayoutItem> TCustomToolbar97::Items() const {
    std::vector<TToolbarLayoutItem> items;
    for (QWidget* w : FOrder.Items()) {
        TToolbarLayoutItem item;
        if (auto* sep = qobject_cast<TToolbarSep97*>(w)) {
            item.IsSeparator = true;
            item.Blank = sep->Blank();
            item.SizeHorz = sep->SizeHorz();
            item.SizeVert = sep->SizeVert();
        }
        item.Width = w->width();
        item.Height = w->height();
        item.Visible = WillBeVisible(w);
        for (const auto& [horizontal, vertical] : FSlaves) {
            if (horizontal == w) item.ShowIn = TShowIn::HorizontalOnly;
            if (vertical == w) item.ShowIn = TShowIn::VerticalOnly;
        }
        items.push_back(item);
    }
    return items;
}

TToolbarLayoutResult TCustomToolbar97::Layout(bool canMove, TDockType dockType, const TDock97* dock,
                                              int floatRightX) const {
    const int rowSize = (dock && dock == DockedTo()) ? dock->GetRowSize(DockRow(), this) : 0;
    return TToolbarLayout::OrderControls(Items(), canMove, dockType, floatRightX, rowSize);
}

QSize TCustomToolbar97::OrderControls(bool canMoveControls, TDockType dockType,
                                      const TDock97* dock) {
    const TToolbarLayoutResult r = Layout(canMoveControls, dockType, dock, FFloatRightX);
    if (canMoveControls) {
        ++FMoving;
        const auto& controls = FOrder.Items();
        for (std::size_t i = 0; i < controls.size(); ++i) {
            for (const auto& [horizontal, vertical] : FSlaves)
                if (controls[i] == horizontal || controls[i] == vertical)
                    controls[i]->setVisible(r.Shown[i]);
            if (r.Placed[i]) controls[i]->setGeometry(ToQRect(r.Bounds[i]));
        }
        FLineSeparators = r.LineSeparators;
        ClientArea()->update();
        --FMoving;
    }
    return ToQSize(r.ClientSize);
}

int TCustomToolbar97::GetBarSize(TDockType dockType) const {
    return TToolbarLayout::GetBarSize(Items(), dockType);
}

QSize TCustomToolbar97::ClientSizeFor(TDockType dockType, const TDock97* dock) const {
    return ToQSize(Layout(false, dockType, dock, FFloatRightX).ClientSize);
}

void TCustomToolbar97::ArrangeControls() {
    OrderControls(true, CurrentDockType(), DockedTo());
}

void TCustomToolbar97::ArrangeControlsNow() {
    FArrangeScheduled = false;
    if (Arranging()) return;
    if (DockedTo() || FloatingWindow())
        SizeChanged();
    else
        ArrangeControls();
}

void TCustomToolbar97::ScheduleArrange() {
    if (FArrangeScheduled) return;
    FArrangeScheduled = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (FArrangeScheduled) ArrangeControlsNow();
        },
        Qt::QueuedConnection);
}

void TCustomToolbar97::ControlAdded(QWidget* control) {
    FOrder.Append(control);
    control->installEventFilter(this);
    // The control is still being built; lay out once it is complete.
    ScheduleArrange();
}

void TCustomToolbar97::ControlRemoved(QObject* control) {
    // Only the address is compared: the control may be half destroyed.
    for (QWidget* w : FOrder.Items()) {
        if (static_cast<QObject*>(w) == control) {
            FOrder.Remove(w);
            break;
        }
    }
    for (auto& [horizontal, vertical] : FSlaves) {
        if (horizontal == control) horizontal = nullptr;
        if (vertical == control) vertical = nullptr;
    }
    ScheduleArrange();
}

bool TCustomToolbar97::eventFilter(QObject* watched, QEvent* event) {
    if (FMoving == 0 && watched->isWidgetType()) {
        switch (event->type()) {
            case QEvent::Show:
            case QEvent::Hide:
            case QEvent::Resize:
                ScheduleArrange();
                break;
            default:
                break;
        }
    }
    return TCustomToolWindow97::eventFilter(watched, event);
}

void TCustomToolbar97::SetFloatingWidth(int width) {
    if (width == FFloatRightX) return;
    FFloatRightX = width;
    if (!DockedTo()) ArrangeControlsNow();
}

void TCustomToolbar97::SetSlaveControl(QWidget* horizontal, QWidget* vertical) {
    FSlaves.emplace_back(horizontal, vertical);
    ScheduleArrange();
}

int TCustomToolbar97::GetOrderIndex(QWidget* control) const {
    const int index = FOrder.IndexOf(control);
    if (index < 0)
        throw EInvalidOperation("Control '" +
                                (control ? control->objectName().toStdString() : std::string()) +
                                "' is not a child of the toolbar");
    return index;
}

void TCustomToolbar97::SetOrderIndex(QWidget* control, int index) {
    GetOrderIndex(control);
    if (FOrder.Move(control, index)) ArrangeControlsNow();
}

void TCustomToolbar97::SortOrderByPosition() {
    const bool vertical = CurrentDockType() == dtLeftRight;
    FOrder.SortBy([vertical](QWidget* const& w) { return vertical ? w->y() : w->x(); });
    ArrangeControlsNow();
}

QList<QWidget*> TCustomToolbar97::OrderList() const {
    return QList<QWidget*>(FOrder.Items().begin(), FOrder.Items().end());
}

std::vector<TSize> TCustomToolbar97::BuildPotentialSizesList() const {
    auto measure = [this](int wrap) {
        return Layout(false, dtNotDocked, nullptr, wrap).ClientSize;
    };
    return zb::BuildPotentialSizesList(measure, GetBarSize(dtTopBottom) + 8);
}

void TCustomToolbar97::ResizeBegin(TToolWindowSizeHandle handle) {
    FFloatRightXBeforeResize = FFloatRightX;
    const TFrameMargins m = TFloatingFrame::Margins();
    const QSize current =
        FloatingWindow() ? FloatingWindow()->size() : OuterSizeFor(dtNotDocked, nullptr);
    FTracker.ResizeBegin(handle, BuildPotentialSizesList(), {m.Horizontal(), m.Vertical()},
                         m.Horizontal(), ToTSize(current));
}

QRect TCustomToolbar97::ResizeTrack(const QRect& dragged, const QRect& start) {
    if (!FTracker.Active()) return start;
    const QRect r = ToQRect(FTracker.ResizeTrack(ToTRect(dragged), ToTRect(start)));
    // The controls follow the size being shown.
    FFloatRightX = FTracker.WrapWidth();
    ArrangeControls();
    return r;
}

void TCustomToolbar97::ResizeEnd(bool accept) {
    const int wrap = FTracker.ResizeEnd(accept);
    FFloatRightX = wrap >= 0 ? wrap : FFloatRightXBeforeResize;
    ArrangeControlsNow();
}

void TCustomToolbar97::PaintClient(QPainter& p) {
    const QPalette& pal = palette();
    const int w = ClientArea()->width();
    for (const TLineSeparatorInfo& line : FLineSeparators) {
        if (line.Blank) continue;
        p.fillRect(QRect(1, line.Across - 4, w - 2, 1), paint97::Shadow(pal));
        p.fillRect(QRect(1, line.Across - 3, w - 2, 1), paint97::Highlight(pal));
    }
}

}  // namespace zb
