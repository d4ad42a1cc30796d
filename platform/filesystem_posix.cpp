#include "platform/filesystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>

#include "platform/error.h"
#include "platform/wildcard.h"

namespace tv::fs {
namespace {

const std::string kClass = "FileSystem";

struct DirCloser {
    void operator()(DIR* d) const noexcept { closedir(d); }
};
using DirHandle = std::unique_ptr<DIR, DirCloser>;

}  // namespace

std::pair<std::string, std::string> SplitFolder(const std::string& path) {
    std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return {"", path};
    }
    return {path.substr(0, slash + 1), path.substr(slash + 1)};
}

std::vector<DirEntry> List(const std::string& pattern, bool includeDirectories) {
    auto [folder, mask] = SplitFolder(pattern);
    std::vector<DirEntry> entries;
    if (mask.empty()) {
        return entries;
    }
    const std::string openPath = folder.empty() ? "." : folder;
    if (!HasWildcards(mask)) {
        struct stat st {};
        if (lstat(pattern.c_str(), &st) != 0) {
            if (errno == ENOENT || errno == ENOTDIR) {
                struct stat dirSt {};
                if (stat(openPath.c_str(), &dirSt) != 0 || !S_ISDIR(dirSt.st_mode)) {
                    throw SystemError(ENOTDIR, kClass, "cannot list", openPath);
                }
                return entries;
            }
            throw SystemError(errno, kClass, "cannot list", pattern);
        }
        DirEntry e{mask, S_ISDIR(st.st_mode), S_ISLNK(st.st_mode)};
        if (!e.isDirectory || includeDirectories) {
            entries.push_back(e);
        }
        return entries;
    }
    DirHandle dir(opendir(openPath.c_str()));
    if (!dir) {
        int err = errno;
        throw AppError(ErrorNumberFromErrno(err, true), ErrorSource(kClass),
                       "cannot list: " + openPath);
    }
    while (dirent* d = readdir(dir.get())) {
        std::string name = d->d_name;
        if (name == "." || name == ".." || !WildcardMatch(mask, name)) {
            continue;
        }
        struct stat st {};
        if (fstatat(dirfd(dir.get()), d->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
            continue;  // vanished meanwhile
        }
        DirEntry e{name, S_ISDIR(st.st_mode), S_ISLNK(st.st_mode)};
        if (!e.isDirectory || includeDirectories) {
            entries.push_back(std::move(e));
        }
    }
    return entries;
}

void DeleteFile(const std::string& path) {
    if (unlink(path.c_str()) != 0) {
        throw SystemError(errno, kClass, "cannot delete", path);
    }
}

void RemoveFolder(const std::string& path) {
    if (rmdir(path.c_str()) != 0) {
        throw SystemError(errno, kClass, "cannot remove folder", path);
    }
}

void CreateFolder(const std::string& path) {
    if (mkdir(path.c_str(), 0777) != 0) {
        throw SystemError(errno, kClass, "cannot create folder", path);
    }
}

void MakeWritable(const std::string& path) {
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0) {
        throw SystemError(errno, kClass, "cannot read attributes", path);
    }
    if (S_ISLNK(st.st_mode)) {
        return;
    }
    if (chmod(path.c_str(), (st.st_mode & 07777) | S_IWUSR) != 0) {
        throw SystemError(errno, kClass, "cannot change attributes", path);
    }
}

bool Exists(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0;
}

bool IsRealFolder(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace tv::fs
