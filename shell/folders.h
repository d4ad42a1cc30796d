#pragma once
// The main window's folder and file operations. None of them raises: failures
// give false or an empty result, as the callers (rendering, shutdown) expect.
#include <string>

#include "platform/filesystem.h"

namespace tv {

// The existence checks, wildcards allowed in the last part (platform/filesystem.h).
using fs::FileExists;
using fs::FolderExists;

// Deletes every file matching the pattern ("*.*" also matches names without a dot).
// True when everything went or nothing matched; false on any other failure.
bool KillFile(const std::string& pattern);

std::string GetLoginName();

// The user's Documents folder, ending with the separator.
std::string GetDocumentsFolder();

// The working folder: the Documents folder followed by "MyTessel" (no separator).
std::string GetWorkingFolder();

// Cleans a folder tree: deletes every file and folder below it that it can; the folder
// itself stays. Symbolic links are deleted as links, never followed (also when the
// folder itself is one: nothing happens then); a folder without write permission is
// given it first, since the tree is the viewer's own. The depth of the tree is no
// limit. Never fails.
void RemoveDir(const std::string& folder);

}  // namespace tv
