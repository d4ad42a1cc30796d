#include <gtest/gtest.h>
#include <libxml/HTMLparser.h>
#include <libxml/HTMLtree.h>
#include <png.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <tiffio.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/strings.h"
#include "tests/opener/opener_fixtures.h"
#include "tests/platform/test_env.h"
#include "tools/opener/tiff_png.h"
#include "tools/opener/tiff_refs.h"

namespace tv::opener {
namespace {

namespace sfs = std::filesystem;
using tv::test::MakeG4Tiff;
using tv::test::ReadAll;
using tv::test::TempFolder;

struct DocFree {
    void operator()(xmlDoc* d) const { xmlFreeDoc(d); }
};
using Doc = std::unique_ptr<xmlDoc, DocFree>;

Doc Page(const std::string& body) {
    return Doc(htmlReadMemory(body.data(), static_cast<int>(body.size()), nullptr, "UTF-8", 0));
}

std::string Serialized(xmlDoc* doc) {
    xmlChar* text = nullptr;
    int size = 0;
    htmlDocDumpMemory(doc, &text, &size);
    std::string out(reinterpret_cast<char*>(text), static_cast<size_t>(size));
    xmlFree(text);
    return out;
}

size_t Count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++n;
    }
    return n;
}

// Page n is 40 pixels wide and 10 + n high; its pixel (x, y) is black when x == y.
bool MakeDiagonalTiff(const std::string& path, int pages, std::uint16_t photometric,
                      std::uint16_t bits) {
    TIFF* t = TIFFOpen(path.c_str(), "w");
    bool ok = t != nullptr;
    for (int p = 1; p <= pages && ok; ++p) {
        const std::uint32_t width = 40, height = 10 + static_cast<std::uint32_t>(p);
        TIFFSetField(t, TIFFTAG_IMAGEWIDTH, width);
        TIFFSetField(t, TIFFTAG_IMAGELENGTH, height);
        TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, bits);
        TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, 1);
        TIFFSetField(t, TIFFTAG_PHOTOMETRIC, photometric);
        TIFFSetField(t, TIFFTAG_COMPRESSION, bits == 1 ? COMPRESSION_CCITTFAX4 : COMPRESSION_NONE);
        const bool blackIsOne = bits == 1 && photometric == PHOTOMETRIC_MINISWHITE;
        for (std::uint32_t y = 0; y < height && ok; ++y) {
            std::string row(bits == 1 ? width / 8 : width,
                            static_cast<char>(blackIsOne ? 0 : 0xff));
            if (bits == 1) {
                row[y / 8] = static_cast<char>(row[y / 8] ^ (0x80 >> (y % 8)));
            } else if (y < width) {
                row[y] = 0;
            }
            ok = TIFFWriteScanline(t, row.data(), y, 0) == 1;
        }
        ok = ok && TIFFWriteDirectory(t) == 1;
    }
    if (t != nullptr) {
        TIFFClose(t);
    }
    return ok;
}

// The PNG as 8-bit grey pixels, empty when it cannot be read.
std::vector<png_byte> GreyPixels(const std::string& path, png_uint_32* height) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    std::vector<png_byte> pixels;
    if (png_image_begin_read_from_file(&image, path.c_str()) != 0) {
        image.format = PNG_FORMAT_GRAY;
        pixels.resize(PNG_IMAGE_SIZE(image));
        *height = image.height;
        if (png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr) == 0) {
            pixels.clear();
        }
    }
    png_image_free(&image);
    return pixels;
}

// Every page, in its place and the right way round, however the pages are shared out.
TEST(OpenerTiff, PagesKeepTheirPixelsAndOrder) {
    const struct {
        std::uint16_t photometric, bits;
        int pages;
        unsigned threads;
        int pngBitDepth;  // byte 24 of the file
    } cases[] = {
        {PHOTOMETRIC_MINISWHITE, 1, 19, 0, 1},
        {PHOTOMETRIC_MINISBLACK, 1, 3, 1, 1},
        {PHOTOMETRIC_MINISWHITE, 1, 11, 3, 1},
        {PHOTOMETRIC_MINISBLACK, 8, 2, 2, 1},  // 8-bit samples, only black and white used
    };
    for (const auto& c : cases) {
        TempFolder dir;
        ASSERT_TRUE(MakeDiagonalTiff(dir / "d.tif", c.pages, c.photometric, c.bits));
        TiffLimits limits;
        limits.threads = c.threads;
        const PngConversion out = ConvertTiffToPng(dir / "d.tif", dir / "d", limits);
        ASSERT_TRUE(out.Ok()) << c.pages << out.status().Description();
        ASSERT_EQ(out->size(), static_cast<size_t>(c.pages));
        for (int p = 1; p <= c.pages; ++p) {
            const std::string png = (*out)[static_cast<size_t>(p) - 1];
            EXPECT_EQ(png, dir / PngPageName("d", p));
            EXPECT_EQ(ReadAll(png)[24], c.pngBitDepth) << png;
            png_uint_32 height = 0;
            const std::vector<png_byte> grey = GreyPixels(png, &height);
            ASSERT_EQ(grey.size(), 40u * height) << png;
            EXPECT_EQ(height, 10u + static_cast<unsigned>(p));
            for (size_t i = 0; i < grey.size(); ++i) {
                ASSERT_EQ(grey[i], i % 40 == i / 40 ? 0 : 255) << png << " pixel " << i;
            }
        }
    }
}

