#include "query/NameLookups.h"

#include "platform/SocketError.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <unordered_map>

namespace qm {

struct NameLookups::Shared {
    struct Entry {
        int64_t askedMicros = 0;
        std::optional<HostLookupResult> result;
    };
    HostLookup lookup;
    std::mutex mutex;
    std::condition_variable wake;
    std::condition_variable answered;
    std::deque<std::string> queue;
    std::unordered_map<std::string, Entry> names;
    bool stopped = false;
};

namespace {

void lookUpNames(std::shared_ptr<NameLookups::Shared> shared);

} // namespace

NameLookups::NameLookups(HostLookup lookup, size_t helpers, std::chrono::milliseconds deadline,
                         const Clock& clock)
    : m_shared(std::make_shared<Shared>()), m_deadline(deadline), m_clock(&clock),
      m_maxHelpers(std::max<size_t>(1, helpers)) {
    m_shared->lookup = std::move(lookup);
}

NameLookups::~NameLookups() {
    {
        std::lock_guard<std::mutex> lock(m_shared->mutex);
        m_shared->stopped = true;
        m_shared->queue.clear();
    }
    m_shared->wake.notify_all();
}

void NameLookups::ask(const std::string& host) {
    std::unique_lock<std::mutex> lock(m_shared->mutex);
    if (m_shared->names.count(host)) return;
    Shared::Entry& entry = m_shared->names[host];
    entry.askedMicros = m_clock->microseconds();
    try {
        // Names that need no lookup are answered here, without a helper.
        const std::string dotted = resolveHost(host, [](const std::string&) { return HostLookupResult{}; });
        entry.result = HostLookupResult{dotted, 0};
        return;
    } catch (const EIdSocketError&) {
    }
    m_shared->queue.push_back(host);
    // Helpers start with the first names that need them: a list of dotted addresses,
    // the common case, starts none.
    const bool another = m_helpers < m_maxHelpers;
    lock.unlock();
    if (another) {
        std::thread(lookUpNames, m_shared).detach();
        ++m_helpers;
    }
    m_shared->wake.notify_one();
}

std::optional<HostLookupResult> NameLookups::answer(const std::string& host) {
    std::lock_guard<std::mutex> lock(m_shared->mutex);
    const auto it = m_shared->names.find(host);
    if (it == m_shared->names.end()) return std::nullopt;
    if (it->second.result) return it->second.result;
    const int64_t deadlineMicros = std::chrono::duration_cast<std::chrono::microseconds>(m_deadline).count();
    if (m_clock->microseconds() - it->second.askedMicros >= deadlineMicros)
        it->second.result = HostLookupResult{{}, kTimedOutCode};
    return it->second.result;
}

void NameLookups::waitMicroseconds(int64_t micros) {
    std::unique_lock<std::mutex> lock(m_shared->mutex);
    m_shared->answered.wait_for(lock, std::chrono::microseconds(micros));
}

namespace {

void lookUpNames(std::shared_ptr<NameLookups::Shared> shared) {
    std::unique_lock<std::mutex> lock(shared->mutex);
    for (;;) {
        shared->wake.wait(lock, [&] { return shared->stopped || !shared->queue.empty(); });
        if (shared->stopped) return;
        const std::string name = std::move(shared->queue.front());
        shared->queue.pop_front();
        lock.unlock();
        HostLookupResult result = shared->lookup(name);
        if (result.errorCode == 0 && result.address.empty())
            result.errorCode = SocketErrorCode::kHostNotFound;
        lock.lock();
        auto& entry = shared->names[name];
        // A name given up for its deadline keeps that answer: its rows are already out.
        if (!entry.result) entry.result = std::move(result);
        shared->answered.notify_all();
    }
}

} // namespace

} // namespace qm
