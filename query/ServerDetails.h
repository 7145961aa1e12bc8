#pragma once
#include "query/A2sInfo.h"
#include "query/ServerAnswer.h"

#include <optional>
#include <string>
#include <vector>

namespace qm {

/// One labelled line of what a server told of itself ("Map", "de_dust2").
struct DetailField {
    std::string label, value;
};

/// What one answer tells a player who looks at the server closely, whatever it speaks.
struct ServerFacts {
    std::vector<DetailField> fields;
    /// The counts as the server gives them; -1 where it gives none.
    int players = -1, maxPlayers = -1, bots = -1;
    /// It says a password is needed (A2S visibility 1, the infostring's "password" 1).
    bool password = false;
    /// The port a game connects to, when the answer names one (A2S extra data).
    std::optional<uint16_t> gamePort;
};

/// Whether the answer says a password is needed, and the game port it names: what a
/// join needs, without the rest of the facts.
bool needsPassword(const ServerAnswer& answer);
std::optional<uint16_t> gamePortOf(const ServerAnswer& answer);

/// The facts of an answer; `address` is the "ip:port" that was asked.
ServerFacts factsOf(const ServerAnswer& answer, const std::string& address);

/// "h:mm:ss" of a player's time on the server.
std::string connectedTime(float seconds);

/// The most players a server of these games holds.
inline constexpr int kMostPlayers = 64;

/// Why the players a server claims do not add up, or empty when they do: it claims
/// more than the game allows, more than its list holds, or every listed player has
/// played the same time. `listed` is null when the server gave no list.
std::string fakePlayersReason(const ServerFacts& facts, const std::vector<A2sPlayer>* listed);

} // namespace qm
