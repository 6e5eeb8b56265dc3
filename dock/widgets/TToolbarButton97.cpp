#include "dock/widgets/TToolbarButton97.h"

#include <QAccessible>
#include <QApplication>
#include <QCursor>
#include <QDialog>
#include <QGuiApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcut>

#include "dock/widgets/Accessible97.h"
#include "dock/widgets/Paint97.h"
#include "dock/widgets/QtGeometry97.h"
#include "dock/widgets/TCustomToolWindow97.h"
#include "dock/widgets/TDock97.h"

namespace zb {

bool TToolbarButton97::ButtonsStayDown = true;

namespace {

// Shared by all buttons: the hot button and the timer that notices when the cursor left it.
struct HotTracking {
    TToolbarButton97* Hot = nullptr;
    QTimer* Timer = nullptr;
    int Buttons = 0;
};
HotTracking& Hot() {
    static HotTracking state;
    return state;
}

void DrawFrame(QPainter& p, const QRect& r, bool flat, bool pushed, const QPalette& pal) {
    using namespace paint97;
    if (flat)
        DrawRing(p, r, pushed ? SunkenOuter : RaisedInner, AllSides, pal);
    else if (pushed)
        DrawEdge(p, r, SunkenOuter, SunkenInner, pal, true);
    else
        DrawEdge(p, r, RaisedOuter, RaisedInner, pal, true);
}

// A small downward triangle, 5 pixels wide and 3 high, around the rectangle's centre.
void DrawArrow(QPainter& p, const QRect& r, const QColor& ink) {
    const int cx = r.center().x(), cy = r.center().y() - 1;
    for (int i = 0; i < 3; ++i)
        p.fillRect(QRect(cx - 2 + i, cy + i, 5 - 2 * i, 1), ink);
}

QWidget* HostOf(QWidget* parent) {
    if (auto* bar = qobject_cast<TCustomToolWindow97*>(parent)) return bar->ClientArea();
    return parent;
}

}  // namespace

TToolbarButton97::TToolbarButton97(QWidget* parent) : QWidget(HostOf(parent)) {
    InstallAccessible97();
    HotTracking& hot = Hot();
    if (hot.Buttons++ == 0) {
        hot.Timer = new QTimer();
        hot.Timer->setInterval(125);
        QObject::connect(hot.Timer, &QTimer::timeout, &TToolbarButton97::CheckHotButton);
    }
    FColor = palette().color(QPalette::Button);
    setMouseTracking(true);
    resize(23, 22);
    FRepeatTimer.setSingleShot(false);
    connect(&FRepeatTimer, &QTimer::timeout, this, &TToolbarButton97::RepeatTick);
    if (parentWidget()) show();
}

TToolbarButton97::~TToolbarButton97() {
    HotTracking& hot = Hot();
    if (hot.Hot == this) {
        hot.Hot = nullptr;
        hot.Timer->stop();
    }
    if (--hot.Buttons == 0) {
        delete hot.Timer;
        hot.Timer = nullptr;
    }
}

TToolbarButton97* TToolbarButton97::HotButton() {
    return Hot().Hot;
}
bool TToolbarButton97::HotTimerActive() {
    return Hot().Timer && Hot().Timer->isActive();
}

void TToolbarButton97::CheckHotButton() {
    HotTracking& hot = Hot();
    if (!hot.Hot) {
        if (hot.Timer) hot.Timer->stop();
        return;
    }
    if (QApplication::widgetAt(QCursor::pos()) != hot.Hot) hot.Hot->MouseLeft();
}

// Properties

void TToolbarButton97::SetCaption(const QString& value) {
    FCaption = value;
    UpdateShortcuts();
    update();
    // The caption is the button's accessible name.
    if (QAccessible::isActive()) {
        QAccessibleEvent changed(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&changed);
    }
}
void TToolbarButton97::SetAllowAllUp(bool value) {
    FAllowAllUp = value;
    // The whole group shares the setting.
    if (FGroupIndex == 0 || !parentWidget()) return;
    for (QObject* o : parentWidget()->children())
        if (auto* b = qobject_cast<TToolbarButton97*>(o); b && b->FGroupIndex == FGroupIndex)
            b->FAllowAllUp = value;
}
void TToolbarButton97::SetGroupIndex(int value) {
    FGroupIndex = value;
    if (value == 0 && FDown) {
        FDown = false;
        FState = isEnabled() ? bsUp : bsDisabled;
        update();
    }
}
void TToolbarButton97::SetDown(bool value) {
    if (FGroupIndex == 0) value = false;
    if (value == FDown) return;
    if (FDown && !FAllowAllUp) return;
    FDown = value;
    FState = !isEnabled() ? bsDisabled : (value ? bsExclusive : bsUp);
    update();
    if (!value || !parentWidget()) return;
    for (QObject* o : parentWidget()->children()) {
        auto* b = qobject_cast<TToolbarButton97*>(o);
        if (!b || b == this || b->FGroupIndex != FGroupIndex) continue;
        if (b->FDown) {
            b->FDown = false;
            if (b->FState == bsExclusive || b->FState == bsDown) b->FState = bsUp;
            b->update();
        }
        b->FAllowAllUp = FAllowAllUp;
    }
}
void TToolbarButton97::SetFlat(bool value) {
    FFlat = value;
    update();
}
void TToolbarButton97::SetNoBorder(bool value) {
    FNoBorder = value;
    update();
}
void TToolbarButton97::SetOpaque(bool value) {
    FOpaque = value;
    update();
}
void TToolbarButton97::SetColor(const QColor& value) {
    FColor = value;
    update();
}
void TToolbarButton97::SetDisplayMode(TButtonDisplayMode value) {
    FDisplayMode = value;
    update();
}
void TToolbarButton97::SetLayout(TButtonLayout value) {
    FLayout = value;
    update();
}
void TToolbarButton97::SetMargin(int value) {
    FMargin = value;
    update();
}
void TToolbarButton97::SetSpacing(int value) {
    FSpacing = value;
    update();
}
void TToolbarButton97::SetAlignment(Qt::Alignment value) {
    FAlignment = value;
    update();
}
void TToolbarButton97::SetWordWrap(bool value) {
    FWordWrap = value;
    update();
}
void TToolbarButton97::SetGlyph(const QPixmap& value) {
    FGlyph = value;
    update();
}
void TToolbarButton97::SetNumGlyphs(int value) {
    FNumGlyphs = std::clamp(value, 1, 4);
    update();
}
void TToolbarButton97::SetDropdownMenu(QMenu* menu) {
    FDropdownMenu = menu;
    update();
}
void TToolbarButton97::SetDropdownAlways(bool value) {
    FDropdownAlways = value;
    update();
}
void TToolbarButton97::SetDropdownArrow(bool value) {
    FDropdownArrow = value;
    update();
}
void TToolbarButton97::SetDropdownArrowWidth(int value) {
    FDropdownArrowWidth = value;
    update();
}
void TToolbarButton97::SetDropdownCombo(bool value) {
    FDropdownCombo = value;
    update();
}
void TToolbarButton97::SetDefault(bool value) {
    FDefault = value;
    UpdateShortcuts();
}
void TToolbarButton97::SetCancel(bool value) {
    FCancel = value;
    UpdateShortcuts();
}

void TToolbarButton97::UpdateShortcuts() {
    auto make = [this](QShortcut*& shortcut, bool wanted, const QKeySequence& keys) {
        delete shortcut;
        shortcut = nullptr;
        if (!wanted || keys.isEmpty()) return;
        shortcut = new QShortcut(keys, this);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, &TToolbarButton97::ShortcutActivated);
    };
    make(FMnemonic, true, QKeySequence::mnemonic(FCaption));
    make(FReturnKey, FDefault, QKeySequence(Qt::Key_Return));
    make(FEnterKey, FDefault, QKeySequence(Qt::Key_Enter));
    make(FEscapeKey, FCancel, QKeySequence(Qt::Key_Escape));
}

