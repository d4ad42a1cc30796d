#include "platform/environment.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

namespace tv {

std::optional<std::string> GetEnv(const std::string& name) {
    const char* v = std::getenv(name.c_str());
    if (v == nullptr) {
        return std::nullopt;
    }
    return std::string(v);
}

std::string ExpandEnvironmentStrings(const std::string& text) {
    std::string out;
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] == '%') {
            std::size_t close = text.find('%', i + 1);
            if (close != std::string::npos && close > i + 1) {
                if (auto value = GetEnv(text.substr(i + 1, close - i - 1))) {
                    out += *value;
                    i = close + 1;
                    continue;
                }
                // Unknown name: the reference stays as written, both signs included.
                out.append(text, i, close - i + 1);
                i = close + 1;
                continue;
            }
        }
        out += text[i++];
    }
    return out;
}

namespace {
std::optional<passwd> PasswordEntry(std::vector<char>& buffer) {
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    buffer.resize(size > 0 ? static_cast<std::size_t>(size) : 16384);
    passwd entry{};
    passwd* result = nullptr;
    while (getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &result) == ERANGE) {
        buffer.resize(buffer.size() * 2);
    }
    if (result == nullptr) {
        return std::nullopt;
    }
    return entry;
}
}  // namespace

std::string LoginName() {
    std::vector<char> buffer;
    if (auto entry = PasswordEntry(buffer); entry && entry->pw_name) {
        return entry->pw_name;
    }
    return GetEnv("USER").value_or("");
}

std::string HomeFolder() {
    if (auto home = GetEnv("HOME"); home && !home->empty()) {
        return WithTrailingSeparator(*home);
    }
    std::vector<char> buffer;
    if (auto entry = PasswordEntry(buffer); entry && entry->pw_dir) {
        return WithTrailingSeparator(entry->pw_dir);
    }
    return "/";
}

namespace {
// XDG_DOCUMENTS_DIR="$HOME/Documents" from user-dirs.dirs; only absolute or
// $HOME-relative values are valid there.
std::optional<std::string> DocumentsFromUserDirs(const std::string& home) {
    std::string config = GetEnv("XDG_CONFIG_HOME").value_or("");
    if (config.empty() || config[0] != '/') {
        config = home + ".config";
    }
    std::ifstream in(WithTrailingSeparator(config) + "user-dirs.dirs");
    std::string line;
    const std::string key = "XDG_DOCUMENTS_DIR=";
    while (std::getline(in, line)) {
        std::size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line.compare(start, key.size(), key) != 0) {
            continue;
        }
        std::string value = line.substr(start + key.size());
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
            value = value.substr(1, value.size() - 2);
        }
        // "$HOME" only as a whole first component ("$HOMEWORK/x" is not valid).
        if (value == "$HOME" || value.rfind("$HOME/", 0) == 0) {
            value = home + value.substr(value.size() > 5 ? 6 : 5);
        }
        if (!value.empty() && value[0] == '/') {
            return value;
        }
    }
    return std::nullopt;
}
}  // namespace

std::string DocumentsFolder() {
    if (auto dir = GetEnv("XDG_DOCUMENTS_DIR"); dir && !dir->empty() && (*dir)[0] == '/') {
        return WithTrailingSeparator(*dir);
    }
    const std::string home = HomeFolder();
    if (auto dir = DocumentsFromUserDirs(home)) {
        return WithTrailingSeparator(*dir);
    }
    return home + "Documents/";
}

std::string TempFolder() {
    if (auto tmp = GetEnv("TMPDIR"); tmp && !tmp->empty()) {
        return WithTrailingSeparator(*tmp);
    }
    return "/tmp/";
}

std::string ExecutableFolder() {
    std::error_code ec;
    const std::string path = std::filesystem::read_symlink("/proc/self/exe", ec).string();
    if (ec || path.empty()) {
        return "./";
    }
    return SplitAtLastSeparator(path).first;
}

}  // namespace tv
