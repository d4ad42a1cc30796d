#pragma once
// File handling shared by the preparation tools. A tool never leaves its input half
// written: the new text goes to a fresh file beside the target and is renamed over it
// only when complete, so a failure at any point leaves the old file as it was.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace tv::prep {

// The whole file as bytes, or nullopt (with *error set) when it cannot be read or is
// larger than maxBytes.
std::optional<std::string> ReadBytes(const std::string& path, std::string* error,
                                     std::uint64_t maxBytes = 64u << 20);

// The first bytes of a file of any size: read in growing steps until enough(bytes) is
// true or the whole file is in. nullopt (with *error set) when the file cannot be read
// or enough() still says no after maxBytes.
// The tools read at most this much of a document to find the end of its prolog.
constexpr std::uint64_t kMaxPrologBytes = 64u << 20;

struct Head {
    std::string bytes;
    bool whole = false;  // bytes is the whole file
};
std::optional<Head> ReadHead(const std::string& path, std::uint64_t maxBytes,
                             const std::function<bool(const std::string&)>& enough,
                             std::string* error);

// Writes bytes to target through a temporary file in target's folder (a short name of
// its own, so any valid target name works) and a rename. When tailOf names a file, its
// bytes from tailOffset on follow, copied in blocks (the rest of a file whose head was
// rewritten). When keepPermissionsOf names an existing file, the result gets its
// permission bits. Returns false (with *error set) and removes the temporary file on
// any failure.
bool ReplaceFile(const std::string& target, const std::string& bytes, std::string* error,
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
