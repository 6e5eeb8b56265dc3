#pragma once
// The client area of a bar: the parent of its controls. A press on its free area (not on a
// shown child control) belongs to the bar, which starts a drag; it paints the bar's colour (or
// the dock's background) behind the controls.

#include <QWidget>

namespace zb {

class TCustomToolWindow97;

class TBarClientArea97 : public QWidget {
    Q_OBJECT
public:
    explicit TBarClientArea97(TCustomToolWindow97* bar);

protected:
    void childEvent(QChildEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    bool OnChildControl(QPoint pos) const;

    TCustomToolWindow97* FBar;
};

}  // namespace zb
