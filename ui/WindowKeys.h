#pragma once

class QKeyEvent;
class QPushButton;
class QWidget;

namespace qm {

/// The keys of a tool window that has no dialog of its own to give them: Esc closes it;
/// Return or Enter clicks the focused button, or else `defaultButton` (when it is
/// enabled), except in a table or list, which keeps its own Return. True when the key
/// was taken.
bool takeToolWindowKey(QWidget* window, QKeyEvent* event, QPushButton* defaultButton);

} // namespace qm
