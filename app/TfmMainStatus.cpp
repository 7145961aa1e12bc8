// The server list's context menu and the "Server status" window.
#include "app/TfmMain.h"

#include "app/TfmServerStatus.h"
#include "serverlist/ServerEntry.h"
#include "ui/CheckListBox.h"
#include "ui/GradientButton.h"
#include "ui/TextCodec.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QTabWidget>

namespace qm {

void TfmMain::bbServerStatusClick() {
    if (!fmServerStatus)
        fmServerStatus = new TfmServerStatus(m_servers, m_env.statusOptions, m_env.hostLookup, this);
    fmServerStatus->show();
    fmServerStatus->raise();
    fmServerStatus->activateWindow();
    if (!fmServerStatus->refreshing()) fmServerStatus->bbStatusRefreshClick();
}

QMenu* TfmMain::listContextMenu(size_t row) {
    auto* menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("pmIPs"));
    const auto add = [&](GradientButton* b, void (TfmMain::*handler)()) {
        QAction* a = menu->addAction(b->text());
        a->setObjectName(QStringLiteral("mi") + b->objectName().mid(2));
        a->setEnabled(b->isEnabled());
        connect(a, &QAction::triggered, this,
                [this, handler] { guarded([this, handler] { (this->*handler)(); }); });
    };
    add(bbInvert, &TfmMain::bbInvertClick);
    add(bbSelectAll, &TfmMain::bbSelectAllClick);
    add(bbDeselectAll, &TfmMain::bbDeselectAllClick);
    menu->addSeparator();
    add(bbDelete, &TfmMain::bbDeleteClick);
    add(bbClear, &TfmMain::bbClearClick);
    menu->addSeparator();
    add(bbSaveList, &TfmMain::bbSaveListClick);
    menu->addSeparator();
    QAction* refresh = menu->addAction(QStringLiteral("Refresh"));
    refresh->setObjectName(QStringLiteral("miRefreshEntry"));
    QAction* copy = menu->addAction(QStringLiteral("Copy address"));
    copy->setObjectName(QStringLiteral("miCopyAddress"));
    refresh->setEnabled(row < m_servers.count());
    copy->setEnabled(row < m_servers.count());
    connect(refresh, &QAction::triggered, this, [this, row] { guarded([this, row] { refreshEntry(row); }); });
    connect(copy, &QAction::triggered, this, [this, row] { guarded([this, row] { copyAddressOf(row); }); });
    menu->addSeparator();
    add(bbServerStatus, &TfmMain::bbServerStatusClick);
    return menu;
}

void TfmMain::refreshEntry(size_t row) {
    if (row >= m_servers.count()) return;
    clbIPs->highlightRow(row);
    pcMenu->setCurrentWidget(tsMonitoring);
    bbUDPRefreshClick();
}

void TfmMain::copyAddressOf(size_t row) {
    if (row >= m_servers.count()) return;
    QGuiApplication::clipboard()->setText(
        toDisplay(std::string(ServerEntryParts::address(m_servers.text(row)))));
}

} // namespace qm
