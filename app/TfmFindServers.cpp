#include "app/TfmFindServers.h"

#include "app/ServerStatusModel.h"
#include "app/StatusSortProxy.h"
#include "app/StatusTable.h"
#include "find/FindRun.h"
#include "find/MasterServersFile.h"
#include "find/ServerSources.h"
#include "platform/ProfileFile.h"
#include "platform/TextTools.h"
#include "ui/Dialogs.h"
#include "ui/NamedWidgets.h"
#include "ui/TextCodec.h"
#include "ui/WindowKeys.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDate>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSortFilterProxyModel>
#include <QSpinBox>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include <unordered_set>

namespace qm {

namespace {

constexpr int kDrainIntervalMs = 50;
constexpr const char* kKeySection = "Find";
constexpr const char* kKeyName = "SteamKey";

struct Region {
    const char* name;
    int code;
};
// The region bytes of the master query.
constexpr Region kRegions[] = {{"All regions", 255}, {"US east coast", 0}, {"US west coast", 1},
                               {"South America", 2}, {"Europe", 3},        {"Asia", 4},
                               {"Australia", 5},     {"Middle East", 6},   {"Africa", 7}};

QCheckBox* namedCheck(const char* name, const char* caption, QWidget* parent) {
    return named(new QCheckBox(QString::fromLatin1(caption), parent), name);
}

// "a:1, b:2 c" as the masters it names.
std::vector<std::string> mastersTyped(const std::string& text) {
    std::vector<std::string> masters;
    std::string current;
    for (char c : text + ",") {
        if (c == ',' || c == ' ' || c == ';' || c == '\t') {
            if (!current.empty()) masters.push_back(current);
            current.clear();
        } else {
            current.push_back(c);
        }
    }
    return masters;
}

std::string joined(const std::vector<std::string>& parts, const char* between) {
    std::string text;
    for (const std::string& p : parts)
        text += (text.empty() ? "" : between) + p;
    return text;
}

} // namespace

TfmFindServers::TfmFindServers(ServerList& servers, FindServersSetup setup, QWidget* parent)
    : QWidget(parent, Qt::Window), m_servers(servers), m_setup(std::move(setup)) {
    buildWindow();
    connectControls();
    std::optional<FindChoices> kept;
    try {
        const ProfileFile file(m_setup.settingsPath);
        const std::string key = file.read(kKeySection, kKeyName, "");
        edSteamKey->setText(toDisplay(key));
        cbRememberKey->setChecked(!key.empty());
        kept = readFindChoices(file);
    } catch (const std::exception&) {
        // No settings file yet, or none to read: no key is remembered.
    }
    if (kept) {
        showChoices(*kept);
    } else {
        FindChoices first;
        first.source = defaultFindSource(m_setup.gameFolder, m_setup.steamFolderFound);
        first.limit = static_cast<int>(kDefaultFindLimit);
        showChoices(first);
    }
    sourceChanged();
}

TfmFindServers::~TfmFindServers() = default;

void TfmFindServers::buildWindow() {
    setObjectName(QStringLiteral("fmFindServers"));
    setWindowTitle(QStringLiteral("Find servers"));
    resize(1000, 640);

    auto* top = new QHBoxLayout;
    top->addWidget(buildSourceBox(), 1);
    top->addWidget(buildFilterBox(), 1);

    bbFind = namedButton("bbFind", "&Find", this);
    bbFind->setDefault(true);
    bbFindCancel = namedButton("bbFindCancel", "Ca&ncel", this);
    bbFindCancel->setEnabled(false);
    pbFind = named(new QProgressBar(this), "pbFind");
    pbFind->setRange(0, 1);
    pbFind->setValue(0);
    pbFind->setTextVisible(true);
    pbFind->setFormat(QStringLiteral("No search yet"));
    auto* run = new QHBoxLayout;
    run->addWidget(bbFind);
    run->addWidget(bbFindCancel);
    run->addWidget(pbFind, 1);

    lbFindState = named(new QLabel(this), "lbFindState");
    lbFindState->setTextFormat(Qt::PlainText);
    lbFindState->setWordWrap(true);

    const StatusTable table = makeStatusTable(this, "tvFoundServers", true);
    m_model = table.model;
    m_sorted = table.sorted;
    tvFoundServers = table.view;

    bbAddChecked = namedButton("bbAddChecked", "Add c&hecked to list", this);
    bbAddAnswering = namedButton("bbAddAnswering", "Add &answering to list", this);
    bbFindClose = namedButton("bbFindClose", "&Close", this);
    // The found servers as a database of their countries; a filter by country.
    edFindCountry = named(new QLineEdit(this), "edFindCountry");
    edFindCountry->setPlaceholderText(QStringLiteral("Country"));
    edFindCountry->setToolTip(
        QStringLiteral("Show only the servers of a country: its name or its two-letter code"));
    edFindCountry->setClearButtonEnabled(true);
    edDatabaseBuild = named(new QLineEdit(this), "edDatabaseBuild");
    edDatabaseBuild->setPlaceholderText(QStringLiteral("Build (today's date)"));
    edDatabaseBuild->setToolTip(QStringLiteral("The build line of an exported database"));
    bbExportDatabase = namedButton("bbExportDatabase", "Export as &database...", this);
    auto* exportMenu = new QMenu(bbExportDatabase);
    const struct {
        const char* name;
        const char* caption;
        ServerStatusModel::Chosen which;
    } exports[] = {{"miExportAll", "All found servers", ServerStatusModel::Chosen::All},
                   {"miExportChecked", "Checked servers", ServerStatusModel::Chosen::Checked},
                   {"miExportAnswering", "Answering servers", ServerStatusModel::Chosen::Answering}};
    for (const auto& e : exports) {
        QAction* a = exportMenu->addAction(QString::fromLatin1(e.caption));
        a->setObjectName(QString::fromLatin1(e.name));
        connect(a, &QAction::triggered, this, [this, which = e.which] { exportDatabase(which); });
    }
    bbExportDatabase->setMenu(exportMenu);
    auto* add = new QHBoxLayout;
    add->addWidget(new QLabel(QStringLiteral("Country:"), this));
    add->addWidget(edFindCountry);
    add->addStretch(1);
    add->addWidget(edDatabaseBuild);
    add->addWidget(bbExportDatabase);
    add->addWidget(bbAddChecked);
    add->addWidget(bbAddAnswering);
    add->addWidget(bbFindClose);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(run);
    layout->addWidget(lbFindState);
    layout->addWidget(tvFoundServers, 1);
    layout->addLayout(add);
}

QWidget* TfmFindServers::buildSourceBox() {
    auto* box = new QGroupBox(QStringLiteral("Where to look"), this);
    rbGameMasters =
        named(new QRadioButton(QStringLiteral("The game folder's master servers"), box), "rbGameMasters");
    rbTypedMasters = named(new QRadioButton(QStringLiteral("These master servers:"), box), "rbTypedMasters");
    rbSteamList = named(new QRadioButton(QStringLiteral("Steam's server list, with my Web API key:"), box),
                        "rbSteamList");
    rbGameMasters->setChecked(true);
    edMasters = named(new QLineEdit(box), "edMasters");
    edMasters->setPlaceholderText(QStringLiteral("host:port, host:port"));
    cbEveryMaster = namedCheck("cbEveryMaster", "Ask every master", box);
    cbEveryMaster->setToolTip(QStringLiteral(
        "Merge every master's list; otherwise the first master that lists its servers whole will do"));
    edSteamKey = named(new QLineEdit(box), "edSteamKey");
    edSteamKey->setEchoMode(QLineEdit::Password);
    edSteamKey->setPlaceholderText(QStringLiteral("Steam Web API key"));
    cbRememberKey = namedCheck("cbRememberKey", "Remember", box);
    cbRememberKey->setToolTip(QStringLiteral("Keep the key in userpref.ini, which only you can read"));
    auto* key = new QHBoxLayout;
    key->addWidget(edSteamKey, 1);
    key->addWidget(cbRememberKey);
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(rbGameMasters);
    layout->addWidget(rbTypedMasters);
    layout->addWidget(edMasters);
    layout->addWidget(cbEveryMaster);
    layout->addWidget(rbSteamList);
    layout->addLayout(key);
    layout->addStretch(1);
    return box;
}

QWidget* TfmFindServers::buildFilterBox() {
    auto* box = new QGroupBox(QStringLiteral("Filters"), this);
    edFindGameDir = named(new QLineEdit(toDisplay(m_setup.gameDir), box), "edFindGameDir");
    edFindMap = named(new QLineEdit(box), "edFindMap");
    edFindName = named(new QLineEdit(box), "edFindName");
    edFindName->setPlaceholderText(QStringLiteral("*text*"));
    cbRegion = named(new QComboBox(box), "cbRegion");
    for (const Region& r : kRegions)
        cbRegion->addItem(QString::fromLatin1(r.name), r.code);
    seFindLimit = named(new QSpinBox(box), "seFindLimit");
    seFindLimit->setRange(1, static_cast<int>(kMaxListedServers));
    seFindLimit->setValue(static_cast<int>(kDefaultFindLimit));
    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("Game directory"), edFindGameDir);
    fields->addRow(QStringLiteral("Map"), edFindMap);
    fields->addRow(QStringLiteral("Name"), edFindName);
    fields->addRow(QStringLiteral("Region"), cbRegion);
    fields->addRow(QStringLiteral("At most"), seFindLimit);
    cbNotEmpty = namedCheck("cbNotEmpty", "Not empty", box);
    cbNotFull = namedCheck("cbNotFull", "Not full", box);
    cbNoPlayers = namedCheck("cbNoPlayers", "Empty only", box);
    cbSecure = namedCheck("cbSecure", "VAC secured", box);
    cbNoPassword = namedCheck("cbNoPassword", "No password", box);
    auto* checks = new QVBoxLayout;
    for (QCheckBox* c : {cbNotEmpty, cbNotFull, cbNoPlayers, cbSecure, cbNoPassword})
        checks->addWidget(c);
    checks->addStretch(1);
    auto* layout = new QHBoxLayout(box);
    layout->addLayout(fields, 1);
    layout->addLayout(checks);
    return box;
}

