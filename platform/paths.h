#pragma once
// The one paths module: the folder separator and the few cuts and joins the program
// makes on path texts. Paths are plain UTF-8 strings; nothing here touches the disk.
#include <string>
#include <string_view>
#include <utility>

namespace tv {

inline constexpr char kPathSeparator = '/';

// "a/b/c.txt" gives {"a/", "c.txt"}: the folder keeps its separator. A path without a
// separator gives {"", path}.
std::pair<std::string, std::string> SplitAtLastSeparator(std::string_view path);

// folder and name with exactly one separator between them; an empty folder gives name.
std::string JoinPath(std::string_view folder, std::string_view name);

// Appends the separator when the path does not end with one ("" gives "/").
std::string WithTrailingSeparator(std::string path);

// Removes every trailing separator, so that "link//" names the link itself; the root
// "/" stays as it is.
std::string WithoutTrailingSeparator(std::string path);

// Folder separators written the Windows way ("a\b") in this system's form ("a/b").
std::string BackslashesToSeparators(std::string_view path);

}  // namespace tv
