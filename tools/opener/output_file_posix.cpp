#include "tools/opener/output_file.h"

#include "platform/xml/xml_job.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>
#include <vector>

#include "platform/fd.h"

namespace tv::opener {

Status WriteFileReplacing(const std::string& path, std::string_view bytes) {
    return xml::WriteFileReplacing(path, bytes);
}

Result<std::string> WriteNewFile(const std::string& folder, const std::string& prefix,
                                 const std::string& suffix, std::string_view bytes) {
    std::vector<char> name;
    for (const std::string& part : {folder, prefix, std::string("XXXXXX"), suffix}) {
        name.insert(name.end(), part.begin(), part.end());
    }
    name.push_back('\0');
    // mkostemps creates the file exclusively; O_NOFOLLOW guards the name it made.
    UniqueFd fd(::mkostemps(name.data(), static_cast<int>(suffix.size()), O_CLOEXEC | O_NOFOLLOW));
    if (!fd.Valid()) {
        const int err = errno;
        return SystemStatus(err, "Opener", "cannot create a file in", folder);
    }
    if (const int err = WriteNewAndClose(std::move(fd), bytes); err != 0) {
        ::unlink(name.data());
        return SystemStatus(err, "Opener", "cannot write", name.data());
    }
    return std::string(name.data());
}

bool IsRegularFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string CanonicalPath(const std::string& path) {
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (resolved == nullptr) {
        return "";
    }
    std::string result(resolved);
    ::free(resolved);
    return result;
}

}  // namespace tv::opener
