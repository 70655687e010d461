// The ICC input profile of a linear scan, written with LittleCMS from a
// fitted model as a version 2.4 profile, which every reader takes (or as
// version 4.3 on request): an RGB input device, its three tone curves (sampled tables),
// its colorants (the matrix's columns, to PCS XYZ D50) and a media white
// that is the PCS white, so that the absolute colorimetric transform gives
// the colour the chart was measured as. And the check: scanned colours
// taken through the written profile by LittleCMS itself.
#pragma once

#include "image/Outcome.h"
#include "measure/Colour.h"
#include "measure/ProfileFit.h"

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

// `description` names the profile (its desc tag). DamagedData with
// LittleCMS's words when it could not be made.
Outcome<std::vector<std::uint8_t>> WriteInputProfile(const ShaperMatrix& model,
                                                     std::string_view description);

// Each scanned colour (red, green, blue 0..1) as Lab (D50) through the
// profile's absolute colorimetric transform. DamagedData when LittleCMS
// cannot open the profile or make the transform.
// The ICC versions a profile is written in: 2.4, which ArgyllCMS, Qt and
// older programs read, and 4.3.
enum class IccVersion { Two, Four };

// The same profile written anew in `version`: every tag read and written
// again, so that each takes the type that version gives it (a v2 desc is a
// textDescriptionType, a v4 one a multiLocalizedUnicodeType). DamagedData
// with LittleCMS's words when it cannot be opened or written.
Outcome<std::vector<std::uint8_t>> AtIccVersion(std::span<const std::uint8_t> profile,
                                                IccVersion version);

Outcome<std::vector<LabColour>> LabsThroughProfile(std::span<const std::uint8_t> profile,
                                                   std::span<const Vector3> device);
