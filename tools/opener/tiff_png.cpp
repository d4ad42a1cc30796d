#include "tools/opener/tiff_png.h"

#include <png.h>
#include <sys/stat.h>
#include <tiffio.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <memory>
#include <new>
#include <thread>

#include "platform/paths.h"
#include "tools/opener/tiff_folder.h"

namespace tv::opener {
namespace {

// Drawings are mostly white: a low zlib level without row filters is three times
// faster than the default and about a quarter larger.
constexpr int kZlibLevel = 2;
constexpr int kPagesPerJob = 8;

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

// libtiff reads through these with a position of its own per handle (pread), so the
// workers share one descriptor per file.
struct Reader {
    int fd = -1;
    toff_t pos = 0;
};

tmsize_t ReadProc(thandle_t h, void* buf, tmsize_t size) {
    auto* r = static_cast<Reader*>(h);
    tmsize_t done = 0;
    while (done < size) {
        const ssize_t n = ::pread(r->fd, static_cast<char*>(buf) + done,
                                  static_cast<size_t>(size - done), static_cast<off_t>(r->pos));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        done += n;
        r->pos += static_cast<toff_t>(n);
    }
    return done;
}

tmsize_t WriteProc(thandle_t, void*, tmsize_t) {
    return -1;
}

toff_t SizeProc(thandle_t h) {
    struct stat st {};
    return ::fstat(static_cast<Reader*>(h)->fd, &st) == 0 ? static_cast<toff_t>(st.st_size) : 0;
}

toff_t SeekProc(thandle_t h, toff_t offset, int whence) {
    auto* r = static_cast<Reader*>(h);
    if (whence == SEEK_CUR) {
        offset += r->pos;
    } else if (whence == SEEK_END) {
        offset += SizeProc(h);
    }
    r->pos = offset;
    return offset;
}

int CloseProc(thandle_t) {
    return 0;  // the descriptor belongs to the caller
}

int NoMap(thandle_t, void**, toff_t*) {
    return 0;
}

void NoUnmap(thandle_t, void*, toff_t) {}

// One libtiff handle on an open file; members are destroyed handle first.
class TiffHandle {
  public:
    TiffHandle(int fd, const TiffLimits& limits) {
        reader_.fd = fd;
        std::unique_ptr<TIFFOpenOptions, OptionsFree> options(TIFFOpenOptionsAlloc());
        if (!options) {
            error_ = "out of memory";
            return;
        }
        TIFFOpenOptionsSetMaxSingleMemAlloc(options.get(),
                                            static_cast<tmsize_t>(limits.maxPixelBytes));
        TIFFOpenOptionsSetErrorHandlerExtR(options.get(), CollectTiffError, &error_);
        TIFFOpenOptionsSetWarningHandlerExtR(options.get(), IgnoreTiffWarning, nullptr);
        tiff_.reset(TIFFClientOpenExt("drawing", "rm", &reader_, ReadProc, WriteProc, SeekProc,
                                      CloseProc, SizeProc, NoMap, NoUnmap, options.get()));
    }
    TIFF* get() const { return tiff_.get(); }
    const std::string& error() const { return error_; }

