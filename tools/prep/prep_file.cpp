#include "tools/prep/prep_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <iostream>
#include <system_error>
#include <utility>

#include "platform/strings.h"

namespace tv::prep {
namespace sfs = std::filesystem;

namespace {

class UniqueFd {
  public:
    explicit UniqueFd(int fd = -1) : fd_(fd) {}
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    ~UniqueFd() { Close(); }
    int get() const { return fd_; }
    int Release() { return std::exchange(fd_, -1); }
    bool Close() {
        const bool ok = fd_ < 0 || ::close(fd_) == 0;
        fd_ = -1;
        return ok;
    }

  private:
    int fd_;
};

bool WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// Reads up to size bytes at the current offset; fewer only at the end of the file.
bool ReadUpTo(int fd, std::string& into, std::size_t size) {
    const std::size_t start = into.size();
    into.resize(start + size);
    std::size_t got = 0;
    while (got < size) {
        const ssize_t n = ::read(fd, into.data() + start + got, size - got);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return false;
        }
        if (n == 0) {
            break;
        }
        got += static_cast<std::size_t>(n);
    }
    into.resize(start + got);
    return true;
}

// A regular file opened for reading; links are followed as the caller named them.
int OpenRegular(const std::string& path, std::uint64_t* size) {
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    struct stat st {};
    if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) {
        return -1;
    }
    *size = static_cast<std::uint64_t>(st.st_size);
    return fd.Release();
}

}  // namespace

std::optional<std::string> ReadBytes(const std::string& path, std::string* error,
                                     std::uint64_t maxBytes) {
    std::uint64_t size = 0;
    UniqueFd fd(OpenRegular(path, &size));
    if (fd.get() < 0) {
        *error = "cannot read " + path + ": not an existing file";
        return std::nullopt;
    }
    if (size > maxBytes) {
        *error = "cannot read " + path + ": larger than " + std::to_string(maxBytes >> 20) + " MB";
        return std::nullopt;
    }
    std::string bytes;
    if (!ReadUpTo(fd.get(), bytes, static_cast<std::size_t>(size))) {
        *error = "cannot read " + path;
        return std::nullopt;
    }
    return bytes;
}

std::optional<Head> ReadHead(const std::string& path, std::uint64_t maxBytes,
                             const std::function<bool(const std::string&)>& enough,
                             std::string* error) {
    std::uint64_t size = 0;
    UniqueFd fd(OpenRegular(path, &size));
    if (fd.get() < 0) {
        *error = "cannot read " + path + ": not an existing file";
        return std::nullopt;
    }
    Head head;
    for (std::uint64_t want = 64u << 10;; want *= 4) {
        want = std::min(want, maxBytes);
        if (!ReadUpTo(fd.get(), head.bytes, static_cast<std::size_t>(want - head.bytes.size()))) {
            *error = "cannot read " + path;
            return std::nullopt;
        }
        head.whole = head.bytes.size() < want;
        if (head.whole || enough(head.bytes)) {
            return head;
        }
        if (want == maxBytes) {
            *error = "the document's prolog does not end within its first " +
                     std::to_string(maxBytes >> 20) + " MB";
            return std::nullopt;
        }
    }
}

bool ReplaceFile(const std::string& target, const std::string& bytes, std::string* error,
                 const std::string& keepPermissionsOf, const std::string& tailOf,
                 std::uint64_t tailOffset) {
    // A short hidden name in the same folder: the rename stays on one file system, and
    // the name fits whatever the length of target's own name.
    const sfs::path folder = sfs::path(target).parent_path();
    std::string temp = ((folder.empty() ? sfs::path(".") : folder) / ".tvprepXXXXXX").string();
    UniqueFd out(::mkstemp(temp.data()));
    if (out.get() < 0) {
        *error = "cannot create a temporary file beside " + target;
        return false;
    }
    bool ok = WriteAll(out.get(), bytes.data(), bytes.size());
    if (ok && !tailOf.empty()) {
        std::uint64_t size = 0;
        UniqueFd in(OpenRegular(tailOf, &size));
        ok = in.get() >= 0 && ::lseek(in.get(), static_cast<off_t>(tailOffset), SEEK_SET) >= 0;
        std::string block;
        while (ok) {
            block.clear();
            ok = ReadUpTo(in.get(), block, 1u << 20);
            if (!ok || block.empty()) {
                break;
            }
            ok = WriteAll(out.get(), block.data(), block.size());
        }
    }
    // mkstemp makes the file private; a new file gets what the umask gives any other.
    struct stat st {};
    if (keepPermissionsOf.empty() || ::stat(keepPermissionsOf.c_str(), &st) != 0) {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        st.st_mode = 0666 & ~mask;
    }
    ok = ok && ::fchmod(out.get(), st.st_mode & 07777) == 0;
    ok = out.Close() && ok;
    std::error_code ec;
    if (ok) {
        sfs::rename(temp, target, ec);
        ok = !ec;
    }
    if (!ok) {
        *error = "cannot write " + target + (ec ? ": " + ec.message() : std::string());
        sfs::remove(temp, ec);
    }
    return ok;
}

std::string AbsolutePath(const std::string& path) {
    std::error_code ec;
    sfs::path abs = sfs::absolute(path, ec);
    return (ec ? sfs::path(path) : abs).lexically_normal().string();
}

std::string FileUrl(const std::string& absolutePath) {
    return "file://" + PercentEncoded(absolutePath, "/");
}

void Complain(const char* tool, const std::string& message) {
    std::cerr << tool << ": " << message << '\n';
}

}  // namespace tv::prep
