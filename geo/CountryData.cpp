#include "geo/CountryData.h"

#include "platform/Paths.h"

namespace qm {

std::string findCountryData(const std::vector<std::string>& folders) {
    for (const std::string& folder : folders)
        if (isFile(folder + kCountryDataFile)) return folder + kCountryDataFile;
    return {};
}

std::vector<std::string> countryDataFolders(const std::string& executableDir) {
    return {executableDir, executableDir + "../share/quillmark/"};
}

} // namespace qm
