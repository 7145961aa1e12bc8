// The list commands of the middle column.
#include "app/TfmMain.h"

#include "ui/CheckListBox.h"
#include "ui/TextCodec.h"

#include <QLabel>

namespace qm {

void TfmMain::refreshCountLabel() {
    lbCount->setText(toDisplay(m_servers.countText()));
}

void TfmMain::bbInvertClick() {
    beforeListCommand();
    m_servers.invertMarks();
}

void TfmMain::bbSelectAllClick() {
    beforeListCommand();
    m_servers.setAllMarks(true);
}

void TfmMain::bbDeselectAllClick() {
    beforeListCommand();
    m_servers.setAllMarks(false);
}

void TfmMain::bbDeleteClick() {
    beforeListCommand();
    m_servers.removeMarked();
    refreshCountLabel();
}

void TfmMain::bbClearClick() {
    beforeListCommand();
    m_servers.clear();
    refreshCountLabel();
}

void TfmMain::deleteHighlightedEntry() {
    const size_t row = m_servers.highlighted();
    if (row == ServerList::npos) return;
    beforeListCommand();
    m_servers.removeRow(row);
    // The next entry takes the place, so that Delete pressed again goes on down the list.
    if (m_servers.count() > 0) clbIPs->highlightRow(std::min(row, m_servers.count() - 1));
    refreshCountLabel();
}

void TfmMain::undoListCommand() {
    if (!m_listHistory.undo(m_servers)) {
        setStatusText("Nothing to undo");
        return;
    }
    refreshCountLabel();
    setStatusText("The last list command was undone");
}

} // namespace qm
