// The "Server status" window against responders on loopback, and the server list's
// context menu and keys.
#include "app/ServerStatusModel.h"
#include "app/TfmServerStatus.h"
#include "query/InfoQuery.h"
#include "query/InfoReply.h"
#include "tests/app/WindowTest.h"
#include "tests/support/UdpResponder.h"
#include "tools/DemoServer.h"
#include "ui/CheckListBox.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTreeWidget>

using namespace qm;
using namespace qm::test;
using namespace std::chrono_literals;

namespace {

UdpResponder::Reply legacy(const std::string& name) {
    return [name](const std::string& request) {
        ServerInfo info;
        info.hostname = name;
        return request == kInfoRequest ? buildInfoReply(info) : std::string();
    };
}

std::string entryOf(const UdpResponder& r, const char* gameDir = "cstrike") {
    return "127.0.0.1:" + std::to_string(r.port()) + " " + gameDir;
}

} // namespace

class StatusWindow : public WindowTest {
  protected:
    StatusWindow()
        // Delays far apart: under Wine on a loaded machine a reply can come tens of
        // milliseconds late, which must not swap two servers' places.
        : fast(legacy("fast"), 5ms), middle(legacy("middle"), 100ms), slow(legacy("slow"), 200ms),
          silent([](const std::string&) { return std::string(); }), demo(ServerInfo{}, DemoProtocol::A2s),
          modern([this](const std::string& request) { return demo.answer(request, 0, 0); }) {}

    void SetUp() override {
        env.statusOptions.silenceMs = 400;
        env.statusOptions.retries = 0;
        env.statusOptions.playersWaitMs = 150;
        makeWindow();
        for (const UdpResponder* r : {&fast, &middle, &slow, &silent, &modern})
            window->servers().addIfAbsent(entryOf(*r));
        window->show();
    }

    TfmServerStatus& openAndWait() {
        click("bbServerStatus");
        EXPECT_NE(window->fmServerStatus, nullptr);
        EXPECT_TRUE(waitFor([&] { return !window->fmServerStatus->refreshing(); }));
        return *window->fmServerStatus;
    }

    std::vector<std::string> column(TfmServerStatus& status, int c) {
        std::vector<std::string> values;
        QAbstractItemModel* shown = status.tvServerStatus->model();
        for (int r = 0; r < shown->rowCount(); ++r)
            values.push_back(shown->index(r, c).data().toString().toStdString());
        return values;
    }

    std::vector<std::string> checkedEntries() {
        std::vector<std::string> checked;
        for (size_t r = 0; r < window->servers().count(); ++r)
            if (window->servers().isChecked(r)) checked.push_back(window->servers().text(r));
        return checked;
    }

    UdpResponder fast, middle, slow, silent;
    DemoServer demo;
    UdpResponder modern;
};

TEST_F(StatusWindow, FillsTheTableSortsByPingAsNumbersAndSetsTheMarksFromTheResult) {
    TfmServerStatus& status = openAndWait();
    EXPECT_EQ(status.objectName().toStdString(), "fmServerStatus");
    EXPECT_EQ(status.windowTitle().toStdString(), "Server status");
    EXPECT_TRUE(status.isVisible());
    EXPECT_EQ(status.pbServerStatus->text().toStdString(), "5 of 5: 4 answered, 1 silent");

    status.tvServerStatus->sortByColumn(ServerStatusModel::Ping, Qt::AscendingOrder);
    const std::vector<std::string> pings = column(status, ServerStatusModel::Ping);
    ASSERT_EQ(pings.size(), 5u);
    EXPECT_EQ(pings.back(), "") << "the silent server sorts last";
    std::vector<int> numbers;
    for (size_t i = 0; i + 1 < pings.size(); ++i)
        numbers.push_back(std::stoi(pings[i]));
    EXPECT_TRUE(std::is_sorted(numbers.begin(), numbers.end()));
    EXPECT_GE(numbers.back(), 198) << "the 200 ms server after the 100 ms one";
    EXPECT_EQ(column(status, ServerStatusModel::Name),
              (std::vector<std::string>{"Quillmark demo server", "fast", "middle", "slow", ""}));
    EXPECT_EQ(column(status, ServerStatusModel::State).back().rfind(kNoReplyState, 0), 0u);
    EXPECT_EQ(column(status, ServerStatusModel::Protocol)[0], "A2S");
    EXPECT_EQ(column(status, ServerStatusModel::Players)[1], "5/16");

    status.bbCheckAnswering->click();
    std::vector<std::string> answering = {entryOf(fast), entryOf(middle), entryOf(slow), entryOf(modern)};
    std::sort(answering.begin(), answering.end());
    std::vector<std::string> checked = checkedEntries();
    std::sort(checked.begin(), checked.end());
    EXPECT_EQ(checked, answering);
    status.bbCheckSilent->click();
    EXPECT_EQ(checkedEntries(), std::vector<std::string>{entryOf(silent)});
}

