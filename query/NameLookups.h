#pragma once
#include "platform/HostResolver.h"
#include "platform/SocketError.h"

#include <chrono>
#include <memory>
#include <optional>
#include <string>

namespace qm {

/// Host names looked up on helper threads, so that a slow name delays only the servers
/// that carry it. A lookup cannot be called off once the system has it, so the helpers
/// never hold up whoever owns this: the destructor returns at once and a helper still in
/// a lookup ends on its own. The lookup function is copied and must not refer to
/// anything that may go before it.
class NameLookups {
  public:
    /// How long a name may take before its servers are given up as not found.
    static constexpr std::chrono::milliseconds kDeadline{5000};
    /// WSATRY_AGAIN: the code a name that took too long is reported with.
    static constexpr int kTimedOutCode = SocketErrorCode::kTryAgain;

    explicit NameLookups(HostLookup lookup, size_t helpers = 4,
                         std::chrono::milliseconds deadline = kDeadline);
    ~NameLookups();
    NameLookups(const NameLookups&) = delete;
    NameLookups& operator=(const NameLookups&) = delete;

    /// Asks for `host` unless it was asked already; "localhost" and dotted addresses are
    /// answered at once.
    void ask(const std::string& host);
    /// The dotted address, or a failure code, once known (a lookup past its deadline
    /// gives kTimedOutCode); nothing while it is still being looked up.
    std::optional<HostLookupResult> answer(const std::string& host);

    struct Shared; // what the helpers share with the owner, kept alive by the last of them

  private:
    std::shared_ptr<Shared> m_shared;
    std::chrono::milliseconds m_deadline;
    size_t m_maxHelpers;
    size_t m_helpers = 0; // started so far, by the owner's thread alone
};

} // namespace qm
