#include "query/FailureState.h"

namespace qm {

std::string noReplyState(int tries, int silenceMs) {
    const std::string each =
        silenceMs % 1000 == 0 ? std::to_string(silenceMs / 1000) + " s" : std::to_string(silenceMs) + " ms";
    return "no reply (" + std::to_string(tries) + (tries == 1 ? " try, " : " tries, ") + each + " each)";
}

} // namespace qm
