#include "app/TfmMain.h"

#include "app/AppTitle.h"
#include "app/ErrorReport.h"
#include "app/TfmServerStatus.h"
#include "ui/CEditIPAddr.h"
#include "ui/CheckListBox.h"
#include "ui/ClickLabel.h"
#include "ui/GradientButton.h"
#include "ui/SpinEdit.h"
#include "ui/TextCodec.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QShortcut>
#include <QShowEvent>
#include <QTimer>

namespace qm {

TfmMain::TfmMain(const TfmMainEnvironment& env, QWidget* parent)
    : QWidget(parent), m_env(env), udpClient(env.hostLookup), httpClient(env.hostLookup) {
    httpClient.setMessagePump([this] { return pumpMessages(); });
    udpClient.ReceiveTimeout = 500;
    udpClient.setMessagePump([this] { return pumpMessages(); });
    buildWindow();
    connectHandlers();
    FormCreate();
}

TfmMain::~TfmMain() {
    // The status window works on the server list: it goes first, while the list is there.
    delete fmServerStatus;
    fmServerStatus = nullptr;
    FormDestroy();
}

void TfmMain::connectHandlers() {
    connectButtons();
    connectListSignals();
    connectOtherControls();
}

void TfmMain::connectButtons() {
    // Every button and the handler of its click.
    const std::pair<GradientButton * TfmMain::*, void (TfmMain::*)()> clicks[] = {
        {&TfmMain::bbInvert, &TfmMain::bbInvertClick},
        {&TfmMain::bbSelectAll, &TfmMain::bbSelectAllClick},
        {&TfmMain::bbDeselectAll, &TfmMain::bbDeselectAllClick},
        {&TfmMain::bbDelete, &TfmMain::bbDeleteClick},
        {&TfmMain::bbClear, &TfmMain::bbClearClick},
        {&TfmMain::bbOpenHelp, &TfmMain::bbOpenHelpClick},
        {&TfmMain::bbPath2HL, &TfmMain::bbPath2HLClick},
        {&TfmMain::bbOverwrite, &TfmMain::bbOverwriteClick},
        {&TfmMain::bbImportFavourites, &TfmMain::bbImportFavouritesClick},
        {&TfmMain::bbBackUp, &TfmMain::bbBackUpClick},
        {&TfmMain::bbRestore, &TfmMain::bbRestoreClick},
        {&TfmMain::bbSaveSettings, &TfmMain::bbSaveSettingsClick},
        {&TfmMain::bbUDPRefresh, &TfmMain::bbUDPRefreshClick},
        {&TfmMain::bbUDPClear, &TfmMain::bbUDPClearClick},
        {&TfmMain::bbDetect, &TfmMain::bbDetectClick},
        {&TfmMain::bbAddIP, &TfmMain::bbAddIPClick},
        {&TfmMain::bbOpenDB, &TfmMain::bbOpenDBClick},
        {&TfmMain::bbAddCountry, &TfmMain::bbAddCountryClick},
        {&TfmMain::bbDeleteCountryIP, &TfmMain::bbDeleteCountryIPClick},
        {&TfmMain::bbCountryClear, &TfmMain::bbCountryClearClick},
        {&TfmMain::bbMove, &TfmMain::bbMoveClick},
        {&TfmMain::bbSaveList, &TfmMain::bbSaveListClick},
        {&TfmMain::bbCheck4Updates, &TfmMain::bbCheck4UpdatesClick},
        {&TfmMain::bbServerStatus, &TfmMain::bbServerStatusClick},
        {&TfmMain::bbFindServers, &TfmMain::bbFindServersClick},
        {&TfmMain::bbSteamFolder, &TfmMain::bbSteamFolderClick},
        {&TfmMain::bbSteamImport, &TfmMain::bbSteamImportClick},
        {&TfmMain::bbSteamOverwrite, &TfmMain::bbSteamOverwriteClick},
        {&TfmMain::bbSteamBackup, &TfmMain::bbSteamBackupClick},
        {&TfmMain::bbSteamRestore, &TfmMain::bbSteamRestoreClick},
        {&TfmMain::bbCountryData, &TfmMain::bbCountryDataClick},
    };
    for (const auto& [button, handler] : clicks)
        connect(this->*button, &QPushButton::clicked, this,
                [this, handler = handler] { guarded([this, handler] { (this->*handler)(); }); });
}

void TfmMain::connectListSignals() {
    auto* findKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F), this);
    connect(findKey, &QShortcut::activated, this, [this] { guarded([this] { bbFindServersClick(); }); });
    auto* statusKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_T), this);
    connect(statusKey, &QShortcut::activated, this, [this] { guarded([this] { bbServerStatusClick(); }); });
    connect(clbIPs, &CheckListBox::deletePressed, this,
            [this] { guarded([this] { deleteHighlightedEntry(); }); });
    connect(clbIPs, &CheckListBox::copyPressed, this,
            [this] { guarded([this] { copyAddressOf(m_servers.highlighted()); }); });
    connect(clbIPs, &CheckListBox::pastePressed, this, [this] { guarded([this] { pasteEntries(); }); });
    connect(clbIPs, &CheckListBox::undoPressed, this, [this] { guarded([this] { undoListCommand(); }); });
    // A line edit with the focus keeps Ctrl+Z for its own text.
    auto* undoKey = new QShortcut(QKeySequence::Undo, this);
    connect(undoKey, &QShortcut::activated, this, [this] { guarded([this] { undoListCommand(); }); });
    connect(clbIPs, &CheckListBox::selectAllPressed, this,
            [this] { guarded([this] { bbSelectAllClick(); }); });
    clbIPs->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(clbIPs, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        const QModelIndex under = clbIPs->indexAt(at);
        QMenu* menu = listContextMenu(under.isValid() ? static_cast<size_t>(under.row()) : ServerList::npos);
        menu->exec(clbIPs->viewport()->mapToGlobal(at));
        menu->deleteLater();
    });
    connect(clbIPs, &CheckListBox::clicked, this, [this] { guarded([this] { clbIPsClick(); }); });
    // A double-click or Enter on an entry opens its details; Ctrl+J joins it.
    connect(clbIPs, &CheckListBox::entryActivated, this,
            [this](size_t row) { guarded([this, row] { showEntryDetails(row); }); });
    auto* joinKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_J), this);
    connect(joinKey, &QShortcut::activated, this,
            [this] { guarded([this] { joinEntry(m_servers.highlighted()); }); });
    mmUDPInfo->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(mmUDPInfo, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        QMenu* menu = monitoringContextMenu();
        menu->exec(mmUDPInfo->mapToGlobal(at));
        menu->deleteLater();
    });
}

