#pragma once
#include "platform/ProgramStart.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qm {

/// How the game is started to join a server.
enum class JoinWith { GameFolder, Steam };

/// A server as the places that show it know it: the port it was asked on, the game port
/// its answer or its list gave, and whether its answer says it has a password.
struct JoinTarget {
    std::string address; // dotted IPv4
    uint16_t queryPort = 27015;
    std::optional<uint16_t> gamePort;
    std::string gameDir;
    bool password = false;
    std::string name; // the server's name, for the password prompt
    /// The port the game connects to: the game port when known, else the one asked.
    uint16_t portToJoin() const { return gamePort.value_or(queryPort); }
};

/// What a join needs: the server's address and game port, its game directory, the
/// password the player typed (never kept), and how the game is started.
struct JoinRequest {
    std::string address; // dotted IPv4
    uint16_t gamePort = 27015;
    std::string gameDir;
    std::string password;
    JoinWith with = JoinWith::GameFolder;
    std::string hlExe; // the game folder's hl.exe, for JoinWith::GameFolder
};

/// What to do for a join: open `url` through the shell (Steam), or start `launch` (the
/// game folder's hl.exe); `refusal` says why neither, and nothing is started then.
struct JoinPlan {
    std::string url;
    ProgramLaunch launch;
    std::string refusal;
};

/// Steam: steam://connect/IP:PORT[/PASSWORD]. The game folder: hl.exe in its own folder
/// with -game GAMEDIR +connect IP:PORT [+password PASSWORD]. A game directory is taken
/// only when it is a plain folder name, and a password only without blanks, quotes or
/// control bytes: both come from servers and users, and reach the game's console.
JoinPlan planJoin(const JoinRequest& request);

/// Letters, digits, "_", "-" and "." only, and not "." or "..".
bool isPlainFolderName(std::string_view name);

/// The game folder's hl.exe when one is set and exists, else Steam when a Steam folder
/// is found, else the game folder still (whose absence a join then explains).
JoinWith defaultJoinWith(bool hlExeExists, bool steamFound);

/// The choice as userpref.ini keeps it ("hl.exe", "Steam"), and back; nothing for a text
/// that names neither.
const char* joinWithName(JoinWith with);
std::optional<JoinWith> joinWithNamed(std::string_view name);

} // namespace qm
