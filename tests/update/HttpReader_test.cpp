#include "platform/Failure.h"
#include "update/ByteSource.h"
#include "update/HttpResponse.h"
#include "update/MemoryBytes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

using namespace qm;

namespace {

using ScriptedBytes = MemoryBytes;

struct Read {
    HttpResponseHead head;
    std::string body;
};

Read readAll(const std::string& bytes, size_t maxBody = 1 << 24) {
    ScriptedBytes source(bytes);
    HttpReader reader(source, 1000, maxBody);
    Read r;
    r.head = reader.readHead();
    r.body = reader.readBody(r.head);
    return r;
}

std::string failureOf(const std::string& bytes) {
    try {
        readAll(bytes);
    } catch (const std::exception& e) {
        return e.what();
    }
    return "(no failure)";
}

} // namespace

TEST(HttpReader, StatusCodeIsTheSecondWord) {
    EXPECT_EQ(readAll("HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n").head.code, 404);
    EXPECT_EQ(readAll("HTTP/1.1   200   OK\r\nContent-Length: 0\r\n\r\n").head.code, 200);
    EXPECT_EQ(readAll("HTTP/1.1 abc\r\nContent-Length: 0\r\n\r\n").head.code, -1);
    EXPECT_EQ(readAll("garbage\r\nContent-Length: 0\r\n\r\n").head.code, -1);
}

TEST(HttpReader, BodyByLengthAndLoneLfLineEnds) {
    const Read r = readAll("HTTP/1.1 200 OK\nContent-Length: 5\n\nhelloEXTRA");
    EXPECT_EQ(r.body, "hello");
}

TEST(HttpReader, ContinuationLinesJoinWithSingleBlanks) {
    const Read r =
        readAll("HTTP/1.1 200 OK\r\nX-Long: one\r\n  two\r\n\tthree \r\nContent-Length: 0\r\n\r\n");
    EXPECT_EQ(r.head.header("x-long"), "one two three");
}

TEST(HttpReader, HundredContinueIsSkipped) {
    const Read r = readAll("HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok");
    EXPECT_EQ(r.head.code, 200);
    EXPECT_EQ(r.body, "ok");
}

TEST(HttpReader, LineLengthLimit) {
    const std::string ok =
        "HTTP/1.1 200 OK\r\nX: " + std::string(16384 - 3, 'a') + "\r\nContent-Length: 0\r\n\r\n";
    EXPECT_EQ(readAll(ok).head.code, 200);
    const std::string tooLong = "HTTP/1.1 200 OK\r\nX: " + std::string(16385 - 3, 'a') + "\r\n\r\n";
    EXPECT_EQ(failureOf(tooLong), "Max line length exceeded.");
}

TEST(HttpReader, ChunkedBody) {
    const Read r = readAll(
        "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n3 ext\r\n abc\r\n0\r\n\r\n");
    EXPECT_EQ(r.body, "hello ab");
    const Read five = readAll("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\n12345\r\n0\r\n\r\n");
    EXPECT_EQ(five.body, "12345");
}

TEST(HttpReader, BodyToTheClose) {
    EXPECT_EQ(readAll("HTTP/1.1 200 OK\r\n\r\nall of it").body, "all of it");
}

TEST(HttpReader, ShortContentLengthFails) {
    EXPECT_EQ(failureOf("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n" + std::string(60, 'x')),
              "Connection Closed Gracefully.");
}

TEST(HttpReader, CloseInTheStatusOrFirstHeaderLineFails) {
    EXPECT_EQ(failureOf("HTTP/1.1 20"), "Connection Closed Gracefully.");
    EXPECT_EQ(failureOf("HTTP/1.1 200 OK\r\nServ"), "Connection Closed Gracefully.");
}

TEST(HttpReader, CloseInALaterHeaderLineEndsTheHead) {
    ScriptedBytes source("HTTP/1.1 200 OK\r\nServer: x\r\nDate: y");
    HttpReader reader(source, 1000, 1 << 20);
    const HttpResponseHead head = reader.readHead();
    EXPECT_TRUE(head.closedInHead);
    EXPECT_EQ(head.header("Server"), "x");
}

TEST(HttpReader, BodyIsCapped) {
    EXPECT_EQ(failureOf("HTTP/1.1 200 OK\r\nContent-Length: 999999999\r\n\r\n"),
              "The answer is larger than 16 MiB; it was not read");
    try {
        readAll("HTTP/1.1 200 OK\r\n\r\n" + std::string(3000, 'x'), 2048);
        FAIL();
    } catch (const Failure&) {
    }
}

TEST(HttpReader, NoContentHasNoBody) {
    EXPECT_EQ(readAll("HTTP/1.1 204 No Content\r\n\r\nstray").body, "");
}

TEST(HttpReader, HostileHeadsAreRefusedWithAClearMessage) {
    const std::string ok = "HTTP/1.1 200 OK\r\n";
    std::string manyLines = ok, bigHead = ok, manyFolds = ok + "X: a\r\n", manyContinues;
    for (int i = 0; i < 101; ++i)
        manyLines += "X-" + std::to_string(i) + ": 1\r\n";
    bigHead += "X: " + std::string(16000, 'a') + "\r\n";
    bigHead += bigHead.substr(ok.size()) + bigHead.substr(ok.size()) + bigHead.substr(ok.size()) +
               bigHead.substr(ok.size());
    for (int i = 0; i < 100000; ++i)
        manyFolds += " b\r\n";
    for (int i = 0; i < 7; ++i)
        manyContinues += "HTTP/1.1 100 Continue\r\n\r\n";
    for (const std::string& head : {manyLines, bigHead, manyFolds})
        EXPECT_EQ(failureOf(head + "\r\n"), HttpReader::kHeaderTooLarge);
    EXPECT_EQ(failureOf(manyContinues + ok + "Content-Length: 0\r\n\r\n"), HttpReader::kTooManyContinues);
    // A few continues and a few folds are what real servers send.
    const Read r =
        readAll("HTTP/1.1 100 Continue\r\n\r\n" + ok + "X: a \r\n  b\r\n\tc\r\nContent-Length: 2\r\n\r\nhi");
    EXPECT_EQ(r.head.header("X"), "a b c");
    EXPECT_EQ(r.body, "hi");
}

TEST(HttpReader, ChunkSizesAreHexWithLeadingZerosAndTheCapHolds) {
    const std::string ok = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n";
    EXPECT_EQ(readAll(ok + "0000000000000005\r\nhello\r\n0\r\n\r\n").body, "hello");
    EXPECT_EQ(readAll(ok + "5;name=value\r\nhello\r\n0\r\n\r\n").body, "hello");
    const std::string capped = failureOf(ok + "FFFFFFFFFFFFFFFF\r\nhello\r\n0\r\n\r\n");
    EXPECT_EQ(capped.rfind("The answer is larger than", 0), 0u) << capped;
    EXPECT_EQ(failureOf(ok + "10000000000000000000\r\nx\r\n"), capped);
}

// After a first chunk, a size near SIZE_MAX once wrapped the cap check and the read wrote
// past the body; every oversized size after real bytes must be refused the same way.
TEST(HttpReader, OversizedChunkAfterASmallOneIsRefused) {
    const std::string ok = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n";
    for (const char* size : {"FFFFFFFFFFFFFFFF", "FFFFFFFFFFFFFFFB", "10000000000000000000", "1000001"}) {
        const std::string failure = failureOf(ok + size + "\r\nworld\r\n0\r\n\r\n");
        EXPECT_EQ(failure.rfind("The answer is larger than", 0), 0u) << size << ": " << failure;
    }
}
