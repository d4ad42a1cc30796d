// Pages are written so that a link planted at the page's name is replaced, never
// written through, and a reader never sees half a page.
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <utility>
#include <vector>

#include "platform/fd.h"
#include "platform/xml/xml_job.h"

namespace tv::xml {

namespace {

Status WriteFailure(int err, const std::string& what) {
    return Status(ErrorNumberFromErrno(err), ErrorSource("XmlJob"),
                  what + ": " + std::strerror(err), err);
}

}  // namespace

Status WriteFileReplacing(const std::string& path, std::string_view bytes) {
    std::vector<char> name(path.begin(), path.end());
    const std::string pattern = ".tmp-XXXXXX";
    name.insert(name.end(), pattern.begin(), pattern.end());
    name.push_back('\0');
    // mkostemp creates the file exclusively; O_NOFOLLOW guards the name it made.
    UniqueFd fd(::mkostemp(name.data(), O_CLOEXEC | O_NOFOLLOW));
    if (!fd.Valid()) {
        const int err = errno;
        return WriteFailure(err, "cannot create a file beside " + path);
    }
    int error = WriteNewAndClose(std::move(fd), bytes);
    if (error == 0 && ::rename(name.data(), path.c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        ::unlink(name.data());
        return WriteFailure(error, "cannot write " + path);
    }
    return Status();
}

}  // namespace tv::xml
