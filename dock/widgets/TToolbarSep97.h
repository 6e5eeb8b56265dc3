#pragma once
// A separator between groups of toolbar controls: a groove, or empty space when Blank. Only a
// toolbar may hold it.

#include <QWidget>

namespace zb {

class TCustomToolbar97;

class TToolbarSep97 : public QWidget {
    Q_OBJECT
public:
    // The parent must be a toolbar (or its client area); otherwise EInvalidOperation.
    explicit TToolbarSep97(QWidget* toolbar);

    bool Blank() const { return FBlank; }
    void SetBlank(bool value);
    int SizeHorz() const { return FSizeHorz; }
    void SetSizeHorz(int value);
    int SizeVert() const { return FSizeVert; }
    void SetSizeVert(int value);

    TCustomToolbar97* Toolbar() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool FBlank = false;
    int FSizeHorz = 6;
    int FSizeVert = 6;
};

}  // namespace zb
