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
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "bench/drawing_sheets.h"
#include "tools/opener/transform.h"

namespace {

using namespace tv::bench;
namespace fs = std::filesystem;
constexpr int kRuns = 5;
constexpr int kSheets = 40;

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
    const std::vector<std::string> names = WriteSheets(doc, "", kSheets);
    if (names.empty()) {
        return 1;
    }
    std::string figures;
    std::uintmax_t tiffBytes = 0;
    std::vector<std::vector<std::string>> peerCommands;
    for (const std::string& name : names) {
        const std::string stem = name.substr(0, name.rfind('.'));
        tiffBytes += fs::file_size(doc + "/" + name);
        figures += "<figure file=\"" + name + "\"/>";
        peerCommands.push_back({"convert", doc + "/" + name, peer + "/" + stem + ".png"});
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
    std::printf("%d sheets %dx%d group 4 (%ju KB of TIFF), %u cores\n", kSheets, kSheetWidth,
                kSheetHeight, tiffBytes / 1024, cores);

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
        InterleavedRound(
            run, [&] { timeOurs(ours, 0); }, timePeer, havePeer);
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