void TToolbarButton97::ShortcutActivated() {
    if (!isEnabled() || !isVisible() || FDisplayMode == dmGlyphOnly) return;
    if (parentWidget() && !parentWidget()->isEnabled()) return;
    Click();
}

// Geometry

QRect TToolbarButton97::MainPart() const {
    return ToQRect(ButtonMainPart(ToTSize(size()), SplitArrow(), FDropdownArrowWidth));
}

QRect TToolbarButton97::ContentRect() const {
    return ToQRect(ButtonContentRect(ToTRect(MainPart()), FNoBorder, FFlat, Pushed()));
}

bool TToolbarButton97::Pushed() const {
    if (FState != bsDown && FState != bsExclusive) return false;
    return !(FDropdownCombo && UsesDropdown() && FArrowPressed);
}

bool TToolbarButton97::FrameShown() const {
    if (FNoBorder) return false;
    return !FFlat || Pushed() || (FMouseIn && FState != bsDisabled);
}

// Hot tracking

void TToolbarButton97::TrackHot(QPoint global) {
    HotTracking& hot = Hot();
    if (hot.Hot == this || QApplication::widgetAt(global) != this) return;
    if (hot.Hot) hot.Hot->MouseLeft();
    if (FShowBorderWhenInactive || QGuiApplication::applicationState() == Qt::ApplicationActive) {
        hot.Hot = this;
        hot.Timer->start();
        MouseEntered();
    }
}

