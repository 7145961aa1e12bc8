// Joining from every place a server is shown: the server list, the Monitoring page, the
// status and find tables, with hl.exe or Steam, a password, and what is refused.
#include "app/ServerStatusModel.h"
#include "app/StatusTable.h"
#include "app/TfmFindServers.h"
#include "app/TfmServerStatus.h"
#include "details/TfmServerDetails.h"
#include "tests/app/WindowTest.h"
#include "tests/support/UdpResponder.h"
#include "tools/DemoServer.h"
#include "ui/CheckListBox.h"

#include <QComboBox>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTest>

#include <filesystem>
#include <fstream>
#include <mutex>

using namespace qm;
using namespace qm::test;

namespace {

constexpr uint16_t kGamePort = 27099;

} // namespace

class JoinWindow : public WindowTest {
  protected:
    JoinWindow()
        : udp([this](const std::string& request) {
              std::lock_guard<std::mutex> lock(m_lock);
              return demo ? demo->answer(request, 0, 0) : std::string();
          }) {
        serve(ServerInfo{});
    }

    void SetUp() override {
        env.statusOptions.silenceMs = 300;
        env.statusOptions.retries = 0;
        env.statusOptions.playersWaitMs = 300;
        // A game folder: hl.exe with its favourites file beside it.
        hlExe = dir.path() + "Half-Life/hl.exe";
        std::filesystem::create_directories(dir.path() + "Half-Life/platform/config");
        std::ofstream(hlExe) << "MZ";
        std::ofstream(dir.path() + "Half-Life/platform/config/ServerBrowser.vdf") << "\"Filters\"\n{\n}\n";
        makeWindow();
        window->edPath2HL->setText(QString::fromStdString(hlExe));
        window->servers().addIfAbsent(entry());
        window->show();
    }

    // The server answers A2S; its answer names game port 27099, unlike the port asked.
    void serve(ServerInfo info) {
        info.hostname = info.hostname == ServerInfo{}.hostname ? "Join demo" : info.hostname;
        info.address = "127.0.0.1:" + std::to_string(kGamePort);
        std::lock_guard<std::mutex> lock(m_lock);
        demo = std::make_unique<DemoServer>(info, DemoProtocol::A2s);
    }
    std::string entry(const char* gameDir = "cstrike") const {
        // An entry always has its blank, the game directory after it may be empty.
        return "127.0.0.1:" + std::to_string(udp.port()) + " " + gameDir;
    }
    std::vector<std::string> hlArguments(const char* gameDir = "cstrike") const {
        return {"-game", gameDir, "+connect", "127.0.0.1:" + std::to_string(kGamePort)};
    }
    void chooseJoinWith(int index) {
        window->cbJoinWith->setCurrentIndex(index);
        emit window->cbJoinWith->activated(index);
    }

    std::mutex m_lock;
    std::unique_ptr<DemoServer> demo;
    UdpResponder udp;
    std::string hlExe;
};

