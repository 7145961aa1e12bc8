#include "database/Db2File.h"
#include "database/Db2Format.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

using namespace qm;
using namespace qm::test;

TEST(Db2Key, IsTheLineNumberTimesTheMultiplierInDigits) {
    EXPECT_EQ(db2LineKey(0), "0");
    EXPECT_EQ(db2LineKey(1), std::to_string(kDb2KeyMultiplier));
    EXPECT_EQ(db2LineKey(1000), std::to_string(1000 * kDb2KeyMultiplier));
}

// Readers and writers walk down a file with running keys; each must be the line's own, also
// where a carry makes the key one digit longer, and from any line on.
TEST(Db2Key, RunningKeysAreEachLinesOwn) {
    for (const uint64_t first : {uint64_t{0}, uint64_t{3}, uint64_t{31545}, uint64_t{3154574}}) {
        Db2LineKeys keys(first);
        for (uint64_t line = first; line < first + 40000; ++line, keys.next())
            ASSERT_EQ(keys.key(), db2LineKey(line)) << line;
    }
}

TEST(Db2Scrambling, RoundTripsEveryByteForKeysOfSeveralLengths) {
    std::string all;
    for (int b = 0; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    for (const char* key : {"0", "7", "317", "12345678", "9876543210123"}) {
        const std::string scrambled = scrambleLine(all, key);
        EXPECT_EQ(scrambled.size(), all.size());
        EXPECT_EQ(unscrambleLine(scrambled, key), all) << key;
    }
    EXPECT_EQ(scrambleLine("", "123"), "");
    EXPECT_EQ(unscrambleLine("", "123"), "");
}

TEST(Db2Scrambling, FirstTextByteMeetsTheKeysSecondByte) {
    // Key "123": bytes meet '2', '3', '1', '2', ...
    EXPECT_EQ(scrambleLine(std::string(4, '\0'), "123"), "2312");
    EXPECT_EQ(scrambleLine(std::string(1, '\0'), "123"), "2");
    EXPECT_EQ(scrambleLine(std::string(3, '\0'), "5"), "555");
}

TEST(Db2Scrambling, WrapsModulo256) {
    for (char b = '0'; b <= '9'; ++b) {
        const std::string key = std::string(1, b);
        const std::string out = scrambleLine("\xFF", key);
        EXPECT_EQ(static_cast<unsigned char>(out[0]), static_cast<unsigned char>(b - 1));
        EXPECT_EQ(unscrambleLine(out, key), "\xFF");
    }
}

TEST(Db2Scrambling, PrintableAsciiIsAlwaysSafe) {
    for (int c = 0x20; c <= 0x7E; ++c)
        for (char digit = '0'; digit <= '9'; ++digit) {
            const auto out = static_cast<unsigned char>(
                scrambleLine(std::string(1, static_cast<char>(c)), std::string(1, digit))[0]);
            EXPECT_GE(out, 0x50);
            EXPECT_LE(out, 0xB7);
        }
}

TEST(Db2Scrambling, UnsafeBytesAreTheOnesTheFormatNames) {
    for (int c = 0; c < 256; ++c) {
        bool unsafe = false;
        for (char digit = '0'; digit <= '9'; ++digit) {
            const char out = scrambleLine(std::string(1, static_cast<char>(c)), std::string(1, digit))[0];
            unsafe = unsafe || out == '\n' || out == '\r' || out == '\x1A';
        }
        const bool named = (c >= 0xD1 && c <= 0xDD) || (c >= 0xE1 && c <= 0xEA);
        EXPECT_EQ(unsafe, named) << c;
    }
}

TEST(Db2Scrambling, FindsTheFirstLineThatCannotBeStored) {
    EXPECT_FALSE(firstUnsafeLine({"Quillmark", "b", "d", "0", "/Custom build", "1.2.3.4:5 cstrike"}));
    // Line 5's key is "1585"; its second digit, '5', meets the first byte: 0xD8 + 0x35 = 0x0D.
    EXPECT_EQ(firstUnsafeLine({"Quillmark", "b", "d", "0", "/Custom build", "\xD8"}), 5u);
    // Appending keeps what was there and says whether the new line can be stored.
    std::string out = "kept";
    EXPECT_TRUE(appendScrambled(out, "1.2.3.4:5 cstrike", db2LineKey(5)));
    EXPECT_FALSE(appendScrambled(out, "\xD8", db2LineKey(5)));
    EXPECT_EQ(out.substr(0, 4), "kept");
}

TEST(Db2File, WritesScrambledLinesWithCrLfAndReadsThemBack) {
    TempDir dir;
    {
        Db2Writer out(dir.file("t.db2"));
        out.writeLine("Quillmark");
        out.writeLine(std::string(5000, 'x'));
        out.commit();
    }
    const std::string raw = readAll(dir.file("t.db2"));
    EXPECT_EQ(raw.substr(0, 11), scrambleLine("Quillmark", "0") + "\r\n");
    Db2Reader in(dir.file("t.db2"));
    EXPECT_EQ(in.readLine(), "Quillmark");
    EXPECT_EQ(in.readLine(), std::string(5000, 'x'));
    EXPECT_TRUE(in.atEnd());
    EXPECT_EQ(in.readLine(), "");
}

TEST(Db2Format, ScramblingOfEveryLengthMatchesTheByteRule) {
    for (const uint64_t lineNumber : {0ull, 1ull, 7ull, 123456789ull}) {
        const std::string key = db2LineKey(lineNumber);
        for (const size_t length : {1u, 5u, 28u, 64u, 65u, 255u, 256u, 257u, 4095u, 4096u, 9000u}) {
            std::string plain(length, '\0');
            for (size_t i = 0; i < length; ++i)
                plain[i] = static_cast<char>(i * 31 + 7);
            const std::string scrambled = scrambleLine(plain, key);
            ASSERT_EQ(scrambled.size(), length);
            for (size_t p = 0; p < length; ++p)
                ASSERT_EQ(static_cast<unsigned char>(scrambled[p]),
                          static_cast<unsigned char>(plain[p] + key[(p + 1) % key.size()]))
                    << "line " << lineNumber << ", length " << length << ", byte " << p;
            EXPECT_EQ(unscrambleLine(scrambled, key), plain);
            // Straight into a writer's buffer, short lines a byte at a time: the same bytes.
            std::string into(length, '\0');
            scrambleInto(into.data(), plain, key);
            EXPECT_EQ(into, scrambled) << "line " << lineNumber << ", length " << length;
            unscrambleInto(into.data(), scrambled, key);
            EXPECT_EQ(into, plain) << "line " << lineNumber << ", length " << length;
        }
    }
}