void TToolbarButton97::MouseEntered() {
    if (!isEnabled() || FMouseIn) return;
    FMouseIn = true;
    if (FState == bsUp) FState = bsMouseIn;
    update();
    if (OnMouseEnter) OnMouseEnter();
}

void TToolbarButton97::MouseLeft() {
    if (!isEnabled() || !FMouseIn || FMouseIsDown) return;
    FMouseIn = false;
    HotTracking& hot = Hot();
    if (hot.Hot == this) {
        hot.Hot = nullptr;
        hot.Timer->stop();
    }
    if (FState == bsMouseIn || (FState == bsDown && !FInClick))
        FState = (FGroupIndex != 0 && FDown) ? bsExclusive : bsUp;
    update();
    if (OnMouseExit) OnMouseExit();
}

void TToolbarButton97::enterEvent(QEnterEvent* event) {
    QWidget::enterEvent(event);
    TrackHot(event->globalPosition().toPoint());
}

// Mouse

void TToolbarButton97::Press(QPoint pos) {
    MouseEntered();
    FArrowPressed = UsesDropdown() && (!FDropdownCombo || pos.x() >= MainPart().right() + 1);
    if (!FDown) {
        FState = bsDown;
        update();
    } else if (FAllowAllUp) {
        update();
    }
    FCursorInside = true;
    if (!FArrowPressed) FMouseIsDown = true;
    if (FArrowPressed) {
        Click();
    } else if (FRepeating) {
        Click();
        FRepeatTimer.start(FRepeatDelay);
    }
    if (!FMenuShowing) FArrowPressed = false;
}

void TToolbarButton97::mousePressEvent(QMouseEvent* event) {
    if (FSwallowPress) {
        FSwallowPress = false;
        return;
    }
    if (event->button() != Qt::LeftButton || !isEnabled()) return;
    Press(event->position().toPoint());
}

void TToolbarButton97::mouseDoubleClickEvent(QMouseEvent* event) {
    if (FSwallowPress) {
        FSwallowPress = false;
        return;
    }
    if (event->button() != Qt::LeftButton || !isEnabled()) return;
    if (FDown && OnDblClick) OnDblClick();
    Press(event->position().toPoint());
}

void TToolbarButton97::mouseMoveEvent(QMouseEvent* event) {
    TrackHot(event->globalPosition().toPoint());
    if (!FMouseIsDown) return;
    const bool inside = MainPart().contains(event->position().toPoint());
    FCursorInside = inside;
    const TButtonState97 state = FDown ? bsExclusive : (inside ? bsDown : bsUp);
    if (state != FState) {
        FState = state;
        update();
    }
    if (inside && FRepeating && !FRepeatTimer.isActive()) FRepeatTimer.start(FRepeatInterval);
}

void TToolbarButton97::mouseReleaseEvent(QMouseEvent* event) {
    FRepeatTimer.stop();
    if (event->button() == Qt::LeftButton && FMouseIsDown) {
        FMouseIsDown = false;
        if (!MainPart().contains(event->position().toPoint()) || FRepeating) {
            if (FState == bsDown) FState = (FGroupIndex != 0 && FDown) ? bsExclusive : bsUp;
            MouseLeft();
            if (QApplication::widgetAt(event->globalPosition().toPoint()) == this)
                TrackHot(event->globalPosition().toPoint());
            update();
        } else {
            Click();
        }
    } else if (event->button() == Qt::RightButton && isEnabled()) {
        FMouseIsDown = false;
        MouseLeft();
    }
}

void TToolbarButton97::RepeatTick() {
    FRepeatTimer.setInterval(FRepeatInterval);
    if (FMouseIsDown && FCursorInside && isEnabled())
        Click();
    else
        FRepeatTimer.stop();
}