TEST_F(JoinWindow, TheListStartsHlExeWithTheAnswersGamePortInItsFolder) {
    std::unique_ptr<QMenu> menu(window->listContextMenu(0));
    QAction* join = menu->findChild<QAction*>(QStringLiteral("miJoinServer"));
    ASSERT_NE(join, nullptr);
    join->trigger();
    ASSERT_EQ(dialogs.launched.size(), 1u) << status();
    EXPECT_EQ(dialogs.launched[0].program, hlExe);
    EXPECT_EQ(dialogs.launched[0].folder, dir.path() + "Half-Life/");
    EXPECT_EQ(dialogs.launched[0].arguments, hlArguments());
    EXPECT_TRUE(dialogs.passwordPrompts.empty());
    EXPECT_EQ(status(), "Joining 127.0.0.1:27099 with hl.exe");
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(JoinWindow, APasswordIsAskedUsedOnceAndNeverShown) {
    ServerInfo locked;
    locked.hostname = "Locked";
    locked.password = true;
    serve(locked);
    dialogs.passwordAnswer = "s3cret";
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    window->clbIPs->highlightRow(0);
    QTest::keyClick(window.get(), Qt::Key_J, Qt::ControlModifier);
    ASSERT_EQ(dialogs.passwordPrompts.size(), 1u);
    EXPECT_EQ(dialogs.passwordPrompts[0], "Locked (127.0.0.1:27099) asks for a password:");
    ASSERT_EQ(dialogs.launched.size(), 1u);
    std::vector<std::string> expected = hlArguments();
    expected.insert(expected.end(), {"+password", "s3cret"});
    EXPECT_EQ(dialogs.launched[0].arguments, expected);
    EXPECT_EQ(status().find("s3cret"), std::string::npos);
    // Cancelled: nothing starts.
    dialogs.passwordAnswer.reset();
    window->joinEntry(0);
    EXPECT_EQ(dialogs.launched.size(), 1u);
    EXPECT_EQ(status(), "Joining 127.0.0.1:27099 cancelled");
    // Nothing of it is kept in the settings.
    click("bbSaveSettings");
    EXPECT_EQ(readAll(dir.path() + "userpref.ini").find("s3cret"), std::string::npos);
}

TEST_F(JoinWindow, SteamOpensItsConnectLinkWithThePassword) {
    ServerInfo locked;
    locked.password = true;
    serve(locked);
    dialogs.passwordAnswer = "pw";
    chooseJoinWith(1);
    EXPECT_EQ(window->joinWith(), JoinWith::Steam);
    window->joinEntry(0);
    EXPECT_EQ(dialogs.opened, (std::vector<std::string>{"steam://connect/127.0.0.1:27099/pw"}));
    EXPECT_TRUE(dialogs.launched.empty());
    EXPECT_EQ(status(), "Joining 127.0.0.1:27099 with Steam");
    // No program for steam:// links: said, not claimed as done.
    dialogs.openSucceeds = false;
    window->joinEntry(0);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_TRUE(dialogs.shown[0].error);
    EXPECT_NE(dialogs.shown[0].text.find("is Steam installed?"), std::string::npos);
    EXPECT_EQ(status(), "Joining 127.0.0.1:27099 failed");
}

TEST_F(JoinWindow, WhatCannotStartTheGameIsRefusedWithItsReason) {
    const struct {
        const char* what;
        const char* serverGameDir;
        const char* listGameDir;
        bool removeHlExe;
        std::string launchFailure;
        const char* message;
    } cases[] = {
        {"a game directory that is no folder name", "cs;quit", "", false, "", "is not a plain folder name"},
        {"no hl.exe", "cstrike", "cstrike", true, "", "There is no hl.exe at"},
        {"no Wine", "cstrike", "cstrike", false, "Starting hl.exe needs Wine: install it.", "needs Wine"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ServerInfo info;
        info.gameDir = c.serverGameDir;
        serve(info);
        window->servers().clear();
        window->servers().addIfAbsent(entry(c.listGameDir));
        if (c.removeHlExe)
            std::filesystem::remove(hlExe);
        else
            std::ofstream(hlExe) << "MZ";
        dialogs.launchFailure = c.launchFailure;
        dialogs.shown.clear();
        dialogs.launched.clear();
        window->joinEntry(0);
        ASSERT_EQ(dialogs.shown.size(), 1u);
        EXPECT_TRUE(dialogs.shown[0].error);
        EXPECT_NE(dialogs.shown[0].text.find(c.message), std::string::npos) << dialogs.shown[0].text;
        EXPECT_EQ(dialogs.launched.size(), c.launchFailure.empty() ? 0u : 1u);
        EXPECT_EQ(status(), "Joining 127.0.0.1:27099 failed");
    }
}

TEST_F(JoinWindow, TheChoiceFollowsTheDefaultUntilPickedAndIsKept) {
    EXPECT_EQ(window->joinWith(), JoinWith::GameFolder); // hl.exe exists
    std::filesystem::remove(hlExe);
    window->edSteamFolder->setText(QString::fromStdString(dir.path() + "Steam"));
    EXPECT_EQ(window->joinWith(), JoinWith::Steam);
    window->pcMenu->setCurrentWidget(window->tsHelp);
    window->pcMenu->setCurrentWidget(window->tsOptions);
    EXPECT_EQ(window->cbJoinWith->currentIndex(), 1); // the box shows what a join would use
    click("bbSaveSettings");
    EXPECT_EQ(readAll(dir.path() + "userpref.ini").find("cbJoinWith"), std::string::npos);

    chooseJoinWith(0);
    click("bbSaveSettings");
    EXPECT_NE(readAll(dir.path() + "userpref.ini").find("cbJoinWith=hl.exe"), std::string::npos);
    window.reset();
    makeWindow(); // a new start reads the pick back
    window->edSteamFolder->setText(QString::fromStdString(dir.path() + "Steam"));
    EXPECT_EQ(window->joinWith(), JoinWith::GameFolder);
}

TEST_F(JoinWindow, TheMonitoringPageJoinsAndOpensDetailsOfTheHighlightedEntry) {
    window->clbIPs->highlightRow(0);
    std::unique_ptr<QMenu> menu(window->monitoringContextMenu());
    QAction* join = menu->findChild<QAction*>(QStringLiteral("miJoinServer"));
    QAction* details = menu->findChild<QAction*>(QStringLiteral("miDetails"));
    ASSERT_TRUE(join && details);
    EXPECT_GT(menu->actions().size(), 3); // the text's own items stay
    join->trigger();
    ASSERT_EQ(dialogs.launched.size(), 1u);
    EXPECT_EQ(dialogs.launched[0].arguments, hlArguments());
    details->trigger();
    auto* opened = window->findChild<TfmServerDetails*>();
    ASSERT_NE(opened, nullptr);
    EXPECT_TRUE(waitFor([&] { return !opened->asking(); }));
    EXPECT_EQ(opened->joinTarget().portToJoin(), kGamePort);
    opened->close();
}

TEST_F(JoinWindow, TheStatusTableJoinsAndOpensDetailsAndCarriesTheVerdict) {
    ServerInfo fake;
    fake.players = 70; // more than the game holds
    fake.maxPlayers = 80;
    serve(fake);
    click("bbServerStatus");
    TfmServerStatus& status = *window->fmServerStatus;
    ASSERT_TRUE(waitFor([&] { return !status.refreshing(); }));
    status.tvServerStatus->setCurrentIndex(status.tvServerStatus->model()->index(0, 0));
    status.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&status));
    QTest::keyClick(&status, Qt::Key_J, Qt::ControlModifier);
    ASSERT_EQ(dialogs.launched.size(), 1u);
    EXPECT_EQ(dialogs.launched[0].arguments, hlArguments()); // the answer's game port

    // Enter on the row opens its details; their verdict becomes the row's tooltip.
    status.tvServerStatus->setFocus();
    QTest::keyClick(status.tvServerStatus, Qt::Key_Return);
    auto* details = window->findChild<TfmServerDetails*>();
    ASSERT_NE(details, nullptr);
    EXPECT_TRUE(waitFor([&] { return !details->asking(); }));
    EXPECT_TRUE(status.refreshing() == false); // Return did not start another refresh
    const QString tip = status.tvServerStatus->model()->index(0, 1).data(Qt::ToolTipRole).toString();
    EXPECT_EQ(tip.toStdString(), "players look fake: it claims 70 players, more than the game holds (64)");
    details->close();
}

