#include "dock/widgets/TBarDrag97.h"

#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QStyleHints>

#include "dock/core/BarFrameMetrics.h"
#include "dock/widgets/QtGeometry97.h"
#include "dock/widgets/TCustomToolWindow97.h"
#include "dock/widgets/TDock97.h"
#include "dock/widgets/TDragOutline97.h"

namespace zb {

namespace {

TRect WorkAreaOf(TPoint p) {
    QScreen* screen = QGuiApplication::screenAt(ToQPoint(p));
    if (!screen) screen = QGuiApplication::primaryScreen();
    return screen ? ToTRect(screen->availableGeometry()) : TRect{};
}

}  // namespace

TBarDrag97::TBarDrag97(TCustomToolWindow97* bar, QPoint grab, bool ctrl)
    : FBar(bar), FOutline(std::make_unique<TDragOutline97>()) {
    const QRect window = bar->WindowRectOnScreen();
    FState.Begin(ToTPoint(grab), ToTSize(window.size()), ctrl);
    FState.CanFloat = bar->DockMode() == dmCanFloat;
    FState.FloatingBorder = TFloatingFrame::Border;
    FState.FloatingTopFrame = TFloatingFrame::Border;
    FState.WorkAreaOf = WorkAreaOf;
    FState.FloatingSize = ToTSize(bar->OuterSizeFor(dtNotDocked, nullptr));
    CollectDocks();
    for (const QPointer<TDock97>& guarded : FDocks) {
        TDock97* dock = guarded;
        TDragCandidate c;
        c.ScreenRect = ToTRect(QRect(dock->mapToGlobal(QPoint(0, 0)), dock->size()));
        c.Vertical = dock->IsVertical();
        const TDockType type = c.Vertical ? dtLeftRight : dtTopBottom;
        if (dock == bar->DockedTo()) {
            const TFrameMargins m = bar->DockedMargins(type);
            c.BarSize = {bar->ClientArea()->width() + m.Horizontal(),
                         bar->ClientArea()->height() + m.Vertical()};
        } else {
            c.BarSize = ToTSize(bar->OuterSizeFor(type, dock));
        }
        QPointer<TDock97> guardedDock = dock;
        QPointer<TCustomToolWindow97> guardedBar = bar;
        c.RequestDock = [guardedDock, guardedBar] {
            bool accept = true;
            if (guardedDock && guardedBar && guardedDock->OnRequestDock)
                guardedDock->OnRequestDock(guardedDock, guardedBar, accept);
            return accept && guardedDock;
        };
        FState.Docks.push_back(std::move(c));
    }
}

TBarDrag97::~TBarDrag97() {
    if (!FFinished) {
        qApp->removeEventFilter(this);
        if (FCursorOverridden) QGuiApplication::restoreOverrideCursor();
    }
}

void TBarDrag97::CollectDocks() {
    TCustomToolWindow97* bar = FBar;
    if (bar->DockMode() == dmCannotFloatOrChangeDocks) {
        if (bar->DockedTo()) FDocks.emplace_back(bar->DockedTo());
        return;
    }
    auto qualifies = [&](TDock97* dock) {
        return dock->AllowDrag() && InDockPositions(bar->DockableTo(), dock->Position());
    };
    std::function<void(QWidget*)> visit = [&](QWidget* control) {
        if (auto* dock = qobject_cast<TDock97*>(control); dock && qualifies(dock))
            FDocks.emplace_back(dock);
        QList<QWidget*> docks, others;
        for (QObject* child : control->children()) {
            auto* w = qobject_cast<QWidget*>(child);
            if (!w || w->isWindow() || !w->isVisible()) continue;
            (qobject_cast<TDock97*>(w) ? docks : others).append(w);
        }
        for (TDockPosition pos : {dpTop, dpBottom, dpLeft, dpRight})
            for (QWidget* w : docks)
                if (static_cast<TDock97*>(w)->Position() == pos) visit(w);
        for (QWidget* w : others)
            visit(w);
    };
    QWidget* parentForm = bar->Form() ? bar->Form()->window() : nullptr;
    if (parentForm && parentForm->isVisible()) visit(parentForm);
    QList<QWidget*> extra;
    for (QWidget* f : bar->DockForms())
        extra.append(f->window());
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top != parentForm && extra.contains(top) && top->isVisible()) visit(top);
}

