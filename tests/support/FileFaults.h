#pragma once
// File-system faults for the writers' tests: a full disk, a read-only folder, and a look
// at every byte of a folder before and after.
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <vector>

namespace qm::test {

// Writes beyond `bytes` fail as on a full disk, for the life of the object.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{bytes, m_old.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }

  private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
};

inline std::map<std::string, std::string> everyFile(const std::string& root) {
    std::map<std::string, std::string> files;
    for (const auto& e : std::filesystem::recursive_directory_iterator(root))
        if (e.is_regular_file()) files[e.path().string()] = readAll(e.path().string());
    return files;
}

/// One writer of the program's: the file it replaces, every file the folder holds before
/// (paths relative to the folder), and the write, which gives its failure message (empty
/// on success).
struct FileWriter {
    const char* what;
    std::string file;
    std::map<std::string, std::string> layout;
    std::function<std::string(const std::string& dir)> write;
};

/// The writer on a disk that is full, and in a folder that takes no writes: each fails
/// with a message and leaves every byte of the folder as it was.
inline void expectFaultsKeepEveryFile(const FileWriter& w) {
    for (const bool fullDisk : {true, false}) {
        TempDir dir;
        for (const auto& [file, bytes] : w.layout) {
            std::filesystem::create_directories(std::filesystem::path(dir.file(file)).parent_path());
            writeAll(dir.file(file), bytes);
        }
        const std::string folder = std::filesystem::path(dir.file(w.file)).parent_path().string();
        if (!fullDisk) {
            ::chmod(dir.file(w.file).c_str(), 0444);
            ::chmod(folder.c_str(), 0555);
        }
        const auto before = everyFile(dir.path());
        std::string failure;
        {
            std::optional<FileSizeLimit> full;
            if (fullDisk) full.emplace(4096);
            failure = w.write(dir.path());
        }
        ::chmod(folder.c_str(), 0755);
        EXPECT_FALSE(failure.empty()) << w.what << (fullDisk ? " on a full disk" : " in a read-only folder");
        EXPECT_EQ(everyFile(dir.path()), before) << w.what << ": " << failure;
    }
}

} // namespace qm::test
