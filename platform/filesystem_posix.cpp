#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>
#include <system_error>

#include "platform/fd.h"
#include "platform/filesystem.h"
#include "platform/paths.h"
#include "platform/wildcard.h"

namespace tv::fs {
namespace {

namespace sfs = std::filesystem;

Status Failure(int err, const std::string& what, const std::string& path,
               bool pathMissing = false) {
    return SystemStatus(err, "FileSystem", what, path, pathMissing);
}

void Add(std::vector<DirEntry>& entries, std::string name, sfs::file_type type,
         bool includeDirectories) {
    DirEntry e{std::move(name), type == sfs::file_type::directory, type == sfs::file_type::symlink};
    if (!e.isDirectory || includeDirectories) {
        entries.push_back(std::move(e));
    }
}

}  // namespace

Status List(const std::string& pattern, bool includeDirectories, std::vector<DirEntry>& entries) {
    entries.clear();
    const auto [folder, mask] = SplitAtLastSeparator(pattern);
    if (mask.empty()) {
        return {};
    }
    const std::string dir = folder.empty() ? "." : folder;
    std::error_code ec;
    if (!HasWildcards(mask)) {
        const sfs::file_status st = sfs::symlink_status(pattern, ec);
        if (st.type() == sfs::file_type::not_found) {
            // A missing name is no match; a missing folder is an error.
            return sfs::is_directory(dir, ec) ? Status() : Failure(ENOTDIR, "cannot list", dir);
        }
        if (ec) {
            return Failure(ec.value(), "cannot list", pattern);
        }
        Add(entries, mask, st.type(), includeDirectories);
        return {};
    }
    for (sfs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        std::string name = it->path().filename().string();
        if (!WildcardMatch(mask, name)) {
            continue;
        }
        std::error_code entryError;
        const sfs::file_status st = it->symlink_status(entryError);
        if (!entryError) {  // else it vanished meanwhile
            Add(entries, std::move(name), st.type(), includeDirectories);
        }
    }
    return ec ? Failure(ec.value(), "cannot list", dir, true) : Status();
}

Status DeleteFile(const std::string& path) {
    std::error_code ec;
    const sfs::file_type type = sfs::symlink_status(path, ec).type();
    if (type == sfs::file_type::not_found || type == sfs::file_type::directory) {
        return Failure(type == sfs::file_type::directory ? EISDIR : ENOENT, "cannot delete", path);
    }
    sfs::remove(path, ec);
    return ec ? Failure(ec.value(), "cannot delete", path) : Status();
}

Status RemoveFolder(const std::string& path) {
    std::error_code ec;
    if (sfs::symlink_status(path, ec).type() != sfs::file_type::directory) {
        return Failure(ec ? ec.value() : ENOTDIR, "cannot remove folder", path);
    }
    sfs::remove(path, ec);
    return ec ? Failure(ec.value(), "cannot remove folder", path) : Status();
}

namespace {

// One folder of the walk: the names still to remove, its name in its parent and its
// identity, by which the walk finds its way back up through "..".
struct Level {
    std::vector<std::string> pending;
    std::string name;
    dev_t dev = 0;
    ino_t ino = 0;
};

// Opens the folder name below at (never a link) with its owner's read, write and
// search permission, giving them when missing.
int OpenFolder(int at, const char* name, struct stat& st) {
    constexpr int kFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
    UniqueFd fd(::openat(at, name, kFlags));
    if (!fd.Valid() && errno == EACCES && ::fstatat(at, name, &st, AT_SYMLINK_NOFOLLOW) == 0 &&
        S_ISDIR(st.st_mode) && ::fchmodat(at, name, (st.st_mode & 07777) | S_IRWXU, 0) == 0) {
        fd.Reset(::openat(at, name, kFlags));
    }
    if (!fd.Valid() || ::fstat(fd.Get(), &st) != 0) {
        return -1;
    }
    if ((st.st_mode & S_IRWXU) != S_IRWXU &&
        ::fchmod(fd.Get(), (st.st_mode & 07777) | S_IRWXU) != 0) {
        return -1;
    }
    return fd.Release();
}

// The names in the folder (".", ".." left out).
bool ReadNames(int folder, std::vector<std::string>& names) {
    const int copy = ::dup(folder);
    if (copy < 0) {
        return false;
    }
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::fdopendir(copy), ::closedir);
    if (!dir) {
        ::close(copy);
        return false;
    }
    while (const dirent* d = ::readdir(dir.get())) {
        if (std::strcmp(d->d_name, ".") != 0 && std::strcmp(d->d_name, "..") != 0) {
            names.emplace_back(d->d_name);
        }
    }
    return true;
}

}  // namespace

