#pragma once
#include "platform/DatagramSocket.h"
#include "query/InfoReply.h"

#include <string>
#include <vector>

namespace qm {

/// A stand-in master server: answers the classic master query with the demo servers it
/// was given, a page at a time as real masters do, honouring the filters a demo server
/// can be told apart by (\gamedir\, \map\, \empty\1).
class DemoMaster {
  public:
    static constexpr size_t kEntriesPerPage = 231;

    DemoMaster(std::vector<Endpoint> servers, ServerInfo info);

    /// The page after the request's seed; nothing for a request that is no master query.
    std::string answer(std::string_view request) const;

  private:
    bool matches(std::string_view filter) const;

    std::vector<Endpoint> m_servers;
    ServerInfo m_info;
};

} // namespace qm
