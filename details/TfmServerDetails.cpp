#include "details/TfmServerDetails.h"

#include "details/PingChart.h"
#include "geo/CountryNames.h"
#include "platform/TextTools.h"
#include "ui/Dialogs.h"
#include "ui/NamedWidgets.h"
#include "ui/TextCodec.h"
#include "ui/WindowKeys.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace qm {

namespace {

constexpr int kDrainIntervalMs = 25;
constexpr int kSortRole = Qt::UserRole;

QTreeWidget* namedTree(const char* name, const QStringList& headers, QWidget* parent) {
    auto* tree = new QTreeWidget(parent);
    tree->setObjectName(QString::fromLatin1(name));
    tree->setHeaderLabels(headers);
    tree->setRootIsDecorated(false);
    tree->setUniformRowHeights(true);
    return tree;
}

// Rows sort by their sort role where they have one (scores and times as numbers).
class SortedItem : public QTreeWidgetItem {
  public:
    using QTreeWidgetItem::QTreeWidgetItem;
    bool operator<(const QTreeWidgetItem& other) const override {
        const int column = treeWidget() ? treeWidget()->sortColumn() : 0;
        const QVariant mine = data(column, kSortRole), theirs = other.data(column, kSortRole);
        if (mine.isValid() && theirs.isValid()) return mine.toDouble() < theirs.toDouble();
        return text(column).toCaseFolded() < other.text(column).toCaseFolded();
    }
};

// One row saying why a list is empty.
void showOnly(QTreeWidget* tree, const QString& why) {
    tree->clear();
    auto* item = new QTreeWidgetItem(tree, {why});
    item->setFirstColumnSpanned(true);
    item->setFlags(Qt::ItemIsEnabled);
}

} // namespace

TfmServerDetails::TfmServerDetails(ServerDetailsSetup setup, QWidget* parent)
    : QWidget(parent, Qt::Window), m_setup(std::move(setup)) {
    setAttribute(Qt::WA_DeleteOnClose);
    m_joinTarget.address = m_setup.target.host;
    m_joinTarget.queryPort = static_cast<uint16_t>(m_setup.target.port);
    m_joinTarget.gamePort = m_setup.gamePort;
    m_joinTarget.gameDir = m_setup.gameDir;
    buildWindow();
    connectControls();
    bbDetailsRefreshClick();
}

TfmServerDetails::~TfmServerDetails() = default;

void TfmServerDetails::buildWindow() {
    setObjectName(QStringLiteral("fmServerDetails"));
    setWindowTitle(QStringLiteral("Server details: %1").arg(toDisplay(m_setup.target.text())));
    resize(660, 600);

    tvFacts = namedTree("tvFacts", {QStringLiteral("Field"), QStringLiteral("Value")}, this);
    tvFacts->setHeaderHidden(true);
    tvFacts->setColumnWidth(0, 110);
    tvFacts->setSelectionMode(QAbstractItemView::NoSelection);
    pcPing = new PingChart(m_history, this);
    pcPing->setObjectName(QStringLiteral("pcPing"));
    lbPingRange = new QLabel(QStringLiteral("Ping: -"), this);
    lbPingRange->setObjectName(QStringLiteral("lbPingRange"));
    auto* chartColumn = new QVBoxLayout;
    chartColumn->addWidget(pcPing, 1);
    chartColumn->addWidget(lbPingRange);
    auto* top = new QHBoxLayout;
    top->addWidget(tvFacts, 3);
    top->addLayout(chartColumn, 2);

    lbPlayersFake = new QLabel(this);
    lbPlayersFake->setObjectName(QStringLiteral("lbPlayersFake"));
    lbPlayersFake->setTextFormat(Qt::PlainText);
    lbPlayersFake->setWordWrap(true);
    QPalette red = lbPlayersFake->palette();
    red.setColor(QPalette::WindowText, QColor(200, 0, 0));
    lbPlayersFake->setPalette(red);
    lbPlayersFake->hide();

    tcDetails = new QTabWidget(this);
    tcDetails->setObjectName(QStringLiteral("tcDetails"));
    tcDetails->addTab(buildPlayersPage(), QStringLiteral("&Players"));
    tcDetails->addTab(buildRulesPage(), QStringLiteral("R&ules"));

    lbDetailsStatus = new QLabel(this);
    lbDetailsStatus->setObjectName(QStringLiteral("lbDetailsStatus"));
    lbDetailsStatus->setTextFormat(Qt::PlainText);
    bbJoin = namedButton("bbJoin", "&Join", this);
    bbJoin->setToolTip(QStringLiteral("Start the game on this server (Ctrl+J)"));
    bbJoinWhenFree = namedButton("bbJoinWhenFree", "Join when a slot &frees", this);
    bbJoinWhenFree->setToolTip(QStringLiteral("Ask the server at the Monitoring timer's interval and join as "
                                              "soon as a player leaves"));
    bbCopyAddress = namedButton("bbCopyAddress", "&Copy address", this);
    bbAddToList = namedButton("bbAddToList", "&Add to list", this);
    bbDetailsRefresh = namedButton("bbDetailsRefresh", "&Refresh", this);
    bbDetailsClose = namedButton("bbDetailsClose", "Close", this);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {bbJoin, bbJoinWhenFree, bbCopyAddress, bbAddToList, bbDetailsRefresh})
        buttons->addWidget(b);
    buttons->addStretch(1);
    buttons->addWidget(bbDetailsClose);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 2);
    layout->addWidget(lbPlayersFake);
    layout->addWidget(tcDetails, 3);
    layout->addWidget(lbDetailsStatus);
    layout->addLayout(buttons);
}

