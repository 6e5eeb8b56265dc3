#include "app/LogoImage.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>

namespace zb {

QImage MakeLogoImage() {
    // Drawn in 32 bits (what the painter draws best), then stored in 24.
    QImage image(kLogoWidth, kLogoHeight, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient sky(0, 0, 0, kLogoHeight);
    sky.setColorAt(0, QColor(32, 64, 128));
    sky.setColorAt(1, QColor(8, 24, 64));
    p.fillRect(image.rect(), sky);
    // A lens: a ring with a short handle, at the left.
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(255, 208, 64), 2));
    p.drawEllipse(QRectF(2.5, 4.5, 10, 10));
    p.drawLine(QPointF(11.5, 13.5), QPointF(15.5, 17.5));
    // The word.
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(11);
    font.setBold(true);
    font.setStretch(QFont::SemiCondensed);
    p.setFont(font);
    p.setPen(QColor(255, 255, 255));
    p.drawText(QRect(17, 0, kLogoWidth - 17, kLogoHeight), Qt::AlignVCenter | Qt::AlignLeft,
               QStringLiteral("Zunbarra"));
    p.end();
    return image.convertToFormat(QImage::Format_RGB888);
}

}  // namespace zb
