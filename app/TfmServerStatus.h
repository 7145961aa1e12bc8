#pragma once
#include "query/BatchQuery.h"
#include "serverlist/ServerList.h"

#include <QWidget>

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class QProgressBar;
class QPushButton;
class QSortFilterProxyModel;
class QLabel;
class QTableView;
class QTimer;
class QTreeWidget;

namespace qm {

class ServerStatusModel;

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

    bool refreshing() const { return m_worker.joinable(); }
    ServerStatusModel& model() { return *m_model; }

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

  signals:
    /// A refresh ended, completely or by Cancel.
    void refreshed();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void buildWindow();
    /// Moves the results the worker has found so far into the table.
    void takeResults();
    void takeIntoTable(std::vector<BatchResult>& results);
    void stopWorker();
    void endRefresh();
    void setMarksWhere(bool answered);
    void showProgress();
    void stopPlayersQuery();

    ServerList& m_servers;
    BatchOptions m_options;
    HostLookup m_lookup;
    ServerStatusModel* m_model = nullptr;
    QSortFilterProxyModel* m_sorted = nullptr;
    QTimer* m_drain = nullptr;

    std::unique_ptr<BatchQuery> m_batch;
    std::thread m_worker;
    std::atomic<bool> m_workerDone{false};
    std::mutex m_pendingLock;
    std::vector<BatchResult> m_pending;
    std::vector<size_t> m_pendingStarts; // targets whose servers are being asked now
    std::vector<size_t> m_queried; // row of each target
    size_t m_reported = 0;

    std::thread m_playersWorker;
    std::atomic<bool> m_stopPlayers{false};
    unsigned m_playersAsk = 0;
};

} // namespace qm
