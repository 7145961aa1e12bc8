// Check for updates.
#include "app/AppTitle.h"
#include "app/TfmMain.h"
#include "ui/CEditIPAddr.h"
#include "ui/TextCodec.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextDocument>

#include <memory>

namespace qm {

void TfmMain::bbCheck4UpdatesClick() {
    // The one HTTP client serves one check at a time; a click meanwhile does nothing.
    if (m_updateRunning) return;
    const NetworkCall call(*this, m_updateRunning);
    setStatusText("Connecting to " + m_env.site.hostName);
    mmUpdateInfo->clear();
    const UpdateProxySettings proxy{edProxyIP->text(), fromDisplay(edProxyPort->text()),
                                    fromDisplay(edProxyLogin->text()), fromDisplay(edProxyPassword->text())};
    // What the check writes into the box is no typing of the user's: keeping it for undo
    // would double the time and memory a large page takes.
    mmUpdateInfo->document()->setUndoRedoEnabled(false);
    const std::unique_ptr<QTextDocument, void (*)(QTextDocument*)> undoBack(
        mmUpdateInfo->document(), [](QTextDocument* d) { d->setUndoRedoEnabled(true); });
    const Outcome outcome =
        runUpdateCheck(httpClient, proxy, m_env.site, kProgramVersion, m_env.dataDir + kLocalDatabase,
                       [this](const std::string& line) { mmUpdateInfo->appendPlainText(toDisplay(line)); });
    if (m_closing) return;
    setStatusText(outcome.status);
    if (!outcome.message.empty()) showMessage(outcome.message);
}

} // namespace qm
