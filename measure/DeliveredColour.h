// A scan's colours as the file it becomes shows them: each scanned value
// (0..1) through the channel tables where the scan goes through them, then
// through the profile the delivered file carries (sRGB where it carries
// none) to CIELAB D50 by LittleCMS's relative colorimetric transform, as a
// colour-managed program shows the file.
#pragma once

#include "image/Outcome.h"
#include "image/formats/ColourProfile.h"
#include "measure/Colour.h"
#include "measure/Matrix3.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

struct Delivery {
    std::optional<ChannelTables> tables; // each channel's output over input, 0..1
    std::vector<std::uint8_t> profile;   // of the delivered values; empty: sRGB
};

class DeliveredColour {
public:
    // DamagedData with LittleCMS's words when the profile cannot be opened or
    // turned into a transform.
    static Outcome<DeliveredColour> Make(const Delivery& delivery);

    DeliveredColour(DeliveredColour&&) noexcept;
    DeliveredColour& operator=(DeliveredColour&&) noexcept;
    ~DeliveredColour();

    LabColour operator()(const Vector3& scanned) const;

private:
    struct State;
    explicit DeliveredColour(std::unique_ptr<State> state);
    std::unique_ptr<State> state_;
};
