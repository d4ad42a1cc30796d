// Times our unzip library against the unzip tool on the same packages, side by side:
// listing a 10,000-entry package and extracting a ~60 MB package of ~300 entries
// (mostly incompressible image-like data, a few large XML files), then the 10,000
// entries again over an existing copy (unzip -o). Last, extraction of a
// 100 MB package whose comment holds a few thousand fake end-of-directory records,
// against the same package without them.
//
//   bench_unzip [--over] [work folder]   (default: a fresh folder under $TMPDIR)
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zip.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "archive/cUnzip.h"
#include "archive/unzip/unzip.h"
#include "bench/bench_support.h"

namespace {

using namespace tv::bench;
namespace fs = std::filesystem;
constexpr int kRuns = 5;

std::string Xml(Rng& rng, std::size_t n) {
    return XmlText(rng, n, "<?xml version=\"1.0\"?>\n<doc>\n", "</doc>\n");
}

// One formatted line per entry, as a listing shows it (printed in --list mode).
std::size_t listedBytes = 0;
bool printLines = false;
void OnEntry(std::uint64_t size, std::uint64_t, unsigned factor, unsigned mo, unsigned dy,
             unsigned yr, unsigned hh, unsigned mm, char, const char* name, const char* method,
             unsigned long crc, char) {
    char line[512];
    const int n = std::snprintf(
        line, sizeof line, "%10llu  %-8s %3u%%  %04u-%02u-%02u %02u:%02u  %08lx  %s\n",
        static_cast<unsigned long long>(size), method, factor, yr, mo, dy, hh, mm, crc, name);
    listedBytes += static_cast<std::size_t>(n);
    if (printLines) {
        std::fwrite(line, 1, std::min<std::size_t>(static_cast<std::size_t>(n), sizeof line - 1),
                    stdout);
    }
}

int Ours(const std::string& zip, const std::string& folder) {
    std::string z = zip, f = folder;
    DCL dcl{};
    dcl.nvflag = folder.empty() ? 1 : 0;
    dcl.ndflag = 1;
    dcl.noflag = 1;
    dcl.lpszZipFN = z.data();
    dcl.lpszExtractDir = f.data();
    USERFUNCTIONS callbacks{};
    callbacks.SendApplicationMessage = OnEntry;
    return Wiz_SingleEntryUnzip(0, nullptr, 0, nullptr, &dcl, &callbacks);
}

double Milliseconds(const std::function<int(int)>& work, int run) {
    const auto start = std::chrono::steady_clock::now();
    const int code = work(run);
    const auto end = std::chrono::steady_clock::now();
    if (code != 0) {
        std::fprintf(stderr, "run returned %d\n", code);
    }
    return std::chrono::duration<double, std::milli>(end - start).count();
}

// Medians of runs of each, interleaved and alternating which goes first, so that both
// meet the same cache and file-system state (run is the run's number). settle, when
// given, runs untimed before every timed run.
std::pair<double, double> Compare(const std::function<int(int)>& ours,
                                  const std::function<int(int)>& tool,
                                  const std::function<void()>& settle = {}, int runs = kRuns) {
    std::vector<double> a, b;
    auto time = [&](const std::function<int(int)>& work, std::vector<double>& into, int run) {
        if (work) {
            if (settle) {
                settle();
            }
            into.push_back(Milliseconds(work, run));
        }
    };
    for (int run = 0; run < runs; ++run) {
        time(run % 2 == 0 ? ours : tool, run % 2 == 0 ? a : b, run);
        time(run % 2 == 0 ? tool : ours, run % 2 == 0 ? b : a, run);
    }
    return {Median(a), tool ? Median(b) : 0.0};
}

std::string Load() {
    double load[3] = {-1, -1, -1};
    getloadavg(load, 3);
    char text[64];
    std::snprintf(text, sizeof text, "load %.2f %.2f %.2f", load[0], load[1], load[2]);
    return text;
}

void Report(const char* what, double ours, double tool) {
    if (tool > 0) {
        std::printf("%-34s ours %9.1f ms   unzip %9.1f ms   ours/unzip %.2f\n", what, ours, tool,
                    ours / tool);
    } else {
        std::printf("%-34s ours %9.1f ms   (unzip not installed)\n", what, ours);
    }
}

}  // namespace