void TfmFindServers::connectControls() {
    m_drain = new QTimer(this);
    m_drain->setInterval(kDrainIntervalMs);
    connect(m_drain, &QTimer::timeout, this, [this] { takeProgress(); });
    connect(bbFind, &QPushButton::clicked, this, [this] { bbFindClick(); });
    connect(bbFindCancel, &QPushButton::clicked, this, [this] { bbFindCancelClick(); });
    connect(bbAddChecked, &QPushButton::clicked, this, [this] { bbAddCheckedClick(); });
    connect(bbAddAnswering, &QPushButton::clicked, this, [this] { bbAddAnsweringClick(); });
    connect(edFindCountry, &QLineEdit::textChanged, this,
            [this](const QString& text) { static_cast<StatusSortProxy*>(m_sorted)->setCountryFilter(text); });
    connect(bbFindClose, &QPushButton::clicked, this, [this] { close(); });
    for (QRadioButton* r : {rbGameMasters, rbTypedMasters, rbSteamList})
        connect(r, &QRadioButton::toggled, this, [this](bool on) {
            if (on) sourceChanged();
        });
    // Unticked, the key leaves the settings file at once; ticked, it is kept at the next Find.
    connect(cbRememberKey, &QCheckBox::toggled, this, [this](bool on) {
        if (!on) keepOrForgetKey({});
    });
}

