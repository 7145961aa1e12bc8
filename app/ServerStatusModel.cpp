#include "app/ServerStatusModel.h"

#include "geo/CountryNames.h"
#include "platform/HostResolver.h"
#include "query/QueryTarget.h"
#include "query/ServerDetails.h"
#include "serverlist/ServerEntry.h"
#include "ui/TextCodec.h"

#include <algorithm>
#include <climits>

namespace qm {

namespace {

// A count as a number to sort by; what is no number ("-") goes after every number.
int countOf(const std::string& text) {
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos)
        return INT_MAX;
    return std::stoi(text);
}

} // namespace

void ServerStatusModel::reset(const std::vector<std::string>& entries) {
    beginResetModel();
    m_rows.assign(entries.size(), {});
    m_answered = m_silent = m_asking = 0;
    for (size_t i = 0; i < entries.size(); ++i) {
        m_rows[i].entry = entries[i];
        m_rows[i].country = countryOfEntry(entries[i]);
    }
    endResetModel();
}

void ServerStatusModel::append(const std::vector<ListedServer>& servers) {
    if (servers.empty()) return;
    const int first = static_cast<int>(m_rows.size());
    beginInsertRows({}, first, first + static_cast<int>(servers.size()) - 1);
    for (const ListedServer& s : servers) {
        StatusRow row;
        row.entry = s.address.text();
        row.listed = s.described;
        if (s.described) row.summary = s.summary;
        row.gameDir = s.gameDir;
        row.gamePort = s.gamePort;
        if (m_countryOf) row.country = m_countryOf(row.entry.substr(0, row.entry.rfind(':')));
        m_rows.push_back(std::move(row));
    }
    endInsertRows();
}

Qt::ItemFlags ServerStatusModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (m_checkable && index.isValid() && index.column() == Entry) f |= Qt::ItemIsUserCheckable;
    return f;
}

bool ServerStatusModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!m_checkable || role != Qt::CheckStateRole || !index.isValid() || index.column() != Entry ||
        static_cast<size_t>(index.row()) >= m_rows.size())
        return false;
    m_rows[static_cast<size_t>(index.row())].checked = value.toInt() == Qt::Checked;
    emit dataChanged(index, index, {Qt::CheckStateRole});
    return true;
}

void ServerStatusModel::take(const std::vector<BatchResult>& results) {
    for (const BatchResult& r : results) {
        if (r.index >= m_rows.size()) continue;
        StatusRow& row = m_rows[r.index];
        if (row.done) continue;
        row.done = true;
        if (row.asking) --m_asking;
        row.asking = false;
        row.answered = r.answer.answered();
        ++(row.answered ? m_answered : m_silent);
        // A silent server keeps the words its list gave.
        if (row.answered || !row.listed) row.summary = r.answer.summary();
        row.protocol = r.answer.protocolName();
        row.state = r.state;
        row.pingMs = r.pingMs;
        if (row.answered) {
            row.listed = false;
            if (const std::string dir = r.answer.gameDir(); !dir.empty()) row.gameDir = dir;
            if (const auto port = gamePortOf(r.answer)) row.gamePort = port;
            row.password = needsPassword(r.answer);
        }
    }
    // Results come about in row order: one signal over the rows between the first and the
    // last that changed.
    size_t first = m_rows.size(), last = 0;
    for (const BatchResult& r : results) {
        if (r.index >= m_rows.size()) continue;
        first = std::min(first, r.index);
        last = std::max(last, r.index);
    }
    if (first <= last)
        emit dataChanged(index(static_cast<int>(first), 0), index(static_cast<int>(last), ColumnCount - 1));
}

void ServerStatusModel::setAsking(const std::vector<size_t>& rows) {
    for (size_t r : rows) {
        if (r >= m_rows.size() || m_rows[r].done || m_rows[r].asking) continue;
        m_rows[r].asking = true;
        ++m_asking;
        emit dataChanged(index(static_cast<int>(r), State), index(static_cast<int>(r), State));
    }
}

void ServerStatusModel::cancelAsking() {
    for (size_t r = 0; r < m_rows.size(); ++r) {
        StatusRow& row = m_rows[r];
        if (!row.asking) continue;
        row.asking = false;
        row.cancelled = true;
        emit dataChanged(index(static_cast<int>(r), State), index(static_cast<int>(r), State));
    }
    m_asking = 0;
}

namespace {

std::string entryToAdd(const StatusRow& row, const std::string& fallbackGameDir) {
    const std::string& dir = row.gameDir.empty() ? fallbackGameDir : row.gameDir;
    return dir.empty() ? row.entry : row.entry + " " + dir;
}

} // namespace

std::vector<std::string> ServerStatusModel::entriesToAdd(bool answeringOnly,
                                                         const std::string& fallbackGameDir) const {
    std::vector<std::string> entries;
    for (const StatusRow& row : m_rows)
        if (answeringOnly ? row.done && row.answered : row.checked)
            entries.push_back(entryToAdd(row, fallbackGameDir));
    return entries;
}

std::vector<ServerOfCountry> ServerStatusModel::serversOfCountry(Chosen which,
                                                                 const std::string& fallbackGameDir) const {
    std::vector<ServerOfCountry> servers;
    for (const StatusRow& row : m_rows) {
        const bool chosen = which == Chosen::All       ? true
                            : which == Chosen::Checked ? row.checked
                                                       : row.done && row.answered;
        // A database entry always has its blank, the game directory after it may be empty.
        std::string entry = entryToAdd(row, fallbackGameDir);
        if (entry.find(' ') == std::string::npos) entry += ' ';
        if (chosen) servers.push_back({std::move(entry), std::string(countryName(row.country))});
    }
    return servers;
}