int main(int argc, char** argv) {
    // A listing as a process of its own, to compare whole processes with unzip -l.
    if (argc == 3 && std::strcmp(argv[1], "--list") == 0) {
        printLines = true;
        return Ours(argv[2], "");
    }
    // --over: only the extractions over an existing copy.
    const bool overOnly = argc >= 2 && std::strcmp(argv[1], "--over") == 0;
    const std::string work = WorkFolder(argc, argv, overOnly ? 2 : 1);
    if (work.empty()) {
        return 1;
    }
    const bool haveTool = RunQuiet({"unzip", "-v"}) == 0;
    const std::string self = fs::canonical("/proc/self/exe").string();
    Rng rng;

    const std::string many = work + "/many.zip";
    const std::string large = work + "/large.zip";
    {
        std::vector<std::pair<std::string, std::string>> items;
        for (int i = 0; i < 10000; ++i) {
            char name[64];
            std::snprintf(name, sizeof name, "US%05d/D%05d.xml", i / 100, i);
            items.emplace_back(name, Xml(rng, 400));
        }
        WriteZip(many, items);
    }
    if (!overOnly) {
        std::vector<std::pair<std::string, std::string>> items;
        items.emplace_back("US09999999-20240102.XML", Xml(rng, 3 << 20));
        items.emplace_back("US09999999-20240102-SEQLST.TXT", Xml(rng, 2 << 20));
        items.emplace_back("US09999999-20240102-TRANSMITTAL.XML", Xml(rng, 1 << 20));
        for (int i = 1; i <= 297; ++i) {
            char name[64];
            std::snprintf(name, sizeof name, "US09999999-20240102-D%05d.TIF", i);
            items.emplace_back(name, Noise(rng, 180 * 1024 + (rng.Next() % 32768)));
        }
        WriteZip(large, items);
    }
    std::printf("packages: %s (%ju bytes, 10000 entries), %s (%ju bytes, 300 entries)\n",
                many.c_str(), static_cast<std::uintmax_t>(fs::file_size(many)), large.c_str(),
                static_cast<std::uintmax_t>(overOnly ? 0 : fs::file_size(large)));

    // Every extraction run writes into a folder of its own; all are removed at the end
    // (removing between runs would charge the next run for the file system's cleanup).
    const auto folder = [&](const char* who, int run) {
        return work + "/" + who + "-" + std::to_string(run);
    };
    using Work = std::function<int(int)>;
    for (const std::string& zip : {many, large}) {
        if (overOnly) {
            break;
        }
        const std::string label = zip == many ? "10,000 entries" : "300 entries, 60 MB";
        const Work tool = haveTool ? Work([&](int) {
            return RunQuiet({"unzip", "-l", zip});
        })
                                   : Work();
        auto [ours, unzip] = Compare([&](int) { return Ours(zip, ""); }, tool);
        Report(("list " + label + " (library)").c_str(), ours, unzip);
        std::tie(ours, unzip) = Compare([&](int) { return RunQuiet({self, "--list", zip}); }, tool);
        Report(("list " + label + " (process)").c_str(), ours, unzip);
        std::tie(ours, unzip) = Compare(
            [&](int) {
                tv::cUnzip component;
                component.SetZipFile(zip);
                component.Directory();
                return component.FileCount() > 0 ? 0 : 1;
            },
            tool);
        Report(("list " + label + " (cUnzip)").c_str(), ours, unzip);
    }
    for (const std::string& zip : {large, many}) {
        if (overOnly) {
            break;
        }
        const std::string label = zip == many ? "10,000 entries" : "300 entries, 60 MB";
        const std::string tag = zip == many ? "many" : "large";
        const Work tool = haveTool ? Work([&](int run) {
            return RunQuiet({"unzip", "-qo", zip, "-d", folder(("tool-" + tag).c_str(), run)});
        })
                                   : Work();
        const auto [ours, unzip] =
            Compare([&](int run) { return Ours(zip, folder(("ours-" + tag).c_str(), run)); }, tool);
        Report(("extract " + label).c_str(), ours, unzip);
    }
    {
        // Over an existing copy (unzip -o): both sides replace the copy in one folder, so
        // each run meets the same state, a full copy just written (where a folder's files
        // lie on the disk changes the cost of replacing them by half or more). First over a
        // copy just written, as when a package is opened again at once; then over one
        // already on disk (pending writes flushed before each run, so neither side pays
        // for the other's).
        const std::string over = folder("over", 0);
        Ours(many, over);
        const Work tool = haveTool ? Work([&](int) {
            return RunQuiet({"unzip", "-qo", many, "-d", over});
        })
                                   : Work();
        const Work ours = [&](int) { return Ours(many, over); };
        std::string before = Load();
        auto [mine, unzip] = Compare(ours, tool);
        Report("extract 10,000 over a fresh copy", mine, unzip);
        std::printf("%-34s (%s before, %s after)\n", "", before.c_str(), Load().c_str());
        before = Load();
        std::tie(mine, unzip) = Compare(
            ours, tool, [] { ::sync(); }, 3);
        Report("extract 10,000 over a synced copy", mine, unzip);
        std::printf("%-34s (median of 3; %s before, %s after)\n", "", before.c_str(),
                    Load().c_str());
    }
    if (!overOnly) {
        const std::string plain = work + "/plain100.zip", fakes = work + "/fakes100.zip";
        std::vector<std::pair<std::string, std::string>> items;
        for (int i = 0; i < 100; ++i) {
            items.emplace_back("D" + std::to_string(i) + ".TIF", Noise(rng, 1 << 20));
        }
        WriteZip(plain, items);
        std::string bytes;
        {
            std::ifstream in(plain, std::ios::binary);
            bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        }
        // Fake records with disk number 1, each claiming a directory from the start of
        // the file up to itself, inside the real record's comment.
        constexpr int kFakes = 2900;
        const std::size_t comment = kFakes * 22;
        bytes[bytes.size() - 2] = static_cast<char>(comment & 0xff);
        bytes[bytes.size() - 1] = static_cast<char>(comment >> 8);
        for (int i = 0; i < kFakes; ++i) {
            const std::uint32_t at = static_cast<std::uint32_t>(bytes.size());
            const unsigned char fake[22] = {0x50,
                                            0x4b,
                                            5,
                                            6,
                                            1,
                                            0,
                                            1,
                                            0,
                                            1,
                                            0,
                                            1,
                                            0,
                                            static_cast<unsigned char>(at),
                                            static_cast<unsigned char>(at >> 8),
                                            static_cast<unsigned char>(at >> 16),
                                            static_cast<unsigned char>(at >> 24),
                                            0,
                                            0,
                                            0,
                                            0,
                                            0,
                                            0};
            bytes.append(reinterpret_cast<const char*>(fake), sizeof fake);
        }
        std::ofstream(fakes, std::ios::binary) << bytes;
        const auto [withFakes, without] =
            Compare([&](int run) { return Ours(fakes, folder("fakes", run)); },
                    [&](int run) { return Ours(plain, folder("plain", run)); });
        std::printf("%-34s ours %9.1f ms   plain   %9.1f ms   ratio      %.2f\n",
                    "extract 100 MB, 2,900 fake ends", withFakes, without, withFakes / without);
    }
    for (const auto& entry : fs::directory_iterator(work)) {
        if (entry.is_directory()) {
            fs::remove_all(entry.path());
        }
    }
    if (argc <= (overOnly ? 2 : 1)) {
        fs::remove_all(work);
    }
    std::printf(
        "(median of %d interleaved runs each, warm page cache; listed %zu bytes of lines)\n", kRuns,
        listedBytes);
    return 0;
}
