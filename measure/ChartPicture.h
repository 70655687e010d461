// The diagnostic picture of a calibration: the scan as the start-up tables
// show it, every sampled box outlined and named, its colour telling how near
// the profile brings the patch to its reference (CIEDE2000 below 1 green,
// below 3 yellow, else red; white before anything is measured).
#pragma once

#include "image/rows/SampleImage.h"
#include "measure/Calibration.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

enum class PatchMark { Plain, Good, Fair, Poor };

inline constexpr double kGoodDeltaE = 1.0;
inline constexpr double kFairDeltaE = 3.0;

PatchMark MarkOf(double deltaE);

// The mark's colour: red, green, blue levels.
std::array<std::uint8_t, 3> MarkColour(PatchMark mark);

struct MarkedPatch {
    ChartCorners outline;
    std::string id;
    PatchMark mark = PatchMark::Plain;
};

// Every patch of a calibration with its mark.
std::vector<MarkedPatch> MarksOf(const Calibration& calibration);

// The start-up curve, 65536 entries of 0..255: how a linear scan is shown.
std::vector<std::uint16_t> StartUpLevels();

// The scan through the start-up curve, 8-bit RGB.
SampleImage ChartBackdrop(const ChartScan& scan);

// Outlines (one pixel wide) and, where the patch leaves room above its box,
// the ID in the 5 x 7 font, scaled up to fill that room.
void DrawMarks(SampleImage& picture, std::span<const MarkedPatch> patches);
