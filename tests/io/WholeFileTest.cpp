// A file read whole: its bytes up to the limit, and past it a refusal that
// names the length, before any read.
#include "io/WholeFile.h"
#include "tests/io/ScratchDir.h"

#include <gtest/gtest.h>

namespace whole_file_test {

namespace {

TEST(WholeFile, ReadUpToTheLimitAndRefusedPastIt) {
    const ScratchDir dir;
    constexpr std::int64_t kMost = 5;
    const struct {
        const char* name;
        const char* bytes; // nullptr: no such file
        Reason why;
    } cases[] = {
        {"empty", "", {}},
        {"at the limit", "abcde", {}},
        {"past the limit", "abcdef", Reason(ReasonCode::TooLarge, 6, "a test file")},
        {"missing", nullptr, Reason(ReasonCode::CannotOpen, ENOENT)},
    };
    for (const auto& c : cases) {
        const auto path = dir / c.name;
        if (c.bytes != nullptr) {
            WriteBytes(path, c.bytes);
        }
        const WholeFile file = ReadWholeFile(path, kMost, "a test file");
        EXPECT_EQ(file.why, c.why) << c.name;
        EXPECT_EQ(std::string(file.bytes.begin(), file.bytes.end()),
                  c.why ? "" : std::string(c.bytes))
            << c.name;
    }
}

} // namespace

} // namespace whole_file_test