void TfmFindServers::sourceChanged() {
    edMasters->setEnabled(rbTypedMasters->isChecked());
    edSteamKey->setEnabled(rbSteamList->isChecked());
    cbRememberKey->setEnabled(rbSteamList->isChecked());
    // Steam has its own game directory; the masters the game folder's.
    const std::string& dir = rbSteamList->isChecked() ? m_setup.steamGameDir : m_setup.gameDir;
    const std::string& other = rbSteamList->isChecked() ? m_setup.gameDir : m_setup.steamGameDir;
    if (edFindGameDir->text().isEmpty() || fromDisplay(edFindGameDir->text()) == other)
        edFindGameDir->setText(toDisplay(dir));
    cbRegion->setEnabled(!rbSteamList->isChecked());
    cbEveryMaster->setEnabled(!rbSteamList->isChecked());
}

FindChoices TfmFindServers::choicesOfControls() const {
    FindChoices c;
    c.source = rbSteamList->isChecked()      ? FindSource::SteamList
               : rbTypedMasters->isChecked() ? FindSource::TypedMasters
                                             : FindSource::GameMasters;
    c.masters = fromDisplay(edMasters->text());
    c.everyMaster = cbEveryMaster->isChecked();
    c.filter = chosenFilter();
    c.region = cbRegion->currentData().toInt();
    c.limit = seFindLimit->value();
    return c;
}

