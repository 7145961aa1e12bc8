#include "app/TfmServerStatus.h"

#include "app/ServerStatusModel.h"
#include "app/StatusTable.h"
#include "platform/TextTools.h"
#include "query/BatchRun.h"
#include "query/PlayersRun.h"
#include "query/ServerDetails.h"
#include "ui/NamedWidgets.h"
#include "ui/TextCodec.h"
#include "ui/WindowKeys.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <unordered_set>

namespace qm {

namespace {

constexpr int kDrainIntervalMs = 50;

} // namespace

TfmServerStatus::TfmServerStatus(ServerList& servers, BatchOptions options, HostLookup lookup,
                                 QWidget* parent)
    : QWidget(parent, Qt::Window), m_servers(servers), m_options(options), m_lookup(std::move(lookup)) {
    buildWindow();
}

TfmServerStatus::~TfmServerStatus() = default;

void TfmServerStatus::buildWindow() {
    setObjectName(QStringLiteral("fmServerStatus"));
    setWindowTitle(QStringLiteral("Server status"));
    resize(1000, 520);

    const StatusTable table = makeStatusTable(this, "tvServerStatus", false);
    m_model = table.model;
    m_sorted = table.sorted;
    tvServerStatus = table.view;
    buildPlayersPane();
    buildButtons();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tvServerStatus, 1);
    layout->addWidget(lbPlayersOf);
    layout->addWidget(tvPlayers);
    layout->addLayout(m_buttons);
    connectControls();
}

void TfmServerStatus::buildPlayersPane() {
    tvPlayers = new QTreeWidget(this);
    tvPlayers->setObjectName(QStringLiteral("tvPlayers"));
    tvPlayers->setHeaderLabels(
        {QStringLiteral("Player"), QStringLiteral("Score"), QStringLiteral("Time connected")});
    tvPlayers->setRootIsDecorated(false);
    tvPlayers->setColumnWidth(0, 240);
    tvPlayers->setMaximumHeight(150);
    lbPlayersOf = new QLabel(QStringLiteral("Players"), this);
    lbPlayersOf->setObjectName(QStringLiteral("lbPlayersOf"));
    lbPlayersOf->setTextFormat(Qt::PlainText);
}

void TfmServerStatus::buildButtons() {
    pbServerStatus = new QProgressBar(this);
    pbServerStatus->setObjectName(QStringLiteral("pbServerStatus"));
    pbServerStatus->setFormat(QStringLiteral("%v of %m"));
    pbServerStatus->setRange(0, 0);
    pbServerStatus->setValue(0);
    pbServerStatus->setTextVisible(true);
    bbStatusRefresh = namedButton("bbStatusRefresh", "&Refresh", this);
    bbStatusCancel = namedButton("bbStatusCancel", "Ca&ncel", this);
    bbStatusCancel->setEnabled(false);
    bbCheckAnswering = namedButton("bbCheckAnswering", "Check &answering", this);
    bbCheckSilent = namedButton("bbCheckSilent", "Check &silent", this);
    bbStatusClose = namedButton("bbStatusClose", "&Close", this);
    bbCheckAnswering->setToolTip(QStringLiteral("Check exactly the servers of the list that answered"));
    bbCheckSilent->setToolTip(QStringLiteral("Check exactly the servers of the list that did not answer"));

    m_buttons = new QHBoxLayout;
    m_buttons->addWidget(pbServerStatus, 1);
    for (QPushButton* b : {bbStatusRefresh, bbStatusCancel, bbCheckAnswering, bbCheckSilent, bbStatusClose})
        m_buttons->addWidget(b);
}

void TfmServerStatus::connectControls() {
    m_drain = new QTimer(this);
    m_drain->setInterval(kDrainIntervalMs);
    connect(m_drain, &QTimer::timeout, this, [this] {
        takeResults();
        takePlayers();
    });
    connect(bbStatusRefresh, &QPushButton::clicked, this, [this] { bbStatusRefreshClick(); });
    connect(bbStatusCancel, &QPushButton::clicked, this, [this] { bbStatusCancelClick(); });
    connect(bbCheckAnswering, &QPushButton::clicked, this, [this] { bbCheckAnsweringClick(); });
    connect(bbCheckSilent, &QPushButton::clicked, this, [this] { bbCheckSilentClick(); });
    connect(bbStatusClose, &QPushButton::clicked, this, [this] { close(); });
    connect(tvServerStatus->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { showPlayersOfCurrentRow(); });
}

void TfmServerStatus::bbStatusRefreshClick() {
    if (refreshing()) return;
    const std::vector<std::string> entries = m_servers.texts();
    m_model->reset(entries);
    // The rows are back in the list's order: no column's arrow may claim otherwise.
    tvServerStatus->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    m_sorted->sort(-1);
    tvPlayers->clear();
    lbPlayersOf->setText(QStringLiteral("Players"));
    std::vector<QueryTarget> targets;
    m_queried.clear();
    for (size_t row = 0; row < entries.size(); ++row) {
        if (const auto target = targetOfEntry(entries[row])) {
            targets.push_back(*target);
            m_queried.push_back(row);
        } else {
            m_model->setState(row, "not a server address");
        }
    }
    m_reported = entries.size() - targets.size();
    pbServerStatus->setRange(0, static_cast<int>(entries.size()));
    showProgress();
    bbStatusRefresh->setEnabled(false);
    bbStatusCancel->setEnabled(true);
    m_run = std::make_unique<BatchRun>(std::move(targets), m_options, m_lookup);
    m_drain->start();
}

