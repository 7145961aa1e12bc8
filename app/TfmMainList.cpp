// The list commands of the middle column.
#include "app/TfmMain.h"

#include "ui/CheckListBox.h"
#include "ui/TextCodec.h"

#include <QLabel>

namespace qm {

void TfmMain::refreshCountLabel() { lbCount->setText(toDisplay(m_servers.countText())); }

void TfmMain::bbInvertClick() { m_servers.invertMarks(); }
void TfmMain::bbSelectAllClick() { m_servers.setAllMarks(true); }
void TfmMain::bbDeselectAllClick() { m_servers.setAllMarks(false); }

void TfmMain::bbDeleteClick() {
    m_servers.removeMarked();
    refreshCountLabel();
}

void TfmMain::bbClearClick() {
    m_servers.clear();
    refreshCountLabel();
}

} // namespace qm