void TToolbarButton97::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::EnabledChange) return;
    if (!isEnabled()) {
        FState = bsDisabled;
        FMouseIn = false;
        FMouseIsDown = false;
        FRepeatTimer.stop();
        HotTracking& hot = Hot();
        if (hot.Hot == this) {
            hot.Hot = nullptr;
            hot.Timer->stop();
        }
    } else if (FState == bsDisabled) {
        FState = (FGroupIndex != 0 && FDown) ? bsExclusive : bsUp;
    }
    update();
}

// Click

void TToolbarButton97::Click() {
    if (FRepeating && !FArrowPressed) {
        if (OnClick) OnClick();
        return;
    }
    QPointer<TToolbarButton97> self(this);
    FInClick = true;
    if (FGroupIndex != 0 && !FArrowPressed) SetDown(!FDown);
    if (ButtonsStayDown) {
        if (FState == bsUp || FState == bsMouseIn) {
            FState = bsDown;
            repaint();
        }
    } else if (FState == bsDown) {
        FState = (FGroupIndex != 0 && FDown) ? bsExclusive : bsUp;
    }
    FMouseIsDown = false;
    MouseLeft();
    if (UsesDropdown() && (!FDropdownCombo || FArrowPressed)) {
        if (!FDropdownCombo && OnClick) OnClick();
        if (!self) return;
        bool showMenu = FDropdownMenu != nullptr;
        bool removeClicks = true;
        if (OnDropdown) OnDropdown(this, showMenu, removeClicks);
        if (!self) return;
        if (showMenu && FDropdownMenu) {
            ShowMenu(removeClicks);
            return;  // the click finishes when the menu closes
        }
    } else {
        if (FModalResult != 0)
            if (auto* dialog = qobject_cast<QDialog*>(window())) dialog->done(FModalResult);
        if (OnClick) OnClick();
        if (!self) return;
    }
    FinishClick();
}

void TToolbarButton97::ShowMenu(bool removeClicks) {
    QMenu* menu = FDropdownMenu;
    FMenuShowing = true;
    QPoint at = mapToGlobal(QPoint(0, height()));
    const auto* bar = qobject_cast<TCustomToolWindow97*>(
        parentWidget() ? parentWidget()->parentWidget() : nullptr);
    if (bar && bar->DockedTo() && bar->DockedTo()->Position() == dpLeft)
        at = mapToGlobal(QPoint(width(), 0));
    else if (bar && bar->DockedTo() && bar->DockedTo()->Position() == dpRight)
        at = mapToGlobal(QPoint(0, 0)) - QPoint(menu->sizeHint().width(), 0);
    QPointer<TToolbarButton97> self(this);
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection = connect(menu, &QMenu::aboutToHide, this, [this, self, connection, removeClicks] {
        QObject::disconnect(*connection);
        if (!self) return;
        // A press on this button that closed the menu must not open it again.
        if (removeClicks && QApplication::widgetAt(QCursor::pos()) == this) {
            FSwallowPress = true;
            QTimer::singleShot(0, this, [this] { FSwallowPress = false; });
        }
        FMenuShowing = false;
        FArrowPressed = false;
        FinishClick();
    });
    menu->popup(at);
}

void TToolbarButton97::FinishClick() {
    FInClick = false;
    if (FState == bsDown) FState = bsUp;
    update();
    // Hot again if the cursor is still over the button.
    if (QApplication::widgetAt(QCursor::pos()) == this) TrackHot(QCursor::pos());
}

// Painting

QPixmap TToolbarButton97::StateGlyph() const {
    if (FGlyph.isNull()) return {};
    int index = 0;
    if (FState == bsDisabled && FNumGlyphs > 1) index = 1;
    if (FState == bsDown && FNumGlyphs > 2) index = 2;
    if (FState == bsExclusive && FNumGlyphs > 3) index = 3;
    const int w = FGlyph.width() / FNumGlyphs;
    return FGlyph.copy(index * w, 0, w, FGlyph.height());
}

bool TToolbarButton97::SplitArrow() const {
    return UsesDropdown() && FDropdownCombo;
}

bool TToolbarButton97::ArrowBesideContent() const {
    return UsesDropdown() && FDropdownArrow && !SplitArrow();
}

