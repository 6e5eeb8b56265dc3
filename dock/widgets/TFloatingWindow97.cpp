#include "dock/widgets/TFloatingWindow97.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "dock/core/BarFrameMetrics.h"
#include "dock/widgets/Accessible97.h"
#include "dock/widgets/Paint97.h"
#include "dock/widgets/TCustomToolWindow97.h"

namespace zb {

namespace {
constexpr int kCornerReach = 12;  // how far along an edge a corner's resize area reaches
}

TFloatingWindow97::TFloatingWindow97(TCustomToolWindow97* bar, QWidget* owner)
    : QWidget(nullptr), FBar(bar) {
    InstallAccessible97();
    // A window does not inherit its owner's font and palette unless asked to, and the bar's
    // controls take theirs from this window while the bar floats. The attribute counts when
    // the parent is set, so it comes first.
    setAttribute(Qt::WA_WindowPropagation);
    setParent(owner, Qt::Tool | Qt::FramelessWindowHint);
    setMouseTracking(true);
    setAttribute(Qt::WA_DeleteOnClose, false);
}

TFloatingWindow97::~TFloatingWindow97() {
    if (FBar) FBar->FloatingWindowDestroyed();
}

void TFloatingWindow97::HostBar() {
    if (!FBar) return;
    if (FBar->parentWidget() != this) FBar->Reparent(this);
    FBar->setGeometry(ClientRectInWindow());
}

void TFloatingWindow97::SetClientSize(QSize client) {
    const TFrameMargins m = TFloatingFrame::Margins();
    resize(client.width() + m.Horizontal(), client.height() + m.Vertical());
    if (FBar && FBar->parentWidget() == this) FBar->setGeometry(ClientRectInWindow());
}

QRect TFloatingWindow97::ClientRectInWindow() const {
    const TFrameMargins m = TFloatingFrame::Margins();
    return rect().adjusted(m.left, m.top, -m.right, -m.bottom);
}

QRect TFloatingWindow97::CaptionRect() const {
    const int b = TFloatingFrame::Border;
    return QRect(b, b, width() - 2 * b, TFloatingFrame::Caption);
}

QRect TFloatingWindow97::CloseButtonRect() const {
    if (!FBar || !FBar->CloseButton()) return {};
    const QRect caption = CaptionRect();
    const int size = TFloatingFrame::Caption - 4;
    return QRect(caption.right() - 1 - size, caption.top() + 2, size, size);
}

std::optional<TToolWindowSizeHandle> TFloatingWindow97::BorderAt(QPoint pos) const {
    if (!FBar || !FBar->Resizable() || !rect().contains(pos)) return std::nullopt;
    const int b = TFloatingFrame::Border;
    const bool left = pos.x() < b, right = pos.x() >= width() - b;
    const bool top = pos.y() < b, bottom = pos.y() >= height() - b;
    const bool nearLeft = pos.x() < kCornerReach, nearRight = pos.x() >= width() - kCornerReach;
    const bool nearTop = pos.y() < kCornerReach, nearBottom = pos.y() >= height() - kCornerReach;
    if ((top && nearLeft) || (left && nearTop)) return twshTopLeft;
    if ((top && nearRight) || (right && nearTop)) return twshTopRight;
    if ((bottom && nearLeft) || (left && nearBottom)) return twshBottomLeft;
    if ((bottom && nearRight) || (right && nearBottom)) return twshBottomRight;
    if (left) return twshLeft;
    if (right) return twshRight;
    if (top) return twshTop;
    if (bottom) return twshBottom;
    return std::nullopt;
}

void TFloatingWindow97::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (FBar && FBar->parentWidget() == this) FBar->setGeometry(ClientRectInWindow());
}

void TFloatingWindow97::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    // The bar remembers where it floated.
    if (FBar && FBar->Floating()) {
        FBar->FFloatingPosition = pos();
        FBar->FHasFloatingPosition = true;
    }
}

void TFloatingWindow97::paintEvent(QPaintEvent*) {
    using namespace paint97;
    QPainter p(this);
    const QPalette& pal = palette();
    const QColor face = FBar ? FBar->Color() : Face(pal);
    p.fillRect(rect(), face);
    QRect r = DrawEdge(p, rect(), RaisedOuter, RaisedInner, pal, false);
    FrameRect(p, r, face);
    if (!FBar) return;
    const QRect caption = CaptionRect();
    if (FBar->ShowCaption()) {
        p.fillRect(caption.adjusted(0, 0, 0, -1), pal.color(QPalette::Highlight));
        QFont font = p.font();
        font.setPixelSize(TFloatingFrame::Caption - 4);
        p.setFont(font);
        p.setPen(pal.color(QPalette::HighlightedText));
        QRect text = caption.adjusted(3, 0, -3, -1);
        if (!CloseButtonRect().isEmpty()) text.setRight(CloseButtonRect().left() - 2);
        p.drawText(text, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine,
                   p.fontMetrics().elidedText(FBar->Caption(), Qt::ElideRight, text.width()));
    }
    if (!CloseButtonRect().isEmpty())
        DrawCloseButton(p, CloseButtonRect(), FClosePressed && FCloseHot, pal);
}

