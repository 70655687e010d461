// Crops of a source as sources of their own: a rectangle's rows, each cut
// to the rectangle's columns, upright, as the writers and the tables take
// any source. All crops of one source share one read of it, band by band,
// so a decoder that gives its rows once each and in order serves them all.
#pragma once

#include "image/rows/LevelRows.h"
#include "image/rows/PixelRect.h"

#include <atomic>
#include <cstddef>
#include <functional>
#include <span>
#include <vector>

// How a shared read is followed and stopped: `rowsRead(done, total)` after
// each band, on the reading thread; a set `cancel` stops the read at the
// next band, and every crop not yet complete fails with Cancelled.
struct CropControl {
    const std::atomic<bool>* cancel = nullptr;
    std::function<void(std::int32_t done, std::int32_t total)> rowsRead;
};

// What a crop is used for, on a thread of its own: its index among the
// crops and its rows (Sequential(): each row once, in order).
using CropUse = std::function<Reason(std::size_t index, const RowSource& rows)>;

// Reads the source once, upright, band by band, while every crop's use
// runs at once and takes its rows from the bands; a band is read again into
// its slot only when every crop has passed it, so memory stays a few bands
// whatever the image's size. Each use's reason, in the crops' order:
// the source's failure where a crop's rows were not all read, Cancelled,
// or what the use itself gave. Every rectangle must fit the image.
std::vector<Reason> UseCrops(const RowSource& source, std::span<const PixelRect> crops,
                             const CropUse& use, const CropControl& control = {});
