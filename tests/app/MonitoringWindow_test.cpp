#include "query/InfoReply.h"
#include "tests/app/WindowTest.h"
#include "tests/support/UdpResponder.h"
#include "tools/DemoServer.h"
#include "ui/CEditIPAddr.h"
#include "ui/CheckListBox.h"
#include "ui/SpinEdit.h"

#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTimer>

using namespace qm;
using namespace qm::test;
using namespace std::chrono_literals;

namespace {

std::string replyNamed(const std::string& name, const std::string& gameDir = "cstrike") {
    ServerInfo info;
    info.hostname = name;
    info.gameDir = gameDir;
    return buildInfoReply(info);
}

} // namespace

class MonitoringWindow : public WindowTest {
  protected:
    void SetUp() override {
        makeWindow();
        window->show();
    }
    void showPage(int index) { control<QTabWidget>("pcMenu")->setCurrentIndex(index); }
    std::string memo() { return control<QPlainTextEdit>("mmUDPInfo")->toPlainText().toStdString(); }
    void addServer(uint16_t port, const std::string& gameDir = "cstrike") {
        window->servers().addIfAbsent("127.0.0.1:" + std::to_string(port) + " " + gameDir);
    }
    void highlight(size_t row) { control<CheckListBox>("clbIPs")->clickRow(row); }
};

TEST_F(MonitoringWindow, RefreshWithNothingHighlightedTouchesNothing) {
    control<QPlainTextEdit>("mmUDPInfo")->setPlainText("old");
    window->udpTimer->stop();
    click("bbUDPRefresh");
    EXPECT_EQ(status(), "Refreshing complete");
    EXPECT_TRUE(window->udpTimer->isActive());
    EXPECT_EQ(memo(), "old");
    EXPECT_EQ(text("lbPing"), "000");
}

TEST_F(MonitoringWindow, RefreshShowsTheHighlightedServer) {
    UdpResponder server([](const std::string&) { return replyNamed("Loopback One"); });
    addServer(server.port());
    highlight(0);
    click("bbUDPRefresh");
    EXPECT_NE(memo().find("Server: Loopback One"), std::string::npos) << memo();
    EXPECT_EQ(status(), "Refreshing complete");
    EXPECT_TRUE(control<QPushButton>("bbUDPRefresh")->isEnabled());
}

TEST_F(MonitoringWindow, PortThatIsNoNumberGoesToTheErrorReport) {
    window->servers().addIfAbsent("127.0.0.1:27015");
    highlight(0);
    window->udpTimer->stop();
    window->setStatusText("kept");
    click("bbUDPRefresh");
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, "'' is not a valid integer value.");
    EXPECT_EQ(status(), "kept");
    EXPECT_TRUE(control<QPushButton>("bbUDPRefresh")->isEnabled());
    EXPECT_TRUE(window->udpTimer->isActive());
}

TEST_F(MonitoringWindow, ClickOnTheImportPageQueriesNothing) {
    UdpResponder server([](const std::string&) { return replyNamed("x"); });
    addServer(server.port());
    showPage(1);
    highlight(0);
    EXPECT_TRUE(server.requestsSoFar().empty());
}

TEST_F(MonitoringWindow, ClickOnTheMonitoringPageQueries) {
    UdpResponder server([](const std::string&) { return replyNamed("Clicked"); });
    addServer(server.port());
    showPage(2);
    highlight(0);
    EXPECT_NE(memo().find("Server: Clicked"), std::string::npos);
}

TEST_F(MonitoringWindow, DisabledMonitoringStopsClicksAndTicksButNotTheButton) {
    UdpResponder server([](const std::string&) { return replyNamed("Manual"); });
    addServer(server.port());
    showPage(2);
    control<QCheckBox>("cbEnableMonitor")->setChecked(false);
    EXPECT_FALSE(control<QCheckBox>("cbRefreshOnClick")->isEnabled());
    highlight(0);
    window->udpTimerTimer();
    EXPECT_TRUE(server.requestsSoFar().empty());
    click("bbUDPRefresh");
    // One exchange: the infostring and the A2S_INFO request.
    EXPECT_TRUE(waitFor([&] { return server.requests().size() == 2; }));
    EXPECT_NE(memo().find("Server: Manual"), std::string::npos);
}

TEST_F(MonitoringWindow, TimerBoxFlipsTheTimerRatherThanFollowingIt) {
    auto* box = control<QCheckBox>("cbRefreshOnTimer");
    ASSERT_TRUE(window->udpTimer->isActive());
    box->setChecked(false); // running -> stopped
    EXPECT_FALSE(window->udpTimer->isActive());
    click("bbUDPRefresh"); // a refresh starts the timer again
    EXPECT_TRUE(window->udpTimer->isActive());
    window->setStatusText("");
    box->setChecked(true); // running -> stopped, no refresh
    EXPECT_FALSE(window->udpTimer->isActive());
    EXPECT_EQ(status(), "");
    box->setChecked(false); // stopped -> running, refresh at once
    EXPECT_TRUE(window->udpTimer->isActive());
    EXPECT_EQ(status(), "Refreshing complete");
}

