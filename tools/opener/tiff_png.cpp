#include "tools/opener/tiff_png.h"

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
#include "tools/opener/tiff_page_png.h"

namespace tv::opener {
namespace {

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

Status NotConverted(const std::string& why) {
    return Status(kErrInvalidFormat, ErrorSource("Opener"), why);
}

// Reads every page's size and place, and charges the budget when the whole TIFF fits.
void Survey(Source& s, int root, const TiffLimits& limits, Budget& budget) {
    const Result<FolderFile> file = OpenBelow(root, s.tiff);
    if (!file) {
        s.error = file.status().Description();
        return;
    }
    s.device = file->device;
    s.inode = file->inode;
    TiffHandle handle(file->file.Get(), limits);
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
    const bool encoded = EncodePagePng(tiff, page.width, page.height, &png);
    if (!encoded) {
        page.error = number + " cannot be decoded" + (tiffError.empty() ? "" : ": " + tiffError);
        return;
    }
    if (budget.outputBytes.fetch_add(png.size()) + png.size() > limits.maxOutputBytes) {
        page.error = "the drawings of this document together are larger than allowed";
        return;
    }
    const Status written =
        WriteInFolder(folder, PngPageName(s.pngBase, static_cast<int>(index) + 1), png);
    page.error = written.Description();
    page.written = written.Ok();
}

void RunJob(const Job& job, int root, const TiffLimits& limits, Budget& budget) {
    Source& s = *job.source;
    const Result<FolderFile> file = OpenBelow(root, s.tiff);
    if (!file || file->device != s.device || file->inode != s.inode) {
        s.pages[job.first].error = s.tiff + " was changed while it was converted";
        return;
    }
    TiffHandle handle(file->file.Get(), limits);
    for (size_t i = job.first; i < job.end; ++i) {
        const bool positioned =
            handle.get() != nullptr &&
            (i == job.first ? TIFFSetSubDirectory(handle.get(), s.pages[i].directory)
                            : TIFFReadDirectory(handle.get())) == 1;
        if (!positioned) {
            s.pages[i].error = "page " + std::to_string(i + 1) + " cannot be read";
            return;
        }
        ConvertPage(handle.get(), file->folder.Get(), s, i, limits, budget, handle.error());
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
    std::vector<PngConversion> results;
    results.reserve(items.size());
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
        UniqueFd folderFd;
        if (!s.error.empty() && anyWritten) {
            if (Result<UniqueFd> folder = OpenFolderBelow(root.Get(), s.tiff)) {
                folderFd = std::move(folder).value();
            }
        }
        std::vector<std::string> pngPaths;
        for (size_t p = 0; p < s.pages.size(); ++p) {
            const std::string name = PngPageName(s.pngBase, static_cast<int>(p) + 1);
            if (!s.error.empty() && s.pages[p].written && folderFd.Valid()) {
                RemoveInFolder(folderFd.Get(), name);  // half a drawing is no drawing
            } else if (s.error.empty()) {
                pngPaths.push_back(s.pngFolder + name);
            }
        }
        results.push_back(s.error.empty() ? PngConversion(std::move(pngPaths))
                                          : PngConversion(NotConverted(s.error)));
    }
    return results;
}

PngConversion ConvertTiffToPng(const std::string& tiffPath, const std::string& pngBase,
                               const TiffLimits& limits) {
    const size_t slash = tiffPath.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : tiffPath.substr(0, slash + 1);
    const std::string baseFolder = pngBase.substr(0, pngBase.rfind('/') + 1);
    if (baseFolder != tiffPath.substr(0, slash + 1)) {
        return NotConverted("the PNG files go beside the TIFF");
    }
    return ConvertTiffsToPng(
               folder, {TiffItem{tiffPath.substr(slash + 1), pngBase.substr(baseFolder.size())}},
               limits)
        .front();
}

}  // namespace tv::opener
