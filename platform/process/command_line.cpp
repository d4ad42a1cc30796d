#include "platform/process/command_line.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

namespace tv {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

bool IsExecutableAt(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), X_OK) == 0;
}

}  // namespace

std::string FindExecutable(const std::string& name) {
    if (name.empty()) {
        return {};
    }
    if (name.find('/') != std::string::npos) {
        return IsExecutableAt(name) ? name : std::string();
    }
    const char* path = std::getenv("PATH");
    std::string_view dirs = path ? path : "/usr/local/bin:/usr/bin:/bin";
    while (true) {
        const auto colon = dirs.find(':');
        std::string dir(dirs.substr(0, colon));
        std::string candidate = (dir.empty() ? std::string(".") : dir) + "/" + name;
        if (IsExecutableAt(candidate)) {
            return candidate;
        }
        if (colon == std::string_view::npos) {
            return {};
        }
        dirs.remove_prefix(colon + 1);
    }
}

bool IsExecutableFile(const std::string& name) {
    return !FindExecutable(name).empty();
}

std::vector<std::string> SplitArguments(std::string_view rest) {
    std::vector<std::string> args;
    std::size_t i = 0;
    const std::size_t n = rest.size();
    while (true) {
        while (i < n && IsBlank(rest[i])) {
            ++i;
        }
        if (i >= n) {
            return args;
        }
        std::string arg;
        bool quoted = false;
        while (i < n && (quoted || !IsBlank(rest[i]))) {
            if (rest[i] == '\\') {
                std::size_t slashes = 0;
                while (i < n && rest[i] == '\\') {
                    ++slashes;
                    ++i;
                }
                if (i < n && rest[i] == '"') {
                    arg.append(slashes / 2, '\\');
                    if (slashes % 2 == 1) {
                        arg += '"';
                        ++i;
                    }
                } else {
                    arg.append(slashes, '\\');
                }
            } else if (rest[i] == '"') {
                if (quoted && i + 1 < n && rest[i + 1] == '"') {
                    arg += '"';
                    i += 2;
                } else {
                    quoted = !quoted;
                    ++i;
                }
            } else {
                arg += rest[i++];
            }
        }
        args.push_back(std::move(arg));
    }
}

SplitCommand SplitToolCommandLine(std::string_view line) {
    std::size_t start = 0;
    while (start < line.size() && IsBlank(line[start])) {
        ++start;
    }
    line.remove_prefix(start);
    SplitCommand cmd;
    std::size_t restAt = line.size();
    if (!line.empty() && line.front() == '"') {
        const auto close = line.find('"', 1);
        cmd.program =
            std::string(line.substr(1, close == std::string_view::npos ? close : close - 1));
        restAt = close == std::string_view::npos ? line.size() : close + 1;
    } else {
        restAt = std::min(line.find_first_of(" \t"), line.size());
        cmd.program = std::string(line.substr(0, restAt));
    }
    cmd.arguments = SplitArguments(line.substr(restAt));
    return cmd;
}

}  // namespace tv
