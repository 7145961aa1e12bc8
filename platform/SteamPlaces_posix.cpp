#include "platform/SteamPlaces.h"

#include "platform/TextFile.h"

#include <optional>

namespace qm {

std::vector<std::string> steamFolderCandidates(const std::string& home) {
    return steamFoldersBelowHome(home);
}

namespace {

std::optional<int> pidInFile(const std::string& path) {
    std::string text;
    try {
        TextFileStream in(path);
        text = in.readLine();
    } catch (const std::exception&) {
        return std::nullopt;
    }
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    const int pid = std::stoi(text);
    return pid > 0 ? std::optional<int>(pid) : std::nullopt;
}

} // namespace

std::vector<int> steamPidsOnRecord(const std::string& home, const std::string& steamFolder) {
    std::vector<int> pids;
    for (const std::string& pidFile : {home + "/.steam/steam.pid", steamFolder + "/steam.pid"})
        if (const std::optional<int> pid = pidInFile(pidFile)) pids.push_back(*pid);
    return pids;
}

} // namespace qm
