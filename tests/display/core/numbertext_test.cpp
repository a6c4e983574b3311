#include "numbertext.h"

#include <gtest/gtest.h>

using namespace vornestw;

namespace {

TEST(LeadingNumber, ReadsTheLongestLeadingNumber)
{
    struct Row
    {
        const char* text;
        std::optional<double> value;
    };
    const Row rows[] = {
        {"7", 7},      {" 7", 7},  {"7abc", 7},  {"1 2", 12},   {"-3", -3},  {"7.9", 7.9},
        {"1e3", 1000}, {"2E", 2},  {"&H1F", 31}, {"&o17", 15},  {"abc", {}}, {"", {}},
        {".", {}},     {"&H", {}}, {"+.5", 0.5}, {"1e999", {}}, {"25", 25},
    };
    for (const Row& r : rows)
        EXPECT_EQ(LeadingNumber(r.text), r.value) << r.text;
}

TEST(WholeNumberIn, CutsTheFractionAndChecksTheRange)
{
    EXPECT_EQ(WholeNumberIn("7", 1, 20), 7);
    EXPECT_EQ(WholeNumberIn("20.99", 1, 20), 20);
    EXPECT_EQ(WholeNumberIn("25", 1, 20), std::nullopt);
    EXPECT_EQ(WholeNumberIn("0", 1, 20), std::nullopt);
    EXPECT_EQ(WholeNumberIn("0.5", 1, 20), std::nullopt);
    EXPECT_EQ(WholeNumberIn("x", 1, 20), std::nullopt);
    EXPECT_EQ(WholeNumberIn("256", 0, 255), std::nullopt);
    EXPECT_EQ(WholeNumberIn("99999999999999999999", 0, 255), std::nullopt);
    EXPECT_EQ(WholeNumberIn("255", 0, 255), 255);
}

} // namespace
