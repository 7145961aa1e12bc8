#include "ui/Logo.h"

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace qm {

QPixmap drawLogo(int size) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 48.0, size / 48.0);

    QRadialGradient disc(QPointF(20, 18), 26);
    disc.setColorAt(0, QColor(255, 214, 120));
    disc.setColorAt(1, QColor(200, 90, 20));
    p.setPen(QPen(QColor(90, 40, 10), 1.5));
    p.setBrush(disc);
    p.drawEllipse(QRectF(3, 3, 42, 42));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(120, 50, 10, 160), 1.2));
    p.drawEllipse(QRectF(12, 12, 24, 24));

    // The quill: a feather sweeping from bottom left to top right.
    QPainterPath feather;
    feather.moveTo(11, 39);
    feather.cubicTo(16, 26, 28, 12, 41, 7);
    feather.cubicTo(37, 18, 27, 30, 11, 39);
    p.setPen(QPen(QColor(30, 30, 60), 1));
    p.setBrush(QColor(245, 245, 255));
    p.drawPath(feather);
    p.setPen(QPen(QColor(30, 30, 60), 1.4));
    p.drawLine(QPointF(9, 42), QPointF(33, 16));
    return pm;
}

} // namespace qm
