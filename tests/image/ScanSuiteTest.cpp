// The third-party PNG and TIFF suites, read in place: every file does as its
// INDEX.tsv marks it (decode, reject with a reason, or either), and a decoded
// interlaced PNG gives the same rows as its plain twin.
#include "image/formats/FormatTable.h"
#include "image/rows/LevelRows.h"
#include "image/rows/Pipeline.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace scan_suite_test {

namespace {

namespace fs = std::filesystem;

struct Entry {
    std::string file;
    std::string expect;
};

std::vector<Entry> ReadIndex(const fs::path& index) {
    std::ifstream in(index);
    std::vector<Entry> entries;
    std::string line;
    std::getline(in, line); // column names
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        Entry e;
        std::string header;
        std::getline(fields, e.file, '\t');
        std::getline(fields, header, '\t');
        std::getline(fields, e.expect, '\t');
        if (!e.file.empty()) {
            entries.push_back(e);
        }
    }
    return entries;
}

// Every level row of the file, or why not.
Outcome<std::vector<std::uint8_t>> Decode(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
    const MemorySource source(bytes);
    Outcome<std::unique_ptr<RowSource>> rows = OpenRows(ReadFormatOf(path), source);
    if (!rows) {
        return rows.Why();
    }
    if (!(*rows)->Layout().HasRows()) {
        return std::vector<std::uint8_t>{};
    }
    const LevelRows levels(**rows);
    std::vector<std::uint8_t> out;
    const Outcome<RowRuns> runs = RowRuns::Plan(levels, 0, {});
    if (!runs) {
        return runs.Why();
    }
    Reason failed =
        runs->Run([&](std::int32_t, std::int32_t count, const std::uint8_t* r, std::uint8_t*) {
            out.insert(out.end(), r, r + count * levels.Layout().Stride);
            return true;
        });
    if (failed) {
        return failed;
    }
    return out;
}

void CheckSuite(const fs::path& folder) {
    if (!fs::exists(folder / "INDEX.tsv")) {
        GTEST_SKIP() << folder << " is absent";
    }
    const auto entries = ReadIndex(folder / "INDEX.tsv");
    ASSERT_FALSE(entries.empty());
    for (const Entry& e : entries) {
        const auto decoded = Decode(folder / e.file);
        if (e.expect == "decode") {
            EXPECT_TRUE(decoded) << e.file << ": " << int(decoded.Why().Code) << " "
                                 << decoded.Why().Text;
        } else if (e.expect == "reject") {
            EXPECT_FALSE(decoded) << e.file;
            EXPECT_NE(decoded.Why().Code, ReasonCode::None) << e.file;
        }
    }
}

TEST(ScanSuites, EveryPngSuiteFileDoesAsItsIndexSays) {
    CheckSuite(TAMREL_PNGSUITE_DIR);
}

TEST(ScanSuites, EveryTiffSuiteFileDoesAsItsIndexSays) {
    CheckSuite(TAMREL_TIFFSUITE_DIR);
}

TEST(ScanSuites, InterlacedPngGivesThePlainTwinsRows) {
    const fs::path folder = fs::path(TAMREL_PNGSUITE_DIR) / "pngsuite";
    if (!fs::exists(folder)) {
        GTEST_SKIP() << folder << " is absent";
    }
    int pairs = 0;
    for (const auto& item : fs::directory_iterator(folder)) {
        const std::string name = item.path().filename().string();
        if (name.rfind("ibasn", 0) != 0) {
            continue;
        }
        const fs::path plain = folder / name.substr(1);
        if (!fs::exists(plain)) {
            continue;
        }
        const auto a = Decode(item.path());
        const auto b = Decode(plain);
        ASSERT_TRUE(a && b) << name;
        EXPECT_EQ(*a, *b) << name;
        ++pairs;
    }
    EXPECT_GE(pairs, 5);
}

} // namespace

}  // namespace scan_suite_test
