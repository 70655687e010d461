// A BMP file put through the tables for the tool: into a 24-bit BMP without
// decoding the whole image, or into a preview for an encoder that needs all
// of it. Either gives exactly the pixels the window's preview shows.
#pragma once

#include "curve/ChannelParams.h"
#include "image/Bmp24Writer.h"
#include "image/ByteSource.h"
#include "image/Outcome.h"
#include "image/Pipeline.h"
#include "image/PreviewImage.h"

#include <filesystem>

// The BMP in `input` into `output` as WriteBmp24 writes it; a refusal of the
// input is BmpRows::Open's reason. `input` must not change meanwhile.
Reason ApplyToBmp(const ByteSource& input, const Replacement& output, const GammaTableSet& tables,
                  const PipelineOptions& options = {});

// The same from the file `input`, read under a shared lock (CannotOpen,
// Value = errno, when it does not open), into the file `output` replaced
// safely: on any failure no output is left and an old one stays as it was.
Reason ApplyToBmpFile(const std::filesystem::path& input, const std::filesystem::path& output,
                      const GammaTableSet& tables, const PipelineOptions& options = {});

// The upright preview of the BMP file `input`, rendered from its stored rows.
// Unsupported with kNoPixels for an image without pixels; NoMemory when the
// preview cannot be had.
Outcome<PreviewImage> RenderBmpFile(const std::filesystem::path& input, const GammaTableSet& tables,
                                    const PipelineOptions& options = {});
