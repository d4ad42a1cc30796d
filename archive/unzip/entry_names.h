#pragma once
// Entry names as the unzip library handles them: "/" as the only separator, and the
// relative path a name may be written to inside the extraction folder.
#include <string>
#include <string_view>

namespace tv::unzip {

// The stored name bytes as UTF-8: taken as they are when they are strictly valid UTF-8
// (no overlong forms, surrogates or code points above U+10FFFF) without control
// characters (C0, DEL, C1), whatever the header's flag says; otherwise read as code page
// 437 with C0 controls and DEL written as "_". So no name carries a line break or any
// other control character into a message or a file name.
std::string DecodeEntryName(std::string_view raw);

// The name with every backslash turned into "/".
std::string NormalizeSeparators(std::string_view name);

struct OutputName {
    std::string path;            // relative, "/"-separated, no empty, "." or ".." parts
    bool droppedRoot = false;    // a drive letter or leading "/" was removed
    bool droppedParent = false;  // one or more ".." parts were removed
    bool isFolder = false;       // the entry names a folder (ends with "/")
};

// Where the entry name (already normalised) is written below the extraction folder:
// drive letters ("C:"), leading separators and "." / ".." parts are dropped, as the
// classic tools do; without keepFolders only the last part is kept. spaceToUnderscore
// writes spaces as "_". An empty path means nothing usable is left.
OutputName MakeOutputName(std::string_view name, bool keepFolders, bool spaceToUnderscore);

}  // namespace tv::unzip
