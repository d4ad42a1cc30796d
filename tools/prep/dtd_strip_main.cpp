// DtdStrip FILE: removes FILE's DOCTYPE declaration, internal subset included, and keeps
// every other byte. FILE is rewritten in place, or left untouched when anything fails.
// Only the prolog is held in memory: a file of any size is copied through in blocks.
#include <exception>

#include "tools/prep/prep_file.h"
#include "tools/prep/rewrite.h"

int main(int argc, char** argv) try {
    using namespace tv::prep;
    const char* kTool = "DtdStrip";
    if (argc != 2) {
        Complain(kTool, "usage: DtdStrip FILE");
        return 2;
    }
    const std::string file = argv[1];
    const tv::Result<Head> head = ReadHead(file, kMaxPrologBytes, HoldsProlog);
    if (!head) {
        Complain(kTool, head.status().Description());
        return 1;
    }
    const tv::Result<std::string> stripped = StripDoctype(head->bytes);
    if (!stripped) {
        Complain(kTool, file + ": " + stripped.status().Description());
        return 1;
    }
    if (*stripped == head->bytes) {
        return 0;
    }
    const tv::Status written =
        ReplaceFile(file, *stripped, file, head->whole ? "" : file, head->bytes.size());
    if (!written.Ok()) {
        Complain(kTool, written.Description());
        return 1;
    }
    return 0;
} catch (const std::exception& e) {
    tv::prep::Complain("DtdStrip", std::string("failed: ") + e.what());
    return 1;
}