void TfmMain::connectOtherControls() {
    connect(edNewIP, &CEditIPAddr::serverPasted, this, [this](const QString& port, const QString& gameDir) {
        edNewPort->setText(port);
        if (gameDir.isEmpty()) return;
        edGameType->setText(gameDir.toLower());
        bbAddIP->setEnabled(true);
    });
    connect(cbSteamAccount, &QComboBox::currentIndexChanged, this, [this] { showSteamAccountTooltip(); });
    // The player's pick is kept; until then the box shows what a join would use.
    connect(cbJoinWith, &QComboBox::activated, this, [this] { m_joinWithChosen = true; });
    connect(pcMenu, &QTabWidget::currentChanged, this, [this] { showDefaultJoinWith(); });
    connect(edSteamFolder, &QLineEdit::editingFinished, this,
            [this] { guarded([this] { edSteamFolderEditingFinished(); }); });
    connect(udpTimer, &QTimer::timeout, this, [this] { guarded([this] { udpTimerTimer(); }); });
    connect(cbEnableMonitor, &QCheckBox::toggled, this,
            [this] { guarded([this] { cbEnableMonitorClick(); }); });
    connect(cbRefreshOnTimer, &QCheckBox::toggled, this,
            [this] { guarded([this] { cbRefreshOnTimerClick(); }); });
    connect(seTimer, &SpinEdit::changed, this, [this] { guarded([this] { seTimerChange(); }); });
    connect(seTimeout, &SpinEdit::changed, this, [this] { guarded([this] { seTimeoutChange(); }); });
    for (ClickLabel* logo : {imLogo, lbVisit4Updates, imLogoUpdate, imHelpLogo})
        connect(logo, &ClickLabel::clicked, this, [this] { guarded([this] { imLogoClick(); }); });
}

void TfmMain::guarded(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& e) {
        m_env.dialogs->showError(kApplicationTitle, errorReportText(e.what()));
    }
}

QString TfmMain::statusText() const {
    return sbStatusPanel->text();
}

void TfmMain::setStatusText(const std::string& text) {
    sbStatusPanel->setText(toDisplay(text));
}

void TfmMain::showMessage(const std::string& text) {
    m_env.dialogs->showMessage(kApplicationTitle, text);
}

void TfmMain::FormCreate() {
    m_countsPerMs = m_env.clock->frequency() / 1000;
    // The timer runs from the window's creation; a loaded setting may stop it.
    udpTimer->start();
    loadSettings();
    detectSteam();
    showDefaultJoinWith();
    // A chosen database that went missing says so once, and the countries stay unknown.
    openCountryData(m_countryDataChosen, false);
    imLogoUpdate->setPixmap(imLogo->pixmap());
    imHelpLogo->setPixmap(imLogo->pixmap());
}

void TfmMain::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (m_env.startupChecksOnShow && !m_startupChecksDone && !event->spontaneous())
        QTimer::singleShot(0, this, [this] { runStartupChecks(); });
}

void TfmMain::closeEvent(QCloseEvent* event) {
    // A network wait is unwinding further up the stack; close once it has.
    if (m_networkDepth > 0) {
        m_closing = true;
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

void TfmMain::runStartupChecks() {
    if (m_startupChecksDone) return;
    m_startupChecksDone = true;
    if (cbCheck4Updates->isChecked()) {
        try {
            bbCheck4UpdatesClick();
        } catch (const std::exception& e) {
            // An error the check does not catch ends the start-up steps here.
            m_env.dialogs->showError(kApplicationTitle, errorReportText(e.what()));
            return;
        }
    }
    detectGameLocation();
    autoLoadDatabase();
}

void TfmMain::FormDestroy() {
    if (cbSaveOnExit->isChecked()) bbSaveSettingsClick();
}

} // namespace qm
