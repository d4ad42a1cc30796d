#pragma once
// File operations with the program's rules: Windows wildcards on the last path
// component, and symbolic links are never followed when listing, deleting or
// recursing (a link is an entry of its own, never the folder or file it points to).
// Failures raise AppError with the classic numbers (platform/error.h).
#include <string>
#include <vector>

namespace tv::fs {

struct DirEntry {
    std::string name;
    bool isDirectory = false;  // a real folder; a link to a folder is not one
    bool isSymlink = false;
};

// Entries of the folder part of pattern whose names match its last component
// (Windows wildcard rules, case as on disk). Plain files and links always; real
// folders only with includeDirectories. "." and ".." are never listed. A pattern
// without wildcards names one entry. A missing folder raises 76; no match gives an
// empty list.
std::vector<DirEntry> List(const std::string& pattern, bool includeDirectories);

// Removes one file or link (never its target). Raises on failure (53 when missing).
void DeleteFile(const std::string& path);

// Removes an empty folder. Raises on failure.
void RemoveFolder(const std::string& path);

// Creates one folder (its parent must exist). Raises on failure.
void CreateFolder(const std::string& path);

// "Set attributes to normal": gives the owner write permission (links are left alone).
void MakeWritable(const std::string& path);

// True when path names an existing entry (a link counts, whatever it points to).
bool Exists(const std::string& path);

// True when path is a real folder (a link to a folder is not).
bool IsRealFolder(const std::string& path);

// Splits "a/b/c.txt" into "a/" and "c.txt"; a name without a folder gives "".
std::pair<std::string, std::string> SplitFolder(const std::string& path);

}  // namespace tv::fs
