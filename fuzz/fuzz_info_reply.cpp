// A server's reply to the info exchange, in either protocol: it gives an answer or a
// failure text of the program's own, and the memo shows ten lines that hold no byte of
// the server's that could start another.
#include "fuzz/FuzzCheck.h"
#include "query/InfoQuery.h"
#include "query/ServerAnswer.h"

using namespace qm;

namespace {

// What the memo shows is exactly its ten lines: no server's byte may start another one
// (or move the cursor of a terminal that prints them).
void checkTenShownLines(const std::vector<std::string>& lines) {
    QM_FUZZ_CHECK(lines.size() == 10);
    for (const std::string& line : lines)
        for (const char c : line)
            QM_FUZZ_CHECK(static_cast<unsigned char>(c) >= 0x20 && c != 0x7F);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string datagram(reinterpret_cast<const char*>(data), size);
    InfoExchangeRules rules;
    InfoExchangeRules::Step step = rules.take(datagram);
    // A challenge is answered; what follows it is read the same way.
    for (int i = 0; !step.done && i < 3; ++i) {
        QM_FUZZ_CHECK(step.resend.rfind("\xFF\xFF\xFF\xFFT", 0) == 0);
        step = rules.take(datagram);
    }
    QM_FUZZ_CHECK(step.done);
    const ServerAnswer& a = step.answer;
    if (!a.answered()) {
        // The program's own words; after "Invalid message: " come the server's bytes.
        constexpr std::string_view kInvalid = "Invalid message: ";
        const bool invalid = a.failure.rfind(kInvalid, 0) == 0;
        QM_FUZZ_CHECK(invalid || a.failure == "No data!");
        for (const char c : a.failure)
            QM_FUZZ_CHECK(static_cast<unsigned char>(c) >= 0x20 && c != 0x7F);
    } else {
        checkTenShownLines(a.lines("127.0.0.1", 27015));
        a.summary();
        a.gameDir();
    }
    if (isValidInfoReply(datagram)) checkTenShownLines(infoLines(datagram));
    return 0;
}
