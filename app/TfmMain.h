#pragma once
#include "favourites/SteamLocation.h"
#include "find/MasterSearch.h"
#include "find/SteamServerList.h"
#include "geo/CountryDatabase.h"
#include "join/JoinPlan.h"
#include "platform/Clock.h"
#include "platform/Outcome.h"
#include "platform/Paths.h"
#include "query/BatchQuery.h"
#include "query/TIdUDPClient.h"
#include "serverlist/ListHistory.h"
#include "serverlist/ServerList.h"
#include "ui/Dialogs.h"
#include "ui/TIdAntiFreeze.h"
#include "update/ProjectSite.h"
#include "update/TIdHTTP.h"
#include "update/UpdateCheck.h"

#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QStatusBar;
class QTabWidget;
class QTimer;

namespace qm {

class CEditIPAddr;
class CheckListBox;
class ClickLabel;
class GradientButton;
class SpinEdit;
class TfmServerStatus;
class TfmFindServers;
class TfmServerDetails;
struct ServerActions;

/// What the window takes from outside: the seams tests replace.
struct TfmMainEnvironment {
    Dialogs* dialogs = nullptr;
    const Clock* clock = nullptr;
    /// Folder of userpref.ini, with its trailing separator; the executable's folder.
    std::string settingsDir;
    /// An installed program's help page and sample database, absolute with a trailing
    /// separator; empty for a portable one, which finds them in the current folder.
    std::string dataDir;
    /// Where an export name without a folder is written, with a trailing separator: an
    /// installed program's user's documents; empty for the current folder.
    std::string exportDir;
    /// The shipped country database; empty: the one in the data folder (or beside the program).
    std::string countryData;
    /// The host-name lookup of the network clients.
    HostLookup hostLookup = systemHostLookup;
    /// The web site the update check asks.
    UpdateSite site{kSiteHost, kSiteRoot, kUpdatePageUrl};
    /// The home folder that Steam is looked for in.
    std::string homeFolder = qm::homeFolder();
    /// The places Steam may be in, for a home folder (the system's; tests give folders of their own).
    std::function<std::vector<std::string>(const std::string& home)> steamFolderPlaces =
        steamFolderCandidates;
    /// Whether Steam runs for this user, asked before Steam's favourites are written.
    std::function<bool(const std::string& home, const std::string& steamFolder)> steamRunning =
        isSteamRunning;
    /// How the status window asks the servers.
    BatchOptions statusOptions;
    /// How the find window asks masters, and Steam in tests.
    MasterSearchOptions masterOptions;
    SteamListRequest steamList;
    /// Whether the first show runs the start-up checks by itself (tests run them by hand).
    bool startupChecksOnShow = true;
};

/// The main window. It owns all state of a run; every operation is one of its handlers,
/// which read the controls, call the operation and write the outcome.
class TfmMain : public QWidget {
    Q_OBJECT
  public:
    explicit TfmMain(const TfmMainEnvironment& env, QWidget* parent = nullptr);
    ~TfmMain() override;

    QString statusText() const;
    void setStatusText(const std::string& text);
    void showMessage(const std::string& text);
    int64_t countsPerMillisecond() const { return m_countsPerMs; }
    bool startupChecksDone() const { return m_startupChecksDone; }
    /// The start-up steps that may touch the network or the disk at length; run once,
    /// right after the window first shows, so that it is on screen while they wait.
    void runStartupChecks();

    ServerList& servers() { return m_servers; }
    ServerList& databaseServers() { return m_dbServers; }

