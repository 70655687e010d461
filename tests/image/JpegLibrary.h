// JPEGs made and decoded by libjpeg-turbo's own calls, apart from the
// project's writer and reader: the single-pass encode the bands must match,
// kinds the reader refuses, and what any other program sees in a file.
#pragma once

#include <cstdio>
#include <jpeglib.h>

#include <csetjmp>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace jpegtest {

struct Plain {
    std::int32_t width = 0;
    std::int32_t height = 0;
    int channels = 3;
    std::vector<std::uint8_t> samples; // rows of grey or R, G, B (or C, M, Y, K)
};

struct Made {
    int quality = 92;
    bool fullChroma = true; // 1 x 1 luma sampling, else libjpeg's 2 x 2
    bool progressive = false;
    bool arithmetic = false;
    bool cmyk = false; // four channels, stored as CMYK
};

struct Decoded {
    Plain image;
    int lumaSampling = 0; // the first component's horizontal factor
    bool ok = false;
};

struct Jump {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

[[noreturn]] inline void JumpBack(j_common_ptr info) {
    std::longjmp(reinterpret_cast<Jump*>(info->err)->jump, 1);
}

inline bool EncodeInto(jpeg_compress_struct& c, const Plain& image, const Made& how,
                       unsigned char** out, unsigned long* size) {
    if (setjmp(reinterpret_cast<Jump*>(c.err)->jump) != 0) {
        return false;
    }
    jpeg_create_compress(&c);
    jpeg_mem_dest(&c, out, size);
    c.image_width = static_cast<JDIMENSION>(image.width);
    c.image_height = static_cast<JDIMENSION>(image.height);
    c.input_components = image.channels;
    c.in_color_space = how.cmyk ? JCS_CMYK : image.channels == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, how.quality, TRUE);
    if (how.fullChroma) {
        c.comp_info[0].h_samp_factor = 1;
        c.comp_info[0].v_samp_factor = 1;
    }
    c.arith_code = how.arithmetic ? TRUE : FALSE;
    if (how.progressive) {
        jpeg_simple_progression(&c);
    }
    jpeg_start_compress(&c, TRUE);
    const std::size_t rowBytes = std::size_t(image.width) * std::size_t(image.channels);
    while (c.next_scanline < c.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(image.samples.data() + c.next_scanline * rowBytes);
        jpeg_write_scanlines(&c, &row, 1);
    }
    jpeg_finish_compress(&c);
    return true;
}

inline std::vector<std::uint8_t> Encode(const Plain& image, const Made& how) {
    Jump error;
    jpeg_compress_struct c{};
    c.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = JumpBack;
    unsigned char* out = nullptr;
    unsigned long size = 0;
    std::vector<std::uint8_t> bytes;
    if (EncodeInto(c, image, how, &out, &size)) {
        bytes.assign(out, out + size);
    }
    jpeg_destroy_compress(&c);
    std::free(out);
    return bytes;
}

inline bool DecodeInto(jpeg_decompress_struct& d, const std::vector<std::uint8_t>& bytes,
                       Decoded& out) {
    if (setjmp(reinterpret_cast<Jump*>(d.err)->jump) != 0) {
        return false;
    }
    jpeg_create_decompress(&d);
    jpeg_mem_src(&d, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&d, TRUE);
    out.lumaSampling = d.comp_info[0].h_samp_factor;
    jpeg_start_decompress(&d);
    Plain& image = out.image;
    image.width = static_cast<std::int32_t>(d.output_width);
    image.height = static_cast<std::int32_t>(d.output_height);
    image.channels = d.output_components;
    const std::size_t rowBytes = std::size_t(image.width) * std::size_t(image.channels);
    image.samples.resize(rowBytes * std::size_t(image.height));
    while (d.output_scanline < d.output_height) {
        JSAMPROW row = image.samples.data() + d.output_scanline * rowBytes;
        jpeg_read_scanlines(&d, &row, 1);
    }
    jpeg_finish_decompress(&d);
    return true;
}

inline Decoded Decode(const std::vector<std::uint8_t>& bytes) {
    Jump error;
    jpeg_decompress_struct d{};
    d.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = JumpBack;
    Decoded out;
    out.ok = DecodeInto(d, bytes, out);
    jpeg_destroy_decompress(&d);
    return out;
}

} // namespace jpegtest
