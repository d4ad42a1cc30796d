#pragma once
// TIFF drawings as PNG images a browser can show. Every page of the TIFF (any
// compression libtiff reads, CCITT group 4 fax included) becomes one PNG: page 1 is
// base + ".png", page n is base + "-n.png". Black and white pages are written with one
// bit per pixel straight from the decoded rows, grey pages with eight, others as RGB(A).
//
// The input is untrusted: pages larger than the limits are refused before any pixel
// buffer is allocated, libtiff's own allocations are capped, the drawings of one
// document share one budget (pages, pixels, PNG bytes, time), files are reached below
// the document's folder without following links (tiff_folder.h), and output files are
// never written through a link. When a page fails, the pages of that TIFF already
// written are removed again. The pages of all TIFFs are converted in parallel.
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/error.h"

namespace tv::opener {

struct TiffLimits {
    std::uint32_t maxSide = 20000;                       // width and height, pixels
    std::uint64_t maxPixelBytes = 256ull * 1024 * 1024;  // one decoded RGBA page
    // For all drawings of one document together: they bound the time and the disk
    // space a package can take.
    std::uint64_t maxTotalPixelBytes = 16ull << 30;  // as decoded RGBA: 4 G pixels
    std::uint64_t maxOutputBytes = 1ull << 30;       // PNG files written
    int maxPages = 3000;                             // PNG files written
    int maxReferences = 50000;                       // img/a elements naming a TIFF
    int maxImageCopies = 10000;                      // img elements added for pages 2..n
    std::chrono::milliseconds maxTime = std::chrono::seconds(60);  // from the start
    // The caller's own end for the whole job, when it has one.
    std::chrono::steady_clock::time_point deadline = std::chrono::steady_clock::time_point::max();
    unsigned threads = 0;  // 0: one per hardware thread
};

// The PNG files of one TIFF, one per page in page order; or why there are none
// (kErrInvalidFormat: a drawing that is broken, too large or unreachable).
using PngConversion = Result<std::vector<std::string>>;

// The PNG file name of page (1-based) for base: base.png, base-2.png, ...
std::string PngPageName(const std::string& base, int page);

struct TiffItem {
    std::string tiff;     // relative to the folder: "a/b.tif"
    std::string pngBase;  // a file name beside the TIFF, without ".png": "b"
};

// Converts the items, each once, sharing limits among them in item order (a TIFF that
// does not fit fails whole; later smaller ones may still fit). One result per item.
std::vector<PngConversion> ConvertTiffsToPng(const std::string& folder,
                                             const std::vector<TiffItem>& items,
                                             const TiffLimits& limits = {});

// One TIFF; pngBase must be in the TIFF's folder. The folder itself is reached as
// named, only the file's own name is opened without following a link.
PngConversion ConvertTiffToPng(const std::string& tiffPath, const std::string& pngBase,
                               const TiffLimits& limits = {});

}  // namespace tv::opener
