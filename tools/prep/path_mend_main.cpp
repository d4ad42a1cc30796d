// PathMend FILE CATALOG: points FILE's DOCTYPE at the local DTD the catalog resolves and
// attaches the catalog's stylesheet for its document type. FILE is rewritten in place,
// or left untouched when anything fails. Only the prolog is held in memory: a file of any
// size is copied through in blocks.
#include <exception>
#include <filesystem>

#include "tools/prep/catalog.h"
#include "tools/prep/prep_file.h"
#include "tools/prep/rewrite.h"

int main(int argc, char** argv) try {
    using namespace tv::prep;
    const char* kTool = "PathMend";
    if (argc != 3) {
        Complain(kTool, "usage: PathMend FILE CATALOG");
        return 2;
    }
    const std::string file = argv[1];
    const tv::Result<Catalog> catalog = Catalog::Load(argv[2]);
    if (!catalog) {
        Complain(kTool, catalog.status().Description());
        return 1;
    }
    const tv::Result<Head> head = ReadHead(file, kMaxPrologBytes, HoldsProlog);
    if (!head) {
        Complain(kTool, head.status().Description());
        return 1;
    }
    const std::string folder = std::filesystem::path(AbsolutePath(file)).parent_path().string();
    const tv::Result<Rewritten> mended = MendPaths(head->bytes, *catalog, folder);
    if (!mended) {
        Complain(kTool, file + ": " + mended.status().Description());
        return 1;
    }
    for (const std::string& w : mended->warnings) {
        Complain(kTool, "warning: " + file + ": " + w);
    }
    if (mended->text == head->bytes) {
        return 0;
    }
    const tv::Status written =
        ReplaceFile(file, mended->text, file, head->whole ? "" : file, head->bytes.size());
    if (!written.Ok()) {
        Complain(kTool, written.Description());
        return 1;
    }
    return 0;
} catch (const std::exception& e) {
    tv::prep::Complain("PathMend", std::string("failed: ") + e.what());
    return 1;
}
