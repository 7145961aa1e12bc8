// The demo game server, read by this program's client and by Debian's qstat.
#include "query/InfoQuery.h"
#include "query/TIdUDPClient.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <signal.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

class DemoServer {
public:
    explicit DemoServer(const std::vector<std::string>& args) {
        int out[2];
        if (pipe(out) != 0)
            return;
        m_pid = fork();
        if (m_pid == 0) {
            dup2(out[1], 1);
            close(out[0]);
            std::vector<char*> argv{const_cast<char*>(QM_DEMO_SERVER)};
            for (const std::string& a : args)
                argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            execv(QM_DEMO_SERVER, argv.data());
            _exit(127);
        }
        close(out[1]);
        // It prints "listening on 127.0.0.1:PORT" once bound.
        FILE* in = fdopen(out[0], "r");
        char line[128] = {};
        if (in && fgets(line, sizeof line, in)) {
            const std::string text = line;
            m_port = std::stoi(text.substr(text.rfind(':') + 1));
        }
        if (in)
            fclose(in);
    }
    ~DemoServer() {
        if (m_pid > 0) {
            kill(m_pid, SIGTERM);
            waitpid(m_pid, nullptr, 0);
        }
    }
    int port() const { return m_port; }

private:
    pid_t m_pid = -1;
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
