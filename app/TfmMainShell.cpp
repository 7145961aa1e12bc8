// The window's own small operations: the web site, the help file.
#include "app/TfmMain.h"

#include "platform/Paths.h"
#include "update/ProjectSite.h"

namespace qm {

void TfmMain::imLogoClick() {
    m_env.dialogs->openDocument(kSiteRoot);
    setStatusText(std::string("Opening Quillmark site at ") + kSiteHost);
}

void TfmMain::bbOpenHelpClick() {
    if (isFile("index.html"))
        m_env.dialogs->openDocument("index.html");
    else
        setStatusText(std::string("Help File not found on hard drive. Visit ") + kSiteRoot + " to download it");
}

} // namespace qm
