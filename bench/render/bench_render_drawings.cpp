// Times a package with 40 drawing sheets (2560 x 3300, CCITT group 4) from the click to
// the page in the browser, with the real installed tools: the viewer's listing and
// renderer extract the package with the unzip library, run PathMend with the installed
// catalog and start tessel-open, which converts the drawings and hands the page to a
// recording $BROWSER; the clock stops when the browser is started. The peer is what a
// user would do by hand: `unzip -qo` of the package, then ImageMagick's `convert` of
// each TIFF to PNG, one thread per process (MAGICK_THREAD_LIMIT=1), one process per
// core at a time. Median of interleaved runs, wall clock and CPU time.
//
//   bench_render_drawings [--prefix PREFIX] [--work FOLDER] [--runs N]
//
// Without --prefix, this build is installed into the work folder first.
#include <signal.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "archive/cUnzip.h"
#include "bench/drawing_sheets.h"
#include "bench/installed_tools.h"
#include "platform/process/start_detached.h"
#include "render/cunzip_extractor.h"
#include "render/renderer.h"
#include "render/tools.h"
#include "shell/listing.h"

namespace {

using namespace tv::bench;
namespace fs = std::filesystem;
constexpr int kSheets = 40;
constexpr const char* kBase = "US09999999-20250107";

// A grant of the real element structure naming the sheets, with some pages of text.
std::string MainDocument(const std::vector<std::string>& sheets) {
    std::string figures;
    for (std::size_t i = 0; i < sheets.size(); ++i) {
        const std::string n = std::to_string(i + 1);
        figures += "<figure id=\"Fig-EMI-D" + n + "\" num=\"" + n + "\"><img id=\"EMI-D" + n +
                   "\" he=\"230.00mm\" wi=\"178.00mm\" file=\"" + sheets[i] +
                   "\" alt=\"embedded image\" img-content=\"drawing\" img-format=\"tif\"/>"
                   "</figure>\n";
    }
    Rng rng;
    const std::string head =
        std::string(
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<!DOCTYPE us-patent-grant SYSTEM \"us-patent-grant-v45-2014-04-03.dtd\" [ ]>\n"
            "<us-patent-grant lang=\"EN\" dtd-version=\"v4.5 2014-04-03\" file=\"") +
        kBase +
        ".XML\" id=\"us-patent-grant\" country=\"US\">\n<us-bibliographic-data-grant>\n"
        "<publication-reference><document-id><country>US</country><doc-number>09999999"
        "</doc-number><kind>B2</kind><date>20250107</date></document-id>"
        "</publication-reference>\n<application-reference appl-type=\"utility\"><document-id>"
        "<country>US</country><doc-number>17000042</doc-number><date>20230112</date>"
        "</document-id></application-reference>\n"
        "<invention-title id=\"title\">Layered signal apparatus</invention-title>\n"
        "<figures><number-of-drawing-sheets>40</number-of-drawing-sheets>"
        "<number-of-figures>40</number-of-figures></figures>\n</us-bibliographic-data-grant>\n"
        "<abstract id=\"abstract\"><p id=\"p-0001\" num=\"0000\">An apparatus comprising a "
        "layer and a signal device.</p></abstract>\n<drawings id=\"DRAWINGS\">\n" +
        figures +
        "</drawings>\n<description id=\"description\">\n"
        "<heading id=\"h-0001\" level=\"1\">BACKGROUND</heading>\n";
    return XmlText(rng, 120 * 1024, head,
                   "</description>\n<claims id=\"claims\"><claim id=\"CLM-00001\" num=\"00001\">"
                   "<claim-text>1. An apparatus comprising a layer.</claim-text></claim></claims>\n"
                   "</us-patent-grant>\n");
}

// The browser launch of the viewer, keeping the started opener's id so the benchmark
// can wait until it is gone.
struct Ports : tv::render::Launcher, tv::render::MessageSink {
    void Launch(const std::string& program, const std::string& target,
                const std::string& folder) override {
        const tv::Result<long> r = tv::StartDetached(program, target, folder);
        if (r.Ok()) {
            started.push_back(static_cast<pid_t>(*r));
        }
    }
    void Show(const std::string& text, int, const std::string&) override {
        std::fprintf(stderr, "message: %s\n", text.c_str());
    }
    std::vector<pid_t> started;
};

// One render as the window does it after opening the package: list, render.
bool Render(const std::string& zip, const std::string& documents, const Installation& in,
            Ports& ports) {
    tv::cUnzip component;
    component.SetZipFile(zip);
    component.Directory();
    const tv::PackageListing listing = tv::BuildPackageListing(component);
    std::vector<std::string> names;
    for (const tv::ListingRow& row : listing.rows) {
        names.push_back(row.listedName);
    }
    tv::render::PackageState state{listing.MainDocEntry, listing.SeqListEntry, false};
    tv::render::CUnzipExtractor extractor(component);
    tv::render::ProcessToolRunner tools;
    tv::render::Renderer renderer(extractor, tools, ports, ports);
    tv::render::RenderSettings settings;
    settings.ie11Path = in.app() + "tessel-open";
    settings.documentsFolder = documents + "/";
    settings.appPath = in.app();
    settings.appDataPath = in.data();
    return renderer.RenderPackage(settings, state, names).error.Ok();
}

// Waits until the started programs have ended (their reaper is StartDetached's).
void WaitGone(std::vector<pid_t>& pids) {
    for (pid_t pid : pids) {
        while (kill(pid, 0) == 0 || errno == EPERM) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    pids.clear();
}

int CountPngImages(const std::string& page) {
    std::ifstream in(page);
    const std::string s{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    static const std::regex img(R"re(<img[^>]*\ssrc="[^"]*\.png")re");
    return static_cast<int>(
        std::distance(std::sregex_iterator(s.begin(), s.end(), img), std::sregex_iterator()));
}

}  // namespace

int main(int argc, char** argv) {
    std::string prefix, workArg;
    int runs = 5;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string a = argv[i];
        if (a == "--prefix") {
            prefix = argv[i + 1];
        } else if (a == "--work") {
            workArg = argv[i + 1];
        } else if (a == "--runs") {
            runs = std::max(1, std::atoi(argv[i + 1]));
        }
    }
    if (argc % 2 == 0) {
        std::fprintf(stderr,
                     "usage: bench_render_drawings [--prefix PREFIX] [--work FOLDER] [--runs N]\n");
        return 2;
    }
    char* fake[] = {argv[0], workArg.data()};
    const std::string work = WorkFolder(workArg.empty() ? 1 : 2, fake);
    if (work.empty()) {
        std::fprintf(stderr, "cannot make a work folder\n");
        return 1;
    }
    if (workArg.empty()) {
        RemoveAtExit(work);
    }
    const Installation in = Install(prefix, work);
    BrowserRecorder browser(work);

    const std::string sheets = work + "/sheets", zip = work + "/" + kBase + ".zip";
    fs::create_directories(sheets);
    const std::vector<std::string> names = WriteSheets(sheets, std::string(kBase) + "-", kSheets);
    if (names.empty()) {
        return 1;
    }
    std::uintmax_t tiffBytes = 0;
    {
        std::vector<std::pair<std::string, std::string>> items;
        items.emplace_back(std::string(kBase) + ".XML", MainDocument(names));
        for (const std::string& name : names) {
            std::ifstream f(sheets + "/" + name, std::ios::binary);
            items.emplace_back(name, std::string{std::istreambuf_iterator<char>(f),
                                                 std::istreambuf_iterator<char>()});
            tiffBytes += items.back().second.size();
        }
        WriteZip(zip, items);
    }
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    std::printf(
        "package: %d sheets %dx%d group 4 (%ju KB of TIFF) + main document, %ju KB; "
        "%u cores\n",
        kSheets, kSheetWidth, kSheetHeight, tiffBytes / 1024,
        static_cast<std::uintmax_t>(fs::file_size(zip) / 1024), cores);

    setenv("MAGICK_THREAD_LIMIT", "1", 1);
    const bool havePeer = RunQuiet({"unzip", "-v"}) == 0 && RunQuiet({"convert", "-version"}) == 0;
    const std::string loadBefore = LoadAverage();
    std::vector<double> ours, oursCpu, extracted, theirs, theirsCpu;
    Ports ports;
    for (int run = 0; run < runs; ++run) {
        const std::string tag = std::to_string(run);
        auto timeOurs = [&] {
            const std::string documents = work + "/render-" + tag;
            browser.Arm();
            const double cpu = CpuMs() + CpuMs(RUSAGE_CHILDREN);
            const auto a = Clock::now();
            const bool ok = Render(zip, documents, in, ports);
            extracted.push_back(Ms(a, Clock::now()));
            const std::optional<std::string> page = browser.Wait(60000);
            ours.push_back(Ms(a, Clock::now()));
            WaitGone(ports.started);
            oursCpu.push_back(CpuMs() + CpuMs(RUSAGE_CHILDREN) - cpu);
            const std::string expected =
                documents + "/MyTessel/" + kBase + "/" + kBase + ".XML.html";
            if (!ok || page != expected || CountPngImages(expected) != kSheets) {
                std::fprintf(stderr, "the render handed over \"%s\" with %d PNG images\n",
                             page.value_or("nothing").c_str(), CountPngImages(expected));
                std::exit(1);
            }
        };
        auto timePeer = [&] {
            const std::string folder = work + "/peer-" + tag;
            std::vector<std::vector<std::string>> converts;
            for (const std::string& name : names) {
                converts.push_back({"convert", folder + "/" + name,
                                    folder + "/" + name.substr(0, name.rfind('.')) + ".png"});
            }
            const double cpu = CpuMs(RUSAGE_CHILDREN);
            const auto a = Clock::now();
            const bool ok =
                RunQuiet({"unzip", "-qo", zip, "-d", folder}) == 0 && RunAll(converts, cores);
            theirs.push_back(Ms(a, Clock::now()));
            theirsCpu.push_back(CpuMs(RUSAGE_CHILDREN) - cpu);
            if (!ok) {
                std::fprintf(stderr, "unzip or convert failed\n");
            }
        };
        InterleavedRound(run, timeOurs, timePeer, havePeer);
    }
    const std::string page = work + "/render-0/MyTessel/" + kBase;
    std::printf("render to browser      %8.1f ms  (CPU %.1f ms, PNG %ju KB)\n", Median(ours),
                Median(oursCpu), PngBytes(page) / 1024);
    std::printf(
        "  of which the viewer  %8.1f ms  (listing, extraction, PathMend, opener started)\n",
        Median(extracted));
    if (havePeer) {
        std::printf("unzip + convert x%u    %8.1f ms  (CPU %.1f ms, PNG %ju KB)\n", cores,
                    Median(theirs), Median(theirsCpu), PngBytes(work + "/peer-0") / 1024);
        std::printf("render/peer            %8.3f  (CPU %.3f)\n", Median(ours) / Median(theirs),
                    Median(oursCpu) / Median(theirsCpu));
    } else {
        std::printf("unzip or ImageMagick's convert is not installed; only the render was timed\n");
    }
    std::printf("median of %d interleaved runs; load average %s before, %s after\n", runs,
                loadBefore.c_str(), LoadAverage().c_str());
    for (const auto& entry : fs::directory_iterator(work)) {
        if (entry.is_directory() && entry.path().filename() != "prefix") {
            fs::remove_all(entry.path());
        }
    }
    return 0;
}
