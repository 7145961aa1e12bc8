// The line-end finders on every path the processor may take (plain, SSE2, AVX2), held
// against a byte loop written here, over windows thick with the bytes that matter.
#include "platform/LineBreak.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

using namespace qm;

namespace {

struct Expected {
    uint64_t lf = 0, cr = 0, quote = 0;
    bool endMark = false;
};

Expected byLoop(const std::string& w) {
    Expected e;
    for (size_t i = 0; i < 64; ++i) {
        e.lf |= uint64_t{w[i] == '\n'} << i;
        e.cr |= uint64_t{w[i] == '\r'} << i;
        e.quote |= uint64_t{w[i] == '"'} << i;
        e.endMark = e.endMark || w[i] == 0x1A;
    }
    return e;
}

std::string randomWindow(std::mt19937& random) {
    static const char bytes[] = {'\n', '\r', 0x1A, '"', 'a', '\0', '\x80', '\xFF'};
    std::string w(64, 'x');
    for (char& c : w)
        c = bytes[random() % sizeof bytes];
    return w;
}

} // namespace

TEST(LineBreak, EveryPathFindsWhatAByteLoopFinds) {
    std::mt19937 random(7);
    for (int round = 0; round < 20000; ++round) {
        const std::string w = randomWindow(random);
        const Expected e = byLoop(w);
        using MaskOf = LineEndMasks (*)(const char*);
        using ByteOf = uint64_t (*)(const char*, char);
        std::vector<std::pair<MaskOf, ByteOf>> paths = {{lineEndMasksPlain, byteMaskPlain},
                                                        {lineEndMasks, byteMask}};
#if QM_HAVE_AVX2_PATH
        if (hasAvx2()) paths.emplace_back(lineEndMasksAvx2, byteMaskAvx2);
#endif
        for (size_t path = 0; path < paths.size(); ++path) {
            const LineEndMasks m = paths[path].first(w.data());
            ASSERT_EQ(m.lf, e.lf) << "path " << path << ", round " << round;
            ASSERT_EQ(m.cr, e.cr) << "path " << path;
            ASSERT_EQ(m.endMark, e.endMark) << "path " << path;
            ASSERT_EQ(paths[path].second(w.data(), '"'), e.quote) << "path " << path;
        }
        // The first break from every start, 16 bytes at a time or byte by byte.
        const size_t from = random() % 64;
        size_t first = from;
        while (first < 64 && !isLineBreakByte(w[first]))
            ++first;
        ASSERT_EQ(findLineBreak(w.data() + from, w.data() + 64) - w.data(),
                  static_cast<std::ptrdiff_t>(first));
    }
}
