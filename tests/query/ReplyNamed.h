#pragma once
// The infostring reply of a demo server with the given name, for query tests.
#include "query/InfoReply.h"

#include <string>

namespace qm::test {

inline std::string replyNamed(const std::string& name) {
    ServerInfo info;
    info.hostname = name;
    return buildInfoReply(info);
}

} // namespace qm::test
