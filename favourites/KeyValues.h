#pragma once
#include "platform/Failure.h"

#include <string_view>
#include <vector>

namespace qm {

/// One key of a Valve KeyValues text: either a value or a block of keys. Every view
/// points into the parsed text, which must outlive the node.
struct KeyValuesNode {
    std::string_view key;
    std::string_view value;
    bool isBlock = false;
    /// Offset of the start of the line the key stands on, or of the key itself when
    /// something else stands before it on that line.
    size_t lineBegin = 0;
    /// For a block: the offsets of its braces.
    size_t openBrace = 0;
    size_t closeBrace = 0;
    /// Offset just past the node: past the line end that follows its last token when
    /// nothing else stands on that line.
    size_t end = 0;
    std::vector<KeyValuesNode> children;

    /// The first child whose key matches `name` ignoring ASCII case, or null.
    const KeyValuesNode* child(std::string_view name) const;
    /// The value of that child, empty when it is missing or a block.
    std::string_view valueOf(std::string_view name) const;
};

/// A text that is not well-formed KeyValues; what() says what is wrong and on which line.
class KeyValuesError : public Failure {
  public:
    using Failure::Failure;
};

/// The top-level keys of a KeyValues text: quoted or bare tokens, braces, "//" comments.
/// Quoted tokens run to the next quote (no escapes, as Steam writes them). Fails with a
/// KeyValuesError on a text cut short, unbalanced braces or a key without a value.
std::vector<KeyValuesNode> parseKeyValues(std::string_view text);

bool equalsIgnoringCase(std::string_view a, std::string_view b);

} // namespace qm
