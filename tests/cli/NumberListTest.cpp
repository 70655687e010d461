// Lists of plain numbers: exactly as many fields as asked, each all digits
// (a point in decimals, a leading minus only where allowed).
#include "cli/NumberList.h"

#include <gtest/gtest.h>

#include <string>

namespace number_list_test {

namespace {

TEST(NumberList, EveryFieldIsAPlainNumberAndTheCountIsExact) {
    const auto minus = [](std::string_view f) { return PlainDecimal(f, Sign::MinusAllowed); };
    const struct {
        std::string text;
        bool wholes;   // three whole numbers
        bool decimals; // three decimals without a sign
        bool signedDecimals;
    } cases[] = {
        {"1,22,333", true, true, true},        {"2147483647,0,0", true, true, true},
        {"2147483648,0,0", false, true, true}, // past an int32
        {"1.5,2,3", false, true, true},        {"-1.5,2,-.5", false, false, true},
        {"--1,2,3", false, false, false},      {"-,2,3", false, false, false},
        {"1.2.3,2,3", false, false, false},    {"1,2", false, false, false},
        {"1,2,3,", false, false, false},       {"1,,3", false, false, false},
        {"+1,2,3", false, false, false},       {"1e2,2,3", false, false, false},
        {"1,2,3 ", false, false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ((ParseNumberList<std::int32_t, 3>(c.text, WholeNumber)).has_value(), c.wholes)
            << c.text;
        EXPECT_EQ(
            (ParseNumberList<double, 3>(c.text, [](std::string_view f) { return PlainDecimal(f); }))
                .has_value(),
            c.decimals)
            << c.text;
        EXPECT_EQ((ParseNumberList<double, 3>(c.text, minus)).has_value(), c.signedDecimals)
            << c.text;
    }
    EXPECT_EQ((*ParseNumberList<double, 3>("-1.5,2,-.5", minus))[2], -0.5);
}

} // namespace

} // namespace number_list_test
