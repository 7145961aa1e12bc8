#pragma once
#include "query/BatchQuery.h"
#include "serverlist/ServerList.h"

#include <QWidget>

#include <memory>
#include <vector>

class QHBoxLayout;
class QProgressBar;
class QPushButton;
class QSortFilterProxyModel;
class QLabel;
class QTableView;
class QTimer;
class QTreeWidget;

namespace qm {

class BatchRun;
class PlayersRun;
class ServerStatusModel;
struct ServerActions;

/// The "Server status" window: every entry of the server list asked at once, in a table
/// that fills as answers come and sorts by any column; the players of the selected
/// server below it; and buttons that set the list's check marks from the result.
class TfmServerStatus : public QWidget {
    Q_OBJECT
  public:
    TfmServerStatus(ServerList& servers, BatchOptions options, HostLookup lookup, QWidget* parent = nullptr);
    /// Called before the window changes the list's marks, so that the change can be undone.
    std::function<void()> beforeListChange;
    ~TfmServerStatus() override;

    bool refreshing() const { return m_run != nullptr; }
    ServerStatusModel& model() { return *m_model; }
    /// Join and details for the table's servers: its context menu, Ctrl+J, double-click.
    void setServerActions(ServerActions actions);

    void bbStatusRefreshClick();
    void bbStatusCancelClick();
    void bbCheckAnsweringClick();
    void bbCheckSilentClick();
    /// Shows the players of the server in the table's current row.
    void showPlayersOfCurrentRow();

    QTableView* tvServerStatus = nullptr;
    QTreeWidget* tvPlayers = nullptr;
    QLabel* lbPlayersOf = nullptr;
    QProgressBar* pbServerStatus = nullptr;
    QPushButton* bbStatusRefresh = nullptr;
    QPushButton* bbStatusCancel = nullptr;
    QPushButton* bbCheckAnswering = nullptr;
    QPushButton* bbCheckSilent = nullptr;
    QPushButton* bbStatusClose = nullptr;

  signals:
    /// A refresh ended, completely or by Cancel.
    void refreshed();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void buildWindow();
    void buildPlayersPane();
    void buildButtons();
    void connectControls();
    /// Moves the results the worker has found so far into the table.
    void takeResults();
    void takeIntoTable(std::vector<BatchResult>& results);
    /// Shows the players of the selected server once they have come.
    void takePlayers();
    void endRefresh();
    void setMarksWhere(bool answered);
    void showProgress();

    ServerList& m_servers;
    BatchOptions m_options;
    HostLookup m_lookup;
    ServerStatusModel* m_model = nullptr;
    QSortFilterProxyModel* m_sorted = nullptr;
    QTimer* m_drain = nullptr;
    QHBoxLayout* m_buttons = nullptr;

    std::unique_ptr<BatchRun> m_run;
    std::vector<size_t> m_queried; // row of each target
    size_t m_reported = 0;
    std::unique_ptr<PlayersRun> m_playersRun;
};

} // namespace qm
