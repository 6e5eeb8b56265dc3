#pragma once
// A single-line edit box in the flat toolbar style: it draws its own three-pixel border, flat
// while idle and sunken while it has the focus or the mouse is over it. Otherwise an ordinary
// QLineEdit.

#include <QLineEdit>

namespace zb {

class TEdit97 : public QLineEdit {
    Q_OBJECT
public:
    // A parent that is a bar puts the box into the bar's client area.
    explicit TEdit97(QWidget* parent = nullptr);

    // Sizes the box to its font: text height plus the two borders.
    void Loaded();
    // Whether the border is drawn hot now.
    bool IsHot() const;
    bool MouseIn() const { return FMouseIn; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void ApplyColour();

    bool FMouseIn = false;
};

}  // namespace zb
