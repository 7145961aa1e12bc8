#include "tests/support/TempDir.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include <unistd.h>

namespace qm::test {

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "quillmark-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot create a temporary folder");
    m_path = pattern + "/";
}

TempDir::~TempDir() {
    std::error_code ec;
    // Tests make files read-only; give the permissions back so that removal succeeds.
    for (auto& e : std::filesystem::recursive_directory_iterator(m_path, ec))
        std::filesystem::permissions(e.path(), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
    std::filesystem::permissions(m_path, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(m_path, ec);
}

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void writeAll(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

CurrentDirectory::CurrentDirectory(const std::string& dir)
    : m_previous(std::filesystem::current_path().string()) {
    std::filesystem::current_path(dir);
}

CurrentDirectory::~CurrentDirectory() {
    std::error_code ec;
    std::filesystem::current_path(m_previous, ec);
}

} // namespace qm::test

namespace qm::test {

std::vector<std::string> filesIn(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(folder, ec))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace qm::test
