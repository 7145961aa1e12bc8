#include "app/SettingsTable.h"

#include <gtest/gtest.h>

using namespace qm;

TEST(SettingValues, BooleansAreWholeNumbers) {
    EXPECT_TRUE(readBooleanSetting("2", false));
    EXPECT_FALSE(readBooleanSetting("0", true));
    EXPECT_TRUE(readBooleanSetting("yes", true));
    EXPECT_FALSE(readBooleanSetting("", false));
    EXPECT_TRUE(readBooleanSetting("", true));
}

TEST(SettingValues, IntegersAreBroughtIntoRange) {
    EXPECT_EQ(readIntegerSetting("50", 3000, 100, 99999), 100);
    EXPECT_EQ(readIntegerSetting("abc", 3000, 100, 99999), 3000);
    EXPECT_EQ(readIntegerSetting("0x1F4", 3000, 100, 99999), 500);
    EXPECT_EQ(readIntegerSetting("-5", 500, -1, 99999), -1);
    EXPECT_EQ(readIntegerSetting("123456", 500, -1, 99999), 99999);
}

TEST(SettingRows, SeventeenKeysWithTheMonitorKeySpelledApart) {
    EXPECT_EQ(kSettingRows.size(), 17u);
    EXPECT_STREQ(kSettingRows[7].key, "cbEnabledMonitor");
    EXPECT_STREQ(kSettingRows[7].control, "cbEnableMonitor");
    EXPECT_STREQ(kSettingRows[5].section, " Options");
}
