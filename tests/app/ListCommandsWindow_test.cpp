// The server list's keys and clipboard with real key events: Delete takes the highlighted
// entry alone, Ctrl+Z undoes each list command, pasted entries and addresses go where a
// user means them to.
#include "query/InfoQuery.h"
#include "query/InfoReply.h"
#include "tests/app/WindowTest.h"
#include "tests/support/UdpResponder.h"
#include "ui/CEditIPAddr.h"
#include "ui/CheckListBox.h"

#include <QClipboard>
#include <QTest>

using namespace qm;
using namespace qm::test;

class ListCommandsWindow : public WindowTest {
  protected:
    void SetUp() override {
        env.statusOptions.silenceMs = 100;
        env.statusOptions.retries = 0;
        makeWindow();
        window->show();
        QApplication::setActiveWindow(window.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        list = control<CheckListBox>("clbIPs");
    }
    void fill(const std::vector<std::string>& entries) {
        window->servers().addAndCheckAll(entries);
        list->setFocus();
    }
    std::vector<std::string> entries() { return window->servers().texts(); }
    size_t checkedCount() {
        size_t n = 0;
        for (size_t r = 0; r < window->servers().count(); ++r)
            n += window->servers().isChecked(r);
        return n;
    }
    void key(int k, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(list, Qt::Key(k), modifiers);
    }

    CheckListBox* list = nullptr;
};

// After an import every entry is checked: one press of Delete once emptied the list.
TEST_F(ListCommandsWindow, DeleteTakesTheHighlightedEntryAloneAndMovesOn) {
    fill({"1.1.1.1:1 a", "2.2.2.2:2 b", "3.3.3.3:3 c"});
    key(Qt::Key_Delete); // nothing highlighted: nothing goes
    EXPECT_EQ(entries().size(), 3u);
    list->clickRow(1);
    key(Qt::Key_Delete);
    EXPECT_EQ(entries(), (std::vector<std::string>{"1.1.1.1:1 a", "3.3.3.3:3 c"}));
    key(Qt::Key_Delete);
    EXPECT_EQ(entries(), std::vector<std::string>{"1.1.1.1:1 a"});
    EXPECT_EQ(text("lbCount"), "1 server(s)");
}

TEST_F(ListCommandsWindow, CtrlZUndoesEachListCommand) {
    const std::vector<std::string> start{"1.1.1.1:1 a", "2.2.2.2:2 b", "3.3.3.3:3 c"};
    const struct {
        const char* what;
        std::function<void()> command;
    } commands[] = {
        {"Delete", [&] { click("bbDelete"); }},
        {"Clear", [&] { click("bbClear"); }},
        {"Invert", [&] { click("bbInvert"); }},
        {"Deselect All", [&] { click("bbDeselectAll"); }},
        {"Delete key", [&] { list->clickRow(0), key(Qt::Key_Delete); }},
        {"Move", [&] { window->databaseServers().addAndCheckAll({"9.9.9.9:9 z"}), click("bbMove"); }},
        {"Add IP",
         [&] {
             control<CEditIPAddr>("edNewIP")->setText("8.8.4.4");
             control<QLineEdit>("edGameType")->setText("valve");
             control<QPushButton>("bbAddIP")->setEnabled(true);
             click("bbAddIP");
         }},
    };
    for (const auto& c : commands) {
        SCOPED_TRACE(c.what);
        window->servers().clear();
        fill(start);
        window->servers().setChecked(1, false);
        c.command();
        ASSERT_TRUE(entries() != start || checkedCount() != 2u) << "the command changed nothing";
        list->setFocus();
        key(Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(entries(), start);
        EXPECT_EQ(checkedCount(), 2u);
        EXPECT_FALSE(window->servers().isChecked(1));
        EXPECT_EQ(text("lbCount"), "3 server(s)");
    }
}

TEST_F(ListCommandsWindow, ACopiedAddressPastesBackIntoTheAddressAndPort) {
    auto* address = control<CEditIPAddr>("edNewIP");
    const struct {
        const char* clipboard;
        const char* ip;
        const char* port;
        const char* gameDir;
    } cases[] = {
        {"127.0.0.1:27016", "127.0.0.1", "27016", ""},
        {" 10.0.0.7:1234 cstrike\n", "10.0.0.7", "1234", "cstrike"},
        {"192.168.1.2", "192.168.1.2", "27015", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.clipboard);
        control<QLineEdit>("edNewPort")->setText("27015");
        control<QLineEdit>("edGameType")->clear();
        QGuiApplication::clipboard()->setText(QString::fromLatin1(c.clipboard));
        address->part(0)->setFocus();
        QTest::keyClick(address->part(0), Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(address->text(), c.ip);
        EXPECT_EQ(control<QLineEdit>("edNewPort")->text().toStdString(), c.port);
        EXPECT_EQ(control<QLineEdit>("edGameType")->text().toStdString(), c.gameDir);
    }
}

TEST_F(ListCommandsWindow, CtrlVAddsEntriesAndAsksTheOthersForTheirGame) {
    ServerInfo info;
    info.gameDir = "Valve";
    const UdpResponder server(
        [&](const std::string& r) { return r == kInfoRequest ? buildInfoReply(info) : ""; });
    const UdpResponder silent([](const std::string&) { return std::string(); });
    const std::string asked = "127.0.0.1:" + std::to_string(server.port());
    const std::string mute = "127.0.0.1:" + std::to_string(silent.port());
    QGuiApplication::clipboard()->setText(QString::fromStdString(
        "# copied\r\n1.2.3.4:27015 cstrike\r\n" + asked + "\n\t" + mute + "\nnot a server\n5.6.7.8:0 x\n"));
    fill({});
    key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(entries(), (std::vector<std::string>{"1.2.3.4:27015 cstrike", asked + " valve"}));
    EXPECT_EQ(checkedCount(), 2u);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    const std::string& report = dialogs.shown[0].text;
    EXPECT_NE(report.find("did not answer with their game and were not added: " + mute + "."),
              std::string::npos)
        << report;
    EXPECT_NE(report.find("not a server, 5.6.7.8:0 x"), std::string::npos) << report;
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(entries().empty());
}