void TFloatingWindow97::mousePressEvent(QMouseEvent* event) {
    if (!FBar || event->button() != Qt::LeftButton) return;
    const QPoint pos = event->position().toPoint();
    if (CloseButtonRect().contains(pos)) {
        FClosePressed = FCloseHot = true;
        update();
        return;
    }
    if (const auto handle = BorderAt(pos)) {
        FResizing = true;
        FHandle = *handle;
        FStartRect = frameGeometry();
        FStartCursor = event->globalPosition().toPoint();
        FBar->ResizeBegin(FHandle);
        return;
    }
    FBar->BeginMoving(pos, event->globalPosition().toPoint(),
                      event->modifiers().testFlag(Qt::ControlModifier));
}

void TFloatingWindow97::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (FResizing && FBar) {
        const QPoint d = event->globalPosition().toPoint() - FStartCursor;
        QRect dragged = FStartRect;
        if (FHandle == twshLeft || FHandle == twshTopLeft || FHandle == twshBottomLeft)
            dragged.setLeft(dragged.left() + d.x());
        if (FHandle == twshRight || FHandle == twshTopRight || FHandle == twshBottomRight)
            dragged.setRight(dragged.right() + d.x());
        if (FHandle == twshTop || FHandle == twshTopLeft || FHandle == twshTopRight)
            dragged.setTop(dragged.top() + d.y());
        if (FHandle == twshBottom || FHandle == twshBottomLeft || FHandle == twshBottomRight)
            dragged.setBottom(dragged.bottom() + d.y());
        setGeometry(FBar->ResizeTrack(dragged, FStartRect));
        return;
    }
    if (FClosePressed) {
        const bool hot = CloseButtonRect().contains(pos);
        if (hot != FCloseHot) {
            FCloseHot = hot;
            update();
        }
        return;
    }
    // Resize cursors over the borders.
    Qt::CursorShape shape = Qt::ArrowCursor;
    if (const auto handle = BorderAt(pos)) {
        switch (*handle) {
            case twshLeft:
            case twshRight:
                shape = Qt::SizeHorCursor;
                break;
            case twshTop:
            case twshBottom:
                shape = Qt::SizeVerCursor;
                break;
            case twshTopLeft:
            case twshBottomRight:
                shape = Qt::SizeFDiagCursor;
                break;
            case twshTopRight:
            case twshBottomLeft:
                shape = Qt::SizeBDiagCursor;
                break;
        }
    }
    setCursor(shape);
}

void TFloatingWindow97::EndResize(bool accept) {
    if (!FResizing) return;
    FResizing = false;
    if (!FBar) return;
    if (!accept) setGeometry(FStartRect);
    FBar->ResizeEnd(accept);
    FBar->KeepOnScreen();
}

void TFloatingWindow97::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    if (FResizing) {
        EndResize(true);
        return;
    }
    if (FClosePressed) {
        FClosePressed = false;
        const bool inside = CloseButtonRect().contains(event->position().toPoint());
        update();
        if (inside && FBar) {
            TCustomToolWindow97* bar = FBar;
            bar->hide();
            if (bar->OnClose) bar->OnClose(bar);
        }
    }
}

void TFloatingWindow97::mouseDoubleClickEvent(QMouseEvent* event) {
    if (!FBar || event->button() != Qt::LeftButton) return;
    const QPoint pos = event->position().toPoint();
    if (CaptionRect().contains(pos) && !CloseButtonRect().contains(pos)) FBar->DoubleClickAction();
}

void TFloatingWindow97::keyPressEvent(QKeyEvent* event) {
    if (FResizing && event->key() == Qt::Key_Escape) {
        EndResize(false);
        return;
    }
    QWidget::keyPressEvent(event);
}

void TFloatingWindow97::contextMenuEvent(QContextMenuEvent* event) {
    // The caption is the floating bar's grip.
    if (!FBar || !FBar->OnContextMenu) {
        event->ignore();
        return;
    }
    event->accept();
    FBar->OnContextMenu(FBar, event->globalPos());
}

void TFloatingWindow97::closeEvent(QCloseEvent* event) {
    // Closing the window hides the bar; the window itself stays with it.
    event->ignore();
    if (FBar) {
        TCustomToolWindow97* bar = FBar;
        bar->hide();
        if (bar->OnClose) bar->OnClose(bar);
    }
}

}  // namespace zb