// Links in the document's folder are never followed to read a TIFF or write a PNG.
TEST(OpenerTiff, LinksAreNotFollowed) {
    const struct {
        const char* reference;
        const char* link;    // created in doc/, pointing to target
        const char* target;  // relative to doc/
        bool converted;
    } cases[] = {
        {"d.tif", "d.tif", "../out/d.tif", false},
        {"sub/d.tif", "sub", "../out", false},
        {"real/sub/d.tif", "real/sub", "../../out", false},
        {"own.tif", "own.png", "../out/d.png", true},  // replaced, not written through
    };
    for (const auto& c : cases) {
        TempFolder dir;
        sfs::create_directories(dir / "doc/real");
        sfs::create_directories(dir / "out");
        ASSERT_TRUE(MakeG4Tiff(dir / "out/d.tif", 16, 16));
        ASSERT_TRUE(MakeG4Tiff(dir / "doc/own.tif", 16, 16));
        tv::test::WriteFile(dir / "out/d.png", "outside");
        sfs::create_symlink(c.target, dir / (std::string("doc/") + c.link));
        Doc page = Page(std::string("<html><body><img src=\"") + c.reference + "\"></body></html>");
        const RewriteReport report = RewriteTiffReferences(page.get(), dir / "doc");
        EXPECT_EQ(report.converted, c.converted ? 1 : 0) << c.reference;
        EXPECT_EQ(ReadAll(dir / "out/d.png"), "outside") << c.reference;
        EXPECT_EQ(sfs::is_symlink(dir / (std::string("doc/") + c.link)), !c.converted)
            << c.reference;
        if (!c.converted) {
            EXPECT_NE(Serialized(page.get()).find("links are not followed"), std::string::npos);
        }
    }
}

// All drawings of one page share the limits; what does not fit says so on the page.
TEST(OpenerTiff, LimitsCoverTheWholePage) {
    const struct {
        const char* name;
        int references;  // img elements naming t<i % files>.tif
        int files;
        int pages;  // of each file, 16x16 pixels each
        TiffLimits limits;
        int converted;
        size_t images;  // img elements afterwards
        const char* note;
    } cases[] = {
        {"copies", 300, 1, 5, {.maxImageCopies = 20}, 1, 320, "only the first page"},
        {"pages", 3, 3, 4, {.maxPages = 10}, 2, 9, "more than 10 pages"},
        {"pixels", 3, 3, 1, {.maxTotalPixelBytes = 2 * 16 * 16 * 4}, 2, 3, "larger than allowed"},
        {"bytes", 2, 2, 1, {.maxOutputBytes = 10}, 0, 2, "larger than allowed"},
        {"references", 5, 5, 1, {.maxReferences = 3}, 3, 5, "names more than 3 drawings"},
        {"many files", 150, 150, 1, {}, 150, 150, ""},  // more than the descriptors allowed
        {"time", 2, 2, 1, {.maxTime = std::chrono::milliseconds(0)}, 0, 2, "time for the drawings"},
    };
    rlimit saved{};
    getrlimit(RLIMIT_NOFILE, &saved);
    rlimit low = saved;
    low.rlim_cur = std::min<rlim_t>(saved.rlim_cur, 100);
    setrlimit(RLIMIT_NOFILE, &low);
    for (const auto& c : cases) {
        TempFolder dir;
        std::string body = "<html><body>";
        for (int i = 0; i < c.files; ++i) {
            ASSERT_TRUE(MakeG4Tiff(dir / ("t" + std::to_string(i) + ".tif"), 16, 16, c.pages));
        }
        for (int i = 0; i < c.references; ++i) {
            body += "<img src=\"t" + std::to_string(i % c.files) + ".tif\">";
        }
        Doc page = Page(body + "</body></html>");
        const RewriteReport report = RewriteTiffReferences(page.get(), dir.Path(), c.limits);
        EXPECT_EQ(report.converted, c.converted) << c.name;
        const std::string html = Serialized(page.get());
        EXPECT_EQ(Count(html, "<img"), c.images) << c.name;
        EXPECT_NE(tv::ToLower(html).find(c.note), std::string::npos) << c.name << html;
        size_t pngs = 0;
        for (const auto& entry : sfs::directory_iterator(dir.Path())) {
            pngs += entry.path().extension() == ".png";
        }
        EXPECT_EQ(pngs, static_cast<size_t>(c.converted * c.pages)) << c.name;
    }
    setrlimit(RLIMIT_NOFILE, &saved);
}

}  // namespace
}  // namespace tv::opener
