#pragma once
// The viewer's command line and the start-up decisions that need no window.
#include <string>
#include <string_view>
#include <vector>

namespace tv {

// Splits a raw command line (without the program's name). Element 0 is empty,
// elements 1..n the arguments; at most lMax arguments are taken.
// A line holding a double quote anywhere is split in quote mode: every character but
// '"' belongs to an argument and each '"' ends one, so the text between two quoted
// arguments is an argument of its own. Otherwise spaces and tabs separate arguments.
std::vector<std::string> SplitCommandLine(std::string_view line, int lMax = 10);

// The process's arguments as start-up received them (already split by the system).
void SetProcessArguments(std::vector<std::string> args);

// Element 0 empty, then at most lMax of the process's arguments.
std::vector<std::string> GetCmdLine(int lMax = 10);

// What start-up does with one argument.
enum class ArgumentKind { Package, XmlFile, Ignored };
ArgumentKind ClassifyArgument(const std::string& argument);

}  // namespace tv
