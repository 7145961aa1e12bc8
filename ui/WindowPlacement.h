#pragma once
#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

namespace qm {

/// Where a window of `size` (its frame) opens beside `owner` (its frame) on a screen whose
/// free area is `screen`: to the right of the owner where it fits, else to its left, else
/// centred on the owner; always kept on the screen.
QPoint placeBeside(const QRect& owner, const QSize& size, const QRect& screen);

/// Shows `window` beside `owner` the first time it is shown; afterwards it stays where the
/// user put it.
void showBeside(QWidget* window, const QWidget* owner);

} // namespace qm
