// quillmark-query given paths in any language: the list is read and the failures name it
// whole (on Windows, through the tool's wide command line and its UTF-8 console).
#include "platform/FsPath.h"
#include "query/InfoQuery.h"
#include "query/InfoReply.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestSystem.h"
#include "tests/support/UdpResponder.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace qm;
using namespace qm::test;

TEST(QueryToolPaths, AListInACyrillicAndChineseFolderIsReadAndNamedWhole) {
    UdpResponder server([](const std::string& request) {
        ServerInfo info;
        info.hostname = "\xD0\xA1\xD0\xB5\xD1\x80\xD0\xB2\xD0\xB5\xD1\x80"; // Сервер
        return request == kInfoRequest ? buildInfoReply(info) : std::string();
    });
    TempDir dir;
    const std::string folder =
        dir.file("\xD0\x98\xD0\xB3\xD1\x80\xD1\x8B \xE5\x8F\x8D\xE6\x81\x90"); // Игры 反恐
    std::filesystem::create_directories(fsPath(folder));
    // список серверов.txt
    const std::string list = folder + "/\xD1\x81\xD0\xBF\xD0\xB8\xD1\x81\xD0\xBE\xD0\xBA "
                                      "\xD1\x81\xD0\xB5\xD1\x80\xD0\xB2\xD0\xB5\xD1\x80\xD0\xBE\xD0\xB2.txt";
    const std::string entry = "127.0.0.1:" + std::to_string(server.port()) + " cstrike";
    writeAll(list, entry + "\n");
    const std::string tool =
        "\"" + systemPathOf(onWindows() ? "Z:" + std::string(QM_QUERY_TOOL) : QM_QUERY_TOOL) + "\"";
    const std::string out = folder + "/out.txt";
    const std::string err = folder + "/err.txt";
    ASSERT_EQ(runCommandLine(tool + " -f \"" + list + "\" --json > \"" + out + "\" 2> \"" + err + "\""), 0)
        << readAll(err);
    // The server's name comes out as the bytes it sent, line ends as on Linux.
    const std::string printed = readAll(out);
    EXPECT_NE(printed.find("\"name\":\"\xD0\xA1\xD0\xB5\xD1\x80\xD0\xB2\xD0\xB5\xD1\x80\""),
              std::string::npos)
        << printed;
    EXPECT_EQ(printed.find('\r'), std::string::npos);

    const std::string missing = folder + "/\xD0\xBD\xD0\xB5\xD1\x82.txt"; // нет.txt
    EXPECT_EQ(runCommandLine(tool + " -f \"" + missing + "\" 2> \"" + err + "\""), 2);
    EXPECT_EQ(readAll(err).rfind("quillmark-query: cannot read " + missing + "\n", 0), 0u) << readAll(err);
}
