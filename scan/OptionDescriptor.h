// What a scanner says about one of its options: name, value type, value size
// and the values it accepts. A plain value, so that tests can describe devices
// that are not attached.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

// Bool, Int and Fixed values are arrays of 32-bit words (SANE_Word); a
// vector option of N entries has a size of N words.
inline constexpr std::size_t kOptionWordSize = 4;

enum class OptionType { Bool, Int, Fixed, String, Button, Group };

// What a number of the option counts; the scan area's options count
// millimetres or pixels, the rest matter little to a front end.
enum class OptionUnit { None, Pixel, Bit, Mm, Dpi, Percent, Microsecond };

// Inclusive limits and step, in words as the device gives them (Fixed
// values in 16.16 fixed point).
struct OptionRange {
    std::int32_t min = 0;
    std::int32_t max = 0;
    std::int32_t quant = 0;
    friend bool operator==(const OptionRange&, const OptionRange&) = default;
};

using OptionWordList = std::vector<std::int32_t>;
using OptionStringList = std::vector<std::string>;

// No constraint, a range, a list of words, or a list of strings.
using OptionConstraint =
    std::variant<std::monostate, OptionRange, OptionWordList, OptionStringList>;

struct OptionDescriptor {
    int index = 0; // the device's number for the option, for reading and setting it
    std::string name;
    OptionType type = OptionType::Int;
    OptionUnit unit = OptionUnit::None;
    std::size_t size = 0; // bytes of the value
    bool active = true;   // inactive options keep their shape but take no value now
    bool settable = true; // the program may set it (not only the user at the device)
    OptionConstraint constraint;

    // Entries of a word option: 1 for a single value, N for a vector.
    std::size_t WordCount() const { return size / kOptionWordSize; }
};

using OptionDescriptors = std::vector<OptionDescriptor>;

// The option called `name`, if the device has one.
std::optional<OptionDescriptor> FindOption(const OptionDescriptors& options, std::string_view name);
