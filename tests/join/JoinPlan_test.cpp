// Joining a server: what is opened or started for it, what is refused, and the program
// seam starting the game folder's hl.exe with exactly its arguments in its own folder.
#include "join/JoinPlan.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestSystem.h"
#include "tests/support/ToldPipe.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace qm;
using namespace qm::test;

TEST(JoinPlan, SteamOpensItsUrlAndTheGameFolderStartsHlExe) {
    const std::string hl = "C:\\Games\\Half-Life\\hl.exe";
    const struct {
        const char* what;
        JoinRequest request;
        std::string url;
        std::vector<std::string> arguments;
    } cases[] = {
        {"Steam",
         {"127.0.0.1", 27015, "cstrike", "", JoinWith::Steam, hl},
         "steam://connect/127.0.0.1:27015",
         {}},
        {"Steam with a password",
         {"127.0.0.1", 27016, "cstrike", "s3cret", JoinWith::Steam, ""},
         "steam://connect/127.0.0.1:27016/s3cret",
         {}},
        {"hl.exe",
         {"127.0.0.1", 27015, "cstrike", "", JoinWith::GameFolder, hl},
         "",
         {"-game", "cstrike", "+connect", "127.0.0.1:27015"}},
        {"hl.exe with a password",
         {"10.1.2.3", 27020, "valve", "pw", JoinWith::GameFolder, hl},
         "",
         {"-game", "valve", "+connect", "10.1.2.3:27020", "+password", "pw"}},
    };
    for (const auto& c : cases) {
        const JoinPlan plan = planJoin(c.request);
        EXPECT_EQ(plan.refusal, "") << c.what;
        EXPECT_EQ(plan.url, c.url) << c.what;
        EXPECT_EQ(plan.launch.arguments, c.arguments) << c.what;
        if (!c.arguments.empty()) {
            EXPECT_EQ(plan.launch.program, hl) << c.what;
            EXPECT_EQ(plan.launch.folder, "C:\\Games\\Half-Life\\") << c.what;
        }
    }
}

TEST(JoinPlan, WhatReachesTheGamesConsoleIsPlainOrRefused) {
    const struct {
        const char* gameDir;
        const char* password;
        JoinWith with;
        bool refused;
    } cases[] = {
        {"cstrike +exec evil", "", JoinWith::GameFolder, true},
        {"../x", "", JoinWith::GameFolder, true},
        {"..", "", JoinWith::GameFolder, true},
        {"", "", JoinWith::GameFolder, true},
        {"cs;quit", "", JoinWith::GameFolder, true},
        {"czero", "", JoinWith::GameFolder, false},
        {"my_mod-1.2", "", JoinWith::GameFolder, false},
        {"cstrike", "two words", JoinWith::GameFolder, true},
        {"cstrike", "a;quit", JoinWith::Steam, true},
        {"cstrike", "a/b", JoinWith::Steam, true},
        {"cstrike", "x\ny", JoinWith::GameFolder, true},
        {"cstrike", "Good-Pass_1!", JoinWith::Steam, false},
    };
    for (const auto& c : cases) {
        const JoinPlan plan = planJoin({"127.0.0.1", 27015, c.gameDir, c.password, c.with, "/games/hl.exe"});
        EXPECT_EQ(!plan.refusal.empty(), c.refused)
            << c.gameDir << " / " << c.password << ": " << plan.refusal;
        if (c.refused) {
            EXPECT_TRUE(plan.url.empty() && plan.launch.program.empty());
            // The password is never repeated in what the player is told.
            if (*c.password) {
                EXPECT_EQ(plan.refusal.find(c.password), std::string::npos);
            }
        }
    }
    EXPECT_NE(planJoin({"127.0.0.1", 27015, "cstrike", "", JoinWith::GameFolder, ""}).refusal, "");
    EXPECT_EQ(defaultJoinWith(true, true), JoinWith::GameFolder);
    EXPECT_EQ(defaultJoinWith(false, true), JoinWith::Steam);
    EXPECT_EQ(defaultJoinWith(false, false), JoinWith::GameFolder);
}

