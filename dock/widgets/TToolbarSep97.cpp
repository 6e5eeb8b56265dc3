#include "dock/widgets/TToolbarSep97.h"

#include <QPainter>

#include "dock/core/EInvalidOperation.h"
#include "dock/widgets/Accessible97.h"
#include "dock/widgets/Paint97.h"
#include "dock/widgets/TCustomToolbar97.h"

namespace zb {

namespace {
QWidget* CheckedSeparatorParent(QWidget* parent) {
    if (auto* toolbar = qobject_cast<TCustomToolbar97*>(parent)) return toolbar->ClientArea();
    if (parent && qobject_cast<TCustomToolbar97*>(parent->parentWidget()) &&
        static_cast<TCustomToolbar97*>(parent->parentWidget())->ClientArea() == parent)
        return parent;
    throw EInvalidOperation("TToolbarSep97 can only be placed on a TToolbar97");
}
}  // namespace

TToolbarSep97::TToolbarSep97(QWidget* toolbar) : QWidget(CheckedSeparatorParent(toolbar)) {
    InstallAccessible97();
    resize(FSizeHorz, 8);
    show();
}

TCustomToolbar97* TToolbarSep97::Toolbar() const {
    return parentWidget() ? qobject_cast<TCustomToolbar97*>(parentWidget()->parentWidget())
                          : nullptr;
}

void TToolbarSep97::SetBlank(bool value) {
    FBlank = value;
    update();
    if (TCustomToolbar97* t = Toolbar()) t->ClientArea()->update();
}

void TToolbarSep97::SetSizeHorz(int value) {
    if (FSizeHorz == value) return;
    FSizeHorz = value;
    if (TCustomToolbar97* t = Toolbar()) t->ArrangeControlsNow();
}

void TToolbarSep97::SetSizeVert(int value) {
    if (FSizeVert == value) return;
    FSizeVert = value;
    if (TCustomToolbar97* t = Toolbar()) t->ArrangeControlsNow();
}

void TToolbarSep97::paintEvent(QPaintEvent*) {
    if (FBlank || width() == 0 || height() == 0) return;
    QPainter p(this);
    const QPalette& pal = palette();
    // A groove across the line: shadow then highlight.
    if (height() >= width()) {
        const int x = width() / 2 - 1;
        p.fillRect(QRect(x, 0, 1, height()), paint97::Shadow(pal));
        p.fillRect(QRect(x + 1, 0, 1, height()), paint97::Highlight(pal));
    } else {
        const int y = height() / 2 - 1;
        p.fillRect(QRect(0, y, width(), 1), paint97::Shadow(pal));
        p.fillRect(QRect(0, y + 1, width(), 1), paint97::Highlight(pal));
    }
}

}  // namespace zb
