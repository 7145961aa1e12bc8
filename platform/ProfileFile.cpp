#include "platform/ProfileFile.h"

#include "platform/AtomicFile.h"
#include "platform/FileError.h"
#include "platform/TextFile.h"

namespace qm {

namespace {

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

bool sameName(std::string_view a, std::string_view b) {
    a = trim(a);
    b = trim(b);
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x + 32);
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y + 32);
        if (x != y) return false;
    }
    return true;
}

bool isComment(std::string_view line) {
    line = trim(line);
    return !line.empty() && (line.front() == ';' || line.front() == '#');
}

// "[name]" gives name; anything else gives nothing.
std::optional<std::string_view> sectionName(std::string_view line) {
    line = trim(line);
    if (line.size() < 2 || line.front() != '[') return std::nullopt;
    const size_t close = line.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    return line.substr(1, close - 1);
}

bool isQuoted(std::string_view v) {
    return v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front();
}

} // namespace

ProfileFile::ProfileFile(std::string path) : m_path(std::move(path)) {
    load();
}

void ProfileFile::load() {
    m_lines.clear();
    try {
        TextFileReader in(m_path);
        while (!in.atEnd())
            m_lines.push_back(in.readLine());
    } catch (const FileError&) {
        // A missing or unreadable file reads as an empty one: every key takes its default.
    }
}

std::optional<size_t> ProfileFile::findSection(std::string_view section) const {
    for (size_t i = 0; i < m_lines.size(); ++i) {
        const auto name = sectionName(m_lines[i]);
        if (name && sameName(*name, section)) return i;
    }
    return std::nullopt;
}

std::optional<size_t> ProfileFile::findKey(size_t sectionLine, std::string_view key) const {
    for (size_t i = sectionLine + 1; i < m_lines.size() && !sectionName(m_lines[i]); ++i) {
        if (isComment(m_lines[i])) continue;
        const size_t eq = m_lines[i].find('=');
        if (eq != std::string::npos && sameName(std::string_view(m_lines[i]).substr(0, eq), key)) return i;
    }
    return std::nullopt;
}

std::string ProfileFile::read(std::string_view section, std::string_view key,
                              std::string_view fallback) const {
    const auto s = findSection(section);
    const auto k = s ? findKey(*s, key) : std::nullopt;
    if (!k) return std::string(fallback.substr(0, kMaxValueLength));
    const std::string& line = m_lines[*k];
    std::string_view value = trim(std::string_view(line).substr(line.find('=') + 1));
    if (isQuoted(value)) value = value.substr(1, value.size() - 2);
    return std::string(value.substr(0, kMaxValueLength));
}

std::string ProfileFile::encodeValue(std::string_view value) {
    const bool edgeBlank = !value.empty() && (value.front() == ' ' || value.front() == '\t' ||
                                              value.back() == ' ' || value.back() == '\t');
    if (edgeBlank || isQuoted(value)) return "\"" + std::string(value) + "\"";
    return std::string(value);
}

void ProfileFile::set(std::string_view section, std::string_view key, std::string_view value) {
    const std::string keyLine = std::string(trim(key)) + "=" + encodeValue(value);
    const auto s = findSection(section);
    if (!s) {
        m_lines.push_back("[" + std::string(trim(section)) + "]");
        m_lines.push_back(keyLine);
    } else if (const auto k = findKey(*s, key)) {
        m_lines[*k] = keyLine;
    } else {
        // After the section's last key line, so blank lines between sections stay put.
        size_t at = *s + 1;
        for (size_t i = *s + 1; i < m_lines.size() && !sectionName(m_lines[i]); ++i)
            if (!trim(m_lines[i]).empty()) at = i + 1;
        m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(at), keyLine);
    }
}

void ProfileFile::save() const {
    // The file holds the proxy password: a new one is the user's alone.
    AtomicTextFile out(m_path, {LineEnd::CrLf, 0600, false});
    for (const std::string& l : m_lines)
        out.writeLine(l);
    out.commit();
}

void ProfileFile::write(std::string_view section, std::string_view key, std::string_view value) {
    const std::vector<std::string> before = m_lines;
    set(section, key, value);
    try {
        save();
    } catch (...) {
        m_lines = before; // what is held stays what the file holds
        throw;
    }
}

} // namespace qm