  private:
    std::string error_;
    Reader reader_;
    std::unique_ptr<TIFF, TiffCloser> tiff_;
};

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

struct Page {
    toff_t directory = 0;  // where its tags start in the file
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::string error;  // set by the worker converting the page
    bool written = false;
};

// A TIFF to convert. Its descriptors are open only while it is surveyed and while a
// job works on it, so that a page naming a thousand drawings stays far from the
// process's descriptor limit.
struct Source {
    std::string tiff;  // below the root
    std::uint64_t device = 0, inode = 0;
    std::string pngFolder;  // the folder's path, for the names reported
    std::string pngBase;
    std::vector<Page> pages;
    std::string error;
};

// What the sources have used of the limits so far.
struct Budget {
    std::chrono::steady_clock::time_point end;
    int pages = 0;
    std::uint64_t pixelBytes = 0;
    std::atomic<std::uint64_t> outputBytes{0};
};

// Reads every page's size and place, and charges the budget when the whole TIFF fits.
void Survey(Source& s, int root, const TiffLimits& limits, Budget& budget) {
    const FolderFile file = OpenBelow(root, s.tiff);
    if (!file.error.empty()) {
        s.error = file.error;
        return;
    }
    s.device = file.device;
    s.inode = file.inode;
    TiffHandle handle(file.file.Get(), limits);
    TIFF* tiff = handle.get();
    if (tiff == nullptr) {
        s.error = "not a TIFF image" + (handle.error().empty() ? "" : ": " + handle.error());
        return;
    }
    std::uint64_t pixelBytes = 0;
    do {
        const int page = static_cast<int>(s.pages.size()) + 1;
        if (budget.pages + page > limits.maxPages) {
            s.error = "the drawings of this document together have more than " +
                      std::to_string(limits.maxPages) + " pages";
            return;
        }
        std::uint32_t width = 0, height = 0;
        TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &width);
        TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &height);
        const std::uint64_t bytes = std::uint64_t{width} * height * 4;
        if (width == 0 || height == 0 || width > limits.maxSide || height > limits.maxSide ||
            bytes > limits.maxPixelBytes) {
            s.error = "page " + std::to_string(page) + " is " + std::to_string(width) + "x" +
                      std::to_string(height) + " pixels, larger than allowed";
            return;
        }
        pixelBytes += bytes;
        if (budget.pixelBytes + pixelBytes > limits.maxTotalPixelBytes) {
            s.error = "the drawings of this document together are larger than allowed";
            return;
        }
        s.pages.push_back(Page{TIFFCurrentDirOffset(tiff), width, height, "", false});
    } while (TIFFReadDirectory(tiff) == 1);
    budget.pages += static_cast<int>(s.pages.size());
    budget.pixelBytes += pixelBytes;
}

struct Job {
    Source* source;
    size_t first;
    size_t end;
};

void ConvertPage(TIFF* tiff, int folder, Source& s, size_t index, const TiffLimits& limits,
                 Budget& budget, const std::string& tiffError) {
    Page& page = s.pages[index];
    const std::string number = "page " + std::to_string(index + 1);
    if (std::chrono::steady_clock::now() > budget.end) {
        page.error = "the time for the drawings ran out";
        return;
    }
    std::string png;
    const bool encoded = IsPlainBilevel(tiff) ? EncodeBilevel(tiff, page.width, page.height, &png)
                                              : EncodeAnyPage(tiff, page.width, page.height, &png);
    if (!encoded) {
        page.error = number + " cannot be decoded" + (tiffError.empty() ? "" : ": " + tiffError);
        return;
    }
    if (budget.outputBytes.fetch_add(png.size()) + png.size() > limits.maxOutputBytes) {
        page.error = "the drawings of this document together are larger than allowed";
        return;
    }
    page.error = WriteInFolder(folder, PngPageName(s.pngBase, static_cast<int>(index) + 1), png);
    page.written = page.error.empty();
}

void RunJob(const Job& job, int root, const TiffLimits& limits, Budget& budget) {
    Source& s = *job.source;
    const FolderFile file = OpenBelow(root, s.tiff);
    if (!file.error.empty() || file.device != s.device || file.inode != s.inode) {
        s.pages[job.first].error = s.tiff + " was changed while it was converted";
        return;
    }
    TiffHandle handle(file.file.Get(), limits);
    for (size_t i = job.first; i < job.end; ++i) {
        const bool positioned =
            handle.get() != nullptr &&
            (i == job.first ? TIFFSetSubDirectory(handle.get(), s.pages[i].directory)
                            : TIFFReadDirectory(handle.get())) == 1;
        if (!positioned) {
            s.pages[i].error = "page " + std::to_string(i + 1) + " cannot be read";
            return;
        }
        ConvertPage(handle.get(), file.folder.Get(), s, i, limits, budget, handle.error());
        if (!s.pages[i].error.empty()) {
            return;  // the TIFF fails as a whole
        }
    }
}

