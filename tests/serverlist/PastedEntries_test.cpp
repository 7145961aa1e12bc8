// What a pasted text holds for the list: whole entries, servers to ask for their game, and
// lines that are neither, control bytes included.
#include "serverlist/PastedEntries.h"

#include <gtest/gtest.h>

using namespace qm;

TEST(PastedEntries, EachLineIsAnEntryAServerToAskOrRejected) {
    enum Kind { Entry, Ask, Rejected };
    const struct {
        std::string line;
        Kind kind;
        const char* read; // the entry or address, or the rejected line as kept
    } cases[] = {
        {"1.2.3.4:27015 cstrike", Entry, "1.2.3.4:27015 cstrike"},
        {"1.2.3.4:27015 cstrike\r", Entry, "1.2.3.4:27015 cstrike"}, // a Windows line end
        {"  1.2.3.4:27015\tvalve  ", Entry, "1.2.3.4:27015 valve"},
        {"1.2.3.4:27015", Ask, "1.2.3.4:27015"},
        {"1.2.3.4:27015 cs\x1B[31m", Rejected, "1.2.3.4:27015 cs\x1B[31m"},
        {std::string("1.2.3.4:27015 cs\0x", 18), Rejected, nullptr},
        {"1.2.3.4:27015 cs\x7F", Rejected, "1.2.3.4:27015 cs\x7F"},
        {"1.2.3.4:27015 two dirs", Rejected, "1.2.3.4:27015 two dirs"},
        {"1.2.3.400:27015 cstrike", Rejected, "1.2.3.400:27015 cstrike"},
        {"game.example:27015 cstrike", Rejected, "game.example:27015 cstrike"},
    };
    for (const auto& c : cases) {
        const PastedEntries p = readPastedEntries("# copied\n" + c.line + "\n");
        SCOPED_TRACE(c.line);
        EXPECT_EQ(p.entries.size(), c.kind == Entry ? 1u : 0u);
        EXPECT_EQ(p.withoutGameDir.size(), c.kind == Ask ? 1u : 0u);
        ASSERT_EQ(p.rejected.size(), c.kind == Rejected ? 1u : 0u);
        if (!c.read) continue;
        const std::string& read = c.kind == Entry ? p.entries[0]
                                  : c.kind == Ask ? p.withoutGameDir[0]
                                                  : p.rejected[0];
        EXPECT_EQ(read, c.read);
    }
}
