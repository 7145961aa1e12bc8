#include "serverlist/ServerList.h"

#include "platform/LargeBuffer.h"
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

namespace {

/// A delivered text in the sort of a bulk add, sixteen bytes: its folded first bytes decide
/// most comparisons without touching the text, and its place in the delivery, which also
/// finds the text, breaks ties.
struct Delivered {
    uint64_t key;
    size_t order;
};

// The texts are visited in list order, far from delivery order in memory: asking for a
// text's place some steps ahead, and for its bytes a few steps ahead, hides the waits.
constexpr size_t kPrefetchDistance = 8;

} // namespace

void ServerList::addAndCheckAll(const std::vector<std::string>& texts) {
    mergeIn(texts, nullptr);
}

void ServerList::addAndCheckAll(std::vector<std::string>&& texts) {
    mergeIn(texts, &texts);
}

void ServerList::mergeIn(const std::vector<std::string>& texts, std::vector<std::string>* movable) {
    if (texts.size() < 64) {
        for (const std::string& t : texts) {
            addIfAbsent(t);
            checkEntry(t);
        }
        return;
    }
    // The texts in list order; among case-equal texts, delivery order, which is where
    // one-by-one inserts would put them: after the present equals and earlier arrivals.
    std::vector<Delivered> sorted;
    sorted.reserve(texts.size());
    adviseLargeBuffer(sorted.data(), sorted.capacity() * sizeof(Delivered));
    for (size_t i = 0; i < texts.size(); ++i)
        sorted.push_back({foldedPrefixKey(texts[i]), i});
    const auto listOrder = [&texts](const Delivered& a, const Delivered& b) {
        if (a.key != b.key) return a.key < b.key;
        const int c = compareFolded(texts[a.order], texts[b.order]);
        return c != 0 ? c < 0 : a.order < b.order;
    };
    // Texts that come in list order already (a file the program wrote, an exported
    // database) need one pass to see it, not a sort.
    if (!std::is_sorted(sorted.begin(), sorted.end(), listOrder))
        std::sort(sorted.begin(), sorted.end(), listOrder);

    if (m_observer) m_observer->aboutToReset();
    // One merge of the present entries with the new texts. When a text's turn comes, every
    // entry of its case-equal group is already at the end of the merged list, present or
    // new: a byte-equal repeat is found by looking back over that group alone, and the
    // group's first entry, which every delivered text marks, is known there and then.
    std::vector<Entry> merged;
    merged.reserve(m_entries.size() + texts.size());
    adviseLargeBuffer(merged.data(), merged.capacity() * sizeof(Entry));
    size_t newHighlight = npos;
    size_t old = 0;
    std::string_view previous;
    bool first = true;
    size_t groupStart = 0;
    for (size_t i = 0; i < sorted.size(); ++i) {
        if (i + 2 * kPrefetchDistance < sorted.size())
            __builtin_prefetch(&texts[sorted[i + 2 * kPrefetchDistance].order]);
        if (i + kPrefetchDistance < sorted.size())
            __builtin_prefetch(texts[sorted[i + kPrefetchDistance].order].data());
        const std::string_view t = texts[sorted[i].order];
        while (old < m_entries.size() && !foldedLess(t, m_entries[old].text)) {
            if (old == m_highlighted) newHighlight = merged.size();
            merged.push_back(std::move(m_entries[old++]));
        }
        bool present = false;
        if (!first && foldedEqual(previous, t)) {
            // Same group as the text before: no present entry came between them.
            for (size_t j = groupStart; j < merged.size() && !present; ++j)
                present = merged[j].text == t;
        } else {
            groupStart = merged.size();
            while (groupStart > 0 && foldedEqual(merged[groupStart - 1].text, t)) {
                --groupStart;
                present = present || merged[groupStart].text == t;
            }
        }
        if (!present) {
            // A text the caller gave away is moved in, not copied; `previous` then looks
            // at the list's own copy.
            merged.push_back(Entry{movable ? std::move((*movable)[sorted[i].order]) : std::string(t), false});
            previous = merged.back().text;
        } else {
            previous = t;
        }
        merged[groupStart].checked = true;
        first = false;
    }
    for (; old < m_entries.size(); ++old) {
        if (old == m_highlighted) newHighlight = merged.size();
        merged.push_back(std::move(m_entries[old]));
    }
    m_entries = std::move(merged);
    m_highlighted = newHighlight;
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

void ServerList::removeRow(size_t row) {
    if (row >= m_entries.size()) return;
    if (m_observer) m_observer->aboutToReset();
    m_entries.erase(m_entries.begin() + static_cast<std::ptrdiff_t>(row));
    if (m_highlighted == row)
        m_highlighted = npos;
    else if (m_highlighted != npos && m_highlighted > row)
        --m_highlighted;
    if (m_observer) m_observer->reset();
}

ServerList::Snapshot ServerList::snapshot() const {
    Snapshot saved;
    saved.entries.reserve(m_entries.size());
    for (const Entry& e : m_entries)
        saved.entries.emplace_back(e.text, e.checked);
    saved.highlighted = m_highlighted;
    return saved;
}

void ServerList::restore(Snapshot saved) {
    if (m_observer) m_observer->aboutToReset();
    m_entries.clear();
    m_entries.reserve(saved.entries.size());
    for (auto& [text, checked] : saved.entries)
        m_entries.push_back({std::move(text), checked});
    m_highlighted = saved.highlighted < m_entries.size() ? saved.highlighted : npos;
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
