#include "tools/opener/tiff_folder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <utility>

namespace tv::opener {
namespace {

Status Failure(long number, std::string description, int err = 0) {
    return Status(number, ErrorSource("Opener"), std::move(description), err);
}

Status Refusal(const std::string& part, int err) {
    if (err == ELOOP || err == ENOTDIR) {
        return Failure(kErrPermission, part + " is a link or not a folder; links are not followed",
                       err);
    }
    return Failure(ErrorNumberFromErrno(err), part + ": " + std::strerror(err), err);
}

Status WriteFailure(int err, const std::string& what) {
    return Failure(ErrorNumberFromErrno(err), what + ": " + std::strerror(err), err);
}

}  // namespace

UniqueFd OpenFolder(const std::string& path) {
    return UniqueFd(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
}

Result<UniqueFd> OpenFolderBelow(int root, const std::string& relative) {
    UniqueFd folder(::fcntl(root, F_DUPFD_CLOEXEC, 0));
    if (!folder.Valid()) {
        const int err = errno;
        return Failure(ErrorNumberFromErrno(err), std::strerror(err), err);
    }
    size_t start = 0;
    for (size_t slash; (slash = relative.find('/', start)) != std::string::npos;
         start = slash + 1) {
        const std::string part = relative.substr(start, slash - start);
        if (part.empty() || part == "." || part == "..") {
            return Failure(kErrPermission, "not a path below the document's folder");
        }
        UniqueFd next(
            ::openat(folder.Get(), part.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (!next.Valid()) {
            const int err = errno;
            return Refusal(relative.substr(0, slash), err);
        }
        folder = std::move(next);
    }
    return folder;
}

Result<FolderFile> OpenBelow(int root, const std::string& relative) {
    Result<UniqueFd> folder = OpenFolderBelow(root, relative);
    if (!folder) {
        return folder.status();
    }
    FolderFile out;
    out.folder = std::move(folder).value();
    const std::string name = relative.substr(relative.rfind('/') + 1);
    if (name.empty() || name == "." || name == "..") {
        return Failure(kErrPermission, "not a path below the document's folder");
    }
    // O_NONBLOCK: a FIFO planted under the name must not stall the open.
    out.file.Reset(
        ::openat(out.folder.Get(), name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat st {};
    if (!out.file.Valid()) {
        const int err = errno;
        return err == ELOOP
                   ? Failure(kErrPermission, relative + " is a link; links are not followed")
                   : Failure(ErrorNumberFromErrno(err), relative + ": " + std::strerror(err), err);
    }
    if (::fstat(out.file.Get(), &st) != 0 || !S_ISREG(st.st_mode)) {
        return Failure(kErrAccess, relative + " is not a regular file");
    }
    out.device = st.st_dev;
    out.inode = st.st_ino;
    return out;
}

Status WriteInFolder(int folder, const std::string& name, std::string_view bytes) {
    static std::atomic<unsigned> counter{0};
    std::string temp;
    UniqueFd fd;
    for (int attempt = 0; attempt < 100 && !fd.Valid(); ++attempt) {
        // Short, so that a name near the system's limit still gets a temporary file.
        temp = ".png-" + std::to_string(::getpid()) + "-" + std::to_string(counter.fetch_add(1));
        fd.Reset(::openat(folder, temp.c_str(),
                          O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644));
        if (!fd.Valid() && errno != EEXIST) {
            break;
        }
    }
    if (!fd.Valid()) {
        const int err = errno;
        return WriteFailure(err, "cannot create a file beside " + name);
    }
    int error = WriteNewAndClose(std::move(fd), bytes);
    if (error == 0 && ::renameat(folder, temp.c_str(), folder, name.c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        ::unlinkat(folder, temp.c_str(), 0);
        return WriteFailure(error, "cannot write " + name);
    }
    return Status();
}

void RemoveInFolder(int folder, const std::string& name) {
    ::unlinkat(folder, name.c_str(), 0);
}

}  // namespace tv::opener
