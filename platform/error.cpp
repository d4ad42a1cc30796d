#include "platform/error.h"

#include <cerrno>
#include <cstring>

namespace tv {

std::string ErrorSource(const std::string& className) {
    return std::string(kExecutableName) + "." + className;
}

long ErrorNumberFromErrno(int err, bool pathMissing) {
    switch (err) {
        case ENOENT:
            return pathMissing ? kErrPathNotFound : kErrFileNotFound;
        case ENOTDIR:
            return kErrPathNotFound;
        case EACCES:
        case EPERM:
            return kErrPermission;
        case EROFS:
        case EBUSY:
        case ETXTBSY:
        case EISDIR:
        case EIO:
            return kErrAccess;
        case ENOSPC:
        case EDQUOT:
            return kErrDiskFull;
        case EEXIST:
            return kErrFileExists;
        case EMFILE:
        case ENFILE:
            return kErrTooManyFiles;
        case ENAMETOOLONG:
            return kErrBadFileName;
        default:
            return kErrInternal;
    }
}

Status SystemStatus(int err, const std::string& className, const std::string& what,
                    const std::string& path, bool pathMissing) {
    return Status(ErrorNumberFromErrno(err, pathMissing), ErrorSource(className),
                  what + ": " + path + ": " + std::strerror(err), err);
}

}  // namespace tv
