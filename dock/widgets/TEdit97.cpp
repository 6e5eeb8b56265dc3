#include "dock/widgets/TEdit97.h"

#include <QApplication>
#include <QEvent>
#include <QPainter>

#include "dock/widgets/Flat97Controls.h"
#include "dock/widgets/Paint97.h"
#include "dock/widgets/TCustomToolWindow97.h"

namespace zb {

namespace {
QWidget* HostOf(QWidget* parent) {
    if (auto* bar = qobject_cast<TCustomToolWindow97*>(parent)) return bar->ClientArea();
    return parent;
}
}  // namespace

TEdit97::TEdit97(QWidget* parent) : QLineEdit(HostOf(parent)) {
    Register97ControlClass(&TEdit97::staticMetaObject);
    setFrame(false);
    setContentsMargins(3, 3, 3, 3);
    setAttribute(Qt::WA_Hover);
    resize(width(), 19);
    ApplyColour();
    if (parentWidget()) show();
}

void TEdit97::Loaded() {
    resize(width(), fontMetrics().height() + 6);
}

bool TEdit97::IsHot() const {
    if (hasFocus()) return true;
    if (!FMouseIn) return false;
    const QWidget* focused = QApplication::focusWidget();
    return focused == this || !ControlIs97Control(focused);
}

void TEdit97::ApplyColour() {
    // Enabled: the window colour; disabled: the button face.
    QPalette pal = palette();
    pal.setColor(QPalette::Disabled, QPalette::Base,
                 pal.color(QPalette::Disabled, QPalette::Button));
    if (pal != palette()) setPalette(pal);
}

void TEdit97::paintEvent(QPaintEvent* event) {
    QLineEdit::paintEvent(event);
    QPainter p(this);
    const QPalette& pal = palette();
    using namespace paint97;
    QRect r = rect();
    if (!IsHot()) {
        FrameRect(p, r, Face(pal));
        r.adjust(1, 1, -1, -1);
        FrameRect(p, r, Face(pal));
        r.adjust(1, 1, -1, -1);
        FrameRect(p, r, Window(pal));
        return;
    }
    r = DrawRing(p, r, SunkenOuter, AllSides, pal);
    p.fillRect(QRect(r.left(), r.top(), 1, r.height() - 1), Face(pal));
    p.fillRect(QRect(r.left(), r.top(), r.width() - 1, 1), Face(pal));
    DrawRing(p, r, SunkenInner, Right | Bottom, pal);
    r.adjust(1, 1, -1, -1);
    FrameRect(p, r, Window(pal));
}

void TEdit97::enterEvent(QEnterEvent* event) {
    FMouseIn = true;
    update();
    QLineEdit::enterEvent(event);
}

void TEdit97::leaveEvent(QEvent* event) {
    FMouseIn = false;
    update();
    QLineEdit::leaveEvent(event);
}

void TEdit97::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    update();
}

void TEdit97::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    update();
}

void TEdit97::changeEvent(QEvent* event) {
    QLineEdit::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) ApplyColour();
    if (event->type() == QEvent::EnabledChange) update();
}

}  // namespace zb
