#include "tests/support/TempDir.h"

#include "platform/FsPath.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace qm::test {

TempDir::TempDir() {
    static thread_local std::mt19937_64 random{std::random_device{}()};
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        char name[40];
        std::snprintf(name, sizeof name, "quillmark-test-%012llx",
                      static_cast<unsigned long long>(random() & 0xFFFFFFFFFFFFULL));
        std::error_code ec;
        // create_directory is false for a folder that exists: someone else's, try again.
        if (std::filesystem::create_directory(base / name, ec)) {
            // The system's own separator, as the program writes it in messages.
            m_path = fsText(base / name) + char(std::filesystem::path::preferred_separator);
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary folder");
}

TempDir::~TempDir() {
    std::error_code ec;
    // Tests make files read-only; give the permissions back so that removal succeeds.
    for (auto& e : std::filesystem::recursive_directory_iterator(fsPath(m_path), ec))
        std::filesystem::permissions(e.path(), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
    std::filesystem::permissions(fsPath(m_path), std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(fsPath(m_path), ec);
}

std::string readAll(const std::string& path) {
    std::ifstream in(fsPath(path), std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void writeAll(const std::string& path, const std::string& bytes) {
    std::ofstream out(fsPath(path), std::ios::binary | std::ios::trunc);
    out << bytes;
}

void setReadOnly(const std::string& path, bool readOnly) {
    using std::filesystem::perms;
    std::error_code ec;
    std::filesystem::permissions(
        fsPath(path), perms::owner_write | perms::group_write | perms::others_write,
        readOnly ? std::filesystem::perm_options::remove : std::filesystem::perm_options::add, ec);
}

CurrentDirectory::CurrentDirectory(const std::string& dir)
    : m_previous(fsText(std::filesystem::current_path())) {
    std::filesystem::current_path(fsPath(dir));
}

CurrentDirectory::~CurrentDirectory() {
    std::error_code ec;
    std::filesystem::current_path(fsPath(m_previous), ec);
}

} // namespace qm::test

namespace qm::test {

std::vector<std::string> filesIn(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(fsPath(folder), ec))
        names.push_back(fsText(e.path().filename()));
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace qm::test
