#pragma once
// What every fuzz target uses to state what must hold: a broken rule prints what was
// expected and aborts, which libFuzzer reports as a finding with its input.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#define QM_FUZZ_CHECK(condition)                                                                             \
    do {                                                                                                     \
        if (!(condition)) {                                                                                  \
            std::fprintf(stderr, "%s:%d: fuzz check failed: %s\n", __FILE__, __LINE__, #condition);          \
            std::abort();                                                                                    \
        }                                                                                                    \
    } while (0)

namespace qm::fuzz {

/// Splits the input at the first NUL: two independent texts from one input.
inline std::pair<std::string_view, std::string_view> splitOnce(std::string_view input) {
    const size_t nul = input.find('\0');
    if (nul == std::string_view::npos) return {input, {}};
    return {input.substr(0, nul), input.substr(nul + 1)};
}

/// The input's lines (at LF), for targets that take a list.
inline std::vector<std::string> linesOf(std::string_view text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        const size_t nl = std::min(text.find('\n', start), text.size());
        lines.emplace_back(text.substr(start, nl - start));
        start = nl + 1;
    }
    return lines;
}

} // namespace qm::fuzz
