#include "platform/ProgramStart.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <spawn.h>
#include <sys/stat.h>
#include <unistd.h>

extern char** environ;

namespace qm {

namespace {

// The first executable `name` in the folders of `path`.
std::string onPath(const std::string& name, const std::string& path) {
    for (size_t at = 0; at <= path.size();) {
        const size_t end = std::min(path.find(':', at), path.size());
        const std::string folder = path.substr(at, end - at);
        const std::string candidate = (folder.empty() ? "." : folder) + "/" + name;
        struct stat st {};
        if (::stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
            ::access(candidate.c_str(), X_OK) == 0)
            return candidate;
        at = end + 1;
    }
    return {};
}

bool isWindowsProgram(const std::string& program) {
    return program.size() > 4 && ::strcasecmp(program.c_str() + program.size() - 4, ".exe") == 0;
}

} // namespace

std::string systemSearchPath() {
    const char* path = std::getenv("PATH");
    return path ? path : "/usr/bin:/bin";
}

std::string startProgram(const ProgramLaunch& launch, const std::string& searchPath) {
    std::vector<std::string> argv;
    if (isWindowsProgram(launch.program)) {
        const std::string wine = onPath("wine", searchPath);
        if (wine.empty())
            return "Starting " + launch.program + " needs Wine: install it (sudo apt install wine).";
        argv = {wine, launch.program};
    } else {
        argv = {launch.program};
    }
    argv.insert(argv.end(), launch.arguments.begin(), launch.arguments.end());
    std::vector<char*> args;
    for (std::string& a : argv)
        args.push_back(a.data());
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!launch.folder.empty()) posix_spawn_file_actions_addchdir_np(&actions, launch.folder.c_str());
    pid_t pid = 0;
    const int rc = ::posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) return "Could not start " + argv[0] + ": " + std::strerror(rc) + ".";
    return {};
}

} // namespace qm
