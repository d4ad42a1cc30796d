// Times the opener's whole work on a document given on the command line, as the viewer
// runs it: the document is copied into a work folder and prepared once by the
// installed PathMend with a catalog; then `tessel-open` (parse with its DTD, the
// stylesheet, the page check, the drawings it names, the browser started) runs against
// xsltproc applying the same stylesheet to the same prepared document, which is the bare
// cost of the XML libraries. Median of interleaved runs, wall clock and CPU time.
//
//   bench_open_document DOC.xml [--prefix PREFIX] [--catalog NAME] [--work FOLDER] [--runs N]
//
// Without --prefix, this build is installed into the work folder first.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "bench/installed_tools.h"

namespace {

using namespace tv::bench;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double, std::milli>(b - a).count();
}

double ChildrenCpuMs() {
    rusage u{};
    getrusage(RUSAGE_CHILDREN, &u);
    return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e3 +
           (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e3;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The local stylesheet the prepared document's instruction names, or "".
std::string StylesheetOf(const std::string& xml) {
    std::smatch m;
    static const std::regex pi(R"re(<\?xml-stylesheet[^>]*href="(?:file://)?([^"]+)")re");
    const std::string head = xml.substr(0, 8192);
    return std::regex_search(head, m, pi) ? m[1].str() : std::string();
}

struct Options {
    std::string doc, prefix, catalog = "TVWcatalog.txt", work;
    int runs = 7;
};

Options Parse(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "%s needs a value\n", a.c_str());
                std::exit(2);
            }
            return argv[++i];
        };
        if (a == "--prefix") {
            o.prefix = value();
        } else if (a == "--catalog") {
            o.catalog = value();
        } else if (a == "--work") {
            o.work = value();
        } else if (a == "--runs") {
            o.runs = std::max(1, std::atoi(value().c_str()));
        } else if (o.doc.empty() && a[0] != '-') {
            o.doc = a;
        } else {
            o.doc.clear();
            break;
        }
    }
    if (o.doc.empty()) {
        std::fprintf(stderr,
                     "usage: bench_open_document DOC.xml [--prefix PREFIX] [--catalog NAME] "
                     "[--work FOLDER] [--runs N]\n");
        std::exit(2);
    }
    return o;
}

}  // namespace

int main(int argc, char** argv) {
    const Options o = Parse(argc, argv);
    char* fake[] = {argv[0], const_cast<char*>(o.work.c_str())};
    const std::string work = WorkFolder(o.work.empty() ? 1 : 2, fake);
    if (work.empty()) {
        std::fprintf(stderr, "cannot make a work folder\n");
        return 1;
    }
    if (o.work.empty()) {
        RemoveAtExit(work);
    }
    const Installation in = Install(o.prefix, work);
    BrowserRecorder browser(work);

    // Prepared once, as the viewer prepares an extracted document.
    const std::string folder = work + "/doc";
    fs::create_directories(folder);
    std::string name = fs::path(o.doc).filename().string();
    name = name.substr(0, name.rfind('.')) + ".xml";
    const std::string xml = folder + "/" + name;
    std::error_code ec;
    fs::copy_file(o.doc, xml, fs::copy_options::overwrite_existing, ec);
    fs::permissions(xml, fs::perms::owner_read | fs::perms::owner_write, ec);
    if (!fs::exists(xml) ||
        RunQuiet({in.app() + "Perl/PathMend", xml, in.catalog(o.catalog)}) != 0) {
        std::fprintf(stderr, "cannot prepare %s\n", xml.c_str());
        return 1;
    }
    const std::string style = StylesheetOf(ReadFile(xml));
    if (style.empty()) {
        std::fprintf(stderr, "PathMend named no stylesheet in %s\n", xml.c_str());
        return 1;
    }
    const std::string peerPage = work + "/xsltproc.html";
    const bool havePeer = RunQuiet({"xsltproc", "--version"}) == 0;
    std::printf("%s: %ju KB, catalog %s, stylesheet %s\n", name.c_str(),
                static_cast<std::uintmax_t>(fs::file_size(o.doc) / 1024), o.catalog.c_str(),
                fs::path(style).filename().c_str());
    const std::string loadBefore = LoadAverage();

    std::vector<double> ours, oursCpu, theirs, theirsCpu;
    std::string handed;
    auto timeOurs = [&] {
        browser.Arm();
        const double cpu = ChildrenCpuMs();
        const auto a = Clock::now();
        const int rc = RunQuiet({in.app() + "tessel-open", xml});
        ours.push_back(Ms(a, Clock::now()));
        oursCpu.push_back(ChildrenCpuMs() - cpu);
        handed = browser.Wait(10000).value_or("");
        if (rc != 0 || handed != xml + ".html") {
            std::fprintf(stderr, "tessel-open ended %d and handed over \"%s\"\n", rc,
                         handed.c_str());
            std::exit(1);
        }
    };
    auto timePeer = [&] {
        const double cpu = ChildrenCpuMs();
        const auto a = Clock::now();
        const int rc = RunQuiet({"xsltproc", "--nonet", "-o", peerPage, style, xml});
        theirs.push_back(Ms(a, Clock::now()));
        theirsCpu.push_back(ChildrenCpuMs() - cpu);
        if (rc != 0) {
            std::fprintf(stderr, "xsltproc ended %d\n", rc);
        }
    };
    for (int run = 0; run < o.runs; ++run) {
        InterleavedRound(run, timeOurs, timePeer, havePeer);
    }
    std::printf("tessel-open        %8.1f ms  (CPU %.1f ms, page %ju KB)\n", Median(ours),
                Median(oursCpu), static_cast<std::uintmax_t>(fs::file_size(handed) / 1024));
    if (havePeer) {
        std::printf("xsltproc           %8.1f ms  (CPU %.1f ms, page %ju KB)\n", Median(theirs),
                    Median(theirsCpu), static_cast<std::uintmax_t>(fs::file_size(peerPage) / 1024));
        std::printf("tessel-open/xsltproc %6.2f  (CPU %.2f)\n", Median(ours) / Median(theirs),
                    Median(oursCpu) / Median(theirsCpu));
    } else {
        std::printf("xsltproc is not installed; only the opener was timed\n");
    }
    std::printf("median of %d interleaved runs; load average %s before, %s after\n", o.runs,
                loadBefore.c_str(), LoadAverage().c_str());
    return 0;
}
