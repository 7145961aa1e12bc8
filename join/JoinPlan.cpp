#include "join/JoinPlan.h"

#include <algorithm>

namespace qm {

namespace {

// The folder of a path written with either separator, with its separator.
std::string folderOfGame(const std::string& hlExe) {
    const size_t at = hlExe.find_last_of("/\\");
    return at == std::string::npos ? std::string() : hlExe.substr(0, at + 1);
}

bool isSafePassword(std::string_view password) {
    return std::none_of(password.begin(), password.end(), [](char c) {
        const auto b = static_cast<unsigned char>(c);
        return b < 0x21 || b == 0x7F || c == '"' || c == ';' || c == '/' || c == '\\';
    });
}

} // namespace

bool isPlainFolderName(std::string_view name) {
    if (name.empty() || name == "." || name == "..") return false;
    return std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
               c == '-' || c == '.';
    });
}

JoinWith defaultJoinWith(bool hlExeExists, bool steamFound) {
    return !hlExeExists && steamFound ? JoinWith::Steam : JoinWith::GameFolder;
}

const char* joinWithName(JoinWith with) {
    return with == JoinWith::Steam ? "Steam" : "hl.exe";
}

std::optional<JoinWith> joinWithNamed(std::string_view name) {
    if (name == "Steam") return JoinWith::Steam;
    if (name == "hl.exe") return JoinWith::GameFolder;
    return std::nullopt;
}

JoinPlan planJoin(const JoinRequest& r) {
    JoinPlan plan;
    const std::string server = r.address + ":" + std::to_string(r.gamePort);
    if (!r.password.empty() && !isSafePassword(r.password)) {
        plan.refusal = "The password holds a blank, a quote or a sign the game's console reads as a "
                       "command; it cannot be passed on.";
        return plan;
    }
    if (r.with == JoinWith::Steam) {
        plan.url = "steam://connect/" + server + (r.password.empty() ? "" : "/" + r.password);
        return plan;
    }
    if (!isPlainFolderName(r.gameDir)) {
        plan.refusal = "The game directory \"" + r.gameDir +
                       "\" is not a plain folder name (letters, digits, _, - and . only): the game "
                       "is not started with it.";
        return plan;
    }
    if (r.hlExe.empty()) {
        plan.refusal = "No game folder is chosen (Options page): choose hl.exe, or join with Steam.";
        return plan;
    }
    plan.launch.program = r.hlExe;
    plan.launch.folder = folderOfGame(r.hlExe);
    plan.launch.arguments = {"-game", r.gameDir, "+connect", server};
    if (!r.password.empty()) {
        plan.launch.arguments.push_back("+password");
        plan.launch.arguments.push_back(r.password);
    }
    return plan;
}

} // namespace qm
