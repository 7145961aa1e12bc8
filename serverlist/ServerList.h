#pragma once
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace qm {

/// Told before and after each change, so a view can follow the list without copying it.
class ServerListObserver {
  public:
    virtual ~ServerListObserver() = default;
    virtual void aboutToInsert(size_t row) = 0;
    virtual void inserted() = 0;
    /// Any change of many rows at once (removals, merges, clearing).
    virtual void aboutToReset() = 0;
    virtual void reset() = 0;
    /// Check marks of rows first..last changed.
    virtual void marksChanged(size_t first, size_t last) = 0;
};

/// A sorted check list of entry texts: the server list and the database list alike.
/// Texts are kept in case-folded order (serverlist/Collation.h); an entry that compares
/// equal to present ones ignoring case goes after them. At most one entry is highlighted.
class ServerList {
  public:
    static constexpr size_t npos = static_cast<size_t>(-1);

    size_t count() const { return m_entries.size(); }
    const std::string& text(size_t row) const { return m_entries[row].text; }
    bool isChecked(size_t row) const { return m_entries[row].checked; }
    void setChecked(size_t row, bool checked);
    void toggleChecked(size_t row) { setChecked(row, !isChecked(row)); }

    size_t highlighted() const { return m_highlighted; }
    bool isHighlighted(size_t row) const { return row == m_highlighted; }
    void setHighlighted(size_t row) { m_highlighted = row < count() ? row : npos; }

    /// Adds the text unless a byte-equal entry is present.
    void addIfAbsent(std::string_view text);
    /// Sets the mark of the first entry equal to the text ignoring case.
    void checkEntry(std::string_view text);
    /// addIfAbsent then checkEntry for every text in order, done as one merge so that
    /// bulk imports of many thousands of entries stay fast. The outcome is the same.
    void addAndCheckAll(const std::vector<std::string>& texts);
    /// The same, moving the texts into the list rather than copying them.
    void addAndCheckAll(std::vector<std::string>&& texts);

    void invertMarks();
    void setAllMarks(bool checked);
    /// Marks exactly the entries for which `checked` says so, in one change.
    void setMarks(const std::function<bool(const std::string& text)>& checked);
    /// Removes every marked entry; the others keep their order and marks.
    void removeMarked();
    /// Removes the entry of that row, if there is one.
    void removeRow(size_t row);
    void clear();

    std::vector<std::string> texts() const;

    /// "N server(s)", the text of a count label.
    std::string countText() const;

    void setObserver(ServerListObserver* observer) { m_observer = observer; }

    /// The entries, marks and highlight as they are, to be put back by restore().
    class Snapshot {
        friend class ServerList;
        std::vector<std::pair<std::string, bool>> entries;
        size_t highlighted = npos;
    };
    Snapshot snapshot() const;
    void restore(Snapshot saved);

  private:
    struct Entry {
        std::string text;
        bool checked = false;
    };

    /// First row whose text is not less than `text` ignoring case.
    size_t lowerBound(std::string_view text) const;
    /// First row whose text is greater than `text` ignoring case.
    size_t upperBound(std::string_view text) const;
    bool containsExact(std::string_view text) const;

    std::vector<Entry> m_entries;

    /// addAndCheckAll(); texts of `movable` (the same vector as `texts`) may be moved from.
    void mergeIn(const std::vector<std::string>& texts, std::vector<std::string>* movable);
    size_t m_highlighted = npos;
    ServerListObserver* m_observer = nullptr;
};

} // namespace qm
