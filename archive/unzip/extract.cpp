#include "archive/unzip/unzip_internal.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <ctime>
#include <string_view>

#include "archive/unzip/entry_layout.h"
#include "archive/unzip/entry_names.h"

namespace tv::unzip {
namespace {

// The space a package may not take: 5 % of the disk, at most 1 GiB.
constexpr std::uint64_t kReservePercent = 5;
constexpr std::uint64_t kMaxReserve = std::uint64_t{1} << 30;

}  // namespace

Status Session::CheckLayout(zip_t* za) {
    const EntryLayout layout = ReadEntryLayout(Reader(), source_->Size());
    if (layout.verdict == LayoutVerdict::kOverlap) {
        return Fail(kUnsafe, "error: " + zipPath_ + ": " + layout.reason +
                                 "; the archive is refused as unsafe");
    }
    bool agrees = layout.verdict == LayoutVerdict::kSound &&
                  static_cast<zip_int64_t>(layout.entries.size()) == zip_get_num_entries(za, 0);
    for (std::size_t i = 0; agrees && i < layout.entries.size(); ++i) {
        zip_stat_t st;
        const char* raw = zip_get_name(za, i, ZIP_FL_ENC_RAW);
        agrees = raw != nullptr && layout.entries[i].rawName == raw &&
                 zip_stat_index(za, i, ZIP_FL_ENC_RAW, &st) == 0 &&
                 (st.valid & ZIP_STAT_COMP_SIZE) != 0 &&
                 st.comp_size == layout.entries[i].compressedSize;
    }
    // The directory checked must be the one libzip reads: libzip does not say where an
    // entry's data lies, so read one raw byte of each entry and see where the source
    // was asked for it. An entry libzip cannot open is not extracted either.
    for (std::size_t i = 0; agrees && i < layout.entries.size(); ++i) {
        if (layout.entries[i].compressedSize == 0) {
            continue;
        }
        ZipFileHandle raw(zip_fopen_index(za, i, ZIP_FL_ENCRYPTED));
        char byte = 0;
        if (!raw) {
            zip_error_clear(za);
            continue;
        }
        agrees = zip_fread(raw.get(), &byte, 1) == 1 &&
                 source_->LastReadOffset() == layout.entries[i].dataOffset;
    }
    if (!agrees) {
        return Fail(
            kBadLayout,
            "error: " + zipPath_ + ": the entries' layout cannot be verified (" +
                (layout.reason.empty() ? std::string("inconsistent directory") : layout.reason) +
                "); nothing extracted");
    }
    return {};
}

bool Session::TooDeep(const std::string& path) const {
    return rootPath_.size() + path.size() >= PATH_MAX ||
           std::count(path.begin(), path.end(), '/') > UZ_MAX_FOLDER_DEPTH;
}

bool Session::MayReplace(const std::string& fullPath) {
    if (options_.overwrite || replaceAll_) {
        return true;
    }
    if (keepAll_ || !options_.promptToOverwrite) {
        return false;
    }
    OverwriteQuery query;
    query.path = fullPath;
    listener_.Ask(query);
    switch (query.answer) {
        case OverwriteAnswer::kReplace:
            return true;
        case OverwriteAnswer::kReplaceAll:
            replaceAll_ = true;
            return true;
        case OverwriteAnswer::kKeepAll:
            keepAll_ = true;
            return false;
        case OverwriteAnswer::kKeep:
            return false;
    }
    return false;
}

Session::Outcome Session::Extract(zip_t* za, zip_uint64_t index, const zip_stat_t& st,
                                  const std::string& name) {
    const OutputName out =
        MakeOutputName(name, options_.useFolderNames, options_.spaceToUnderscore);
    bool warned = false;
    if (out.droppedRoot) {
        Print(Level::kWarning, "warning: removed the absolute path from " + name);
        warned = true;
    }
    if (out.droppedParent) {
        Print(Level::kWarning, "warning: removed \"..\" path parts from " + name);
        warned = true;
    }
    if (out.isFolder && !options_.useFolderNames) {
        return warned ? Outcome::kWarned : Outcome::kSkipped;
    }
    if (out.path.empty()) {
        Print(Level::kWarning, "  skipping: " + name + "  no name left to write");
        ++warned_;
        return Outcome::kSkipped;
    }
    if (TooDeep(out.path)) {
        Print(Level::kWarning,
              "error: " + (name.size() > 200 ? name.substr(0, 200) + "..." : name) +
                  ": the name is too long or nested too deep; not extracted");
        return Outcome::kFailed;
    }
    int dirFd = -1;
    if (out.isFolder) {
        if (Status s = output_.Folder(out.path, dirFd); !s) {
            Print(Level::kWarning, "error: cannot create " + out.path + ": " + s.Description());
            return Outcome::kFailed;
        }
        Print(Level::kInfo, "   creating: " + out.path + "/");
        return warned ? Outcome::kWarned : Outcome::kDone;
    }

    const std::size_t slash = out.path.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : out.path.substr(0, slash);
    const std::string leaf = slash == std::string::npos ? out.path : out.path.substr(slash + 1);
    if (Status s = output_.Folder(folder, dirFd); !s) {
        Print(Level::kWarning, "error: cannot create " + out.path + ": " + s.Description());
        return Outcome::kFailed;
    }
    const std::time_t mtime = (st.valid & ZIP_STAT_MTIME) ? st.mtime : -1;
    struct stat existing {};
    const bool exists = ::fstatat(dirFd, leaf.c_str(), &existing, AT_SYMLINK_NOFOLLOW) == 0;
    if (exists) {
        if (S_ISDIR(existing.st_mode)) {
            Print(Level::kWarning, "error: cannot create " + out.path + ": a folder has that name");
            return Outcome::kFailed;
        }
        const bool onlyNewer = options_.extractOnlyNewer || options_.freshen;
        if (onlyNewer && S_ISREG(existing.st_mode) && existing.st_mtime >= mtime) {
            return warned ? Outcome::kWarned : Outcome::kSkipped;
        }
        if (!MayReplace(rootPath_ + out.path)) {
            Print(Level::kInfo, "  skipping: " + out.path + "  already exists");
            return warned ? Outcome::kWarned : Outcome::kSkipped;
        }
    } else if (options_.freshen) {
        return warned ? Outcome::kWarned : Outcome::kSkipped;
    }

    ZipFileHandle file;
    const Outcome opened = OpenEntry(za, index, st, name, file);
    if (opened != Outcome::kDone) {
        return opened;
    }
    if (IsSymlinkEntry(za, index)) {
        Print(Level::kWarning, "warning: " + name + " is a symbolic link; written as a plain file");
        warned = true;
    }
    const bool stored = (st.valid & ZIP_STAT_COMP_METHOD) && st.comp_method == ZIP_CM_STORE;
    Print(Level::kInfo, (stored ? "  extracting: " : "  inflating: ") + out.path);
    PendingFile pending(dirFd);
    if (!pending.Create(leaf, exists)) {
        Print(Level::kWarning,
              "error: cannot create " + out.path + ": " + std::string(std::strerror(errno)));
        return Outcome::kFailed;
    }
    if (Status s = Copy(std::move(file), st.size, pending.Fd(), out.path); !s) {
        Print(Level::kWarning, s.Number() == kDiskFull ? "error: " + s.Description()
                                                       : "error: " + out.path + ": " +
                                                             s.Description() + "; file removed");
        return Outcome::kFailed;
    }
    if (!pending.Commit(mtime)) {
        Print(Level::kWarning,
              "error: cannot write " + out.path + ": " + std::string(std::strerror(errno)));
        return Outcome::kFailed;
    }
    return warned ? Outcome::kWarned : Outcome::kDone;
}

// A package whose selected entries declare more than the disk can hold (the classic
// ratio bomb: a few kilobytes that inflate to terabytes) is refused before anything is
// written; sizes are checked again while writing, so the declared ones are binding.
// Every folder to be created counts one block, so names alone cannot fill a disk either,
// and a reserve stays free for everything else on it.
Status Session::CheckSpace(zip_t* za, zip_int64_t count) {
    std::uint64_t needed = 0;
    std::vector<std::string> paths;
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t st;
        if (zip_stat_index(za, static_cast<zip_uint64_t>(i), ZIP_FL_ENC_RAW, &st) != 0) {
            zip_error_clear(za);
            continue;
        }
        if (!(st.valid & ZIP_STAT_NAME) || !(st.valid & ZIP_STAT_SIZE)) {
            continue;
        }
        const std::string name = EntryName(st);
        if (!Selected(static_cast<zip_uint64_t>(i), name)) {
            continue;
        }
        OutputName out = MakeOutputName(name, options_.useFolderNames, options_.spaceToUnderscore);
        if (out.path.empty() || TooDeep(out.path)) {
            continue;  // never written
        }
        if (!out.isFolder) {
            needed = st.size > UINT64_MAX - needed ? UINT64_MAX : needed + st.size;
        }
        paths.push_back(out.isFolder ? out.path + "/" : std::move(out.path));
    }
    // Folders: every distinct proper prefix of a file's path, and every folder entry.
    std::unordered_set<std::string_view> folders;
    for (const std::string& path : paths) {
        for (std::size_t slash = path.find('/'); slash != std::string::npos;
             slash = path.find('/', slash + 1)) {
            folders.insert(std::string_view(path).substr(0, slash));
        }
    }
    const OutputFolder::Space space = output_.DiskSpace();
    const std::uint64_t folderBytes = folders.size() * space.blockSize;
    needed = folderBytes > UINT64_MAX - needed ? UINT64_MAX : needed + folderBytes;
    const std::uint64_t reserve = std::min(space.total / 100 * kReservePercent, kMaxReserve);
    if (needed > space.available || space.available - needed < reserve) {
        return Fail(kDiskFull, "error: " + zipPath_ + " would need " + std::to_string(needed) +
                                   " bytes, but only " + std::to_string(space.available) +
                                   " are free in " + rootPath_ + " and " + std::to_string(reserve) +
                                   " must stay free; nothing was extracted");
    }
    return {};
}

}  // namespace tv::unzip
