// Times the opener on a document with 40 drawing sheets (2560 x 3300, CCITT group 4,
// lines, frames, circles, hatching and lettering like a patent drawing): the whole
// transform, TIFF to PNG conversion included, against ImageMagick's `convert` turning
// the same TIFFs into PNG files (one process per file, one per core at a time). Median
// of interleaved runs, wall clock and CPU time (all threads, or all peer processes), so
// that a machine busy with other work still gives a comparable figure; the opener on
// one thread is shown as well. The peer runs one thread per process (MAGICK_THREAD_LIMIT=1): with a
// process per core its own threads only compete with each other.
//
//   bench_drawings [work folder]      (default: a fresh folder under $TMPDIR)
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <tiffio.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "bench/bench_support.h"
#include "tools/opener/transform.h"

namespace {

using namespace tv::bench;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
constexpr int kRuns = 5;
constexpr int kSheets = 40;
constexpr int kWidth = 2560;
constexpr int kHeight = 3300;

double Ms(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double, std::milli>(b - a).count();
}

// User and system time of this process (all threads) or of its waited-for children, ms.
double CpuMs(int who = RUSAGE_SELF) {
    rusage u{};
    getrusage(who, &u);
    return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e3 +
           (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e3;
}

// A 1-bit page, bit set = black.
struct Sheet {
    std::vector<unsigned char> bits = std::vector<unsigned char>(size_t{kWidth / 8} * kHeight);
    void Dot(int x, int y, int pen) {
        for (int dy = 0; dy < pen; ++dy) {
            for (int dx = 0; dx < pen; ++dx) {
                const int px = x + dx, py = y + dy;
                if (px >= 0 && py >= 0 && px < kWidth && py < kHeight) {
                    bits[size_t(py) * (kWidth / 8) + size_t(px) / 8] |= 0x80 >> (px % 8);
                }
            }
        }
    }
    void Line(int x0, int y0, int x1, int y1, int pen) {
        const int n = std::max({std::abs(x1 - x0), std::abs(y1 - y0), 1});
        for (int i = 0; i <= n; ++i) {
            Dot(x0 + (x1 - x0) * i / n, y0 + (y1 - y0) * i / n, pen);
        }
    }
    void Box(int x, int y, int w, int h, int pen) {
        Line(x, y, x + w, y, pen);
        Line(x, y + h, x + w, y + h, pen);
        Line(x, y, x, y + h, pen);
        Line(x + w, y, x + w, y + h, pen);
    }
};

void Draw(Sheet& s, Rng& rng) {
    auto pick = [&](int n) { return static_cast<int>(rng.Next() % static_cast<unsigned>(n)); };
    s.Box(100, 100, kWidth - 200, kHeight - 200, 4);
    for (int i = 0; i < 25; ++i) {
        const int x = 200 + pick(kWidth - 600), y = 200 + pick(kHeight - 600);
        const int w = 50 + pick(400), h = 50 + pick(400);
        switch (pick(4)) {
            case 0:
                s.Box(x, y, w, h, 3);
                break;
            case 1:
                for (int a = 0; a < 2000; ++a) {
                    const double t = a * 2 * M_PI / 2000;
                    s.Dot(x + w / 2 + int(w / 2 * std::cos(t)),
                          y + w / 2 + int(w / 2 * std::sin(t)), 3);
                }
                break;
            case 2:  // hatching
                for (int k = 0; k < h; k += 12) {
                    s.Line(x, y + k, x + w, y + k + w / 3, 2);
                }
                break;
            default:  // a leader line to a reference numeral
                s.Line(x, y, x + w, y + h, 3);
                s.Line(x + w, y, x, y + h, 2);
                break;
        }
    }
    for (int word = 0; word < 60; ++word) {  // lettering: strokes in 20 x 30 cells
        const int x = 200 + pick(kWidth - 400), y = 200 + pick(kHeight - 300);
        for (int c = 0; c < 6; ++c) {
            for (int stroke = 0; stroke < 3; ++stroke) {
                s.Line(x + c * 28 + pick(20), y + pick(30), x + c * 28 + pick(20), y + pick(30), 2);
            }
        }
    }
}

bool WriteG4(const std::string& path, const Sheet& s) {
    TIFF* t = TIFFOpen(path.c_str(), "w");
    if (t == nullptr) {
        return false;
    }
    TIFFSetField(t, TIFFTAG_IMAGEWIDTH, kWidth);
    TIFFSetField(t, TIFFTAG_IMAGELENGTH, kHeight);
    TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, 1);
    TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(t, TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX4);
    TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
    TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, kHeight);
    TIFFSetField(t, TIFFTAG_XRESOLUTION, 300.0f);
    TIFFSetField(t, TIFFTAG_YRESOLUTION, 300.0f);
    bool ok = true;
    for (int y = 0; y < kHeight && ok; ++y) {
        ok = TIFFWriteScanline(t, const_cast<unsigned char*>(&s.bits[size_t(y) * (kWidth / 8)]),
                               static_cast<std::uint32_t>(y), 0) == 1;
    }
    TIFFClose(t);
    return ok;
}