    // Handlers, named after their control and event.
    void FormCreate();
    void FormDestroy();
    void imLogoClick();
    void bbOpenHelpClick();
    void bbInvertClick();
    void bbSelectAllClick();
    void bbDeselectAllClick();
    void bbDeleteClick();
    void bbClearClick();
    void clbIPsClick();
    void bbPath2HLClick();
    void bbOverwriteClick();
    void bbImportFavouritesClick();
    void bbBackUpClick();
    void bbRestoreClick();
    void bbSaveSettingsClick();
    void cbEnableMonitorClick();
    void cbRefreshOnTimerClick();
    void seTimerChange();
    void seTimeoutChange();
    void bbUDPRefreshClick();
    void bbUDPClearClick();
    void udpTimerTimer();
    void bbDetectClick();
    void bbAddIPClick();
    void bbOpenDBClick();
    void bbAddCountryClick();
    void bbDeleteCountryIPClick();
    void bbCountryClearClick();
    void bbMoveClick();
    void bbSaveListClick();
    void bbCheck4UpdatesClick();
    void bbSteamFolderClick();
    void edSteamFolderEditingFinished();
    void bbSteamImportClick();
    void bbSteamOverwriteClick();
    void bbSteamBackupClick();
    void bbSteamRestoreClick();
    void bbServerStatusClick();
    void bbFindServersClick();
    /// The server list's right-click menu for the entry at `row` (npos: none there):
    /// the list commands, and Refresh and Copy address for that entry.
    QMenu* listContextMenu(size_t row);
    /// Shows that entry on the Monitoring page, as Refresh does for the highlighted one.
    void refreshEntry(size_t row);
    void copyAddressOf(size_t row);
    void removeEntry(size_t row);
    /// The Delete key in the list: the highlighted entry goes, whatever is checked.
    void deleteHighlightedEntry();
    /// Ctrl+V in the list: every entry of the clipboard's text is added.
    void pasteEntries();
    /// Ctrl+Z: the list as it was before the last list command.
    void undoListCommand();
    /// Every list command calls this first, so that Undo can put the list back.
    void beforeListCommand() { m_listHistory.record(m_servers); }

    /// Starts the game on the server: with Steam or the game folder's hl.exe, as the
    /// Options page chooses, asking for the password first when the server has one.
    void joinServer(const JoinTarget& server);
    /// Joins the entry's server, asking it first (as Refresh does) when the Monitoring
    /// page has no answer of it: for its password and the port a game connects to.
    void joinEntry(size_t row);
    void showEntryDetails(size_t row);
    /// Countries: a file dialog for another country database (.mmdb), kept in userpref.ini.
    void bbCountryDataClick();
    /// A host's two-letter country code; empty when not known (no database, no country).
    std::string countryOf(const std::string& host) const;
    /// The country database in use, or empty when none opened.
    const std::string& countryDataPath() const { return m_countryDataPath; }
    /// Opens a details window of the server beside this one.
    TfmServerDetails* showServerDetails(const JoinTarget& server);
    /// How a join starts the game: the choice made on the Options page, or else the
    /// game folder when its hl.exe exists, else Steam when a Steam folder is found.
    JoinWith joinWith() const;
    /// The Monitoring page's text's right-click menu: its own items, and Join and
    /// Details for the highlighted entry.
    QMenu* monitoringContextMenu();
    /// True while a network call waits with the window serviced.
    bool networkBusy() const { return m_networkDepth > 0; }

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void buildWindow();
    void buildMiddleColumn();
    void buildOptionsPage(QWidget* page);
    void buildSteamGroup(QWidget* page);
    void buildImportPage(QWidget* page);
    void buildMonitoringPage(QWidget* page);
    void buildUpdatePage(QWidget* page);
    void buildHelpPage(QWidget* page);
    void connectHandlers();
    void connectButtons();
    void connectListSignals();
    void connectOtherControls();
    GradientButton* button(QWidget* parent, const char* name, const char* caption, QRect geometry);
    QLineEdit* lineEdit(QWidget* parent, const char* name, const char* text, QRect geometry);
    QCheckBox* checkBox(QWidget* parent, const char* name, const char* caption, QRect geometry);
    QLabel* label(QWidget* parent, const char* name, const char* text, QRect geometry);

