#include "render/tools.h"

namespace tv::render {
namespace {

std::string Quoted(const std::string& s) {
    return "\"" + s + "\"";
}

// The program unquoted, the arguments each in double quotes, one space between.
ToolCommand Command(const ToolFolders& f, const char* name, std::vector<std::string> arguments) {
    ToolCommand c{{}, f.appPath + "Perl/" + name + kExecutableSuffix, std::move(arguments)};
    c.line = c.program;
    for (const std::string& a : c.arguments) {
        c.line += " " + Quoted(a);
    }
    return c;
}

std::string Catalog(const ToolFolders& f) {
    return f.appDataPath + "DTDs/" + f.catalogFileName;
}

void RunStep(ToolRunner& runner, const ToolCommand& command) {
    // Deliberately not examined: the render goes on with whatever the tool left.
    (void)runner.Run(command, kToolTimeOutMs);
}

}  // namespace

ToolCommand PathMendCommand(const ToolFolders& f, const std::string& file) {
    return Command(f, "PathMend", {file, Catalog(f)});
}

ToolCommand DtdStripCommand(const ToolFolders& f, const std::string& file) {
    return Command(f, "DtdStrip", {file});
}

ToolCommand SgmlLift24Command(const ToolFolders& f, const std::string& file) {
    return Command(f, "SgmlLift24", {file, Catalog(f)});
}

void RunPathMend(ToolRunner& runner, const ToolFolders& f, const std::string& file) {
    RunStep(runner, PathMendCommand(f, file));
}

void RunDtdStrip(ToolRunner& runner, const ToolFolders& f, const std::string& file) {
    RunStep(runner, DtdStripCommand(f, file));
}

void RunSgmlLift24(ToolRunner& runner, const ToolFolders& f, const std::string& file) {
    RunStep(runner, SgmlLift24Command(f, file));
}

}  // namespace tv::render
