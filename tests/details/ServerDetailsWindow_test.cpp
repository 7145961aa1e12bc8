// The details window against a demo server on loopback: what it shows of the answer,
// players and rules, the ping over time, players that do not add up, the join buttons,
// and closing while a question is under way.
#include "details/PingHistory.h"
#include "details/TfmServerDetails.h"
#include "tests/app/WindowTest.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/UdpResponder.h"
#include "tools/DemoServer.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <chrono>
#include <mutex>

using namespace qm;
using namespace qm::test;

namespace {

// A demo server whose facts a test may change between questions; a player list of its
// own replaces the demo's when given.
class ChangingServer {
  public:
    ChangingServer()
        : m_udp([this](const std::string& request) {
              std::lock_guard<std::mutex> lock(m_lock);
              if (m_players && request.size() > 4 && request[4] == 'U')
                  return buildA2sPlayersReply(*m_players);
              const std::vector<std::string> replies =
                  m_demo ? m_demo->answers(request, 0, 0) : std::vector<std::string>{};
              return replies.size() == 1 ? replies.front() : std::string();
          }) {
        ServerInfo info;
        info.hostname = "Details demo";
        info.players = 3;
        info.maxPlayers = 16;
        set(info);
    }
    void set(ServerInfo info, int rules = 12) {
        // The game port the answer names differs from the port asked.
        info.address = "127.0.0.1:27099";
        std::lock_guard<std::mutex> lock(m_lock);
        m_demo = std::make_unique<DemoServer>(info, DemoProtocol::A2s);
        m_demo->setRules(rules);
    }
    void silence() {
        std::lock_guard<std::mutex> lock(m_lock);
        m_demo.reset();
    }
    void listPlayers(std::vector<A2sPlayer> players) {
        std::lock_guard<std::mutex> lock(m_lock);
        m_players = std::move(players);
    }
    uint16_t port() const { return m_udp.port(); }

  private:
    std::mutex m_lock;
    std::unique_ptr<DemoServer> m_demo;
    std::optional<std::vector<A2sPlayer>> m_players;
    UdpResponder m_udp;
};

std::vector<std::string> column(QTreeWidget* tree, int c, bool visibleOnly = false) {
    std::vector<std::string> values;
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        if (!visibleOnly || !tree->topLevelItem(i)->isHidden())
            values.push_back(tree->topLevelItem(i)->text(c).toStdString());
    return values;
}

std::string fact(TfmServerDetails& w, const char* label) {
    for (int i = 0; i < w.tvFacts->topLevelItemCount(); ++i)
        if (w.tvFacts->topLevelItem(i)->text(0) == QLatin1String(label))
            return w.tvFacts->topLevelItem(i)->text(1).toStdString();
    return "(none)";
}

} // namespace

class DetailsWindow : public ::testing::Test {
  protected:
    DetailsWindow() { application(); }

    TfmServerDetails* open(int refreshMs = 60000) {
        ServerDetailsSetup setup;
        setup.target = {"127.0.0.1", server.port()};
        setup.gameDir = "cstrike";
        setup.options.silenceMs = 300;
        setup.options.retries = 0;
        setup.options.playersWaitMs = 300;
        setup.lookup = [](const std::string&) { return HostLookupResult{"", 11001}; };
        setup.refreshMs = refreshMs;
        setup.dialogs = &dialogs;
        setup.join = [this](const JoinTarget& t) { joins.push_back(t); };
        setup.addToList = [this](const std::string& entry) { added.push_back(entry); };
        setup.playersChecked = [this](const std::string& address, const std::string& remark) {
            verdicts.emplace_back(address, remark);
        };
        window = new TfmServerDetails(std::move(setup));
        window->show();
        return window;
    }
    ~DetailsWindow() override { delete window.data(); }

    bool nextAnswer() {
        bool came = false;
        const auto c = QObject::connect(window, &TfmServerDetails::answered, [&] { came = true; });
        QElapsedTimer t;
        t.start();
        while (!came && t.elapsed() < 5000)
            QApplication::processEvents(QEventLoop::AllEvents, 20);
        QObject::disconnect(c);
        return came;
    }

    ChangingServer server;
    ScriptedDialogs dialogs;
    QPointer<TfmServerDetails> window;
    std::vector<JoinTarget> joins;
    std::vector<std::string> added;
    std::vector<std::pair<std::string, std::string>> verdicts;
};

