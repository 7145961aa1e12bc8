#include "details/PingChart.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace qm {

namespace {
constexpr int kMargin = 4;
constexpr int kLeastPingScale = 50; // ms: a quiet line stays low instead of filling the chart
} // namespace

PingChart::PingChart(const PingHistory& history, QWidget* parent) : QWidget(parent), m_history(history) {
    setMinimumSize(160, 80);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
}

void PingChart::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRectF area = QRectF(rect()).adjusted(kMargin, kMargin, -kMargin, -kMargin);
    p.setPen(palette().color(QPalette::Mid));
    p.drawRect(area);
    const auto& samples = m_history.samples();
    if (samples.empty()) return;
    // One column per refresh, as many as fit: the newest at the right edge.
    const double step = std::max(3.0, area.width() / std::max<size_t>(samples.size(), 30));
    const size_t shown = std::min(samples.size(), static_cast<size_t>(area.width() / step));
    const size_t first = samples.size() - shown;
    const double pingScale = std::max(m_history.highest().value_or(0), kLeastPingScale);
    const double playersScale = std::max(m_history.playersScale(), 1);
    const auto xOf = [&](size_t i) { return area.right() - (shown - 1 - (i - first)) * step - step / 2; };

    p.setPen(Qt::NoPen);
    p.setBrush(QColor(120, 190, 120, 140));
    for (size_t i = first; i < samples.size(); ++i)
        if (samples[i].players > 0) {
            const double h = area.height() * samples[i].players / playersScale;
            p.drawRect(QRectF(xOf(i) - step / 2 + 0.5, area.bottom() - h, step - 1, h));
        }

    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(30, 80, 200), 2));
    p.setBrush(Qt::NoBrush);
    QPainterPath line;
    bool drawing = false;
    for (size_t i = first; i < samples.size(); ++i) {
        if (samples[i].pingMs < 0) {
            drawing = false; // silence leaves a gap
            continue;
        }
        const QPointF at(xOf(i), area.bottom() - area.height() * samples[i].pingMs / pingScale);
        if (drawing)
            line.lineTo(at);
        else
            line.moveTo(at);
        drawing = true;
        p.drawEllipse(at, 1.5, 1.5);
    }
    p.drawPath(line);
}

} // namespace qm
