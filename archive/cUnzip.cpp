#include "archive/cUnzip.h"

#include <algorithm>
#include <limits>

#include "platform/error.h"
#include "platform/unzip/unzip.h"

namespace tv {
namespace {

// The library reads include names as patterns. A selected entry must select itself
// alone, so each "*", "?" and "[" becomes a one-character set that also holds a control
// character: the set matches just that character, and the pattern's own text equals no
// entry name (the library reports none with control characters).
std::string LiteralPattern(const std::string& name) {
    std::string out;
    out.reserve(name.size());
    for (char c : name) {
        if (c == '*' || c == '?' || c == '[') {
            out += '[';
            out += c;
            out += "\x01]";
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace

cUnzip::~cUnzip() {
    if (mUnzip::CurrentUnzip == this) {
        mUnzip::CurrentUnzip = nullptr;
    }
}

void cUnzip::SetZipFile(const std::string& sZipFile) {
    zipFile_ = sZipFile;
    entries_.clear();
}

const PackageEntry& cUnzip::At(int i) const {
    if (i < 1 || i > FileCount()) {
        throw AppError(kErrSubscript, ErrorSource("cUnzip"), "Subscript out of range");
    }
    return entries_[static_cast<std::size_t>(i - 1)];
}

PackageEntry& cUnzip::At(int i) {
    return const_cast<PackageEntry&>(static_cast<const cUnzip&>(*this).At(i));
}

std::int64_t cUnzip::FilePackedSize(int i) const {
    const PackageEntry& e = At(i);
    // 128-bit product: a hostile declared size times the ratio cannot overflow.
    const __int128 packed = static_cast<__int128>(e.size) * e.compressionRatio / 100;
    if (packed > std::numeric_limits<std::int64_t>::max()) {
        return std::numeric_limits<std::int64_t>::max();
    }
    if (packed < std::numeric_limits<std::int64_t>::min()) {
        return std::numeric_limits<std::int64_t>::min();
    }
    return static_cast<std::int64_t>(packed);
}

int cUnzip::Directory() {
    options_.lpszZipFN = zipFile_;
    options_.lpszExtractDir = std::string();
    options_.nvflag = 1;
    mUnzip::RunLibraryUnzip(*this, options_, 0, {}, 0, {});
    return 0;
}

bool cUnzip::Unzip() {
    if (zipFile_.empty()) {
        return false;
    }
    std::vector<std::string> includes;
    for (const PackageEntry& e : entries_) {
        if (e.selected) {
            std::string path = e.folder.empty() ? e.name : e.folder + "/" + e.name;
            std::replace(path.begin(), path.end(), '\\', '/');
            includes.push_back(LiteralPattern(path));
        }
    }
    if (includes.size() == entries_.size()) {
        includes.clear();
    }
    options_.lpszZipFN = zipFile_;
    options_.nvflag = 0;
    options_.lpszExtractDir = unzipFolder_;
    const int code = mUnzip::RunLibraryUnzip(*this, options_, static_cast<long>(includes.size()),
                                             includes, 0, {});
    return code == UZ_OK;
}

void cUnzip::AddEntry(const std::string& sName, const std::string& sFolder,
                      const EntryDateTime& dDate, std::int64_t lSize, std::int32_t lCRC,
                      bool bEncrypted, std::int32_t lRatio, const std::string& sMethod) {
    if (sName.empty() || sName == std::string(1, '\0')) {
        return;
    }
    PackageEntry e;
    e.name = sName;
    e.folder = sFolder;
    e.size = lSize;
    e.compressionRatio = lRatio;
    e.method = sMethod;
    e.date = dDate;
    e.crc = lCRC;
    e.encrypted = bEncrypted;
    e.selected = true;
    entries_.push_back(std::move(e));
}

void cUnzip::RaiseProgress(const std::string& sMsg) {
    if (events_ != nullptr) {
        events_->Progress(1, sMsg);
    }
}

void cUnzip::RaiseOverwritePrompt(const std::string& sFile, int& eResponse) {
    if (events_ != nullptr) {
        events_->OverWritePrompt(sFile, eResponse);
    }
}

void cUnzip::RaisePasswordRequest(std::string& sPassword, bool& bCancel) {
    if (events_ != nullptr) {
        events_->PasswordRequest(sPassword, bCancel);
    }
}

void cUnzip::RaiseCancel(const std::string& sMsg, bool& bCancel) {
    if (events_ != nullptr) {
        events_->Cancel(sMsg, bCancel);
    }
}

}  // namespace tv
