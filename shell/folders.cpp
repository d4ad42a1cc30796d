#include "shell/folders.h"

#include <vector>

#include "platform/environment.h"
#include "platform/error.h"
#include "platform/filesystem.h"
#include "platform/paths.h"

namespace tv {

bool KillFile(const std::string& pattern) {
    std::vector<fs::DirEntry> entries;
    if (Status listed = fs::List(pattern, false, entries); !listed) {
        return listed.Number() == kErrFileNotFound;
    }
    const std::string folder = SplitAtLastSeparator(pattern).first;
    bool ok = true;
    for (const auto& entry : entries) {
        if (Status deleted = fs::DeleteFile(folder + entry.name);
            !deleted && deleted.Number() != kErrFileNotFound) {
            ok = false;
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

void RemoveDir(const std::string& folder) {
    // Everything below goes in one call (a folder emptied and removed, not left for a
    // later one): a package folder left behind empty would make the next run take that
    // package for one rendered before (raw view). Failures are ignored: cleaning runs
    // at unload and has nobody to tell.
    (void)fs::RemoveTreeContents(folder);
}

}  // namespace tv