// Runs the commands, at most `parallel` at a time; false when one fails.
bool RunAll(const std::vector<std::vector<std::string>>& commands, unsigned parallel) {
    size_t next = 0, running = 0;
    bool ok = true;
    while (next < commands.size() || running > 0) {
        if (next < commands.size() && running < parallel) {
            std::vector<std::string> args = commands[next++];
            std::vector<char*> argv;
            for (std::string& a : args) {
                argv.push_back(a.data());
            }
            argv.push_back(nullptr);
            pid_t pid = 0;
            if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) {
                ok = false;
                continue;
            }
            ++running;
            continue;
        }
        int status = 0;
        if (::wait(&status) < 0) {
            return false;
        }
        --running;
        ok = ok && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
    return ok;
}

std::uintmax_t PngBytes(const std::string& folder) {
    std::uintmax_t n = 0;
    for (const auto& e : fs::directory_iterator(folder)) {
        n += e.path().extension() == ".png" ? e.file_size() : 0;
    }
    return n;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string work = WorkFolder(argc, argv);
    if (work.empty()) {
        std::fprintf(stderr, "cannot make a work folder\n");
        return 1;
    }
    const std::string doc = work + "/doc", peer = work + "/peer";
    fs::create_directories(doc);
    fs::create_directories(peer);
    Rng rng;
    std::string figures;
    std::uintmax_t tiffBytes = 0;
    std::vector<std::vector<std::string>> peerCommands;
    for (int i = 1; i <= kSheets; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "D%05d", i);
        Sheet sheet;
        Draw(sheet, rng);
        if (!WriteG4(doc + "/" + name + ".TIF", sheet)) {
            std::fprintf(stderr, "cannot write %s\n", name);
            return 1;
        }
        tiffBytes += fs::file_size(doc + "/" + name + ".TIF");
        figures += std::string("<figure file=\"") + name + ".TIF\"/>";
        peerCommands.push_back({"convert", doc + "/" + name + ".TIF", peer + "/" + name + ".png"});
    }
    std::ofstream(doc + "/s.xsl")
        << "<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">"
           "<xsl:output method=\"html\"/><xsl:template match=\"/\"><html><body>"
           "<xsl:for-each select=\"//figure\"><img src=\"{@file}\"/></xsl:for-each>"
           "</body></html></xsl:template></xsl:stylesheet>\n";
    std::ofstream(doc + "/doc.xml") << "<?xml version=\"1.0\"?>\n"
                                       "<?xml-stylesheet type=\"text/xsl\" href=\"s.xsl\"?>\n"
                                       "<doc>" +
                                           figures + "</doc>\n";
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    std::printf("%d sheets %dx%d group 4 (%ju KB of TIFF), %u cores\n", kSheets, kWidth, kHeight,
                tiffBytes / 1024, cores);

    setenv("MAGICK_THREAD_LIMIT", "1", 1);
    const bool havePeer = RunQuiet({"convert", "-version"}) == 0;
    std::vector<double> ours, oursCpu, oneThread, theirs, theirsCpu;
    auto timeOurs = [&](std::vector<double>& into, unsigned threads) {
        tv::opener::TiffLimits limits;
        limits.threads = threads;
        const auto a = Clock::now();
        const double cpu = CpuMs();
        const auto out =
            tv::opener::TransformToHtml(doc + "/doc.xml", doc + "/doc.xml.html", limits);
        into.push_back(Ms(a, Clock::now()));
        if (threads == 0) {
            oursCpu.push_back(CpuMs() - cpu);
        }
        if (out.kind != tv::opener::TransformOutcome::Kind::Written ||
            !out.drawingProblems.empty()) {
            std::fprintf(stderr, "the opener failed: %s\n", out.error.reason.c_str());
            std::exit(1);
        }
    };
    auto timePeer = [&] {
        const auto a = Clock::now();
        const double cpu = CpuMs(RUSAGE_CHILDREN);
        if (!RunAll(peerCommands, cores)) {
            std::fprintf(stderr, "convert failed\n");
        }
        theirs.push_back(Ms(a, Clock::now()));
        theirsCpu.push_back(CpuMs(RUSAGE_CHILDREN) - cpu);
    };
    for (int run = 0; run < kRuns; ++run) {
        // Alternate which goes first, so both meet the same cache state.
        if (run % 2 == 0) {
            timeOurs(ours, 0);
        }
        if (havePeer) {
            timePeer();
        }
        if (run % 2 != 0) {
            timeOurs(ours, 0);
        }
        timeOurs(oneThread, 1);
    }
    double load[3] = {0, 0, 0};
    std::ifstream("/proc/loadavg") >> load[0] >> load[1] >> load[2];
    std::printf("opener, %u threads       %8.1f ms  (CPU %.1f ms, PNG %ju KB)\n", cores,
                Median(ours), Median(oursCpu), PngBytes(doc) / 1024);
    std::printf("opener, 1 thread         %8.1f ms\n", Median(oneThread));
    if (havePeer) {
        std::printf("convert, %u at a time    %8.1f ms  (CPU %.1f ms, PNG %ju KB)\n", cores,
                    Median(theirs), Median(theirsCpu), PngBytes(peer) / 1024);
        std::printf("opener/convert           %8.3f  (CPU %.3f)\n", Median(ours) / Median(theirs),
                    Median(oursCpu) / Median(theirsCpu));
    } else {
        std::printf("convert: ImageMagick is not installed; only the opener was timed\n");
    }
    std::printf("median of %d interleaved runs; load average %.2f %.2f %.2f\n", kRuns, load[0],
                load[1], load[2]);
    return 0;
}