TEST_F(MonitoringWindow, TimerIntervalFollowsTheSpinEdit) {
    control<SpinEdit>("seTimer")->setValue(4500);
    EXPECT_EQ(window->udpTimer->interval(), 4500);
    control<SpinEdit>("seTimeout")->setValue(800);
    EXPECT_EQ(window->udpClient.ReceiveTimeout, 800);
}

TEST_F(MonitoringWindow, ClickDuringAWaitShowsTheLatestEntryAfterwards) {
    UdpResponder first([](const std::string&) { return replyNamed("First"); }, 400ms);
    UdpResponder second([](const std::string&) { return replyNamed("Second"); });
    addServer(first.port());
    addServer(second.port());
    const size_t firstRow =
        window->servers().text(0).find(std::to_string(first.port())) != std::string::npos ? 0 : 1;
    showPage(2);
    QTimer::singleShot(100, window.get(), [&] { highlight(1 - firstRow); });
    highlight(firstRow);
    EXPECT_TRUE(waitFor([&] { return memo().find("Server: Second") != std::string::npos; })) << memo();
    EXPECT_TRUE(waitFor([&] { return first.requests().size() == 2 && second.requests().size() == 2; }));
}

TEST_F(MonitoringWindow, ClosingDuringAWaitEndsCleanlyAndSaves) {
    UdpResponder server([](const std::string&) { return replyNamed("Slow"); }, 600ms);
    addServer(server.port());
    highlight(0);
    QTimer::singleShot(100, window.get(), [&] { window->close(); });
    click("bbUDPRefresh");
    EXPECT_TRUE(waitFor([&] { return !window->isVisible(); }));
    window.reset();
    EXPECT_NE(readAll(dir.file("userpref.ini")).find("[Monitoring]"), std::string::npos);
}

TEST_F(MonitoringWindow, DetectNeedsAddressAndPort) {
    click("bbDetect");
    EXPECT_EQ(status(), "Error: IP and/or Port fields are empty");
    EXPECT_TRUE(control<QPushButton>("bbDetect")->isEnabled());
}

TEST_F(MonitoringWindow, DetectShowsTheGameDirInLowerCaseAndAddIpChecksIt) {
    UdpResponder server([](const std::string&) { return replyNamed("x", "CStrike"); });
    control<CEditIPAddr>("edNewIP")->setText("127.0.0.1");
    control<QLineEdit>("edNewPort")->setText(QString::number(server.port()));
    click("bbDetect");
    EXPECT_EQ(status(), "Server quiery finished");
    EXPECT_EQ(control<QLineEdit>("edGameType")->text().toStdString(), "cstrike");
    ASSERT_TRUE(control<QPushButton>("bbAddIP")->isEnabled());
    const std::string entry = "127.0.0.1:" + std::to_string(server.port()) + " cstrike";
    window->servers().addIfAbsent(entry);
    click("bbAddIP");
    EXPECT_EQ(window->servers().count(), 1u);
    EXPECT_TRUE(window->servers().isChecked(0));
    EXPECT_EQ(text("lbCount"), "1 server(s)");
}

TEST_F(MonitoringWindow, DetectWithoutGameDirLeavesAddIpAsItWas) {
    UdpResponder server(
        [](const std::string&) { return std::string("\xFF\xFF\xFF\xFFinfostringresponse\\map\\x"); });
    control<CEditIPAddr>("edNewIP")->setText("127.0.0.1");
    control<QLineEdit>("edNewPort")->setText(QString::number(server.port()));
    click("bbDetect");
    EXPECT_EQ(control<QLineEdit>("edGameType")->text().toStdString(), "");
    EXPECT_FALSE(control<QPushButton>("bbAddIP")->isEnabled());
    EXPECT_EQ(status(), "Server quiery finished");
}

TEST_F(MonitoringWindow, AddressWithOnlyItsFirstPartReadsAsZeros) {
    control<CEditIPAddr>("edNewIP")->part(0)->setText("10");
    EXPECT_EQ(control<CEditIPAddr>("edNewIP")->text(), "10.0.0.0");
}

TEST_F(MonitoringWindow, AServerOfTodayIsDetectedAddedAndShown) {
    // A2S with a challenge only, as Steam servers answer since 2020.
    std::unique_ptr<DemoServer> demo;
    UdpResponder server([&](const std::string& r) { return demo ? demo->answer(r, 0, 0) : std::string(); });
    ServerInfo facts;
    facts.hostname = "Today";
    facts.gameDir = "czero";
    demo = std::make_unique<DemoServer>(facts, DemoProtocol::A2s);
    control<CEditIPAddr>("edNewIP")->setText("127.0.0.1");
    control<QLineEdit>("edNewPort")->setText(QString::number(server.port()));
    click("bbDetect");
    EXPECT_EQ(control<QLineEdit>("edGameType")->text().toStdString(), "czero");
    click("bbAddIP");
    ASSERT_EQ(window->servers().count(), 1u);
    showPage(2);
    highlight(0);
    EXPECT_NE(memo().find("Server: Today"), std::string::npos) << memo();
    EXPECT_NE(memo().find("Mod: czero"), std::string::npos) << memo();
}
