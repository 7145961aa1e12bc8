#pragma once
#include "platform/Clock.h"
#include "query/Exchange.h"
#include "query/Infostring.h"
#include "query/ServerAnswer.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qm {

class TIdUDPClient;

inline constexpr int32_t kRefreshWaitMs = 1000;
inline constexpr int32_t kDetectWaitMs = 5000;

/// What a refresh shows: the memo's lines and the ping label's text.
struct InfoExchange {
    std::vector<std::string> memoLines;
    std::string pingText;
    bool answered = false;
    ServerAnswer answer;
};

/// An info exchange of the window's client under way.
struct InfoExchangeWait {
    Exchange<InfoExchangeRules> exchange;
    /// The clock's counter at the send of the request that is answered.
    int64_t answeredSend = 0;
};

/// Sends the infostring and the A2S_INFO request to host:port, for an answer within
/// `waitMs`. A failed send is thrown.
InfoExchangeWait sendInfoRequests(TIdUDPClient& client, const std::string& host, int32_t port, int32_t waitMs,
                                  const Clock& clock);

/// Waits for the answer to the requests sent, sending A2S_INFO again for each challenge.
/// Socket errors are thrown.
ServerAnswer awaitServerAnswer(TIdUDPClient& client, InfoExchangeWait& wait, const Clock& clock);

/// Sends the infostring and the A2S_INFO request to host:port and reads the answer within
/// 1000 ms. A failed or invalid reply becomes the memo's one line; a failed send is thrown.
InfoExchange runInfoExchange(TIdUDPClient& client, const std::string& host, int32_t port, const Clock& clock,
                             int64_t countsPerMs);

/// The ping in whole milliseconds, halves to the even neighbour; "---" when the counter
/// is too coarse to measure milliseconds.
std::string pingText(int64_t start, int64_t stop, int64_t countsPerMs);

/// Detect: the server's game directory, from either kind of reply, or empty when it
/// answers nothing valid within 5000 ms. Socket failures are thrown.
std::string detectGameDir(TIdUDPClient& client, const std::string& host, int32_t port,
                          const Clock& clock = steadyClock());

} // namespace qm
