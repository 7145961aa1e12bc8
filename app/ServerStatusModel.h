#pragma once
#include "database/CountryExport.h"
#include "find/ListedServer.h"
#include "join/JoinPlan.h"
#include "query/BatchQuery.h"

#include <QAbstractTableModel>

#include <functional>
#include <string>
#include <vector>

namespace qm {

/// One line of the status table: a server list entry and what its server answered.
struct StatusRow {
    std::string entry;
    bool done = false;
    bool answered = false;
    bool asking = false;    // its server is being asked now
    bool cancelled = false; // it was being asked when the run was cancelled
    ServerSummary summary;
    std::string protocol;
    std::string state;
    int pingMs = -1;
    bool listed = false;              // the summary came with the list, before any answer
    bool checked = false;             // where rows carry check boxes
    std::string gameDir;              // from the answer, or from the list
    std::optional<uint16_t> gamePort; // from the answer, or from the list
    bool password = false;            // the answer says the server has one
    std::string playersRemark;        // why its players look fake, once its details were seen
    std::string country;              // its two-letter code; empty when not known
};

/// The status table's rows, one per server list entry, filled as results come.
class ServerStatusModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    enum Column { Entry, Name, Map, Players, Bots, Country, Ping, Protocol, State, ColumnCount };
    /// What the table sorts by: numbers for the counts and the ping, texts otherwise.
    static constexpr int SortRole = Qt::UserRole;

    using QAbstractTableModel::QAbstractTableModel;

    void reset(const std::vector<std::string>& entries);
    /// Rows for servers a search found, at the end; what their list tells shows at once.
    void append(const std::vector<ListedServer>& servers);
    /// How a host's country is found (its two-letter code, empty when not known); rows
    /// made from then on carry it.
    void setCountryOf(std::function<std::string(const std::string& host)> countryOf) {
        m_countryOf = std::move(countryOf);
    }
    /// Gives every row a check box in the entry column.
    void setCheckable(bool checkable) { m_checkable = checkable; }
    /// Takes a batch of results, each for the row of its index.
    void take(const std::vector<BatchResult>& results);
    /// Rows that are not servers at all get their state at once.
    void setState(size_t row, const std::string& state);
    /// Rows whose servers are being asked now.
    void setAsking(const std::vector<size_t>& rows);
    /// The run was cancelled: rows still being asked will get no answer.
    void cancelAsking();
    /// True for a row with an answer to show; the others sort after every such row.
    bool hasAnswer(int row) const;
    size_t answeredCount() const { return m_answered; }
    size_t silentCount() const { return m_silent; }
    size_t askingCount() const { return m_asking; }

    const StatusRow& row(size_t r) const { return m_rows[r]; }
    /// The list entries of the checked rows, or of the answering ones: "address:port
    /// gamedir", the game directory the server named, else the one its list gave, else
    /// `fallbackGameDir`.
    std::vector<std::string> entriesToAdd(bool answeringOnly, const std::string& fallbackGameDir) const;
    size_t size() const { return m_rows.size(); }
    /// Which rows go into a database: every row, the checked ones, or the answering ones.
    enum class Chosen { All, Checked, Answering };
    /// Their entries (as entriesToAdd makes them) with the names of their countries.
    std::vector<ServerOfCountry> serversOfCountry(Chosen which, const std::string& fallbackGameDir) const;
    /// The row's server as a join takes it; nothing for a row that is no IPv4 server.
    std::optional<JoinTarget> joinTarget(size_t row, const std::string& fallbackGameDir) const;
    /// Marks every row of the server at "ip:port" with why its players look fake (empty:
    /// they do not); the rows show it as their tooltip.
    void setPlayersRemark(const std::string& address, const std::string& remark);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

  private:
    std::vector<StatusRow> m_rows;
    size_t m_answered = 0;
    size_t m_silent = 0;
    size_t m_asking = 0;
    bool m_checkable = false;
    std::function<std::string(const std::string& host)> m_countryOf;
    std::string countryOfEntry(const std::string& entry) const;
};

} // namespace qm
