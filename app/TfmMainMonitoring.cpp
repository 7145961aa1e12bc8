// The Monitoring page, and Detect and Add IP on the Import page.
#include "app/TfmMain.h"

#include "geo/CountryNames.h"
#include "platform/IntText.h"
#include "query/InfoQuery.h"
#include "serverlist/ServerEntry.h"
#include "ui/CEditIPAddr.h"
#include "ui/GradientButton.h"
#include "ui/SpinEdit.h"
#include "ui/TextCodec.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTimer>

#include <algorithm>

namespace qm {

namespace {
constexpr int kMonitoringPage = 2;
}

TfmMain::NetworkCall::NetworkCall(TfmMain& window, bool& busy, std::function<void()> finish)
    : m_window(window), m_busy(busy), m_finish(std::move(finish)) {
    m_busy = true;
    ++m_window.m_networkDepth;
}

TfmMain::NetworkCall::~NetworkCall() {
    m_busy = false;
    if (m_finish) m_finish();
    if (--m_window.m_networkDepth == 0 && m_window.m_closing)
        QTimer::singleShot(0, &m_window, &QWidget::close);
}

bool TfmMain::pumpMessages() {
    IdAntiFreeze1.process();
    return !m_closing;
}

void TfmMain::runPendingQuery() {
    if (m_closing) return;
    if (m_detectPending) {
        m_detectPending = false;
        QTimer::singleShot(0, this, [this] { guarded([this] { bbDetectClick(); }); });
    } else if (m_refreshPending) {
        m_refreshPending = false;
        QTimer::singleShot(0, this, [this] { guarded([this] { bbUDPRefreshClick(); }); });
    }
}

void TfmMain::bbUDPRefreshClick() {
    // One query at a time on the one client; a request during a wait is kept and run
    // for the entry highlighted when the running query ends.
    if (m_queryRunning) {
        m_refreshPending = true;
        return;
    }
    bbUDPRefresh->setEnabled(false);
    udpTimer->stop();
    const NetworkCall call(*this, m_queryRunning, [this] {
        bbUDPRefresh->setEnabled(true);
        udpTimer->start();
        runPendingQuery();
    });

    const size_t row = m_servers.highlighted();
    if (row != ServerList::npos) {
        const std::string entry = m_servers.text(row);
        const std::string host(ServerEntryParts::ip(entry));
        const int32_t port = toInteger(std::string(ServerEntryParts::port(entry)));
        mmUDPInfo->clear();
        lbPing->setText(QStringLiteral("000"));
        const InfoExchange shown = runInfoExchange(udpClient, host, port, *m_env.clock, m_countsPerMs);
        m_lastAnswer = shown.answer;
        m_lastAnswerEntry = entry;
        // Where the server is: the memo's tooltip.
        const std::string code = countryOf(host);
        mmUDPInfo->setToolTip(
            code.empty() ? QStringLiteral("Country: not known")
                         : toDisplay("Country: " + std::string(qm::countryName(code)) + " (" + code + ")"));
        QStringList lines;
        for (const std::string& l : shown.memoLines)
            lines << toDisplay(l);
        mmUDPInfo->setPlainText(lines.join('\n'));
        lbPing->setText(toDisplay(shown.pingText));
    }
    setStatusText("Refreshing complete");
}

void TfmMain::bbUDPClearClick() {
    mmUDPInfo->clear();
}

void TfmMain::clbIPsClick() {
    if (cbRefreshOnClick->isChecked() && pcMenu->currentIndex() == kMonitoringPage &&
        cbEnableMonitor->isChecked())
        bbUDPRefreshClick();
}

void TfmMain::udpTimerTimer() {
    if (pcMenu->currentIndex() == kMonitoringPage && cbRefreshOnTimer->isChecked() &&
        cbEnableMonitor->isChecked())
        bbUDPRefreshClick();
}

void TfmMain::cbRefreshOnTimerClick() {
    // The box flips the timer; it does not set it from its own state.
    if (udpTimer->isActive())
        udpTimer->stop();
    else
        udpTimer->start();
    if (udpTimer->isActive()) bbUDPRefreshClick();
}

void TfmMain::cbEnableMonitorClick() {
    const bool on = cbEnableMonitor->isChecked();
    cbRefreshOnClick->setEnabled(on);
    cbRefreshOnTimer->setEnabled(on);
    lbPing->setText(QStringLiteral("000"));
}

void TfmMain::seTimerChange() {
    // A value typed half-way (5 on the way to 5000) must not make the timer fire every
    // few milliseconds, so the interval keeps to the edit's range.
    udpTimer->setInterval(std::clamp(seTimer->value(), seTimer->minimum(), seTimer->maximum()));
}

void TfmMain::seTimeoutChange() {
    udpClient.ReceiveTimeout = seTimeout->value();
}

void TfmMain::bbDetectClick() {
    if (m_queryRunning) {
        m_detectPending = true;
        return;
    }
    bbDetect->setEnabled(false);
    const NetworkCall call(*this, m_queryRunning, [this] {
        bbDetect->setEnabled(true);
        runPendingQuery();
    });

    const std::string host = edNewIP->text();
    const std::string portText = fromDisplay(edNewPort->text());
    if (host.empty() || portText.empty()) {
        setStatusText("Error: IP and/or Port fields are empty");
        return;
    }
    const int32_t port = toInteger(portText);
    QString gameDir = toDisplay(detectGameDir(udpClient, host, port)).toLower();
    if (gameDir == QLatin1String("-")) gameDir.clear();
    edGameType->setText(gameDir);
    if (!gameDir.isEmpty()) bbAddIP->setEnabled(true);
    setStatusText("Server quiery finished");
}

void TfmMain::bbAddIPClick() {
    const std::string entry =
        makeServerEntry(edNewIP->text(), fromDisplay(edNewPort->text()), fromDisplay(edGameType->text()));
    beforeListCommand();
    m_servers.addIfAbsent(entry);
    m_servers.checkEntry(entry);
    refreshCountLabel();
}

} // namespace qm
