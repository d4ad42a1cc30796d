// Where the hive lives, the status texts and the key handle owner.
#include <filesystem>

#include "platform/environment.h"
#include "platform/registry/registry.h"

namespace tv::reg {

std::string HivePath() {
    std::string path;
    if (auto file = GetEnv("TESSEL_REGISTRY_FILE"); file && !file->empty()) {
        path = *file;
    } else {
        std::string config = GetEnv("XDG_CONFIG_HOME").value_or("");
        if (config.empty() || config[0] != kPathSeparator) {
            config = HomeFolder() + ".config";
        }
        path = JoinPath(config, "tessel-viewer/user.reg");
    }
    if (path[0] != kPathSeparator) {
        std::error_code ec;
        if (auto absolute = std::filesystem::absolute(path, ec); !ec) {
            path = absolute.string();
        }
    }
    return path;
}

std::string StatusText(LONG status) {
    switch (status) {
        case ERROR_SUCCESS:
            return "The operation completed successfully.";
        case ERROR_FILE_NOT_FOUND:
            return "The system cannot find the file specified.";
        case ERROR_PATH_NOT_FOUND:
            return "The system cannot find the path specified.";
        case ERROR_ACCESS_DENIED:
            return "Access is denied.";
        case ERROR_INVALID_HANDLE:
            return "The handle is invalid.";
        case ERROR_WRITE_FAULT:
            return "The system cannot write to the specified device.";
        case ERROR_READ_FAULT:
            return "The system cannot read from the specified device.";
        case ERROR_LOCK_VIOLATION:
            return "The process cannot access the file because another process has locked a "
                   "portion of the file.";
        case ERROR_INVALID_PARAMETER:
            return "The parameter is incorrect.";
        case ERROR_DISK_FULL:
            return "There is not enough space on the disk.";
        case ERROR_BAD_PATHNAME:
            return "The specified path is invalid.";
        case ERROR_MORE_DATA:
            return "More data is available.";
        case ERROR_KEY_DELETED:
            return "Illegal operation attempted on a registry key that has been marked for "
                   "deletion.";
        default:
            return "Registry error " + std::to_string(status) + ".";
    }
}

KeyHandle& KeyHandle::operator=(KeyHandle&& other) noexcept {
    if (this != &other) {
        Close();
        key_ = other.key_;
        open_ = std::exchange(other.open_, false);
    }
    return *this;
}

void KeyHandle::Close() noexcept {
    if (open_) {
        RegCloseKey(key_);
        open_ = false;
    }
}

}  // namespace tv::reg