std::string ServerStatusModel::countryOfEntry(const std::string& entry) const {
    if (!m_countryOf) return {};
    const auto target = targetOfEntry(entry);
    return target ? m_countryOf(target->host) : std::string();
}

std::optional<JoinTarget> ServerStatusModel::joinTarget(size_t r, const std::string& fallbackGameDir) const {
    if (r >= m_rows.size()) return std::nullopt;
    const StatusRow& row = m_rows[r];
    const auto target = targetOfEntry(row.entry);
    if (!target || !isDottedAddress(target->host)) return std::nullopt;
    JoinTarget join;
    join.address = target->host;
    join.queryPort = static_cast<uint16_t>(target->port);
    join.gamePort = row.gamePort;
    join.gameDir = row.gameDir.empty() ? std::string(ServerEntryParts::gameDir(row.entry)) : row.gameDir;
    if (join.gameDir.empty()) join.gameDir = fallbackGameDir;
    join.password = row.password;
    join.name = row.answered || row.listed ? row.summary.name : std::string();
    return join;
}

void ServerStatusModel::setPlayersRemark(const std::string& address, const std::string& remark) {
    for (size_t r = 0; r < m_rows.size(); ++r) {
        const auto target = targetOfEntry(m_rows[r].entry);
        if (!target || target->text() != address || m_rows[r].playersRemark == remark) continue;
        m_rows[r].playersRemark = remark;
        emit dataChanged(index(static_cast<int>(r), 0), index(static_cast<int>(r), ColumnCount - 1),
                         {Qt::ToolTipRole});
    }
}

bool ServerStatusModel::hasAnswer(int r) const {
    if (r < 0 || static_cast<size_t>(r) >= m_rows.size()) return false;
    const StatusRow& row = m_rows[static_cast<size_t>(r)];
    return (row.done && row.answered) || row.listed;
}

void ServerStatusModel::setState(size_t r, const std::string& state) {
    if (r >= m_rows.size()) return;
    if (!m_rows[r].done) ++m_silent;
    if (m_rows[r].asking) --m_asking;
    m_rows[r].asking = false;
    m_rows[r].done = true;
    m_rows[r].state = state;
    emit dataChanged(index(static_cast<int>(r), 0), index(static_cast<int>(r), ColumnCount - 1));
}

int ServerStatusModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int ServerStatusModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ServerStatusModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || static_cast<size_t>(index.row()) >= m_rows.size()) return {};
    const StatusRow& r = m_rows[static_cast<size_t>(index.row())];
    if (role == Qt::CheckStateRole && m_checkable && index.column() == Entry)
        return r.checked ? Qt::Checked : Qt::Unchecked;
    const bool answered = r.done && r.answered;
    // The list's own words show until the server answers with its own.
    const bool shown = answered || r.listed;
    if (role == SortRole) {
        switch (index.column()) {
        case Players:
            return shown ? countOf(r.summary.players) : INT_MAX;
        case Bots:
            return shown ? countOf(r.summary.bots) : INT_MAX;
        case Ping:
            return r.pingMs >= 0 && answered ? r.pingMs : INT_MAX;
        case Country:
            // Servers of no known country after every known one.
            return r.country.empty() ? QString(QChar(0xFFFF)) : toDisplay(r.country);
        default:
            return data(index, Qt::DisplayRole).toString().toCaseFolded();
        }
    }
    if (role == Qt::TextAlignmentRole &&
        (index.column() == Players || index.column() == Bots || index.column() == Ping))
        return int(Qt::AlignRight | Qt::AlignVCenter);
    if (role == Qt::ToolTipRole && !r.playersRemark.empty())
        return toDisplay("players look fake: " + r.playersRemark);
    if (role == Qt::ToolTipRole && index.column() == Country)
        return r.country.empty() ? QString() : toDisplay(std::string(countryName(r.country)));
    if (role == Qt::ToolTipRole && index.column() == State) return data(index, Qt::DisplayRole);
    if (role != Qt::DisplayRole) return {};
    switch (index.column()) {
    case Entry:
        return toDisplay(r.entry);
    case Name:
        return shown ? toDisplay(r.summary.name) : QString();
    case Map:
        return shown ? toDisplay(r.summary.map) : QString();
    case Players:
        return shown ? toDisplay(r.summary.players + "/" + r.summary.maxPlayers) : QString();
    case Bots:
        return shown ? toDisplay(r.summary.bots) : QString();
    case Country:
        return toDisplay(r.country);
    case Ping:
        return answered && r.pingMs >= 0 ? QString::number(r.pingMs) : QString();
    case Protocol:
        return toDisplay(r.protocol);
    case State:
        if (!r.done)
            return r.asking      ? QStringLiteral("asking")
                   : r.cancelled ? QStringLiteral("cancelled")
                                 : QStringLiteral("waiting");
        return toDisplay(r.state);
    default:
        return {};
    }
}

QVariant ServerStatusModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    static const char* const kTitles[] = {"Entry",   "Server name", "Map",    "Players", "Bots",
                                          "Country", "Ping (ms)",   "Speaks", "State"};
    return section >= 0 && section < ColumnCount ? QString::fromLatin1(kTitles[section]) : QVariant();
}

} // namespace qm
