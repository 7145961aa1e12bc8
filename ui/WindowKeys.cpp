#include "ui/WindowKeys.h"

#include <QAbstractItemView>
#include <QKeyEvent>
#include <QPushButton>
#include <QWidget>

namespace qm {

bool takeToolWindowKey(QWidget* window, QKeyEvent* event, QPushButton* defaultButton) {
    if (event->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier)) return false;
    if (event->key() == Qt::Key_Escape) {
        window->close();
        return true;
    }
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) return false;
    QWidget* focus = window->focusWidget();
    if (auto* button = qobject_cast<QPushButton*>(focus)) {
        if (button->isEnabled()) button->click();
        return true;
    }
    if (qobject_cast<QAbstractItemView*>(focus)) return false;
    if (defaultButton && defaultButton->isEnabled()) defaultButton->click();
    return true;
}

} // namespace qm
