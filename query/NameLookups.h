#pragma once
#include "platform/Clock.h"
#include "platform/HostResolver.h"
#include "platform/SocketError.h"

#include <chrono>
#include <memory>
#include <optional>
#include <string>

namespace qm {

/// Where a batch gets the addresses of its host names, without ever waiting for one.
class NameSource {
  public:
    virtual ~NameSource() = default;
    /// Asks for `host` unless it was asked already.
    virtual void ask(const std::string& host) = 0;
    /// The dotted address, or a failure code, once known; nothing while it is still
    /// being looked up.
    virtual std::optional<HostLookupResult> answer(const std::string& host) = 0;
};

/// Host names looked up on helper threads, so that a slow name delays only the servers
/// that carry it. A lookup cannot be called off once the system has it, so the helpers
/// never hold up whoever owns this: the destructor returns at once and a helper still in
/// a lookup ends on its own. The lookup function is copied and must not refer to
/// anything that may go before it.
class NameLookups : public NameSource {
  public:
    /// How long a name may take before its servers are given up as not found.
    static constexpr std::chrono::milliseconds kDeadline{5000};
    /// WSATRY_AGAIN: the code a name that took too long is reported with.
    static constexpr int kTimedOutCode = SocketErrorCode::kTryAgain;

    explicit NameLookups(HostLookup lookup, size_t helpers = 4,
                         std::chrono::milliseconds deadline = kDeadline, const Clock& clock = steadyClock());
    ~NameLookups() override;
    NameLookups(const NameLookups&) = delete;
    NameLookups& operator=(const NameLookups&) = delete;

    /// Asks for `host` unless it was asked already; "localhost" and dotted addresses are
    /// answered at once.
    void ask(const std::string& host) override;
    /// The dotted address, or a failure code, once known (a lookup past its deadline
    /// gives kTimedOutCode); nothing while it is still being looked up.
    std::optional<HostLookupResult> answer(const std::string& host) override;
    /// Waits up to `micros` for any lookup to end.
    void waitMicroseconds(int64_t micros);

    struct Shared; // what the helpers share with the owner, kept alive by the last of them

  private:
    std::shared_ptr<Shared> m_shared;
    std::chrono::milliseconds m_deadline;
    const Clock* m_clock;
    size_t m_maxHelpers;
    size_t m_helpers = 0; // started so far, by the owner's thread alone
};

} // namespace qm