// Runs the jobs on one thread per core, this one included.
void RunJobs(const std::vector<Job>& jobs, int root, const TiffLimits& limits, Budget& budget) {
    std::atomic<size_t> next{0};
    auto work = [&] {
        for (size_t i; (i = next.fetch_add(1)) < jobs.size();) {
            try {
                RunJob(jobs[i], root, limits, budget);
            } catch (const std::bad_alloc&) {
                jobs[i].source->pages[jobs[i].first].error = "out of memory";
            }
        }
    };
    const unsigned cores =
        limits.threads != 0 ? limits.threads : std::thread::hardware_concurrency();
    const size_t helpers = std::min<size_t>(std::max(cores, 1u) - 1, jobs.size());
    std::vector<std::jthread> threads;
    try {
        for (size_t i = 0; i < helpers; ++i) {
            threads.emplace_back(work);
        }
    } catch (const std::system_error&) {
        // No more threads: the ones running and this one share the work.
    }
    work();
}

}  // namespace

std::string PngPageName(const std::string& base, int page) {
    return page <= 1 ? base + ".png" : base + "-" + std::to_string(page) + ".png";
}

std::vector<PngConversion> ConvertTiffsToPng(const std::string& folder,
                                             const std::vector<TiffItem>& items,
                                             const TiffLimits& limits) {
    std::vector<PngConversion> results(items.size());
    const UniqueFd root = OpenFolder(folder);
    const std::string prefix = WithTrailingSeparator(folder);
    std::vector<Source> sources(items.size());
    Budget budget;
    const auto now = std::chrono::steady_clock::now();
    budget.end = limits.deadline - now > limits.maxTime ? now + limits.maxTime : limits.deadline;
    std::vector<Job> jobs;
    for (size_t i = 0; i < items.size(); ++i) {
        Source& s = sources[i];
        const std::string& tiff = items[i].tiff;
        s.tiff = tiff;
        s.pngBase = items[i].pngBase;
        s.pngFolder = prefix + tiff.substr(0, tiff.rfind('/') + 1);
        if (!root.Valid()) {
            s.error = "the document's folder cannot be read";
            continue;
        }
        Survey(s, root.Get(), limits, budget);
        for (size_t p = 0; s.error.empty() && p < s.pages.size(); p += kPagesPerJob) {
            jobs.push_back(Job{&s, p, std::min(s.pages.size(), p + kPagesPerJob)});
        }
    }
    RunJobs(jobs, root.Get(), limits, budget);
    for (size_t i = 0; i < items.size(); ++i) {
        Source& s = sources[i];
        for (const Page& page : s.pages) {
            if (s.error.empty() && !page.error.empty()) {
                s.error = page.error;
            }
        }
        const bool anyWritten =
            std::any_of(s.pages.begin(), s.pages.end(), [](const Page& p) { return p.written; });
        const UniqueFd folderFd = !s.error.empty() && anyWritten
                                      ? std::move(OpenBelow(root.Get(), s.tiff).folder)
                                      : UniqueFd();
        for (size_t p = 0; p < s.pages.size(); ++p) {
            const std::string name = PngPageName(s.pngBase, static_cast<int>(p) + 1);
            if (!s.error.empty() && s.pages[p].written && folderFd.Valid()) {
                RemoveInFolder(folderFd.Get(), name);  // half a drawing is no drawing
            } else if (s.error.empty()) {
                results[i].pngPaths.push_back(s.pngFolder + name);
            }
        }
        results[i].error = s.error;
    }
    return results;
}

PngConversion ConvertTiffToPng(const std::string& tiffPath, const std::string& pngBase,
                               const TiffLimits& limits) {
    const size_t slash = tiffPath.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : tiffPath.substr(0, slash + 1);
    const std::string baseFolder = pngBase.substr(0, pngBase.rfind('/') + 1);
    if (baseFolder != tiffPath.substr(0, slash + 1)) {
        return PngConversion{{}, "the PNG files go beside the TIFF"};
    }
    return ConvertTiffsToPng(
               folder, {TiffItem{tiffPath.substr(slash + 1), pngBase.substr(baseFolder.size())}},
               limits)
        .front();
}

}  // namespace tv::opener
