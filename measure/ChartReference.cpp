// Reference files: their kind told by the first word (or an ICC profile's
// signature), their structure checked (CgatsText.h), and their one table
// read through LittleCMS's IT8 parser in a context whose blocks are capped
// by the file's size: the parser asks for a block of (sets + 1) *
// (fields + 1) pointers, and a file holding its claim needs two bytes a
// value at least, which keeps the largest honest block within
// kBytesPerFileByte times its size.
#include "measure/ChartReference.h"

#include "io/WholeFile.h"
#include "measure/CgatsText.h"
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
constexpr std::string_view kWords = "reference file";
// An ICC profile's header holds "acsp" at bytes 36..39.
constexpr std::size_t kProfileSignatureAt = 36;
constexpr std::string_view kProfileSignature = "acsp";
// LittleCMS's messages name the line: "...: Line 28, ...".
constexpr std::string_view kLineWord = "Line ";

// First words of files that hold no measured values: a chart recognition
// layout, ArgyllCMS's chart layouts (CTI2) and targets (CTI1), spectra,
// calibration curves, gamut surfaces and colorimeter corrections.
struct Kind {
    std::string_view word;
    ReferenceProblem problem;
};
constexpr Kind kNotMeasured[] = {
    {"BOXES", ReferenceProblem::ChartLayout}, {"CTI2", ReferenceProblem::ChartLayout},
    {"CTI1", ReferenceProblem::TargetValues}, {"SPECT", ReferenceProblem::OtherKind},
    {"CAL", ReferenceProblem::OtherKind},     {"GAMUT", ReferenceProblem::OtherKind},
    {"CCSS", ReferenceProblem::OtherKind},    {"CCMX", ReferenceProblem::OtherKind},
};
constexpr double kPercentWhite = 100.0;
// XYZ files use Y = 100 for the perfect white; a file whose patches are all
// at or below this uses Y = 1.
constexpr double kLargestUnitY = 2.0;

struct It8Free {
    void operator()(void* it8) const { cmsIT8Free(it8); }
};
using It8 = std::unique_ptr<void, It8Free>;

// Why a file is no reference by its kind alone; None when its kind may hold
// measured values.
Reason KindProblem(std::span<const std::uint8_t> bytes) {
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (text.substr(std::min(text.size(), kProfileSignatureAt), kProfileSignature.size()) ==
        kProfileSignature) {
        return {ReferenceProblem::Profile};
    }
    const std::string word = FirstWord(bytes);
    for (const Kind& kind : kNotMeasured) {
        if (word == kind.word) {
            return {kind.problem, word};
        }
    }
    return {};
}

// LittleCMS's words turned to the line they name.
Reason ParserProblem(const std::string& message) {
    const std::size_t at = message.find(kLineWord);
    int line = 0;
    if (at != std::string::npos) {
        const char* digits = message.data() + at + kLineWord.size();
        std::from_chars(digits, message.data() + message.size(), line);
    }
    return line > 0 ? Reason(ReferenceProblem::Syntax, std::to_string(line))
                    : Reason(ReferenceProblem::NotCgats);
}

// LittleCMS hands back each value as it formats it with the process's
// locale (its own parser already took the file's decimal point or comma),
// so a program running in a locale of decimal commas gets "31,88": the
// comma is read as the point it stands for.
std::optional<double> NumberOf(const char* text) {
    if (text == nullptr) {
        return std::nullopt;
    }
    std::string word(text);
    if (!word.empty() && word.front() == '+') {
        word.erase(0, 1);
    }
    std::replace(word.begin(), word.end(), ',', '.');
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

// The patch's name is its place on the chart (SAMPLE_LOC, as ArgyllCMS
// writes "A1" beside a running number in SAMPLE_ID), else SAMPLE_ID.
std::optional<Columns> ColumnsOf(cmsHANDLE it8) {
    Columns columns;
    columns.id = cmsIT8FindDataFormat(it8, "SAMPLE_LOC");
    if (columns.id < 0) {
        columns.id = cmsIT8FindDataFormat(it8, "SAMPLE_ID");
    }
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
            return Reason(ReferenceProblem::NoName, std::to_string(r + 1));
        }
        Row row{id, {}};
        for (std::size_t c = 0; c < row.values.size(); ++c) {
            const std::optional<double> value =
                NumberOf(cmsIT8GetDataRowCol(it8, r, columns.colour[c]));
            if (!value || !std::isfinite(*value)) {
                return Reason(ReferenceProblem::NotNumber, row.id);
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

Outcome<ChartReference> FromTable(cmsHANDLE it8) {
    const std::optional<Columns> columns = ColumnsOf(it8);
    if (!columns) {
        return Reason(ReferenceProblem::NoColumns);
    }
    Outcome<std::vector<Row>> rows = RowsOf(it8, *columns);
    if (!rows) {
        return rows.Why();
    }
    return ChartReference(PatchesOf(*rows, columns->xyz));
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
    if (bytes.empty()) {
        return Reason(ReferenceProblem::Empty);
    }
    if (Reason kind = KindProblem(bytes)) {
        return kind;
    }
    const Outcome<CgatsText> text = CheckCgats(bytes);
    if (!text) {
        return text.Why();
    }
    const LcmsContext context(kBaseBlock + kBytesPerFileByte * bytes.size());
    if (context.Get() == nullptr) {
        return Reason(ReasonCode::NoMemory);
    }
    const It8 it8(cmsIT8LoadFromMem(context.Get(), text->table.data(),
                                    static_cast<cmsUInt32Number>(text->table.size())));
    if (!it8) {
        return ParserProblem(context.Message());
    }
    return FromTable(it8.get());
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
