#include "app/ErrorReport.h"

#include <gtest/gtest.h>

using qm::errorReportText;

TEST(ErrorReport, AddsAFullStopAfterALetter) {
    EXPECT_EQ(errorReportText("File not found"), "File not found.");
}

TEST(ErrorReport, KeepsAFullStopThatIsThere) {
    EXPECT_EQ(errorReportText("Socket Error # 10061\r\nConnection refused."),
              "Socket Error # 10061\r\nConnection refused.");
}

TEST(ErrorReport, AddsNothingAfterCharactersThatSortBeforeTheFullStop) {
    EXPECT_EQ(errorReportText("Done!"), "Done!");
    EXPECT_EQ(errorReportText("x -"), "x -");
    EXPECT_EQ(errorReportText(""), "");
}

TEST(ErrorReport, AddsAFullStopAfterDigitsAndClosingQuotes) {
    EXPECT_EQ(errorReportText("I/O error 32"), "I/O error 32.");
    EXPECT_EQ(errorReportText("'x' is not a valid integer value"), "'x' is not a valid integer value.");
    EXPECT_EQ(errorReportText("a/"), "a/.");
}
