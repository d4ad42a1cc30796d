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
    const tv::Result<std::string> shown = tv::opener::OpenTarget(argv[1]);
    if (!shown.Ok()) {
        std::fprintf(stderr, "%s\n", shown.status().Description().c_str());
        return 1;
    }
    return 0;
}
