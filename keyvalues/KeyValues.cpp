#include "keyvalues/KeyValues.h"

#include <cstdint>
#include <limits>
#include <new>
#include <string>

namespace qm {

const KeyValuesNode* KeyValuesNode::child(std::string_view name) const {
    for (const KeyValuesNode& c : children())
        if (equalsIgnoringCase(c.key(), name)) return &c;
    return nullptr;
}

std::string_view KeyValuesNode::valueOf(std::string_view name) const {
    const KeyValuesNode* c = child(name);
    return c ? c->value() : std::string_view();
}

size_t KeyValuesNode::lineBegin(std::string_view text) const {
    const size_t at = offsetIn(text, m_key.data()) - (m_keyQuoted ? 1 : 0);
    size_t p = at;
    while (p > 0 && (text[p - 1] == ' ' || text[p - 1] == '\t'))
        --p;
    return p == 0 || text[p - 1] == '\n' ? p : at;
}

size_t KeyValuesNode::end(std::string_view text) const {
    const size_t at = offsetIn(text, m_value.data()) + m_value.size() + (!m_block && m_valueQuoted ? 1 : 0);
    size_t p = at;
    while (p < text.size() && (text[p] == ' ' || text[p] == '\t' || text[p] == '\r'))
        ++p;
    if (p == text.size()) return p;
    return text[p] == '\n' ? p + 1 : at;
}

std::string unescapedKeyValuesText(std::string_view raw) {
    std::string out;
    out.reserve(raw.size());
    for (size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\\' && i + 1 < raw.size() && (raw[i + 1] == '"' || raw[i + 1] == '\\')) ++i;
        out.push_back(raw[i]);
    }
    return out;
}

std::string escapedKeyValuesText(std::string_view plain) {
    std::string out;
    out.reserve(plain.size());
    for (const char c : plain) {
        if (c == '"' || c == '\\') out.push_back('\\');
        out.push_back(c);
    }
    return out;
}

namespace {

enum class TokenKind { End, Open, Close, Text };

struct Token {
    TokenKind kind = TokenKind::End;
    std::string_view text;
    size_t begin = 0;
    bool quoted = false;
};

// Nesting deeper than any real file: a hostile text cannot exhaust the stack.
constexpr int kMaxDepth = 64;

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// Every look at the text moves forward, so a file of one long line reads in one pass.
class Tokenizer {
  public:
    explicit Tokenizer(std::string_view text) : m_text(text) {
        if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) m_pos = kByteOrderMark.size();
    }

    Token next() {
        skipSpaceAndComments();
        Token t;
        t.begin = m_pos;
        if (m_pos >= m_text.size()) return t;
        const char c = m_text[m_pos];
        if (c == '{' || c == '}') {
            t.kind = c == '{' ? TokenKind::Open : TokenKind::Close;
            t.text = m_text.substr(m_pos++, 1);
            return t;
        }
        t.kind = TokenKind::Text;
        if (c == '"') {
            t.quoted = true;
            const size_t start = ++m_pos;
            for (;; ++m_pos) {
                if (m_pos >= m_text.size() || m_text[m_pos] == '\n')
                    fail("a quoted text is not closed on its line", t.begin);
                if (m_text[m_pos] == '"') break;
                if (m_text[m_pos] == '\\' && m_pos + 1 < m_text.size() &&
                    (m_text[m_pos + 1] == '"' || m_text[m_pos + 1] == '\\'))
                    ++m_pos;
            }
            t.text = m_text.substr(start, m_pos++ - start);
        } else {
            const size_t start = m_pos;
            while (m_pos < m_text.size() && !isSpace(m_text[m_pos]) && m_text[m_pos] != '{' &&
                   m_text[m_pos] != '}' && m_text[m_pos] != '"')
                ++m_pos;
            t.text = m_text.substr(start, m_pos - start);
        }
        return t;
    }

    [[noreturn]] void fail(const std::string& what, size_t at) const {
        size_t line = 1;
        for (size_t i = 0; i < at && i < m_text.size(); ++i)
            line += m_text[i] == '\n';
        throw KeyValuesError(what + " (line " + std::to_string(line) + ")");
    }

  private:
    void skipSpaceAndComments() {
        while (m_pos < m_text.size()) {
            if (isSpace(m_text[m_pos])) {
                ++m_pos;
            } else if (m_text.compare(m_pos, 2, "//") == 0) {
                const size_t lineEnd = m_text.find('\n', m_pos);
                m_pos = lineEnd == std::string_view::npos ? m_text.size() : lineEnd + 1;
            } else {
                return;
            }
        }
    }

