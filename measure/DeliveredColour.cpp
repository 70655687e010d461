// The transform is made once, RGB doubles (0..1) to Lab doubles; the
// tables are taken before it, each between its two nearest entries.
#include "measure/DeliveredColour.h"

#include "measure/LcmsContext.h"
#include "measure/TableLookup.h"

#include <string>

namespace {

constexpr std::string_view kDeliveredProfileWords = "ICC profile";

} // namespace

struct DeliveredColour::State {
    std::optional<ChannelTables> tables;
    LcmsContext context;
    LcmsProfile profile;
    LcmsProfile lab;
    LcmsTransform transform;
};

DeliveredColour::DeliveredColour(std::unique_ptr<State> state) : state_(std::move(state)) {}
DeliveredColour::DeliveredColour(DeliveredColour&&) noexcept = default;
DeliveredColour& DeliveredColour::operator=(DeliveredColour&&) noexcept = default;
DeliveredColour::~DeliveredColour() = default;

Outcome<DeliveredColour> DeliveredColour::Make(const Delivery& delivery) {
    auto state = std::make_unique<State>();
    state->tables = delivery.tables;
    const cmsContext context = state->context.Get();
    state->profile.reset(
        delivery.profile.empty()
            ? cmsCreate_sRGBProfileTHR(context)
            : cmsOpenProfileFromMemTHR(context, delivery.profile.data(),
                                       static_cast<cmsUInt32Number>(delivery.profile.size())));
    state->lab.reset(cmsCreateLab4ProfileTHR(context, nullptr));
    if (state->profile && state->lab) {
        state->transform.reset(cmsCreateTransformTHR(
            context, state->profile.get(), TYPE_RGB_DBL, state->lab.get(), TYPE_Lab_DBL,
            INTENT_RELATIVE_COLORIMETRIC, cmsFLAGS_NOOPTIMIZE | cmsFLAGS_NOCACHE));
    }
    if (!state->transform) {
        const std::string& message = state->context.Message();
        return Reason{ReasonCode::DamagedData, 0,
                      std::string(kDeliveredProfileWords) +
                          (message.empty() ? "" : ": " + message)};
    }
    return DeliveredColour(std::move(state));
}

LabColour DeliveredColour::operator()(const Vector3& scanned) const {
    Vector3 values = scanned;
    if (state_->tables) {
        for (std::size_t c = 0; c < values.size(); ++c) {
            values[c] = TableAt((*state_->tables)[c], values[c]);
        }
    }
    cmsCIELab out{};
    cmsDoTransform(state_->transform.get(), values.data(), &out, 1);
    return {out.L, out.a, out.b};
}
