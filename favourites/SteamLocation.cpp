#include "favourites/SteamLocation.h"

#include "keyvalues/KeyValues.h"
#include "platform/FsPath.h"
#include "platform/ProcessList.h"
#include "platform/SteamPlaces.h"
#include "platform/TextFile.h"
#include "platform/TextTools.h"

#include <algorithm>
#include <filesystem>
#include <map>

namespace fs = std::filesystem;

namespace qm {

std::vector<std::string> findSteamFolders(const std::string& home) {
    return findSteamFolders(steamFolderCandidates(home));
}

std::vector<std::string> findSteamFolders(const std::vector<std::string>& candidates) {
    std::vector<std::string> folders;
    for (const std::string& candidate : candidates) {
        std::error_code ec;
        if (!fs::is_directory(fsPath(candidate) / "userdata", ec)) continue;
        const std::string real = fsText(fs::canonical(fsPath(candidate), ec));
        if (ec) continue;
        if (std::find(folders.begin(), folders.end(), real) == folders.end()) folders.push_back(real);
    }
    return folders;
}

std::string SteamAccount::label() const {
    return personaName.empty() ? accountId : accountId + " (" + personaName + ")";
}

namespace {

constexpr unsigned long long kSteamId64Base = 76561197960265728ull;

bool digitsOnly(const std::string& s, size_t maxLength) {
    return !s.empty() && s.size() <= maxLength &&
           std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

struct LoginUser {
    std::string personaName;
    bool mostRecent = false;
};

// config/loginusers.vdf: "users" { "<SteamID64>" { "PersonaName" ... "MostRecent" "1" } }.
std::map<std::string, LoginUser> loginUsers(const std::string& steamFolder) {
    std::map<std::string, LoginUser> users;
    try {
        const std::string text = readFileBytes(steamFolder + "/config/loginusers.vdf");
        const KeyValuesTree tree = parseKeyValues(text);
        for (const KeyValuesNode& root : tree.roots()) {
            if (!root.isBlock() || !equalsIgnoringCase(root.key(), "users")) continue;
            for (const KeyValuesNode& user : root.children()) {
                const std::string id64(user.key());
                if (!user.isBlock() || id64.size() != 17 || !digitsOnly(id64, 17)) continue;
                const unsigned long long id = std::stoull(id64);
                if (id < kSteamId64Base) continue;
                users[std::to_string(id - kSteamId64Base)] = {
                    unescapedKeyValuesText(user.valueOf("PersonaName")), user.valueOf("MostRecent") == "1"};
            }
        }
    } catch (const std::exception&) {
        // No names then: the ids alone still identify the accounts.
    }
    return users;
}

// The account's own localconfig.vdf names it too. The file is large and holds texts that
// are not plain KeyValues, so only the one line is looked for.
std::string personaFromLocalConfig(const fs::path& accountFolder) {
    try {
        TextFileStream in(fsText(accountFolder / "config" / "localconfig.vdf"));
        constexpr std::string_view kKey = "\"PersonaName\"";
        while (!in.atEnd()) {
            const std::string line = in.readLine();
            const size_t at = line.find(kKey);
            if (at == std::string::npos) continue;
            const size_t open = line.find('"', at + kKey.size());
            if (open == std::string::npos) continue;
            // An escaped quote (\") belongs to the name, as Steam writes it.
            for (size_t close = open + 1; close < line.size(); ++close) {
                if (line[close] == '\\' && close + 1 < line.size()) {
                    ++close;
                } else if (line[close] == '"') {
                    return unescapedKeyValuesText(std::string_view(line).substr(open + 1, close - open - 1));
                }
            }
        }
    } catch (const std::exception&) {
        // Missing, not a regular file, or unreadable: the account is shown by its id.
    }
    return {};
}

} // namespace

std::vector<SteamAccount> steamAccountsIn(const std::string& steamFolder) {
    std::vector<SteamAccount> accounts;
    std::vector<bool> recent;
    const std::map<std::string, LoginUser> users = loginUsers(steamFolder);
    std::error_code ec;
    for (fs::directory_iterator it(fsPath(steamFolder) / "userdata", ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string id = fsText(it->path().filename());
        if (!digitsOnly(id, 10) || !fs::is_directory(it->path() / "7" / "remote", ec)) continue;
        SteamAccount account{id, {}};
        const auto user = users.find(id);
        account.personaName = user != users.end() ? user->second.personaName : std::string();
        if (account.personaName.empty()) account.personaName = personaFromLocalConfig(it->path());
        accounts.push_back(account);
    }
    const auto isRecent = [&](const SteamAccount& a) {
        const auto user = users.find(a.accountId);
        return user != users.end() && user->second.mostRecent;
    };
    // Account 0 is no real account (Steam's folder for a session without one): last.
    std::sort(accounts.begin(), accounts.end(), [&](const SteamAccount& a, const SteamAccount& b) {
        if ((a.accountId == "0") != (b.accountId == "0")) return b.accountId == "0";
        if (isRecent(a) != isRecent(b)) return isRecent(a);
        return std::stoull(a.accountId) < std::stoull(b.accountId);
    });
    return accounts;
}

const std::vector<std::string>& steamProcessNames() {
    static const std::vector<std::string> names = {"steam", "steam.sh", "steamwebhelper", "steam.exe",
                                                   "steamwebhelper."};
    return names;
}

namespace {} // namespace

std::optional<int> runningSteam(const std::string& home, const std::string& steamFolder,
                                const std::string& procRoot) {
    const std::vector<int> named = processesOfThisUserNamed(steamProcessNames(), procRoot);
    if (!named.empty()) return named.front();
    for (const int pid : steamPidsOnRecord(home, steamFolder)) {
        if (!isProcessOfThisUser(pid, procRoot)) continue;
        // A stale record may name a process that took the number later.
        const std::optional<std::string> name = processName(pid, procRoot);
        const auto& names = steamProcessNames();
        if (name && std::any_of(names.begin(), names.end(),
                                [&](const std::string& n) { return equalsIgnoringCase(n, *name); }))
            return pid;
    }
    return std::nullopt;
}

bool isSteamRunning(const std::string& home, const std::string& steamFolder) {
    return runningSteam(home, steamFolder).has_value();
}

} // namespace qm
