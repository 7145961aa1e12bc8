#include "favourites/KeyValues.h"

#include <string>

namespace qm {

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

const KeyValuesNode* KeyValuesNode::child(std::string_view name) const {
    for (const KeyValuesNode& c : children)
        if (equalsIgnoringCase(c.key, name)) return &c;
    return nullptr;
}

std::string_view KeyValuesNode::valueOf(std::string_view name) const {
    const KeyValuesNode* c = child(name);
    return c && !c->isBlock ? c->value : std::string_view();
}

namespace {

enum class TokenKind { End, Open, Close, Text };

struct Token {
    TokenKind kind = TokenKind::End;
    std::string_view text;
    size_t begin = 0;
    size_t finish = 0; // past the token's last byte
};

// Nesting deeper than any real file: a hostile text cannot exhaust the stack.
constexpr int kMaxDepth = 64;

class Parser {
  public:
    explicit Parser(std::string_view text) : m_text(text) {}

    std::vector<KeyValuesNode> document() {
        std::vector<KeyValuesNode> roots = keys(0);
        const Token t = next();
        if (t.kind == TokenKind::Close) fail("a closing brace has no opening brace", t.begin);
        return roots;
    }

  private:
    std::vector<KeyValuesNode> keys(int depth) {
        std::vector<KeyValuesNode> nodes;
        for (;;) {
            const Token key = peek();
            if (key.kind == TokenKind::End || key.kind == TokenKind::Close) return nodes;
            next();
            if (key.kind == TokenKind::Open) fail("a block has no key", key.begin);
            nodes.push_back(node(key, depth));
        }
    }

    KeyValuesNode node(const Token& key, int depth) {
        KeyValuesNode n;
        n.key = key.text;
        n.lineBegin = lineStart(key.begin);
        const Token t = next();
        switch (t.kind) {
        case TokenKind::End:
            fail("the text ends after the key \"" + std::string(key.text) + "\"", key.begin);
        case TokenKind::Close:
            fail("the key \"" + std::string(key.text) + "\" has no value", key.begin);
        case TokenKind::Text:
            n.value = t.text;
            n.end = pastLineEnd(t.finish);
            return n;
        case TokenKind::Open:
            break;
        }
        if (depth >= kMaxDepth) fail("blocks are nested too deeply", t.begin);
        n.isBlock = true;
        n.openBrace = t.begin;
        n.children = keys(depth + 1);
        const Token close = next();
        if (close.kind != TokenKind::Close)
            fail("the text ends inside the block \"" + std::string(key.text) + "\"", key.begin);
        n.closeBrace = close.begin;
        n.end = pastLineEnd(close.finish);
        return n;
    }

    Token peek() {
        const size_t saved = m_pos;
        const Token t = next();
        m_pos = saved;
        return t;
    }

    Token next() {
        skipSpaceAndComments();
        Token t;
        t.begin = m_pos;
        if (m_pos >= m_text.size()) {
            t.finish = m_pos;
            return t;
        }
        const char c = m_text[m_pos];
        if (c == '{' || c == '}') {
            t.kind = c == '{' ? TokenKind::Open : TokenKind::Close;
            t.finish = ++m_pos;
            return t;
        }
        t.kind = TokenKind::Text;
        if (c == '"') {
            const size_t close = m_text.find('"', m_pos + 1);
            const size_t lineEnd = m_text.find('\n', m_pos + 1);
            if (close == std::string_view::npos || close > lineEnd)
                fail("a quoted text is not closed on its line", m_pos);
            t.text = m_text.substr(m_pos + 1, close - m_pos - 1);
            m_pos = close + 1;
        } else {
            const size_t start = m_pos;
            while (m_pos < m_text.size() && !isSpace(m_text[m_pos]) && m_text[m_pos] != '{' &&
                   m_text[m_pos] != '}' && m_text[m_pos] != '"')
                ++m_pos;
            t.text = m_text.substr(start, m_pos - start);
        }
        t.finish = m_pos;
        return t;
    }

    static bool isSpace(char c) {
        return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
    }

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

    // The start of `at`'s line when only blanks precede it there; otherwise `at` itself.
    size_t lineStart(size_t at) const {
        size_t p = at;
        while (p > 0 && (m_text[p - 1] == ' ' || m_text[p - 1] == '\t'))
            --p;
        return p == 0 || m_text[p - 1] == '\n' ? p : at;
    }

    // Past the line end when only blanks follow `at` on its line; otherwise `at` itself.
    size_t pastLineEnd(size_t at) const {
        size_t p = at;
        while (p < m_text.size() && (m_text[p] == ' ' || m_text[p] == '\t' || m_text[p] == '\r'))
            ++p;
        if (p == m_text.size()) return p;
        return m_text[p] == '\n' ? p + 1 : at;
    }

    [[noreturn]] void fail(const std::string& what, size_t at) const {
        size_t line = 1;
        for (size_t i = 0; i < at && i < m_text.size(); ++i)
            line += m_text[i] == '\n';
        throw KeyValuesError(what + " (line " + std::to_string(line) + ")");
    }

    std::string_view m_text;
    size_t m_pos = 0;
};

} // namespace

std::vector<KeyValuesNode> parseKeyValues(std::string_view text) {
    return Parser(text).document();
}

} // namespace qm
