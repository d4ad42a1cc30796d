#pragma once
// Patent drawing sheets for the benchmarks: 2560 x 3300 pages, CCITT group 4, with lines,
// frames, circles, hatching and lettering like a patent drawing; and running a set of
// peer commands a few at a time.
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <tiffio.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/bench_support.h"

namespace tv::bench {

constexpr int kSheetWidth = 2560;
constexpr int kSheetHeight = 3300;

using Clock = std::chrono::steady_clock;

inline double Ms(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double, std::milli>(b - a).count();
}

// User and system time of this process (all threads) or of its waited-for children, ms.
inline double CpuMs(int who = RUSAGE_SELF) {
    rusage u{};
    getrusage(who, &u);
    return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e3 +
           (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e3;
}

// A 1-bit page, bit set = black.
struct Sheet {
    std::vector<unsigned char> bits =
        std::vector<unsigned char>(size_t{kSheetWidth / 8} * kSheetHeight);
    void Dot(int x, int y, int pen) {
        for (int dy = 0; dy < pen; ++dy) {
            for (int dx = 0; dx < pen; ++dx) {
                const int px = x + dx, py = y + dy;
                if (px >= 0 && py >= 0 && px < kSheetWidth && py < kSheetHeight) {
                    bits[size_t(py) * (kSheetWidth / 8) + size_t(px) / 8] |= 0x80 >> (px % 8);
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

inline void Draw(Sheet& s, Rng& rng) {
    auto pick = [&](int n) { return static_cast<int>(rng.Next() % static_cast<unsigned>(n)); };
    s.Box(100, 100, kSheetWidth - 200, kSheetHeight - 200, 4);
    for (int i = 0; i < 25; ++i) {
        const int x = 200 + pick(kSheetWidth - 600), y = 200 + pick(kSheetHeight - 600);
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
        const int x = 200 + pick(kSheetWidth - 400), y = 200 + pick(kSheetHeight - 300);
        for (int c = 0; c < 6; ++c) {
            for (int stroke = 0; stroke < 3; ++stroke) {
                s.Line(x + c * 28 + pick(20), y + pick(30), x + c * 28 + pick(20), y + pick(30), 2);
            }
        }
    }
}

inline bool WriteG4(const std::string& path, const Sheet& s) {
    TIFF* t = TIFFOpen(path.c_str(), "w");
    if (t == nullptr) {
        return false;
    }
    TIFFSetField(t, TIFFTAG_IMAGEWIDTH, kSheetWidth);
    TIFFSetField(t, TIFFTAG_IMAGELENGTH, kSheetHeight);
    TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, 1);
    TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(t, TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX4);
    TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
    TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, kSheetHeight);
    TIFFSetField(t, TIFFTAG_XRESOLUTION, 300.0f);
    TIFFSetField(t, TIFFTAG_YRESOLUTION, 300.0f);
    bool ok = true;
    for (int y = 0; y < kSheetHeight && ok; ++y) {
        ok =
            TIFFWriteScanline(t, const_cast<unsigned char*>(&s.bits[size_t(y) * (kSheetWidth / 8)]),
                              static_cast<std::uint32_t>(y), 0) == 1;
    }
    TIFFClose(t);
    return ok;
}

// Writes `count` sheets into folder as <prefix>D00001.TIF ...; their file names, or none
// when one cannot be written. The same sheets on every run.
inline std::vector<std::string> WriteSheets(const std::string& folder, const std::string& prefix,
                                            int count) {
    Rng rng;
    std::vector<std::string> names;
    for (int i = 1; i <= count; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "D%05d.TIF", i);
        Sheet sheet;
        Draw(sheet, rng);
        if (!WriteG4(folder + "/" + prefix + name, sheet)) {
            std::fprintf(stderr, "cannot write %s\n", name);
            return {};
        }
        names.push_back(prefix + name);
    }
    return names;
}

// Runs the commands, at most `parallel` at a time; false when one fails.
inline bool RunAll(const std::vector<std::vector<std::string>>& commands, unsigned parallel) {
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

inline std::uintmax_t PngBytes(const std::string& folder) {
    std::uintmax_t n = 0;
    for (const auto& e : std::filesystem::directory_iterator(folder)) {
        n += e.path().extension() == ".png" ? e.file_size() : 0;
    }
    return n;
}

}  // namespace tv::bench
