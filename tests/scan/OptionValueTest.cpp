// Values typed for options, checked against each option's constraint before
// they reach a device.
#include "scan/OptionValue.h"

#include <gtest/gtest.h>

#include <limits>

namespace option_value_test {

namespace {

OptionDescriptor Option(OptionType type, OptionConstraint constraint, std::size_t words = 1) {
    OptionDescriptor option;
    option.name = "opt";
    option.type = type;
    option.size = type == OptionType::String ? 32 : words * kOptionWordSize;
    option.constraint = std::move(constraint);
    return option;
}

struct Case {
    const char* name;
    OptionDescriptor option;
    const char* text;
    bool accepted;
    OptionValue value; // when accepted
};

const OptionDescriptor kDpi = Option(OptionType::Int, OptionRange{50, 1200, 25});
const OptionDescriptor kFixedDpi =
    Option(OptionType::Fixed, OptionRange{FixedOf(1), FixedOf(1200), 0});
const OptionDescriptor kAnyFixed = Option(OptionType::Fixed, {});
const OptionDescriptor kDepth = Option(OptionType::Int, OptionWordList{1, 8, 16});
const OptionDescriptor kMode = Option(OptionType::String, OptionStringList{"Gray", "Color"});
const OptionDescriptor kText = Option(OptionType::String, {}); // 32 bytes, its NUL included
const OptionDescriptor kSwitch = Option(OptionType::Bool, {});
const OptionDescriptor kTable = Option(OptionType::Int, OptionRange{0, 255, 0}, 3);

TEST(OptionValue, TextIsTakenOnlyWithinTheConstraint) {
    const Case cases[] = {
        {"range low end", kDpi, "50", true, {{50}, {}}},
        {"range on a step", kDpi, "325", true, {{325}, {}}},
        {"range off its step", kDpi, "310", false, {}},
        {"range above", kDpi, "1225", false, {}},
        {"int with a sign", kDpi, "+300", false, {}},
        {"int with junk", kDpi, "300dpi", false, {}},
        {"fixed whole number", kFixedDpi, "300", true, {{300 << 16}, {}}},
        {"fixed fraction", kFixedDpi, "0.5", false, {}},
        {"fixed fraction in range", kFixedDpi, "1.5", true, {{3 << 15}, {}}},
        {"fixed rounding up to 32768", kAnyFixed, "32767.999999", false, {}},
        {"fixed largest",
         kAnyFixed,
         "32767.99999",
         true,
         {{std::numeric_limits<std::int32_t>::max()}, {}}},
        {"fixed least",
         kAnyFixed,
         "-32768",
         true,
         {{std::numeric_limits<std::int32_t>::min()}, {}}},
        {"fixed not a number", kAnyFixed, "nan", false, {}},
        {"fixed infinite", kAnyFixed, "inf", false, {}},
        {"word list member", kDepth, "16", true, {{16}, {}}},
        {"word list stranger", kDepth, "12", false, {}},
        {"string in the device's spelling", kMode, "color", true, {{}, "Color"}},
        {"string not listed", kMode, "Lineart", false, {}},
        {"free text with room for its NUL",
         kText,
         "0123456789012345678901234567890",
         true,
         {{}, "0123456789012345678901234567890"}},
        {"free text as long as the device's buffer",
         kText,
         "01234567890123456789012345678901",
         false,
         {}},
        {"bool yes", kSwitch, "yes", true, {{1}, {}}},
        {"bool no", kSwitch, "NO", true, {{0}, {}}},
        {"bool other", kSwitch, "maybe", false, {}},
        {"vector whole", kTable, "0,128,255", true, {{0, 128, 255}, {}}},
        {"vector short", kTable, "0,128", false, {}},
        {"vector entry out of range", kTable, "0,128,256", false, {}},
        {"vector empty entry", kTable, "0,,255", false, {}},
    };
    for (const Case& c : cases) {
        const ParsedValue parsed = ParseOptionValue(c.option, c.text);
        EXPECT_EQ(!parsed.reason, c.accepted) << c.name << ": " << parsed.reason.Text;
        if (c.accepted) {
            EXPECT_EQ(parsed.value, c.value) << c.name;
        } else {
            EXPECT_EQ(parsed.reason.Code, ReasonCode::Unsupported) << c.name;
            EXPECT_EQ(parsed.reason.Text.rfind("opt: ", 0), 0U)
                << c.name << ": " << parsed.reason.Text;
        }
    }
}

TEST(OptionValue, ARefusalSaysWhatTheOptionTakes) {
    EXPECT_NE(ParseOptionValue(kMode, "Lineart").reason.Text.find("Gray|Color"), std::string::npos);
    EXPECT_NE(ParseOptionValue(kDpi, "10").reason.Text.find("50..1200"), std::string::npos);
    EXPECT_NE(ParseOptionValue(kFixedDpi, "0.5").reason.Text.find("1..1200"), std::string::npos);
}

TEST(OptionValue, InactiveReadOnlyAndValuelessOptionsTakeNothing) {
    OptionDescriptor inactive = kDpi;
    inactive.active = false;
    OptionDescriptor readOnly = kDpi;
    readOnly.settable = false;
    for (const OptionDescriptor& option :
         {inactive, readOnly, Option(OptionType::Button, {}), Option(OptionType::Group, {})}) {
        EXPECT_TRUE(ParseOptionValue(option, "100").reason);
    }
    OptionDescriptor inactiveText = kText;
    inactiveText.active = false;
    OptionDescriptor inactiveMode = kMode;
    inactiveMode.active = false;
    for (const OptionDescriptor& option : {inactiveText, inactiveMode}) {
        EXPECT_TRUE(ParseOptionValue(option, "Color").reason);
    }
}

} // namespace

}  // namespace option_value_test
