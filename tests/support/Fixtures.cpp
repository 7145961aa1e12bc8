#include "tests/support/Fixtures.h"

#include "platform/FsPath.h"

#include <algorithm>
#include <filesystem>

namespace qm::test {

std::string fixturePath(const std::string& relative) {
    return std::string(QM_FIXTURES_DIR) + "/" + relative;
}

std::vector<std::string> vdfFixtures() {
    return vdfFixturesIn("vdf");
}

std::vector<std::string> vdfFixturesIn(const std::string& folder) {
    std::vector<std::string> files;
    for (const auto& e : std::filesystem::directory_iterator(fsPath(fixturePath(folder))))
        if (e.path().extension() == ".vdf") files.push_back(fsText(e.path()));
    std::sort(files.begin(), files.end());
    return files;
}

} // namespace qm::test
