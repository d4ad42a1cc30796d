#include "render/tools.h"

namespace tv::render {
namespace {

std::string Quoted(const std::string& s) {
    return "\"" + s + "\"";
}

std::string Program(const ToolFolders& f, const char* name) {
    return f.appPath + "Perl/" + name + kExecutableSuffix + " ";
}

std::string Catalog(const ToolFolders& f) {
    return Quoted(f.appDataPath + "DTDs/" + f.catalogFileName);
}

void RunStep(ToolRunner& runner, const std::string& command) {
    std::string error;
    // Deliberately not examined: the render goes on with whatever the tool left.
    (void)runner.Run(command, error, kToolTimeOutMs);
}

}  // namespace

std::string PathMendCommand(const ToolFolders& f, const std::string& file) {
    return Program(f, "PathMend") + Quoted(file) + " " + Catalog(f);
}

std::string DtdStripCommand(const ToolFolders& f, const std::string& file) {
    return Program(f, "DtdStrip") + Quoted(file);
}

std::string SgmlLift24Command(const ToolFolders& f, const std::string& file) {
    return Program(f, "SgmlLift24") + Quoted(file) + " " + Catalog(f);
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