TEST_F(DetailsWindow, ShowsTheAnswerPlayersAndRules) {
    TfmServerDetails& w = *open();
    ASSERT_TRUE(nextAnswer());
    EXPECT_EQ(w.objectName(), "fmServerDetails");
    EXPECT_EQ(fact(w, "Name"), "Details demo");
    EXPECT_EQ(fact(w, "Address"), "127.0.0.1:" + std::to_string(server.port()));
    EXPECT_EQ(fact(w, "Players"), "3/16 (0 bots)");
    EXPECT_EQ(fact(w, "Game port"), "27099");
    EXPECT_EQ(fact(w, "Password"), "no");
    EXPECT_NE(fact(w, "Ping"), "(none)");
    // Players sorted by score, highest first; then by time played as a number, not a text.
    EXPECT_EQ(column(w.tvDetailPlayers, 0), (std::vector<std::string>{"Player 1", "Player 2", "Player 3"}));
    w.tvDetailPlayers->sortByColumn(2, Qt::DescendingOrder);
    EXPECT_EQ(column(w.tvDetailPlayers, 2), (std::vector<std::string>{"0:03:00", "0:02:00", "0:01:00"}));
    // Rules sorted by name; the filter matches names and values, in any case.
    const std::vector<std::string> names = column(w.tvRules, 0);
    EXPECT_EQ(names.size(), 12u);
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));
    w.edRulesFilter->setText(QStringLiteral("VALUE OF RULE 1"));
    EXPECT_EQ(column(w.tvRules, 1, true), (std::vector<std::string>{"value of rule 10", "value of rule 11"}));
    w.edRulesFilter->clear();
    EXPECT_EQ(column(w.tvRules, 0, true).size(), 12u);
    EXPECT_FALSE(w.lbPlayersFake->isVisible());
    ASSERT_EQ(verdicts.size(), 1u);
    EXPECT_EQ(verdicts[0].second, "");
}

TEST_F(DetailsWindow, EveryRefreshAddsAPointAndSilenceLeavesTheLastFacts) {
    TfmServerDetails& w = *open(100); // asked again every 100 ms
    ASSERT_TRUE(nextAnswer());
    ASSERT_TRUE(nextAnswer());
    EXPECT_GE(w.history().samples().size(), 2u);
    EXPECT_TRUE(w.history().current());
    EXPECT_NE(w.lbPingRange->text().toStdString().find("lowest"), std::string::npos);
    // A server that stops answering: its facts stay, the state and the chart say so.
    server.silence();
    ASSERT_TRUE(nextAnswer());
    EXPECT_EQ(fact(w, "Name"), "Details demo");
    EXPECT_EQ(w.lbDetailsStatus->text().toStdString().rfind("No answer: no reply", 0), 0u)
        << w.lbDetailsStatus->text().toStdString();
    EXPECT_FALSE(w.history().current());
    EXPECT_EQ(w.history().samples().back().pingMs, -1);
}

TEST_F(DetailsWindow, PlayersThatDoNotAddUpAreMarked) {
    const struct {
        const char* what;
        int claimed;
        std::vector<A2sPlayer> listed;
        const char* reason;
    } cases[] = {
        {"more than listed", 10, {{"a", 1, 10}, {"b", 2, 20}}, "it claims 10 players but lists 2"},
        {"same time",
         3,
         {{"a", 1, 300}, {"b", 2, 300}, {"c", 3, 300}},
         "all 3 players have played the same time (0:05:00)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ServerInfo info;
        info.players = c.claimed;
        server.set(info);
        server.listPlayers(c.listed);
        verdicts.clear();
        TfmServerDetails& w = *open();
        ASSERT_TRUE(nextAnswer());
        EXPECT_TRUE(w.lbPlayersFake->isVisible());
        EXPECT_EQ(w.lbPlayersFake->text().toStdString(), std::string("players look fake: ") + c.reason);
        ASSERT_EQ(verdicts.size(), 1u);
        EXPECT_EQ(verdicts[0].second, c.reason);
        w.close();
    }
}

TEST_F(DetailsWindow, JoinCopyAndAddUseWhatTheServerSaid) {
    ServerInfo info;
    info.hostname = "Locked";
    info.password = true;
    info.gameDir = "czero";
    server.set(info);
    TfmServerDetails& w = *open();
    ASSERT_TRUE(nextAnswer());
    w.bbJoin->click();
    ASSERT_EQ(joins.size(), 1u);
    EXPECT_EQ(joins[0].address, "127.0.0.1");
    EXPECT_EQ(joins[0].queryPort, server.port());
    EXPECT_EQ(joins[0].portToJoin(), 27099); // the answer's game port
    EXPECT_EQ(joins[0].gameDir, "czero");
    EXPECT_TRUE(joins[0].password);
    EXPECT_EQ(joins[0].name, "Locked");
    w.bbCopyAddress->click();
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), "127.0.0.1:" + std::to_string(server.port()));
    w.bbAddToList->click();
    EXPECT_EQ(added, (std::vector<std::string>{"127.0.0.1:" + std::to_string(server.port()) + " czero"}));
}

