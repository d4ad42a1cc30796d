#pragma once
// The three preparation tools and how each is started. Each step builds its command,
// runs it through a ToolRunner with a time-out of kToolTimeOutMs, and does not look at
// the result: a tool that cannot start, fails or times out leaves the render to go on
// with whatever files exist.
//
//   PathMend   <app>Perl/PathMend "<file>" "<data>DTDs/<catalog>"
//   DtdStrip   <app>Perl/DtdStrip "<file>"
//   SgmlLift24 <app>Perl/SgmlLift24 "<file>" "<data>DTDs/<catalog>"
// That text is the command's line, for logs and messages. The tool itself starts as
// exactly <app>Perl/<name> with the file (and the catalog) as its arguments, so a
// space or a double quote in any of them reaches the tool unchanged. App and data
// folders end with "/".
//
// The time-out is one a user can wait for; a tool still running then is ended (see
// platform/process/shell_wait.h), and the render goes on without its work.
#include <functional>
#include <string>

#include "platform/environment.h"  // kExecutableSuffix
#include "platform/process/shell_wait.h"
#include "render/ports.h"

namespace tv::render {

inline constexpr long kToolTimeOutMs = 5L * 60 * 1000;

struct ToolFolders {
    std::string appPath;      // ends with "/"
    std::string appDataPath;  // ends with "/"
    std::string catalogFileName;
};

ToolCommand PathMendCommand(const ToolFolders& f, const std::string& file);
ToolCommand DtdStripCommand(const ToolFolders& f, const std::string& file);
ToolCommand SgmlLift24Command(const ToolFolders& f, const std::string& file);

// The steps; each returns when the tool has ended (or could not start).
void RunPathMend(ToolRunner& runner, const ToolFolders& f, const std::string& file);
void RunDtdStrip(ToolRunner& runner, const ToolFolders& f, const std::string& file);
void RunSgmlLift24(ToolRunner& runner, const ToolFolders& f, const std::string& file);

// The real runner: the process layer's tool wait with the given event pump (empty:
// poll without a window).
class ProcessToolRunner : public ToolRunner {
  public:
    explicit ProcessToolRunner(EventPump pump = {}) : pump_(std::move(pump)) {}
    Status Run(const ToolCommand& command, long lTimeOut) override {
        return RunToolAndWait(SplitCommand{command.program, command.arguments}, lTimeOut, pump_);
    }

  private:
    EventPump pump_;
};

}  // namespace tv::render
