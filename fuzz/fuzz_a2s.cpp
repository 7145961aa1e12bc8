// The A2S replies ('I', 'm', 'A', 'D'): what parses, written again, parses to the same;
// and the real captures (the seeds) read as a table written by hand from their bytes says.
#include "fuzz/FuzzCheck.h"
#include "query/A2sInfo.h"

#include <fstream>
#include <iterator>
#include <map>
#include <optional>

using namespace qm;

namespace {

// The real captures' fields, read off their bytes by hand, not by the parser.
struct CapturedInfo {
    char layout;
    int protocol;
    const char* address;
    const char* name;
    const char* map;
    const char* folder;
    const char* game;
    int appId, players, maxPlayers;
    std::optional<int> bots;
    char serverType, environment;
    int vac;
    const char* version;
    std::optional<int> gamePort;
};

const std::map<std::string, CapturedInfo>& capturedInfos() {
    static const std::map<std::string, CapturedInfo> table = [] {
        const std::pair<const char*, CapturedInfo> rows[] = {
            {"cs16-steam-I-info.bin",
             {'I', 48, "", "|SgK| CLASSIC 1000 FPS #1USA sgkclan.org  ", "de_inferno", "cstrike",
              "|SgK| Clan", 10, 23, 32, 2, 'd', 'l', 1, "1.1.2.7/Stdio", 27015}},
            {"hl1-m-info.bin",
             {'m', 47, "127.0.0.1:27222", "-=Bloody Game - [Half-Life] [1000FPS]=-", "bounce", "valve",
              "VK.COM/BLOODYGAME", 0, 26, 32, 26, 'd', 'l', 1, "", std::nullopt}},
            {"hltv-m-info.bin",
             {'m', 48, "192.168.1.197:27020", "Castle Mortimus:0", "op4_kbase", "gearbox", "HLTV", 0, 0, 1,
              std::nullopt, 'p', 'w', 0, "", std::nullopt}},
        };
        std::map<std::string, CapturedInfo> byBytes;
        for (const auto& [file, info] : rows) {
            std::ifstream in(std::string(QM_FIXTURES_DIR) + "/a2s/" + file, std::ios::binary);
            std::string bytes(std::istreambuf_iterator<char>(in), {});
            QM_FUZZ_CHECK(!bytes.empty()); // the captures are where the build says
            byBytes.emplace(std::move(bytes), info);
        }
        return byBytes;
    }();
    return table;
}

void checkAgainstCapture(const std::optional<A2sInfo>& info, const CapturedInfo& want) {
    QM_FUZZ_CHECK(info);
    QM_FUZZ_CHECK(info->layout == want.layout && info->protocol == want.protocol &&
                  info->address == want.address);
    QM_FUZZ_CHECK(info->name == want.name && info->map == want.map && info->folder == want.folder &&
                  info->game == want.game);
    QM_FUZZ_CHECK(info->appId == want.appId && info->players == want.players &&
                  info->maxPlayers == want.maxPlayers && info->bots == want.bots);
    QM_FUZZ_CHECK(info->serverType == want.serverType && info->environment == want.environment &&
                  info->vac == want.vac && info->version == want.version && info->gamePort == want.gamePort);
}

bool sameInfo(const A2sInfo& a, const A2sInfo& b) {
    return a.layout == b.layout && a.protocol == b.protocol && a.address == b.address && a.name == b.name &&
           a.map == b.map && a.folder == b.folder && a.game == b.game && a.appId == b.appId &&
           a.players == b.players && a.maxPlayers == b.maxPlayers && a.bots == b.bots &&
           a.serverType == b.serverType && a.environment == b.environment && a.visibility == b.visibility &&
           a.vac == b.vac && a.version == b.version && a.gamePort == b.gamePort;
}

// A Steam-layout 'I' reply read by hand from the bytes: the fields a player sees, for
// replies that are not The Ship's (app ids 2400 to 2412 carry three more bytes).
struct ReferenceInfo {
    std::string name, map, folder, game;
    int appId = 0, players = 0, maxPlayers = 0, bots = 0;
};
std::optional<ReferenceInfo> referenceInfo(std::string_view d) {
    if (d.size() < 6 || d.substr(0, 5) != std::string_view("\xFF\xFF\xFF\xFF\x49", 5)) return std::nullopt;
    size_t at = 6; // after the protocol byte
    const auto text = [&](std::string& out) {
        const size_t end = d.find('\0', at);
        if (end == std::string_view::npos) return false;
        out = std::string(d.substr(at, end - at));
        at = end + 1;
        return true;
    };
    ReferenceInfo r;
    if (!text(r.name) || !text(r.map) || !text(r.folder) || !text(r.game)) return std::nullopt;
    if (d.size() < at + 9) return std::nullopt;
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(d[at + i]); };
    r.appId = byte(0) | byte(1) << 8;
    r.players = byte(2);
    r.maxPlayers = byte(3);
    r.bots = byte(4);
    if (r.appId >= 2400 && r.appId <= 2412) return std::nullopt;
    return r;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view datagram(reinterpret_cast<const char*>(data), size);
    if (const auto capture = capturedInfos().find(std::string(datagram)); capture != capturedInfos().end())
        checkAgainstCapture(parseA2sInfo(datagram), capture->second);
    if (const auto info = parseA2sInfo(datagram)) {
        const auto again = parseA2sInfo(buildA2sInfoReply(*info));
        QM_FUZZ_CHECK(again && sameInfo(*info, *again));
        // What the parser read is what the bytes say, read by hand.
        if (const auto ref = referenceInfo(datagram)) {
            QM_FUZZ_CHECK(info->name == ref->name && info->map == ref->map && info->folder == ref->folder &&
                          info->game == ref->game);
            QM_FUZZ_CHECK(info->appId == ref->appId && info->players == ref->players &&
                          info->maxPlayers == ref->maxPlayers && info->bots == ref->bots);
        }
    }
    if (const auto challenge = parseA2sChallenge(datagram)) {
        QM_FUZZ_CHECK(challenge->size() == 4);
        QM_FUZZ_CHECK(parseA2sChallenge(buildA2sChallenge(*challenge)) == challenge);
    }
    if (const auto players = parseA2sPlayers(datagram)) {
        const auto again = parseA2sPlayers(buildA2sPlayersReply(*players));
        QM_FUZZ_CHECK(again && again->size() == players->size());
        for (size_t i = 0; i < players->size(); ++i)
            QM_FUZZ_CHECK((*again)[i].name == (*players)[i].name && (*again)[i].score == (*players)[i].score);
    }
    readableBytes(datagram);
    return 0;
}
