#include "ui/SpinEdit.h"

#include "platform/IntText.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace qm {

SpinEdit::SpinEdit(int minimum, int maximum, QWidget* parent)
    : QWidget(parent), m_min(minimum), m_max(maximum), m_edit(new QLineEdit(this)) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    row->addWidget(m_edit, 1);
    auto* arrows = new QVBoxLayout;
    arrows->setSpacing(0);
    auto* up = new QToolButton(this);
    auto* down = new QToolButton(this);
    up->setArrowType(Qt::UpArrow);
    down->setArrowType(Qt::DownArrow);
    for (QToolButton* b : {up, down}) {
        b->setFixedSize(15, 10);
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus);
        arrows->addWidget(b);
    }
    row->addLayout(arrows);
    connect(up, &QToolButton::clicked, this, [this] { step(1); });
    connect(down, &QToolButton::clicked, this, [this] { step(-1); });
    connect(m_edit, &QLineEdit::textChanged, this, &SpinEdit::changed);
    m_edit->installEventFilter(this);
}

bool SpinEdit::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_edit && event->type() == QEvent::FocusOut) setValue(value());
    return QWidget::eventFilter(watched, event);
}

int SpinEdit::value() const {
    const auto parsed = parseInteger(m_edit->text().toStdString());
    return parsed ? *parsed : m_min;
}

void SpinEdit::setValue(int value) {
    setText(QString::number(std::clamp(value, m_min, m_max)));
}

QString SpinEdit::text() const {
    return m_edit->text();
}

void SpinEdit::setText(const QString& text) {
    if (m_edit->text() != text) m_edit->setText(text);
}

void SpinEdit::step(int delta) {
    const long long next = static_cast<long long>(value()) + delta;
    setValue(static_cast<int>(std::clamp<long long>(next, m_min, m_max)));
}

} // namespace qm
