#pragma once
// Splitting a command line given as text, without a shell.
//
// The viewer's own tools never go through this: each is started with the exact
// program and arguments it was built from (ShellAndWaitForTermination's SplitCommand
// form), so no character of a file name can add or change an argument. Text is split
// only where a command line exists as text alone (benchmarks, tests, a hand-written
// call); nothing a package or a user supplies is run this way.
//
// The first token names the program, exactly as written: a quoted first token is the
// text up to the next double quote, an unquoted one the text up to the first space or
// tab. No prefix is probed for an executable file (an unquoted folder with spaces must
// be quoted), so "/x/app folder/t" names "/x/app", never anything else.
//
// The rest is split into arguments by the usual rules: spaces and tabs separate
// arguments outside double quotes; 2n backslashes before a quote give n backslashes and
// the quote toggles quoting; 2n+1 backslashes before a quote give n backslashes and a
// literal quote; "" inside a quoted run is a literal quote; other backslashes are kept.
#include <string>
#include <string_view>
#include <vector>

namespace tv {

struct SplitCommand {
    std::string program;
    std::vector<std::string> arguments;  // without the program
};

// A regular file the user may execute (a name without "/" is looked up in PATH).
bool IsExecutableFile(const std::string& name);

// The full path of an executable name: itself when it holds "/", else the first PATH
// entry holding it; empty when none does.
std::string FindExecutable(const std::string& name);

SplitCommand SplitToolCommandLine(std::string_view line);

// The argument rules alone (everything after the program).
std::vector<std::string> SplitArguments(std::string_view rest);

}  // namespace tv
