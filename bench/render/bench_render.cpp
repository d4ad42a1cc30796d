// Times a whole package render (extraction, three tool steps with stand-in tools that
// exit at once, launches recorded) against `unzip -qo` of the same package, side by
// side; and the wait's cost per tool: running /bin/true through the tool wait against
// spawning and reaping it directly.
//
//   bench_render [work folder]      (default: a fresh folder under $TMPDIR)
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
#include <functional>
#include <string>
#include <vector>

#include "archive/cUnzip.h"
#include "bench/bench_support.h"
#include "platform/process/shell_wait.h"
#include "render/cunzip_extractor.h"
#include "render/documents.h"
#include "render/renderer.h"
#include "render/tools.h"

namespace {

using namespace tv::bench;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
constexpr int kRuns = 5;
constexpr int kToolRuns = 200;

std::string Xml(Rng& rng, std::size_t n) {
    return XmlText(rng, n,
                   "<?xml version=\"1.0\"?>\n<!DOCTYPE patent-grant>\n<patent-grant>\n"
                   "<doc-number>09999999</doc-number>\n",
                   "</patent-grant>\n");
}

double Ms(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double, std::milli>(b - a).count();
}

struct NoLaunch : tv::render::Launcher, tv::render::MessageSink {
    void Launch(const std::string&, const std::string&, const std::string&) override { ++launches; }
    void Show(const std::string& t, int, const std::string&) override {
        std::fprintf(stderr, "message: %s\n", t.c_str());
    }
    int launches = 0;
};

// One render of the package into a documents folder of its own, as the window does it
// after listing: list, find the two documents, render.
int Render(const std::string& zip, const std::string& documents, const std::string& app) {
    tv::cUnzip component;
    component.SetZipFile(zip);
    component.Directory();
    tv::render::PackageState state;
    std::vector<std::string> names;
    for (int i = 1; i <= component.FileCount(); ++i) {
        names.push_back(component.Filename(i));
    }
    const tv::render::PackageDocuments docs = tv::render::ClassifyPackage(names);
    state.MainDocEntry = docs.mainDocEntry;
    state.SeqListEntry = docs.seqListEntry;
    tv::render::CUnzipExtractor extractor(component);
    tv::render::ProcessToolRunner tools;
    NoLaunch sink;
    tv::render::Renderer renderer(extractor, tools, sink, sink);
    tv::render::RenderSettings settings;
    settings.documentsFolder = documents + "/";
    settings.appPath = app + "/";
    settings.appDataPath = app + "/";
    settings.unreferenceDTD = true;  // three tool runs
    const auto out = renderer.RenderPackage(settings, state, names);
    return out.error.Ok() && sink.launches == 2 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string work = WorkFolder(argc, argv);
    if (work.empty()) {
        return 1;
    }
    const std::string app = work + "/app";
    fs::create_directories(app + "/Perl");
    for (const char* tool : {"PathMend", "DtdStrip", "SgmlLift24"}) {
        fs::remove(app + "/Perl/" + tool);
        fs::create_symlink("/bin/true", app + "/Perl/" + tool);
    }
    Rng rng;
    const std::string zip = work + "/package.zip";
    {
        std::vector<std::pair<std::string, std::string>> items;
        items.emplace_back("US09999999-20240102.xml", Xml(rng, 3 << 20));
        items.emplace_back("US09999999-20240102-s00001.xml", Xml(rng, 2 << 20));
        items.emplace_back("tran-US09999999.xml", Xml(rng, 1 << 20));
        for (int i = 1; i <= 297; ++i) {
            char name[64];
            std::snprintf(name, sizeof name, "US09999999-20240102-D%05d.TIF", i);
            items.emplace_back(name, Noise(rng, 180 * 1024 + (rng.Next() % 32768)));
        }
        WriteZip(zip, items);
    }
    std::printf("package: %s (%ju bytes, 300 entries)\n", zip.c_str(),
                static_cast<std::uintmax_t>(fs::file_size(zip)));

    const bool haveUnzip = RunQuiet({"unzip", "-v"}) == 0;
    std::vector<double> render, unzip;
    for (int run = 0; run < kRuns; ++run) {
        const std::string tag = std::to_string(run);
        auto timeRender = [&] {
            const auto a = Clock::now();
            if (Render(zip, work + "/render-" + tag, app) != 0) {
                std::fprintf(stderr, "render run %d failed\n", run);
            }
            render.push_back(Ms(a, Clock::now()));
        };
        auto timeUnzip = [&] {
            const auto a = Clock::now();
            RunQuiet({"unzip", "-qo", zip, "-d", work + "/unzip-" + tag});
            unzip.push_back(Ms(a, Clock::now()));
        };
        // Alternate which goes first, so both meet the same cache state.
        if (run % 2 == 0) {
            timeRender();
            if (haveUnzip)
                timeUnzip();
        } else {
            if (haveUnzip)
                timeUnzip();
            timeRender();
        }
    }
    if (haveUnzip) {
        std::printf("render (3 tools)   %8.1f ms   unzip -qo %8.1f ms   render/unzip %.2f\n",
                    Median(render), Median(unzip), Median(render) / Median(unzip));
    } else {
        std::printf("render (3 tools)   %8.1f ms   (unzip not installed)\n", Median(render));
    }

    std::vector<double> waited, direct;
    for (int i = 0; i < kToolRuns; ++i) {
        std::string error;
        auto a = Clock::now();
        tv::ShellAndWaitForTermination(app + "/Perl/PathMend \"x\" \"y\"", error, 10000);
        waited.push_back(Ms(a, Clock::now()));
        a = Clock::now();
        RunQuiet({"/bin/true", "x", "y"});
        direct.push_back(Ms(a, Clock::now()));
    }
    std::printf("per tool: wait %.3f ms, spawn+reap %.3f ms, overhead %.3f ms (median of %d)\n",
                Median(waited), Median(direct), Median(waited) - Median(direct), kToolRuns);
    for (const auto& entry : fs::directory_iterator(work)) {
        if (entry.is_directory() && entry.path().filename() != "app") {
            fs::remove_all(entry.path());
        }
    }
    if (argc <= 1) {
        fs::remove_all(work);
    }
    return 0;
}
