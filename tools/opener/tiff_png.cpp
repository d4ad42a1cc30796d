#include "tools/opener/tiff_png.h"

#include <png.h>
#include <tiffio.h>

#include <cstdarg>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <new>

#include "tools/opener/output_file.h"

namespace tv::opener {
namespace {

struct TiffCloser {
    void operator()(TIFF* t) const { TIFFClose(t); }
};
struct OptionsFree {
    void operator()(TIFFOpenOptions* o) const { TIFFOpenOptionsFree(o); }
};

int CollectTiffError(TIFF*, void* userData, const char* module, const char* fmt, va_list ap) {
    auto* out = static_cast<std::string*>(userData);
    if (out->empty()) {
        char buf[512];
        std::vsnprintf(buf, sizeof buf, fmt, ap);
        *out = (module != nullptr ? std::string(module) + ": " : std::string()) + buf;
    }
    return 1;  // handled: nothing goes to stderr
}

int IgnoreTiffWarning(TIFF*, void*, const char*, const char*, va_list) {
    return 1;
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
// setjmp below. rows points into rowData, which the caller owns.
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
    png_set_IHDR(png, info, width, height, bitDepth, colorType, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

// Packs the RGBA raster (top row first) into PNG rows of the smallest fitting format.
bool EncodePng(const std::vector<std::uint32_t>& abgr, std::uint32_t width, std::uint32_t height,
               std::string* out) {
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
    std::vector<png_bytep> rows(height);
    for (std::uint32_t y = 0; y < height; ++y) {
        png_bytep row = data.data() + rowBytes * y;
        rows[y] = row;
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
    return EncodeRows(rows.data(), width, height, bitDepth, colorType, out);
}

}  // namespace

std::string PngPageName(const std::string& base, int page) {
    return page <= 1 ? base + ".png" : base + "-" + std::to_string(page) + ".png";
}

PngConversion ConvertTiffToPng(const std::string& tiffPath, const std::string& pngBase,
                               const TiffLimits& limits) {
    PngConversion result;
    if (!IsRegularFile(tiffPath)) {
        result.error = "not a readable file: " + tiffPath;
        return result;
    }
    std::string tiffError;
    std::unique_ptr<TIFFOpenOptions, OptionsFree> options(TIFFOpenOptionsAlloc());
    if (!options) {
        result.error = "out of memory";
        return result;
    }
    TIFFOpenOptionsSetMaxSingleMemAlloc(options.get(), static_cast<tmsize_t>(limits.maxPixelBytes));
    TIFFOpenOptionsSetErrorHandlerExtR(options.get(), CollectTiffError, &tiffError);
    TIFFOpenOptionsSetWarningHandlerExtR(options.get(), IgnoreTiffWarning, nullptr);
    std::unique_ptr<TIFF, TiffCloser> tiff(TIFFOpenExt(tiffPath.c_str(), "r", options.get()));
    if (!tiff) {
        result.error = "not a TIFF image: " + (tiffError.empty() ? tiffPath : tiffError);
        return result;
    }
    std::vector<std::string> written;
    int page = 0;
    std::uint64_t total = 0;
    do {
        if (++page > limits.maxPages) {
            result.error = "more than " + std::to_string(limits.maxPages) + " pages";
            break;
        }
        std::uint32_t width = 0, height = 0;
        TIFFGetField(tiff.get(), TIFFTAG_IMAGEWIDTH, &width);
        TIFFGetField(tiff.get(), TIFFTAG_IMAGELENGTH, &height);
        const std::uint64_t bytes = std::uint64_t{width} * height * 4;
        if (width == 0 || height == 0 || width > limits.maxSide || height > limits.maxSide ||
            bytes > limits.maxPixelBytes) {
            result.error = "page " + std::to_string(page) + " is " + std::to_string(width) + "x" +
                           std::to_string(height) + " pixels, larger than allowed";
            break;
        }
        total += bytes;
        if (total > limits.maxTotalPixelBytes) {
            result.error = "the pages together are larger than allowed";
            break;
        }
        std::vector<std::uint32_t> raster(size_t{width} * height);
        if (TIFFReadRGBAImageOriented(tiff.get(), width, height, raster.data(), ORIENTATION_TOPLEFT,
                                      0) == 0) {
            result.error = "page " + std::to_string(page) + " cannot be decoded" +
                           (tiffError.empty() ? std::string() : ": " + tiffError);
            break;
        }
        std::string png;
        if (!EncodePng(raster, width, height, &png)) {
            result.error = "page " + std::to_string(page) + " cannot be written as PNG";
            break;
        }
        const std::string name = PngPageName(pngBase, page);
        if (std::string reason = WriteFileReplacing(name, png); !reason.empty()) {
            result.error = reason;
            break;
        }
        written.push_back(name);
    } while (TIFFReadDirectory(tiff.get()) == 1);
    if (result.error.empty()) {
        result.pngPaths = std::move(written);
    } else {
        for (const std::string& name : written) {  // half a drawing is no drawing
            std::error_code ignored;
            std::filesystem::remove(name, ignored);
        }
    }
    return result;
}

}  // namespace tv::opener
