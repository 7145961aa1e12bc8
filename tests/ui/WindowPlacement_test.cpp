#include "ui/WindowPlacement.h"

#include <gtest/gtest.h>

using namespace qm;

TEST(WindowPlacement, BesideTheOwnerWhereTheScreenHasRoomElseCentredOnIt) {
    const QRect screen(0, 0, 1920, 1040);
    const struct {
        const char* what;
        QRect owner;
        QSize size;
        QPoint at;
    } cases[] = {
        {"right of it", {100, 100, 800, 600}, {600, 400}, {900, 100}},
        {"left of it when the right has no room", {1000, 100, 800, 600}, {600, 400}, {400, 100}},
        {"kept on the screen below", {100, 800, 800, 200}, {600, 400}, {900, 640}},
        {"centred on it when neither side has room", {300, 100, 1300, 800}, {1000, 600}, {450, 200}},
        {"a window larger than the screen starts at its corner", {0, 0, 800, 600}, {2500, 1500}, {0, 0}},
        {"right against the screen's edge", {0, 0, 1320, 600}, {600, 400}, {1320, 0}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(placeBeside(c.owner, c.size, screen), c.at) << c.what;
    // A screen that does not start at 0 (a second monitor to the left).
    EXPECT_EQ(placeBeside({-1800, 50, 800, 600}, {600, 400}, {-1920, 0, 1920, 1080}), QPoint(-1000, 50));
}
