#include "platform/WaitSlicing.h"

#include "platform/DatagramSocket.h"
#include "tests/support/UdpResponder.h"

#include <gtest/gtest.h>

using namespace qm;

namespace {

// A loopback socket that gets a datagram when the test feeds it, and nothing else: it
// is bound by a datagram to a peer that never answers.
class FedSocket {
  public:
    FedSocket() {
        m_socket.sendTo({0x7F000001, m_peer.port()}, "bind");
        m_peer.requestsSoFar();
    }
    void feed() { m_peer.sendTo(m_socket.localPort(), "x"); }
    bool waitReadable(int waitMs, const MessagePump& pump, const Clock& clock = steadyClock()) const {
        return m_socket.waitReadable(waitMs, pump, clock);
    }

  private:
    test::UdpResponder m_peer{[](const std::string&) { return std::string(); }};
    DatagramSocket m_socket;
};

} // namespace

TEST(WaitSlicing, FirstSliceIsTheRemainderOrAWholeSlice) {
    EXPECT_EQ(firstWaitSlice(500), 250);
    EXPECT_EQ(firstWaitSlice(600), 100);
    EXPECT_EQ(firstWaitSlice(100), 100);
    EXPECT_EQ(firstWaitSlice(250), 250);
}

TEST(WaitSlicing, PumpsAfterEverySliceWithoutData) {
    FedSocket socket;
    int pumps = 0;
    EXPECT_FALSE(socket.waitReadable(30, [&] { return ++pumps, true; }));
    EXPECT_EQ(pumps, 1);
}

TEST(WaitSlicing, EndsAtOnceWhenDataIsThere) {
    FedSocket socket;
    socket.feed();
    int pumps = 0;
    EXPECT_TRUE(socket.waitReadable(5000, [&] { return ++pumps, true; }));
    EXPECT_EQ(pumps, 0);
}

TEST(WaitSlicing, DataWrittenByThePumpEndsTheWait) {
    FedSocket socket;
    int pumps = 0;
    EXPECT_TRUE(socket.waitReadable(kWaitForever, [&] {
        if (++pumps == 2) {
            socket.feed();
        }
        return true;
    }));
    EXPECT_EQ(pumps, 2);
}

TEST(WaitSlicing, APumpThatGivesUpEndsTheWait) {
    FedSocket socket;
    EXPECT_FALSE(socket.waitReadable(kWaitForever, [] { return false; }));
}

TEST(WaitSlicing, TheLimitIsKeptOnTheClockHoweverSlowThePump) {
    FedSocket socket;
    // Each servicing of the window takes 900 ms of the clock (in microseconds): a 1000 ms wait (four
    // slices) must end after the second one, not after four.
    ManualClock clock;
    int pumps = 0;
    EXPECT_FALSE(socket.waitReadable(
        1000, [&] { return ++pumps, clock.advanceMilliseconds(900), true; }, clock));
    EXPECT_EQ(pumps, 2);
}
