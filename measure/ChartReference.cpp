// Reference files through LittleCMS's IT8 parser, in a context whose blocks
// are capped by the file's size: the parser takes NUMBER_OF_SETS and
// NUMBER_OF_FIELDS at their word (up to 32766 each) and asks for a block of
// (sets + 1) * (fields + 1) pointers, so a few bytes could claim gigabytes.
// A file holding its claim needs two bytes a value at least, which keeps the
// largest honest block within kBytesPerFileByte times its size.
#include "measure/ChartReference.h"

#include "io/WholeFile.h"
#include "measure/LcmsContext.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdlib>

namespace {

constexpr std::size_t kBaseBlock = std::size_t{1} << 20;
constexpr std::size_t kBytesPerFileByte = 16;
constexpr std::int64_t kMostReferenceBytes = std::int64_t{16} << 20;
constexpr int kMostSets = 0x7ffe; // the parser's own limit
constexpr std::string_view kInclude = ".include";
constexpr std::string_view kWords = "reference file";
constexpr double kPercentWhite = 100.0;
// XYZ files use Y = 100 for the perfect white; a file whose patches are all
// at or below this uses Y = 1.
constexpr double kLargestUnitY = 2.0;

struct It8Free {
    void operator()(void* it8) const { cmsIT8Free(it8); }
};
using It8 = std::unique_ptr<void, It8Free>;

Reason Damaged(std::string text) {
    return {ReasonCode::DamagedData, 0, std::string(kWords) + ": " + std::move(text)};
}

bool IncludesAnotherFile(std::span<const std::uint8_t> bytes) {
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return std::search(text.begin(), text.end(), kInclude.begin(), kInclude.end(),
                       [](char a, char b) {
                           return std::tolower(static_cast<unsigned char>(a)) == b;
                       }) != text.end();
}

std::optional<double> NumberOf(const char* text) {
    if (text == nullptr) {
        return std::nullopt;
    }
    std::string_view word(text);
    if (!word.empty() && word.front() == '+') {
        word.remove_prefix(1);
    }
    double value = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (error != std::errc() || end != word.data() + word.size() || word.empty()) {
        return std::nullopt;
    }
    return value;
}

// The columns of one table: the ID and the three colour values.
struct Columns {
    int id = -1;
    std::array<int, 3> colour{-1, -1, -1};
    bool xyz = false;
};

std::optional<Columns> ColumnsOf(cmsHANDLE it8) {
    Columns columns;
    columns.id = cmsIT8FindDataFormat(it8, "SAMPLE_ID");
    const char* lab[] = {"LAB_L", "LAB_A", "LAB_B"};
    const char* xyz[] = {"XYZ_X", "XYZ_Y", "XYZ_Z"};
    for (const auto* names : {lab, xyz}) {
        for (std::size_t c = 0; c < columns.colour.size(); ++c) {
            columns.colour[c] = cmsIT8FindDataFormat(it8, names[c]);
        }
        const bool all = std::all_of(columns.colour.begin(), columns.colour.end(),
                                     [](int column) { return column >= 0; });
        if (all && columns.id >= 0) {
            columns.xyz = names == xyz;
            return columns;
        }
    }
    return std::nullopt;
}

// Values as the file gives them: Lab, or XYZ still to be scaled.
struct Row {
    std::string id;
    std::array<double, 3> values;
};

Outcome<std::vector<Row>> RowsOf(cmsHANDLE it8, const Columns& columns) {
    const char* sets = cmsIT8GetProperty(it8, "NUMBER_OF_SETS");
    const int count = sets ? std::clamp(std::atoi(sets), 0, kMostSets) : 0;
    std::vector<Row> rows;
    for (int r = 0; r < count; ++r) {
        const char* id = cmsIT8GetDataRowCol(it8, r, columns.id);
        if (id == nullptr || *id == '\0') {
            return Damaged("set " + std::to_string(r + 1) + " has no SAMPLE_ID");
        }
        Row row{id, {}};
        for (std::size_t c = 0; c < row.values.size(); ++c) {
            const std::optional<double> value =
                NumberOf(cmsIT8GetDataRowCol(it8, r, columns.colour[c]));
            if (!value || !std::isfinite(*value)) {
                return Damaged(row.id + " has a value that is not a number");
            }
            row.values[c] = *value;
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

std::vector<ReferencePatch> PatchesOf(const std::vector<Row>& rows, bool xyz) {
    double largestY = 0;
    for (const Row& row : rows) {
        largestY = std::max(largestY, row.values[1]);
    }
    const double white = xyz && largestY <= kLargestUnitY ? 1.0 : kPercentWhite;
    std::vector<ReferencePatch> patches;
    for (const Row& row : rows) {
        const auto& v = row.values;
        patches.push_back({row.id, xyz ? LabOf({v[0] / white, v[1] / white, v[2] / white})
                                       : LabColour{v[0], v[1], v[2]}});
    }
    return patches;
}

Outcome<ChartReference> FromTables(cmsHANDLE it8) {
    const cmsUInt32Number tables = cmsIT8TableCount(it8);
    for (cmsUInt32Number t = 0; t < tables; ++t) {
        if (cmsIT8SetTable(it8, t) < 0) {
            break;
        }
        if (const std::optional<Columns> columns = ColumnsOf(it8)) {
            Outcome<std::vector<Row>> rows = RowsOf(it8, *columns);
            if (!rows) {
                return rows.Why();
            }
            return ChartReference(PatchesOf(*rows, columns->xyz));
        }
    }
    return Damaged("no table of SAMPLE_ID with LAB_L, LAB_A, LAB_B or XYZ_X, XYZ_Y, XYZ_Z");
}

} // namespace

std::string PatchKey(std::string_view id) {
    std::string key(id);
    std::transform(key.begin(), key.end(), key.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    const std::size_t digits = key.find_first_of("0123456789");
    if (digits == std::string::npos || digits == 0 ||
        key.find_first_not_of("0123456789", digits) != std::string::npos) {
        return key;
    }
    const std::size_t first = key.find_first_not_of('0', digits);
    return key.substr(0, digits) + (first == std::string::npos ? "0" : key.substr(first));
}

ChartReference::ChartReference(std::vector<ReferencePatch> patches) : patches_(std::move(patches)) {
    for (const ReferencePatch& patch : patches_) {
        keys_.push_back(PatchKey(patch.id));
    }
}

const ReferencePatch* ChartReference::Find(std::string_view id) const {
    const std::string key = PatchKey(id);
    const auto at = std::find(keys_.begin(), keys_.end(), key);
    return at == keys_.end() ? nullptr : &patches_[std::size_t(at - keys_.begin())];
}

Outcome<ChartReference> ReadReference(std::span<const std::uint8_t> bytes) {
    // The parser asserts on an empty block, which would end the process.
    if (bytes.empty()) {
        return Damaged("the file is empty");
    }
    if (IncludesAnotherFile(bytes)) {
        return Damaged(".INCLUDE of another file is not read");
    }
    const LcmsContext context(kBaseBlock + kBytesPerFileByte * bytes.size());
    if (context.Get() == nullptr) {
        return Reason(ReasonCode::NoMemory);
    }
    const It8 it8(
        cmsIT8LoadFromMem(context.Get(), bytes.data(), static_cast<cmsUInt32Number>(bytes.size())));
    if (!it8) {
        return Damaged(context.Message().empty() ? "not CGATS text" : context.Message());
    }
    return FromTables(it8.get());
}

Outcome<ChartReference> ReadReferenceFile(const std::filesystem::path& path) {
    const WholeFile file = ReadWholeFile(path, kMostReferenceBytes, kWords);
    if (file.why) {
        return file.why;
    }
    return ReadReference(file.bytes);
}

std::optional<std::string> MissingPatch(const ChartLayout& layout,
                                        const ChartReference& reference) {
    for (const ChartPatch& patch : layout.patches) {
        if (reference.Find(patch.id) == nullptr) {
            return patch.id;
        }
    }
    return std::nullopt;
}
