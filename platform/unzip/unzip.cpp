#include "platform/unzip/unzip.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstring>
#include <ctime>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "platform/strings.h"
#include "platform/unzip/entry_layout.h"
#include "platform/unzip/entry_names.h"
#include "platform/unzip/file_source.h"
#include "platform/unzip/output_folder.h"
#include "platform/unzip/unique_fd.h"
#include "platform/wildcard.h"

namespace tv::unzip {
namespace {

enum Code : int {
    kOk = UZ_OK,
    kWarning = UZ_WARN,
    kEntryError = UZ_ERR_ARCHIVE,
    kBadLayout = UZ_ERR_LAYOUT,
    kNoMemory = UZ_ERR_MEMORY,
    kNotZip = UZ_NOT_ARCHIVE,
    kBadParameter = UZ_BAD_PARAM,
    kNoMatch = UZ_NO_MATCH,
    kUnsafe = UZ_UNSAFE,
    kDiskFull = UZ_DISK_FULL,
    kCancelled = UZ_CANCELLED,
    kUnsupported = UZ_UNSUPPORTED,
    kBadPassword = UZ_BAD_PASSWORD,
};

constexpr int kPasswordTries = 3;
constexpr std::size_t kCopyBufferSize = 256 * 1024;
constexpr unsigned kMaxFactor = 32767;
// The space a package may not take: 5 % of the disk, at most 1 GiB.
constexpr std::uint64_t kReservePercent = 5;
constexpr std::uint64_t kMaxReserve = std::uint64_t{1} << 30;

struct ZipDiscard {
    void operator()(zip_t* za) const noexcept { zip_discard(za); }
};
using ZipHandle = std::unique_ptr<zip_t, ZipDiscard>;

struct ZipFileClose {
    void operator()(zip_file_t* zf) const noexcept { zip_fclose(zf); }
};
using ZipFileHandle = std::unique_ptr<zip_file_t, ZipFileClose>;

// Ends the call early with a code (after the reason was printed).
struct Stop {
    int code;
};

std::string ZipErrorText(int zipError) {
    zip_error_t error;
    zip_error_init_with_code(&error, zipError);
    std::string text = zip_error_strerror(&error);
    zip_error_fini(&error);
    return text;
}

std::string MethodName(std::int32_t method) {
    switch (method) {
        case ZIP_CM_STORE:
            return "Stored";
        case ZIP_CM_SHRINK:
            return "Shrunk";
        case ZIP_CM_REDUCE_1:
        case ZIP_CM_REDUCE_2:
        case ZIP_CM_REDUCE_3:
        case ZIP_CM_REDUCE_4:
            return "Reduced";
        case ZIP_CM_IMPLODE:
            return "Imploded";
        case ZIP_CM_DEFLATE:
            return "Deflated";
        case ZIP_CM_DEFLATE64:
            return "Deflate64";
        case ZIP_CM_BZIP2:
            return "BZip2";
        case ZIP_CM_LZMA:
            return "LZMA";
        case 93:
            return "Zstd";
        case ZIP_CM_XZ:
            return "XZ";
        case ZIP_CM_PPMD:
            return "PPMd";
        default:
            return "Method " + std::to_string(method);
    }
}

// The compressed size in percent of the size, rounded, capped so that readers taking
// 16 signed bits never see it wrap.
unsigned Factor(std::uint64_t size, std::uint64_t compressed) {
    if (size == 0) {
        return 0;
    }
    const long double percent = static_cast<long double>(compressed) * 100.0L / size;
    return percent >= kMaxFactor ? kMaxFactor : static_cast<unsigned>(std::lround(percent));
}

bool IsSymlinkEntry(zip_t* za, zip_uint64_t index) {
    zip_uint8_t opsys = 0;
    zip_uint32_t attributes = 0;
    return zip_file_get_external_attributes(za, index, 0, &opsys, &attributes) == 0 &&
           opsys == ZIP_OPSYS_UNIX && S_ISLNK(attributes >> 16);
}

std::vector<std::string> Patterns(int count, char** table) {
    std::vector<std::string> out;
    for (int i = 0; table != nullptr && i < count && table[i] != nullptr && table[i][0] != 0; ++i) {
        out.push_back(NormalizeSeparators(table[i]));
    }
    return out;
}

class Session {
  public:
    Session(const DCL& dcl, USERFUNCTIONS* callbacks) : dcl_(dcl), cb_(callbacks) {}

