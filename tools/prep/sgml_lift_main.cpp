// SgmlLift24 FILE.sgm CATALOG: writes FILE.xml beside FILE.sgm, the document converted to
// XML with the catalog's stylesheet attached. A document the parser reports errors in
// gives no FILE.xml at all; an older FILE.xml is left as it was.
#include <filesystem>

#include "platform/strings.h"
#include "tools/prep/catalog.h"
#include "tools/prep/prep_file.h"
#include "tools/prep/rewrite.h"
#include "tools/prep/sgml_lift.h"

int main(int argc, char** argv) {
    using namespace tv::prep;
    const char* kTool = "SgmlLift24";
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
    std::string error;
    const auto catalog = Catalog::Load(argv[2], &error);
    if (!catalog) {
        Complain(kTool, error);
        return 1;
    }
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) {
        Complain(kTool, "cannot read " + file + ": not an existing file");
        return 1;
    }
    const LiftResult lifted = LiftSgml(file, argv[2]);
    if (!lifted.ok) {
        Complain(kTool, file + ": not converted: " + lifted.error);
        return 1;
    }
    if (!lifted.warnings.empty()) {
        Complain(kTool,
                 "warning: " + file + ": " + lifted.warnings.substr(0, lifted.warnings.find('\n')));
    }
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    if (const auto sheet = catalog->Stylesheet(lifted.rootName)) {
        xml += StylesheetPi(*sheet) + "\n";
    }
    xml += lifted.xml;
    xml += '\n';
    if (!ReplaceFile(target, xml, &error)) {
        Complain(kTool, error);
        return 1;
    }
    return 0;
}