TEST_F(DetailsWindow, JoinsWhenASlotFreesAndTellsThePlayer) {
    for (const bool tray : {true, false}) {
        SCOPED_TRACE(tray ? "with a tray" : "without a tray");
        dialogs.trayAvailable = tray;
        dialogs.notifications.clear();
        joins.clear();
        ServerInfo full;
        full.hostname = "Full";
        full.players = 16;
        full.maxPlayers = 16;
        server.set(full);
        TfmServerDetails& w = *open(100);
        ASSERT_TRUE(nextAnswer());
        w.bbJoinWhenFree->click();
        EXPECT_TRUE(w.waitingForSlot());
        ASSERT_TRUE(nextAnswer());
        EXPECT_EQ(w.lbDetailsStatus->text().toStdString(), "Waiting for a free slot: 16/16 players");
        EXPECT_TRUE(joins.empty());
        full.players = 15;
        server.set(full);
        ASSERT_TRUE(nextAnswer());
        EXPECT_FALSE(w.waitingForSlot());
        ASSERT_EQ(joins.size(), 1u);
        EXPECT_EQ(w.lbDetailsStatus->text().toStdString(), "A slot is free on Full: joining.");
        EXPECT_EQ(dialogs.notifications.size(), tray ? 1u : 0u);
        // Joined once: later answers with room to spare start nothing more.
        ASSERT_TRUE(nextAnswer());
        EXPECT_EQ(joins.size(), 1u);
        w.close();
    }
}

TEST_F(DetailsWindow, CancelStopsWaitingForASlot) {
    ServerInfo full;
    full.players = 16;
    full.maxPlayers = 16;
    server.set(full);
    TfmServerDetails& w = *open(100);
    ASSERT_TRUE(nextAnswer());
    w.bbJoinWhenFree->click();
    w.bbJoinWhenFree->click();
    EXPECT_FALSE(w.waitingForSlot());
    full.players = 1;
    server.set(full);
    ASSERT_TRUE(nextAnswer());
    EXPECT_TRUE(joins.empty());
}

TEST_F(DetailsWindow, ClosingStopsTheQuestionUnderWay) {
    UdpResponder silent([](const std::string&) { return std::string(); });
    ServerDetailsSetup setup;
    setup.target = {"127.0.0.1", silent.port()};
    setup.options.silenceMs = 600000; // a wait the close must cut short
    setup.lookup = [](const std::string&) { return HostLookupResult{"", 11001}; };
    window = new TfmServerDetails(std::move(setup));
    window->show();
    EXPECT_TRUE(window->asking());
    while (silent.requestsSoFar().size() < 2)
        QApplication::processEvents();
    // The close returns only once the run's thread has ended: the ten-minute wait above
    // would hold the test until ctest's timeout if the close did not cut it short.
    window->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull()); // closed is gone: several windows may come and go
}

TEST(PingHistory, CurrentLowestHighestAndCapacity) {
    PingHistory h(3);
    EXPECT_FALSE(h.current());
    EXPECT_FALSE(h.lowest());
    h.add({40, 5, 6});
    h.add({-1, -1, -1}); // silence
    EXPECT_FALSE(h.current());
    EXPECT_EQ(h.lowest(), 40);
    h.add({20, 7, 0}); // a server that claims no slots still scales to its players
    h.add({90, 6, 6}); // the first sample goes
    EXPECT_EQ(h.samples().size(), 3u);
    EXPECT_EQ(h.current(), 90);
    EXPECT_EQ(h.lowest(), 20);
    EXPECT_EQ(h.highest(), 90);
    EXPECT_EQ(h.playersScale(), 7);
}
