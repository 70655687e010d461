// Images decoded by libtiff and libpng themselves, apart from the project's
// readers: what any other program would see in a written file.
#pragma once

#include <png.h>
#include <tiffio.h>

#include <gtest/gtest.h>

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace decodetest {

// Samples in row order as 16-bit values (8-bit ones widened as they are).
struct Decoded {
    std::int32_t width = 0;
    std::int32_t height = 0;
    int channels = 0;
    int bits = 0;
    std::vector<std::uint16_t> samples;
};

inline std::filesystem::path WriteTemp(const std::vector<std::uint8_t>& bytes,
                                       const std::string& name) {
    const auto path = std::filesystem::temp_directory_path() /
                      ("tamrel-decode-" + std::to_string(::getpid()) + "-" + name);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return path;
}

// The compression a TIFF file names (libtiff's COMPRESSION_*), 0 when it does not open.
inline std::uint16_t TiffCompressionOf(const std::filesystem::path& path) {
    TIFF* tif = TIFFOpen(path.c_str(), "r");
    if (tif == nullptr) {
        ADD_FAILURE() << path << " does not open";
        return 0;
    }
    std::uint16_t compression = 0;
    TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &compression);
    TIFFClose(tif);
    return compression;
}

inline Decoded DecodeWithLibtiff(const std::vector<std::uint8_t>& bytes) {
    const auto path = WriteTemp(bytes, "lib.tif");
    Decoded d;
    TIFF* tif = TIFFOpen(path.c_str(), "r");
    if (tif == nullptr) {
        ADD_FAILURE() << "libtiff does not open the file";
        std::filesystem::remove(path);
        return d;
    }
    std::uint32_t w = 0;
    std::uint32_t h = 0;
    std::uint16_t spp = 0;
    std::uint16_t bps = 0;
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &w);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &h);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &spp);
    TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &bps);
    d = {std::int32_t(w), std::int32_t(h), spp, bps, {}};
    std::vector<std::uint8_t> row(static_cast<std::size_t>(TIFFScanlineSize64(tif)));
    d.samples.reserve(std::size_t{w} * h * spp);
    for (std::uint32_t y = 0; y < h; ++y) {
        if (TIFFReadScanline(tif, row.data(), y, 0) < 0) {
            ADD_FAILURE() << "libtiff fails on row " << y;
            break;
        }
        for (std::size_t i = 0; i < std::size_t(w) * spp; ++i) {
            std::uint16_t v = row[i];
            if (bps == 16) {
                std::memcpy(&v, row.data() + i * 2, 2);
            }
            d.samples.push_back(v);
        }
    }
    TIFFClose(tif);
    std::filesystem::remove(path);
    return d;
}

struct PngInput {
    const std::vector<std::uint8_t>* bytes;
    std::size_t at = 0;
};

inline void ReadPngBytes(png_structp png, png_bytep out, png_size_t size) {
    auto* in = static_cast<PngInput*>(png_get_io_ptr(png));
    if (in->at + size > in->bytes->size()) {
        png_error(png, "past the end");
    }
    std::memcpy(out, in->bytes->data() + in->at, size);
    in->at += size;
}

// Classic libpng reading (no gamma or colour handling), 16-bit samples
// as stored, big-endian, turned to values.
inline bool ReadPng(png_structp png, png_infop info, PngInput* input, Decoded* d) {
    if (setjmp(png_jmpbuf(png))) {
        return false;
    }
    png_set_read_fn(png, input, ReadPngBytes);
    png_read_info(png, info);
    d->width = std::int32_t(png_get_image_width(png, info));
    d->height = std::int32_t(png_get_image_height(png, info));
    d->channels = png_get_channels(png, info);
    d->bits = png_get_bit_depth(png, info);
    const std::size_t rowBytes = png_get_rowbytes(png, info);
    std::vector<std::uint8_t> row(rowBytes);
    d->samples.reserve(std::size_t(d->width) * std::size_t(d->height) * d->channels);
    for (std::int32_t y = 0; y < d->height; ++y) {
        png_read_row(png, row.data(), nullptr);
        for (std::size_t i = 0; i < std::size_t(d->width) * std::size_t(d->channels); ++i) {
            d->samples.push_back(d->bits == 16 ? std::uint16_t(row[2 * i] << 8 | row[2 * i + 1])
                                               : row[i]);
        }
    }
    png_read_end(png, nullptr);
    return true;
}

inline Decoded DecodeWithLibpng(const std::vector<std::uint8_t>& bytes) {
    Decoded d;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    PngInput input{&bytes};
    if (!ReadPng(png, info, &input, &d)) {
        ADD_FAILURE() << "libpng refuses the file";
    }
    png_destroy_read_struct(&png, &info, nullptr);
    return d;
}

} // namespace decodetest
