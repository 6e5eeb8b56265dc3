#pragma once
// A status bar along the bottom edge of a window: a row of sunken panels of fixed widths, each
// showing one line of text (cut with an ellipsis when it is too long; the whole text is the
// panel's tool tip), and a size grip at the right end.

#include <QList>
#include <QString>
#include <QWidget>

class QSizeGrip;

namespace zb {

class TStatusBar : public QWidget {
    Q_OBJECT
public:
    explicit TStatusBar(QWidget* parent = nullptr);

    static constexpr int DefaultHeight = 19;

    // Replaces the panels by ones of the given widths, all empty.
    void SetPanelWidths(const QList<int>& widths);
    int PanelCount() const { return static_cast<int>(FPanels.size()); }
    // The panel's rectangle in the bar's coordinates.
    QRect PanelRect(int index) const;
    QString PanelText(int index) const;
    void SetPanelText(int index, const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;

private:
    struct Panel {
        int Width = 0;
        QString Text;
    };
    QList<Panel> FPanels;
    QSizeGrip* FGrip;
};

}  // namespace zb
