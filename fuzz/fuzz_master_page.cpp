// A master's reply: the entries read are the page's 6-byte slices in order, up to the end
// marker; a torn page or another header is an error and never an entry. A walk over pages
// made of the input ends at the end marker and never asks a seed twice.
#include "find/MasterProtocol.h"
#include "fuzz/FuzzCheck.h"

#include <unordered_set>

using namespace qm;

namespace {

constexpr std::string_view kHeader("\xFF\xFF\xFF\xFF\x66\x0A", 6);

// The slices read off the bytes by hand, big-endian address then port.
std::vector<Endpoint> slices(std::string_view entries, bool& ended) {
    std::vector<Endpoint> out;
    ended = false;
    for (size_t at = 0; at + 6 <= entries.size(); at += 6) {
        const auto* b = reinterpret_cast<const unsigned char*>(entries.data() + at);
        Endpoint e{static_cast<uint32_t>(b[0]) << 24 | static_cast<uint32_t>(b[1]) << 16 |
                       static_cast<uint32_t>(b[2]) << 8 | b[3],
                   static_cast<uint16_t>(b[4] << 8 | b[5])};
        if (e.address == 0 && e.port == 0) {
            ended = true;
            break;
        }
        out.push_back(e);
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const MasterPage page = readMasterPage(input);
    if (input.substr(0, kHeader.size()) != kHeader || (input.size() - kHeader.size()) % 6 != 0) {
        QM_FUZZ_CHECK(!page.fault.empty() && page.servers.empty());
    } else {
        bool ended = false;
        QM_FUZZ_CHECK(page.fault.empty());
        QM_FUZZ_CHECK(page.servers == slices(input.substr(kHeader.size()), ended));
        QM_FUZZ_CHECK(page.last == ended);
    }

    // The input as the pages of one master, split where it holds a NUL: the walk ends,
    // at the latest when the pages run out, and never sends the same seed twice.
    MasterWalk walk(kAllRegions, "", kMaxListedServers);
    std::unordered_set<std::string> requests{walk.request()};
    std::string_view rest = input;
    while (!walk.done() && !rest.empty()) {
        const auto [piece, after] = fuzz::splitOnce(rest);
        rest = after;
        const MasterWalk::Step step = walk.take(std::string(kHeader) + std::string(piece));
        if (step.fault.empty() && !step.repeat && !walk.done()) {
            QM_FUZZ_CHECK(requests.insert(walk.request()).second);
        }
        if (!step.fault.empty()) {
            QM_FUZZ_CHECK(walk.done() && step.fresh.empty());
        }
    }
    return 0;
}