QWidget* TfmServerDetails::buildPlayersPage() {
    tvDetailPlayers =
        namedTree("tvDetailPlayers",
                  {QStringLiteral("Player"), QStringLiteral("Score"), QStringLiteral("Time played")}, this);
    tvDetailPlayers->setColumnWidth(0, 260);
    tvDetailPlayers->setSortingEnabled(true);
    tvDetailPlayers->sortByColumn(1, Qt::DescendingOrder);
    return tvDetailPlayers;
}

QWidget* TfmServerDetails::buildRulesPage() {
    auto* page = new QWidget(this);
    edRulesFilter = new QLineEdit(page);
    edRulesFilter->setObjectName(QStringLiteral("edRulesFilter"));
    edRulesFilter->setPlaceholderText(QStringLiteral("Filter rules"));
    edRulesFilter->setClearButtonEnabled(true);
    tvRules = namedTree("tvRules", {QStringLiteral("Rule"), QStringLiteral("Value")}, page);
    tvRules->setColumnWidth(0, 260);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(edRulesFilter);
    layout->addWidget(tvRules, 1);
    return page;
}

void TfmServerDetails::connectControls() {
    m_drain = new QTimer(this);
    m_drain->setInterval(kDrainIntervalMs);
    connect(m_drain, &QTimer::timeout, this, [this] { takeDetails(); });
    m_next = new QTimer(this);
    m_next->setSingleShot(true);
    connect(m_next, &QTimer::timeout, this, [this] { bbDetailsRefreshClick(); });
    connect(bbJoin, &QPushButton::clicked, this, [this] { bbJoinClick(); });
    connect(bbJoinWhenFree, &QPushButton::clicked, this, [this] { bbJoinWhenFreeClick(); });
    connect(bbCopyAddress, &QPushButton::clicked, this, [this] { bbCopyAddressClick(); });
    connect(bbAddToList, &QPushButton::clicked, this, [this] { bbAddToListClick(); });
    connect(bbDetailsRefresh, &QPushButton::clicked, this, [this] { bbDetailsRefreshClick(); });
    connect(bbDetailsClose, &QPushButton::clicked, this, [this] { close(); });
    connect(edRulesFilter, &QLineEdit::textChanged, this, [this] { filterRules(); });
    auto* joinKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_J), this);
    connect(joinKey, &QShortcut::activated, this, [this] { bbJoinClick(); });
}

void TfmServerDetails::bbDetailsRefreshClick() {
    if (m_run) return;
    m_next->stop();
    if (!m_waitingForSlot) lbDetailsStatus->setText(QStringLiteral("Asking the server..."));
    m_pointAdded = false;
    m_run = std::make_unique<DetailsRun>(m_setup.target, m_setup.options, m_setup.lookup);
    m_drain->start();
}

void TfmServerDetails::takeDetails() {
    if (!m_run) return;
    std::optional<ServerDetails> details = m_run->take();
    if (!details) return;
    showDetails(*details);
    if (!details->complete) return;
    m_run.reset();
    m_drain->stop();
    m_next->start(std::max(m_setup.refreshMs, 100));
    emit answered();
}