    /// Runs a handler; a failure it does not catch ends it and shows the error box.
    void guarded(const std::function<void()>& handler);
    void refreshCountLabel();
    /// Shows the outcome's message, if any, then writes its status text.
    void report(const Outcome& outcome);
    std::string gameLocation() const;
    void detectGameLocation();
    std::string settingsPath() const;
    void loadSettings();
    std::string databasePath() const;
    /// The help page's path: in the data folder, or the current one.
    std::string helpFilePath() const { return m_env.dataDir + "index.html"; }
    /// Loads the database named in edPath2DB into the Import page; false when rejected.
    bool loadDatabaseIntoBrowser();
    void autoLoadDatabase();
    std::string countryName() const;
    /// Fills the Steam fields from the Steam folders of the home folder.
    void detectSteam();
    /// Lists the accounts of the folder in edSteamFolder.
    void fillSteamAccounts();
    /// The account box's tooltip: the chosen account's whole label.
    void showSteamAccountTooltip();
    /// Steam's favourites file of the chosen account; empty when none is chosen.
    std::string steamFavouritesFile() const;
    /// The game directory of a server that names none: the game folder's mod, else the
    /// Steam page's game directory.
    std::string fallbackGameDir() const;
    /// What the status and find tables' rows lead to.
    ServerActions serverActions();
    /// Shows the choice of cbJoinWith as the default makes it, until one is made.
    void showDefaultJoinWith();
    /// Opens the chosen country database, else the shipped one; a problem is `said` (a
    /// box for a file the player chose) and leaves every country unknown. True when open.
    bool openCountryData(const std::string& chosen, bool said);

    /// One network call of the window: marks `busy` while it lasts, runs `finish` when
    /// it ends (normally or by a failure), then closes the window if that was asked for
    /// during the wait.
    class NetworkCall {
      public:
        NetworkCall(TfmMain& window, bool& busy, std::function<void()> finish = {});
        ~NetworkCall();
        NetworkCall(const NetworkCall&) = delete;
        NetworkCall& operator=(const NetworkCall&) = delete;

      private:
        TfmMain& m_window;
        bool& m_busy;
        std::function<void()> m_finish;
    };
    bool pumpMessages();
    void runPendingQuery();

    TfmMainEnvironment m_env;
    int m_networkDepth = 0;
    bool m_closing = false;
    bool m_queryRunning = false;
    bool m_pasteRunning = false;
    bool m_updateRunning = false;
    bool m_refreshPending = false;
    bool m_detectPending = false;
    int64_t m_countsPerMs = 0;
    /// Where the database dialog opens: the data folder at first, then the last pick's.
    std::string m_databaseDialogFolder;
    bool m_startupChecksDone = false;
    ServerList m_servers;
    ServerList m_dbServers;
    ListHistory m_listHistory;
    /// The last answer the Monitoring page showed, and its entry: what a join of the
    /// entry knows of the server.
    ServerAnswer m_lastAnswer;
    std::string m_lastAnswerEntry;
    /// The join choice was loaded or made by the user; until then it follows the default.
    bool m_joinWithChosen = false;
    /// The country database: the player's choice (empty: the shipped one), and the open file.
    std::string m_countryDataChosen;
    std::string m_countryDataPath;
    std::unique_ptr<CountryDatabase> m_countries;

  public:
    // Controls, named as the window's design names them.
    QTabWidget* pcMenu = nullptr;
    QWidget* tsOptions = nullptr;
    QWidget* tsImport = nullptr;
    QWidget* tsMonitoring = nullptr;
    QWidget* tsUpdate = nullptr;
    QWidget* tsHelp = nullptr;
    CheckListBox* clbIPs = nullptr;
    GradientButton* bbInvert = nullptr;
    GradientButton* bbSelectAll = nullptr;
    GradientButton* bbDeselectAll = nullptr;
    GradientButton* bbDelete = nullptr;
    GradientButton* bbClear = nullptr;
    GradientButton* bbSaveList = nullptr;
    ClickLabel* imLogo = nullptr;
    ClickLabel* lbVisit4Updates = nullptr;
    QLabel* lbCount = nullptr;
    GradientButton* bbOverwrite = nullptr;
    QStatusBar* sbStatus = nullptr;
    QLabel* sbStatusPanel = nullptr;

