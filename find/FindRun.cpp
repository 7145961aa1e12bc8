#include "find/FindRun.h"

#include <condition_variable>
#include <mutex>

namespace qm {

namespace {

// How long Cancel waits for the source before leaving it to end on its own.
constexpr auto kSourceGrace = std::chrono::milliseconds(60);

QueryTarget targetAt(const Endpoint& e) {
    std::string host = e.text();
    host.resize(host.rfind(':'));
    return {std::move(host), e.port};
}

} // namespace

struct FindRun::Shared {
    std::unique_ptr<ServerSource> source;
    std::mutex lock;
    std::condition_variable ended;
    std::condition_variable told; // anything added to `pending`, or an end
    Progress pending;
    std::vector<QueryTarget> toAsk; // found and not yet handed to the batch
    bool sourceEnded = false;
    bool askerEnded = false;
};

FindRun::FindRun(std::unique_ptr<ServerSource> source, BatchOptions options, HostLookup lookup,
                 bool askServers)
    : m_shared(std::make_shared<Shared>()), m_batch(options, std::move(lookup)), m_askServers(askServers) {
    m_shared->source = std::move(source);
    // The source's thread holds its own share: it may outlive the run after a Cancel.
    m_source = std::thread([shared = m_shared, ask = askServers] {
        shared->source->run(
            [&](std::vector<ListedServer> servers) {
                std::lock_guard<std::mutex> lock(shared->lock);
                for (ListedServer& s : servers) {
                    if (ask) shared->toAsk.push_back(targetAt(s.address));
                    shared->pending.found.push_back(std::move(s));
                }
                shared->told.notify_all();
            },
            [&](const std::string& note) {
                std::lock_guard<std::mutex> lock(shared->lock);
                shared->pending.notes.push_back(note);
                shared->told.notify_all();
            });
        std::lock_guard<std::mutex> lock(shared->lock);
        shared->sourceEnded = true;
        shared->ended.notify_all();
        shared->told.notify_all();
    });
    if (!askServers) return;
    m_asker = std::thread([this] {
        std::vector<QueryTarget> targets;
        m_batch.run(
            targets,
            [this](std::vector<QueryTarget>& more) {
                std::lock_guard<std::mutex> lock(m_shared->lock);
                more.insert(more.end(), m_shared->toAsk.begin(), m_shared->toAsk.end());
                m_shared->toAsk.clear();
                return !m_shared->sourceEnded;
            },
            [this](const BatchResult& r) {
                std::lock_guard<std::mutex> lock(m_shared->lock);
                m_shared->pending.results.push_back(r);
                m_shared->told.notify_all();
            },
            [this](size_t index) {
                std::lock_guard<std::mutex> lock(m_shared->lock);
                m_shared->pending.started.push_back(index);
                m_shared->told.notify_all();
            });
        std::lock_guard<std::mutex> lock(m_shared->lock);
        m_shared->askerEnded = true;
        m_shared->told.notify_all();
    });
}

FindRun::~FindRun() {
    cancel();
}

void FindRun::cancel() {
    m_shared->source->cancel();
    m_batch.cancel();
    if (m_asker.joinable()) m_asker.join();
    if (!m_source.joinable()) return;
    std::unique_lock<std::mutex> lock(m_shared->lock);
    const bool ended = m_shared->ended.wait_for(lock, kSourceGrace, [this] { return m_shared->sourceEnded; });
    lock.unlock();
    if (ended)
        m_source.join();
    else
        m_source.detach();
}

void FindRun::waitForProgress(int milliseconds) {
    std::unique_lock<std::mutex> lock(m_shared->lock);
    m_shared->told.wait_for(lock, std::chrono::milliseconds(milliseconds), [this] {
        const Progress& p = m_shared->pending;
        const bool ended = m_shared->sourceEnded && (!m_askServers || m_shared->askerEnded);
        return ended || !p.found.empty() || !p.results.empty() || !p.notes.empty() || !p.started.empty();
    });
}

FindRun::Progress FindRun::take() {
    Progress taken;
    std::lock_guard<std::mutex> lock(m_shared->lock);
    std::swap(taken, m_shared->pending);
    taken.listed = m_shared->sourceEnded;
    taken.finished = m_shared->sourceEnded && (!m_askServers || m_shared->askerEnded);
    return taken;
}

} // namespace qm