    int Run(std::vector<std::string> includes, std::vector<std::string> excludes);
    int CheckSpace(zip_t* za, zip_int64_t count);

  private:
    enum class Level { kInfo, kWarning };
    enum class Outcome { kDone, kSkipped, kFailed, kNoPassword, kUnsupported, kWarned };

    void Print(Level level, const std::string& text);
    void PreparePatterns();
    std::string Key(const std::string& name) const;
    bool Selected(const std::string& name);
    void Serve(const std::string& name);
    void Tally(Outcome outcome);
    int FinalCode() const;

    int Open(ZipHandle& za);
    int CheckLayout(zip_t* za);
    static std::string EntryName(const zip_stat_t& st);
    bool TooDeep(const std::string& path) const;
    void List(zip_t* za, zip_uint64_t index, const zip_stat_t& st, const std::string& name);
    Outcome Test(zip_t* za, zip_uint64_t index, const zip_stat_t& st, const std::string& name);
    Outcome Extract(zip_t* za, zip_uint64_t index, const zip_stat_t& st, const std::string& name);
    Outcome OpenEntry(zip_t* za, zip_uint64_t index, const zip_stat_t& st, const std::string& name,
                      ZipFileHandle& file);
    bool Copy(ZipFileHandle file, std::uint64_t size, int outFd, const std::string& shown,
              std::string& reason);
    bool MayReplace(const std::string& fullPath);

