#pragma once
// Process environment, the user and the standard folders.
//
// Folder results end with the separator. The Documents folder is XDG's: the
// XDG_DOCUMENTS_DIR variable, else its line in user-dirs.dirs (with "$HOME"
// expanded), else $HOME/Documents.
#include <optional>
#include <string>

#include "platform/paths.h"

namespace tv {

inline constexpr const char* kExecutableSuffix = "";

std::optional<std::string> GetEnv(const std::string& name);

// Replaces each %NAME% whose NAME is set in the environment by its value; unknown
// names and a lone "%" stay as written.
std::string ExpandEnvironmentStrings(const std::string& text);

// The login name from the password database (never truncated); "" when unknown.
std::string LoginName();

// $HOME, else the password database's home folder; ends with the separator.
std::string HomeFolder();

// The user's Documents folder, ending with the separator.
std::string DocumentsFolder();

// $TMPDIR, else /tmp; ends with the separator.
std::string TempFolder();

// The folder of the running executable, ending with the separator.
std::string ExecutableFolder();

}  // namespace tv
