#include "ui/TIdAntiFreeze.h"

#include <gtest/gtest.h>

#include <memory>

TEST(AntiFreeze, OnlyOneMayExist) {
    auto first = std::make_unique<qm::TIdAntiFreeze>();
    try {
        qm::TIdAntiFreeze second;
        FAIL() << "a second anti-freeze was made";
    } catch (const std::exception& e) {
        EXPECT_STREQ(e.what(), "Only one TIdAntiFreeze can exist per application.");
    }
    first.reset();
    EXPECT_NO_THROW(qm::TIdAntiFreeze again);
}