void TfmServerDetails::showDetails(const ServerDetails& details) {
    const ServerFacts facts = factsOf(details.info.answer, m_setup.target.text());
    const bool answered = details.info.answer.answered();
    // One point a refresh, when its info has come; the players and rules come after.
    if (!m_pointAdded) {
        m_history.add({answered ? details.info.pingMs : -1, answered ? facts.players : -1,
                       answered ? facts.maxPlayers : -1});
        m_pointAdded = true;
        showPing(facts);
    }
    if (!answered) {
        // Silence keeps what the server said before; only the state changes.
        if (tvFacts->topLevelItemCount() == 0) showFacts(facts, details.info);
        lbDetailsStatus->setText(QStringLiteral("No answer: %1").arg(toDisplay(details.info.state)));
        return;
    }
    showFacts(facts, details.info);
    if (details.players || details.complete) showPlayers(details.players);
    if (details.rules || details.complete) showRules(details.rules);
    const std::string name = details.info.answer.summary().name;
    setWindowTitle(
        QStringLiteral("Server details: %1 (%2)").arg(toDisplay(name), toDisplay(m_setup.target.text())));
    m_joinTarget.name = name;
    m_joinTarget.password = facts.password;
    if (facts.gamePort) m_joinTarget.gamePort = facts.gamePort;
    if (const std::string dir = details.info.answer.gameDir(); !dir.empty()) m_joinTarget.gameDir = dir;

    // The players are weighed, and a free slot joined, once everything has come.
    if (!details.complete) {
        lbDetailsStatus->setText(QStringLiteral("Answered in %1 ms; asking for the players and rules...")
                                     .arg(details.info.pingMs));
        return;
    }
    const bool listed = details.players && details.players->offered;
    const std::string remark = fakePlayersReason(facts, listed ? &details.players->players : nullptr);
    lbPlayersFake->setText(toDisplay("players look fake: " + remark));
    lbPlayersFake->setVisible(!remark.empty());
    if (m_setup.playersChecked) m_setup.playersChecked(m_setup.target.text(), remark);

    lbDetailsStatus->setText(QStringLiteral("Answered in %1 ms").arg(details.info.pingMs));
    if (m_waitingForSlot) joinIfSlotFree(facts);
}

void TfmServerDetails::showFacts(const ServerFacts& facts, const BatchResult& info) {
    tvFacts->clear();
    for (const DetailField& f : facts.fields) {
        new QTreeWidgetItem(tvFacts, {toDisplay(f.label), toDisplay(f.value)});
        if (f.label == "Address") new QTreeWidgetItem(tvFacts, {QStringLiteral("Country"), countryText()});
    }
    if (info.answer.answered())
        new QTreeWidgetItem(tvFacts, {QStringLiteral("Ping"), QStringLiteral("%1 ms").arg(info.pingMs)});
}

QString TfmServerDetails::countryText() const {
    const std::string code = m_setup.countryOf ? m_setup.countryOf(m_setup.target.host) : std::string();
    if (code.empty()) return QStringLiteral("not known");
    return toDisplay(std::string(countryName(code)) + " (" + code + ")");
}

void TfmServerDetails::showPlayers(const std::optional<PlayersAnswer>& players) {
    if (!players || !players->offered) {
        showOnly(tvDetailPlayers, players
                                      ? QStringLiteral("not offered (%1)").arg(toDisplay(players->failure))
                                      : QStringLiteral("not offered"));
        return;
    }
    tvDetailPlayers->setSortingEnabled(false);
    tvDetailPlayers->clear();
    for (const A2sPlayer& p : players->players) {
        auto* item =
            new SortedItem(tvDetailPlayers, {toDisplay(escapedControls(p.name)), QString::number(p.score),
                                             toDisplay(connectedTime(p.seconds))});
        item->setData(1, kSortRole, p.score);
        item->setData(2, kSortRole, static_cast<double>(p.seconds));
        item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
        item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
    }
    tvDetailPlayers->setSortingEnabled(true);
    tcDetails->setTabText(0, QStringLiteral("&Players (%1)").arg(players->players.size()));
}

