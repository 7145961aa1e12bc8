#include "tools/QueryCommand.h"

#include "query/InfoQuery.h"
#include "query/InfoReply.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestSystem.h"
#include "tests/support/UdpResponder.h"
#include "tools/QueryArguments.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
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
    QM_SKIP_UNLESS_SYSTEM_HAS(PortUnreachable);
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
    EXPECT_EQ(runQueryCommand({"-f", dir.file("list.txt"), "--retry", "0", "--maxsim", "4", "--wait=400"},
                              out, err),
              1);
    const std::string text = out.str();
    const size_t first = text.find('\n');
    ASSERT_NE(first, std::string::npos) << text;
    EXPECT_EQ(text.substr(0, slowEntry.size() + 10), slowEntry + "\tanswered\t");
    EXPECT_NE(text.find("\t5/16\tde_dust2\tListed\n"), std::string::npos) << text;
    EXPECT_EQ(text.substr(first + 1), silentEntry + "\tno reply (1 try, 400 ms each)\t-\t-/-\t-\t-\n");

    // One schema for one server and for many: counts and the ping as numbers, null
    // where there is none, the error on one line.
    const std::string slowAddress = slowEntry.substr(0, slowEntry.find(' '));
    const std::string answered =
        "\"answered\":true,\"protocol\":\"infostring\",\"name\":\"Listed\",\"map\":\"de_dust2\","
        "\"players\":5,\"max\":16,\"bots\":0,\"ping\":";
    // A closed port rather than a silent server: the same shape, without a second's wait.
    const std::string closedEntry = "127.0.0.1:" + std::to_string(closedLoopbackUdpPort());
    const std::string silentJson = "{\"server\":\"" + closedEntry +
                                   "\",\"answered\":false,\"protocol\":null,\"name\":null,\"map\":null,"
                                   "\"players\":null,\"max\":null,\"bots\":null,\"ping\":null,"
                                   "\"state\":\"port closed (Socket Error # 10054)\","
                                   "\"error\":\"port closed (Socket Error # 10054)\","
                                   "\"fields\":null,\"gamedir\":null}";
    for (const char* mode : {"--json", "--jsonl"}) {
        std::ostringstream json;
        runQueryCommand({mode, "--retry=0", closedEntry, slowAddress}, json, err);
        EXPECT_NE(json.str().find(answered), std::string::npos) << json.str();
        EXPECT_NE(json.str().find("\"fields\":{\"Protocol\":\"47\""), std::string::npos) << json.str();
        EXPECT_NE(json.str().find(silentJson), std::string::npos) << json.str();
        // --json: one array in the order given; --jsonl: a line each as answers come.
        if (std::string(mode) == "--json")
            EXPECT_EQ(json.str().rfind("[\n" + silentJson + ",\n", 0), 0u) << json.str();
        else
            EXPECT_EQ(json.str().rfind(silentJson + "\n{\"server\":\"" + slowAddress + "\"", 0), 0u)
                << "the closed port ends at once, before the slow answer";
    }
    std::ostringstream one;
    EXPECT_EQ(runQueryCommand({"--json", "--", slowAddress}, one, err), 0);
    EXPECT_EQ(one.str().rfind("{\"server\":\"" + slowAddress + "\"," + answered, 0), 0u) << one.str();
}

TEST(QueryCommand, AListLineIsOneServerWithAtMostItsGameDirectoryOrIsReported) {
    const struct {
        const char* line;
        const char* entry; // nullptr: reported, never asked
    } cases[] = {
        {"127.0.0.1:27016", "127.0.0.1:27016"},
        {"  game-1.example_x\tvalve  ", "game-1.example_x valve"},
        {"h.example:27015 cstrike", "h.example:27015 cstrike"},
        {"bad line here x", nullptr},
        {"http://127.0.0.1:53003", nullptr},
        {"127.0.0.1:53001 cstrike extra", nullptr},
        {"host/x:1", nullptr},
        {"a..b:1", nullptr},
        {".a:1", nullptr},
        {"127.0.0.1:0 cstrike", nullptr},
    };
    for (const auto& c : cases) {
        std::istringstream list(std::string("# first\n") + c.line + "\n");
        std::ostringstream err;
        const QueryArguments a = readQueryArguments({"-f", "-"}, list, err);
        SCOPED_TRACE(c.line);
        EXPECT_EQ(a.action, QueryArguments::Action::Query);
        if (c.entry) {
            ASSERT_EQ(a.given.size(), 1u);
            EXPECT_EQ(a.given[0], c.entry);
            EXPECT_FALSE(a.badLines);
            EXPECT_EQ(err.str(), "");
        } else {
            EXPECT_TRUE(a.targets.empty());
            EXPECT_TRUE(a.badLines);
            EXPECT_EQ(err.str(),
                      std::string("quillmark-query: standard input:2: not a server: ") + c.line + "\n");
        }
    }
    // Bad lines end with status 2 once the good ones were asked, and nothing was looked up for them.
    std::vector<std::string> looked;
    std::istringstream piped("bad line here x\nhttp://127.0.0.1:53003\n");
    std::ostringstream out, err;
    EXPECT_EQ(runQueryCommand(
                  {"-f", "-"}, out, err,
                  [&](const std::string& name) {
                      looked.push_back(name);
                      return HostLookupResult{"", 11001};
                  },
                  &piped),
              2);
    EXPECT_TRUE(looked.empty());
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(err.str(), "quillmark-query: standard input:1: not a server: bad line here x\n"
                         "quillmark-query: standard input:2: not a server: http://127.0.0.1:53003\n");
}

