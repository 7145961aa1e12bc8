// A compressed answer that inflates past the cap is refused at the cap, counted as it
// inflates: the Linux client accepts compression (the Windows one asks for none).
#include "find/SteamServerList.h"
#include "tests/support/TcpTestServer.h"

#include <gtest/gtest.h>
#include <zlib.h>

using namespace qm;
using namespace qm::test;

namespace {

// `size` zero bytes as one gzip member: about a thousandth of their size.
std::string gzippedZeros(size_t size) {
    z_stream z{};
    EXPECT_EQ(deflateInit2(&z, Z_BEST_COMPRESSION, Z_DEFLATED, 15 + 16, 9, Z_DEFAULT_STRATEGY), Z_OK);
    const std::string zeros(1 << 20, '\0');
    std::string out(deflateBound(&z, static_cast<uLong>(size)), '\0');
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    for (size_t done = 0; done < size; done += zeros.size()) {
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(zeros.data()));
        z.avail_in = static_cast<uInt>(zeros.size());
        deflate(&z, done + zeros.size() >= size ? Z_FINISH : Z_NO_FLUSH);
    }
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

} // namespace

TEST(CompressedAnswer, ABombInflatingPastTheCapIsRefusedAtTheCap) {
    const std::string bomb = gzippedZeros(size_t{256} << 20);
    ASSERT_LT(bomb.size(), size_t{1} << 20);
    TcpTestServer server([&](TcpTestServer::Connection& c) {
        c.readRequest();
        c.send("HTTP/1.1 200 OK\r\nContent-Encoding: gzip\r\nContent-Length: " + std::to_string(bomb.size()) +
               "\r\n\r\n" + bomb);
    });
    SteamListRequest r;
    r.key = "0123456789ABCDEF0123456789ABCDEF";
    r.apiBase = "http://127.0.0.1:" + std::to_string(server.port());
    r.testPlainHttp = true;
    r.maxBytes = 1u << 20;
    const SteamListAnswer a = fetchSteamList(r, nullptr, [](const std::string&) {});
    EXPECT_EQ(a.problem, "Steam's answer was too large to take; ask for fewer servers.");
}
