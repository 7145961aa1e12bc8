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
    if (isFile("index.html")) {
        if (!m_env.dialogs->openDocument("index.html"))
            showMessage("No program on this system opens the help file " + absolutePath("index.html") +
                        ". Open it in a web browser.");
    } else
        setStatusText("Help File not found on hard drive. Visit " + m_env.site.rootUrl + " to download it");
}

} // namespace qm
