#pragma once
#include "ui/CheckListModel.h"

#include <QListView>

namespace qm {

/// A sorted check list box over a ServerList. Clicking an entry or moving to it with the
/// keyboard highlights it in the list and reports clicked(); the focus alone highlights
/// nothing. The space bar flips the mark of the entry under the focus; Delete, Ctrl+A and
/// Ctrl+V are reported for the window to remove the entry, check all and paste.
class CheckListBox : public QListView {
    Q_OBJECT
  public:
    CheckListBox(ServerList& list, QWidget* parent);
    ServerList& list() { return m_model->list(); }
    /// Highlights a row as a user's click would, and reports the click.
    void clickRow(size_t row);
    /// Highlights a row without reporting a click.
    void highlightRow(size_t row);

  signals:
    void clicked();
    /// The Delete key and Ctrl+A, for the window to run its own commands.
    void deletePressed();
    void pastePressed();
    void copyPressed();
    void undoPressed();
    void selectAllPressed();
    /// A double-click or Enter on an entry: the window opens its details.
    void entryActivated(size_t row);

  protected:
    void focusInEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void followHighlight();
    void highlightCurrent();

    CheckListModel* m_model;
};

} // namespace qm
