#include "query/ServerAnswer.h"

#include "platform/TextTools.h"
#include "query/InfoQuery.h"

#include <algorithm>

namespace qm {

namespace {

constexpr std::string_view kSplitMarker = "\xFE\xFF\xFF\xFF";

// Replies of the A2S family that are no answer to an info request.
bool isOtherA2sReply(char type) {
    return type == 'D' || type == 'E' || type == 'j';
}

std::string a2sFault(const std::string& datagram) {
    return "Invalid message: " + readableBytes(std::string_view(datagram).substr(4));
}

} // namespace

ServerAnswer ServerAnswer::failed(std::string text) {
    ServerAnswer a;
    a.failure = std::move(text);
    return a;
}

std::string ServerAnswer::protocolName() const {
    switch (kind) {
    case Kind::Infostring:
        return "infostring";
    case Kind::A2s:
        return "A2S";
    default:
        return "";
    }
}

std::vector<std::string> ServerAnswer::lines(const std::string& host, int32_t port) const {
    if (kind == Kind::Infostring) return infoLines(infostring);
    if (kind != Kind::A2s) return {};
    // Every text the server chose is shown with its control bytes escaped: a line end in a
    // name must not add a line of its own.
    const std::string address = info.layout == 'm'
                                    ? escapedControls(info.address)
                                    : host + ":" + std::to_string(info.gamePort.value_or(port));
    const std::string max = std::to_string(info.maxPlayers);
    return {"Protocol: " + std::to_string(info.protocol),
            "Address: " + address,
            "Players: " + std::to_string(info.players) + "/" + max,
            "Max. players: " + max,
            "Bots: " + (info.bots ? std::to_string(*info.bots) : std::string("-")),
            "Mod: " + escapedControls(info.folder),
            "Mod description: " + escapedControls(info.game),
            "Server: " + escapedControls(info.name),
            "Map: " + escapedControls(info.map),
            "Use of password: " + std::to_string(info.visibility)};
}

ServerSummary ServerAnswer::summary() const {
    if (kind == Kind::Infostring) {
        const auto v = [&](std::string_view key) {
            return escapedControls(shownValue(infoValue(infostring, key)));
        };
        return {v("hostname"), v("map"), v("players"), v("max"), v("bots")};
    }
    if (kind == Kind::A2s)
        return {escapedControls(info.name), escapedControls(info.map), std::to_string(info.players),
                std::to_string(info.maxPlayers), info.bots ? std::to_string(*info.bots) : std::string("-")};
    return {"-", "-", "-", "-", "-"};
}

std::string ServerAnswer::gameDir() const {
    if (kind == Kind::Infostring) return shownValue(infoValue(infostring, "gamedir"));
    return kind == Kind::A2s ? info.folder : std::string();
}

const std::vector<std::string>& InfoExchangeRules::firstRequests() {
    static const std::vector<std::string> requests{kInfoRequest, kA2sInfoRequest};
    return requests;
}

InfoExchangeRules::Step InfoExchangeRules::take(const std::string& datagram) {
    Step step;
    step.done = true;
    // A piece of a split reply: a server that split its info answer, which none should.
    if (datagram.rfind(kSplitMarker, 0) == 0) {
        step.answer = ServerAnswer::failed(a2sFault(datagram));
        return step;
    }
    if (!isValidInfoReply(datagram)) {
        step.answer = ServerAnswer::failed(
            "Invalid message: " +
            escapedControls(std::string_view(datagram).substr(std::min<size_t>(4, datagram.size()))));
        return step;
    }
    const char type = datagram.size() > 4 ? datagram[4] : '\0';
    if (type == 'A') {
        const auto challenge = parseA2sChallenge(datagram);
        if (!challenge || ++m_challenges > kMaxChallenges) {
            step.answer = ServerAnswer::failed(a2sFault(datagram));
            return step;
        }
        step.done = false;
        step.resend = kA2sInfoRequest + *challenge;
        return step;
    }
    if (type == 'I' || type == 'm') {
        const auto info = parseA2sInfo(datagram);
        if (!info) {
            step.answer = ServerAnswer::failed(a2sFault(datagram));
            return step;
        }
        step.answer.kind = ServerAnswer::Kind::A2s;
        step.answer.info = *info;
        return step;
    }
    if (isOtherA2sReply(type)) {
        step.answer = ServerAnswer::failed(a2sFault(datagram));
        return step;
    }
    // Anything else after the marker is an infostring reply, read as it always was.
    step.answer.kind = ServerAnswer::Kind::Infostring;
    step.answer.infostring = datagram;
    return step;
}

} // namespace qm
