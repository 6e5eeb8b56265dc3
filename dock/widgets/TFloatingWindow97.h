#pragma once
// The small window a floating bar lives in: a border that resizes the bar when it is
// resizable, a caption with the bar's caption and a close button, kept on screen. Pressing the
// caption drags the bar; double-clicking it docks the bar again.

#include <QPoint>
#include <QRect>
#include <QWidget>
#include <optional>

#include "dock/core/DockTypes.h"

namespace zb {

class TCustomToolWindow97;

class TFloatingWindow97 : public QWidget {
    Q_OBJECT
public:
    TFloatingWindow97(TCustomToolWindow97* bar, QWidget* owner);
    ~TFloatingWindow97() override;

    TCustomToolWindow97* Bar() const { return FBar; }
    // Takes the bar in as its only content.
    void HostBar();
    // Sizes the window so that its client area has the given size.
    void SetClientSize(QSize client);
    QRect ClientRectInWindow() const;
    QRect CaptionRect() const;
    QRect CloseButtonRect() const;
    // The border under a point (window coordinates), if the bar may be resized there.
    std::optional<TToolWindowSizeHandle> BorderAt(QPoint pos) const;
    bool Resizing() const { return FResizing; }

    void BarDestroyed() { FBar = nullptr; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void EndResize(bool accept);

    TCustomToolWindow97* FBar;
    bool FResizing = false;
    TToolWindowSizeHandle FHandle = twshRight;
    QRect FStartRect;
    QPoint FStartCursor;
    bool FClosePressed = false;
    bool FCloseHot = false;
};

}  // namespace zb
