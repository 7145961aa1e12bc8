// The server list's context menu and the "Server status" window.
#include "app/TfmMain.h"

#include "app/ServerStatusModel.h"
#include "app/StatusTable.h"
#include "app/TfmFindServers.h"
#include "app/TfmServerStatus.h"
#include "favourites/GameLocation.h"
#include "find/MasterServersFile.h"
#include "serverlist/ServerEntry.h"
#include "ui/CEditIPAddr.h"
#include "ui/CheckListBox.h"
#include "ui/GradientButton.h"
#include "ui/TextCodec.h"
#include "ui/WindowPlacement.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QTabWidget>
#include <algorithm>
#include <cstdlib>

namespace qm {

namespace {
constexpr size_t kFindInFlight = 64;
} // namespace

void TfmMain::bbServerStatusClick() {
    if (!fmServerStatus) {
        fmServerStatus = new TfmServerStatus(m_servers, m_env.statusOptions, m_env.hostLookup, this);
        fmServerStatus->beforeListChange = [this] { beforeListCommand(); };
        fmServerStatus->setServerActions(serverActions());
        fmServerStatus->model().setCountryOf([this](const std::string& host) { return countryOf(host); });
    }
    showBeside(fmServerStatus, this);
    if (!fmServerStatus->refreshing()) fmServerStatus->bbStatusRefreshClick();
}

void TfmMain::bbFindServersClick() {
    if (!fmFindServers) {
        FindServersSetup setup;
        setup.gameFolder = gameDirectory(gameLocation());
        // The game type of new entries, or else the mod the game folder holds.
        setup.gameDir = fromDisplay(edGameType->text());
        if (setup.gameDir.empty()) setup.gameDir = modOfGameFolder(setup.gameFolder);
        setup.steamGameDir = fromDisplay(edSteamGameDir->text());
        setup.steamFolderFound = !edSteamFolder->text().trimmed().isEmpty();
        setup.settingsPath = settingsPath();
        // A found list runs to thousands: asked without a pause between starts, 64 at once,
        // it takes about as long as the answers take to come.
        setup.options = m_env.statusOptions;
        setup.options.intervalMs = 0;
        setup.options.maxInFlight = std::max<size_t>(setup.options.maxInFlight, kFindInFlight);
        setup.lookup = m_env.hostLookup;
        setup.masterOptions = m_env.masterOptions;
        setup.steam = m_env.steamList;
        // Steam's list goes through the proxy of the Update page, as the update check does.
        setup.steam.proxyHost = edProxyIP->text();
        setup.steam.proxyPort = std::atoi(fromDisplay(edProxyPort->text()).c_str());
        if (setup.steam.proxyHost.empty() || setup.steam.proxyHost == "0.0.0.0" || setup.steam.proxyPort <= 0)
            setup.steam.proxyHost.clear();
        setup.steam.proxyUser = fromDisplay(edProxyLogin->text());
        setup.steam.proxyPassword = fromDisplay(edProxyPassword->text());
        setup.dialogs = m_env.dialogs;
        setup.exportDir = m_env.exportDir;
        fmFindServers = new TfmFindServers(m_servers, std::move(setup), this);
        fmFindServers->beforeListChange = [this] { beforeListCommand(); };
        fmFindServers->afterListChange = [this](size_t) { refreshCountLabel(); };
        fmFindServers->setServerActions(serverActions());
        fmFindServers->model().setCountryOf([this](const std::string& host) { return countryOf(host); });
    }
    showBeside(fmFindServers, this);
}

QMenu* TfmMain::listContextMenu(size_t row) {
    auto* menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("pmIPs"));
    // Each item shows the key that does the same in the list.
    const auto shortcut = [](QAction* a, const QKeySequence& keys) {
        a->setShortcut(keys);
        a->setShortcutVisibleInContextMenu(true);
    };
    const auto add = [&](GradientButton* b, void (TfmMain::*handler)(), const QKeySequence& keys = {}) {
        QAction* a = menu->addAction(b->text());
        a->setObjectName(QStringLiteral("mi") + b->objectName().mid(2));
        a->setEnabled(b->isEnabled());
        shortcut(a, keys);
        connect(a, &QAction::triggered, this,
                [this, handler] { guarded([this, handler] { (this->*handler)(); }); });
    };
    const auto addForRow = [&](const char* caption, const char* name, const QKeySequence& keys,
                               void (TfmMain::*handler)(size_t)) {
        QAction* a = menu->addAction(QString::fromLatin1(caption));
        a->setObjectName(QString::fromLatin1(name));
        a->setEnabled(row < m_servers.count());
        shortcut(a, keys);
        connect(a, &QAction::triggered, this,
                [this, row, handler] { guarded([this, row, handler] { (this->*handler)(row); }); });
    };
    QAction* undo = menu->addAction(QStringLiteral("Undo"));
    undo->setObjectName(QStringLiteral("miUndo"));
    undo->setEnabled(!m_listHistory.empty());
    shortcut(undo, QKeySequence::Undo);
    connect(undo, &QAction::triggered, this, [this] { guarded([this] { undoListCommand(); }); });
    menu->addSeparator();
    add(bbInvert, &TfmMain::bbInvertClick);
    add(bbSelectAll, &TfmMain::bbSelectAllClick, QKeySequence::SelectAll);
    add(bbDeselectAll, &TfmMain::bbDeselectAllClick);
    menu->addSeparator();
    add(bbDelete, &TfmMain::bbDeleteClick);
    addForRow("Remove this entry", "miRemoveEntry", QKeySequence(Qt::Key_Delete), &TfmMain::removeEntry);
    add(bbClear, &TfmMain::bbClearClick);
    QAction* paste = menu->addAction(QStringLiteral("Paste entries"));
    paste->setObjectName(QStringLiteral("miPaste"));
    shortcut(paste, QKeySequence::Paste);
    connect(paste, &QAction::triggered, this, [this] { guarded([this] { pasteEntries(); }); });
    menu->addSeparator();
    add(bbSaveList, &TfmMain::bbSaveListClick);
    menu->addSeparator();
    addForRow("Join server", "miJoinServer", QKeySequence(Qt::CTRL | Qt::Key_J), &TfmMain::joinEntry);
    addForRow("Details...", "miDetails", QKeySequence(Qt::Key_Return), &TfmMain::showEntryDetails);
    addForRow("Refresh", "miRefreshEntry", {}, &TfmMain::refreshEntry);
    addForRow("Copy address", "miCopyAddress", QKeySequence::Copy, &TfmMain::copyAddressOf);
    menu->addSeparator();
    add(bbServerStatus, &TfmMain::bbServerStatusClick, QKeySequence(Qt::CTRL | Qt::Key_T));
    add(bbFindServers, &TfmMain::bbFindServersClick, QKeySequence(Qt::CTRL | Qt::Key_F));
    return menu;
}

void TfmMain::refreshEntry(size_t row) {
    if (row >= m_servers.count()) return;
    clbIPs->highlightRow(row);
    pcMenu->setCurrentWidget(tsMonitoring);
    bbUDPRefreshClick();
}

void TfmMain::removeEntry(size_t row) {
    if (row >= m_servers.count()) return;
    clbIPs->highlightRow(row);
    deleteHighlightedEntry();
}

void TfmMain::copyAddressOf(size_t row) {
    if (row >= m_servers.count()) return;
    QGuiApplication::clipboard()->setText(
        toDisplay(std::string(ServerEntryParts::address(m_servers.text(row)))));
}

} // namespace qm
