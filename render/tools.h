#pragma once
// The three preparation tools and how each is started. Each step builds its command
// line, runs it through a ToolRunner with window style 1 and a time-out of 2000000000
// ms, and does not look at the result: a tool that cannot start, fails or times out
// leaves the render to go on with whatever files exist.
//
//   PathMend   <app>Perl/PathMend "<file>" "<data>DTDs/<catalog>"
//   DtdStrip   <app>Perl/DtdStrip "<file>"
//   SgmlLift24 <app>Perl/SgmlLift24 "<file>" "<data>DTDs/<catalog>"
// The program path is not quoted (the runner finds an unquoted program with spaces);
// app and data folders end with "/".
#include <functional>
#include <string>

#include "platform/process/shell_wait.h"
#include "render/ports.h"

namespace tv::render {

// Executables carry no suffix here.
inline constexpr const char* kExecutableSuffix = "";
inline constexpr long kToolTimeOutMs = 2000000000L;
inline constexpr int kToolWindowStyle = 1;  // kept for the record; meaningless here

struct ToolFolders {
    std::string appPath;      // ends with "/"
    std::string appDataPath;  // ends with "/"
    std::string catalogFileName;
};

std::string PathMendCommand(const ToolFolders& f, const std::string& file);
std::string DtdStripCommand(const ToolFolders& f, const std::string& file);
std::string SgmlLift24Command(const ToolFolders& f, const std::string& file);

// The steps; each returns when the tool has ended (or could not start).
void RunPathMend(ToolRunner& runner, const ToolFolders& f, const std::string& file);
void RunDtdStrip(ToolRunner& runner, const ToolFolders& f, const std::string& file);
void RunSgmlLift24(ToolRunner& runner, const ToolFolders& f, const std::string& file);

// The real runner: ShellAndWaitForTermination with the given event pump (empty: poll
// without a window).
class ProcessToolRunner : public ToolRunner {
  public:
    explicit ProcessToolRunner(EventPump pump = {}) : pump_(std::move(pump)) {}
    bool Run(const std::string& sShell, std::string& sError, long lTimeOut) override {
        return ShellAndWaitForTermination(sShell, sError, lTimeOut, pump_);
    }

  private:
    EventPump pump_;
};

}  // namespace tv::render
