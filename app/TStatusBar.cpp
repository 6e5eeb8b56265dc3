#include "app/TStatusBar.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QHelpEvent>
#include <QPainter>
#include <QSizeGrip>
#include <QToolTip>

#include "dock/widgets/Paint97.h"

namespace zb {

namespace {

constexpr int kPanelGap = 2;  // between panels, and above them

// Read as a status bar whose name is what its panels show.
class StatusBarAccessible : public QAccessibleWidget {
public:
    explicit StatusBarAccessible(TStatusBar* bar)
        : QAccessibleWidget(bar, QAccessible::StatusBar) {}

    QString text(QAccessible::Text t) const override {
        if (t != QAccessible::Name || !widget()->accessibleName().isEmpty())
            return QAccessibleWidget::text(t);
        const auto* bar = static_cast<TStatusBar*>(widget());
        QStringList shown;
        for (int i = 0; i < bar->PanelCount(); ++i)
            if (!bar->PanelText(i).isEmpty()) shown << bar->PanelText(i);
        return shown.join(QStringLiteral(", "));
    }
};

QAccessibleInterface* AccessibleFactory(const QString& className, QObject* object) {
    if (className != QLatin1StringView(TStatusBar::staticMetaObject.className())) return nullptr;
    return new StatusBarAccessible(static_cast<TStatusBar*>(object));
}

}  // namespace

TStatusBar::TStatusBar(QWidget* parent) : QWidget(parent), FGrip(new QSizeGrip(this)) {
    QAccessible::installFactory(AccessibleFactory);
    resize(width(), DefaultHeight);
}

void TStatusBar::SetPanelWidths(const QList<int>& widths) {
    FPanels.clear();
    for (const int w : widths)
        FPanels.append(Panel{w, QString()});
    update();
}

QRect TStatusBar::PanelRect(int index) const {
    // Panels stand 2 pixels below the bar's top edge, 2 pixels apart.
    int left = 0;
    for (int i = 0; i < index; ++i)
        left += FPanels[i].Width + kPanelGap;
    return QRect(left, kPanelGap, FPanels[index].Width, height() - kPanelGap);
}

QString TStatusBar::PanelText(int index) const {
    return index >= 0 && index < FPanels.size() ? FPanels[index].Text : QString();
}

void TStatusBar::SetPanelText(int index, const QString& text) {
    if (index < 0 || index >= FPanels.size() || FPanels[index].Text == text) return;
    FPanels[index].Text = text;
    update(PanelRect(index));
    // Screen readers keep the name they read last until told that it changed.
    if (QAccessible::isActive()) {
        QAccessibleEvent changed(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&changed);
    }
}

void TStatusBar::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const QSize grip = FGrip->sizeHint().boundedTo(QSize(height(), height()));
    FGrip->setGeometry(width() - grip.width(), height() - grip.height(), grip.width(),
                       grip.height());
}

void TStatusBar::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QPalette& pal = palette();
    p.fillRect(rect(), paint97::Face(pal));
    p.setPen(pal.color(QPalette::WindowText));
    for (int i = 0; i < FPanels.size(); ++i) {
        const QRect r = PanelRect(i);
        paint97::DrawRing(p, r, paint97::SunkenOuter, paint97::AllSides, pal);
        const QRect textRect = r.adjusted(3, 1, -3, -1);
        const QString shown =
            fontMetrics().elidedText(FPanels[i].Text, Qt::ElideRight, textRect.width());
        p.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter, shown);
    }
}

bool TStatusBar::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        for (int i = 0; i < FPanels.size(); ++i) {
            if (PanelRect(i).contains(help->pos()) && !FPanels[i].Text.isEmpty()) {
                QToolTip::showText(help->globalPos(), FPanels[i].Text, this);
                return true;
            }
        }
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    return QWidget::event(event);
}

}  // namespace zb
