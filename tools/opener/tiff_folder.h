#pragma once
// The document's folder as the TIFF conversion sees it: files below it are reached one
// component at a time without following any link (a linked folder or file on the way is
// refused, so a package cannot steer a read or a write outside), and PNG files are
// written beside their TIFF through a fresh temporary file (O_EXCL, O_NOFOLLOW) renamed
// over the target, so a link planted at the target is replaced, never written through.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/error.h"
#include "platform/fd.h"

namespace tv::opener {

struct FolderFile {
    UniqueFd folder;                      // the folder holding the file, for writing beside it
    UniqueFd file;                        // open for reading; a regular file
    std::uint64_t device = 0, inode = 0;  // the file's identity, to know it again
};

// Opens the folder itself; links are followed here, as it is the caller's own folder.
UniqueFd OpenFolder(const std::string& path);

// Opens relative ("a/b/c.tif": no "..", no empty components) below root. A refused path
// fails with kErrPermission, a file that is not regular with kErrAccess.
Result<FolderFile> OpenBelow(int root, const std::string& relative);

// Only the folder that holds relative, under the same rules.
Result<UniqueFd> OpenFolderBelow(int root, const std::string& relative);

// Creates or replaces name in folder with bytes (mode 0644). A failure's description is
// a readable reason.
Status WriteInFolder(int folder, const std::string& name, std::string_view bytes);

void RemoveInFolder(int folder, const std::string& name);

}  // namespace tv::opener
