// The rules exchange: the challenge, a reply in one datagram or in pieces of either split
// layout, in any order and repeated, and the faults a peer can make of them.
#include "query/RulesQuery.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace qm;

namespace {

std::vector<A2sRule> manyRules(int count) {
    std::vector<A2sRule> rules;
    for (int i = 0; i < count; ++i)
        rules.push_back({"rule_" + std::to_string(1000 + i), "value " + std::to_string(i)});
    return rules;
}

// The reply cut into pieces of at most `size` payload bytes, in GoldSrc's layout or the
// later Source one.
std::vector<std::string> pieces(const std::string& whole, size_t size, bool goldSrc, int claimedTotal = 0) {
    const size_t total = (whole.size() + size - 1) / size;
    std::vector<std::string> out;
    for (size_t n = 0; n < total; ++n) {
        std::string p("\xFE\xFF\xFF\xFF\x07\x00\x00\x00", 8);
        const size_t told = claimedTotal ? static_cast<size_t>(claimedTotal) : total;
        if (goldSrc) {
            p.push_back(static_cast<char>(n << 4 | told));
        } else {
            p.push_back(static_cast<char>(told));
            p.push_back(static_cast<char>(n));
            p.push_back(static_cast<char>(size & 0xFF));
            p.push_back(static_cast<char>(size >> 8));
        }
        out.push_back(p + whole.substr(n * size, size));
    }
    return out;
}

// What the rules make of the datagrams in the order given, or what the silence makes.
RulesAnswer readInOrder(const std::vector<std::string>& datagrams) {
    RulesExchangeRules rules;
    for (const std::string& d : datagrams) {
        RulesExchangeRules::Step step = rules.take(d);
        EXPECT_TRUE(step.resend.empty());
        if (step.done) return step.answer;
    }
    if (auto last = rules.atSilence()) return *last;
    return {};
}

} // namespace

TEST(Rules, ChallengeThenTheRulesSortedByName) {
    RulesExchangeRules rules;
    const std::string challenge("\xFF\xFF\xFF\xFF\x41\x01\x02\x03\x04", 9);
    const RulesExchangeRules::Step step = rules.take(challenge);
    EXPECT_FALSE(step.done);
    EXPECT_EQ(step.resend, std::string("\xFF\xFF\xFF\xFFV\x01\x02\x03\x04", 9));
    const RulesAnswer a =
        rules.take(buildA2sRulesReply({{"sv_gravity", "800"}, {"mp_timelimit", "20"}, {"coop", ""}})).answer;
    ASSERT_TRUE(a.offered);
    ASSERT_EQ(a.rules.size(), 3u);
    EXPECT_EQ(a.rules[0].name, "coop");
    EXPECT_EQ(a.rules[1].name, "mp_timelimit");
    EXPECT_EQ(a.rules[1].value, "20");
    // A third challenge in one exchange is a fault.
    RulesExchangeRules stubborn;
    for (int i = 0; i < 2; ++i)
        EXPECT_FALSE(stubborn.take(challenge).done);
    EXPECT_EQ(stubborn.take(challenge).answer.failure, RulesAnswer::kEndlessChallenges);
}

TEST(Rules, PiecesInEitherLayoutAnyOrderAndRepeatedJoinToTheSameRules) {
    const std::vector<A2sRule> sixty = manyRules(100);
    const std::string whole = buildA2sRulesReply(sixty);
    ASSERT_GT(whole.size(), 1400u);
    const auto gold = pieces(whole, 1391, true);
    const auto source = pieces(whole, 1248, false);
    ASSERT_EQ(gold.size(), 2u);
    const struct {
        const char* what;
        std::vector<std::string> datagrams;
    } cases[] = {
        {"one datagram", {buildA2sRulesReply(manyRules(5))}},
        {"GoldSrc, in order", gold},
        {"GoldSrc, last first", {gold[1], gold[0]}},
        {"GoldSrc, repeated", {gold[0], gold[0], gold[1], gold[1]}},
        {"GoldSrc, small pieces reversed",
         [&] {
             auto p = pieces(whole, 200, true);
             std::reverse(p.begin(), p.end());
             return p;
         }()},
        {"Source, in order", source},
        {"Source, out of order", {source[1], source[0]}},
    };
    for (const auto& c : cases) {
        const RulesAnswer a = readInOrder(c.datagrams);
        ASSERT_TRUE(a.offered) << c.what << ": " << a.failure;
        EXPECT_EQ(a.rules.size(), std::string(c.what) == "one datagram" ? 5u : 100u) << c.what;
        EXPECT_EQ(a.rules.back().value, std::string(c.what) == "one datagram" ? "value 4" : "value 99")
            << c.what;
    }
}

TEST(Rules, AMissingPieceALyingTotalAndTooMuchAreSaidNeverRead) {
    const std::string whole = buildA2sRulesReply(manyRules(100));
    const auto gold = pieces(whole, 1391, true);
    const std::string huge = buildA2sRulesReply(manyRules(3500)); // about 80 KiB
    const struct {
        const char* what;
        std::vector<std::string> datagrams;
        std::string failure;
    } cases[] = {
        {"the last piece never came", {gold[0]}, RulesAnswer::kIncomplete},
        {"only the last piece came", {gold[1]}, RulesAnswer::kIncomplete},
        {"a total of three for two pieces", pieces(whole, 1391, true, 3), RulesAnswer::kIncomplete},
        {"over 64 KiB", pieces(huge, 8000, false), "rules refused: the reply is larger than 64 KiB"},
        {"compressed",
         {std::string("\xFE\xFF\xFF\xFF\x07\x00\x00\x80\x02\x00", 10)},
         "rules refused: the reply is compressed"},
        {"something else", {std::string("\xFF\xFF\xFF\xFFXwhat", 9)}, RulesAnswer::kNotARulesReply},
        {"a count past the rules",
         {std::string("\xFF\xFF\xFF\xFF"
                      "E\x05\x00"
                      "a\0b\0",
                      11)},
         RulesAnswer::kNotARulesReply},
    };
    for (const auto& c : cases) {
        const RulesAnswer a = readInOrder(c.datagrams);
        EXPECT_FALSE(a.offered) << c.what;
        EXPECT_EQ(a.failure, c.failure) << c.what;
    }
}
