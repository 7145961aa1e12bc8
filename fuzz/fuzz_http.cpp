// The HTTP response reader: any answer is read or refused with the program's own message,
// and a body sent in chunks reads as the same bytes sent with a length.
#include "fuzz/FuzzCheck.h"
#include "platform/Failure.h"
#include "update/HttpResponse.h"
#include "update/MemoryBytes.h"

using namespace qm;

namespace {

constexpr size_t kMaxBody = 1 << 20;

std::string readAnswer(const std::string& bytes, size_t step) {
    MemoryBytes source(bytes, step);
    HttpReader reader(source, 1000, kMaxBody);
    const HttpResponseHead head = reader.readHead();
    return reader.readBody(head);
}

std::string hex(size_t n) {
    static const char* digits = "0123456789abcdef";
    std::string h;
    do {
        h.insert(h.begin(), digits[n % 16]);
        n /= 16;
    } while (n);
    return h;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto [answer, body] = fuzz::splitOnce(std::string_view(reinterpret_cast<const char*>(data), size));
    try {
        readAnswer(std::string(answer), 1 + size % 13);
    } catch (const Failure&) {
        // The program's own message for a broken answer.
    } catch (const std::exception& e) {
        // Anything else is a library's message reaching the user.
        std::fprintf(stderr, "not the program's own failure: %s\n", e.what());
        QM_FUZZ_CHECK(false);
    }

    const std::string content(body);
    const std::string sized =
        "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(content.size()) + "\r\n\r\n" + content;
    std::string chunked = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n";
    // Chunk lengths from the content's own bytes, so every split gets tried.
    for (size_t at = 0; at < content.size();) {
        const size_t n =
            std::min<size_t>(content.size() - at, 1 + static_cast<unsigned char>(content[at]) % 64u);
        chunked += hex(n) + "\r\n" + content.substr(at, n) + "\r\n";
        at += n;
    }
    chunked += "0\r\n\r\n";
    QM_FUZZ_CHECK(readAnswer(sized, 5) == content);
    QM_FUZZ_CHECK(readAnswer(chunked, 3) == content);

    // A head made of the input's bytes: its status code and a header read back as put in.
    const int code = 200 + static_cast<int>(size % 400); // 1xx is an interim answer, skipped
    std::string value;
    for (char c : content.substr(0, 200))
        if (c >= 0x21 && c <= 0x7E) value.push_back(c);
    MemoryBytes source("HTTP/1.1 " + std::to_string(code) + " Whatever\r\nX-Fuzz:  " + value +
                           " \r\nContent-Length: 0\r\n\r\n",
                       1 + size % 7);
    HttpReader reader(source, 1000, kMaxBody);
    const HttpResponseHead head = reader.readHead();
    QM_FUZZ_CHECK(head.code == code);
    QM_FUZZ_CHECK(head.header("x-fuzz") == value);
    return 0;
}
