#pragma once
#include "find/ListedServer.h"
#include "find/MasterSearch.h"
#include "find/SteamServerList.h"

#include <atomic>
#include <functional>
#include <string>
#include <vector>

namespace qm {

/// Where a search gets its servers. run() is called once, on a thread of its own; it
/// tells the servers as they come and, in words, how the search goes.
class ServerSource {
  public:
    virtual ~ServerSource() = default;
    using Found = std::function<void(std::vector<ListedServer> servers)>;
    using Note = std::function<void(const std::string& note)>;
    virtual void run(const Found& found, const Note& note) = 0;
    /// From any thread: run() returns soon after.
    virtual void cancel() = 0;
    /// After run(): a list came whole (from one master at least, or from Steam).
    bool listedWhole() const { return m_whole; }

  protected:
    std::atomic<bool> m_whole{false};
};

/// The classic masters, asked in turn.
class MasterSource : public ServerSource {
  public:
    MasterSource(std::vector<std::string> masters, MasterSearchOptions options, HostLookup lookup);
    void run(const Found& found, const Note& note) override;
    void cancel() override { m_search.cancel(); }

  private:
    std::vector<std::string> m_masters;
    MasterSearch m_search;
};

/// Steam's Web API list.
class SteamListSource : public ServerSource {
  public:
    explicit SteamListSource(SteamListRequest request) : m_request(std::move(request)) {}
    void run(const Found& found, const Note& note) override;
    void cancel() override { m_cancelled = true; }

  private:
    SteamListRequest m_request;
    std::atomic<bool> m_cancelled{false};
};

/// "127.0.0.1:27010: 231 servers", "master:27010: 0 new of 231 servers",
/// "master:27010: 100000 servers (the cap)", "master:27010: 0 servers, no reply (2 tries, 2 s each)".
std::string masterOutcomeText(const MasterOutcome& outcome);

} // namespace qm
