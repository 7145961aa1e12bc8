// The window against the demo server, a program of its own, in every protocol it speaks:
// Detect fills the game directory and Monitoring shows the server. Under Wine the Linux
// demo server answers the Windows build across the loopback.
#include "tests/app/WindowTest.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/UdpResponder.h"
#include "ui/CEditIPAddr.h"
#include "ui/CheckListBox.h"

#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTimer>

#include <chrono>
#include <thread>

using namespace qm;
using namespace qm::test;

class DemoServerWindow : public WindowTest {
  protected:
    // A fresh window for each server, whose timer is still: only the test's clicks ask.
    void openWindow() {
        window.reset();
        makeWindow();
        window->show();
        window->udpTimer->stop();
    }
    std::string memo() { return control<QPlainTextEdit>("mmUDPInfo")->toPlainText().toStdString(); }
    // The server takes a moment to start (its port is closed until then, which Detect
    // reports in a message box): Detect is asked again until it answers.
    bool detect(uint16_t port) {
        control<CEditIPAddr>("edNewIP")->setText("127.0.0.1");
        control<QLineEdit>("edNewPort")->setText(QString::number(port));
        for (int attempt = 0; attempt < 100; ++attempt) {
            click("bbDetect");
            if (!control<QLineEdit>("edGameType")->text().isEmpty()) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        dialogs.shown.clear();
        return !control<QLineEdit>("edGameType")->text().isEmpty();
    }
};

TEST_F(DemoServerWindow, DetectAndMonitoringReadEveryProtocol) {
    for (const char* protocol : {"legacy", "a2s", "a2s-open", "goldsrc", "all"}) {
        SCOPED_TRACE(protocol);
        openWindow();
        const uint16_t port = closedLoopbackUdpPort();
        const std::string name = std::string("Demo ") + protocol;
        ChildProcess server({QM_DEMO_SERVER, "--port", std::to_string(port), "--protocol", protocol, "--name",
                             name, "--gamedir", "valve"});
        ASSERT_TRUE(detect(port)) << status();
        EXPECT_EQ(status(), "Server quiery finished");
        EXPECT_EQ(control<QLineEdit>("edGameType")->text().toStdString(), "valve");

        window->servers().addIfAbsent("127.0.0.1:" + std::to_string(port) + " valve");
        control<QTabWidget>("pcMenu")->setCurrentIndex(2);
        control<CheckListBox>("clbIPs")->clickRow(0);
        click("bbUDPRefresh");
        EXPECT_NE(memo().find("Server: " + name), std::string::npos) << memo();
        EXPECT_TRUE(dialogs.shown.empty());
    }
}
