#include "shell/folders.h"

#include <vector>

#include "platform/environment.h"
#include "platform/error.h"
#include "platform/filesystem.h"

namespace tv {

bool FileExists(const std::string& path) {
    try {
        return !fs::List(path, false).empty();
    } catch (const AppError&) {
        return false;
    }
}

bool FolderExists(const std::string& path) {
    std::string p = path;
    while (p.size() > 1 && p.back() == kPathSeparator) {
        p.pop_back();
    }
    try {
        return !fs::List(p, true).empty();
    } catch (const AppError&) {
        return false;
    }
}

bool KillFile(const std::string& pattern) {
    std::vector<fs::DirEntry> entries;
    try {
        entries = fs::List(pattern, false);
    } catch (const AppError& e) {
        return e.Number() == kErrFileNotFound;
    }
    const std::string folder = fs::SplitFolder(pattern).first;
    bool ok = true;
    for (const auto& entry : entries) {
        try {
            fs::DeleteFile(folder + entry.name);
        } catch (const AppError& e) {
            if (e.Number() != kErrFileNotFound) {
                ok = false;
            }
        }
    }
    return ok;
}

std::string GetLoginName() {
    return LoginName();
}

std::string GetDocumentsFolder() {
    return DocumentsFolder();
}

std::string GetWorkingFolder() {
    return GetDocumentsFolder() + "MyTessel";
}

namespace {
template <typename F>
void IgnoringErrors(F&& f) {
    try {
        f();
    } catch (const AppError&) {
    }
}
}  // namespace

void RemoveDir(const std::string& folder) {
    const std::string p = WithTrailingSeparator(folder);
    std::string self = p;
    while (!self.empty() && self.back() == kPathSeparator) {
        self.pop_back();  // "link//" would make lstat follow the link
    }
    // A link named as the folder is not followed: cleaning never leaves the tree.
    if (self.empty() || !fs::IsRealFolder(self)) {
        return;
    }
    std::vector<fs::DirEntry> entries;
    IgnoringErrors([&] { entries = fs::List(p + "*", true); });
    if (entries.empty()) {
        return;
    }
    IgnoringErrors([&] { fs::MakeWritable(self); });
    KillFile(p + "*.*");

    for (const auto& e : entries) {
        if (e.isDirectory) {
            IgnoringErrors([&] { fs::MakeWritable(p + e.name); });
            KillFile(p + e.name + kPathSeparator + "*.*");
        } else {
            IgnoringErrors([&] { fs::MakeWritable(p + e.name); });
        }
    }
    std::vector<std::string> recorded;
    IgnoringErrors([&] { entries = fs::List(p + "*", true); });
    for (const auto& e : entries) {
        if (!e.isDirectory) {
            continue;
        }
        KillFile(p + e.name + kPathSeparator + "*.*");
        recorded.push_back(e.name);
        IgnoringErrors([&] { fs::RemoveFolder(p + e.name); });
    }
    for (const auto& name : recorded) {
        RemoveDir(p + name + kPathSeparator);
        // Once emptied, the folder goes too: a package folder left behind empty would
        // make the next run take that package for one rendered before (raw view).
        IgnoringErrors([&] { fs::RemoveFolder(p + name); });
    }
}

}  // namespace tv
