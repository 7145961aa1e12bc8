#include "tests/support/TestSystem.h"

#include <sys/wait.h>

#include <cstdlib>

#include <sys/stat.h>
#include <unistd.h>

namespace qm::test {

bool onWindows() {
    return false;
}

std::string cannotRun(Needs) {
    return {};
}

int currentProcessId() {
    return static_cast<int>(::getpid());
}

int runCommandLine(const std::string& utf8) {
    const int status = std::system(utf8.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool makeFifo(const std::string& path) {
    return ::mkfifo(path.c_str(), 0600) == 0;
}

unsigned fileModeOf(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return 0;
    return st.st_mode & 07777;
}

bool setFileMode(const std::string& path, unsigned mode) {
    return ::chmod(path.c_str(), static_cast<mode_t>(mode)) == 0;
}

std::string systemPathOf(const std::string& path) {
    return path;
}

std::string hostPathOf(const std::string& path) {
    return path;
}

} // namespace qm::test
