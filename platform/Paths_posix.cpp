#include "platform/Paths.h"

#include <climits>
#include <cstdlib>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qm {

bool isFile(const std::string& path) {
    struct stat st {};
    return !path.empty() && ::stat(nativePath(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string homeFolder() {
    std::string home;
    if (const char* env = std::getenv("HOME"); env && *env)
        home = env;
    else if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir)
        home = pw->pw_dir;
    while (home.size() > 1 && home.back() == '/')
        home.pop_back();
    return home;
}

std::string executableDir() {
    char buffer[PATH_MAX];
    ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) return "./";
    std::string path(buffer, static_cast<size_t>(n));
    return path.substr(0, path.rfind('/') + 1);
}

bool writeProtected(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return false;
    return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

std::string finalPathOf(const std::string& path) {
    std::string at = path;
    // As many hops as the system itself follows before it calls a chain a loop.
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(at.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return at;
        std::string target(static_cast<size_t>(st.st_size > 0 ? st.st_size : 4096) + 1, '\0');
        const ssize_t n = ::readlink(at.c_str(), target.data(), target.size());
        if (n < 0 || static_cast<size_t>(n) >= target.size()) return at;
        target.resize(static_cast<size_t>(n));
        at = target.front() == '/' ? target : folderOf(at) + "/" + target;
    }
    return path;
}

void moveCurrentDirectoryTo(const std::string& file) {
    if (::chdir(folderOf(file).c_str()) != 0) {
        // The folder vanished after the pick; the current directory simply stays.
    }
}

bool folderTakesWrites(const std::string& folder) {
    return ::access(folder.c_str(), W_OK) == 0;
}

} // namespace qm
