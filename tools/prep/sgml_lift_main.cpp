// SgmlLift24 FILE.sgm CATALOG: writes FILE.xml beside FILE.sgm, the document converted to
// XML with the catalog's stylesheet attached. A document the parser reports errors in
// gives no FILE.xml at all; an older FILE.xml is left as it was.
//
// The tool ends within kSeconds whatever the input: an alarm stops the parse between
// two parser events, a second one ends the process, and a CPU limit backs both.
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <new>

#include "platform/strings.h"
#include "tools/prep/catalog.h"
#include "tools/prep/prep_file.h"
#include "tools/prep/rewrite.h"
#include "tools/prep/sgml_lift.h"

namespace {

constexpr unsigned kSeconds = 60;
volatile std::sig_atomic_t gStop = 0;

extern "C" void OnAlarm(int) {
    if (gStop) {  // the parse did not notice: end without it
        static const char kMessage[] = "SgmlLift24: stopped: the time limit was reached\n";
        (void)!::write(2, kMessage, sizeof kMessage - 1);
        ::_exit(1);
    }
    gStop = 1;
    ::alarm(5);
}

void LimitTime() {
    struct sigaction sa {};
    sa.sa_handler = OnAlarm;
    sigemptyset(&sa.sa_mask);
    ::sigaction(SIGALRM, &sa, nullptr);
    ::alarm(kSeconds);
    const rlimit cpu{kSeconds + 30, kSeconds + 30};
    ::setrlimit(RLIMIT_CPU, &cpu);
#if !defined(__SANITIZE_ADDRESS__)  // the sanitizers reserve far more address space
    const rlimit memory{4ul << 30, 4ul << 30};
    ::setrlimit(RLIMIT_AS, &memory);
#endif
}

}  // namespace

int main(int argc, char** argv) try {
    using namespace tv::prep;
    const char* kTool = "SgmlLift24";
    LimitTime();
    if (argc != 3) {
        Complain(kTool, "usage: SgmlLift24 FILE.sgm CATALOG");
        return 2;
    }
    const std::string file = argv[1];
    const std::string target = std::filesystem::path(file).replace_extension(".xml").string();
    if (tv::IEquals(target, file)) {
        Complain(kTool, file + ": the file to convert must not be an .xml file");
        return 2;
    }
    const tv::Result<Catalog> catalog = Catalog::Load(argv[2]);
    if (!catalog) {
        Complain(kTool, catalog.status().Description());
        return 1;
    }
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) {
        Complain(kTool, "cannot read " + file + ": not an existing file");
        return 1;
    }
    LiftLimits limits;
    limits.cancel = &gStop;
    const tv::Result<Lifted> lifted = LiftSgml(file, argv[2], limits);
    if (!lifted) {
        Complain(kTool, file + ": not converted: " + lifted.status().Description());
        return 1;
    }
    if (!lifted->warnings.empty()) {
        Complain(kTool, "warning: " + file + ": " +
                            lifted->warnings.substr(0, lifted->warnings.find('\n')));
    }
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    if (const auto sheet = catalog->Stylesheet(lifted->rootName)) {
        xml += StylesheetPi(*sheet) + "\n";
    }
    xml += lifted->xml;
    xml += '\n';
    if (const tv::Status written = ReplaceFile(target, xml); !written.Ok()) {
        Complain(kTool, written.Description());
        return 1;
    }
    return 0;
} catch (const std::bad_alloc&) {
    tv::prep::Complain("SgmlLift24", "not converted: the document needs more memory than allowed");
    return 1;
}
