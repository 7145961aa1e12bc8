// A game folder's master list: the masters read are the file's "addr" values, every "hl1"
// or ungrouped one before any other group's, each once (letter case aside), and a text
// that is no KeyValues is refused with the program's own error.
#include "find/MasterServersFile.h"
#include "fuzz/FuzzCheck.h"
#include "keyvalues/KeyValues.h"
#include "platform/TextTools.h"

#include <unordered_set>

using namespace qm;

namespace {

// The same order, read by walking the tree by hand.
std::vector<std::string> reference(const KeyValuesTree& tree) {
    std::vector<std::string> first, later;
    const auto addrOf = [](const KeyValuesNode& block, std::vector<std::string>& to) {
        for (const KeyValuesNode& entry : block.children()) {
            if (!entry.isBlock() || !entry.child("addr")) continue;
            const std::string a(trimmed(unescapedKeyValuesText(entry.valueOf("addr")), true));
            if (!a.empty()) to.push_back(a);
        }
    };
    for (const KeyValuesNode& root : tree.roots()) {
        if (!root.isBlock()) continue;
        for (const KeyValuesNode& node : root.children()) {
            if (!node.isBlock()) continue;
            if (node.child("addr")) {
                const std::string a(trimmed(unescapedKeyValuesText(node.valueOf("addr")), true));
                if (!a.empty()) first.push_back(a);
            } else {
                addrOf(node, asciiLowered(node.key()) == "hl1" ? first : later);
            }
        }
    }
    std::vector<std::string> out;
    std::unordered_set<std::string> seen;
    for (const auto* list : {&first, &later})
        for (const std::string& m : *list)
            if (seen.insert(asciiLowered(m)).second) out.push_back(m);
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> masters;
    try {
        masters = mastersOfMasterServersText(text);
    } catch (const KeyValuesError&) {
        return 0;
    }
    while (!text.empty() && std::string_view("\0\r\n \t", 5).find(text.back()) != std::string_view::npos)
        text.remove_suffix(1);
    QM_FUZZ_CHECK(masters == reference(parseKeyValues(text)));
    return 0;
}
