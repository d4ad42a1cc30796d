// tessel-open TARGET: shows a document, an XML file with its stylesheet applied, or an
// address in the desktop's browser (see opener.h).
#include <cstdio>
#include <string>

#include "tools/opener/opener.h"

int main(int argc, char** argv) {
    if (argc != 2 || argv[1][0] == '\0') {
        std::fputs("usage: tessel-open TARGET (a file or a web address)\n", stderr);
        return 2;
    }
    const tv::opener::OpenResult result = tv::opener::OpenTarget(argv[1]);
    if (result.exitCode != 0) {
        std::fprintf(stderr, "%s\n", result.message.c_str());
    }
    return result.exitCode;
}
