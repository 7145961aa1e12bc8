#pragma once
#include "ui/CheckListModel.h"

#include <QListView>

namespace qm {

/// A sorted check list box over a ServerList. The view's current row is the list's
/// highlighted entry; clicking an entry or moving to it with the keyboard reports
/// clicked(), and the space bar flips the highlighted entry's mark.
class CheckListBox : public QListView {
    Q_OBJECT
public:
    CheckListBox(ServerList& list, QWidget* parent);
    ServerList& list() { return m_model->list(); }
    /// Highlights a row as a user's click would, and reports the click.
    void clickRow(size_t row);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void followHighlight();

    CheckListModel* m_model;
    bool m_syncing = false;
};

} // namespace qm
