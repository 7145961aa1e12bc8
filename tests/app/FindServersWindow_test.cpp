// The "Find servers" window: masters typed in and the game folder's, Steam's list over
// HTTPS with nginx in Steam's place, the key kept only when asked, and Cancel.
#include "app/ServerStatusModel.h"
#include "app/TfmFindServers.h"
#include "platform/Paths.h"
#include "platform/ProfileFile.h"
#include "tests/app/WindowTest.h"
#include "tests/support/LoopbackDaemons.h"
#include "tests/support/UdpResponder.h"
#include "tools/DemoMaster.h"
#include "tools/DemoServer.h"
#include "ui/CheckListBox.h"
#include "ui/WindowPlacement.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QMenu>
#include <QProgressBar>
#include <QRadioButton>
#include <QScreen>
#include <QSortFilterProxyModel>
#include <QSpinBox>
#include <QTableView>
#include <QTest>

#include <filesystem>
#include <set>

using namespace qm;
using namespace qm::test;
using namespace std::chrono_literals;

namespace {

constexpr int kServers = 12;

} // namespace

class FindServersWindow : public WindowTest {
  protected:
    void SetUp() override {
        for (int i = 0; i < kServers; ++i) {
            ServerInfo info;
            info.hostname = "Found " + std::to_string(i);
            info.gameDir = "valve";
            auto demo = std::make_shared<DemoServer>(info, DemoProtocol::A2s);
            // Every third one stays silent.
            servers.push_back(std::make_unique<UdpResponder>(
                [demo, i](const std::string& r) {
                    return i % 3 == 2 ? std::string() : demo->answer(r, 0, 0);
                },
                std::chrono::milliseconds(3 * i)));
            listed.push_back(Endpoint::fromDotted("127.0.0.1", servers.back()->port()));
        }
        auto demoMaster = std::make_shared<DemoMaster>(listed, ServerInfo{});
        master = std::make_unique<UdpResponder>(
            [demoMaster](const std::string& r) { return demoMaster->answer(r); });
        env.statusOptions.silenceMs = 200;
        env.statusOptions.retries = 0;
        env.masterOptions.pageWaitMs = 300;
        makeWindow();
        window->show();
    }

    TfmFindServers& openWithKeys() {
        window->show();
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        QTest::keyClick(window.get(), Qt::Key_F, Qt::ControlModifier);
        EXPECT_NE(window->fmFindServers, nullptr);
        return *window->fmFindServers;
    }
    bool searchEnds(TfmFindServers& find) {
        return waitFor([&] { return !find.finding(); });
    }
    std::string masterAt() const { return "127.0.0.1:" + std::to_string(master->port()); }

    std::vector<std::unique_ptr<UdpResponder>> servers;
    std::vector<Endpoint> listed;
    std::unique_ptr<UdpResponder> master;
};

TEST_F(FindServersWindow, TypedMastersFillTheTableAndTheChosenServersGoIntoTheList) {
    TfmFindServers& find = openWithKeys();
    find.rbTypedMasters->click();
    ASSERT_TRUE(find.edMasters->isEnabled());
    QTest::keyClicks(find.edMasters, QString::fromStdString(masterAt()));
    find.cbNotEmpty->click();
    QTest::mouseClick(find.bbFind, Qt::LeftButton);
    ASSERT_TRUE(searchEnds(find));
    // The filter went to the master as chosen.
    const auto requests = master->requestsSoFar();
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests[0], std::string("1\xFF"
                                       "0.0.0.0:0\0\\gamedir\\cstrike\\empty\\1\0",
                                       37));

    ServerStatusModel& model = find.model();
    ASSERT_EQ(model.size(), static_cast<size_t>(kServers));
    EXPECT_EQ(model.answeredCount(), 8u);
    EXPECT_EQ(model.silentCount(), 4u);
    EXPECT_EQ(find.pbFind->text().toStdString(), "12 found, 12 asked: 8 answered, 4 silent");
    EXPECT_NE(find.lbFindState->text().toStdString().find(masterAt() + ": 12 servers"), std::string::npos);

    // Sorted by ping: the answering rows first, the silent ones last.
    find.tvFoundServers->horizontalHeader()->sectionClicked(ServerStatusModel::Ping);
    const QAbstractItemModel* shown = find.tvFoundServers->model();
    EXPECT_NE(shown->index(0, ServerStatusModel::Ping).data().toString(), QString());
    EXPECT_EQ(shown->index(kServers - 1, ServerStatusModel::Ping).data().toString(), QString());

    // Check the first shown row by a click on its box.
    const QRect box = find.tvFoundServers->visualRect(shown->index(0, ServerStatusModel::Entry));
    QTest::mouseClick(find.tvFoundServers->viewport(), Qt::LeftButton, {},
                      QPoint(box.left() + 8, box.center().y()));
    const std::string firstEntry = shown->index(0, ServerStatusModel::Entry).data().toString().toStdString();
    QTest::mouseClick(find.bbAddChecked, Qt::LeftButton);
    ASSERT_EQ(window->servers().count(), 1u);
    // The game directory is the one the server named.
    EXPECT_EQ(window->servers().text(0), firstEntry + " valve");
    EXPECT_TRUE(window->servers().isChecked(0));

    QTest::mouseClick(find.bbAddAnswering, Qt::LeftButton);
    EXPECT_EQ(window->servers().count(), 8u);
    EXPECT_EQ(find.lbFindState->text().toStdString(), "7 added to the list");
    EXPECT_EQ(text("lbCount"), "8 server(s)");
}

