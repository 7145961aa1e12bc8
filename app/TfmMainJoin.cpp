// From a server to the game: Join server and the details windows, from the server list,
// the Monitoring page and the status and find tables.
#include "app/AppTitle.h"
#include "app/ServerStatusModel.h"
#include "app/StatusTable.h"
#include "app/TfmFindServers.h"
#include "app/TfmMain.h"
#include "app/TfmServerStatus.h"
#include "details/TfmServerDetails.h"
#include "favourites/GameLocation.h"
#include "find/MasterServersFile.h"
#include "platform/HostResolver.h"
#include "platform/Paths.h"
#include "query/QueryTarget.h"
#include "query/ServerDetails.h"
#include "serverlist/ServerEntry.h"
#include "ui/CheckListBox.h"
#include "ui/SpinEdit.h"
#include "ui/TextCodec.h"
#include "ui/WindowPlacement.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>

namespace qm {

namespace {

// The server of a list entry, as far as the entry tells it.
std::optional<JoinTarget> serverOfEntry(const std::string& entry) {
    const std::optional<QueryTarget> target = targetOfEntry(entry);
    if (!target || !isDottedAddress(target->host)) return std::nullopt;
    JoinTarget server;
    server.address = target->host;
    server.queryPort = static_cast<uint16_t>(target->port);
    server.gameDir = std::string(ServerEntryParts::gameDir(entry));
    return server;
}

} // namespace

JoinWith TfmMain::joinWith() const {
    if (m_joinWithChosen) return cbJoinWith->currentIndex() == 1 ? JoinWith::Steam : JoinWith::GameFolder;
    return defaultJoinWith(isFile(gameLocation()), !edSteamFolder->text().trimmed().isEmpty());
}

void TfmMain::showDefaultJoinWith() {
    if (m_joinWithChosen) return;
    const QSignalBlocker quiet(cbJoinWith);
    cbJoinWith->setCurrentIndex(joinWith() == JoinWith::Steam ? 1 : 0);
}

std::string TfmMain::fallbackGameDir() const {
    std::string dir = modOfGameFolder(gameDirectory(gameLocation()));
    if (dir.empty()) dir = fromDisplay(edSteamGameDir->text().trimmed());
    return dir;
}

void TfmMain::joinServer(const JoinTarget& server) {
    JoinRequest request;
    request.address = server.address;
    request.gamePort = server.portToJoin();
    request.gameDir = server.gameDir.empty() ? fallbackGameDir() : server.gameDir;
    request.with = joinWith();
    request.hlExe = gameLocation();
    const std::string address = request.address + ":" + std::to_string(request.gamePort);
    if (request.with == JoinWith::GameFolder && !isFile(request.hlExe)) {
        m_env.dialogs->showError(kApplicationTitle,
                                 "There is no hl.exe at \"" + request.hlExe +
                                     "\": choose the game's hl.exe on the Options page, or join with Steam.");
        setStatusText("Joining " + address + " failed");
        return;
    }
    if (server.password) {
        const std::string who = server.name.empty() ? address : server.name + " (" + address + ")";
        const auto typed = m_env.dialogs->askPassword("Join server", who + " asks for a password:");
        if (!typed) {
            setStatusText("Joining " + address + " cancelled");
            return;
        }
        request.password = *typed;
    }
    const JoinPlan plan = planJoin(request);
    if (!plan.refusal.empty()) {
        m_env.dialogs->showError(kApplicationTitle, plan.refusal);
        setStatusText("Joining " + address + " failed");
        return;
    }
    if (!plan.url.empty()) {
        if (!m_env.dialogs->openDocument(plan.url)) {
            m_env.dialogs->showError(kApplicationTitle,
                                     "No program opens steam:// links here: is Steam installed? Or join with "
                                     "the game folder's hl.exe (Options page).");
            setStatusText("Joining " + address + " failed");
            return;
        }
        setStatusText("Joining " + address + " with Steam");
        return;
    }
    if (const std::string failure = m_env.dialogs->launchProgram(plan.launch); !failure.empty()) {
        m_env.dialogs->showError(kApplicationTitle, failure);
        setStatusText("Joining " + address + " failed");
        return;
    }
    setStatusText("Joining " + address + " with hl.exe");
}

void TfmMain::joinEntry(size_t row) {
    if (row >= m_servers.count()) return;
    const std::string entry = m_servers.text(row);
    std::optional<JoinTarget> server = serverOfEntry(entry);
    if (!server) {
        m_env.dialogs->showError(kApplicationTitle, "\"" + entry + "\" is no server address to join.");
        return;
    }
    clbIPs->highlightRow(row);
    // What the server says now: whether it has a password, the port a game connects to.
    if (m_lastAnswerEntry != entry) bbUDPRefreshClick();
    if (m_lastAnswerEntry == entry && m_lastAnswer.answered()) {
        server->password = needsPassword(m_lastAnswer);
        server->gamePort = gamePortOf(m_lastAnswer);
        server->name = m_lastAnswer.summary().name;
        if (server->gameDir.empty()) server->gameDir = m_lastAnswer.gameDir();
    }
    joinServer(*server);
}

void TfmMain::showEntryDetails(size_t row) {
    if (row >= m_servers.count()) return;
    const std::string entry = m_servers.text(row);
    if (const auto server = serverOfEntry(entry))
        showServerDetails(*server);
    else
        m_env.dialogs->showError(kApplicationTitle, "\"" + entry + "\" is no server address to ask.");
}

TfmServerDetails* TfmMain::showServerDetails(const JoinTarget& server) {
    ServerDetailsSetup setup;
    setup.target = {server.address, server.queryPort};
    setup.gameDir = server.gameDir;
    setup.gamePort = server.gamePort;
    setup.options = m_env.statusOptions;
    setup.lookup = m_env.hostLookup;
    setup.refreshMs = seTimer->value();
    setup.dialogs = m_env.dialogs;
    setup.countryOf = [this](const std::string& host) { return countryOf(host); };
    setup.join = [this](const JoinTarget& s) { guarded([this, s] { joinServer(s); }); };
    setup.addToList = [this](const std::string& entry) {
        beforeListCommand();
        m_servers.addIfAbsent(entry);
        m_servers.checkEntry(entry);
        refreshCountLabel();
        setStatusText("Added " + entry);
    };
    // The tables that show the server carry the verdict as their rows' tooltip.
    setup.playersChecked = [this](const std::string& address, const std::string& remark) {
        if (fmServerStatus) fmServerStatus->model().setPlayersRemark(address, remark);
        if (fmFindServers) fmFindServers->model().setPlayersRemark(address, remark);
    };
    auto* window = new TfmServerDetails(std::move(setup), this);
    showBeside(window, this);
    return window;
}

ServerActions TfmMain::serverActions() {
    return {[this](const JoinTarget& s) { guarded([this, s] { joinServer(s); }); },
            [this](const JoinTarget& s) { guarded([this, s] { showServerDetails(s); }); }};
}

QMenu* TfmMain::monitoringContextMenu() {
    QMenu* menu = mmUDPInfo->createStandardContextMenu();
    menu->setObjectName(QStringLiteral("pmUDPInfo"));
    menu->addSeparator();
    const size_t row = m_servers.highlighted();
    QAction* join = menu->addAction(QStringLiteral("Join server"));
    join->setObjectName(QStringLiteral("miJoinServer"));
    join->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_J));
    join->setShortcutVisibleInContextMenu(true);
    join->setEnabled(row != ServerList::npos);
    connect(join, &QAction::triggered, this, [this, row] { guarded([this, row] { joinEntry(row); }); });
    QAction* details = menu->addAction(QStringLiteral("Details..."));
    details->setObjectName(QStringLiteral("miDetails"));
    details->setEnabled(row != ServerList::npos);
    connect(details, &QAction::triggered, this,
            [this, row] { guarded([this, row] { showEntryDetails(row); }); });
    return menu;
}

} // namespace qm
