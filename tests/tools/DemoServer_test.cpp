// The demo game server, read by this program's client and by Debian's qstat.
#include "query/InfoQuery.h"
#include "query/TIdUDPClient.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TempDir.h"
#include "tests/support/UdpResponder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <string>

namespace {

// The demo server prints "listening on 127.0.0.1:PORT" once it is bound.
class DemoServer {
  public:
    explicit DemoServer(std::vector<std::string> args)
        : m_process([&] {
              args.insert(args.begin(), QM_DEMO_SERVER);
              return args;
          }()) {
        const std::string line = m_process.readLine();
        if (line.rfind("listening on ", 0) == 0) m_port = std::stoi(line.substr(line.find(':') + 1));
        if (const size_t master = line.find("master on "); master != std::string::npos)
            m_masterPort = std::stoi(line.substr(line.find(':', master) + 1));
    }
    int port() const { return m_port; }
    int masterPort() const { return m_masterPort; }

  private:
    qm::test::ChildProcess m_process;
    int m_port = 0;
    int m_masterPort = 0;
};

std::string run(const std::string& command) {
    std::string out;
    FILE* p = popen(command.c_str(), "r");
    if (!p) return out;
    std::array<char, 512> buf{};
    while (fgets(buf.data(), buf.size(), p))
        out += buf.data();
    pclose(p);
    return out;
}

} // namespace

TEST(DemoServer, AnswersThisProgramsQuery) {
    DemoServer server({"--port", "0", "--name", "Loopback Arena", "--map", "cs_office", "--players", "7"});
    ASSERT_GT(server.port(), 0);
    qm::TIdUDPClient client;
    qm::SteadyClock clock;
    const auto shown =
        qm::runInfoExchange(client, "127.0.0.1", server.port(), clock, clock.frequency() / 1000);
    ASSERT_TRUE(shown.answered);
    EXPECT_EQ(shown.memoLines[2], "Players: 7/16");
    EXPECT_EQ(shown.memoLines[5], "Mod: cstrike");
    EXPECT_EQ(shown.memoLines[7], "Server: Loopback Arena");
    EXPECT_EQ(shown.memoLines[8], "Map: cs_office");
}