TEST(ProgramStart, ArgumentsAreQuotedAsWindowsReadsThemBack) {
    const struct {
        std::vector<std::string> arguments;
        const char* line;
    } cases[] = {
        {{"hl.exe", "-game", "cstrike"}, "hl.exe -game cstrike"},
        {{"C:\\Program Files\\hl.exe", "+connect", "1.2.3.4:27015"},
         "\"C:\\Program Files\\hl.exe\" +connect 1.2.3.4:27015"},
        {{"a\"b"}, "\"a\\\"b\""},
        {{"ends\\", "x y\\"}, "ends\\ \"x y\\\\\""},
        {{""}, "\"\""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(windowsCommandLine(c.arguments), c.line);
}

// hl.exe through a stand-in for Wine on PATH that writes where it runs and what it got
// into a pipe, which the test reads to its end: no waiting on a clock.
TEST(ProgramStart, HlExeStartsThroughWineInItsOwnFolderWithExactlyItsArguments) {
    QM_SKIP_UNLESS_SYSTEM_HAS(Fifos);
    TempDir dir;
    std::filesystem::create_directories(dir.file("bin"));
    std::filesystem::create_directories(dir.file("Half Life"));
    ToldPipe pipe(dir.path());
    ASSERT_FALSE(pipe.name().empty());
    {
        std::ofstream wine(dir.file("bin/wine"));
        wine << "#!/bin/sh\n{ pwd; for a in \"$@\"; do echo \"[$a]\"; done; } > '" << pipe.name() << "'\n";
    }
    std::filesystem::permissions(dir.file("bin/wine"), std::filesystem::perms::owner_all);
    const std::string hl = dir.file("Half Life/hl.exe");
    const JoinPlan plan = planJoin({"127.0.0.1", 27015, "cstrike", "", JoinWith::GameFolder, hl});
    ASSERT_EQ(startProgram(plan.launch, dir.file("bin")), "");
    EXPECT_EQ(pipe.readToEnd(), std::filesystem::canonical(dir.file("Half Life")).string() + "\n[" + hl +
                                    "]\n[-game]\n[cstrike]\n[+connect]\n[127.0.0.1:27015]\n");
    // Without Wine, the player is told what to install.
    EXPECT_NE(startProgram(plan.launch, dir.file("nowhere")).find("install it"), std::string::npos);
}

// Windows starts hl.exe itself: a stand-in copied into a folder with a blank in its name
// tells where it runs and what its command line read back as.
TEST(ProgramStart, HlExeStartsOnWindowsInItsOwnFolderWithExactlyItsArguments) {
    if (!onWindows()) GTEST_SKIP() << "Linux starts hl.exe through Wine (the test above)";
    TempDir dir;
    std::filesystem::create_directories(dir.file("Half Life"));
    const std::string hl = dir.file("Half Life/hl.exe");
    std::filesystem::copy_file("Z:" QM_FAKE_HL, hl);
    ToldPipe pipe(dir.path());
    ASSERT_FALSE(pipe.name().empty());
    std::ofstream(dir.file("Half Life/told-to.txt")) << pipe.name() << "\n";
    const JoinPlan plan = planJoin({"127.0.0.1", 27016, "cstrike", "pw", JoinWith::GameFolder, hl});
    ASSERT_EQ(startProgram(plan.launch, systemSearchPath()), "");
    const std::string told = pipe.readToEnd();
    const size_t firstLine = told.find('\n');
    ASSERT_NE(firstLine, std::string::npos) << told;
    EXPECT_TRUE(std::filesystem::equivalent(told.substr(0, firstLine), dir.file("Half Life"))) << told;
    EXPECT_EQ(told.substr(firstLine + 1),
              "[-game]\n[cstrike]\n[+connect]\n[127.0.0.1:27016]\n[+password]\n[pw]\n");
    // A program that is not there: said, with the system's code.
    ProgramLaunch missing = plan.launch;
    missing.program = dir.file("Half Life/none.exe");
    EXPECT_NE(startProgram(missing, systemSearchPath()).find("Could not start"), std::string::npos);
}

TEST(JoinPlan, TheGamePortWinsOverThePortAsked) {
    JoinTarget target;
    target.queryPort = 27016;
    EXPECT_EQ(target.portToJoin(), 27016);
    target.gamePort = 27015;
    EXPECT_EQ(target.portToJoin(), 27015);
}

TEST(JoinPlan, TheChoiceAsKept) {
    for (JoinWith with : {JoinWith::GameFolder, JoinWith::Steam})
        EXPECT_EQ(joinWithNamed(joinWithName(with)), with);
    for (const char* stranger : {"", "steam", "hl", "Steam "})
        EXPECT_FALSE(joinWithNamed(stranger)) << stranger;
}
