// Builds the demo package: the XML documents of demo/ and three drawings, drawn here and
// written as group 4 fax TIFFs, zipped in the order a real package has them (forms
// first, the main document last among the XML entries, so the listing picks it).
//
//   make_demo OUTPUT.zip SOURCE_FOLDER
#include <tiffio.h>
#include <zip.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr const char* kStem = "TS10123456-20261201";

// A 1-bit page, 0 white and 1 black, drawn with thick lines.
class Page {
  public:
    Page(int w, int h) : w_(w), h_(h), px_(static_cast<std::size_t>(w) * h, 0) {}
    int Width() const { return w_; }
    int Height() const { return h_; }
    bool At(int x, int y) const { return px_[static_cast<std::size_t>(y) * w_ + x] != 0; }

    void Dot(int x, int y, int r) {
        for (int dy = -r; dy <= r; ++dy)
            for (int dx = -r; dx <= r; ++dx)
                if (dx * dx + dy * dy <= r * r)
                    Set(x + dx, y + dy);
    }
    void Line(double x0, double y0, double x1, double y1, int r = 2) {
        const int steps = static_cast<int>(std::hypot(x1 - x0, y1 - y0)) + 1;
        for (int i = 0; i <= steps; ++i) {
            const double t = static_cast<double>(i) / steps;
            Dot(static_cast<int>(x0 + (x1 - x0) * t), static_cast<int>(y0 + (y1 - y0) * t), r);
        }
    }
    void Rect(int x, int y, int w, int h, int r = 2) {
        Line(x, y, x + w, y, r);
        Line(x + w, y, x + w, y + h, r);
        Line(x + w, y + h, x, y + h, r);
        Line(x, y + h, x, y, r);
    }
    // A hexagon with flat top and bottom; tongues on alternate edges when asked.
    void Hexagon(double cx, double cy, double size, bool tongues) {
        for (int k = 0; k < 6; ++k) {
            const double a0 = M_PI / 3 * k, a1 = M_PI / 3 * (k + 1);
            const double x0 = cx + size * std::cos(a0), y0 = cy + size * std::sin(a0);
            const double x1 = cx + size * std::cos(a1), y1 = cy + size * std::sin(a1);
            Line(x0, y0, x1, y1, 3);
            if (tongues && k % 2 == 0) {
                const double mx = (x0 + x1) / 2, my = (y0 + y1) / 2;
                const double nx = std::cos((a0 + a1) / 2), ny = std::sin((a0 + a1) / 2);
                const double ex = (x1 - x0) / 6, ey = (y1 - y0) / 6;
                Line(mx - ex, my - ey, mx - ex + nx * 25, my - ey + ny * 25, 2);
                Line(mx - ex + nx * 25, my - ey + ny * 25, mx + ex + nx * 25, my + ey + ny * 25, 2);
                Line(mx + ex + nx * 25, my + ey + ny * 25, mx + ex, my + ey, 2);
            }
        }
    }
    // Text in a 5x7 dot font, scaled; only the characters the drawings use.
    void Text(int x, int y, const std::string& text, int scale) {
        for (char c : text) {
            const std::uint8_t* g = Glyph(c);
            for (int row = 0; row < 7; ++row)
                for (int col = 0; col < 5; ++col)
                    if (g[row] & (0x10 >> col))
                        for (int dy = 0; dy < scale; ++dy)
                            for (int dx = 0; dx < scale; ++dx)
                                Set(x + col * scale + dx, y + row * scale + dy);
            x += 6 * scale;
        }
    }

  private:
    void Set(int x, int y) {
        if (x >= 0 && y >= 0 && x < w_ && y < h_)
            px_[static_cast<std::size_t>(y) * w_ + x] = 1;
    }
    static const std::uint8_t* Glyph(char c) {
        static const std::uint8_t kBlank[7] = {};
        static const struct {
            char c;
            std::uint8_t rows[7];
        } kFont[] = {
            {'F', {0x1f, 0x10, 0x10, 0x1e, 0x10, 0x10, 0x10}},
            {'I', {0x0e, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0e}},
            {'G', {0x0e, 0x11, 0x10, 0x17, 0x11, 0x11, 0x0f}},
            {'.', {0x00, 0x00, 0x00, 0x00, 0x00, 0x0c, 0x0c}},
            {'0', {0x0e, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0e}},
            {'1', {0x04, 0x0c, 0x04, 0x04, 0x04, 0x04, 0x0e}},
            {'2', {0x0e, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1f}},
            {'3', {0x1f, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0e}},
            {'4', {0x02, 0x06, 0x0a, 0x12, 0x1f, 0x02, 0x02}},
            {'6', {0x06, 0x08, 0x10, 0x1e, 0x11, 0x11, 0x0e}},
        };
        for (const auto& g : kFont)
            if (g.c == c)
                return g.rows;
        return kBlank;
    }

