#include "query/QueryCommand.h"

#include "query/InfoQuery.h"
#include "query/InfoReply.h"
#include "tests/support/TempDir.h"
#include "tests/support/UdpResponder.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace qm;
using namespace qm::test;

TEST(QueryCommand, TargetsTakeAHostAndAnOptionalPort) {
    const std::pair<const char*, const char*> good[] = {
        {"127.0.0.1:27016", "127.0.0.1:27016"}, {"game.example", "game.example:27015"}, {"h:1", "h:1"}};
    for (const auto& [text, target] : good) {
        const auto t = parseQueryTarget(text);
        ASSERT_TRUE(t) << text;
        EXPECT_EQ(t->text(), target);
    }
    for (const char* bad : {"", ":27015", "h:", "h:0", "h:65536", "h:12a", "h:123456"})
        EXPECT_FALSE(parseQueryTarget(bad)) << bad;
}

TEST(QueryCommand, JsonStringsEscapeAndNeverBreakUtf8) {
    EXPECT_EQ(jsonString("a\"b\\c"), "\"a\\\"b\\\\c\"");
    EXPECT_EQ(jsonString(std::string("\r\n\0", 3)), "\"\\u000d\\u000a\\u0000\"");
    EXPECT_EQ(jsonString("Kr\xC3\xA4mer"), "\"Kr\xC3\xA4mer\"");
    // A name in an 8-bit code page comes out as its Latin-1 letters.
    EXPECT_EQ(jsonString("Kr\xE4mer"), "\"Kr\xC3\xA4mer\"");
}

TEST(QueryCommand, ManyServersGiveOneLineEachInTheOrderGiven) {
    ServerInfo info;
    info.hostname = "Listed";
    const UdpResponder slow(
        [&](const std::string& r) { return r == kInfoRequest ? buildInfoReply(info) : ""; },
        std::chrono::milliseconds(60));
    const UdpResponder silent([](const std::string&) { return std::string(); });
    TempDir dir;
    const std::string slowEntry = "127.0.0.1:" + std::to_string(slow.port()) + " cstrike";
    const std::string silentEntry = "127.0.0.1:" + std::to_string(silent.port());
    writeAll(dir.file("list.txt"), "# servers\r\n" + slowEntry + "\r\n\r\n  " + silentEntry + "\n");

    std::ostringstream out, err;
    EXPECT_EQ(runQueryCommand({"-f", dir.file("list.txt"), "--retry", "0", "--maxsim", "4"}, out, err), 1);
    const std::string text = out.str();
    const size_t first = text.find('\n');
    ASSERT_NE(first, std::string::npos) << text;
    EXPECT_EQ(text.substr(0, slowEntry.size() + 10), slowEntry + "\tanswered\t");
    EXPECT_NE(text.find("\t5/16\tde_dust2\tListed\n"), std::string::npos) << text;
    EXPECT_EQ(text.substr(first + 1), silentEntry + "\tno reply (1 try, 1 s each)\t-\t-/-\t-\t-\n");

    std::ostringstream json;
    runQueryCommand({"--json", "--retry", "0", slowEntry.substr(0, slowEntry.find(' ')), silentEntry}, json,
                    err);
    EXPECT_NE(json.str().find(
                  "\"answered\":true,\"protocol\":\"infostring\",\"name\":\"Listed\",\"map\":\"de_dust2\","
                  "\"players\":\"5\",\"max\":\"16\",\"bots\":\"0\",\"state\":\"answered\",\"ping\":"),
              std::string::npos)
        << json.str();
    EXPECT_NE(
        json.str().find("\"answered\":false,\"error\":\"no reply (1 try, 1 s each)\",\"state\":\"no reply (1 try, 1 s each)\",\"ping\":null}"),
        std::string::npos);
}

TEST(QueryCommand, BadListsAndOptionsAreRefused) {
    TempDir dir;
    writeAll(dir.file("bad.txt"), "127.0.0.1:27015\n127.0.0.1:99999 cstrike\n");
    const std::vector<std::vector<std::string>> refused = {{"-f", dir.file("bad.txt")},
                                                           {"-f", dir.file("missing.txt")},
                                                           {"-f"},
                                                           {"--maxsim", "0", "h:1"},
                                                           {"--interval", "x", "h:1"},
                                                           {"--retry"},
                                                           {"--frobnicate"}};
    for (const auto& args : refused) {
        std::ostringstream out, err;
        EXPECT_EQ(runQueryCommand(args, out, err), 2) << args[0];
        EXPECT_FALSE(err.str().empty());
        EXPECT_TRUE(out.str().empty());
    }
    std::ostringstream out, err;
    EXPECT_EQ(runQueryCommand({"-f", dir.file("bad.txt")}, out, err), 2);
    EXPECT_NE(err.str().find("bad.txt:2: not a server: 127.0.0.1:99999 cstrike"), std::string::npos)
        << err.str();
}
