// PathMend FILE CATALOG: points FILE's DOCTYPE at the local DTD the catalog resolves and
// attaches the catalog's stylesheet for its document type. FILE is rewritten in place,
// or left untouched when anything fails.
#include "tools/prep/catalog.h"
#include "tools/prep/prep_file.h"
#include "tools/prep/rewrite.h"

int main(int argc, char** argv) {
    using namespace tv::prep;
    const char* kTool = "PathMend";
    if (argc != 3) {
        Complain(kTool, "usage: PathMend FILE CATALOG");
        return 2;
    }
    const std::string file = argv[1];
    std::string error;
    const auto catalog = Catalog::Load(argv[2], &error);
    const auto text = catalog ? ReadBytes(file, &error) : std::nullopt;
    const auto mended = text ? MendPaths(*text, *catalog, &error) : std::nullopt;
    if (!mended) {
        Complain(kTool, text ? file + ": " + error : error);
        return 1;
    }
    for (const std::string& w : mended->warnings) {
        Complain(kTool, "warning: " + file + ": " + w);
    }
    if (mended->text != *text && !ReplaceFile(file, mended->text, &error, file)) {
        Complain(kTool, error);
        return 1;
    }
    return 0;
}
