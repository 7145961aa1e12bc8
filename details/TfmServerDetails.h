#pragma once
#include "details/PingHistory.h"
#include "join/JoinPlan.h"
#include "query/BatchQuery.h"
#include "query/DetailsRun.h"
#include "query/ServerDetails.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTimer;
class QTreeWidget;

namespace qm {

class Dialogs;
class PingChart;

/// What a details window is opened with: the server, what its list knows of it, how it
/// is asked, and what the window that opened it does for a join, an add or a verdict.
struct ServerDetailsSetup {
    QueryTarget target;
    /// The game directory and game port the list knows, for a server whose answer names none.
    std::string gameDir;
    std::optional<uint16_t> gamePort;
    BatchOptions options;
    HostLookup lookup = systemHostLookup;
    /// The Monitoring timer's interval: how often the server is asked again.
    int refreshMs = 3000;
    Dialogs* dialogs = nullptr;
    /// The country code of a host (empty when not known).
    std::function<std::string(const std::string& host)> countryOf;
    std::function<void(const JoinTarget&)> join;
    /// Adds "ip:port gamedir" to the server list.
    std::function<void(const std::string& entry)> addToList;
    /// Told, after each answer, why the server's players look fake (empty when they do not).
    std::function<void(const std::string& address, const std::string& remark)> playersChecked;
};

/// One server whole: what its answer says, its players and rules, and its ping and
/// players over the time the window is open, asked again at the Monitoring timer's
/// interval. Non-modal; several may be open, each deleted when closed.
class TfmServerDetails : public QWidget {
    Q_OBJECT
  public:
    explicit TfmServerDetails(ServerDetailsSetup setup, QWidget* parent = nullptr);
    ~TfmServerDetails() override;

    /// Asks the server now, unless a question is under way.
    void bbDetailsRefreshClick();
    void bbJoinClick();
    /// Starts waiting for a free slot, or stops waiting.
    void bbJoinWhenFreeClick();
    void bbCopyAddressClick();
    void bbAddToListClick();

    bool asking() const { return m_run != nullptr; }
    bool waitingForSlot() const { return m_waitingForSlot; }
    const PingHistory& history() const { return m_history; }
    /// The server as a join takes it, from the latest answer.
    const JoinTarget& joinTarget() const { return m_joinTarget; }

    QTreeWidget* tvFacts = nullptr;
    QLabel* lbPlayersFake = nullptr;
    PingChart* pcPing = nullptr;
    QLabel* lbPingRange = nullptr;
    QTabWidget* tcDetails = nullptr;
    QTreeWidget* tvDetailPlayers = nullptr;
    QLineEdit* edRulesFilter = nullptr;
    QTreeWidget* tvRules = nullptr;
    QLabel* lbDetailsStatus = nullptr;
    QPushButton* bbJoin = nullptr;
    QPushButton* bbJoinWhenFree = nullptr;
    QPushButton* bbCopyAddress = nullptr;
    QPushButton* bbAddToList = nullptr;
    QPushButton* bbDetailsRefresh = nullptr;
    QPushButton* bbDetailsClose = nullptr;

  signals:
    /// An answer has been shown (tests and screenshots wait on it).
    void answered();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void buildWindow();
    QWidget* buildPlayersPage();
    QWidget* buildRulesPage();
    void connectControls();
    void takeDetails();
    void showDetails(const ServerDetails& details);
    void showFacts(const ServerFacts& facts, const BatchResult& info);
    void showPlayers(const std::optional<PlayersAnswer>& players);
    void showRules(const std::optional<RulesAnswer>& rules);
    void showPing(const ServerFacts& facts);
    /// "Germany (DE)", or "not known".
    QString countryText() const;
    void filterRules();
    /// While waiting: joins once the server has a free slot.
    void joinIfSlotFree(const ServerFacts& facts);
    void stopWaiting();

    ServerDetailsSetup m_setup;
    JoinTarget m_joinTarget;
    PingHistory m_history;
    std::unique_ptr<DetailsRun> m_run;
    QTimer* m_drain = nullptr;
    QTimer* m_next = nullptr;
    bool m_waitingForSlot = false;
    bool m_pointAdded = false; // the refresh under way has its point on the chart
};

} // namespace qm
