#include "platform/ProcessList.h"

#include <algorithm>
#include <dirent.h>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace qm {

namespace {

std::optional<int> pidOfName(const char* name) {
    int pid = 0;
    for (const char* p = name; *p; ++p) {
        if (*p < '0' || *p > '9' || pid > 100000000) return std::nullopt;
        pid = pid * 10 + (*p - '0');
    }
    return pid > 0 ? std::optional<int>(pid) : std::nullopt;
}

} // namespace

std::optional<std::string> processName(int pid, const std::string& procRoot) {
    std::ifstream comm(procRoot + "/" + std::to_string(pid) + "/comm");
    std::string name;
    if (!comm || !std::getline(comm, name)) return std::nullopt;
    return name;
}

bool isProcessOfThisUser(int pid, const std::string& procRoot) {
    struct stat st {};
    return pid > 0 && ::stat((procRoot + "/" + std::to_string(pid)).c_str(), &st) == 0 &&
           st.st_uid == ::getuid();
}

std::vector<int> processesOfThisUserNamed(const std::vector<std::string>& names,
                                          const std::string& procRoot) {
    std::vector<int> found;
    DIR* dir = ::opendir(procRoot.c_str());
    if (!dir) return found;
    while (const dirent* entry = ::readdir(dir)) {
        const std::optional<int> pid = pidOfName(entry->d_name);
        if (!pid || !isProcessOfThisUser(*pid, procRoot)) continue;
        const std::optional<std::string> name = processName(*pid, procRoot);
        if (name && std::find(names.begin(), names.end(), *name) != names.end()) found.push_back(*pid);
    }
    ::closedir(dir);
    std::sort(found.begin(), found.end());
    return found;
}

} // namespace qm