    int w_, h_;
    std::vector<std::uint8_t> px_;
};

Page Figure(int n) {
    Page page(1600, 1200);
    if (n == 1) {  // one tile, plan view, with its reference numerals
        page.Hexagon(800, 560, 380, true);
        page.Line(800, 560, 1180, 560, 1);
        page.Text(1250, 540, "10", 5);
        page.Text(1060, 190, "12", 5);
        page.Text(300, 250, "14", 5);
    } else if (n == 2) {  // section through two joined tiles
        page.Rect(150, 450, 650, 200, 3);
        page.Rect(800, 450, 650, 200, 3);
        page.Rect(760, 520, 80, 60, 2);   // tongue in groove
        page.Rect(740, 650, 120, 50, 2);  // channel below
        page.Text(770, 760, "16", 5);
        page.Text(400, 330, "10", 5);
    } else {  // seven tiles and the drainage network
        const double s = 170, dx = s * 1.5, dy = s * std::sqrt(3.0);
        const double cx = 800, cy = 560;
        page.Hexagon(cx, cy, s, false);
        for (int k = 0; k < 6; ++k) {
            const double a = M_PI / 6 + M_PI / 3 * k;
            page.Hexagon(cx + dy * std::cos(a), cy + dy * std::sin(a), s, false);
        }
        page.Line(cx - 2 * dx, cy, cx + 2 * dx, cy, 1);
        page.Text(1380, 540, "16", 5);
    }
    page.Text(680, 1080, "FIG. " + std::to_string(n), 8);
    return page;
}

std::vector<char> WriteTiff(const Page& page, const std::filesystem::path& path) {
    TIFF* tif = TIFFOpen(path.c_str(), "w");
    if (!tif)
        return {};
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, page.Width());
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, page.Height());
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 1);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX4);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
    TIFFSetField(tif, TIFFTAG_FILLORDER, FILLORDER_MSB2LSB);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, page.Height());
    TIFFSetField(tif, TIFFTAG_XRESOLUTION, 200.0);
    TIFFSetField(tif, TIFFTAG_YRESOLUTION, 200.0);
    TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
    std::vector<std::uint8_t> row((page.Width() + 7) / 8);
    bool ok = true;
    for (int y = 0; y < page.Height() && ok; ++y) {
        std::fill(row.begin(), row.end(), 0);
        for (int x = 0; x < page.Width(); ++x)
            if (page.At(x, y))
                row[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
        ok = TIFFWriteScanline(tif, row.data(), static_cast<std::uint32_t>(y), 0) == 1;
    }
    TIFFClose(tif);
    return ok ? std::vector<char>{1} : std::vector<char>{};
}

bool AddFile(zip_t* zip, const std::string& name, const std::filesystem::path& file) {
    zip_source_t* src = zip_source_file(zip, file.c_str(), 0, -1);
    if (!src)
        return false;
    const zip_int64_t index =
        zip_file_add(zip, name.c_str(), src, ZIP_FL_OVERWRITE | ZIP_FL_ENC_UTF_8);
    if (index < 0) {
        zip_source_free(src);
        return false;
    }
    // A fixed date keeps the package the same from build to build.
    std::tm tm{};
    tm.tm_year = 2026 - 1900;
    tm.tm_mon = 11;
    tm.tm_mday = 1;
    tm.tm_hour = 9;
    zip_file_set_mtime(zip, static_cast<zip_uint64_t>(index), std::mktime(&tm), 0);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_demo OUTPUT.zip SOURCE_FOLDER\n");
        return 2;
    }
    namespace fs = std::filesystem;
    const fs::path output = argv[1], source = argv[2];
    const fs::path work = output.parent_path() / "demo-drawings";
    std::error_code ec;
    fs::create_directories(work, ec);

    const std::string stem = kStem;
    const std::vector<std::string> documents = {"tran-" + stem + ".xml", stem + "-fee.xml",
                                                stem + "-requ.xml", stem + "-s00001.xml",
                                                stem + ".xml"};
    int error = 0;
    zip_t* zip = zip_open(output.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!zip) {
        std::fprintf(stderr, "make_demo: cannot create %s\n", output.c_str());
        return 1;
    }
    bool ok = true;
    for (const std::string& doc : documents) ok = ok && AddFile(zip, doc, source / doc);
    for (int n = 1; n <= 3 && ok; ++n) {
        const std::string name = stem + "-D0000" + std::to_string(n) + ".TIF";
        ok = !WriteTiff(Figure(n), work / name).empty() && AddFile(zip, name, work / name);
    }
    // libzip keeps the archive open when closing fails; discard it then, as on any
    // earlier failure, so no half-written package is left under the output name.
    if (!ok || zip_close(zip) != 0) {
        zip_discard(zip);
        std::fprintf(stderr, "make_demo: could not write %s\n", output.c_str());
        return 1;
    }
    return 0;
}