TEST_F(StatusWindow, TheSelectedServerShowsItsPlayersOrNotOffered) {
    TfmServerStatus& status = openAndWait();
    status.tvServerStatus->sortByColumn(ServerStatusModel::Name, Qt::AscendingOrder);
    const std::vector<std::string> names = column(status, ServerStatusModel::Name);
    const auto rowNamed = [&](const std::string& name) {
        return static_cast<int>(std::find(names.begin(), names.end(), name) - names.begin());
    };
    auto* players = status.tvPlayers;
    status.tvServerStatus->selectRow(rowNamed("Quillmark demo server"));
    EXPECT_TRUE(waitFor([&] { return players->topLevelItemCount() == 5; }));
    ASSERT_GT(players->topLevelItemCount(), 0);
    EXPECT_EQ(players->topLevelItem(0)->text(0).toStdString(), "Player 1");
    status.tvServerStatus->selectRow(rowNamed("fast"));
    EXPECT_TRUE(waitFor([&] {
        return players->topLevelItemCount() == 1 && players->topLevelItem(0)->text(0) == "not offered";
    }));
}

TEST_F(StatusWindow, CancelStopsARefreshAtOnce) {
    std::vector<std::unique_ptr<UdpResponder>> quiet;
    for (int i = 0; i < 30; ++i) {
        quiet.push_back(std::make_unique<UdpResponder>([](const std::string&) { return std::string(); }));
        window->servers().addIfAbsent(entryOf(*quiet.back()));
    }
    click("bbServerStatus");
    TfmServerStatus& status = *window->fmServerStatus;
    ASSERT_TRUE(status.refreshing());
    QElapsedTimer t;
    t.start();
    status.bbStatusCancel->click();
    EXPECT_LT(t.elapsed(), 200);
    EXPECT_FALSE(status.refreshing());
    EXPECT_TRUE(status.bbStatusRefresh->isEnabled());
    EXPECT_NE(status.pbServerStatus->text().toStdString(), "35 of 35");
}

TEST_F(StatusWindow, AnEmptyListEndsAtOnceAndTheShortcutOpensTheWindow) {
    window->servers().clear();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(window.get(), Qt::Key_T, Qt::ControlModifier);
    ASSERT_NE(window->fmServerStatus, nullptr);
    EXPECT_TRUE(waitFor([&] { return !window->fmServerStatus->refreshing(); }));
    EXPECT_EQ(window->fmServerStatus->model().size(), 0u);
}

