// DtdStrip FILE: removes FILE's DOCTYPE declaration, internal subset included, and keeps
// every other byte. FILE is rewritten in place, or left untouched when anything fails.
#include "tools/prep/prep_file.h"
#include "tools/prep/rewrite.h"

int main(int argc, char** argv) {
    using namespace tv::prep;
    const char* kTool = "DtdStrip";
    if (argc != 2) {
        Complain(kTool, "usage: DtdStrip FILE");
        return 2;
    }
    const std::string file = argv[1];
    std::string error;
    const auto text = ReadBytes(file, &error);
    const auto stripped = text ? StripDoctype(*text, &error) : std::nullopt;
    if (!stripped) {
        Complain(kTool, text ? file + ": " + error : error);
        return 1;
    }
    if (*stripped != *text && !ReplaceFile(file, *stripped, &error, file)) {
        Complain(kTool, error);
        return 1;
    }
    return 0;
}
