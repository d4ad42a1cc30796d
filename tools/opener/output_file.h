#pragma once
// Writing the opener's output files without ever following a link: the bytes go to a
// fresh temporary file (O_EXCL | O_NOFOLLOW) in the target's folder, which is then
// renamed over the target. A link at the target is replaced, never written through, and
// a reader never sees a half-written page.
#include <string>
#include <string_view>

#include "platform/error.h"

namespace tv::opener {

// Replaces (or creates) path with bytes, mode 0644. A failure's description is a
// readable reason (the temporary file is removed).
Status WriteFileReplacing(const std::string& path, std::string_view bytes);

// Creates a new file folder + prefix + random + suffix holding bytes (never replacing
// anything) and returns its path.
Result<std::string> WriteNewFile(const std::string& folder, const std::string& prefix,
                                 const std::string& suffix, std::string_view bytes);

// True when path names a regular file (a link to one counts: reading follows links,
// writing never does).
bool IsRegularFile(const std::string& path);

// The canonical absolute form of an existing path; "" when it cannot be resolved.
std::string CanonicalPath(const std::string& path);

}  // namespace tv::opener
