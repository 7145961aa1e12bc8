#include "platform/AtomicFile.h"
#include "platform/FileError.h"
#include "platform/Paths.h"
#include "platform/ProfileFile.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestSystem.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace qm;
using namespace qm::test;

namespace {
unsigned modeOf(const std::string& path) {
    return fileModeOf(path);
}

void writeLines(const std::string& target, const AtomicWriteOptions& options = {}) {
    AtomicTextFile out(target, options);
    out.writeLine("new");
    out.commit();
}
} // namespace

TEST(AtomicTextFile, ReplacedFilesKeepTheirPermissionBits) {
    QM_SKIP_UNLESS_SYSTEM_HAS(UnixFileModes);
    TempDir dir;
    for (const unsigned mode : {0600u, 0640u, 0604u, 0755u}) {
        writeAll(dir.file("f"), "old");
        setFileMode(dir.file("f"), mode);
        writeLines(dir.file("f"));
        EXPECT_EQ(modeOf(dir.file("f")), mode);
        EXPECT_EQ(readAll(dir.file("f")), "new\r\n");
    }
}

TEST(AtomicTextFile, ANewSettingsFileIsTheOwnersAlone) {
    QM_SKIP_UNLESS_SYSTEM_HAS(UnixFileModes);
    TempDir dir;
    ProfileFile(dir.file("userpref.ini")).write("Update", "edProxyPassword", "secret");
    EXPECT_EQ(modeOf(dir.file("userpref.ini")), 0600u);
    // One the user opened up keeps that.
    setFileMode(dir.file("userpref.ini"), 0644);
    ProfileFile(dir.file("userpref.ini")).write("Update", "edProxyLogin", "me");
    EXPECT_EQ(modeOf(dir.file("userpref.ini")), 0644u);
}

TEST(AtomicTextFile, NeverWritesThroughAFileOrLinkBesideTheTarget) {
    TempDir dir;
    writeAll(dir.file("victim"), "precious");
    const bool links = cannotRun(Needs::SymbolicLinks).empty();
    if (links) std::filesystem::create_symlink(dir.file("victim"), dir.file("custom.db2.part"));
    writeAll(dir.file("custom.db2.tmp"), "other");
    AtomicTextFile first(dir.file("custom.db2"));
    AtomicTextFile second(dir.file("custom.db2"));
    EXPECT_NE(first.temporaryPath(), second.temporaryPath());
    first.writeLine("x");
    first.commit();
    EXPECT_EQ(readAll(dir.file("victim")), "precious");
    EXPECT_EQ(std::filesystem::is_symlink(dir.file("custom.db2.part")), links);
    EXPECT_EQ(readAll(dir.file("custom.db2.tmp")), "other");
    EXPECT_EQ(readAll(dir.file("custom.db2")), "x\r\n");
}

TEST(AtomicTextFile, AFailedWriteLeavesNoTemporaryFile) {
    TempDir dir;
    writeAll(dir.file("fav.vdf"), "old");
    {
        AtomicTextFile out(dir.file("fav.vdf"));
        out.writeLine("half");
    }
    EXPECT_EQ(filesIn(dir.path()), std::vector<std::string>{"fav.vdf"});
    EXPECT_EQ(readAll(dir.file("fav.vdf")), "old");
}

TEST(AtomicTextFile, AFolderThatRefusesNewFilesIsWrittenInPlaceOnlyWhenAsked) {
    QM_SKIP_UNLESS_SYSTEM_HAS(UnixFileModes);
    TempDir dir;
    std::filesystem::create_directory(dir.file("ro"));
    const std::string target = dir.file("ro/custom.db2");
    writeAll(target, "old");
    setReadOnly(dir.file("ro"), true);
    EXPECT_THROW(writeLines(target), FileError);
    EXPECT_EQ(readAll(target), "old");
    writeLines(target, {LineEnd::CrLf, 0666, true});
    EXPECT_EQ(readAll(target), "new\r\n");
    // A target that is not there, or not writable, still fails.
    EXPECT_THROW(writeLines(dir.file("ro/other.db2"), {LineEnd::CrLf, 0666, true}), FileError);
    setReadOnly(target, true);
    try {
        writeLines(target, {LineEnd::CrLf, 0666, true});
        ADD_FAILURE() << "a read-only target was written";
    } catch (const FileError& e) {
        EXPECT_EQ(std::string(e.what()), "File access denied");
    }
    EXPECT_EQ(filesIn(dir.file("ro")), std::vector<std::string>{"custom.db2"});
}

TEST(AtomicTextFile, LinesEndAsAsked) {
    TempDir dir;
    writeLines(dir.file("steam.vdf"), {LineEnd::Lf, 0666, false});
    EXPECT_EQ(readAll(dir.file("steam.vdf")), "new\n");
}

// Dotfile managers link userpref.ini, players link Steam's file into their backups: every
// save goes to the file behind the links, and the links stay links.
TEST(AtomicTextFile, ALinkedTargetIsReplacedBehindItsLinks) {
    QM_SKIP_UNLESS_SYSTEM_HAS(SymbolicLinks);
    namespace fs = std::filesystem;
    const struct {
        const char* what;
        std::vector<std::pair<std::string, std::string>> links; // link name -> what it holds
        std::string real;
    } cases[] = {
        {"absolute", {{"f", "@/real/f"}}, "real/f"},
        {"relative", {{"f", "real/f"}}, "real/f"},
        {"two hops", {{"f", "hop"}, {"hop", "real/f"}}, "real/f"},
        {"dangling", {{"f", "real/new"}}, "real/new"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        fs::create_directory(dir.file("real"));
        if (c.real == "real/f") writeAll(dir.file("real/f"), "old");
        for (const auto& [link, to] : c.links)
            fs::create_symlink(to[0] == '@' ? dir.path() + to.substr(1) : to, dir.file(link));
        writeLines(dir.file("f"));
        EXPECT_EQ(readAll(dir.file(c.real)), "new\r\n");
        for (const auto& link : c.links)
            EXPECT_TRUE(fs::is_symlink(dir.file(link.first)));
        // A file put in place by replaceFile goes behind the links the same way.
        writeAll(dir.file("other"), "restored");
        replaceFile(dir.file("other"), dir.file("f"));
        EXPECT_EQ(readAll(dir.file(c.real)), "restored");
        EXPECT_TRUE(fs::is_symlink(dir.file("f")));
        EXPECT_FALSE(fs::exists(dir.file("other")));
    }
    TempDir dir;
    fs::create_symlink("loop", dir.file("loop"));
    EXPECT_EQ(finalPathOf(dir.file("loop")), dir.file("loop"));
    ProfileFile settings(dir.file("linked.ini"));
    writeAll(dir.file("dotfiles.ini"), "");
    fs::create_symlink(dir.file("dotfiles.ini"), dir.file("linked.ini"));
    settings.write("Main", "edGameDir", "cstrike");
    EXPECT_TRUE(fs::is_symlink(dir.file("linked.ini")));
    EXPECT_NE(readAll(dir.file("dotfiles.ini")).find("edGameDir=cstrike"), std::string::npos);
}