Status RemoveTreeContents(const std::string& folder) {
    const std::string root = WithoutTrailingSeparator(folder);
    Status first;
    auto note = [&first](int err, const std::string& what, const std::string& name) {
        if (first.Ok()) {
            first = Failure(err, what, name);
        }
    };
    if (root == "/") {
        return Failure(EPERM, "will not empty", root);  // never the whole file system
    }
    struct stat st {};
    UniqueFd current(OpenFolder(AT_FDCWD, root.c_str(), st));
    if (!current.Valid()) {
        return Failure(errno, "cannot open folder", root);
    }
    // Iterative, with one descriptor held: depth costs only the names still pending.
    std::vector<Level> levels(1);
    levels.back().dev = st.st_dev;
    levels.back().ino = st.st_ino;
    if (!ReadNames(current.Get(), levels.back().pending)) {
        return Failure(errno, "cannot list", root);
    }
    while (!levels.empty()) {
        Level& level = levels.back();
        if (level.pending.empty()) {
            if (levels.size() == 1) {
                break;
            }
            const Level& parent = levels[levels.size() - 2];
            UniqueFd up(::openat(current.Get(), "..", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
            if (!up.Valid() || ::fstat(up.Get(), &st) != 0 || st.st_dev != parent.dev ||
                st.st_ino != parent.ino) {
                note(up.Valid() ? EXDEV : errno, "folder moved during cleaning", level.name);
                break;
            }
            current = std::move(up);
            if (::unlinkat(current.Get(), level.name.c_str(), AT_REMOVEDIR) != 0) {
                note(errno, "cannot remove folder", level.name);
            }
            levels.pop_back();
            continue;
        }
        const std::string name = std::move(level.pending.back());
        level.pending.pop_back();
        if (::unlinkat(current.Get(), name.c_str(), 0) == 0) {
            continue;
        }
        const int unlinkError = errno;  // a folder gives EISDIR (POSIX allows EPERM)
        if (unlinkError != EISDIR && unlinkError != EPERM) {
            note(unlinkError, "cannot delete", name);
            continue;
        }
        const int child = OpenFolder(current.Get(), name.c_str(), st);
        if (child < 0) {
            note(errno == ENOTDIR ? unlinkError : errno, "cannot delete", name);
            continue;
        }
        Level next{{}, name, st.st_dev, st.st_ino};
        UniqueFd childFd(child);
        if (!ReadNames(childFd.Get(), next.pending)) {
            note(errno, "cannot list", name);
            continue;
        }
        current = std::move(childFd);
        levels.push_back(std::move(next));
    }
    return first;
}

bool FileExists(const std::string& path, Match match) {
    if (match == Match::Exact) {
        std::error_code ec;
        return std::filesystem::is_regular_file(std::filesystem::symlink_status(path, ec));
    }
    std::vector<DirEntry> entries;
    return List(path, false, entries).Ok() && !entries.empty();
}

bool FolderExists(const std::string& path, Match match) {
    if (match == Match::Exact) {
        std::error_code ec;
        return std::filesystem::exists(std::filesystem::symlink_status(path, ec));
    }
    std::vector<DirEntry> entries;
    return List(WithoutTrailingSeparator(path), true, entries).Ok() && !entries.empty();
}

}  // namespace tv::fs
