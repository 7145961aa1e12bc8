// Renders the main window once per page into PNG files, to check the layout by eye:
//   quillmark-screenshots <folder> [--server 127.0.0.1:PORT]
// With --server, the window first detects that server on the Import page, adds it and
// shows it on the Monitoring page, as a user would, before the pictures are taken.
#include "app/TfmMain.h"
#include "ui/CEditIPAddr.h"
#include "ui/CheckListBox.h"
#include "ui/GradientButton.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

#include <cstdio>

namespace {

// Nothing is asked and nothing leaves the program while the pictures are taken.
class SilentDialogs : public qm::Dialogs {
  public:
    void showMessage(const std::string&, const std::string&) override {}
    void showError(const std::string&, const std::string&) override {}
    std::optional<std::string> openFile(const std::string&, const std::string&) override {
        return std::nullopt;
    }
    std::optional<std::string> chooseFolder(const std::string&, const std::string&) override {
        return std::nullopt;
    }
    bool openDocument(const std::string&) override { return true; }
};

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots");
    const std::string server = argc > 3 && std::string(argv[2]) == "--server" ? argv[3] : "";
    QDir().mkpath(folder);

    SilentDialogs dialogs;
    qm::SteadyClock clock;
    qm::TfmMainEnvironment env;
    env.dialogs = &dialogs;
    env.clock = &clock;
    env.settingsDir = QDir(folder).absolutePath().toStdString() + "/";
    // The pictures show the window as it opens; nothing is looked up or fetched.
    env.startupChecksOnShow = false;
    env.hostLookup = [](const std::string&) { return qm::HostLookupResult{"", 11001}; };
    // A Steam folder with one account, so the Steam group shows what it finds.
    const QString home = QDir(folder).absoluteFilePath(QStringLiteral("home"));
    const QString steam = home + QStringLiteral("/.local/share/Steam");
    QDir().mkpath(steam + QStringLiteral("/userdata/12345678/7/remote"));
    env.homeFolder = home.toStdString();
    env.steamRunning = [](const std::string&, const std::string&) { return false; };
    qm::TfmMain window(env);
    // A few entries, so the list shows its check boxes and a highlighted line.
    for (const char* entry :
         {"192.0.2.30:27015 cstrike", "198.51.100.21:27015 valve", "203.0.113.12:27015 dod"})
        window.servers().addIfAbsent(entry);
    window.servers().setChecked(0, true);
    window.show();
    QApplication::processEvents();
    if (!server.empty()) {
        const size_t colon = server.rfind(':');
        window.edNewIP->setText(server.substr(0, colon));
        window.edNewPort->setText(QString::fromStdString(server.substr(colon + 1)));
        window.pcMenu->setCurrentIndex(1);
        window.bbDetect->click();
        window.bbAddIP->click();
        window.pcMenu->setCurrentIndex(2);
        for (size_t row = 0; row < window.servers().count(); ++row)
            if (window.servers().text(row).rfind(server + " ", 0) == 0) window.clbIPs->clickRow(row);
        std::printf("%s\n", window.statusText().toLocal8Bit().constData());
    }
    for (int page = 0; page < window.pcMenu->count(); ++page) {
        window.pcMenu->setCurrentIndex(page);
        QApplication::processEvents();
        const QString name =
            QStringLiteral("%1/page%2-%3.png").arg(folder).arg(page).arg(window.pcMenu->tabText(page));
        if (!window.grab().save(name)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(name));
            return 1;
        }
        std::printf("%s\n", qPrintable(name));
    }
    return 0;
}
