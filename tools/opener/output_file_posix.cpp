#include "tools/opener/output_file.h"

#include "platform/xml/xml_job.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace tv::opener {
namespace {

class Fd {
  public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() { Close(); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    int Close() {
        int rc = 0;
        if (fd_ >= 0) {
            rc = ::close(fd_);
            fd_ = -1;
        }
        return rc;
    }

  private:
    int fd_;
};

std::string WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return std::strerror(errno);
        }
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return "";
}

// mkostemps with O_NOFOLLOW; the template is changed in place to the name made.
int CreateUnique(std::string& name, int suffixLength) {
    std::vector<char> buf(name.begin(), name.end());
    buf.push_back('\0');
    int fd = ::mkostemps(buf.data(), suffixLength, O_CLOEXEC | O_NOFOLLOW);
    name.assign(buf.data());
    return fd;
}

}  // namespace

std::string WriteFileReplacing(const std::string& path, std::string_view bytes) {
    return xml::WriteFileReplacing(path, bytes);
}

std::string WriteNewFile(const std::string& folder, const std::string& prefix,
                         const std::string& suffix, std::string_view bytes) {
    std::string name = folder + prefix + "XXXXXX" + suffix;
    Fd fd(CreateUnique(name, static_cast<int>(suffix.size())));
    if (fd.get() < 0) {
        return "";
    }
    bool ok = WriteAll(fd.get(), bytes).empty() && ::fchmod(fd.get(), 0644) == 0;
    if (fd.Close() != 0 || !ok) {
        ::unlink(name.c_str());
        return "";
    }
    return name;
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
