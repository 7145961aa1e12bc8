#pragma once

namespace qm {

/// Why a question asked of one server (its players, its rules) got no answer.
struct OneServerFailures {
    static constexpr const char* kStopped = "stopped";
    static constexpr const char* kNameNotFound = "name not found";
    static constexpr const char* kSendFailed = "the request could not be sent";
    static constexpr const char* kPortClosed = "port closed";
    static constexpr const char* kEndlessChallenges = "challenged without end";
    static constexpr const char* kNoReply = "no reply";
};

} // namespace qm