TEST(DemoServer, QstatReadsTheSameFields) {
    if (access("/usr/bin/quakestat", X_OK) != 0) GTEST_SKIP() << "qstat is not installed";
    DemoServer server({"--port", "0", "--name", "Loopback Arena", "--map", "cs_office", "--players", "7",
                       "--max", "20", "--gamedir", "valve"});
    ASSERT_GT(server.port(), 0);
    const std::string out =
        run("quakestat -hlqs 127.0.0.1:" + std::to_string(server.port()) + " -R -raw , -timeout 5 2>&1");
    // HLQS,address,name,map,max,players,...  then the rules line.
    EXPECT_NE(out.find("HLQS,127.0.0.1:" + std::to_string(server.port()) + ",Loopback Arena,cs_office,20,7,"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("gamedir=valve"), std::string::npos) << out;
}

TEST(DemoServer, QstatReadsEveryA2sMode) {
    if (access("/usr/bin/quakestat", X_OK) != 0) GTEST_SKIP() << "qstat is not installed";
    for (const char* mode : {"a2s", "a2s-open", "goldsrc", "all"}) {
        DemoServer server({"--port", "0", "--protocol", mode, "--name", "Loopback Arena", "--map",
                           "cs_office", "--players", "7", "--max", "20"});
        ASSERT_GT(server.port(), 0);
        const std::string address = "127.0.0.1:" + std::to_string(server.port());
        const std::string out = run("quakestat -a2s " + address + " -raw , -timeout 5 2>&1");
        // A2S,address,name,map,max,players,...
        EXPECT_NE(out.find("A2S," + address + ",Loopback Arena,cs_office,20,7,"), std::string::npos)
            << mode << out;
    }
}

TEST(DemoServer, QueryToolReadsEveryModeWithTheSameFields) {
    std::string expected;
    for (const char* mode : {"legacy", "a2s", "a2s-open", "goldsrc", "all"}) {
        DemoServer server(
            {"--port", "0", "--protocol", mode, "--name", "Loopback Arena", "--map", "cs_office"});
        ASSERT_GT(server.port(), 0);
        const std::string address = "127.0.0.1:" + std::to_string(server.port());
        std::string out = run(std::string(QM_QUERY_TOOL) + " " + address + "; echo rc=$?");
        ASSERT_NE(out.find("rc=0"), std::string::npos) << mode << out;
        // The same lines whatever the server speaks, but for the protocol number, the
        // address (its port) and the ping.
        std::string fields;
        for (const char* label : {"Players: ", "Max. players: ", "Bots: ", "Mod: ", "Mod description: ",
                                  "Server: ", "Map: ", "Use of password: "}) {
            const size_t at = out.find(std::string("\n") + label);
            ASSERT_NE(at, std::string::npos) << mode << " " << label << out;
            fields += out.substr(at, out.find('\n', at + 1) - at);
        }
        if (expected.empty()) expected = fields;
        EXPECT_EQ(fields, expected) << mode;
        EXPECT_NE(out.find("Address: " + address), std::string::npos) << mode << out;
    }
    EXPECT_NE(expected.find("Server: Loopback Arena"), std::string::npos);
}

TEST(DemoServer, QueryToolExitStatus) {
    EXPECT_NE(run(std::string(QM_QUERY_TOOL) + " 2>&1; echo rc=$?").find("usage: quillmark-query"),
              std::string::npos);
    EXPECT_NE(run(std::string(QM_QUERY_TOOL) + " 127.0.0.1:99999 2>&1; echo rc=$?").find("rc=2"),
              std::string::npos);
    DemoServer server({"--port", "0", "--protocol", "a2s"});
    const std::string live = "127.0.0.1:" + std::to_string(server.port());
    const std::string json = run(std::string(QM_QUERY_TOOL) + " --json " + live + " 127.0.0.1:1; echo rc=$?");
    EXPECT_NE(json.find("{\"server\":\"" + live + "\",\"answered\":true,\"protocol\":\"A2S\""),
              std::string::npos)
        << json;
    EXPECT_NE(json.find("{\"server\":\"127.0.0.1:1\",\"answered\":false,\"protocol\":null"),
              std::string::npos)
        << json;
    EXPECT_EQ(json.rfind("[\n{", 0), 0u) << "several servers give one array";
    EXPECT_NE(json.find("\n]\nrc=1"), std::string::npos) << json;
    const std::string help = run(std::string(QM_QUERY_TOOL) + " --help; echo rc=$?");
    EXPECT_EQ(help.rfind("usage: quillmark-query", 0), 0u) << help;
    EXPECT_NE(help.find("rc=0"), std::string::npos);
    // A list on standard input, as a master query's output is handed on.
    const std::string piped =
        run("printf '" + live + " cstrike\\n' | " + QM_QUERY_TOOL + " -f -; echo rc=$?");
    EXPECT_EQ(piped.rfind(live + " cstrike\tanswered\t", 0), 0u) << piped;
    EXPECT_NE(piped.find("rc=0"), std::string::npos);
}

TEST(DemoMaster, QstatAndTheQueryToolReadTheSameList) {
    // 501 servers: three pages of 231, the last one short.
    // Fixed ports below the ones the system hands out (32768 and up), so no other test holds one.
    DemoServer server({"--ports", "23000-23500", "--master", "--master-port", "0", "--gamedir", "cstrike"});
    ASSERT_GT(server.masterPort(), 0);
    const std::string master = "127.0.0.1:" + std::to_string(server.masterPort());
    if (access("/usr/bin/quakestat", X_OK) == 0) {
        const std::string out = run("quakestat -hla2sm " + master + " -raw , -timeout 5 2>&1");
        EXPECT_NE(out.find("HLA2SM," + master + ",501"), std::string::npos) << out;
    }
    const std::string listed =
        run(std::string(QM_QUERY_TOOL) + " --master " + master + " 2>/dev/null; echo rc=$?");
    EXPECT_EQ(std::count(listed.begin(), listed.end(), '\n'), 502) << listed.substr(0, 200);
    EXPECT_EQ(listed.rfind("127.0.0.1:23500\nrc=0\n"), listed.size() - 21);

    // Filters the demo master can tell: its game directory, its map.
    EXPECT_EQ(run(std::string(QM_QUERY_TOOL) + " --master " + master + " --filter '\\gamedir\\valve' 2>&1"),
              "quillmark-query: " + master + ": 0 servers (the master listed none)\n");
    const std::string asked =
        run(std::string(QM_QUERY_TOOL) + " --master " + master +
            " --filter '\\gamedir\\cstrike\\map\\de_dust2' --limit 3 --query 2>&1; echo rc=$?");
    EXPECT_NE(asked.find("127.0.0.1:23002\tanswered\t"), std::string::npos) << asked;
    EXPECT_NE(asked.find("rc=0"), std::string::npos) << asked;
}

TEST(DemoMaster, TheQueryToolAsksTheMastersOfAGameFolder) {
    DemoServer server({"--ports", "23600-23609", "--master", "--master-port", "0"});
    ASSERT_GT(server.masterPort(), 0);
    qm::test::TempDir game;
    std::filesystem::create_directories(game.path() + "platform/config");
    // A closed port first: the next master is asked.
    qm::test::writeAll(
        game.file("platform/config/MasterServers.vdf"),
        "\"MasterServers\"\n{\n\t\"hl1\"\n\t{\n\t\t\"0\"\n\t\t{\n\t\t\t\"addr\"\t\"127.0.0.1:" +
            std::to_string(qm::test::closedLoopbackUdpPort()) +
            "\"\n\t\t}\n\t\t\"1\"\n\t\t{\n\t\t\t\"addr\"\t\"localhost:" +
            std::to_string(server.masterPort()) + "\"\n\t\t}\n\t}\n}\n");
    const std::string out =
        run(std::string(QM_QUERY_TOOL) + " --masters-of " + game.path() + " --json --query; echo rc=$?");
    EXPECT_NE(out.find("\"127.0.0.1:23609\""), std::string::npos) << out;
    EXPECT_NE(out.find("rc=0"), std::string::npos) << out;
    EXPECT_NE(run(std::string(QM_QUERY_TOOL) + " --masters-of /nonexistent 2>&1; echo rc=$?")
                  .find("holds no MasterServers.vdf\nrc=2"),
              std::string::npos);
}

// --players and --rules against a server whose 60 rules come in two GoldSrc pieces,
// read by quakestat too (its -R asks the rules as A2S_RULES with the challenge).
TEST(DemoServer, PlayersAndRulesComeWithTheAnswerInTextAndJson) {
    DemoServer server({"--port", "0", "--players", "20", "--max", "32", "--rules", "60", "--password"});
    const std::string at = "127.0.0.1:" + std::to_string(server.port());
    const std::string text = run(std::string(QM_QUERY_TOOL) + " --players --rules " + at);
    const auto count = [&](const std::string& s, const std::string& what) {
        size_t n = 0;
        for (size_t p = 0; (p = s.find(what, p)) != std::string::npos; ++p)
            ++n;
        return n;
    };
    EXPECT_EQ(count(text, "\n  player\t"), 20u) << text;
    EXPECT_EQ(count(text, "\n  rule\t"), 60u) << text;
    EXPECT_NE(text.find("\n  player\tPlayer 1\t200\t0:01:00\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\n  rule\tmp_timelimit\t20\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Use of password: 1"), std::string::npos) << text;

    const std::string json = run(std::string(QM_QUERY_TOOL) + " --players --rules --json " + at + " " + at);
    EXPECT_EQ(count(json, "\"gamedir\":\"cstrike\""), 2u) << json.substr(0, 300);
    EXPECT_EQ(count(json, "{\"name\":\"Player "), 40u);
    EXPECT_EQ(count(json, "{\"name\":\"qm_demo_rule_"), 100u);
    EXPECT_NE(json.find("{\"name\":\"sv_password\",\"value\":\"1\"}"), std::string::npos);
    // Without the options the JSON keys stay as they were, gamedir beside them.
    const std::string plain = run(std::string(QM_QUERY_TOOL) + " --json " + at);
    EXPECT_EQ(plain.find("player_list"), std::string::npos);
    EXPECT_NE(plain.find("\"gamedir\":\"cstrike\""), std::string::npos);

    if (access("/usr/bin/quakestat", X_OK) == 0) {
        const std::string qstat = run("quakestat -a2s " + at + " -R -raw , -timeout 5 2>&1");
        EXPECT_NE(qstat.find("mp_timelimit=20"), std::string::npos) << qstat;
        EXPECT_NE(qstat.find("qm_demo_rule_59=value of rule 59"), std::string::npos) << qstat;
    }
}