TEST_F(StatusWindow, TheListsMenuAndKeysRunTheWindowsOwnCommands) {
    auto* list = control<CheckListBox>("clbIPs");
    const size_t slowRow = [&] {
        for (size_t r = 0; r < window->servers().count(); ++r)
            if (window->servers().text(r) == entryOf(slow)) return r;
        return ServerList::npos;
    }();
    std::unique_ptr<QMenu> menu(window->listContextMenu(slowRow));
    const auto action = [&](const char* name) {
        QAction* a = menu->findChild<QAction*>(QString::fromLatin1(name));
        EXPECT_NE(a, nullptr) << name;
        return a;
    };
    std::vector<std::string> captions;
    for (QAction* a : menu->actions())
        if (!a->isSeparator()) captions.push_back(a->text().toStdString());
    EXPECT_EQ(captions, (std::vector<std::string>{
                            "Undo", "Invert", "Select All", "Deselect All", "Delete", "Remove this entry",
                            "Clear", "Paste entries", "Export List", "Join server", "Details...", "Refresh",
                            "Copy address", "Server status of the whole list...", "Find servers..."}));
    // Each item shows the key that does the same in the list.
    const std::pair<const char*, QKeySequence> keys[] = {
        {"miUndo", QKeySequence::Undo},
        {"miSelectAll", QKeySequence::SelectAll},
        {"miRemoveEntry", Qt::Key_Delete},
        {"miPaste", QKeySequence::Paste},
        {"miCopyAddress", QKeySequence::Copy},
        {"miJoinServer", QKeySequence(Qt::CTRL | Qt::Key_J)},
        {"miDetails", QKeySequence(Qt::Key_Return)},
        {"miServerStatus", QKeySequence(Qt::CTRL | Qt::Key_T)},
        {"miFindServers", QKeySequence(Qt::CTRL | Qt::Key_F)}};
    for (const auto& [name, sequence] : keys) {
        EXPECT_EQ(action(name)->shortcut(), sequence) << name;
        EXPECT_TRUE(action(name)->isShortcutVisibleInContextMenu()) << name;
    }

    action("miSelectAll")->trigger();
    EXPECT_EQ(checkedEntries().size(), 5u);
    action("miInvert")->trigger();
    EXPECT_TRUE(checkedEntries().empty());

    action("miCopyAddress")->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), "127.0.0.1:" + std::to_string(slow.port()));
    action("miRefreshEntry")->trigger();
    EXPECT_EQ(window->pcMenu->currentWidget(), window->tsMonitoring);
    EXPECT_TRUE(waitFor(
        [&] { return control<QPlainTextEdit>("mmUDPInfo")->toPlainText().contains("Server: slow"); }));

    // Keys: Ctrl+A marks all, Space flips the highlighted one, Delete removes the highlighted
    // one alone (it once removed every checked entry: after an import, all of them), and
    // Ctrl+Z brings it back.
    list->setFocus();
    QTest::keyClick(list, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(checkedEntries().size(), 5u);
    QTest::keyClick(list, Qt::Key_Space);
    EXPECT_EQ(checkedEntries().size(), 4u);
    QTest::keyClick(list, Qt::Key_Delete);
    EXPECT_EQ(window->servers().count(), 4u);
    EXPECT_EQ(checkedEntries().size(), 4u);
    QTest::keyClick(list, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(window->servers().count(), 5u);
    EXPECT_EQ(checkedEntries().size(), 4u);
    click("bbDelete");
    EXPECT_EQ(window->servers().count(), 1u);
    EXPECT_EQ(window->servers().text(0), entryOf(slow));
    EXPECT_EQ(text("lbCount"), "1 server(s)");
}

// Clicks on the headers as a user sorts: silent rows last both ways, columns that fit
// their header and arrow, no arrow left over a table back in list order.
TEST_F(StatusWindow, SortingByClicksKeepsSilentRowsLastAndTheColumnsReadable) {
    TfmServerStatus& status = openAndWait();
    QHeaderView* header = status.tvServerStatus->horizontalHeader();
    const auto clickHeader = [&](int column) {
        const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                        header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    };
    for (int sorted :
         {int(ServerStatusModel::Ping), int(ServerStatusModel::Name), int(ServerStatusModel::Players)}) {
        for (int click = 0; click < 2; ++click) {
            clickHeader(sorted);
            SCOPED_TRACE(std::to_string(sorted) +
                         (header->sortIndicatorOrder() == Qt::AscendingOrder ? " up" : " down"));
            EXPECT_EQ(header->sortIndicatorSection(), sorted);
            EXPECT_EQ(column(status, ServerStatusModel::Entry).back(), entryOf(silent));
        }
    }
    const std::vector<std::string> pings = column(status, ServerStatusModel::Ping);
    EXPECT_TRUE(std::stoi(pings[0]) >= std::stoi(pings[1])) << "the last click sorted downwards";

    for (int c :
         {int(ServerStatusModel::Entry), int(ServerStatusModel::Ping), int(ServerStatusModel::Players)})
        EXPECT_GE(header->sectionSize(c), header->sectionSizeHint(c)) << "column " << c << " is clipped";
    EXPECT_GT(header->sectionSize(ServerStatusModel::Name), header->sectionSize(ServerStatusModel::Map));
    QAbstractItemModel* shown = status.tvServerStatus->model();
    const QModelIndex state = shown->index(shown->rowCount() - 1, ServerStatusModel::State);
    EXPECT_EQ(shown->data(state, Qt::ToolTipRole).toString(), shown->data(state).toString());

    status.bbStatusRefresh->click();
    EXPECT_EQ(header->sortIndicatorSection(), -1);
    EXPECT_TRUE(waitFor([&] { return !status.refreshing(); }));
}

TEST_F(StatusWindow, ThePlayersPaneNamesItsServerAndRowsSayWhileTheyWait) {
    TfmServerStatus& status = openAndWait();
    const std::vector<std::string> names = column(status, ServerStatusModel::Name);
    const int row = static_cast<int>(std::find(names.begin(), names.end(), "fast") - names.begin());
    status.tvServerStatus->selectRow(row);
    EXPECT_EQ(status.lbPlayersOf->text().toStdString(), "Players of fast (" + entryOf(fast) + ")");

    // Rows not yet reported read "waiting", and "asking" once their server is asked.
    ServerStatusModel model;
    model.reset({"a", "b"});
    model.setAsking({1});
    EXPECT_EQ(model.index(0, ServerStatusModel::State).data().toString(), "waiting");
    EXPECT_EQ(model.index(1, ServerStatusModel::State).data().toString(), "asking");
}

// Qt's own checks of a model, over the table's rows and its sorted view, through a whole
// refresh and a sort: rows, columns, data and signals keep to the model rules.
TEST_F(StatusWindow, TheTableModelKeepsQtsModelRulesThroughARefresh) {
    TfmServerStatus& status = openAndWait();
    QAbstractItemModelTester rows(&status.model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    QAbstractItemModelTester sorted(status.tvServerStatus->model(),
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);
    status.tvServerStatus->sortByColumn(ServerStatusModel::Ping, Qt::DescendingOrder);
    status.bbStatusRefresh->click();
    EXPECT_TRUE(waitFor([&] { return !status.refreshing(); }));
    EXPECT_EQ(status.model().answeredCount() + status.model().silentCount(), 5u);
}

// However narrow the window (or wide the font), the name keeps a readable width: the
// table scrolls sideways, and takes the whole width back when there is room again.
TEST_F(StatusWindow, TheNameColumnKeepsItsWidthWhenTheOthersTakeTheRoom) {
    TfmServerStatus& status = openAndWait();
    QHeaderView* header = status.tvServerStatus->horizontalHeader();
    const int wide = status.width();
    status.resize(420, status.height());
    EXPECT_TRUE(waitFor(
        [&] { return header->sectionResizeMode(ServerStatusModel::Name) == QHeaderView::Interactive; }));
    EXPECT_GE(header->sectionSize(ServerStatusModel::Name), 200);
    EXPECT_GT(status.tvServerStatus->horizontalScrollBar()->maximum(), 0);

    // Room for every column, whatever the system's font makes of them.
    int others = 0;
    for (int c = 0; c < header->count(); ++c)
        if (c != ServerStatusModel::Name) others += header->sectionSize(c);
    status.resize(std::max(wide, others + 400), status.height());
    EXPECT_TRUE(
        waitFor([&] { return header->sectionResizeMode(ServerStatusModel::Name) == QHeaderView::Stretch; }));
    EXPECT_GT(header->sectionSize(ServerStatusModel::Name), header->sectionSize(ServerStatusModel::Map));
}

TEST_F(StatusWindow, KeysCloseTheWindowTabLeavesTheTableAndCancelledRowsSaySo) {
    env.statusOptions.silenceMs = 5000;
    window.reset();
    SetUp();
    click("bbServerStatus");
    TfmServerStatus& status = *window->fmServerStatus;
    ASSERT_TRUE(
        waitFor([&] { return status.model().askingCount() == 1 && status.model().answeredCount() == 4; }));
    status.bbStatusCancel->click();
    const std::vector<std::string> states = column(status, ServerStatusModel::State);
    EXPECT_EQ(std::count(states.begin(), states.end(), "cancelled"), 1);
    EXPECT_EQ(std::count(states.begin(), states.end(), "asking"), 0);

    status.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&status));
    status.tvServerStatus->setFocus();
    QTest::keyClick(status.tvServerStatus, Qt::Key_Tab);
    EXPECT_NE(QApplication::focusWidget(), status.tvServerStatus);
    // Return on a focused button clicks it: Refresh runs again.
    status.bbStatusRefresh->setFocus();
    QTest::keyClick(status.bbStatusRefresh, Qt::Key_Return);
    EXPECT_TRUE(status.refreshing());
    // Esc cancels the run and closes the window; the Close button closes it too.
    QTest::keyClick(&status, Qt::Key_Escape);
    EXPECT_FALSE(status.refreshing());
    EXPECT_FALSE(status.isVisible());
    click("bbServerStatus");
    EXPECT_TRUE(status.isVisible());
    status.bbStatusClose->click();
    EXPECT_FALSE(status.isVisible());
}