TDock97* TBarDrag97::TargetDock() const {
    return FState.Target >= 0 ? FDocks[static_cast<std::size_t>(FState.Target)].data() : nullptr;
}

void TBarDrag97::Start(QPoint globalCursor) {
    // A floating bar may be pressed where it overlaps a dock, as in the first click of a double
    // click on its caption. Docking it on that click would send the second press to whatever
    // bar then lies under the cursor, so a floating bar stays put until the cursor leaves the
    // reach within which the toolkit pairs two clicks into a double click.
    if (FBar && FBar->Floating())
        FState.HoldUntilMoved(ToTPoint(globalCursor),
                              QGuiApplication::styleHints()->mouseDoubleClickDistance());
    qApp->installEventFilter(this);
    if (FBar && FBar->isVisible()) FBar->grabMouse();
    Update(globalCursor);
}

void TBarDrag97::Update(QPoint globalCursor) {
    FState.Update(ToTPoint(globalCursor));
    FOutline->ShowFrame(ToQRect(FState.Outline), FState.OutlineDocked ? 1 : TFloatingFrame::Border);
    if (FState.ShowNoCursor && !FCursorOverridden) {
        QGuiApplication::setOverrideCursor(Qt::ForbiddenCursor);
        FCursorOverridden = true;
    } else if (!FState.ShowNoCursor && FCursorOverridden) {
        QGuiApplication::restoreOverrideCursor();
        FCursorOverridden = false;
    }
}

bool TBarDrag97::eventFilter(QObject* watched, QEvent* event) {
    if (FFinished || !watched->isWidgetType()) return false;
    switch (event->type()) {
        case QEvent::ShortcutOverride:
            // Keep shortcuts from firing; the key itself comes next as a key press.
            event->accept();
            return true;
        case QEvent::KeyPress:
        case QEvent::KeyRelease: {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Escape) {
                Finish(false);
            } else if (key->key() == Qt::Key_Control) {
                const bool held = event->type() == QEvent::KeyPress;
                if (held != FState.NoDock) {
                    FState.NoDock = held;
                    Update(ToQPoint(FState.LastCursor));
                }
            }
            return true;
        }
        case QEvent::MouseMove:
            Update(static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
            return true;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) Finish(false);
            return true;
        case QEvent::MouseButtonRelease:
            if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
                Update(static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
                Finish(true);
            }
            return true;
        default:
            return false;
    }
}

void TBarDrag97::Finish(bool drop) {
    if (FFinished) return;
    FFinished = true;
    qApp->removeEventFilter(this);
    if (FBar && QWidget::mouseGrabber() == FBar) FBar->releaseMouse();
    FOutline->ShowFrame(QRect(), 1);
    if (FCursorOverridden) {
        QGuiApplication::restoreOverrideCursor();
        FCursorOverridden = false;
    }
    if (drop && FBar && !FState.Held && !FState.Outline.IsEmpty()) Drop();
    if (FBar) FBar->FinishDrag(drop);
    deleteLater();
}

void TBarDrag97::BarDestroyed() {
    FBar = nullptr;
    Finish(false);
}

void TBarDrag97::Drop() {
    TCustomToolWindow97* bar = FBar;
    if (TDock97* dock = TargetDock()) {
        const QPoint origin = dock->mapToGlobal(dock->ClientRect().topLeft());
        const QRect outline = ToQRect(FState.Outline).translated(-origin);
        dock->BeginUpdate();
        if (bar->DockedTo() != dock) bar->SetDockedTo(dock);
        dock->Layout().DropBar(&bar->DockItem(), ToTRect(outline));
        dock->EndUpdate();
        return;
    }
    bar->SetFloatingPosition(ToQPoint(FState.Outline.TopLeft()));
    if (bar->DockedTo()) bar->SetDockedTo(nullptr);
    bar->KeepOnScreen();
}

}  // namespace zb
