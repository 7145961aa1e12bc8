#include "ui/CheckListBox.h"

#include <QKeyEvent>
#include <QMouseEvent>

#include <utility>

namespace qm {

CheckListBox::CheckListBox(ServerList& list, QWidget* parent)
    : QListView(parent), m_model(new CheckListModel(list, this)) {
    setModel(m_model);
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // A reset (removal, merge, clear) loses the view's current row; put back the list's.
    connect(m_model, &QAbstractItemModel::modelReset, this, &CheckListBox::followHighlight);
    connect(m_model, &QAbstractItemModel::rowsInserted, this, &CheckListBox::followHighlight);
}

void CheckListBox::followHighlight() {
    const size_t row = list().highlighted();
    if (row == ServerList::npos) {
        selectionModel()->clear();
    } else {
        const QModelIndex idx = m_model->index(static_cast<int>(row));
        selectionModel()->setCurrentIndex(idx, QItemSelectionModel::ClearAndSelect);
    }
}

void CheckListBox::highlightCurrent() {
    const QModelIndex current = currentIndex();
    list().setHighlighted(current.isValid() ? static_cast<size_t>(current.row()) : ServerList::npos);
}

void CheckListBox::clickRow(size_t row) {
    if (row >= list().count()) return;
    highlightRow(row);
    emit clicked();
}

void CheckListBox::highlightRow(size_t row) {
    if (row >= list().count()) return;
    setCurrentIndex(m_model->index(static_cast<int>(row)));
    highlightCurrent();
}

void CheckListBox::focusInEvent(QFocusEvent* event) {
    // The view gives itself a current row when it gets the focus; that row is no
    // choice of the user's, so it must not highlight anything.
    QListView::focusInEvent(event);
    if (list().highlighted() == ServerList::npos) selectionModel()->clearSelection();
}

void CheckListBox::mousePressEvent(QMouseEvent* event) {
    QListView::mousePressEvent(event);
    if (indexAt(event->position().toPoint()).isValid()) highlightCurrent();
}

void CheckListBox::mouseReleaseEvent(QMouseEvent* event) {
    QListView::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && indexAt(event->position().toPoint()).isValid()) emit clicked();
}

void CheckListBox::mouseDoubleClickEvent(QMouseEvent* event) {
    QListView::mouseDoubleClickEvent(event);
    const QModelIndex at = indexAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && at.isValid()) emit entryActivated(static_cast<size_t>(at.row()));
}

void CheckListBox::keyPressEvent(QKeyEvent* event) {
    const QModelIndex before = currentIndex();
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && before.isValid() &&
        event->modifiers() == Qt::NoModifier) {
        emit entryActivated(static_cast<size_t>(before.row()));
        return;
    }
    if (event->key() == Qt::Key_Space && before.isValid()) {
        list().toggleChecked(static_cast<size_t>(before.row()));
        return;
    }
    if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::NoModifier) {
        emit deletePressed();
        return;
    }
    // The window's own commands behind the standard keys.
    static const std::pair<QKeySequence::StandardKey, void (CheckListBox::*)()> kCommands[] = {
        {QKeySequence::Undo, &CheckListBox::undoPressed},
        {QKeySequence::Copy, &CheckListBox::copyPressed},
        {QKeySequence::Paste, &CheckListBox::pastePressed},
        {QKeySequence::SelectAll, &CheckListBox::selectAllPressed}};
    for (const auto& [keys, command] : kCommands)
        if (event->matches(keys)) {
            emit(this->*command)();
            return;
        }
    QListView::keyPressEvent(event);
    if (currentIndex().isValid() && currentIndex() != before) {
        highlightCurrent();
        emit clicked();
    }
}

} // namespace qm
