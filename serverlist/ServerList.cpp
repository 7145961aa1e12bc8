#include "serverlist/ServerList.h"

#include "serverlist/Collation.h"

#include <algorithm>

namespace qm {

void ServerList::setChecked(size_t row, bool checked) {
    if (m_entries[row].checked == checked) return;
    m_entries[row].checked = checked;
    if (m_observer) m_observer->marksChanged(row, row);
}

size_t ServerList::lowerBound(std::string_view text) const {
    auto it = std::lower_bound(m_entries.begin(), m_entries.end(), text,
                               [](const Entry& e, std::string_view t) { return foldedLess(e.text, t); });
    return static_cast<size_t>(it - m_entries.begin());
}

size_t ServerList::upperBound(std::string_view text) const {
    auto it = std::upper_bound(m_entries.begin(), m_entries.end(), text,
                               [](std::string_view t, const Entry& e) { return foldedLess(t, e.text); });
    return static_cast<size_t>(it - m_entries.begin());
}

bool ServerList::containsExact(std::string_view text) const {
    for (size_t row = lowerBound(text); row < count() && foldedEqual(m_entries[row].text, text); ++row)
        if (m_entries[row].text == text) return true;
    return false;
}

void ServerList::addIfAbsent(std::string_view text) {
    if (containsExact(text)) return;
    const size_t row = upperBound(text);
    if (m_observer) m_observer->aboutToInsert(row);
    m_entries.insert(m_entries.begin() + static_cast<std::ptrdiff_t>(row), Entry{std::string(text), false});
    if (m_highlighted != npos && m_highlighted >= row) ++m_highlighted;
    if (m_observer) m_observer->inserted();
}

void ServerList::checkEntry(std::string_view text) {
    const size_t row = lowerBound(text);
    if (row < count() && foldedEqual(m_entries[row].text, text)) setChecked(row, true);
}

void ServerList::addAndCheckAll(const std::vector<std::string>& texts) {
    if (texts.size() < 64) {
        for (const std::string& t : texts) {
            addIfAbsent(t);
            checkEntry(t);
        }
        return;
    }
    // The new texts in delivery order, without byte-equal repeats and without those
    // already present; a stable sort keeps delivery order among case-equal texts, which
    // is where one-by-one inserts would have put them: after the present equals.
    std::vector<const std::string*> fresh;
    fresh.reserve(texts.size());
    for (const std::string& t : texts)
        fresh.push_back(&t);
    std::stable_sort(fresh.begin(), fresh.end(),
                     [](const std::string* a, const std::string* b) { return foldedLess(*a, *b); });
    std::vector<const std::string*> unique;
    unique.reserve(fresh.size());
    for (size_t i = 0; i < fresh.size(); ++i) {
        const std::string& t = *fresh[i];
        bool seen = false;
        for (size_t j = unique.size(); j-- > 0 && foldedEqual(*unique[j], t);)
            if (*unique[j] == t) {
                seen = true;
                break;
            }
        if (!seen && !containsExact(t)) unique.push_back(&t);
    }

    if (m_observer) m_observer->aboutToReset();
    std::vector<Entry> merged;
    merged.reserve(m_entries.size() + unique.size());
    size_t newHighlight = npos;
    size_t old = 0;
    for (const std::string* t : unique) {
        while (old < m_entries.size() && !foldedLess(*t, m_entries[old].text)) {
            if (old == m_highlighted) newHighlight = merged.size();
            merged.push_back(std::move(m_entries[old++]));
        }
        merged.push_back(Entry{*t, false});
    }
    for (; old < m_entries.size(); ++old) {
        if (old == m_highlighted) newHighlight = merged.size();
        merged.push_back(std::move(m_entries[old]));
    }
    m_entries = std::move(merged);
    m_highlighted = newHighlight;
    // Every delivered text marks the first entry of its case-equal group. The texts are in
    // list order, so one walk down the list finds every group's first entry.
    size_t at = 0;
    for (const std::string* t : fresh) {
        while (at < m_entries.size() && foldedLess(m_entries[at].text, *t))
            ++at;
        m_entries[at].checked = true;
    }
    if (m_observer) m_observer->reset();
}

void ServerList::invertMarks() {
    for (Entry& e : m_entries)
        e.checked = !e.checked;
    if (m_observer && !m_entries.empty()) m_observer->marksChanged(0, count() - 1);
}

void ServerList::setAllMarks(bool checked) {
    for (Entry& e : m_entries)
        e.checked = checked;
    if (m_observer && !m_entries.empty()) m_observer->marksChanged(0, count() - 1);
}

void ServerList::setMarks(const std::function<bool(const std::string& text)>& checked) {
    for (Entry& e : m_entries)
        e.checked = checked(e.text);
    if (m_observer && !m_entries.empty()) m_observer->marksChanged(0, count() - 1);
}

void ServerList::removeMarked() {
    if (std::none_of(m_entries.begin(), m_entries.end(), [](const Entry& e) { return e.checked; })) return;
    if (m_observer) m_observer->aboutToReset();
    size_t kept = 0;
    size_t newHighlight = npos;
    for (size_t row = 0; row < m_entries.size(); ++row) {
        if (m_entries[row].checked) continue;
        if (row == m_highlighted) newHighlight = kept;
        if (kept != row) m_entries[kept] = std::move(m_entries[row]);
        ++kept;
    }
    m_entries.resize(kept);
    m_highlighted = newHighlight;
    if (m_observer) m_observer->reset();
}

void ServerList::clear() {
    if (m_observer) m_observer->aboutToReset();
    m_entries.clear();
    m_highlighted = npos;
    if (m_observer) m_observer->reset();
}

std::vector<std::string> ServerList::texts() const {
    std::vector<std::string> out;
    out.reserve(m_entries.size());
    for (const Entry& e : m_entries)
        out.push_back(e.text);
    return out;
}

std::string ServerList::countText() const {
    return std::to_string(count()) + " server(s)";
}

} // namespace qm