TEST_F(FindServersWindow, TheGameFoldersMastersAreAskedFromTheContextMenu) {
    std::filesystem::create_directories(dir.path() + "game/platform/config");
    writeAll(dir.file("game/hl.exe"), "MZ");
    writeAll(dir.file("game/platform/config/MasterServers.vdf"),
             "\"MasterServers\"\n{\n\t\"hl2\"\n\t{\n\t\t\"0\"\n\t\t{\n\t\t\t\"addr\"\t\"127.0.0.1:" +
                 std::to_string(closedLoopbackUdpPort()) +
                 "\"\n\t\t}\n\t}\n\t\"hl1\"\n\t{\n\t\t\"0\"\n\t\t{\n\t\t\t\"addr\"\t\"" + masterAt() +
                 "\"\n\t\t}\n\t}\n}\n");
    control<QLineEdit>("edPath2HL")->setText(QString::fromStdString(dir.file("game/hl.exe")));
    std::unique_ptr<QMenu> menu(window->listContextMenu(ServerList::npos));
    QAction* item = menu->findChild<QAction*>(QStringLiteral("miFindServers"));
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_F));
    item->trigger();
    ASSERT_NE(window->fmFindServers, nullptr);
    TfmFindServers& find = *window->fmFindServers;
    ASSERT_TRUE(find.rbGameMasters->isChecked());
    QTest::mouseClick(find.bbFind, Qt::LeftButton);
    ASSERT_TRUE(searchEnds(find));
    // The GoldSrc master is asked first and its list is whole: the other is never asked.
    EXPECT_EQ(find.model().size(), static_cast<size_t>(kServers));
    EXPECT_EQ(find.lbFindState->text().toStdString(), masterAt() + ": 12 servers");
}

TEST_F(FindServersWindow, CancelAndCloseReturnAtOnceAndKeepWhatCame) {
    UdpResponder silentMaster([](const std::string&) { return std::string(); });
    env.masterOptions.pageWaitMs = 5000;
    window.reset();
    makeWindow();
    TfmFindServers& find = openWithKeys();
    find.rbTypedMasters->click();
    find.edMasters->setText(QString::fromStdString("127.0.0.1:" + std::to_string(silentMaster.port())));
    QTest::mouseClick(find.bbFind, Qt::LeftButton);
    ASSERT_TRUE(find.finding());
    EXPECT_FALSE(find.bbFind->isEnabled());
    QTest::mouseClick(find.bbFindCancel, Qt::LeftButton);
    EXPECT_FALSE(find.finding());
    EXPECT_TRUE(find.bbFind->isEnabled());
    EXPECT_EQ(find.lbFindState->text().toStdString(), "Cancelled.");

    QTest::mouseClick(find.bbFind, Qt::LeftButton);
    ASSERT_TRUE(find.finding());
    find.close();
    EXPECT_FALSE(find.finding());

    // Nothing to ask: said at once.
    find.edMasters->clear();
    QTest::mouseClick(find.bbFind, Qt::LeftButton);
    EXPECT_FALSE(find.finding());
    EXPECT_EQ(find.lbFindState->text().toStdString(), "Type the master servers to ask, as host:port.");
}

