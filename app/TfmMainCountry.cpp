// The countries of servers: the country database the window uses, and Countries on the
// Options page, which points it to another one.
#include "app/AppTitle.h"
#include "app/TfmMain.h"
#include "geo/CountryData.h"
#include "geo/CountryNames.h"
#include "ui/GradientButton.h"
#include "ui/TextCodec.h"

namespace qm {

bool TfmMain::openCountryData(const std::string& chosen, bool said) {
    std::string path = chosen;
    if (path.empty()) path = m_env.countryData.empty() ? findCountryData({m_env.dataDir}) : m_env.countryData;
    m_countries.reset();
    m_countryDataPath.clear();
    if (path.empty()) {
        bbCountryData->setToolTip(QStringLiteral("No country database was found: countries are unknown"));
        return false;
    }
    CountryDatabase::Opened opened = CountryDatabase::open(path);
    if (!opened.database) {
        if (said) m_env.dialogs->showError(kApplicationTitle, opened.problem + " Countries are unknown.");
        setStatusText(opened.problem);
        bbCountryData->setToolTip(QStringLiteral("No country database: countries are unknown"));
        return false;
    }
    m_countries = std::move(opened.database);
    m_countryDataPath = path;
    bbCountryData->setToolTip(toDisplay("Countries of servers from " + path));
    return true;
}

void TfmMain::bbCountryDataClick() {
    const auto picked = m_env.dialogs->openFile("Country database (MaxMind DB)", "*.mmdb");
    if (!picked) return;
    // A file that will not do leaves the database in use as it was.
    const std::string before = m_countryDataChosen;
    if (!openCountryData(*picked, true)) {
        openCountryData(before, false);
        return;
    }
    m_countryDataChosen = *picked;
    setStatusText("Countries of servers from " + *picked);
}

std::string TfmMain::countryOf(const std::string& host) const {
    return m_countries ? m_countries->countryCodeOf(host) : std::string();
}

} // namespace qm
