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

#include "platform/fd.h"
#include "platform/strings.h"

namespace tv::prep {
namespace sfs = std::filesystem;

namespace {

// Reads up to size bytes at the current offset; fewer only at the end of the file. 0, or
// the errno value of the failing read.
int ReadUpTo(int fd, std::string& into, std::size_t size) {
    const std::size_t start = into.size();
    into.resize(start + size);
    std::size_t got = 0;
    while (got < size) {
        const ssize_t n = ::read(fd, into.data() + start + got, size - got);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            const int err = errno;
            into.resize(start + got);
            return err;
        }
        if (n == 0) {
            break;
        }
        got += static_cast<std::size_t>(n);
    }
    into.resize(start + got);
    return 0;
}

// A regular file opened for reading; links are followed as the caller named them.
UniqueFd OpenRegular(const std::string& path, std::uint64_t* size) {
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    struct stat st {};
    if (!fd.Valid() || ::fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode)) {
        return UniqueFd();
    }
    *size = static_cast<std::uint64_t>(st.st_size);
    return fd;
}

Status NotAFile(const std::string& path) {
    return PrepFailure(kErrFileNotFound, "cannot read " + path + ": not an existing file");
}

Status ReadFailure(const std::string& path, int err) {
    return PrepFailure(ErrorNumberFromErrno(err), "cannot read " + path, err);
}

}  // namespace

Status PrepFailure(long number, std::string description, int osError) {
    return Status(number, ErrorSource("Prep"), std::move(description), osError);
}

Result<std::string> ReadBytes(const std::string& path, std::uint64_t maxBytes) {
    std::uint64_t size = 0;
    const UniqueFd fd = OpenRegular(path, &size);
    if (!fd.Valid()) {
        return NotAFile(path);
    }
    if (size > maxBytes) {
        return PrepFailure(kErrInvalidFormat, "cannot read " + path + ": larger than " +
                                                  std::to_string(maxBytes >> 20) + " MB");
    }
    std::string bytes;
    if (const int err = ReadUpTo(fd.Get(), bytes, static_cast<std::size_t>(size)); err != 0) {
        return ReadFailure(path, err);
    }
    return bytes;
}

Result<Head> ReadHead(const std::string& path, std::uint64_t maxBytes,
                      const std::function<bool(const std::string&)>& enough) {
    std::uint64_t size = 0;
    const UniqueFd fd = OpenRegular(path, &size);
    if (!fd.Valid()) {
        return NotAFile(path);
    }
    Head head;
    for (std::uint64_t want = 64u << 10;; want *= 4) {
        want = std::min(want, maxBytes);
        const std::size_t more = static_cast<std::size_t>(want - head.bytes.size());
        if (const int err = ReadUpTo(fd.Get(), head.bytes, more); err != 0) {
            return ReadFailure(path, err);
        }
        head.whole = head.bytes.size() < want;
        if (head.whole || enough(head.bytes)) {
            return head;
        }
        if (want == maxBytes) {
            return PrepFailure(kErrInvalidFormat,
                               "the document's prolog does not end within its first " +
                                   std::to_string(maxBytes >> 20) + " MB");
        }
    }
}

Status ReplaceFile(const std::string& target, const std::string& bytes,
                   const std::string& keepPermissionsOf, const std::string& tailOf,
                   std::uint64_t tailOffset) {
    // A short hidden name in the same folder: the rename stays on one file system, and
    // the name fits whatever the length of target's own name.
    const sfs::path folder = sfs::path(target).parent_path();
    std::string temp = ((folder.empty() ? sfs::path(".") : folder) / ".tvprepXXXXXX").string();
    UniqueFd out(::mkstemp(temp.data()));
    if (!out.Valid()) {
        const int err = errno;
        return PrepFailure(ErrorNumberFromErrno(err),
                           "cannot create a temporary file beside " + target, err);
    }
    bool ok = WriteAll(out.Get(), bytes.data(), bytes.size()) == 0;
    if (ok && !tailOf.empty()) {
        std::uint64_t size = 0;
        const UniqueFd in = OpenRegular(tailOf, &size);
        ok = in.Valid() && ::lseek(in.Get(), static_cast<off_t>(tailOffset), SEEK_SET) >= 0;
        std::string block;
        while (ok) {
            block.clear();
            ok = ReadUpTo(in.Get(), block, 1u << 20) == 0;
            if (!ok || block.empty()) {
                break;
            }
            ok = WriteAll(out.Get(), block.data(), block.size()) == 0;
        }
    }
    // mkstemp makes the file private; a new file gets what the umask gives any other.
    struct stat st {};
    if (keepPermissionsOf.empty() || ::stat(keepPermissionsOf.c_str(), &st) != 0) {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        st.st_mode = 0666 & ~mask;
    }
    ok = ok && ::fchmod(out.Get(), st.st_mode & 07777) == 0;
    ok = ::close(out.Release()) == 0 && ok;
    std::error_code ec;
    if (ok) {
        sfs::rename(temp, target, ec);
        ok = !ec;
    }
    if (ok) {
        return Status();
    }
    Status failed = PrepFailure(
        ec ? ErrorNumberFromErrno(ec.value()) : kErrAccess,
        "cannot write " + target + (ec ? ": " + ec.message() : std::string()), ec.value());
    sfs::remove(temp, ec);
    return failed;
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
