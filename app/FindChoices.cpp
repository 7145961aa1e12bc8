#include "app/FindChoices.h"

#include "app/SettingsTable.h"
#include "platform/Paths.h"
#include "platform/ProfileFile.h"

#include <climits>

namespace qm {

namespace {

constexpr const char* kSection = "Find";

struct SourceName {
    FindSource source;
    const char* name;
};
constexpr SourceName kSourceNames[] = {
    {FindSource::GameMasters, "game"}, {FindSource::TypedMasters, "typed"}, {FindSource::SteamList, "steam"}};

// The check boxes, by the control each one is kept under.
struct FlagKey {
    const char* key;
    bool ServerFilter::*flag;
};
constexpr FlagKey kFlagKeys[] = {{"cbNotEmpty", &ServerFilter::notEmpty},
                                 {"cbNotFull", &ServerFilter::notFull},
                                 {"cbNoPlayers", &ServerFilter::noPlayers},
                                 {"cbSecure", &ServerFilter::secure},
                                 {"cbNoPassword", &ServerFilter::noPassword}};

} // namespace

std::optional<FindChoices> readFindChoices(const ProfileFile& file) {
    const std::string source = file.read(kSection, "Source", "");
    if (source.empty()) return std::nullopt;
    FindChoices c;
    for (const SourceName& s : kSourceNames)
        if (source == s.name) c.source = s.source;
    c.masters = file.read(kSection, "edMasters", "");
    c.everyMaster = readBooleanSetting(file.read(kSection, "cbEveryMaster", ""), false);
    c.filter.gameDir = file.read(kSection, "edFindGameDir", "");
    c.filter.map = file.read(kSection, "edFindMap", "");
    c.filter.nameMatch = file.read(kSection, "edFindName", "");
    for (const FlagKey& f : kFlagKeys)
        c.filter.*f.flag = readBooleanSetting(file.read(kSection, f.key, ""), false);
    c.region = readIntegerSetting(file.read(kSection, "cbRegion", ""), kAllRegions, 0, kAllRegions);
    c.limit = readIntegerSetting(file.read(kSection, "seFindLimit", ""), 0, 0, INT_MAX);
    return c;
}

void writeFindChoices(ProfileFile& file, const FindChoices& c) {
    for (const SourceName& s : kSourceNames)
        if (c.source == s.source) file.set(kSection, "Source", s.name);
    file.set(kSection, "edMasters", c.masters);
    file.set(kSection, "cbEveryMaster", c.everyMaster ? "1" : "0");
    file.set(kSection, "edFindGameDir", c.filter.gameDir);
    file.set(kSection, "edFindMap", c.filter.map);
    file.set(kSection, "edFindName", c.filter.nameMatch);
    for (const FlagKey& f : kFlagKeys)
        file.set(kSection, f.key, c.filter.*f.flag ? "1" : "0");
    file.set(kSection, "cbRegion", std::to_string(c.region));
    file.set(kSection, "seFindLimit", std::to_string(c.limit));
    file.save();
}

FindSource defaultFindSource(const std::string& gameFolder, bool steamFolderFound) {
    return gameFolder.empty() && steamFolderFound ? FindSource::SteamList : FindSource::GameMasters;
}

std::string noGameMastersReason(const std::string& gameFolder) {
    if (gameFolder.empty()) return "No game folder is chosen (Options page)";
    return "The game folder names no master server (" + nativePath("config\\MasterServers.vdf") + ").";
}

} // namespace qm
