// A name is taken for the numbering's only when the number read from it
// gives that very name back, so "page-01.tif" is no page of "page-%03d".
#include "io/NumberedFiles.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <system_error>

namespace {

constexpr int kPageDigits = 3;

// The number between prefix and suffix: blanks around it and a '+' before
// it allowed, as printf's flags write them.
std::optional<int> NumberIn(std::string_view text) {
    const std::size_t start = text.find_first_not_of(' ');
    const std::size_t end = text.find_last_not_of(' ');
    if (start == std::string_view::npos) {
        return std::nullopt;
    }
    std::string_view digits = text.substr(start, end + 1 - start);
    if (!digits.empty() && digits.front() == '+') {
        digits.remove_prefix(1);
    }
    int number = 0;
    const auto [stop, error] =
        std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (digits.empty() || error != std::errc() || stop != digits.data() + digits.size() ||
        digits.front() == '-') {
        return std::nullopt;
    }
    return number;
}

std::optional<int> NumberOf(const std::string& name, const Numbering& numbering) {
    const std::size_t around = numbering.prefix.size() + numbering.suffix.size();
    if (name.size() <= around || !name.starts_with(numbering.prefix) ||
        !name.ends_with(numbering.suffix)) {
        return std::nullopt;
    }
    const std::optional<int> number =
        NumberIn(std::string_view(name).substr(numbering.prefix.size(), name.size() - around));
    if (!number || *number < 1 || numbering.nameOf(*number) != name) {
        return std::nullopt;
    }
    return number;
}

} // namespace

NumberedFiles FindNumberedFiles(const std::filesystem::path& folder, const Numbering& numbering) {
    NumberedFiles found;
    int lowest = 0;
    std::error_code error;
    const std::filesystem::path where = folder.empty() ? std::filesystem::path(".") : folder;
    for (const auto& entry : std::filesystem::directory_iterator(where, error)) {
        const std::optional<int> number = NumberOf(entry.path().filename().string(), numbering);
        if (!number) {
            continue;
        }
        ++found.count;
        if (lowest == 0 || *number < lowest) {
            lowest = *number;
            found.first = folder / entry.path().filename();
        }
        found.highest = std::max(found.highest, *number);
    }
    return found;
}

std::filesystem::path PageFileName(const std::filesystem::path& chosen, int number) {
    std::string digits = std::to_string(number);
    digits.insert(0, digits.size() < kPageDigits ? kPageDigits - digits.size() : 0, '0');
    std::filesystem::path page = chosen;
    page.replace_filename(chosen.stem().string() + "-" + digits + chosen.extension().string());
    return page;
}

NumberedFiles ExistingPages(const std::filesystem::path& chosen) {
    const Numbering numbering{
        chosen.stem().string() + "-", chosen.extension().string(),
        [&chosen](int number) { return PageFileName(chosen, number).filename().string(); }};
    return FindNumberedFiles(chosen.parent_path(), numbering);
}
