// The context's memory plug-in: malloc, free and realloc of the C library,
// each block request held to the cap kept in the context's user data. The
// context's own block is asked for with no context yet, and is not capped.
#include "measure/LcmsContext.h"

#include <lcms2_plugin.h>

#include <cstdlib>

namespace {

bool Allowed(cmsContext context, cmsUInt32Number size) {
    const auto* state =
        context ? static_cast<const LcmsContext::State*>(cmsGetContextUserData(context)) : nullptr;
    return state == nullptr || size <= state->largestBlock;
}

void* CappedMalloc(cmsContext context, cmsUInt32Number size) {
    return Allowed(context, size) ? std::malloc(size) : nullptr;
}

void CappedFree(cmsContext, void* block) {
    std::free(block);
}

void* CappedRealloc(cmsContext context, void* block, cmsUInt32Number size) {
    return Allowed(context, size) ? std::realloc(block, size) : nullptr;
}

cmsPluginMemHandler kCappedMemory = {
    {cmsPluginMagicNumber, LCMS_VERSION, cmsPluginMemHandlerSig, nullptr},
    CappedMalloc,
    CappedFree,
    CappedRealloc,
    nullptr,
    nullptr,
    nullptr};

void KeepFirstMessage(cmsContext context, cmsUInt32Number, const char* text) {
    auto* state = static_cast<LcmsContext::State*>(cmsGetContextUserData(context));
    if (state != nullptr && state->message.empty() && text != nullptr) {
        state->message = text;
    }
}

} // namespace

LcmsContext::LcmsContext(std::size_t largestBlock)
    : state_(std::make_unique<State>(State{{}, largestBlock})) {
    context_ = cmsCreateContext(largestBlock == kNoCap ? nullptr : &kCappedMemory, state_.get());
    if (context_ != nullptr) {
        cmsSetLogErrorHandlerTHR(context_, KeepFirstMessage);
    }
}

LcmsContext::~LcmsContext() {
    if (context_ != nullptr) {
        cmsDeleteContext(context_);
    }
}
