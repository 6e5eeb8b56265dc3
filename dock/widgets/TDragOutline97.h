#pragma once
// The outline shown while a bar is dragged: a hatched frame, 1 pixel thick where the bar would
// dock and the floating border thick where it would float. Qt cannot draw on the desktop on
// every platform (Wayland, offscreen), so the frame is a frameless, input-transparent overlay
// window masked to the frame's ring.

#include <QRect>
#include <QWidget>

namespace zb {

class TDragOutline97 : public QWidget {
    Q_OBJECT
public:
    TDragOutline97();

    // Shows the frame at rect (screen coordinates) with the given thickness; an empty rect
    // hides it.
    void ShowFrame(const QRect& rect, int thickness);
    QRect FrameRect() const { return FRect; }
    int Thickness() const { return FThickness; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRect FRect;
    int FThickness = 1;
};

}  // namespace zb
