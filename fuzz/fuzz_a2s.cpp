// The A2S replies ('I', 'm', 'A', 'D'): what parses, written again, parses to the same.
#include "fuzz/FuzzCheck.h"
#include "query/A2sInfo.h"

using namespace qm;

namespace {

bool sameInfo(const A2sInfo& a, const A2sInfo& b) {
    return a.layout == b.layout && a.protocol == b.protocol && a.address == b.address && a.name == b.name &&
           a.map == b.map && a.folder == b.folder && a.game == b.game && a.appId == b.appId &&
           a.players == b.players && a.maxPlayers == b.maxPlayers && a.bots == b.bots &&
           a.serverType == b.serverType && a.environment == b.environment && a.visibility == b.visibility &&
           a.vac == b.vac && a.version == b.version && a.gamePort == b.gamePort;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view datagram(reinterpret_cast<const char*>(data), size);
    if (const auto info = parseA2sInfo(datagram)) {
        const auto again = parseA2sInfo(buildA2sInfoReply(*info));
        QM_FUZZ_CHECK(again && sameInfo(*info, *again));
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
