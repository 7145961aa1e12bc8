#pragma once
#include "app/TfmMain.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TempDir.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#include <memory>

namespace qm::test {

inline QApplication& application() {
    static int argc = 1;
    static char name[] = "quillmark-tests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        auto* a = new QApplication(argc, argv);
        QApplication::setApplicationName(QStringLiteral("Quillmark"));
        return a;
    }();
    return *app;
}

/// A clock that stands still, with a chosen frequency.
class FixedClock : public Clock {
  public:
    int64_t frequency() const override { return m_frequency; }
    int64_t counter() const override { return m_counter; }
    int64_t m_frequency = 3579545;
    int64_t m_counter = 0;
};

/// A main window built on the offscreen platform, with the settings file in a temporary
/// folder and the current directory moved there.
class WindowTest : public ::testing::Test {
  protected:
    WindowTest() : cwd(dir.path()) {
        application();
        env.startupChecksOnShow = false;
        // No name resolves: nothing a test does may reach past the loopback.
        env.hostLookup = [](const std::string&) { return HostLookupResult{"", 11001}; };
        env.site = {"updates.test", "http://updates.test/", "http://updates.test/update.html"};
        // No Steam of the machine's own user is looked at or waited for.
        env.homeFolder = dir.path() + "home";
        env.steamFolderPlaces = steamFoldersBelowHome;
        env.steamRunning = [](const std::string&, const std::string&) { return false; };
    }

    void makeWindow() {
        env.dialogs = &dialogs;
        env.clock = &clock;
        env.settingsDir = dir.path();
        window = std::make_unique<TfmMain>(env);
    }

    template <class W> W* control(const char* name) {
        W* w = window->findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    void click(const char* name) {
        auto* b = control<QPushButton>(name);
        ASSERT_TRUE(b->isEnabled()) << name;
        b->click();
    }
    /// Runs the event loop until `done` holds or a few seconds pass.
    template <class Pred> bool waitFor(Pred done) {
        QElapsedTimer t;
        t.start();
        while (!done() && t.elapsed() < 5000)
            QApplication::processEvents(QEventLoop::AllEvents, 20);
        return done();
    }
    std::string status() const { return window->statusText().toStdString(); }
    std::string text(const char* name) { return control<QLabel>(name)->text().toStdString(); }

    TempDir dir;
    CurrentDirectory cwd;
    ScriptedDialogs dialogs;
    FixedClock clock;
    TfmMainEnvironment env;
    std::unique_ptr<TfmMain> window;
};

} // namespace qm::test
