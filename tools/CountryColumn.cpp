#include "tools/CountryColumn.h"

#include "geo/CountryData.h"

#include <ostream>

namespace qm {

CountryColumn::CountryColumn(const std::string& named, const std::vector<std::string>& shippedFolders,
                             std::ostream& err) {
    const std::string path = named.empty() ? findCountryData(shippedFolders) : named;
    if (path.empty()) {
        err << "quillmark-query: no country database (" << kCountryDataFile
            << ") beside the program; countries are unknown\n";
        return;
    }
    CountryDatabase::Opened opened = CountryDatabase::open(path);
    if (!opened.database) err << "quillmark-query: " << opened.problem << " Countries are unknown.\n";
    m_db = std::move(opened.database);
}

std::string CountryColumn::codeOf(const std::string& host) const {
    return m_db ? m_db->countryCodeOf(host) : std::string();
}

} // namespace qm
