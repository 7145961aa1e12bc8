#include "ui/GradientButton.h"

#include <QLinearGradient>
#include <QPainter>
#include <QStyleOptionButton>

namespace qm {

GradientButton::GradientButton(const QString& caption, QWidget* parent) : QPushButton(caption, parent) {
    setCursor(Qt::ArrowCursor);
}

void GradientButton::setColours(QColor top, QColor bottom, QColor textColour) {
    m_top = top;
    m_bottom = bottom;
    m_text = textColour;
    update();
}

void GradientButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    QColor top = m_top, bottom = m_bottom;
    if (isDown()) {
        std::swap(top, bottom);
    } else if (underMouse() && isEnabled()) {
        top = top.lighter(105);
    }
    if (!isEnabled()) {
        top = top.lighter(110);
        bottom = bottom.lighter(120);
    }
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.setBrush(g);
    p.setPen(QPen(hasFocus() ? QColor(60, 70, 110) : QColor(120, 124, 145), 1));
    p.drawRoundedRect(r, 3, 3);
    p.setPen(isEnabled() ? m_text : QColor(150, 150, 150));
    p.setFont(font());
    p.drawText(rect().adjusted(2, 0, -2, 0), Qt::AlignCenter | Qt::TextShowMnemonic, text());
}

} // namespace qm