// A split button frames its arrow part on its own, pressed while the menu is open.
void TToolbarButton97::PaintFrames(QPainter& p, const QPalette& pal) const {
    const bool split = SplitArrow();
    if (!FrameShown() && !(split && FArrowPressed && !FNoBorder)) return;
    const QRect main = MainPart();
    if (split)
        DrawFrame(p, ToQRect(ButtonArrowPart(ToTSize(size()), ToTRect(main))), FFlat, FArrowPressed,
                  pal);
    DrawFrame(p, main, FFlat, Pushed(), pal);
}

// The arrow beside the content, or centred in a split button's arrow part (pushed with it).
void TToolbarButton97::PaintDropdownArrow(QPainter& p, const QPalette& pal,
                                          const QRect& besideContent) const {
    const QColor ink = isEnabled() ? pal.color(QPalette::ButtonText) : paint97::Shadow(pal);
    if (ArrowBesideContent()) DrawArrow(p, besideContent, ink);
    if (!SplitArrow()) return;
    const int shift = FArrowPressed ? 1 : 0;
    const QRect part = ToQRect(ButtonArrowPart(ToTSize(size()), ToTRect(MainPart())));
    DrawArrow(p, part.translated(shift, shift), ink);
}

TButtonContentRects TToolbarButton97::LayOutContent(const QRect& content, const QPixmap& glyph,
                                                    QSize captionSize, bool hasCaption) const {
    TButtonContentInput in;
    in.Content = ToTRect(content);
    in.Layout = FLayout;
    in.HasGlyph = !glyph.isNull();
    if (in.HasGlyph) in.Glyph = ToTSize(glyph.size() / glyph.devicePixelRatio());
    in.HasCaption = hasCaption;
    if (hasCaption) in.Caption = ToTSize(captionSize);
    in.Margin = FMargin;
    in.Spacing = FSpacing;
    in.DropdownArrow = ArrowBesideContent();
    in.ArrowWidth = FDropdownArrowWidth;
    return LayOutButtonContent(in);
}

// A disabled button with a single glyph shows it faded.
void TToolbarButton97::PaintGlyph(QPainter& p, const QPixmap& glyph, QPoint at) const {
    if (glyph.isNull()) return;
    if (!isEnabled() && FNumGlyphs < 2) p.setOpacity(0.4);
    p.drawPixmap(at, glyph);
    p.setOpacity(1.0);
}

// Centred vertically, aligned as set across (centred by default); a disabled caption is
// embossed: highlight one pixel down and right, shadow on top.
void TToolbarButton97::PaintCaption(QPainter& p, const QPalette& pal, const QString& text,
                                    int textFlags, const QRect& r) const {
    if (text.isEmpty()) return;
    Qt::Alignment align = Qt::AlignVCenter | (FAlignment & Qt::AlignHorizontal_Mask);
    if (!(FAlignment & Qt::AlignHorizontal_Mask)) align |= Qt::AlignHCenter;
    if (!isEnabled()) {
        p.setPen(paint97::Highlight(pal));
        p.drawText(r.translated(1, 1), int(align) | textFlags, text);
        p.setPen(paint97::Shadow(pal));
    } else {
        p.setPen(pal.color(QPalette::ButtonText));
    }
    p.drawText(r, int(align) | textFlags, text);
}

void TToolbarButton97::paintEvent(QPaintEvent*) {
    QPainter p(this);
    QPalette pal = palette();
    pal.setColor(QPalette::Button, FColor);
    if (FOpaque || !FFlat) p.fillRect(rect(), FColor);
    PaintFrames(p, pal);

    const QRect content = ContentRect();
    if (FState == bsExclusive && (!FFlat || !FMouseIn))
        p.fillRect(content, QBrush(paint97::Highlight(pal), Qt::Dense4Pattern));

    const QPixmap glyph = FDisplayMode == dmTextOnly ? QPixmap() : StateGlyph();
    const QString text = FDisplayMode == dmGlyphOnly ? QString() : FCaption;
    const int textFlags = Qt::TextShowMnemonic | (FWordWrap ? Qt::TextWordWrap : 0);
    const QSize textSize = text.isEmpty() ? QSize() : p.fontMetrics().size(textFlags, text);
    const TButtonContentRects parts = LayOutContent(content, glyph, textSize, !text.isEmpty());
    PaintDropdownArrow(p, pal, ToQRect(parts.Arrow));
    PaintGlyph(p, glyph, ToQRect(parts.Glyph).topLeft());
    PaintCaption(p, pal, text, textFlags, ToQRect(parts.Caption));
}

}  // namespace zb
