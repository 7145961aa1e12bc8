#include "tests/app/WindowTest.h"
#include "tests/database/DatabaseTestFile.h"
#include "tests/support/TcpTestServer.h"
#include "ui/CEditIPAddr.h"

#include <QPlainTextEdit>
#include <QTimer>

#include <thread>

using namespace qm;
using namespace qm::test;

class UpdateWindow : public WindowTest {
  protected:
    // The window's kept connection must close before the server, or the server waits
    // for it to time out.
    void TearDown() override { window.reset(); }
    void serve(const std::string& page) {
        m_page = page;
        server = std::make_unique<TcpTestServer>([this](TcpTestServer::Connection& c) {
            while (!c.readRequest().empty())
                c.send("HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(m_page.size()) + "\r\n\r\n" +
                       m_page);
        });
        const std::string root = "http://127.0.0.1:" + std::to_string(server->port()) + "/";
        env.site = {"127.0.0.1", root, root + "update.html"};
    }
    void localDatabase(const std::string& build) {
        writeDatabase(dir.file("servers.db2"), {"Quillmark", build, "d", "1", "/A", "1.1.1.1:1 x"});
    }
    std::vector<std::string> box() {
        const QString text = control<QPlainTextEdit>("mmUpdateInfo")->toPlainText();
        std::vector<std::string> lines;
        for (const QString& l : text.split('\n'))
            lines.push_back(l.toStdString());
        return lines;
    }
    std::string m_page;
    std::unique_ptr<TcpTestServer> server;
};

TEST_F(UpdateWindow, SameVersionAndBuildFindNothing) {
    serve("<html>\nQuillmark\n3.51\nQMbld\n100\n</html>\n");
    localDatabase("100");
    makeWindow();
    click("bbCheck4Updates");
    EXPECT_EQ(status(), "No new updates were found");
    EXPECT_EQ(box(), (std::vector<std::string>{"Setting HTTP Proxy...", "Downloading update list...",
                                               "<html>", "Quillmark", "3.51", "QMbld", "100", "</html>",
                                               "You have the latest verson"}));
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(server->requests().at(0).rfind("GET /update.html HTTP/1.1\r\n", 0), 0u);
}

TEST_F(UpdateWindow, NewerVersionAndBuildAreBothReported) {
    serve("quillmark\n3.60\nQMBLD\n101\n");
    localDatabase("100");
    makeWindow();
    click("bbCheck4Updates");
    const std::string root = env.site.rootUrl;
    const auto lines = box();
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(std::vector<std::string>(lines.end() - 3, lines.end()),
              (std::vector<std::string>{"New version of Quillmark found", "New version of servers.db2 found",
                                        "New updates were found. Visit " + root}));
    EXPECT_EQ(status(), "New updates were found. Visit " + root + " for more information");
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text,
              "New updates were found. Visit " + root + " to download the latest version");
}

TEST_F(UpdateWindow, VersionMustMatchExactly) {
    serve("Quillmark\n3.51 \n");
    localDatabase("100");
    makeWindow();
    click("bbCheck4Updates");
    EXPECT_EQ(box().at(4), "New version of Quillmark found");
}

TEST_F(UpdateWindow, MissingLocalDatabaseIsShownAndTheVerdictFollows) {
    serve("Quillmark\n3.51\nQMbld\n100\n");
    makeWindow();
    click("bbCheck4Updates");
    const auto lines = box();
    EXPECT_EQ(std::vector<std::string>(lines.end() - 2, lines.end()),
              (std::vector<std::string>{"File not found", "You have the latest verson"}));
    EXPECT_EQ(status(), "No new updates were found");
}

TEST_F(UpdateWindow, CorruptLocalDatabase) {
    serve("Quillmark\n3.51\n");
    writeDatabase(dir.file("servers.db2"), {"Quillmarc", "1"});
    makeWindow();
    click("bbCheck4Updates");
    EXPECT_EQ(box().at(box().size() - 2), "Error: servers.db2 is corrupted");
}

TEST_F(UpdateWindow, PageWithoutKeysIsNoFinding) {
    serve("<html>nothing here</html>\n");
    localDatabase("100");
    makeWindow();
    click("bbCheck4Updates");
    EXPECT_EQ(status(), "No new updates were found");
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(UpdateWindow, PageIsNetworkDataNotATextFile) {
    // 0x1A does not end the page and a lone CR breaks a line, so the keys after them count.
    serve("old\x1Apage\rQuillmark\r3.60\rQMbld\n100\n");
    localDatabase("100");
    makeWindow();
    click("bbCheck4Updates");
    EXPECT_EQ(box(),
              (std::vector<std::string>{"Setting HTTP Proxy...", "Downloading update list...", "old\x1Apage",
                                        "Quillmark", "3.60", "QMbld", "100", "New version of Quillmark found",
                                        "New updates were found. Visit " + env.site.rootUrl}));
}

// Offline, the status line once said "Connecting to ..." for ever.
TEST_F(UpdateWindow, AFailedFetchSaysTheCheckFailedInWords) {
    makeWindow();
    click("bbCheck4Updates");
    EXPECT_EQ(status(), "Checking for updates failed: name not found (Socket Error # 11001)");
    const auto lines = box();
    // The socket error's text follows on its own line after the CR LF.
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[2], "Socket Error # 11001");

    // Offline with the site on this machine: nothing listens there.
    const std::string closed = "http://127.0.0.1:" + std::to_string(freeLoopbackPort()) + "/";
    env.site = {"127.0.0.1", closed, closed + "update.html"};
    window.reset();
    makeWindow();
    click("bbCheck4Updates");
    EXPECT_EQ(status(), "Checking for updates failed: connection refused (Socket Error # 10061)");
}

