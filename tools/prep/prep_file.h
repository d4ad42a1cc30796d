#pragma once
// File handling shared by the preparation tools. A tool never leaves its input half
// written: the new text goes to a fresh file beside the target and is renamed over it
// only when complete, so a failure at any point leaves the old file as it was.
#include <cstdint>
#include <functional>
#include <string>

#include "platform/error.h"

namespace tv::prep {

// A failure of the preparation tools, with their source ("tessel-viewer.Prep"). The
// description is the line the tool prints.
Status PrepFailure(long number, std::string description, int osError = 0);

// The whole file as bytes. Fails when it cannot be read (kErrFileNotFound for a missing
// or irregular file) or is larger than maxBytes (kErrInvalidFormat).
Result<std::string> ReadBytes(const std::string& path, std::uint64_t maxBytes = 64u << 20);

// The first bytes of a file of any size: read in growing steps until enough(bytes) is
// true or the whole file is in. Fails when the file cannot be read or enough() still
// says no after maxBytes.
// The tools read at most this much of a document to find the end of its prolog.
constexpr std::uint64_t kMaxPrologBytes = 64u << 20;

struct Head {
    std::string bytes;
    bool whole = false;  // bytes is the whole file
};
Result<Head> ReadHead(const std::string& path, std::uint64_t maxBytes,
                      const std::function<bool(const std::string&)>& enough);

// Writes bytes to target through a temporary file in target's folder (a short name of
// its own, so any valid target name works) and a rename. When tailOf names a file, its
// bytes from tailOffset on follow, copied in blocks (the rest of a file whose head was
// rewritten). When keepPermissionsOf names an existing file, the result gets its
// permission bits. On any failure the temporary file is removed.
Status ReplaceFile(const std::string& target, const std::string& bytes,
                   const std::string& keepPermissionsOf = {}, const std::string& tailOf = {},
                   std::uint64_t tailOffset = 0);

// The absolute, lexically normal form of path (no file system access beyond the
// current folder).
std::string AbsolutePath(const std::string& path);

// "file://" URL of an absolute path, with spaces, '%', '#', '?' and non-ASCII bytes
// percent-encoded.
std::string FileUrl(const std::string& absolutePath);

// Prints "TOOL: message" as one line on standard error.
void Complain(const char* tool, const std::string& message);

}  // namespace tv::prep