TEST_F(FindServersWindow, SteamsListShowsItsFieldsAtOnceAndKeepsTheKeyOnlyWhenAsked) {
    HttpsNginx nginx;
    ASSERT_TRUE(nginx.up());
    std::string json = R"({"response":{"servers":[)";
    for (int i = 0; i < kServers; ++i)
        json += std::string(i ? "," : "") + R"({"addr":")" + listed[i].text() + R"(","name":"Steam says )" +
                std::to_string(i) +
                R"(","gamedir":"cstrike","map":"de_nuke","players":3,"max_players":10,"bots":1})";
    nginx.put("ok.json", json + "]}}");
    env.steamList.apiBase = nginx.reachableBase("ok");
    env.steamList.testAuthorityFile = nginx.authorityFile();
    env.steamList.testPlainHttp = !nginx.trusted();
    window.reset();
    makeWindow();
    control<QLineEdit>("edSteamGameDir")->setText(QStringLiteral("czero"));
    TfmFindServers& find = openWithKeys();
    find.rbSteamList->click();
    EXPECT_EQ(find.edFindGameDir->text(), QStringLiteral("czero"));
    EXPECT_EQ(find.edSteamKey->echoMode(), QLineEdit::Password);
    const std::string key = "FEEDC0DEFEEDC0DEFEEDC0DEFEEDC0DE";
    QTest::keyClicks(find.edSteamKey, QString::fromStdString(key));
    QTest::mouseClick(find.bbFind, Qt::LeftButton);
    // Steam's words come before any ping.
    ASSERT_TRUE(waitFor([&] { return find.model().size() == static_cast<size_t>(kServers); }));
    ASSERT_TRUE(searchEnds(find));
    const StatusRow& silent = find.model().row(2);
    EXPECT_FALSE(silent.answered);
    EXPECT_EQ(silent.summary.name, "Steam says 2"); // a silent server keeps Steam's words
    EXPECT_EQ(find.model().row(0).summary.name, "Found 0");
    EXPECT_EQ(find.lbFindState->text().toStdString(), "Steam: 12 servers");
    // Not remembered: not in the settings file.
    EXPECT_EQ(ProfileFile(dir.file("userpref.ini")).read("Find", "SteamKey", ""), "");

    find.cbRememberKey->click();
    QTest::mouseClick(find.bbFind, Qt::LeftButton);
    ASSERT_TRUE(searchEnds(find));
    EXPECT_EQ(ProfileFile(dir.file("userpref.ini")).read("Find", "SteamKey", ""), key);
    // A new window finds it there.
    window.reset();
    makeWindow();
    TfmFindServers& again = openWithKeys();
    EXPECT_EQ(again.edSteamKey->text().toStdString(), key);
    EXPECT_TRUE(again.cbRememberKey->isChecked());
    again.rbSteamList->click();
    again.cbRememberKey->click();
    EXPECT_EQ(ProfileFile(dir.file("userpref.ini")).read("Find", "SteamKey", ""), "");
    EXPECT_EQ(readAll(dir.file("userpref.ini")).find(key), std::string::npos);
}

TEST_F(FindServersWindow, ARefusedKeyIsSaidWithoutTheKey) {
    HttpsNginx nginx;
    ASSERT_TRUE(nginx.up());
    env.steamList.apiBase = nginx.reachableBase("401");
    env.steamList.testAuthorityFile = nginx.authorityFile();
    env.steamList.testPlainHttp = !nginx.trusted();
    window.reset();
    makeWindow();
    TfmFindServers& find = openWithKeys();
    find.rbSteamList->click();
    find.edSteamKey->setText(QStringLiteral("0123456789ABCDEF0123456789ABCDEF"));
    QTest::mouseClick(find.bbFind, Qt::LeftButton);
    ASSERT_TRUE(searchEnds(find));
    EXPECT_EQ(find.lbFindState->text().toStdString(), "Steam refused the key.");
    EXPECT_EQ(find.model().size(), 0u);
}

