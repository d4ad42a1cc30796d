#pragma once
// File handling shared by the preparation tools. A tool never leaves its input half
// written: the new text goes to a fresh file beside the target and is renamed over it
// only when complete, so a failure at any point leaves the old file as it was.
#include <optional>
#include <string>

namespace tv::prep {

// The whole file as bytes, or nullopt (with *error set) when it cannot be read.
std::optional<std::string> ReadBytes(const std::string& path, std::string* error);

// Writes bytes to target through a temporary file in target's folder and a rename.
// When keepPermissionsOf names an existing file, the result gets its permission bits.
// Returns false (with *error set) and removes the temporary file on any failure.
bool ReplaceFile(const std::string& target, const std::string& bytes, std::string* error,
                 const std::string& keepPermissionsOf = {});

// The absolute, lexically normal form of path (no file system access beyond the
// current folder).
std::string AbsolutePath(const std::string& path);

// "file://" URL of an absolute path, with spaces, '%', '#', '?' and non-ASCII bytes
// percent-encoded.
std::string FileUrl(const std::string& absolutePath);

// Prints "TOOL: message" as one line on standard error.
void Complain(const char* tool, const std::string& message);

}  // namespace tv::prep
