// The rules reply: its GoldSrc pieces in any order, some repeated, give the same rules as
// the whole reply; and any datagrams at all are taken without a crash, never past the cap.
#include "fuzz/FuzzCheck.h"
#include "query/RulesQuery.h"

#include <algorithm>

using namespace qm;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    // Rules made of the input, NUL-free texts two by two.
    std::vector<A2sRule> rules;
    std::string text;
    for (char c : input.substr(0, 12000))
        text.push_back(c == '\0' ? ' ' : c);
    for (size_t at = 0; at + 8 <= text.size() && rules.size() < 400; at += 8)
        rules.push_back({text.substr(at, 5), text.substr(at + 5, 3)});
    const std::string whole = buildA2sRulesReply(rules);
    // Piece 0 carries the reply's own header (FF FF FF FF E), as every server's does: that
    // is how its layout is told.
    const size_t pieceSize = std::max<size_t>((whole.size() + 14) / 15, 8 + (size ? data[0] : 0) * 5);
    std::vector<std::string> pieces;
    const size_t total = (whole.size() + pieceSize - 1) / pieceSize;
    if (total >= 2 && total <= 15) {
        for (size_t n = 0; n < total; ++n)
            pieces.push_back(std::string("\xFE\xFF\xFF\xFF\x01\x02\x03\x04", 8) +
                             static_cast<char>(n << 4 | total) + whole.substr(n * pieceSize, pieceSize));
        // An order and repeats chosen by the input.
        std::vector<std::string> sent = pieces;
        for (size_t i = 0; i < sent.size() && i < size; ++i)
            std::swap(sent[i], sent[data[i] % sent.size()]);
        sent.push_back(sent.front());
        RulesExchangeRules exchange;
        std::optional<RulesAnswer> got;
        for (const std::string& d : sent) {
            RulesExchangeRules::Step step = exchange.take(d);
            if (step.done) {
                got = std::move(step.answer);
                break;
            }
        }
        QM_FUZZ_CHECK(got && got->offered);
        std::vector<A2sRule> expected = *parseA2sRules(whole);
        std::stable_sort(expected.begin(), expected.end(),
                         [](const A2sRule& a, const A2sRule& b) { return a.name < b.name; });
        QM_FUZZ_CHECK(got->rules.size() == expected.size());
        for (size_t i = 0; i < expected.size(); ++i)
            QM_FUZZ_CHECK(got->rules[i].name == expected[i].name && got->rules[i].value == expected[i].value);
    }
    // The raw input as datagrams, split at NULs.
    SplitReply split;
    std::string_view rest = input;
    while (!rest.empty()) {
        const auto [piece, after] = fuzz::splitOnce(rest);
        rest = after;
        const SplitReply::Taken t = split.take(piece);
        if (t.whole) QM_FUZZ_CHECK(t.whole->size() <= kMaxA2sRulesReply);
    }
    return 0;
}
