#pragma once
#include "query/A2sInfo.h"
#include "query/InfoReply.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qm {

/// Which queries a demo server answers.
enum class DemoProtocol {
    Legacy,  // the infostring request only, like an old Half-Life server
    A2s,     // A2S_INFO after a challenge, like a server of today
    A2sOpen, // A2S_INFO without a challenge, like a server before late 2020
    GoldSrc, // A2S_INFO in the old 'm' layout
    All,     // the infostring request and A2S with its challenge
};

std::optional<DemoProtocol> demoProtocolNamed(const std::string& name);

/// The answers of a stand-in game server, apart from its socket, so that tests run it
/// in-process and the demo program on a port.
class DemoServer {
  public:
    DemoServer(ServerInfo info, DemoProtocol protocol, uint32_t secret = 0x5eed1e55);

    /// The reply to one request from the client at `clientAddress`:`clientPort` (network
    /// order), or nothing for a request this server ignores.
    std::string answer(const std::string& request, uint32_t clientAddress, uint16_t clientPort) const;
    /// Every datagram of the reply: more than one for rules past one datagram, split in
    /// GoldSrc's layout (pieces of at most kMaxA2sReply bytes).
    std::vector<std::string> answers(const std::string& request, uint32_t clientAddress,
                                     uint16_t clientPort) const;
    /// The server variables A2S_RULES lists: a few of Counter-Strike's, then numbered ones,
    /// `count` in all.
    void setRules(int count);

    const ServerInfo& info() const { return m_info; }

  private:
    std::string challengeFor(uint32_t clientAddress, uint16_t clientPort) const;
    A2sInfo a2sInfo(char layout) const;
    std::string players() const;
    std::vector<std::string> rulesReply() const;

    ServerInfo m_info;
    DemoProtocol m_protocol;
    uint32_t m_secret;
    std::vector<A2sRule> m_rules;
};

} // namespace qm
