#pragma once
#include "app/FindChoices.h"
#include "app/ServerStatusModel.h"
#include "find/MasterSearch.h"
#include "find/SteamServerList.h"
#include "query/BatchQuery.h"
#include "serverlist/ServerList.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <string>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QSortFilterProxyModel;
class QSpinBox;
class QTableView;
class QTimer;

namespace qm {

class FindRun;
struct ServerActions;
class Dialogs;

/// What the "Find servers" window takes from the main window.
struct FindServersSetup {
    /// The folder holding hl.exe, whose MasterServers.vdf files name its masters.
    std::string gameFolder;
    /// The game directory the filter starts with for the masters and for Steam.
    std::string gameDir = "cstrike";
    std::string steamGameDir = "cstrike";
    /// A Steam folder was found on this computer: with no game folder, Steam's list is
    /// where a first search looks.
    bool steamFolderFound = false;
    /// userpref.ini, where a remembered key is kept.
    std::string settingsPath;
    BatchOptions options;
    HostLookup lookup = systemHostLookup;
    MasterSearchOptions masterOptions;
    /// Steam's list: the proxy of the Options page, and for tests another server.
    SteamListRequest steam;
    /// The save dialog and error boxes of Export as database, and the folder it starts in.
    Dialogs* dialogs = nullptr;
    std::string exportDir;
};

/// The "Find servers" window: servers listed by the game folder's masters, by masters
/// typed in or by Steam's Web API, each asked as it comes, in a table like the status
/// window's; checked or answering ones go into the server list.
class TfmFindServers : public QWidget {
    Q_OBJECT
  public:
    TfmFindServers(ServerList& servers, FindServersSetup setup, QWidget* parent = nullptr);
    ~TfmFindServers() override;
    /// Called before the window adds to the list, so that the change can be undone.
    std::function<void()> beforeListChange;
    /// Called after it added: the main window shows the list's new count.
    std::function<void(size_t added)> afterListChange;

    bool finding() const { return m_run != nullptr; }
    ServerStatusModel& model() { return *m_model; }
    /// Join and details for the table's servers: its context menu, Ctrl+J, double-click.
    void setServerActions(ServerActions actions);

    void bbFindClick();
    void bbFindCancelClick();
    void bbAddCheckedClick();
    void bbAddAnsweringClick();
    /// Export as database: the servers chosen, grouped by country, into a .db2 file the
    /// save dialog names; the build is the one typed, else today's date.
    void exportDatabase(ServerStatusModel::Chosen which);

    QRadioButton* rbGameMasters = nullptr;
    QRadioButton* rbTypedMasters = nullptr;
    QRadioButton* rbSteamList = nullptr;
    QLineEdit* edMasters = nullptr;
    QLineEdit* edSteamKey = nullptr;
    QCheckBox* cbRememberKey = nullptr;
    QCheckBox* cbEveryMaster = nullptr;
    QLineEdit* edFindGameDir = nullptr;
    QLineEdit* edFindMap = nullptr;
    QLineEdit* edFindName = nullptr;
    QCheckBox* cbNotEmpty = nullptr;
    QCheckBox* cbNotFull = nullptr;
    QCheckBox* cbNoPlayers = nullptr;
    QCheckBox* cbSecure = nullptr;
    QCheckBox* cbNoPassword = nullptr;
    QComboBox* cbRegion = nullptr;
    QSpinBox* seFindLimit = nullptr;
    QPushButton* bbFind = nullptr;
    QPushButton* bbFindCancel = nullptr;
    QTableView* tvFoundServers = nullptr;
    QProgressBar* pbFind = nullptr;
    QLabel* lbFindState = nullptr;
    QPushButton* bbAddChecked = nullptr;
    QPushButton* bbAddAnswering = nullptr;
    QPushButton* bbFindClose = nullptr;
    QLineEdit* edFindCountry = nullptr;
    QLineEdit* edDatabaseBuild = nullptr;
    QPushButton* bbExportDatabase = nullptr;

  signals:
    /// A search ended, completely or by Cancel.
    void searched();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void buildWindow();
    QWidget* buildSourceBox();
    QWidget* buildFilterBox();
    void connectControls();
    void sourceChanged();
    FindChoices choicesOfControls() const;
    void showChoices(const FindChoices& choices);
    /// Keeps the window's choices in userpref.ini for the next run of the program.
    void keepChoices();
    ServerFilter chosenFilter() const;
    /// The source the controls name; empty with the reason shown when they will not do.
    std::unique_ptr<class ServerSource> chosenSource();
    void keepOrForgetKey(const std::string& key);
    void takeProgress();
    void endSearch();
    void showProgress();
    void addToList(bool answeringOnly);

    ServerList& m_servers;
    FindServersSetup m_setup;
    ServerStatusModel* m_model = nullptr;
    QSortFilterProxyModel* m_sorted = nullptr;
    QTimer* m_drain = nullptr;
    std::unique_ptr<FindRun> m_run;
    std::vector<std::string> m_notes;
};

} // namespace qm
