// The URL parser: any text parses or is refused, and a parsed URL written out in full
// parses to the same host, port and request target.
#include "fuzz/FuzzCheck.h"
#include "platform/Failure.h"
#include "update/Url.h"

using namespace qm;

namespace {

// A text of the input's bytes mapped onto `alphabet`.
std::string mapped(std::string_view bytes, std::string_view alphabet) {
    std::string out;
    for (unsigned char c : bytes)
        out.push_back(alphabet[c % alphabet.size()]);
    return out;
}

// A URL made of parts the input chooses, parsed: the parts come back as they were put in.
void checkMadeUrl(std::string_view input) {
    if (input.size() < 4) return;
    const auto b = [&](size_t i) { return static_cast<unsigned char>(input[i]); };
    const size_t hostLength = 1 + b(0) % 20, pathLength = b(1) % 30;
    const std::string port = std::to_string(1 + (b(2) << 8 | b(3)) % 65535);
    input.remove_prefix(4);
    const std::string host = mapped(input.substr(0, hostLength), "abcdefghijklmnopqrstuvwxyz0123456789.-");
    const std::string path = "/" + mapped(input.substr(std::min(input.size(), hostLength), pathLength),
                                          "abcdefghijklmnopqrstuvwxyz0123456789/._-~");
    const std::string query = "?q=" + mapped(input.substr(std::min(input.size(), hostLength + pathLength)),
                                             "abcdefghijklmnopqrstuvwxyz0123456789=&%+");
    ParsedUrl url;
    try {
        url = parseUrl("http://" + host + ":" + port + path + query);
    } catch (const Failure&) {
        QM_FUZZ_CHECK(false);
    }
    QM_FUZZ_CHECK(url.protocol == "http" && url.host == host && url.port == port);
    QM_FUZZ_CHECK(url.requestTarget() == path + query);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    checkMadeUrl(text);
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
