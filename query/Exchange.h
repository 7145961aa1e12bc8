#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qm {

/// How long an exchange listens and how often it asks.
struct ExchangeTiming {
    /// The silence, in microseconds, after which the server is asked again, or given up
    /// after its last try.
    int64_t silenceMicros = 1000000;
    int tries = 2;
    /// Whether the resend a challenge asks for starts the silence anew (the batch), or the
    /// wait of the first request runs on (the Monitoring page's single wait).
    bool resendRestartsSilence = true;
};

/// One request-and-reply exchange with one server, driven by time rather than by waiting:
/// the owner sends what start(), take() and expire() hand back, passes in the server's
/// every datagram with the time it came, and calls expire() once nextWakeup() is reached.
/// Nothing here reads a clock or touches a socket, so any clock can drive it.
///
/// `Rules` reads the replies: a static firstRequests(), and take(datagram) giving a Step
/// with `done`, the `resend` a challenge asks for, and the `answer`.
template <class Rules> class Exchange {
  public:
    using Answer = decltype(typename Rules::Step{}.answer);
    struct Progress {
        /// Datagrams to send to the server now.
        std::vector<std::string> sends;
        /// Set when the exchange ended with a reply.
        std::optional<Answer> answer;
        /// True when the exchange ended because its last try went unanswered.
        bool silent = false;
        bool ended() const { return answer.has_value() || silent; }
    };

    explicit Exchange(ExchangeTiming timing = {}) : m_timing(timing) {}

    /// The first try: its requests, to be sent at `now`.
    std::vector<std::string> start(int64_t now) {
        m_tries = 1;
        return firstTry(now);
    }

    /// A datagram of the server's that came at `now`.
    Progress take(const std::string& datagram, int64_t now) {
        Progress p;
        if (m_ended) return p;
        typename Rules::Step step = m_rules.take(datagram);
        if (step.done) {
            m_ended = true;
            p.answer = std::move(step.answer);
            return p;
        }
        // A piece of a reply that comes in pieces: more is on its way, nothing to send.
        if (step.resend.empty()) return p;
        // The ping counts from the request that gets answered, so a challenge does not
        // double it.
        m_sentAt = now;
        if (m_timing.resendRestartsSilence) m_deadline = now + m_timing.silenceMicros;
        p.sends.push_back(std::move(step.resend));
        return p;
    }

    /// Asks again once the silence is over, or gives up after the last try.
    Progress expire(int64_t now) {
        Progress p;
        if (m_ended || now < m_deadline) return p;
        if (m_tries >= m_timing.tries) {
            m_ended = true;
            // Rules that held part of a reply say what it came to.
            if constexpr (requires(Rules r) { r.atSilence(); }) {
                if (auto answer = m_rules.atSilence()) {
                    p.answer = std::move(*answer);
                    return p;
                }
            }
            p.silent = true;
            return p;
        }
        ++m_tries;
        p.sends = firstTry(now);
        return p;
    }

    /// When expire() has something to do.
    int64_t nextWakeup() const { return m_deadline; }
    /// When the request that was answered (or the last one) was sent.
    int64_t sentAt() const { return m_sentAt; }
    int tries() const { return m_tries; }
    bool ended() const { return m_ended; }

  private:
    std::vector<std::string> firstTry(int64_t now) {
        m_rules = Rules();
        m_ended = false;
        m_sentAt = now;
        m_deadline = now + m_timing.silenceMicros;
        return Rules::firstRequests();
    }

    ExchangeTiming m_timing;
    Rules m_rules;
    int m_tries = 0;
    bool m_ended = false;
    int64_t m_sentAt = 0;
    int64_t m_deadline = 0;
};

} // namespace qm