TEST_F(UpdateWindow, PortThatIsNoNumberEndsTheCheckWithTheErrorReport) {
    makeWindow();
    control<CEditIPAddr>("edProxyIP")->setText("127.0.0.1");
    control<QLineEdit>("edProxyPort")->setText("80a");
    click("bbCheck4Updates");
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_TRUE(dialogs.shown[0].error);
    EXPECT_EQ(dialogs.shown[0].text, "'80a' is not a valid integer value.");
    EXPECT_EQ(status(), "Connecting to updates.test");
    EXPECT_EQ(control<QPlainTextEdit>("mmUpdateInfo")->toPlainText().toStdString(), "");
}

TEST_F(UpdateWindow, BadPortAtStartUpSkipsTheLaterSteps) {
    writeDatabase(dir.file("db.db2"), {"Quillmark", "7", "d", "1", "/A", "1.1.1.1:1 x"});
    writeAll(dir.file("userpref.ini"), "[Import]\nedPath2DB=" + dir.file("db.db2") +
                                           "\n[Update]\nedProxyIP=127.0.0.1\nedProxyPort=x\n");
    makeWindow();
    window->runStartupChecks();
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, "'x' is not a valid integer value.");
    EXPECT_EQ(text("lbBuild"), "Build 000");
}

TEST_F(UpdateWindow, DisabledCheckMakesNoRequestAtStartUp) {
    serve("Quillmark\n3.51\n");
    writeAll(dir.file("userpref.ini"), "[Update]\ncbCheck4Updates=0\n");
    makeWindow();
    window->runStartupChecks();
    EXPECT_EQ(server->connections(), 0);
}

TEST_F(UpdateWindow, StartUpChecksRunOnceTheWindowShows) {
    serve("Quillmark\n3.51\nQMbld\n100\n");
    localDatabase("100");
    env.startupChecksOnShow = true;
    makeWindow();
    EXPECT_FALSE(window->startupChecksDone());
    window->show();
    for (int i = 0; i < 200 && status() != "No new updates were found"; ++i)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_TRUE(window->startupChecksDone());
    EXPECT_EQ(status(), "No new updates were found");
}

TEST_F(UpdateWindow, ASecondClickDuringACheckDoesNothing) {
    serve("Quillmark\n3.51\nQMbld\n100\n");
    localDatabase("100");
    makeWindow();
    // Slow the page so the second click lands inside the first check's wait.
    server = std::make_unique<TcpTestServer>([](TcpTestServer::Connection& c) {
        c.readRequest();
        std::this_thread::sleep_for(std::chrono::milliseconds(600));
        const std::string page = "Quillmark\n3.51\n";
        c.send("HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(page.size()) + "\r\n\r\n" + page);
    });
    window.reset();
    env.site.updatePageUrl = "http://127.0.0.1:" + std::to_string(server->port()) + "/update.html";
    makeWindow();
    QTimer::singleShot(200, window.get(), [&] { window->bbCheck4UpdatesClick(); });
    click("bbCheck4Updates");
    EXPECT_EQ(server->connections(), 1);
    EXPECT_EQ(server->requests().size(), 1u);
    EXPECT_EQ(status(), "No new updates were found");
}

// A server that streams one header line a byte at a time, for ever: data keeps coming,
// yet the window is serviced and closes within a second of being asked to.
TEST_F(UpdateWindow, AStreamingServerCannotKeepTheWindowOpen) {
    server = std::make_unique<TcpTestServer>([](TcpTestServer::Connection& c) {
        if (c.readRequest().empty() || !c.send("HTTP/1.1 200 OK\r\nX-Slow: ")) return;
        while (c.running() && c.send("x"))
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    });
    env.site.updatePageUrl = "http://127.0.0.1:" + std::to_string(server->port()) + "/update.html";
    makeWindow();
    window->show();
    QElapsedTimer sinceClose;
    QTimer::singleShot(400, window.get(), [&] {
        sinceClose.start();
        window->close();
    });
    click("bbCheck4Updates");
    EXPECT_TRUE(waitFor([&] { return !window->isVisible(); }));
    EXPECT_LT(sinceClose.elapsed(), 1000);
}

// The link takes the theme's link colour, so a dark theme shows it as readable as a light one.
TEST_F(UpdateWindow, TheLinkTakesThePalettesLinkColour) {
    QPalette dark = QApplication::palette();
    dark.setColor(QPalette::Window, QColor(40, 40, 40));
    dark.setColor(QPalette::Link, QColor(120, 170, 255));
    const QPalette saved = QApplication::palette();
    QApplication::setPalette(dark);
    makeWindow();
    QWidget* link = window->findChild<QWidget*>(QStringLiteral("lbVisit4Updates"));
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(120, 170, 255));
    QApplication::setPalette(saved);
}
