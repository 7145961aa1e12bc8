#pragma once
#include "platform/Failure.h"
#include "platform/TextTools.h"

#include <cstdint>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

namespace qm {

class KeyValuesNode;

/// The nodes of one level: siblings laid out one after another with their blocks between.
class KeyValuesRange {
  public:
    class Iterator {
      public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = KeyValuesNode;
        using difference_type = std::ptrdiff_t;
        using pointer = const KeyValuesNode*;
        using reference = const KeyValuesNode&;

        Iterator() = default;
        explicit Iterator(const KeyValuesNode* at) : m_at(at) {}
        reference operator*() const { return *m_at; }
        pointer operator->() const { return m_at; }
        Iterator& operator++();
        Iterator operator++(int) {
            Iterator old = *this;
            ++*this;
            return old;
        }
        bool operator==(const Iterator& other) const { return m_at == other.m_at; }

      private:
        const KeyValuesNode* m_at = nullptr;
    };

    KeyValuesRange(const KeyValuesNode* first, const KeyValuesNode* last) : m_first(first), m_last(last) {}
    Iterator begin() const { return Iterator(m_first); }
    Iterator end() const { return Iterator(m_last); }
    bool empty() const { return m_first == m_last; }

  private:
    const KeyValuesNode* m_first;
    const KeyValuesNode* m_last;
};

/// One key of a Valve KeyValues text: either a value or a block of keys. Every view
/// points into the parsed text, which must outlive the node. A node's block follows it
/// in the tree's one array, so a node is small and a large file costs little more than
/// its own bytes.
class KeyValuesNode {
  public:
    std::string_view key() const { return m_key; }
    /// The value's bytes as they stand between the quotes (escapes kept); empty for a block.
    std::string_view value() const { return m_block ? std::string_view() : m_value; }
    bool isBlock() const { return m_block; }
    KeyValuesRange children() const { return {this + 1, this + m_nodes}; }

    /// The first child whose key matches `name` ignoring ASCII case, or null.
    const KeyValuesNode* child(std::string_view name) const;
    /// The value of that child, empty when it is missing or a block.
    std::string_view valueOf(std::string_view name) const;

    /// Offsets in `text`, the text that was parsed:
    /// the start of the line the key stands on, or of the key itself when something else
    /// stands before it on that line;
    size_t lineBegin(std::string_view text) const;
    /// just past the node: past the line end that follows its last token when nothing
    /// else stands on that line;
    size_t end(std::string_view text) const;
    /// for a block, its braces.
    size_t openBrace(std::string_view text) const { return offsetIn(text, m_value.data()); }
    size_t closeBrace(std::string_view text) const {
        return offsetIn(text, m_value.data()) + m_value.size() - 1;
    }

  private:
    friend class KeyValuesParser;
    static size_t offsetIn(std::string_view text, const char* at) {
        return static_cast<size_t>(at - text.data());
    }

    std::string_view m_key;
    std::string_view m_value; // for a block: from its opening brace to its closing one
    uint32_t m_nodes = 1;     // this node and every node of its block
    bool m_block = false;
    bool m_keyQuoted = false;
    bool m_valueQuoted = false;
};

inline KeyValuesRange::Iterator& KeyValuesRange::Iterator::operator++() {
    m_at = m_at->children().end().m_at;
    return *this;
}

/// A parsed text: every node in the order of the text.
class KeyValuesTree {
  public:
    KeyValuesRange roots() const { return {m_nodes.data(), m_nodes.data() + m_nodes.size()}; }

  private:
    friend class KeyValuesParser;
    std::vector<KeyValuesNode> m_nodes;
};

/// A text that is not well-formed KeyValues; what() says what is wrong and on which line.
class KeyValuesError : public Failure {
  public:
    using Failure::Failure;
};

/// The keys of a KeyValues text: quoted or bare tokens, braces, "//" comments, a UTF-8
/// byte-order mark at the start. Inside quotes, \" and \\ stand for a quote and a backslash,
/// as Steam writes them. Fails with a KeyValuesError on a text cut short, unbalanced braces
/// or a key without a value, and on a text too large for the memory at hand.
KeyValuesTree parseKeyValues(std::string_view text);
/// The longest text parseKeyValues() takes: its tree costs up to about 11 bytes per byte of
/// text, so this keeps the worst case under 1 GB. Real files are a few hundred kilobytes.
inline constexpr size_t kMaxKeyValuesBytes = 64u << 20;

/// A quoted text as it reads: \" and \\ become the quote and the backslash.
std::string unescapedKeyValuesText(std::string_view raw);
/// A text to write between quotes: a quote or a backslash in it gets its backslash.
std::string escapedKeyValuesText(std::string_view plain);

} // namespace qm
