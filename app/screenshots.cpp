// Renders the main window once per page into PNG files, to check the layout by eye:
//   quillmark-screenshots <folder> [--server 127.0.0.1:PORT] [--status FIRST-LAST] [--master 127.0.0.1:PORT]
//                         [--details 127.0.0.1:PORT]
// With --server, the window first detects that server on the Import page, adds it and
// shows it on the Monitoring page, as a user would, before the pictures are taken.
// With --status, the list holds 127.0.0.1 on those ports (demo servers, say) and the
// Server status window is asked and pictured too. With --master, the Find servers window
// asks that master (the demo server's, say) and is pictured. With --details, the details
// window of that server is pictured after a few refreshes, its players and its rules.
// With --file-dialog, the Browse of the Options page is pictured with the system's own
// Open dialog (Windows' one under Wine, "-platform windows"): the whole screen is grabbed
// while the dialog is up, and the program ends there.
#include "app/ServerStatusModel.h"
#include "app/TfmFindServers.h"
#include "app/TfmMain.h"
#include "app/TfmServerStatus.h"
#include "details/TfmServerDetails.h"
#include "ui/CEditIPAddr.h"
#include "ui/CheckListBox.h"
#include "ui/GradientButton.h"
#include "ui/SpinEdit.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

namespace {

// Nothing is asked and nothing leaves the program while the pictures are taken.
class SilentDialogs : public qm::Dialogs {
  public:
    void showMessage(const std::string&, const std::string&) override {}
    void showError(const std::string&, const std::string&) override {}
    std::optional<std::string> openFile(const std::string&, const std::string&, const std::string&) override {
        return std::nullopt;
    }
    std::optional<std::string> saveFile(const std::string&, const std::string&, const std::string&) override {
        return std::nullopt;
    }
    std::optional<std::string> chooseFolder(const std::string&, const std::string&) override {
        return std::nullopt;
    }
    bool openDocument(const std::string&) override { return true; }
    std::string launchProgram(const qm::ProgramLaunch&) override { return {}; }
    std::optional<std::string> askPassword(const std::string&, const std::string&) override {
        return std::nullopt;
    }
    bool notify(const std::string&, const std::string&) override { return false; }
};

// Detect and Add of a live server, then its Monitoring page, as a player would.
void addAndShowServer(qm::TfmMain& window, const std::string& server) {
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

bool savePages(qm::TfmMain& window, const QString& folder) {
    for (int page = 0; page < window.pcMenu->count(); ++page) {
        window.pcMenu->setCurrentIndex(page);
        QApplication::processEvents();
        const QString name =
            QStringLiteral("%1/page%2-%3.png").arg(folder).arg(page).arg(window.pcMenu->tabText(page));
        if (!window.grab().save(name)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(name));
            return false;
        }
        std::printf("%s\n", qPrintable(name));
    }
    return true;
}

// The status window over the demo servers of a port range, "FIRST-LAST".
bool saveStatusWindow(qm::TfmMain& window, const std::string& ports, const QString& folder) {
    const int first = std::atoi(ports.c_str());
    const size_t dash = ports.find('-');
    const int last = dash == std::string::npos ? first : std::atoi(ports.c_str() + dash + 1);
    window.servers().clear();
    for (int port = first; port <= last && port > 0; ++port)
        window.servers().addIfAbsent("127.0.0.1:" + std::to_string(port) + " cstrike");
    window.bbServerStatusClick();
    QEventLoop untilDone;
    QObject::connect(window.fmServerStatus, &qm::TfmServerStatus::refreshed, &untilDone, &QEventLoop::quit);
    if (window.fmServerStatus->refreshing()) untilDone.exec();
    window.fmServerStatus->tvServerStatus->selectRow(0);
    QTimer::singleShot(1500, &untilDone, &QEventLoop::quit); // the players' answer
    untilDone.exec();
    const QString name = QStringLiteral("%1/server-status.png").arg(folder);
    if (!window.fmServerStatus->grab().save(name)) return false;
    std::printf("%s\n", qPrintable(name));
    return true;
}

// The Find servers window over what a master lists, sorted by ping.
bool saveFindWindow(qm::TfmMain& window, const std::string& master, const QString& folder) {
    window.bbFindServersClick();
    qm::TfmFindServers& find = *window.fmFindServers;
    find.rbTypedMasters->setChecked(true);
    find.edMasters->setText(QString::fromStdString(master));
    find.bbFindClick();
    QEventLoop untilDone;
    QObject::connect(&find, &qm::TfmFindServers::searched, &untilDone, &QEventLoop::quit);
    if (find.finding()) untilDone.exec();
    find.tvFoundServers->sortByColumn(qm::ServerStatusModel::Ping, Qt::AscendingOrder);
    QApplication::processEvents();
    const QString name = QStringLiteral("%1/find-servers.png").arg(folder);
    if (!find.grab().save(name)) return false;
    std::printf("%s\n", qPrintable(name));
    return true;
}

// The details window of a server, after a few answers have drawn its chart: once with
// its players showing, once with its rules.
bool saveDetailsWindow(qm::TfmMain& window, const std::string& server, const QString& folder) {
    const size_t colon = server.rfind(':');
    qm::JoinTarget target;
    target.address = server.substr(0, colon);
    target.queryPort = static_cast<uint16_t>(std::atoi(server.c_str() + colon + 1));
    window.seTimer->setValue(200);
    qm::TfmServerDetails* details = window.showServerDetails(target);
    details->move(40, 40);
    QEventLoop untilDone;
    int answers = 0;
    QObject::connect(details, &qm::TfmServerDetails::answered, &untilDone, [&] {
        if (++answers == 8) untilDone.quit();
    });
    untilDone.exec();
    const struct {
        int tab;
        const char* file;
    } shots[] = {{0, "details-players.png"}, {1, "details-rules.png"}};
    for (const auto& shot : shots) {
        details->tcDetails->setCurrentIndex(shot.tab);
        QApplication::processEvents();
        const QString name = QStringLiteral("%1/%2").arg(folder, QString::fromLatin1(shot.file));
        if (!details->grab().save(name)) return false;
        std::printf("%s\n", qPrintable(name));
    }
    details->close();
    return true;
}

// The Open dialog as hl.exe's Browse shows it, grabbed from the screen while it is up.
[[noreturn]] void saveFileDialog(const QString& folder) {
    QTimer::singleShot(4000, [folder] {
        const QString name = folder + QStringLiteral("/file-dialog.png");
        const bool saved = QGuiApplication::primaryScreen()->grabWindow(0).save(name);
        std::printf("%s\n", saved ? qPrintable(name) : "cannot grab the screen");
        std::fflush(stdout);
        // The dialog's own loop holds the stack: the picture is all that was wanted.
        std::_Exit(saved ? 0 : 1);
    });
    qm::QtDialogs().openFile("hl.exe", "hl.exe", QDir::rootPath().toStdString());
    std::_Exit(1);
}

} // namespace

