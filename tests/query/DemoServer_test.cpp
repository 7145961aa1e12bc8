// The demo game server, read by this program's client and by Debian's qstat.
#include "query/InfoQuery.h"
#include "query/TIdUDPClient.h"
#include "tests/support/ChildProcess.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

// The demo server prints "listening on 127.0.0.1:PORT" once it is bound.
class DemoServer {
public:
    explicit DemoServer(std::vector<std::string> args) : m_process([&] {
        args.insert(args.begin(), QM_DEMO_SERVER);
        return args;
    }()) {
        const std::string line = m_process.readLine();
        if (line.rfind("listening on ", 0) == 0)
            m_port = std::stoi(line.substr(line.rfind(':') + 1));
    }
    int port() const { return m_port; }

private:
    qm::test::ChildProcess m_process;
    int m_port = 0;
};

std::string run(const std::string& command) {
    std::string out;
    FILE* p = popen(command.c_str(), "r");
    if (!p)
        return out;
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
    const auto shown = qm::runInfoExchange(client, "127.0.0.1", server.port(), clock, clock.frequency() / 1000);
    ASSERT_TRUE(shown.answered);
    EXPECT_EQ(shown.memoLines[2], "Players: 7/16");
    EXPECT_EQ(shown.memoLines[5], "Mod: cstrike");
    EXPECT_EQ(shown.memoLines[7], "Server: Loopback Arena");
    EXPECT_EQ(shown.memoLines[8], "Map: cs_office");
}

TEST(DemoServer, QstatReadsTheSameFields) {
    if (access("/usr/bin/quakestat", X_OK) != 0)
        GTEST_SKIP() << "qstat is not installed";
    DemoServer server({"--port", "0", "--name", "Loopback Arena", "--map", "cs_office", "--players", "7", "--max",
                       "20", "--gamedir", "valve"});
    ASSERT_GT(server.port(), 0);
    const std::string out =
        run("quakestat -hlqs 127.0.0.1:" + std::to_string(server.port()) + " -R -raw , -timeout 5 2>&1");
    // HLQS,address,name,map,max,players,...  then the rules line.
    EXPECT_NE(out.find("HLQS,127.0.0.1:" + std::to_string(server.port()) + ",Loopback Arena,cs_office,20,7,"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("gamedir=valve"), std::string::npos) << out;
}