TEST_F(FindServersWindow, KeysAloneFindAddAndCloseAndTabLeavesTheTable) {
    TfmFindServers& find = openWithKeys();
    find.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&find));
    find.rbTypedMasters->click();
    find.edMasters->setFocus();
    QTest::keyClicks(find.edMasters, QString::fromStdString(masterAt()));
    QTest::keyClick(find.edMasters, Qt::Key_Return);
    ASSERT_TRUE(find.finding() || find.model().size() > 0);
    ASSERT_TRUE(searchEnds(find));
    EXPECT_EQ(find.model().size(), static_cast<size_t>(kServers));

    // Return starts Find from every field and box, not only from two of them.
    for (QWidget* field :
         std::vector<QWidget*>{find.seFindLimit, find.cbNotFull, find.cbRegion, find.edFindName}) {
        find.model().reset({});
        field->setFocus();
        QTest::keyClick(field, Qt::Key_Return);
        EXPECT_TRUE(searchEnds(find)) << field->objectName().toStdString();
        EXPECT_EQ(find.model().size(), static_cast<size_t>(kServers)) << field->objectName().toStdString();
    }

    // Tab leaves the table for the buttons below it.
    find.tvFoundServers->setFocus();
    QTest::keyClick(find.tvFoundServers, Qt::Key_Down);
    QTest::keyClick(find.tvFoundServers, Qt::Key_Tab);
    EXPECT_NE(QApplication::focusWidget(), find.tvFoundServers);

    // From the table, Tab reaches the buttons: Tab, Tab, Return adds the answering servers.
    EXPECT_EQ(QApplication::focusWidget(), find.bbAddChecked);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), find.bbAddAnswering);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(window->servers().count(), 8u);
    // Every button has a mnemonic of its own.
    std::set<QString> mnemonics;
    for (QPushButton* b :
         {find.bbFind, find.bbFindCancel, find.bbAddChecked, find.bbAddAnswering, find.bbFindClose})
        mnemonics.insert(QKeySequence::mnemonic(b->text()).toString());
    EXPECT_EQ(mnemonics.size(), 5u);
    EXPECT_EQ(mnemonics.count(QString()), 0u);

    // Esc cancels a run and closes the window.
    UdpResponder silentMaster([](const std::string&) { return std::string(); });
    find.edMasters->setText(QString::fromStdString("127.0.0.1:" + std::to_string(silentMaster.port())));
    QTest::mouseClick(find.bbFind, Qt::LeftButton);
    ASSERT_TRUE(find.finding());
    QTest::keyClick(&find, Qt::Key_Escape);
    EXPECT_FALSE(find.finding());
    EXPECT_FALSE(find.isVisible());
    // And the Close button.
    TfmFindServers& again = openWithKeys();
    ASSERT_EQ(&again, &find);
    again.bbFindClose->click();
    EXPECT_FALSE(again.isVisible());
}

TEST_F(FindServersWindow, RowsBeingAskedReadCancelledAndTheProgressCountsWhatItSays) {
    env.statusOptions.silenceMs = 5000; // the silent servers stay in flight
    window.reset();
    makeWindow();
    TfmFindServers& find = openWithKeys();
    find.rbTypedMasters->click();
    find.edMasters->setText(QString::fromStdString(masterAt()));
    QTest::mouseClick(find.bbFind, Qt::LeftButton);
    ASSERT_TRUE(
        waitFor([&] { return find.model().answeredCount() == 8 && find.model().askingCount() == 4; }));
    EXPECT_EQ(find.pbFind->text().toStdString(), "12 found, 8 asked: 8 answered, 0 silent, 4 asking...");
    QTest::mouseClick(find.bbFindCancel, Qt::LeftButton);
    int cancelled = 0;
    for (size_t r = 0; r < find.model().size(); ++r) {
        const QString state =
            find.model().index(static_cast<int>(r), ServerStatusModel::State).data().toString();
        EXPECT_NE(state, QStringLiteral("asking"));
        cancelled += state == QStringLiteral("cancelled");
    }
    EXPECT_EQ(cancelled, 4);
    EXPECT_EQ(find.pbFind->text().toStdString(), "12 found, 8 asked: 8 answered, 0 silent");
}