void TfmFindServers::showChoices(const FindChoices& c) {
    (c.source == FindSource::SteamList      ? rbSteamList
     : c.source == FindSource::TypedMasters ? rbTypedMasters
                                            : rbGameMasters)
        ->setChecked(true);
    edMasters->setText(toDisplay(c.masters));
    cbEveryMaster->setChecked(c.everyMaster);
    if (!c.filter.gameDir.empty()) edFindGameDir->setText(toDisplay(c.filter.gameDir));
    edFindMap->setText(toDisplay(c.filter.map));
    edFindName->setText(toDisplay(c.filter.nameMatch));
    cbNotEmpty->setChecked(c.filter.notEmpty);
    cbNotFull->setChecked(c.filter.notFull);
    cbNoPlayers->setChecked(c.filter.noPlayers);
    cbSecure->setChecked(c.filter.secure);
    cbNoPassword->setChecked(c.filter.noPassword);
    const int region = cbRegion->findData(c.region);
    cbRegion->setCurrentIndex(region >= 0 ? region : 0);
    if (c.limit > 0) seFindLimit->setValue(c.limit);
}

void TfmFindServers::keepChoices() {
    try {
        ProfileFile file(m_setup.settingsPath);
        writeFindChoices(file, choicesOfControls());
    } catch (const std::exception& e) {
        m_notes.push_back(std::string("The choices could not be kept in userpref.ini: ") + e.what());
    }
}

ServerFilter TfmFindServers::chosenFilter() const {
    ServerFilter f;
    f.gameDir = std::string(trimmed(fromDisplay(edFindGameDir->text())));
    f.map = std::string(trimmed(fromDisplay(edFindMap->text())));
    f.nameMatch = std::string(trimmed(fromDisplay(edFindName->text())));
    f.notEmpty = cbNotEmpty->isChecked();
    f.notFull = cbNotFull->isChecked();
    f.noPlayers = cbNoPlayers->isChecked();
    f.secure = cbSecure->isChecked();
    f.noPassword = cbNoPassword->isChecked();
    return f;
}

void TfmFindServers::keepOrForgetKey(const std::string& key) {
    try {
        ProfileFile file(m_setup.settingsPath);
        const std::string kept = file.read(kKeySection, kKeyName, "");
        const std::string wanted = cbRememberKey->isChecked() ? key : std::string();
        if (kept != wanted) file.write(kKeySection, kKeyName, wanted);
    } catch (const std::exception& e) {
        m_notes.push_back(std::string("The key could not be kept in userpref.ini: ") + e.what());
    }
}

std::unique_ptr<ServerSource> TfmFindServers::chosenSource() {
    const ServerFilter filter = chosenFilter();
    const size_t limit = static_cast<size_t>(seFindLimit->value());
    if (rbSteamList->isChecked()) {
        const std::string key(trimmed(fromDisplay(edSteamKey->text())));
        if (key.empty()) {
            m_notes.push_back("Steam's list needs your Steam Web API key.");
            return nullptr;
        }
        keepOrForgetKey(key);
        SteamListRequest request = m_setup.steam;
        request.key = key;
        request.filter = filter.text();
        request.limit = limit;
        return std::make_unique<SteamListSource>(std::move(request));
    }
    std::vector<std::string> masters;
    if (rbTypedMasters->isChecked()) {
        masters = mastersTyped(fromDisplay(edMasters->text()));
        if (masters.empty()) m_notes.push_back("Type the master servers to ask, as host:port.");
    } else {
        const GameMasters game = readGameMasters(m_setup.gameFolder);
        m_notes.insert(m_notes.end(), game.problems.begin(), game.problems.end());
        masters = game.masters;
        if (masters.empty() && game.problems.empty())
            m_notes.push_back(noGameMastersReason(m_setup.gameFolder));
    }
    if (masters.empty()) return nullptr;
    MasterSearchOptions options = m_setup.masterOptions;
    options.everyMaster = cbEveryMaster->isChecked();
    options.filter = filter.text();
    options.region = static_cast<uint8_t>(cbRegion->currentData().toInt());
    options.limit = limit;
    return std::make_unique<MasterSource>(std::move(masters), std::move(options), m_setup.lookup);
}

void TfmFindServers::bbFindClick() {
    if (finding()) return;
    m_notes.clear();
    keepChoices();
    std::unique_ptr<ServerSource> source = chosenSource();
    if (!source) {
        lbFindState->setText(toDisplay(joined(m_notes, " ")));
        return;
    }
    m_model->reset({});
    tvFoundServers->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    m_sorted->sort(-1);
    bbFind->setEnabled(false);
    bbFindCancel->setEnabled(true);
    m_run = std::make_unique<FindRun>(std::move(source), m_setup.options, m_setup.lookup);
    showProgress();
    m_drain->start();
}

void TfmFindServers::takeProgress() {
    if (!m_run) return;
    FindRun::Progress p = m_run->take();
    m_model->append(p.found);
    m_model->setAsking(p.started);
    m_model->take(p.results);
    m_notes.insert(m_notes.end(), p.notes.begin(), p.notes.end());
    showProgress();
    if (p.finished) endSearch();
}

