#pragma once
#include "find/ServerSources.h"
#include "query/BatchQuery.h"

#include <memory>
#include <thread>
#include <vector>

namespace qm {

/// A search for a window to poll: the source lists servers on one thread while a batch
/// on another asks each of them as it comes. Cancel and destruction return at once: the
/// batch stops sending, and a source still inside a request it cannot call off (a name
/// lookup, an HTTPS exchange) ends on its own.
class FindRun {
  public:
    /// With `askServers` false the servers are listed and not asked.
    FindRun(std::unique_ptr<ServerSource> source, BatchOptions options, HostLookup lookup,
            bool askServers = true);
    ~FindRun();
    FindRun(const FindRun&) = delete;
    FindRun& operator=(const FindRun&) = delete;

    struct Progress {
        std::vector<ListedServer> found; // new since the last take, numbered on from the last
        std::vector<size_t> started;     // servers being asked now
        std::vector<BatchResult> results;
        std::vector<std::string> notes;
        bool listed = false;   // the source has ended
        bool finished = false; // everything has ended and been taken
    };
    Progress take();
    /// Waits until the search tells something or ends, at most `milliseconds`.
    void waitForProgress(int milliseconds);
    void cancel();

    struct Shared; // what the source's thread shares with the run

  private:
    std::shared_ptr<Shared> m_shared;
    BatchQuery m_batch;
    bool m_askServers;
    std::thread m_source;
    std::thread m_asker;
};

} // namespace qm
