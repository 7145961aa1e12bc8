// The window's own small operations: the web site, the help file.
#include "app/TfmMain.h"

#include "platform/Paths.h"
#include "update/ProjectSite.h"

namespace qm {

void TfmMain::imLogoClick() {
    m_env.dialogs->openDocument(m_env.site.rootUrl);
    setStatusText("Opening Quillmark site at " + m_env.site.hostName);
}

void TfmMain::bbOpenHelpClick() {
    const std::string help = helpFilePath();
    if (isFile(help)) {
        if (!m_env.dialogs->openDocument(help))
            showMessage("No program on this system opens the help file " + absolutePath(help) +
                        ". Open it in a web browser.");
    } else
        setStatusText("Help File not found on hard drive. Visit " + m_env.site.rootUrl + " to download it");
}

} // namespace qm