TEST(QueryCommand, AMasterThatCannotBeAskedIsABadArgument) {
    for (const char* master : {"127.0.0.1:99999", "http://master", "a b"}) {
        std::ostringstream out, err;
        EXPECT_EQ(runQueryCommand({"--master", master}, out, err), 2) << master;
        EXPECT_NE(err.str().find("--master needs HOST[:PORT]"), std::string::npos) << err.str();
    }
}

TEST(QueryCommand, BadArgumentsAndListsAreRefusedAndHelpIsNoError) {
    QM_SKIP_UNLESS_SYSTEM_HAS(PortUnreachable);
    TempDir dir;
    const std::string closed = std::to_string(closedLoopbackUdpPort());
    writeAll(dir.file("list.txt"),
             "\xEF\xBB\xBF# servers\n127.0.0.1:" + closed + "\tcstrike\n\n127.0.0.1:99999 cstrike\n");
    const std::string unreadable = dir.file("unreadable.txt");
    writeAll(unreadable, "127.0.0.1:1\n");
    std::filesystem::permissions(unreadable, std::filesystem::perms::none);
    const bool rootReads = std::ifstream(unreadable).good();
    const struct {
        std::vector<std::string> args;
        int status;
        const char* out; // what standard output begins with
        const char* err; // what standard error holds
    } cases[] = {
        {{"--help"}, 0, "usage: quillmark-query", ""},
        {{"-h", "127.0.0.1"}, 0, "usage: quillmark-query", ""},
        {{"--version"}, 0, "quillmark-query 3.", ""},
        {{}, 2, "", "no server to ask"},
        {{"-f"}, 2, "", "-f needs a file"},
        {{"-f", dir.path()}, 2, "", "is a folder, not a list of servers"},
        {{"-f", dir.file("missing.txt")}, 2, "", "cannot read"},
        {{"--maxsim", "0", "h:1"}, 2, "", "--maxsim needs a number"},
        {{"--interval=x", "h:1"}, 2, "", "--interval needs a number"},
        {{"--wait=0", "h:1"}, 2, "", "--wait needs a number"},
        {{"--retry"}, 2, "", "--retry needs a number"},
        {{"--frobnicate"}, 2, "", "unknown option --frobnicate"},
        {{"h:1\x1B[31m"}, 2, "", "not a server: h:1\\x1B[31m"},
        // A bad line is reported with its number; the others are still asked.
        {{"--retry=0", "-f", dir.file("list.txt")},
         2,
         "127.0.0.1:",
         "list.txt:4: not a server: 127.0.0.1:99999 cstrike"},
    };
    for (const auto& c : cases) {
        std::ostringstream out, err;
        SCOPED_TRACE(c.args.empty() ? "(none)" : c.args[0]);
        EXPECT_EQ(runQueryCommand(c.args, out, err), c.status);
        EXPECT_EQ(out.str().rfind(c.out, 0), 0u) << out.str();
        EXPECT_NE(err.str().find(c.err), std::string::npos) << err.str();
        if (c.status == 0) {
            EXPECT_TRUE(err.str().empty());
        }
    }
    std::ostringstream out, err;
    EXPECT_EQ(runQueryCommand({"--retry=0", "-f", dir.file("list.txt")}, out, err), 2);
    EXPECT_EQ(out.str(),
              "127.0.0.1:" + closed + " cstrike\tport closed (Socket Error # 10054)\t-\t-/-\t-\t-\n");
    if (!rootReads) {
        std::ostringstream o, e;
        EXPECT_EQ(runQueryCommand({"-f", unreadable}, o, e), 2);
        EXPECT_NE(e.str().find("cannot read"), std::string::npos);
    }
    // Standard input for "-f -", and a list longer than the cap is refused whole.
    std::istringstream piped("127.0.0.1:" + closed + "\n");
    std::ostringstream po, pe;
    EXPECT_EQ(runQueryCommand({"--retry=0", "-f", "-"}, po, pe, systemHostLookup, &piped), 1);
    EXPECT_EQ(po.str().rfind("127.0.0.1:" + closed + "\tport closed", 0), 0u) << po.str();
    std::istringstream huge(std::string(kMaxListLines + 1, '\n'));
    std::ostringstream ho, he;
    EXPECT_EQ(runQueryCommand({"-f", "-"}, ho, he, systemHostLookup, &huge), 2);
    EXPECT_NE(he.str().find("has more than 1000000 lines"), std::string::npos) << he.str();
}

TEST(QueryCommand, AnEndlessLineIsReportedAndNeverHeld) {
    // A line of 1024 bytes is read; one byte more is reported; a NUL is no server.
    const std::string longest = "h.example:1 " + std::string(1024 - 12, 'd');
    std::istringstream list(longest + "\n" + std::string(1025, 'x') + "\n" + std::string("a\0b:1", 5) +
                            "\n127.0.0.1:1\n" + std::string(3 << 20, 'y'));
    std::ostringstream err;
    const QueryArguments a = readQueryArguments({"-f", "-"}, list, err);
    ASSERT_EQ(a.given.size(), 2u);
    EXPECT_EQ(a.given[0], longest);
    EXPECT_EQ(a.given[1], "127.0.0.1:1");
    EXPECT_TRUE(a.badLines);
    EXPECT_EQ(err.str(), "quillmark-query: standard input:2: not a server: a line longer than 1024 bytes\n"
                         "quillmark-query: standard input:3: not a server: a\\x00b:1\n"
                         "quillmark-query: standard input:5: not a server: a line longer than 1024 bytes\n");
}
