#pragma once
// The flat, hot-tracking push button of the toolbars: a raised frame while the mouse is over
// it, a sunken frame while pressed, only its picture and caption otherwise. It acts as a plain
// button (click on release inside), a sticky button in a group, an auto-repeat button, or a
// drop-down button that opens a popup menu.

#include <QPixmap>
#include <QPointer>
#include <QShortcut>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <functional>

#include <QMenu>

#include "dock/core/ButtonGeometry.h"

class QPainter;

namespace zb {

enum TButtonState97 { bsUp, bsDisabled, bsDown, bsExclusive, bsMouseIn };
enum TButtonDisplayMode { dmBoth, dmGlyphOnly, dmTextOnly };

class TToolbarButton97 : public QWidget {
    Q_OBJECT
public:
    // A parent that is a bar puts the button into the bar's client area.
    explicit TToolbarButton97(QWidget* parent = nullptr);
    ~TToolbarButton97() override;

    QString Caption() const { return FCaption; }
    void SetCaption(const QString& value);
    bool AllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool value);
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int value);
    bool Down() const { return FDown; }
    void SetDown(bool value);
    bool Flat() const { return FFlat; }
    void SetFlat(bool value);
    bool NoBorder() const { return FNoBorder; }
    void SetNoBorder(bool value);
    bool Opaque() const { return FOpaque; }
    void SetOpaque(bool value);
    QColor Color() const { return FColor; }
    void SetColor(const QColor& value);
    TButtonDisplayMode DisplayMode() const { return FDisplayMode; }
    void SetDisplayMode(TButtonDisplayMode value);
    TButtonLayout Layout() const { return FLayout; }
    void SetLayout(TButtonLayout value);
    int Margin() const { return FMargin; }
    void SetMargin(int value);
    int Spacing() const { return FSpacing; }
    void SetSpacing(int value);
    Qt::Alignment Alignment() const { return FAlignment; }
    void SetAlignment(Qt::Alignment value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool value);
    // The picture: NumGlyphs images side by side for up, disabled, down and exclusive.
    const QPixmap& Glyph() const { return FGlyph; }
    void SetGlyph(const QPixmap& value);
    int NumGlyphs() const { return FNumGlyphs; }
    void SetNumGlyphs(int value);
    QMenu* DropdownMenu() const { return FDropdownMenu; }
    void SetDropdownMenu(QMenu* menu);
    bool DropdownAlways() const { return FDropdownAlways; }
    void SetDropdownAlways(bool value);
    bool DropdownArrow() const { return FDropdownArrow; }
    void SetDropdownArrow(bool value);
    int DropdownArrowWidth() const { return FDropdownArrowWidth; }
    void SetDropdownArrowWidth(int value);
    bool DropdownCombo() const { return FDropdownCombo; }
    void SetDropdownCombo(bool value);
    bool Repeating() const { return FRepeating; }
    void SetRepeating(bool value) { FRepeating = value; }
    int RepeatDelay() const { return FRepeatDelay; }
    void SetRepeatDelay(int ms) { FRepeatDelay = ms; }
    int RepeatInterval() const { return FRepeatInterval; }
    void SetRepeatInterval(int ms) { FRepeatInterval = ms; }
    // Given to the parent dialog on a click (0: none).
    int ModalResult() const { return FModalResult; }
    void SetModalResult(int value) { FModalResult = value; }
    bool ShowBorderWhenInactive() const { return FShowBorderWhenInactive; }
    void SetShowBorderWhenInactive(bool value) { FShowBorderWhenInactive = value; }
    // Enter (default) or Escape (cancel) in the window clicks the button.
    bool Default() const { return FDefault; }
    void SetDefault(bool value);
    bool Cancel() const { return FCancel; }
    void SetCancel(bool value);

    std::function<void()> OnClick;
    std::function<void()> OnDblClick;
    std::function<void(TToolbarButton97* sender, bool& showMenu, bool& removeClicks)> OnDropdown;
    std::function<void()> OnMouseEnter;
    std::function<void()> OnMouseExit;

    TButtonState97 State() const { return FState; }
    bool MouseIn() const { return FMouseIn; }
    bool MouseIsDown() const { return FMouseIsDown; }
    // Whether the main part is drawn pushed now.
    bool Pushed() const;
    // Whether a frame is drawn now.
    bool FrameShown() const;
    bool UsesDropdown() const { return FDropdownAlways || FDropdownMenu; }
    bool MenuShowing() const { return FMenuShowing; }
    bool RepeatTimerActive() const { return FRepeatTimer.isActive(); }
    // The client area less a split button's arrow part.
    QRect MainPart() const;
    // The rectangle picture and caption are drawn in.
    QRect ContentRect() const;

    // Runs a click as the mouse or the keyboard would.
    void Click();

    // While a click handler runs, the button is shown down.
    static bool ButtonsStayDown;
    static TToolbarButton97* HotButton();
    static bool HotTimerActive();
    // What the shared 125 ms timer does: a hot button no longer under the cursor loses its
    // hot state.
    static void CheckHotButton();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void TrackHot(QPoint global);
    void MouseEntered();
    void MouseLeft();
    void Press(QPoint pos);
    void RepeatTick();
    void FinishClick();
    void ShowMenu(bool removeClicks);
    void UpdateShortcuts();
    void ShortcutActivated();
    QPixmap StateGlyph() const;
    bool SplitArrow() const;
    bool ArrowBesideContent() const;
    void PaintFrames(QPainter& p, const QPalette& pal) const;
    void PaintDropdownArrow(QPainter& p, const QPalette& pal, const QRect& besideContent) const;
    TButtonContentRects LayOutContent(const QRect& content, const QPixmap& glyph, QSize captionSize,
                                      bool hasCaption) const;
    void PaintGlyph(QPainter& p, const QPixmap& glyph, QPoint at) const;
    void PaintCaption(QPainter& p, const QPalette& pal, const QString& text, int textFlags,
                      const QRect& r) const;

    QString FCaption;
    bool FAllowAllUp = false;
    int FGroupIndex = 0;
    bool FDown = false;
    bool FFlat = true;
    bool FNoBorder = false;
    bool FOpaque = true;
    QColor FColor;
    TButtonDisplayMode FDisplayMode = dmBoth;
    TButtonLayout FLayout = blGlyphLeft;
    int FMargin = -1;
    int FSpacing = 4;
    Qt::Alignment FAlignment = Qt::AlignCenter;
    bool FWordWrap = false;
    QPixmap FGlyph;
    int FNumGlyphs = 1;
    QPointer<QMenu> FDropdownMenu;
    bool FDropdownAlways = false;
    bool FDropdownArrow = true;
    int FDropdownArrowWidth = 9;
    bool FDropdownCombo = false;
    bool FRepeating = false;
    int FRepeatDelay = 400;
    int FRepeatInterval = 100;
    int FModalResult = 0;
    bool FShowBorderWhenInactive = false;
    bool FDefault = false;
    bool FCancel = false;

    TButtonState97 FState = bsUp;
    bool FMouseIn = false;
    bool FMouseIsDown = false;
    bool FArrowPressed = false;
    bool FInClick = false;
    bool FMenuShowing = false;
    bool FSwallowPress = false;
    bool FCursorInside = false;
    QTimer FRepeatTimer;
    QShortcut* FMnemonic = nullptr;
    QShortcut* FEnterKey = nullptr;
    QShortcut* FReturnKey = nullptr;
    QShortcut* FEscapeKey = nullptr;
};

}  // namespace zb