    DCL dcl_;
    USERFUNCTIONS* cb_;
    std::vector<std::string> includes_;
    std::vector<std::string> excludes_;
    std::vector<bool> includeMatched_;
    std::unordered_multimap<std::string, std::size_t> includePlain_;
    std::vector<std::size_t> includeWild_;
    std::unordered_set<std::string> excludePlain_;
    std::vector<std::string> excludeWild_;
    WildcardOptions matchOptions_ = kEntryNameWildcards;
    std::string zipPath_;
    UniqueFd file_;  // the package, read by libzip through source_
    std::uint64_t fileSize_ = 0;
    std::optional<FileSource> source_;
    std::string rootPath_;
    OutputFolder output_;
    std::string password_;  // the last one that worked in this call
    std::vector<char> buffer_;
    bool replaceAll_ = false;
    bool keepAll_ = false;
    bool matchedAny_ = false;
    int done_ = 0, failed_ = 0, noPassword_ = 0, unsupported_ = 0, warned_ = 0;
};

void Session::Print(Level level, const std::string& text) {
    if (cb_ == nullptr || cb_->print == nullptr || dcl_.fQuiet >= 2 ||
        (dcl_.fQuiet == 1 && level == Level::kInfo)) {
        return;
    }
    std::vector<char> copy(text.begin(), text.end());
    copy.push_back('\0');
    cb_->print(copy.data(), text.size());
}

void Session::PreparePatterns() {
    matchOptions_.ignoreCase = dcl_.C_flag != 0;
    includeMatched_.assign(includes_.size(), false);
    // Every pattern is looked up as a plain name (the usual case, a selection of listed
    // entries, stays linear however long, and a name holding "[" or "?" can be named
    // literally); patterns with wildcards are matched as such as well.
    for (std::size_t i = 0; i < includes_.size(); ++i) {
        includePlain_.emplace(Key(includes_[i]), i);
        if (HasWildcards(includes_[i], matchOptions_)) {
            includeWild_.push_back(i);
        }
    }
    for (const std::string& pattern : excludes_) {
        excludePlain_.insert(Key(pattern));
        if (HasWildcards(pattern, matchOptions_)) {
            excludeWild_.push_back(pattern);
        }
    }
}

std::string Session::Key(const std::string& name) const {
    return matchOptions_.ignoreCase ? ToLower(name) : name;
}

bool Session::Selected(const std::string& name) {
    bool included = includes_.empty();
    if (!includePlain_.empty()) {
        auto [first, last] = includePlain_.equal_range(Key(name));
        for (auto it = first; it != last; ++it) {
            includeMatched_[it->second] = true;
            included = true;
        }
    }
    for (std::size_t i : includeWild_) {
        if (WildcardMatch(includes_[i], name, matchOptions_)) {
            includeMatched_[i] = true;
            included = true;
        }
    }
    if (!included) {
        return false;
    }
    if (!excludePlain_.empty() && excludePlain_.count(Key(name)) != 0) {
        return false;
    }
    for (const std::string& pattern : excludeWild_) {
        if (WildcardMatch(pattern, name, matchOptions_)) {
            return false;
        }
    }
    return true;
}

void Session::Serve(const std::string& name) {
    if (cb_ == nullptr || cb_->ServCallBk == nullptr) {
        return;
    }
    if (cb_->ServCallBk(name.c_str(), name.size() + 1) == 1) {
        Print(Level::kWarning, "error: cancelled at " + name);
        throw Stop{kCancelled};
    }
}

void Session::Tally(Outcome outcome) {
    switch (outcome) {
        case Outcome::kDone:
            ++done_;
            break;
        case Outcome::kSkipped:
            break;
        case Outcome::kFailed:
            ++failed_;
            break;
        case Outcome::kNoPassword:
            ++noPassword_;
            break;
        case Outcome::kUnsupported:
            ++unsupported_;
            break;
        case Outcome::kWarned:
            ++done_;
            ++warned_;
            break;
    }
}

int Session::FinalCode() const {
    if (!includes_.empty() && !matchedAny_) {
        return kNoMatch;
    }
    if (failed_ > 0) {
        return kEntryError;
    }
    if (done_ == 0 && noPassword_ > 0) {
        return kBadPassword;
    }
    if (done_ == 0 && unsupported_ > 0) {
        return kUnsupported;
    }
    if (noPassword_ > 0 || unsupported_ > 0 || warned_ > 0) {
        return kWarning;
    }
    return kOk;
}

int Session::Open(ZipHandle& za) {
    // Not blocking: a FIFO or device named as the package must not hang the call.
    file_.Reset(::open(zipPath_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!file_.Valid()) {
        Print(Level::kWarning,
              "error: cannot open " + zipPath_ + ": " + std::string(std::strerror(errno)));
        return kNotZip;
    }
    struct stat st {};
    if (::fstat(file_.Get(), &st) != 0 || !S_ISREG(st.st_mode)) {
        Print(Level::kWarning, "error: " + zipPath_ + " is not a file");
        return kNotZip;
    }
    if (st.st_size == 0) {
        Print(Level::kWarning, "error: " + zipPath_ + " is empty, not a ZIP archive");
        return kNotZip;
    }
    fileSize_ = static_cast<std::uint64_t>(st.st_size);
    source_.emplace(file_.Get(), fileSize_);
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* src = source_->Create(&error);
    if (src != nullptr) {
        za.reset(zip_open_from_source(src, ZIP_RDONLY, &error));
        if (!za) {
            zip_source_free(src);
        }
    }
    const int zipError = zip_error_code_zip(&error);
    zip_error_fini(&error);
    if (!za) {
        Print(Level::kWarning, "error: " + zipPath_ + " is not a ZIP archive or is damaged (" +
                                   ZipErrorText(zipError) + ")");
        return kNotZip;
    }
    return kOk;
}

int Session::CheckLayout(zip_t* za) {
    const EntryLayout layout = ReadEntryLayout(file_.Get(), fileSize_);
    if (layout.verdict == LayoutVerdict::kOverlap) {
        Print(Level::kWarning,
              "error: " + zipPath_ + ": " + layout.reason + "; the archive is refused as unsafe");
        return kUnsafe;
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
        Print(Level::kWarning,
              "error: " + zipPath_ + ": the entries' layout cannot be verified (" +
                  (layout.reason.empty() ? std::string("inconsistent directory") : layout.reason) +
                  "); nothing extracted");
        return kBadLayout;
    }
    return kOk;
}

// st was filled with ZIP_FL_ENC_RAW, so the name is the stored bytes.
std::string Session::EntryName(const zip_stat_t& st) {
    return NormalizeSeparators(DecodeEntryName(st.name));
}

bool Session::TooDeep(const std::string& path) const {
    return rootPath_.size() + path.size() >= PATH_MAX ||
           std::count(path.begin(), path.end(), '/') > UZ_MAX_FOLDER_DEPTH;
}

void Session::List(zip_t* za, zip_uint64_t index, const zip_stat_t& st, const std::string& name) {
    const std::uint64_t size = (st.valid & ZIP_STAT_SIZE) ? st.size : 0;
    const std::uint64_t compressed = (st.valid & ZIP_STAT_COMP_SIZE) ? st.comp_size : 0;
    struct tm when {};
    when.tm_year = 80;
    when.tm_mday = 1;
    if (st.valid & ZIP_STAT_MTIME) {
        localtime_r(&st.mtime, &when);
    }
    const bool encrypted =
        (st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE;
    const std::string method =
        MethodName((st.valid & ZIP_STAT_COMP_METHOD) ? st.comp_method : ZIP_CM_STORE);
    if (cb_ != nullptr) {
        cb_->TotalSize += size;
        cb_->TotalSizeComp += compressed;
        ++cb_->NumMembers;
        if (cb_->SendApplicationMessage != nullptr) {
            cb_->SendApplicationMessage(
                size, compressed, Factor(size, compressed), static_cast<unsigned>(when.tm_mon + 1),
                static_cast<unsigned>(when.tm_mday), static_cast<unsigned>(when.tm_year + 1900),
                static_cast<unsigned>(when.tm_hour), static_cast<unsigned>(when.tm_min),
                IsSymlinkEntry(za, index) ? 'l' : ' ', name.c_str(), method.c_str(),
                static_cast<unsigned long>((st.valid & ZIP_STAT_CRC) ? st.crc : 0),
                encrypted ? 'E' : ' ');
        }
    }
}

Session::Outcome Session::OpenEntry(zip_t* za, zip_uint64_t index, const zip_stat_t& st,
                                    const std::string& name, ZipFileHandle& file) {
    const std::int32_t method = (st.valid & ZIP_STAT_COMP_METHOD) ? st.comp_method : 0;
    const std::uint16_t encryption =
        (st.valid & ZIP_STAT_ENCRYPTION_METHOD) ? st.encryption_method : ZIP_EM_NONE;
    if (!zip_compression_method_supported(method, 0)) {
        Print(Level::kWarning,
              "  skipping: " + name + "  unsupported compression method " + std::to_string(method));
        return Outcome::kUnsupported;
    }
    if (encryption != ZIP_EM_NONE && !zip_encryption_method_supported(encryption, 0)) {
        Print(Level::kWarning, "  skipping: " + name + "  unsupported encryption method " +
                                   std::to_string(encryption));
        return Outcome::kUnsupported;
    }
    auto fail = [&](int zipError) {
        Print(Level::kWarning, "error: " + name + ": " + ZipErrorText(zipError));
        return Outcome::kFailed;
    };
    if (encryption == ZIP_EM_NONE) {
        file.reset(zip_fopen_index(za, index, 0));
        return file ? Outcome::kDone : fail(zip_error_code_zip(zip_get_error(za)));
    }
    std::string candidate = password_;
    bool haveCandidate = !candidate.empty();
    for (int asked = 0;;) {
        if (haveCandidate) {
            file.reset(zip_fopen_index_encrypted(za, index, 0, candidate.c_str()));
            if (file) {
                password_ = candidate;
                return Outcome::kDone;
            }
            const int zipError = zip_error_code_zip(zip_get_error(za));
            zip_error_clear(za);
            if (zipError != ZIP_ER_WRONGPASSWD && zipError != ZIP_ER_NOPASSWD) {
                return fail(zipError);
            }
        }
        if (asked == kPasswordTries || cb_ == nullptr || cb_->password == nullptr) {
            Print(Level::kWarning,
                  "  skipping: " + name +
                      (asked > 0 || !password_.empty() ? "  incorrect password" : "  no password"));
            return Outcome::kNoPassword;
        }
        char buffer[UNZIP_PASSWORD_BUFFER_SIZE] = {};
        const std::string prompt = "Password for " + name + ":";
        ++asked;
        if (cb_->password(buffer, sizeof buffer, prompt.c_str(), name.c_str()) != 0) {
            Print(Level::kWarning, "  skipping: " + name + "  no password");
            return Outcome::kNoPassword;
        }
        buffer[sizeof buffer - 1] = '\0';
        candidate = buffer;
        haveCandidate = true;
    }
}

bool Session::Copy(ZipFileHandle file, std::uint64_t size, int outFd, const std::string& shown,
                   std::string& reason) {
    if (buffer_.empty()) {
        buffer_.resize(kCopyBufferSize);
    }
    std::uint64_t total = 0;
    for (;;) {
        const zip_int64_t got = zip_fread(file.get(), buffer_.data(), buffer_.size());
        if (got < 0) {
            const int zipError = zip_error_code_zip(zip_file_get_error(file.get()));
            reason = zipError == ZIP_ER_CRC      ? "bad CRC"
                     : zipError == ZIP_ER_INCONS ? "size does not match the directory"
                                                 : zip_file_strerror(file.get());
            return false;
        }
        if (got == 0) {
            break;
        }
        total += static_cast<std::uint64_t>(got);
        if (total > size) {
            reason = "more data than the entry declares";
            return false;
        }
        const char* p = buffer_.data();
        std::size_t left = static_cast<std::size_t>(got);
        while (outFd >= 0 && left > 0) {
            const ssize_t written = ::write(outFd, p, left);
            if (written < 0 && errno == EINTR) {
                continue;
            }
            if (written <= 0) {
                const int err = written < 0 ? errno : ENOSPC;
                if (err == ENOSPC || err == EDQUOT) {
                    Print(Level::kWarning, "error: disk full writing " + shown);
                    throw Stop{kDiskFull};
                }
                reason = std::string("write failed: ") + std::strerror(err);
                return false;
            }
            p += written;
            left -= static_cast<std::size_t>(written);
        }
    }
    if (total != size) {
        reason = "entry is truncated";
        return false;
    }
    const int closeError = zip_fclose(file.release());
    if (closeError != 0) {
        reason = closeError == ZIP_ER_CRC ? "bad CRC" : ZipErrorText(closeError);
        return false;
    }
    return true;
}

Session::Outcome Session::Test(zip_t* za, zip_uint64_t index, const zip_stat_t& st,
                               const std::string& name) {
    ZipFileHandle file;
    const Outcome opened = OpenEntry(za, index, st, name, file);
    if (opened != Outcome::kDone) {
        return opened;
    }
    std::string reason;
    if (!Copy(std::move(file), st.size, -1, name, reason)) {
        Print(Level::kWarning, "error: " + name + ": " + reason);
        return Outcome::kFailed;
    }
    Print(Level::kInfo, "    testing: " + name + "   OK");
    return Outcome::kDone;
}

bool Session::MayReplace(const std::string& fullPath) {
    if (dcl_.noflag != 0 || replaceAll_) {
        return true;
    }
    if (keepAll_ || dcl_.PromptToOverwrite == 0 || cb_ == nullptr || cb_->replace == nullptr) {
        return false;
    }
    std::vector<char> copy(fullPath.begin(), fullPath.end());
    copy.push_back('\0');
    switch (cb_->replace(copy.data())) {
        case UNZIP_REPLACE_YES:
            return true;
        case UNZIP_REPLACE_ALL:
            replaceAll_ = true;
            return true;
        case UNZIP_REPLACE_NONE:
            keepAll_ = true;
            return false;
        default:
            return false;
    }
}

Session::Outcome Session::Extract(zip_t* za, zip_uint64_t index, const zip_stat_t& st,
                                  const std::string& name) {
    const OutputName out = MakeOutputName(name, dcl_.ndflag != 0, dcl_.SpaceToUnderscore != 0);
    bool warned = false;
    if (out.droppedRoot) {
        Print(Level::kWarning, "warning: removed the absolute path from " + name);
        warned = true;
    }
    if (out.droppedParent) {
        Print(Level::kWarning, "warning: removed \"..\" path parts from " + name);
        warned = true;
    }
    if (out.isFolder && dcl_.ndflag == 0) {
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
    std::string reason;
    if (out.isFolder) {
        if (output_.Folder(out.path, reason) < 0) {
            Print(Level::kWarning, "error: cannot create " + out.path + ": " + reason);
            return Outcome::kFailed;
        }
        Print(Level::kInfo, "   creating: " + out.path + "/");
        return warned ? Outcome::kWarned : Outcome::kDone;
    }

    const std::size_t slash = out.path.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : out.path.substr(0, slash);
    const std::string leaf = slash == std::string::npos ? out.path : out.path.substr(slash + 1);
    const int dirFd = output_.Folder(folder, reason);
    if (dirFd < 0) {
        Print(Level::kWarning, "error: cannot create " + out.path + ": " + reason);
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
        const bool onlyNewer = dcl_.ExtractOnlyNewer != 0 || dcl_.nfflag != 0;
        if (onlyNewer && S_ISREG(existing.st_mode) && existing.st_mtime >= mtime) {
            return warned ? Outcome::kWarned : Outcome::kSkipped;
        }
        if (!MayReplace(rootPath_ + out.path)) {
            Print(Level::kInfo, "  skipping: " + out.path + "  already exists");
            return warned ? Outcome::kWarned : Outcome::kSkipped;
        }
    } else if (dcl_.nfflag != 0) {
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
    if (!Copy(std::move(file), st.size, pending.Fd(), out.path, reason)) {
        Print(Level::kWarning, "error: " + out.path + ": " + reason + "; file removed");
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
int Session::CheckSpace(zip_t* za, zip_int64_t count) {
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
        if (!Selected(name)) {
            continue;
        }
        OutputName out = MakeOutputName(name, dcl_.ndflag != 0, dcl_.SpaceToUnderscore != 0);
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
        Print(Level::kWarning, "error: " + zipPath_ + " would need " + std::to_string(needed) +
                                   " bytes, but only " + std::to_string(space.available) +
                                   " are free in " + rootPath_ + " and " + std::to_string(reserve) +
                                   " must stay free; nothing was extracted");
        return kDiskFull;
    }
    return kOk;
}

int Session::Run(std::vector<std::string> includes, std::vector<std::string> excludes) {
    includes_ = std::move(includes);
    excludes_ = std::move(excludes);
    PreparePatterns();
    const bool listing = dcl_.nvflag != 0 || dcl_.nZIflag != 0;
    const bool testing = !listing && dcl_.ntflag != 0;
    const bool extracting = !listing && !testing && dcl_.nzflag == 0;
    if (cb_ != nullptr && listing) {
        cb_->TotalSize = cb_->TotalSizeComp = 0;
        cb_->CompressionFactor = 0;
        cb_->NumMembers = 0;
        cb_->cchComment = 0;
    }
    if (dcl_.lpszZipFN == nullptr || dcl_.lpszZipFN[0] == '\0') {
        Print(Level::kWarning, "error: no package named");
        return kBadParameter;
    }
    zipPath_ = dcl_.lpszZipFN;
    if (extracting && (dcl_.lpszExtractDir == nullptr || dcl_.lpszExtractDir[0] == '\0')) {
        Print(Level::kWarning, "error: no extraction folder named");
        return kBadParameter;
    }
    Print(Level::kInfo, "Archive:  " + zipPath_);

    ZipHandle za;
    if (const int code = Open(za); code != kOk) {
        return code;
    }
    int commentLength = 0;
    const char* comment = zip_get_archive_comment(za.get(), &commentLength, ZIP_FL_ENC_GUESS);
    if (cb_ != nullptr && listing) {
        cb_->cchComment = static_cast<unsigned>(commentLength);
    }
    if (dcl_.nzflag != 0 && !listing && !testing) {
        if (comment != nullptr && commentLength > 0) {
            Print(Level::kWarning, std::string(comment, static_cast<std::size_t>(commentLength)));
        }
        return kOk;
    }
    if (extracting) {
        if (const int code = CheckLayout(za.get()); code != kOk) {
            return code;
        }
        rootPath_ = dcl_.lpszExtractDir;
        if (!output_.OpenRoot(rootPath_)) {
            Print(Level::kWarning, "error: cannot create or open the folder " + rootPath_ + ": " +
                                       std::string(std::strerror(errno)));
            return kBadParameter;
        }
        if (rootPath_.back() != '/') {
            rootPath_ += '/';
        }
    }

    const zip_int64_t count = zip_get_num_entries(za.get(), 0);
    if (count <= 0) {
        Print(Level::kWarning, "warning: " + zipPath_ + " holds no entries");
        return kWarning;
    }
    if (extracting) {
        if (const int code = CheckSpace(za.get(), count); code != kOk) {
            return code;
        }
    }
    for (zip_int64_t i = 0; i < count; ++i) {
        const auto index = static_cast<zip_uint64_t>(i);
        zip_stat_t st;
        if (zip_stat_index(za.get(), index, ZIP_FL_ENC_RAW, &st) != 0 ||
            !(st.valid & ZIP_STAT_NAME)) {
            Print(Level::kWarning, "error: cannot read entry " + std::to_string(i + 1));
            zip_error_clear(za.get());
            ++failed_;
            continue;
        }
        const std::string name = EntryName(st);
        if (!Selected(name)) {
            continue;
        }
        matchedAny_ = true;
        const bool folderEntry = !name.empty() && name.back() == '/';
        if (folderEntry && !extracting) {
            continue;
        }
        Serve(name);
        if (listing) {
            List(za.get(), index, st, name);
        } else if (testing) {
            Tally(Test(za.get(), index, st, name));
        } else {
            Tally(Extract(za.get(), index, st, name));
        }
    }
    for (std::size_t i = 0; i < includes_.size(); ++i) {
        if (!includeMatched_[i]) {
            Print(Level::kWarning, "caution: not matched: " + includes_[i]);
            ++warned_;
        }
    }
    if (cb_ != nullptr && listing) {
        cb_->CompressionFactor = Factor(cb_->TotalSize, cb_->TotalSizeComp);
    }
    return FinalCode();
}

}  // namespace
}  // namespace tv::unzip

extern "C" int Wiz_SingleEntryUnzip(int ifnc, char** ifnv, int xfnc, char** xfnv, DCL* lpDCL,
                                    USERFUNCTIONS* lpUserFunc) {
    using tv::unzip::Session;
    if (lpDCL == nullptr) {
        return tv::unzip::kBadParameter;
    }
    try {
        Session session(*lpDCL, lpUserFunc);
        return session.Run(tv::unzip::Patterns(ifnc, ifnv), tv::unzip::Patterns(xfnc, xfnv));
    } catch (const tv::unzip::Stop& stop) {
        return stop.code;
    } catch (const std::bad_alloc&) {
        return tv::unzip::kNoMemory;
    } catch (...) {
        // A callback that throws ends the call; nothing may cross into C callers.
        return tv::unzip::kEntryError;
    }
}
