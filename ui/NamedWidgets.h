#pragma once
// Controls made with their object name, which tests and the settings find them by.
#include <QPushButton>
#include <QString>

namespace qm {

template <class T> T* named(T* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

inline QPushButton* namedButton(const char* name, const char* caption, QWidget* parent) {
    return named(new QPushButton(QString::fromLatin1(caption), parent), name);
}

} // namespace qm
