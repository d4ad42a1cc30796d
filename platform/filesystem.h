#pragma once
// File operations with the program's rules: Windows wildcards on the last path
// component, and symbolic links are never followed when listing, deleting or
// recursing (a link is an entry of its own, never the folder or file it points to).
// Failures are returned as a Status with the classic numbers (platform/error.h), so
// "not found" is a result, not an exception.
#include <string>
#include <vector>

#include "platform/error.h"

namespace tv::fs {

struct DirEntry {
    std::string name;
    bool isDirectory = false;  // a real folder; a link to a folder is not one
    bool isSymlink = false;
};

// Fills entries with the entries of the folder part of pattern whose names match its
// last component (Windows wildcard rules, case as on disk). Plain files and links
// always; real folders only with includeDirectories. "." and ".." are never listed. A
// pattern without wildcards names one entry. A missing folder is 76; no match is
// success with no entries.
Status List(const std::string& pattern, bool includeDirectories, std::vector<DirEntry>& entries);

// How an existence check reads its path. Pattern: wildcards in the last component, as
// List takes them, and a link counts as a file. Exact: the path as it is, and only a
// plain file is a file (a link is never taken for one; extracted documents are plain).
enum class Match { Pattern, Exact };

// Whether path names (Pattern: matches at least one) file; never for "".
bool FileExists(const std::string& path, Match match = Match::Pattern);

// Whether path names a folder, or anything else of that name (a file, a link); a
// trailing separator is ignored; never for "".
bool FolderExists(const std::string& path, Match match = Match::Pattern);

// Removes one file or link (never its target); 53 when missing.
Status DeleteFile(const std::string& path);

// Removes an empty folder (a link is no folder).
Status RemoveFolder(const std::string& path);

// Removes everything below folder; folder itself stays. A link is removed as a link,
// never followed, also when it is folder itself (nothing is done then). Folders on
// the way are given their owner's read, write and search permission first. The walk
// holds at most a few descriptors and no path longer than one name, so neither the
// depth of the tree nor the system's path limit stops it; a folder that is moved out
// of the tree during the walk ends it. Runs to the end whatever fails and returns the
// first failure.
Status RemoveTreeContents(const std::string& folder);

}  // namespace tv::fs
