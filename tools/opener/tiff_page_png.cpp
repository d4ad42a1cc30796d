#include "tools/opener/tiff_page_png.h"

#include <png.h>

#include <new>
#include <vector>

namespace tv::opener {
namespace {

// Drawings are mostly white: a low zlib level without row filters is three times
// faster than the default and about a quarter larger.
constexpr int kZlibLevel = 2;

void AppendPngBytes(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::string*>(png_get_io_ptr(png));
    bool failed = false;
    try {
        out->append(reinterpret_cast<const char*>(data), length);
    } catch (const std::bad_alloc&) {
        failed = true;
    }
    if (failed) {
        png_error(png, "out of memory");
    }
}

void NoFlush(png_structp) {}

// Only trivially destructible locals here: libpng reports errors by longjmp back to the
// setjmp below. rows points into the caller's buffer.
bool EncodeRows(png_bytepp rows, std::uint32_t width, std::uint32_t height, int bitDepth,
                int colorType, std::string* out) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (png == nullptr) {
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (info == nullptr || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, out, AppendPngBytes, NoFlush);
    png_set_compression_level(png, kZlibLevel);
    if (bitDepth < 8) {
        png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
    }
    png_set_IHDR(png, info, width, height, bitDepth, colorType, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

bool EncodeBuffer(std::vector<png_byte>& data, size_t rowBytes, std::uint32_t width,
                  std::uint32_t height, int bitDepth, int colorType, std::string* out) {
    std::vector<png_bytep> rows(height);
    for (std::uint32_t y = 0; y < height; ++y) {
        rows[y] = data.data() + rowBytes * y;
    }
    return EncodeRows(rows.data(), width, height, bitDepth, colorType, out);
}

// A page libtiff decodes to packed 1-bit rows that PNG takes as they are.
bool IsPlainBilevel(TIFF* tiff) {
    std::uint16_t bits = 1, samples = 1, photometric = 0, orientation = ORIENTATION_TOPLEFT;
    TIFFGetFieldDefaulted(tiff, TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLESPERPIXEL, &samples);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_ORIENTATION, &orientation);
    if (TIFFGetField(tiff, TIFFTAG_PHOTOMETRIC, &photometric) != 1) {
        return false;
    }
    return bits == 1 && samples == 1 && orientation == ORIENTATION_TOPLEFT && !TIFFIsTiled(tiff) &&
           (photometric == PHOTOMETRIC_MINISWHITE || photometric == PHOTOMETRIC_MINISBLACK);
}

bool EncodeBilevel(TIFF* tiff, std::uint32_t width, std::uint32_t height, std::string* out) {
    const size_t rowBytes = (size_t{width} + 7) / 8;
    if (static_cast<size_t>(TIFFScanlineSize(tiff)) != rowBytes) {
        return false;
    }
    std::uint16_t photometric = 0;
    TIFFGetField(tiff, TIFFTAG_PHOTOMETRIC, &photometric);
    std::vector<png_byte> data(rowBytes * height);
    for (std::uint32_t y = 0; y < height; ++y) {
        if (TIFFReadScanline(tiff, data.data() + rowBytes * y, y, 0) != 1) {
            return false;
        }
    }
    if (photometric == PHOTOMETRIC_MINISWHITE) {  // PNG grey: 0 is black
        for (png_byte& b : data) {
            b = static_cast<png_byte>(~b);
        }
    }
    return EncodeBuffer(data, rowBytes, width, height, 1, PNG_COLOR_TYPE_GRAY, out);
}

enum class PixelKind { BlackWhite, Grey, Rgb, Rgba };

PixelKind Classify(const std::vector<std::uint32_t>& abgr) {
    bool bw = true;
    bool grey = true;
    bool opaque = true;
    for (std::uint32_t p : abgr) {
        const std::uint32_t r = TIFFGetR(p), g = TIFFGetG(p), b = TIFFGetB(p);
        grey = grey && r == g && g == b;
        bw = bw && grey && (r == 0 || r == 255);
        opaque = opaque && TIFFGetA(p) == 255;
    }
    if (!opaque) {
        return PixelKind::Rgba;
    }
    return bw ? PixelKind::BlackWhite : grey ? PixelKind::Grey : PixelKind::Rgb;
}

// Any other page: decoded to RGBA by libtiff, then packed into the smallest PNG format.
bool EncodeAnyPage(TIFF* tiff, std::uint32_t width, std::uint32_t height, std::string* out) {
    std::vector<std::uint32_t> abgr(size_t{width} * height);
    if (TIFFReadRGBAImageOriented(tiff, width, height, abgr.data(), ORIENTATION_TOPLEFT, 0) == 0) {
        return false;
    }
    const PixelKind kind = Classify(abgr);
    int bitDepth = 8;
    int colorType = PNG_COLOR_TYPE_RGB;
    size_t rowBytes = size_t{width} * 3;
    switch (kind) {
        case PixelKind::BlackWhite:
            bitDepth = 1;
            colorType = PNG_COLOR_TYPE_GRAY;
            rowBytes = (size_t{width} + 7) / 8;
            break;
        case PixelKind::Grey:
            colorType = PNG_COLOR_TYPE_GRAY;
            rowBytes = width;
            break;
        case PixelKind::Rgb:
            break;
        case PixelKind::Rgba:
            colorType = PNG_COLOR_TYPE_RGB_ALPHA;
            rowBytes = size_t{width} * 4;
            break;
    }
    std::vector<png_byte> data(rowBytes * height, 0);
    for (std::uint32_t y = 0; y < height; ++y) {
        png_bytep row = data.data() + rowBytes * y;
        const std::uint32_t* src = abgr.data() + size_t{width} * y;
        for (std::uint32_t x = 0; x < width; ++x) {
            const std::uint32_t p = src[x];
            switch (kind) {
                case PixelKind::BlackWhite:
                    if (TIFFGetR(p) != 0) {
                        row[x / 8] |= static_cast<png_byte>(0x80u >> (x % 8));
                    }
                    break;
                case PixelKind::Grey:
                    row[x] = static_cast<png_byte>(TIFFGetR(p));
                    break;
                case PixelKind::Rgb:
                case PixelKind::Rgba: {
                    const size_t n = kind == PixelKind::Rgb ? 3 : 4;
                    png_bytep d = row + x * n;
                    d[0] = static_cast<png_byte>(TIFFGetR(p));
                    d[1] = static_cast<png_byte>(TIFFGetG(p));
                    d[2] = static_cast<png_byte>(TIFFGetB(p));
                    if (n == 4) {
                        d[3] = static_cast<png_byte>(TIFFGetA(p));
                    }
                    break;
                }
            }
        }
    }
    return EncodeBuffer(data, rowBytes, width, height, bitDepth, colorType, out);
}

}  // namespace

bool EncodePagePng(TIFF* tiff, std::uint32_t width, std::uint32_t height, std::string* out) {
    return IsPlainBilevel(tiff) ? EncodeBilevel(tiff, width, height, out)
                                : EncodeAnyPage(tiff, width, height, out);
}

}  // namespace tv::opener