void TfmServerDetails::showRules(const std::optional<RulesAnswer>& rules) {
    if (!rules || !rules->offered) {
        showOnly(tvRules, rules ? QStringLiteral("not offered (%1)").arg(toDisplay(rules->failure))
                                : QStringLiteral("not offered"));
        return;
    }
    tvRules->clear();
    // The answer comes sorted by name.
    for (const A2sRule& r : rules->rules)
        new QTreeWidgetItem(tvRules,
                            {toDisplay(escapedControls(r.name)), toDisplay(escapedControls(r.value))});
    tcDetails->setTabText(1, QStringLiteral("R&ules (%1)").arg(rules->rules.size()));
    filterRules();
}

void TfmServerDetails::filterRules() {
    const QString wanted = edRulesFilter->text().trimmed();
    for (int i = 0; i < tvRules->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = tvRules->topLevelItem(i);
        item->setHidden(!wanted.isEmpty() && !item->text(0).contains(wanted, Qt::CaseInsensitive) &&
                        !item->text(1).contains(wanted, Qt::CaseInsensitive));
    }
}

void TfmServerDetails::showPing(const ServerFacts& facts) {
    pcPing->update();
    const auto current = m_history.current();
    const auto low = m_history.lowest();
    const auto high = m_history.highest();
    if (!low) {
        lbPingRange->setText(QStringLiteral("Ping: no answer yet"));
        return;
    }
    QString text = QStringLiteral("Ping (line): %1, lowest %2 ms, highest %3 ms")
                       .arg(current ? QStringLiteral("%1 ms").arg(*current) : QStringLiteral("no answer"))
                       .arg(*low)
                       .arg(*high);
    if (current && facts.players >= 0)
        text += QStringLiteral("\nPlayers (bars): %1/%2").arg(facts.players).arg(facts.maxPlayers);
    lbPingRange->setText(text);
}

void TfmServerDetails::bbJoinClick() {
    if (m_setup.join) m_setup.join(m_joinTarget);
}

void TfmServerDetails::bbJoinWhenFreeClick() {
    if (m_waitingForSlot) {
        stopWaiting();
        lbDetailsStatus->setText(QStringLiteral("No longer waiting for a free slot"));
        return;
    }
    m_waitingForSlot = true;
    bbJoinWhenFree->setText(QStringLiteral("Cancel &waiting"));
    lbDetailsStatus->setText(QStringLiteral("Waiting for a free slot..."));
    if (!m_run) bbDetailsRefreshClick();
}

void TfmServerDetails::stopWaiting() {
    m_waitingForSlot = false;
    bbJoinWhenFree->setText(QStringLiteral("Join when a slot &frees"));
}

void TfmServerDetails::joinIfSlotFree(const ServerFacts& facts) {
    // The counts as the server gives them: its bots take slots as it counts them.
    if (facts.maxPlayers <= 0 || facts.players < 0 || facts.players >= facts.maxPlayers) {
        lbDetailsStatus->setText(QStringLiteral("Waiting for a free slot: %1/%2 players")
                                     .arg(facts.players)
                                     .arg(facts.maxPlayers));
        return;
    }
    stopWaiting();
    const std::string server = m_joinTarget.name.empty() ? m_setup.target.text() : m_joinTarget.name;
    const std::string text = "A slot is free on " + server + ": joining.";
    lbDetailsStatus->setText(toDisplay(text));
    if (!m_setup.dialogs || !m_setup.dialogs->notify("Quillmark", text)) {
        // No tray to tell it in: the window comes to the front instead.
        raise();
        activateWindow();
    }
    bbJoinClick();
}

void TfmServerDetails::bbCopyAddressClick() {
    QGuiApplication::clipboard()->setText(toDisplay(m_setup.target.text()));
    lbDetailsStatus->setText(QStringLiteral("Address copied"));
}

void TfmServerDetails::bbAddToListClick() {
    if (!m_setup.addToList) return;
    const std::string entry =
        m_setup.target.text() + (m_joinTarget.gameDir.empty() ? std::string() : " " + m_joinTarget.gameDir);
    m_setup.addToList(entry);
}

void TfmServerDetails::closeEvent(QCloseEvent* event) {
    // Stops the run's exchanges: its thread ends within one slice of its waits.
    m_drain->stop();
    m_next->stop();
    m_run.reset();
    m_waitingForSlot = false;
    QWidget::closeEvent(event);
}

void TfmServerDetails::keyPressEvent(QKeyEvent* event) {
    if (!takeToolWindowKey(this, event, bbDetailsRefresh)) QWidget::keyPressEvent(event);
}

} // namespace qm
