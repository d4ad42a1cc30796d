#pragma once
// TIFF drawings as PNG images a browser can show. Every page of the TIFF (any
// compression libtiff reads, CCITT group 4 fax included) becomes one PNG: page 1 is
// base + ".png", page n is base + "-n.png". Pages that are black and white are written
// with one bit per pixel, grey pages with eight, others as RGB(A).
//
// The input is untrusted: pages larger than the limits are refused before any pixel
// buffer is allocated, libtiff's own allocations are capped, and output files are
// written beside the base without following links. When a page fails, the pages
// already written are removed again.
#include <cstdint>
#include <string>
#include <vector>

namespace tv::opener {

struct TiffLimits {
    std::uint32_t maxSide = 20000;                       // width and height, pixels
    std::uint64_t maxPixelBytes = 256ull * 1024 * 1024;  // decoded RGBA page
    std::uint64_t maxTotalPixelBytes = 4ull << 30;       // all pages: bounds the time taken
    int maxPages = 1000;
};

struct PngConversion {
    std::vector<std::string> pngPaths;  // one per page, in page order; none on failure
    std::string error;                  // "" on success
};

// The PNG file name of page (1-based) for base: base.png, base-2.png, ...
std::string PngPageName(const std::string& base, int page);

PngConversion ConvertTiffToPng(const std::string& tiffPath, const std::string& pngBase,
                               const TiffLimits& limits = {});

}  // namespace tv::opener