void TfmServerStatus::takeResults() {
    if (!m_run) return;
    BatchRun::Progress taken = m_run->take();
    for (size_t& s : taken.started)
        s = m_queried[s];
    m_model->setAsking(taken.started);
    takeIntoTable(taken.results);
    if (taken.finished) endRefresh();
}

void TfmServerStatus::takeIntoTable(std::vector<BatchResult>& results) {
    const QModelIndex current = m_sorted->mapToSource(tvServerStatus->currentIndex());
    bool currentAnswered = false;
    for (BatchResult& r : results) {
        r.index = m_queried[r.index];
        currentAnswered =
            currentAnswered || (current.isValid() && r.index == static_cast<size_t>(current.row()));
    }
    m_model->take(results);
    m_reported += results.size();
    showProgress();
    // The row the user stands on has its answer now: its players can be asked.
    if (currentAnswered) showPlayersOfCurrentRow();
}

void TfmServerStatus::endRefresh() {
    // What came between the last take and the end.
    BatchRun::Progress rest = m_run->take();
    m_run.reset();
    takeIntoTable(rest.results);
    if (!m_playersRun) m_drain->stop();
    // Sorted while answers came in: sorted again with every answer in.
    const QHeaderView* header = tvServerStatus->horizontalHeader();
    if (header->sortIndicatorSection() >= 0)
        m_sorted->sort(header->sortIndicatorSection(), header->sortIndicatorOrder());
    bbStatusRefresh->setEnabled(true);
    bbStatusCancel->setEnabled(false);
    emit refreshed();
}

void TfmServerStatus::bbStatusCancelClick() {
    if (!refreshing()) return;
    m_run->cancel();
    endRefresh();
    m_model->cancelAsking();
}

void TfmServerStatus::showProgress() {
    pbServerStatus->setValue(static_cast<int>(m_reported));
    pbServerStatus->setFormat(QStringLiteral("%v of %m: %1 answered, %2 silent")
                                  .arg(m_model->answeredCount())
                                  .arg(m_model->silentCount()));
}

void TfmServerStatus::setMarksWhere(bool answered) {
    std::unordered_set<std::string> chosen;
    for (size_t r = 0; r < m_model->size(); ++r) {
        const StatusRow& row = m_model->row(r);
        if (row.done && row.answered == answered) chosen.insert(row.entry);
    }
    if (beforeListChange) beforeListChange();
    m_servers.setMarks([&](const std::string& text) { return chosen.count(text) > 0; });
}

void TfmServerStatus::bbCheckAnsweringClick() {
    setMarksWhere(true);
}
void TfmServerStatus::bbCheckSilentClick() {
    setMarksWhere(false);
}

void TfmServerStatus::showPlayersOfCurrentRow() {
    m_playersRun.reset();
    tvPlayers->clear();
    const QModelIndex current = m_sorted->mapToSource(tvServerStatus->currentIndex());
    if (!current.isValid()) return;
    const StatusRow& row = m_model->row(static_cast<size_t>(current.row()));
    const QString name = row.answered ? toDisplay(row.summary.name) : QString();
    lbPlayersOf->setText(name.isEmpty()
                             ? QStringLiteral("Players of %1").arg(toDisplay(row.entry))
                             : QStringLiteral("Players of %1 (%2)").arg(name, toDisplay(row.entry)));
    const auto target = targetOfEntry(row.entry);
    if (!target || !row.answered) {
        new QTreeWidgetItem(tvPlayers, {QStringLiteral("not offered")});
        return;
    }
    new QTreeWidgetItem(tvPlayers, {QStringLiteral("asking...")});
    m_playersRun = std::make_unique<PlayersRun>(*target, m_options.playersWaitMs, m_lookup);
    m_drain->start();
}

void TfmServerStatus::takePlayers() {
    if (!m_playersRun) return;
    const std::optional<PlayersAnswer> answer = m_playersRun->take();
    if (!answer) return;
    m_playersRun.reset();
    if (!m_run) m_drain->stop();
    tvPlayers->clear();
    if (!answer->offered) {
        new QTreeWidgetItem(tvPlayers, {QStringLiteral("not offered")});
        return;
    }
    for (const A2sPlayer& p : answer->players)
        new QTreeWidgetItem(tvPlayers, {toDisplay(escapedControls(p.name)), QString::number(p.score),
                                        toDisplay(connectedTime(p.seconds))});
}

void TfmServerStatus::closeEvent(QCloseEvent* event) {
    bbStatusCancelClick();
    QWidget::closeEvent(event);
}

void TfmServerStatus::keyPressEvent(QKeyEvent* event) {
    if (!takeToolWindowKey(this, event, bbStatusRefresh)) QWidget::keyPressEvent(event);
}

void TfmServerStatus::setServerActions(ServerActions actions) {
    addServerActions({m_model, m_sorted, tvServerStatus}, this, std::move(actions));
}

} // namespace qm
