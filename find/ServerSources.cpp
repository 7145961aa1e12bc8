#include "find/ServerSources.h"

namespace qm {

std::string masterOutcomeText(const MasterOutcome& o) {
    std::string text = o.master + ": " + std::to_string(o.servers);
    if (o.servers < o.listed) text += " new of " + std::to_string(o.listed);
    text += o.listed == 1 ? " server" : " servers";
    if (!o.endedEarly.empty()) text += " (" + o.endedEarly + ")";
    if (o.unaskable > 0)
        text += ", " + std::to_string(o.unaskable) + " at addresses no game server has, not asked";
    if (!o.whole()) text += ", " + o.problem;
    return text;
}

MasterSource::MasterSource(std::vector<std::string> masters, MasterSearchOptions options, HostLookup lookup)
    : m_masters(std::move(masters)), m_search(std::move(options), std::move(lookup)) {}

void MasterSource::run(const Found& found, const Note& note) {
    if (m_masters.empty()) {
        note("No master server to ask.");
        return;
    }
    m_search.run(
        m_masters,
        [&](const std::vector<Endpoint>& servers) {
            std::vector<ListedServer> listed(servers.size());
            for (size_t i = 0; i < servers.size(); ++i)
                listed[i].address = servers[i];
            found(std::move(listed));
        },
        [&](const MasterOutcome& outcome) {
            if (outcome.whole()) m_whole = true;
            note(masterOutcomeText(outcome));
        });
}

void SteamListSource::run(const Found& found, const Note& note) {
    SteamListAnswer answer = fetchSteamList(m_request, &m_cancelled, note);
    if (m_cancelled) return;
    if (!answer.problem.empty()) {
        note(answer.problem);
        return;
    }
    m_whole = true;
    const size_t count = answer.servers.size();
    found(std::move(answer.servers));
    std::string text = "Steam: " + std::to_string(count) + (count == 1 ? " server" : " servers");
    if (answer.unreadable > 0) text += ", " + std::to_string(answer.unreadable) + " without an address";
    if (answer.repeated > 0) text += ", " + std::to_string(answer.repeated) + " listed twice";
    if (answer.unaskable > 0)
        text += ", " + std::to_string(answer.unaskable) + " at addresses no game server has, not asked";
    note(text);
}

} // namespace qm
