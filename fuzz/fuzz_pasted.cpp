// Pasted entries: what Copy writes, Paste reads back; no entry holds a control byte; every
// line is an entry, a server to ask, or rejected.
#include "fuzz/FuzzCheck.h"
#include "serverlist/PastedEntries.h"

using namespace qm;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const PastedEntries pasted = readPastedEntries(text);
    std::string copied;
    for (const std::string& entry : pasted.entries) {
        for (char c : entry)
            QM_FUZZ_CHECK(static_cast<unsigned char>(c) >= 0x20 && c != 0x7F);
        QM_FUZZ_CHECK(readPastedEntries(entry).entries == std::vector<std::string>{entry});
        copied += entry + "\r\n";
    }
    for (const std::string& address : pasted.withoutGameDir)
        QM_FUZZ_CHECK(readPastedEntries(address).withoutGameDir == std::vector<std::string>{address});
    // The whole list copied (CR LF, as the clipboard of Windows has it) reads back whole.
    QM_FUZZ_CHECK(readPastedEntries(copied).entries == pasted.entries);
    return 0;
}