int main(int argc, char* argv[]) {
    // Offscreen unless asked for a platform (under Wine: "windows", to draw as Windows does).
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots");
    std::string server, statusPorts, master, detailsOf;
    for (int i = 2; i < argc; ++i)
        if (std::string(argv[i]) == "--file-dialog") {
            QDir().mkpath(folder);
            saveFileDialog(folder);
        }
    for (int i = 2; i + 1 < argc; i += 2) {
        if (std::string(argv[i]) == "--server") server = argv[i + 1];
        if (std::string(argv[i]) == "--status") statusPorts = argv[i + 1];
        if (std::string(argv[i]) == "--master") master = argv[i + 1];
        if (std::string(argv[i]) == "--details") detailsOf = argv[i + 1];
    }
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
    env.steamFolderPlaces = qm::steamFoldersBelowHome;
    env.steamRunning = [](const std::string&, const std::string&) { return false; };
    qm::TfmMain window(env);
    // A few entries, so the list shows its check boxes and a highlighted line.
    for (const char* entry :
         {"192.0.2.30:27015 cstrike", "198.51.100.21:27015 valve", "203.0.113.12:27015 dod"})
        window.servers().addIfAbsent(entry);
    window.servers().setChecked(0, true);
    window.show();
    QApplication::processEvents();
    if (!server.empty()) addAndShowServer(window, server);
    if (!savePages(window, folder)) return 1;
    if (!statusPorts.empty() && !saveStatusWindow(window, statusPorts, folder)) return 1;
    if (!master.empty() && !saveFindWindow(window, master, folder)) return 1;
    if (!detailsOf.empty() && !saveDetailsWindow(window, detailsOf, folder)) return 1;
    return 0;
}
