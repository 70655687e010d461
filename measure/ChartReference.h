// A chart's reference values: each patch's measured colour (CIELAB, D50), as
// a chart maker ships them in a CGATS text file, read through LittleCMS's
// IT8 functions, or the ColorChecker 24's published values built in.
#pragma once

#include "image/Outcome.h"
#include "measure/ChartLayout.h"
#include "measure/Colour.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

struct ReferencePatch {
    std::string id; // as the file spells it
    LabColour lab;
};

class ChartReference {
public:
    explicit ChartReference(std::vector<ReferencePatch> patches);

    // The patch an ID names in either spelling ("A1" or "A01", "GS0" or
    // "GS00"), in any letter case; null when the reference lacks it.
    const ReferencePatch* Find(std::string_view id) const;
    const std::vector<ReferencePatch>& Patches() const { return patches_; }

private:
    std::vector<ReferencePatch> patches_;
    std::vector<std::string> keys_; // each patch's ID in one spelling
};

// Letters, then the number without leading zeros: "A01" and "a1" give "A1".
std::string PatchKey(std::string_view id);

// CGATS text of one table with SAMPLE_LOC or SAMPLE_ID and either LAB_L
// LAB_A LAB_B or XYZ_X XYZ_Y XYZ_Z (Lab preferred where both stand; XYZ
// with white at Y = 100, or at Y = 1 where no patch is above 2), a UTF-8
// byte-order mark and decimal commas taken. BadReference naming what the
// file is when it holds no measured values (a chart layout, a profile...),
// what breaks its structure and where (CgatsText.h), or what is missing or
// not a number; NoMemory. A file that would include another file is
// refused: a reference is read alone.
Outcome<ChartReference> ReadReference(std::span<const std::uint8_t> bytes);
Outcome<ChartReference> ReadReferenceFile(const std::filesystem::path& path);

// The ColorChecker 24's published D50 values for charts made since
// November 2014.
const ChartReference& BuiltInColorChecker();

// The first patch of the chart (in layout order) the reference lacks.
std::optional<std::string> MissingPatch(const ChartLayout& layout, const ChartReference& reference);