TEST_F(JoinWindow, TheFindTableJoinsOnTheListsGamePort) {
    click("bbFindServers");
    TfmFindServers& find = *window->fmFindServers;
    ListedServer listed;
    listed.address = Endpoint::fromDotted("127.0.0.1", 27016);
    listed.described = true;
    listed.summary = {"Listed", "de_dust2", "1", "20", "0"};
    listed.gameDir = "cstrike";
    listed.gamePort = 27020;
    find.model().append({listed});
    StatusTable table{&find.model(), qobject_cast<QSortFilterProxyModel*>(find.tvFoundServers->model()),
                      find.tvFoundServers};
    std::unique_ptr<QMenu> menu(serverMenu(
        table, 0, {[this](const JoinTarget& t) { window->joinServer(t); }, [](const JoinTarget&) {}}, &find));
    ASSERT_NE(menu, nullptr);
    QAction* join = menu->findChild<QAction*>(QStringLiteral("miJoinServer"));
    ASSERT_NE(join, nullptr);
    EXPECT_EQ(join->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_J));
    join->trigger();
    ASSERT_EQ(dialogs.launched.size(), 1u);
    EXPECT_EQ(dialogs.launched[0].arguments,
              (std::vector<std::string>{"-game", "cstrike", "+connect", "127.0.0.1:27020"}));
    // The window's own menu leads to the same.
    find.tvFoundServers->setCurrentIndex(find.tvFoundServers->model()->index(0, 0));
    find.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&find));
    QTest::keyClick(&find, Qt::Key_J, Qt::ControlModifier);
    EXPECT_EQ(dialogs.launched.size(), 2u);
}

TEST_F(JoinWindow, ADoubleClickOrEnterInTheListOpensTheDetails) {
    const QRect row = window->clbIPs->visualRect(window->clbIPs->model()->index(0, 0));
    QTest::mouseDClick(window->clbIPs->viewport(), Qt::LeftButton, {}, row.center());
    auto* first = window->findChild<TfmServerDetails*>();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->objectName(), "fmServerDetails");
    window->clbIPs->setFocus();
    QTest::keyClick(window->clbIPs, Qt::Key_Return);
    // Several may be open at once, each of its own.
    EXPECT_EQ(window->findChildren<TfmServerDetails*>().size(), 2);
    for (TfmServerDetails* d : window->findChildren<TfmServerDetails*>())
        d->close();
}