void TfmFindServers::endSearch() {
    m_run.reset();
    m_drain->stop();
    const QHeaderView* header = tvFoundServers->horizontalHeader();
    if (header->sortIndicatorSection() >= 0)
        m_sorted->sort(header->sortIndicatorSection(), header->sortIndicatorOrder());
    bbFind->setEnabled(true);
    bbFindCancel->setEnabled(false);
    showProgress();
    emit searched();
}

void TfmFindServers::bbFindCancelClick() {
    if (!finding()) return;
    m_run->cancel();
    // What came before the cancel is kept.
    FindRun::Progress rest = m_run->take();
    m_model->append(rest.found);
    m_model->take(rest.results);
    m_notes.insert(m_notes.end(), rest.notes.begin(), rest.notes.end());
    m_notes.push_back("Cancelled.");
    m_model->cancelAsking();
    endSearch();
}

void TfmFindServers::showProgress() {
    const size_t found = m_model->size();
    // Asked is what has its outcome; the rows in flight are told apart.
    const size_t asked = m_model->answeredCount() + m_model->silentCount();
    const size_t asking = m_model->askingCount();
    pbFind->setRange(0, static_cast<int>(std::max<size_t>(found, 1)));
    pbFind->setValue(static_cast<int>(asked));
    pbFind->setFormat(QStringLiteral("%1 found, %2 asked: %3 answered, %4 silent%5%6")
                          .arg(found)
                          .arg(asked)
                          .arg(m_model->answeredCount())
                          .arg(m_model->silentCount())
                          .arg(asking > 0 ? QStringLiteral(", %1 asking").arg(asking) : QString())
                          .arg(m_run ? QStringLiteral("...") : QString()));
    lbFindState->setText(toDisplay(joined(m_notes, "; ")));
}

void TfmFindServers::addToList(bool answeringOnly) {
    std::vector<std::string> entries =
        m_model->entriesToAdd(answeringOnly, std::string(trimmed(fromDisplay(edFindGameDir->text()))));
    if (entries.empty()) {
        lbFindState->setText(answeringOnly ? QStringLiteral("No server has answered yet.")
                                           : QStringLiteral("No server is checked."));
        return;
    }
    if (beforeListChange) beforeListChange();
    const size_t before = m_servers.count();
    m_servers.addAndCheckAll(std::move(entries));
    const size_t added = m_servers.count() - before;
    lbFindState->setText(QStringLiteral("%1 added to the list").arg(added));
    if (afterListChange) afterListChange(added);
}

void TfmFindServers::bbAddCheckedClick() {
    addToList(false);
}
void TfmFindServers::bbAddAnsweringClick() {
    addToList(true);
}

void TfmFindServers::exportDatabase(ServerStatusModel::Chosen which) {
    const std::vector<ServerOfCountry> servers =
        m_model->serversOfCountry(which, std::string(trimmed(fromDisplay(edFindGameDir->text()))));
    if (servers.empty()) {
        lbFindState->setText(QStringLiteral("No server to export."));
        return;
    }
    const QDate today = QDate::currentDate();
    const std::string date = fromDisplay(today.toString(QStringLiteral("dd/MM/yy")));
    const std::string todayBuild = fromDisplay(today.toString(QStringLiteral("yyyyMMdd")));
    const std::string typed(trimmed(fromDisplay(edDatabaseBuild->text())));
    if (!m_setup.dialogs) return;
    const auto path = m_setup.dialogs->saveFile("Server database", "*.db2",
                                                m_setup.exportDir + "servers-" + todayBuild + ".db2");
    if (!path) return;
    try {
        const Outcome done = exportCountryDatabase(*path, typed.empty() ? todayBuild : typed, date, servers);
        lbFindState->setText(toDisplay(done.status));
    } catch (const std::exception& e) {
        m_setup.dialogs->showError("Quillmark",
                                   "Cannot write " + *path + ": " + e.what() + ". Nothing was exported.");
    }
}

void TfmFindServers::closeEvent(QCloseEvent* event) {
    bbFindCancelClick();
    keepChoices();
    QWidget::closeEvent(event);
}

void TfmFindServers::keyPressEvent(QKeyEvent* event) {
    if (!takeToolWindowKey(this, event, bbFind)) QWidget::keyPressEvent(event);
}

void TfmFindServers::setServerActions(ServerActions actions) {
    addServerActions({m_model, m_sorted, tvFoundServers}, this, std::move(actions));
}

} // namespace qm