    std::string_view m_text;
    size_t m_pos = 0;
};

// The most nodes the text can hold: every node is a key with a value or a block after it.
// Counting first lets the tree take its room once, never twice its size while it grows.
size_t nodeBound(std::string_view text) {
    Tokenizer tokens(text);
    size_t count = 0;
    for (Token t = tokens.next(); t.kind != TokenKind::End; t = tokens.next())
        count += t.kind != TokenKind::Close;
    return count / 2 + 1;
}

} // namespace

class KeyValuesParser {
  public:
    explicit KeyValuesParser(std::string_view text) : m_tokens(text) {}

    KeyValuesTree document(size_t bound) {
        m_tree.m_nodes.reserve(bound);
        keys(0);
        if (m_pending.kind == TokenKind::Close)
            m_tokens.fail("a closing brace has no opening brace", m_pending.begin);
        return std::move(m_tree);
    }

  private:
    // The keys of one level, up to its closing brace (left as the pending token) or the end.
    void keys(int depth) {
        size_t last = SIZE_MAX; // the index of this level's last node, if any
        size_t lastAt = 0;
        for (;;) {
            const Token key = take();
            if (key.kind == TokenKind::End || key.kind == TokenKind::Close) {
                m_pending = key;
                return;
            }
            if (key.kind == TokenKind::Open) {
                // Most often a key whose block is missing took the next key as its value.
                if (last != SIZE_MAX && !m_tree.m_nodes[last].isBlock())
                    m_tokens.fail("the key \"" + std::string(m_tree.m_nodes[last].key()) +
                                      "\" has no block: \"" + std::string(m_tree.m_nodes[last].m_value) +
                                      "\" stands where it should open",
                                  lastAt);
                m_tokens.fail("a block has no key", key.begin);
            }
            const size_t index = m_tree.m_nodes.size();
            node(key, depth);
            last = index;
            lastAt = key.begin;
        }
    }

    void node(const Token& key, int depth) {
        const size_t index = m_tree.m_nodes.size();
        m_tree.m_nodes.emplace_back();
        KeyValuesNode& n = m_tree.m_nodes.back();
        n.m_key = key.text;
        n.m_keyQuoted = key.quoted;
        const Token t = take();
        switch (t.kind) {
        case TokenKind::End:
            m_tokens.fail("the text ends after the key \"" + std::string(key.text) + "\"", key.begin);
        case TokenKind::Close:
            m_tokens.fail("the key \"" + std::string(key.text) + "\" has no value", key.begin);
        case TokenKind::Text:
            n.m_value = t.text;
            n.m_valueQuoted = t.quoted;
            return;
        case TokenKind::Open:
            break;
        }
        if (depth >= kMaxDepth) m_tokens.fail("blocks are nested too deeply", t.begin);
        keys(depth + 1);
        const Token close = m_pending;
        m_pending = {};
        if (close.kind != TokenKind::Close)
            m_tokens.fail("the text ends inside the block \"" + std::string(key.text) + "\"", key.begin);
        KeyValuesNode& block = m_tree.m_nodes[index];
        block.m_block = true;
        block.m_value =
            std::string_view(t.text.data(), static_cast<size_t>(close.text.data() - t.text.data()) + 1);
        const size_t nodes = m_tree.m_nodes.size() - index;
        if (nodes > std::numeric_limits<uint32_t>::max())
            m_tokens.fail("the block holds too many keys", key.begin);
        block.m_nodes = static_cast<uint32_t>(nodes);
    }

    Token take() {
        if (m_pending.kind != TokenKind::End) {
            const Token t = m_pending;
            m_pending = {};
            return t;
        }
        return m_tokens.next();
    }

    Tokenizer m_tokens;
    Token m_pending; // a token read ahead and not yet used (End when there is none)
    KeyValuesTree m_tree;
};

KeyValuesTree parseKeyValues(std::string_view text) {
    if (text.size() > kMaxKeyValuesBytes)
        throw KeyValuesError("the file is larger than " + std::to_string(kMaxKeyValuesBytes >> 20) +
                             " MB, more than any favourites or master list holds");
    try {
        return KeyValuesParser(text).document(nodeBound(text));
    } catch (const std::bad_alloc&) {
        throw KeyValuesError("the file is too large to be read in the memory this computer has free");
    }
}

} // namespace qm
