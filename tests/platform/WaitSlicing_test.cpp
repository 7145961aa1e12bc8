#include "platform/WaitSlicing.h"

#include <gtest/gtest.h>

#include <unistd.h>

using namespace qm;

TEST(WaitSlicing, FirstSliceIsTheRemainderOrAWholeSlice) {
    EXPECT_EQ(firstWaitSlice(500), 250);
    EXPECT_EQ(firstWaitSlice(600), 100);
    EXPECT_EQ(firstWaitSlice(100), 100);
    EXPECT_EQ(firstWaitSlice(250), 250);
}

TEST(WaitSlicing, PumpsAfterEverySliceWithoutData) {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    int pumps = 0;
    EXPECT_FALSE(waitReadable(fds[0], 30, [&] { return ++pumps, true; }));
    EXPECT_EQ(pumps, 1);
    close(fds[0]);
    close(fds[1]);
}

TEST(WaitSlicing, EndsAtOnceWhenDataIsThere) {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    ASSERT_EQ(write(fds[1], "x", 1), 1);
    int pumps = 0;
    EXPECT_TRUE(waitReadable(fds[0], 5000, [&] { return ++pumps, true; }));
    EXPECT_EQ(pumps, 0);
    close(fds[0]);
    close(fds[1]);
}

TEST(WaitSlicing, DataWrittenByThePumpEndsTheWait) {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    int pumps = 0;
    EXPECT_TRUE(waitReadable(fds[0], kWaitForever, [&] {
        if (++pumps == 2) {
            EXPECT_EQ(write(fds[1], "x", 1), 1);
        }
        return true;
    }));
    EXPECT_EQ(pumps, 2);
    close(fds[0]);
    close(fds[1]);
}

TEST(WaitSlicing, APumpThatGivesUpEndsTheWait) {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    EXPECT_FALSE(waitReadable(fds[0], kWaitForever, [] { return false; }));
    close(fds[0]);
    close(fds[1]);
}

TEST(WaitSlicing, TheLimitIsKeptOnTheClockHoweverSlowThePump) {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    // Each servicing of the window takes 900 ms of the clock (in microseconds): a 1000 ms wait (four
    // slices) must end after the second one, not after four.
    ManualClock clock;
    int pumps = 0;
    EXPECT_FALSE(waitReadable(
        fds[0], 1000, [&] { return ++pumps, clock.advanceMilliseconds(900), true; }, clock));
    EXPECT_EQ(pumps, 2);
    close(fds[0]);
    close(fds[1]);
}