    QLineEdit* edPath2HL = nullptr;
    GradientButton* bbPath2HL = nullptr;
    QLineEdit* edLanguage = nullptr;
    GradientButton* bbLanguageOpen = nullptr;
    QLineEdit* edExportName = nullptr;
    QLineEdit* edExportBuild = nullptr;
    QLineEdit* edExportDate = nullptr;
    GradientButton* bbSaveSettings = nullptr;
    QCheckBox* cbSaveOnExit = nullptr;
    QComboBox* cbJoinWith = nullptr;
    GradientButton* bbCountryData = nullptr;
    GradientButton* bbBackUp = nullptr;
    GradientButton* bbRestore = nullptr;
    QLineEdit* edSteamFolder = nullptr;
    GradientButton* bbSteamFolder = nullptr;
    QComboBox* cbSteamAccount = nullptr;
    QLineEdit* edSteamGameDir = nullptr;
    GradientButton* bbSteamImport = nullptr;
    GradientButton* bbSteamOverwrite = nullptr;
    GradientButton* bbSteamBackup = nullptr;
    GradientButton* bbSteamRestore = nullptr;

    QLineEdit* edPath2DB = nullptr;
    GradientButton* bbOpenDB = nullptr;
    QComboBox* cbCountry = nullptr;
    GradientButton* bbAddCountry = nullptr;
    CheckListBox* clbDBIPs = nullptr;
    GradientButton* bbMove = nullptr;
    GradientButton* bbDeleteCountryIP = nullptr;
    GradientButton* bbCountryClear = nullptr;
    QLabel* lbBuild = nullptr;
    QLabel* lbDBDate = nullptr;
    QLabel* lbDBCount = nullptr;
    GradientButton* bbImportFavourites = nullptr;
    QLabel* lbPathHLFound = nullptr;
    QLabel* lbFavouritesCount = nullptr;
    CEditIPAddr* edNewIP = nullptr;
    QLineEdit* edNewPort = nullptr;
    QLineEdit* edGameType = nullptr;
    GradientButton* bbDetect = nullptr;
    GradientButton* bbAddIP = nullptr;

    QPlainTextEdit* mmUDPInfo = nullptr;
    QCheckBox* cbEnableMonitor = nullptr;
    QCheckBox* cbRefreshOnClick = nullptr;
    QCheckBox* cbRefreshOnTimer = nullptr;
    GradientButton* bbUDPRefresh = nullptr;
    GradientButton* bbUDPClear = nullptr;
    QLabel* lbPing = nullptr;
    SpinEdit* seTimer = nullptr;
    SpinEdit* seTimeout = nullptr;
    GradientButton* bbServerStatus = nullptr;
    /// The "Server status" window, made when first opened.
    TfmServerStatus* fmServerStatus = nullptr;
    GradientButton* bbFindServers = nullptr;
    /// The "Find servers" window, made when first opened.
    TfmFindServers* fmFindServers = nullptr;

    QCheckBox* cbCheck4Updates = nullptr;
    GradientButton* bbCheck4Updates = nullptr;
    ClickLabel* imLogoUpdate = nullptr;
    QPlainTextEdit* mmUpdateInfo = nullptr;
    CEditIPAddr* edProxyIP = nullptr;
    QLineEdit* edProxyPort = nullptr;
    QLineEdit* edProxyLogin = nullptr;
    QLineEdit* edProxyPassword = nullptr;

    ClickLabel* imHelpLogo = nullptr;
    QPlainTextEdit* mmAbout = nullptr;
    GradientButton* bbOpenHelp = nullptr;

    QTimer* udpTimer = nullptr;
    TIdUDPClient udpClient;
    TIdHTTP httpClient;
    TIdAntiFreeze IdAntiFreeze1;
};

} // namespace qm
