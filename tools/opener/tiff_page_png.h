#pragma once
// One decoded TIFF page as PNG bytes: black and white pages that libtiff decodes to
// packed 1-bit rows go to PNG as they are; any other page is decoded to RGBA and packed
// into the smallest PNG format that holds it (1-bit, grey, RGB or RGBA).
#include <tiffio.h>

#include <cstdint>
#include <string>

namespace tv::opener {

// Appends the PNG of the current directory of tiff (width x height, already checked
// against the limits) to out; false when the page cannot be decoded or encoded.
bool EncodePagePng(TIFF* tiff, std::uint32_t width, std::uint32_t height, std::string* out);

}  // namespace tv::opener
