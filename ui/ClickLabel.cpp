#include "ui/ClickLabel.h"

#include <QMouseEvent>

namespace qm {

ClickLabel::ClickLabel(QWidget* parent) : QLabel(parent) {
    setCursor(Qt::PointingHandCursor);
}

void ClickLabel::setLinkStyle() {
    QFont f = font();
    f.setUnderline(true);
    setFont(f);
    // The theme's own link colour: pure blue is unreadable on a dark one.
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, pal.color(QPalette::Link));
    setPalette(pal);
}

void ClickLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) emit clicked();
    QLabel::mouseReleaseEvent(event);
}

} // namespace qm
