#pragma once
// Splitting a tool's command line the Windows way, without a shell.
//
// The first token names the program. A quoted first token is the text up to the next
// double quote. An unquoted one that holds spaces is resolved like the system's
// process start does it: the shortest space-separated prefix that names an executable
// file is the program (so "/opt/My Viewer/Perl/PathMend "a b"" starts
// "/opt/My Viewer/Perl/PathMend"); when no prefix names one, the text up to the first
// space or tab is the program and the start reports it missing.
//
// The rest is split into arguments by the usual rules: spaces and tabs separate
// arguments outside double quotes; 2n backslashes before a quote give n backslashes and
// the quote toggles quoting; 2n+1 backslashes before a quote give n backslashes and a
// literal quote; "" inside a quoted run is a literal quote; other backslashes are kept.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tv {

struct SplitCommand {
    std::string program;
    std::vector<std::string> arguments;  // without the program
};

// True when name is an executable file (a name without "/" is looked up in PATH).
using ExecutableProbe = std::function<bool(const std::string& name)>;

// The default probe: a regular file the user may execute (PATH searched for bare names).
bool IsExecutableFile(const std::string& name);

// The full path of an executable name: itself when it holds "/", else the first PATH
// entry holding it; empty when none does.
std::string FindExecutable(const std::string& name);

SplitCommand SplitToolCommandLine(std::string_view line,
                                  const ExecutableProbe& probe = IsExecutableFile);

// The argument rules alone (everything after the program).
std::vector<std::string> SplitArguments(std::string_view rest);

}  // namespace tv