TEST_F(FindServersWindow, TheChoicesComeBackAfterARestartAndEveryMasterIsAskedWhenChosen) {
    auto more = std::make_shared<DemoMaster>(std::vector<Endpoint>{Endpoint::fromDotted("127.0.0.1", 9)},
                                             ServerInfo{});
    UdpResponder other([more](const std::string& r) { return more->answer(r); });
    TfmFindServers& find = openWithKeys();
    find.rbTypedMasters->click();
    const std::string masters = masterAt() + ", 127.0.0.1:" + std::to_string(other.port());
    find.edMasters->setText(QString::fromStdString(masters));
    find.cbEveryMaster->click();
    find.edFindMap->setText(QStringLiteral("de_nuke"));
    find.edFindName->setText(QStringLiteral("*x*"));
    find.cbNotFull->click();
    find.cbSecure->click();
    find.cbRegion->setCurrentIndex(4);
    find.seFindLimit->setValue(77);
    find.edFindMap->clear(); // the demo master knows its map: keep every server
    QTest::mouseClick(find.bbFind, Qt::LeftButton);
    ASSERT_TRUE(searchEnds(find));
    // Both masters were asked.
    const std::string said = find.lbFindState->text().toStdString();
    EXPECT_NE(said.find("127.0.0.1:" + std::to_string(other.port()) + ": 1 server"), std::string::npos)
        << said;
    find.edFindMap->setText(QStringLiteral("de_nuke"));
    find.close();

    window.reset();
    makeWindow();
    TfmFindServers& again = openWithKeys();
    EXPECT_TRUE(again.rbTypedMasters->isChecked());
    EXPECT_EQ(again.edMasters->text().toStdString(), masters);
    EXPECT_TRUE(again.cbEveryMaster->isChecked());
    EXPECT_EQ(again.edFindMap->text(), QStringLiteral("de_nuke"));
    EXPECT_EQ(again.edFindName->text(), QStringLiteral("*x*"));
    EXPECT_TRUE(again.cbNotFull->isChecked());
    EXPECT_TRUE(again.cbSecure->isChecked());
    EXPECT_FALSE(again.cbNotEmpty->isChecked());
    EXPECT_EQ(again.cbRegion->currentIndex(), 4);
    EXPECT_EQ(again.seFindLimit->value(), 77);
}

TEST_F(FindServersWindow, WithoutAGameFolderSteamsListIsTheDefaultOrTheReasonIsSaid) {
    struct Case {
        bool gameFolder, steamFolder;
        bool steamChosen;
        std::string said;
    };
    const std::vector<Case> cases = {
        {false, true, true, ""},
        {false, false, false, "No game folder is chosen (Options page)"},
        {true, true, false,
         "The game folder names no master server (" + nativePath("config\\MasterServers.vdf") + ")."},
    };
    writeAll(dir.file("hl.exe"), "MZ");
    for (const Case& c : cases) {
        std::filesystem::remove(dir.file("userpref.ini"));
        window.reset();
        makeWindow();
        control<QLineEdit>("edPath2HL")
            ->setText(c.gameFolder ? QString::fromStdString(dir.file("hl.exe")) : "");
        control<QLineEdit>("edSteamFolder")->setText(c.steamFolder ? QString::fromStdString(dir.path()) : "");
        TfmFindServers& find = openWithKeys();
        EXPECT_EQ(find.rbSteamList->isChecked(), c.steamChosen) << c.said;
        if (c.steamChosen) continue;
        QTest::mouseClick(find.bbFind, Qt::LeftButton);
        EXPECT_EQ(find.lbFindState->text().toStdString(), c.said);
    }
}

TEST_F(FindServersWindow, ItOpensBesideTheMainWindowAndStaysWhereTheUserPutsIt) {
    TfmFindServers& find = openWithKeys();
    // Where the screen has room it stands beside the main window, else centred on it.
    const QRect screen = window->screen()->availableGeometry();
    EXPECT_EQ(find.frameGeometry().topLeft(),
              placeBeside(window->frameGeometry(), find.frameGeometry().size(), screen));
    find.move(17, 23);
    find.close();
    TfmFindServers& again = openWithKeys();
    EXPECT_EQ(again.pos(), QPoint(17, 23));
}
