// Where every control of the main window stands, with its caption and design state.
#include "app/AboutText.h"
#include "app/AppTitle.h"
#include "app/TfmMain.h"
#include "ui/CEditIPAddr.h"
#include "ui/CheckListBox.h"
#include "ui/ClickLabel.h"
#include "ui/GradientButton.h"
#include "ui/Logo.h"
#include "ui/SpinEdit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>

namespace qm {

namespace {

constexpr int kClientWidth = 592;
constexpr int kClientHeight = 435;
constexpr int kStatusHeight = 19;

QGroupBox* group(QWidget* parent, const char* caption, QRect geometry) {
    auto* box = new QGroupBox(QString::fromLatin1(caption), parent);
    box->setGeometry(geometry);
    return box;
}

void useWindowFace(QPlainTextEdit* memo) {
    QPalette pal = memo->palette();
    pal.setColor(QPalette::Base, pal.color(QPalette::Window));
    memo->setPalette(pal);
}

QPlainTextEdit* memo(QWidget* parent, const char* name, QRect geometry) {
    auto* m = new QPlainTextEdit(parent);
    m->setObjectName(QString::fromLatin1(name));
    m->setGeometry(geometry);
    useWindowFace(m);
    return m;
}

} // namespace

GradientButton* TfmMain::button(QWidget* parent, const char* name, const char* caption, QRect geometry) {
    auto* b = new GradientButton(QString::fromLatin1(caption), parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setGeometry(geometry);
    return b;
}

QLineEdit* TfmMain::lineEdit(QWidget* parent, const char* name, const char* text, QRect geometry) {
    auto* e = new QLineEdit(QString::fromLatin1(text), parent);
    e->setObjectName(QString::fromLatin1(name));
    e->setGeometry(geometry);
    return e;
}

QCheckBox* TfmMain::checkBox(QWidget* parent, const char* name, const char* caption, QRect geometry) {
    auto* c = new QCheckBox(QString::fromLatin1(caption), parent);
    c->setObjectName(QString::fromLatin1(name));
    c->setGeometry(geometry);
    return c;
}

QLabel* TfmMain::label(QWidget* parent, const char* name, const char* text, QRect geometry) {
    auto* l = new QLabel(QString::fromLatin1(text), parent);
    if (name) l->setObjectName(QString::fromLatin1(name));
    l->setGeometry(geometry);
    return l;
}

namespace {

// The design font is MS Sans Serif at 8 points; where it is missing, a narrow sans serif
// of the same height keeps the captions inside their controls. Its TrueType face comes
// first: Qt draws no bitmap font on Windows, and Wine's MS Sans Serif is one.
QFont designFont() {
    QFont face;
    face.setFamilies({QStringLiteral("Microsoft Sans Serif"), QStringLiteral("MS Sans Serif"),
                      QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                      QStringLiteral("DejaVu Sans Condensed")});
    face.setStyleHint(QFont::SansSerif);
    face.setPixelSize(11);
    return face;
}

} // namespace

void TfmMain::buildWindow() {
    setObjectName(QStringLiteral("fmMain"));
    setWindowTitle(QString::fromLatin1(kWindowCaption));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(kClientWidth, kClientHeight);
    setFont(designFont());
    setWindowIcon(QIcon(drawLogo(48)));

    pcMenu = new QTabWidget(this);
    pcMenu->setObjectName(QStringLiteral("pcMenu"));
    pcMenu->setGeometry(0, 0, 313, 416);
    pcMenu->setUsesScrollButtons(false);
    const struct {
        QWidget** page;
        const char* name;
        const char* caption;
    } pages[] = {{&tsOptions, "tsOptions", "Options"},
                 {&tsImport, "tsImport", "Import"},
                 {&tsMonitoring, "tsMonitoring", "Monitoring"},
                 {&tsUpdate, "tsUpdate", "Update"},
                 {&tsHelp, "tsHelp", "Help"}};
    for (const auto& p : pages) {
        *p.page = new QWidget;
        (*p.page)->setObjectName(QString::fromLatin1(p.name));
        pcMenu->addTab(*p.page, QString::fromLatin1(p.caption));
    }
    buildOptionsPage(tsOptions);
    buildImportPage(tsImport);
    buildMonitoringPage(tsMonitoring);
    buildUpdatePage(tsUpdate);
    buildHelpPage(tsHelp);
    buildMiddleColumn();

    clbIPs = new CheckListBox(m_servers, this);
    clbIPs->setObjectName(QStringLiteral("clbIPs"));
    clbIPs->setGeometry(kClientWidth - 192, 0, 192, kClientHeight - kStatusHeight);

    sbStatus = new QStatusBar(this);
    sbStatus->setObjectName(QStringLiteral("sbStatus"));
    sbStatus->setGeometry(0, kClientHeight - kStatusHeight, kClientWidth, kStatusHeight);
    sbStatus->setSizeGripEnabled(false);
    sbStatusPanel = new QLabel(sbStatus);
    sbStatusPanel->setObjectName(QStringLiteral("sbStatusPanel"));
    sbStatus->addWidget(sbStatusPanel, 1);

    udpTimer = new QTimer(this);
    udpTimer->setObjectName(QStringLiteral("udpTimer"));
    udpTimer->setInterval(3000);

    pcMenu->setCurrentWidget(tsHelp);
}

void TfmMain::buildMiddleColumn() {
    const int x = 316;
    const int w = 75;
    bbInvert = button(this, "bbInvert", "Invert", {x, 6, w, 25});
    bbSelectAll = button(this, "bbSelectAll", "Select All", {x, 34, w, 25});
    bbDeselectAll = button(this, "bbDeselectAll", "Deselect All", {x, 62, w, 25});
    auto* line1 = new QFrame(this);
    line1->setFrameShape(QFrame::HLine);
    line1->setFrameShadow(QFrame::Sunken);
    line1->setGeometry(x, 92, w, 4);
    bbDelete = button(this, "bbDelete", "Delete", {x, 101, w, 25});
    bbClear = button(this, "bbClear", "Clear", {x, 129, w, 25});
    auto* line2 = new QFrame(this);
    line2->setFrameShape(QFrame::HLine);
    line2->setFrameShadow(QFrame::Sunken);
    line2->setGeometry(x, 159, w, 4);
    bbSaveList = button(this, "bbSaveList", "Export List", {x, 168, w, 25});

    auto* logoFrame = new QFrame(this);
    logoFrame->setObjectName(QStringLiteral("pnLogo"));
    logoFrame->setFrameShape(QFrame::Panel);
    logoFrame->setFrameShadow(QFrame::Raised);
    logoFrame->setGeometry(x, 204, w, 80);
    imLogo = new ClickLabel(logoFrame);
    imLogo->setObjectName(QStringLiteral("imLogo"));
    imLogo->setGeometry((w - 48) / 2, 6, 48, 48);
    imLogo->setPixmap(drawLogo(48));
    lbVisit4Updates = new ClickLabel(logoFrame);
    lbVisit4Updates->setObjectName(QStringLiteral("lbVisit4Updates"));
    lbVisit4Updates->setText(QStringLiteral("Visit 4 updates"));
    lbVisit4Updates->setAlignment(Qt::AlignCenter);
    lbVisit4Updates->setGeometry(1, 58, w - 2, 16);
    lbVisit4Updates->setLinkStyle();

    lbCount = label(this, "lbCount", "0 servers", {x, 292, w, 16});
    lbCount->setAlignment(Qt::AlignCenter);

    bbOverwrite = button(this, "bbOverwrite", "Overwrite", {x, 416 - 33 - 6, w, 33});
    bbOverwrite->setColours(QColor(230, 30, 30), QColor(128, 0, 0), Qt::white);
    QFont bold = bbOverwrite->font();
    bold.setBold(true);
    bbOverwrite->setFont(bold);
}

void TfmMain::buildOptionsPage(QWidget* page) {
    auto* gbPath = group(page, "Path to 'hl.exe'", {8, 6, 289, 52});
    edPath2HL = lineEdit(gbPath, "edPath2HL", "C:\\Program Files\\Valve\\hl.exe", {8, 20, 200, 22});
    edPath2HL->setReadOnly(true);
    bbPath2HL = button(gbPath, "bbPath2HL", "Browse", {214, 19, 67, 24});

    auto* gbLanguage = group(page, "Change language", {8, 64, 289, 52});
    gbLanguage->setEnabled(false);
    edLanguage = lineEdit(gbLanguage, "edLanguage", "English", {8, 20, 200, 22});
    edLanguage->setEnabled(false);
    bbLanguageOpen = button(gbLanguage, "bbLanguageOpen", "Open", {214, 19, 67, 24});
    bbLanguageOpen->setEnabled(false);

    auto* gbExport = group(page, "Export options", {8, 122, 180, 124});
    label(gbExport, nullptr, "Save to", {8, 24, 50, 16});
    edExportName = lineEdit(gbExport, "edExportName", "custom.db2", {58, 21, 112, 22});
    label(gbExport, nullptr, "Build", {8, 56, 50, 16});
    edExportBuild = lineEdit(gbExport, "edExportBuild", "Custom", {58, 53, 112, 22});
    label(gbExport, nullptr, "Date", {8, 88, 50, 16});
    edExportDate = lineEdit(gbExport, "edExportDate", "00/00/00", {58, 85, 112, 22});

    auto* gbBackup = group(page, "", {194, 122, 103, 64});
    bbBackUp = button(gbBackup, "bbBackUp", "Back Up", {10, 8, 83, 24});
    bbRestore = button(gbBackup, "bbRestore", "Restore", {10, 35, 83, 24});

    auto* gbSave = group(page, "", {194, 190, 103, 56});
    cbSaveOnExit = checkBox(gbSave, "cbSaveOnExit", "Save on exit", {10, 6, 88, 18});
    cbSaveOnExit->setChecked(true);
    bbSaveSettings = button(gbSave, "bbSaveSettings", "Save settings", {10, 27, 83, 24});
    buildSteamGroup(page);
}

void TfmMain::buildSteamGroup(QWidget* page) {
    auto* gbSteam = group(page, "Steam favourites", {8, 252, 289, 110});
    gbSteam->setObjectName(QStringLiteral("gbSteam"));
    edSteamFolder = lineEdit(gbSteam, "edSteamFolder", "", {8, 20, 200, 22});
    edSteamFolder->setPlaceholderText(QStringLiteral("Steam folder"));
    bbSteamFolder = button(gbSteam, "bbSteamFolder", "Browse", {214, 19, 67, 24});
    cbSteamAccount = new QComboBox(gbSteam);
    cbSteamAccount->setObjectName(QStringLiteral("cbSteamAccount"));
    cbSteamAccount->setGeometry(8, 48, 146, 22);
    cbSteamAccount->setToolTip(QStringLiteral("Steam account"));
    label(gbSteam, nullptr, "Game dir", {160, 51, 50, 16});
    edSteamGameDir = lineEdit(gbSteam, "edSteamGameDir", "cstrike", {214, 48, 67, 22});
    edSteamGameDir->setToolTip(
        QStringLiteral("Game directory of servers whose entry does not name their game"));
    bbSteamImport = button(gbSteam, "bbSteamImport", "Import", {8, 78, 66, 24});
    bbSteamOverwrite = button(gbSteam, "bbSteamOverwrite", "Overwrite", {77, 78, 66, 24});
    bbSteamBackup = button(gbSteam, "bbSteamBackup", "Back Up", {146, 78, 66, 24});
    bbSteamRestore = button(gbSteam, "bbSteamRestore", "Restore", {215, 78, 66, 24});

    // How Join starts the game, under the two places it may start from.
    label(page, nullptr, "Join with", {16, 369, 60, 16});
    cbJoinWith = new QComboBox(page);
    cbJoinWith->setObjectName(QStringLiteral("cbJoinWith"));
    cbJoinWith->setGeometry(76, 366, 150, 22);
    cbJoinWith->addItem(QStringLiteral("the game folder's hl.exe"),
                        QString::fromLatin1(joinWithName(JoinWith::GameFolder)));
    cbJoinWith->addItem(QStringLiteral("Steam"), QString::fromLatin1(joinWithName(JoinWith::Steam)));
    cbJoinWith->setToolTip(QStringLiteral("How Join server starts the game (Ctrl+J)"));
    // Where the countries of servers come from: the shipped database, or one of the player's.
    bbCountryData = button(page, "bbCountryData", "Countries", {230, 365, 67, 24});
}

void TfmMain::buildImportPage(QWidget* page) {
    auto* gbDatabase = group(page, "", {8, 2, 289, 222});
    edPath2DB = lineEdit(gbDatabase, "edPath2DB", "", {8, 10, 200, 22});
    edPath2DB->setReadOnly(true);
    bbOpenDB = button(gbDatabase, "bbOpenDB", "Find", {214, 9, 67, 24});
    cbCountry = new QComboBox(gbDatabase);
    cbCountry->setObjectName(QStringLiteral("cbCountry"));
    cbCountry->setEditable(true);
    cbCountry->setInsertPolicy(QComboBox::NoInsert);
    // Country names match with exact case: the box must never change what was typed.
    cbCountry->completer()->setCaseSensitivity(Qt::CaseSensitive);
    cbCountry->setGeometry(8, 38, 200, 22);
    bbAddCountry = button(gbDatabase, "bbAddCountry", "Add", {214, 37, 67, 24});
    clbDBIPs = new CheckListBox(m_dbServers, gbDatabase);
    clbDBIPs->setObjectName(QStringLiteral("clbDBIPs"));
    clbDBIPs->setGeometry(8, 66, 200, 148);
    bbMove = button(gbDatabase, "bbMove", "Move", {214, 66, 67, 24});
    bbDeleteCountryIP = button(gbDatabase, "bbDeleteCountryIP", "Delete", {214, 93, 67, 24});
    bbCountryClear = button(gbDatabase, "bbCountryClear", "Clear", {214, 120, 67, 24});
    lbBuild = label(gbDatabase, "lbBuild", "Build 000", {214, 152, 72, 16});
    lbDBDate = label(gbDatabase, "lbDBDate", "00/00/00", {214, 172, 72, 16});
    lbDBCount = label(gbDatabase, "lbDBCount", "0 server(s)", {214, 192, 72, 16});

    auto* gbFavourites = group(page, "", {8, 228, 289, 58});
    bbImportFavourites = button(gbFavourites, "bbImportFavourites", "Import Favourites", {8, 14, 112, 30});
    lbPathHLFound = label(gbFavourites, "lbPathHLFound", "'hl.exe' not found", {130, 12, 150, 16});
    lbFavouritesCount = label(gbFavourites, "lbFavouritesCount", "0 servers imported", {130, 32, 150, 16});

    auto* gbNewIP = group(page, "", {8, 290, 289, 84});
    edNewIP = new CEditIPAddr(gbNewIP);
    edNewIP->setObjectName(QStringLiteral("edNewIP"));
    edNewIP->setGeometry(8, 14, 130, 24);
    edNewPort = lineEdit(gbNewIP, "edNewPort", "27015", {144, 15, 64, 22});
    edNewPort->setMaxLength(5);
    bbDetect = button(gbNewIP, "bbDetect", "Detect", {214, 14, 67, 24});
    edGameType = lineEdit(gbNewIP, "edGameType", "", {8, 48, 200, 22});
    edGameType->setReadOnly(true);
    bbAddIP = button(gbNewIP, "bbAddIP", "Add IP", {214, 47, 67, 24});
    bbAddIP->setEnabled(false);
}

void TfmMain::buildMonitoringPage(QWidget* page) {
    mmUDPInfo = memo(page, "mmUDPInfo", {8, 6, 289, 200});
    mmUDPInfo->setReadOnly(true);
    cbEnableMonitor = checkBox(page, "cbEnableMonitor", "Enable monitoring", {8, 214, 116, 18});
    cbEnableMonitor->setChecked(true);
    cbRefreshOnClick = checkBox(page, "cbRefreshOnClick", "Refresh on click", {8, 236, 116, 18});
    cbRefreshOnClick->setChecked(true);
    auto* gbTimer = group(page, "", {8, 260, 116, 66});
    cbRefreshOnTimer = checkBox(gbTimer, "cbRefreshOnTimer", "Refresh on timer", {8, 8, 104, 18});
    cbRefreshOnTimer->setChecked(true);
    label(gbTimer, nullptr, "Timer", {8, 38, 36, 16});
    seTimer = new SpinEdit(100, 99999, gbTimer);
    seTimer->setObjectName(QStringLiteral("seTimer"));
    seTimer->setGeometry(44, 34, 64, 22);
    seTimer->edit()->setMaxLength(5);
    seTimer->setValue(3000);

    auto* pnPing = new QFrame(page);
    pnPing->setObjectName(QStringLiteral("pnPing"));
    pnPing->setFrameShape(QFrame::Panel);
    pnPing->setFrameShadow(QFrame::Raised);
    pnPing->setGeometry(130, 214, 78, 112);
    label(pnPing, nullptr, "Approximate", {2, 8, 74, 16})->setAlignment(Qt::AlignCenter);
    label(pnPing, nullptr, "ping", {2, 26, 74, 16})->setAlignment(Qt::AlignCenter);
    lbPing = label(pnPing, "lbPing", "000", {2, 50, 74, 34});
    lbPing->setAlignment(Qt::AlignCenter);
    QFont big = lbPing->font();
    big.setPixelSize(20);
    lbPing->setFont(big);
    QPalette red = lbPing->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    lbPing->setPalette(red);

    bbUDPRefresh = button(page, "bbUDPRefresh", "Refresh", {214, 214, 83, 24});
    bbUDPClear = button(page, "bbUDPClear", "Clear", {214, 242, 83, 24});
    auto* gbTimeout = group(page, "Server timeout", {214, 272, 83, 54});
    seTimeout = new SpinEdit(-1, 99999, gbTimeout);
    seTimeout->setObjectName(QStringLiteral("seTimeout"));
    seTimeout->setGeometry(8, 22, 67, 22);
    seTimeout->edit()->setMaxLength(5);
    seTimeout->setValue(500);

    bbServerStatus = button(page, "bbServerStatus", "Server status of the whole list...", {8, 332, 289, 26});
    bbServerStatus->setToolTip(QStringLiteral("Ask every server of the list at once (Ctrl+T)"));
    bbFindServers = button(page, "bbFindServers", "Find servers...", {8, 362, 289, 24});
    bbFindServers->setToolTip(
        QStringLiteral("Find servers through the master servers or Steam's server list (Ctrl+F)"));
}

void TfmMain::buildUpdatePage(QWidget* page) {
    auto* gbCheck = group(page, "", {8, 6, 289, 78});
    cbCheck4Updates = checkBox(gbCheck, "cbCheck4Updates", "Check for updates on startup", {8, 12, 200, 18});
    cbCheck4Updates->setChecked(true);
    bbCheck4Updates = button(gbCheck, "bbCheck4Updates", "Check for updates now", {8, 40, 160, 26});
    imLogoUpdate = new ClickLabel(gbCheck);
    imLogoUpdate->setObjectName(QStringLiteral("imLogoUpdate"));
    imLogoUpdate->setGeometry(222, 16, 48, 48);

    auto* gbProxy = group(page, "", {8, 90, 289, 104});
    label(gbProxy, nullptr, "HTTP Proxy", {8, 16, 70, 16});
    edProxyIP = new CEditIPAddr(gbProxy);
    edProxyIP->setObjectName(QStringLiteral("edProxyIP"));
    edProxyIP->setGeometry(80, 12, 130, 24);
    edProxyPort = lineEdit(gbProxy, "edProxyPort", "", {216, 13, 64, 22});
    label(gbProxy, nullptr, "Login", {8, 46, 70, 16});
    edProxyLogin = lineEdit(gbProxy, "edProxyLogin", "", {80, 43, 200, 22});
    label(gbProxy, nullptr, "Password", {8, 76, 70, 16});
    edProxyPassword = lineEdit(gbProxy, "edProxyPassword", "", {80, 73, 200, 22});

    mmUpdateInfo = memo(page, "mmUpdateInfo", {8, 200, 289, 176});
    mmUpdateInfo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
}

void TfmMain::buildHelpPage(QWidget* page) {
    imHelpLogo = new ClickLabel(page);
    imHelpLogo->setObjectName(QStringLiteral("imHelpLogo"));
    imHelpLogo->setGeometry(8, 10, 48, 48);
    mmAbout = memo(page, "mmAbout", {62, 8, 236, 334});
    mmAbout->setFrameShape(QFrame::NoFrame);
    mmAbout->setPlainText(QString::fromLatin1(kAboutText));
    bbOpenHelp = button(page, "bbOpenHelp", "Open Help File", {188, 350, 110, 26});
}

} // namespace qm
