#pragma once
// File-system faults for the writers' tests: a full disk, a read-only folder, and a look
// at every byte of a folder before and after.
#include "platform/FsPath.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestSystem.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace qm::test {

// Writes beyond `bytes` fail as on a full disk, for the life of the object (where the
// system has a file size limit: cannotRun(Needs::FileSizeLimit)).
class FileSizeLimit {
  public:
    explicit FileSizeLimit(uint64_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  private:
    uint64_t m_oldSoft = 0;
    uint64_t m_oldHard = 0;
    void (*m_oldHandler)(int) = nullptr;
};

inline std::map<std::string, std::string> everyFile(const std::string& root) {
    std::map<std::string, std::string> files;
    for (const auto& e : std::filesystem::recursive_directory_iterator(fsPath(root)))
        if (e.is_regular_file()) files[fsText(e.path())] = readAll(fsText(e.path()));
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
        if (fullDisk && !cannotRun(Needs::FileSizeLimit).empty()) continue;
        TempDir dir;
        for (const auto& [file, bytes] : w.layout) {
            std::filesystem::create_directories(fsPath(dir.file(file)).parent_path());
            writeAll(dir.file(file), bytes);
        }
        const std::string folder = fsText(fsPath(dir.file(w.file)).parent_path());
        if (!fullDisk) {
            setReadOnly(dir.file(w.file), true);
            setReadOnly(folder, true);
        }
        const auto before = everyFile(dir.path());
        std::string failure;
        {
            std::optional<FileSizeLimit> full;
            if (fullDisk) full.emplace(4096);
            failure = w.write(dir.path());
        }
        setReadOnly(folder, false);
        EXPECT_FALSE(failure.empty()) << w.what << (fullDisk ? " on a full disk" : " in a read-only folder");
        EXPECT_EQ(everyFile(dir.path()), before) << w.what << ": " << failure;
    }
}

} // namespace qm::test
