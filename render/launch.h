#pragma once
// Opening a file or an address in a named browser program: the end of every rendering
// path and of every lookup command.
//
// The program gets the target as its single argument (spaces in either need no
// quoting), runs detached in workingDirectory (enclosing double quotes removed; the
// viewer's own folder when that names no folder) and is not waited for. Whether it
// started is not examined and nothing is shown: a missing program is silently ignored.
#include <string>

namespace tv {

void LaunchInBrowser(const std::string& programPath, const std::string& target,
                     const std::string& workingDirectory);

}  // namespace tv
