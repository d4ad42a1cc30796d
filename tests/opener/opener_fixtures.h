#pragma once
// Fixtures for the opener tests: TIFF drawings made with libtiff, PNG headers read back,
// and small XML documents with their stylesheets.
#include <tiffio.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>

namespace tv::test {

// A 1-bit TIFF, CCITT group 4 like a fax or patent drawing, with pages pages of
// width x height, each with a black bar across its top rows.
inline bool MakeG4Tiff(const std::string& path, std::uint32_t width, std::uint32_t height,
                       int pages = 1) {
    TIFF* t = TIFFOpen(path.c_str(), "w");
    if (t == nullptr) {
        return false;
    }
    std::string row((width + 7) / 8, '\0');
    bool ok = true;
    for (int p = 0; p < pages && ok; ++p) {
        TIFFSetField(t, TIFFTAG_IMAGEWIDTH, width);
        TIFFSetField(t, TIFFTAG_IMAGELENGTH, height);
        TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, 1);
        TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, 1);
        TIFFSetField(t, TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX4);
        TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
        TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, height);
        TIFFSetField(t, TIFFTAG_SUBFILETYPE, FILETYPE_PAGE);
        TIFFSetField(t, TIFFTAG_PAGENUMBER, p, pages);
        for (std::uint32_t y = 0; y < height && ok; ++y) {
            row.assign(row.size(), y < 4 ? '\xff' : '\0');
            ok = TIFFWriteScanline(t, row.data(), y, 0) == 1;
        }
        ok = ok && TIFFWriteDirectory(t) == 1;
    }
    TIFFClose(t);
    return ok;
}

struct PngHeader {
    bool signature = false;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
};

inline PngHeader ReadPngHeader(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string head(24, '\0');
    PngHeader h;
    if (!in.read(head.data(), 24)) {
        return h;
    }
    h.signature = head.compare(0, 8, "\x89PNG\r\n\x1a\n") == 0 && head.compare(12, 4, "IHDR") == 0;
    auto be32 = [&](size_t at) {
        std::uint32_t v = 0;
        for (size_t i = 0; i < 4; ++i) {
            v = v << 8 | static_cast<unsigned char>(head[at + i]);
        }
        return v;
    };
    h.width = be32(16);
    h.height = be32(20);
    return h;
}

inline std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline std::string XslWrap(const std::string& body, const std::string& extra = "",
                           const std::string& version = "1.0") {
    return "<xsl:stylesheet version=\"" + version +
           "\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\" " + extra +
           ">\n<xsl:output method=\"html\"/>\n<xsl:template match=\"/\">" + body +
           "</xsl:template>\n</xsl:stylesheet>\n";
}

inline std::string StyledXml(const std::string& href, const std::string& rest) {
    return "<?xml version=\"1.0\"?>\n<?xml-stylesheet type=\"text/xsl\" href=\"" + href + "\"?>\n" +
           rest;
}

}  // namespace tv::test
