// Ctrl+V in the server list: entries from the clipboard, the game directories of those
// that name none asked of the servers themselves.
#include "app/TfmMain.h"

#include "platform/TextTools.h"
#include "query/BatchRun.h"
#include "serverlist/PastedEntries.h"
#include "ui/TextCodec.h"

#include <QApplication>
#include <QClipboard>

namespace qm {

namespace {

// How long the window waits for the run between two services of its events.
constexpr int kPastePollMs = 5;

// Every pasted server without a game directory asked at once, as the status window asks;
// the window is serviced meanwhile. Gives the entries of those that named their game.
std::vector<std::string> askForGameDirs(const std::vector<std::string>& addresses,
                                        const BatchOptions& options, const HostLookup& lookup,
                                        const std::function<bool()>& pump, std::vector<std::string>& silent) {
    std::vector<QueryTarget> targets;
    for (const std::string& a : addresses)
        targets.push_back(*parseQueryTarget(a)); // pastedAddress() gave each as address:port
    std::vector<BatchResult> results;
    BatchRun run(std::move(targets), options, lookup);
    for (;;) {
        BatchRun::Progress taken = run.take();
        results.insert(results.end(), taken.results.begin(), taken.results.end());
        if (taken.finished) break;
        if (!pump()) run.cancel();
        run.waitForProgress(kPastePollMs);
    }
    std::vector<std::string> entries;
    std::vector<bool> answered(addresses.size(), false);
    for (const BatchResult& r : results) {
        const std::string gameDir = asciiLowered(r.answer.gameDir());
        if (gameDir.empty() || gameDir == "-" || gameDir.find_first_of(" \t") != std::string::npos ||
            escapedControls(gameDir) != gameDir)
            continue;
        answered[r.index] = true;
        entries.push_back(addresses[r.index] + " " + gameDir);
    }
    for (size_t i = 0; i < addresses.size(); ++i)
        if (!answered[i]) silent.push_back(addresses[i]);
    return entries;
}

std::string listed(const std::vector<std::string>& texts) {
    std::string out;
    for (size_t i = 0; i < texts.size() && i < 20; ++i)
        out += (i ? ", " : "") + texts[i];
    if (texts.size() > 20) out += " and " + std::to_string(texts.size() - 20) + " more";
    return out;
}

} // namespace

void TfmMain::pasteEntries() {
    if (m_pasteRunning) return;
    const PastedEntries pasted = readPastedEntries(fromDisplay(QApplication::clipboard()->text()));
    if (pasted.entries.empty() && pasted.withoutGameDir.empty()) {
        setStatusText("The clipboard holds no server entries");
        return;
    }
    std::vector<std::string> entries = pasted.entries;
    std::vector<std::string> silent;
    if (!pasted.withoutGameDir.empty()) {
        const NetworkCall call(*this, m_pasteRunning);
        setStatusText("Asking " + std::to_string(pasted.withoutGameDir.size()) +
                      " server(s) for their game...");
        const std::vector<std::string> asked = askForGameDirs(
            pasted.withoutGameDir, m_env.statusOptions, m_env.hostLookup, [this] { return pumpMessages(); },
            silent);
        entries.insert(entries.end(), asked.begin(), asked.end());
        if (m_closing) return;
    }
    beforeListCommand();
    m_servers.addAndCheckAll(entries);
    refreshCountLabel();
    setStatusText(std::to_string(entries.size()) + " pasted entries were added");
    std::string left;
    if (!silent.empty())
        left += "These servers did not answer with their game and were not added: " + listed(silent) + ".";
    if (!pasted.rejected.empty())
        left += std::string(left.empty() ? "" : "\n") +
                "These lines are no server entries and were not added: " +
                escapedControls(listed(pasted.rejected)) + ".";
    if (!left.empty()) showMessage(left);
}

} // namespace qm
