// The URL parser: any text parses or is refused, and a parsed URL written out in full
// parses to the same host, port and request target.
#include "fuzz/FuzzCheck.h"
#include "platform/Failure.h"
#include "update/Url.h"

using namespace qm;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    ParsedUrl url;
    try {
        url = parseUrl(text);
    } catch (const Failure&) {
        return 0;
    }
    url.requestTarget();
    url.hostHeader();
    // Only a plain URL of the client's own protocols is written out and read again.
    const bool numericPort =
        !url.port.empty() && url.port.find_first_not_of("0123456789") == std::string::npos;
    if ((url.protocol == "http" || url.protocol == "https") && !url.host.empty() && numericPort &&
        url.host.find_first_of("/:@?#") == std::string::npos && url.path.rfind("/", 0) == 0 &&
        url.requestTarget().find('#') == std::string::npos) {
        ParsedUrl again;
        try {
            again = parseUrl(url.absoluteTarget());
        } catch (const Failure&) {
            QM_FUZZ_CHECK(false);
        }
        QM_FUZZ_CHECK(again.host == url.host && again.port == url.port);
        QM_FUZZ_CHECK(again.requestTarget() == url.requestTarget());
    }
    return 0;
}
