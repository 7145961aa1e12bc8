#pragma once
#include "query/A2sInfo.h"

#include <cstdint>
#include <string>
#include <vector>

namespace qm {

/// The fields a table of many servers shows, as texts: "-" where the server gives none.
struct ServerSummary {
    std::string name, map, players, maxPlayers, bots;
};

/// What one server made of the info exchange: an infostring reply, an A2S_INFO reply,
/// or a failure with the text the Monitoring page shows for it.
struct ServerAnswer {
    enum class Kind { Failed, Infostring, A2s };
    Kind kind = Kind::Failed;
    std::string failure;    // "No data!", "Invalid message: ...", a socket error's text
    std::string infostring; // the infostring reply as it came
    A2sInfo info;

    static ServerAnswer failed(std::string text);
    bool answered() const { return kind != Kind::Failed; }
    /// "infostring" or "A2S", for tables and the command line.
    std::string protocolName() const;
    /// The ten lines of the Monitoring page, the same labels whatever the server speaks.
    /// `host` and `port` are what was queried: an 'I' reply names no address of its own.
    std::vector<std::string> lines(const std::string& host, int32_t port) const;
    /// Name, map and counts, from either kind of reply; all "-" for a failure.
    ServerSummary summary() const;
    /// The game directory for Detect; empty when the server names none.
    std::string gameDir() const;
};

/// The rules of one server's info exchange, apart from any socket: the requests that
/// start it, and what each datagram from the server means.
class InfoExchangeRules {
  public:
    /// Servers of today may ask for a challenge twice; a third one is a fault.
    static constexpr int kMaxChallenges = 2;

    /// The infostring request, then A2S_INFO, sent together.
    static const std::vector<std::string>& firstRequests();

    struct Step {
        bool done = false;
        /// When not done: the request to send again, with the server's challenge.
        std::string resend;
        ServerAnswer answer;
    };
    Step take(const std::string& datagram);

  private:
    int m_challenges = 0;
};

} // namespace qm
