#include "archive/cUnzip.h"

#include <algorithm>
#include <limits>

#include "platform/error.h"

namespace tv {

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
    unzip::Request request;
    request.job = unzip::Job::kList;
    request.package = zipFile_;
    request.options = options_;
    mUnzip::RunLibraryUnzip(*this, library_, request);
    return 0;
}

Status cUnzip::Extract(const std::vector<int>& entries, const std::string& folder) {
    std::vector<bool> taken(entries_.size(), false);
    for (int i : entries) {
        if (i < 1 || i > FileCount()) {
            return Status(kErrSubscript, ErrorSource("cUnzip"), "Subscript out of range");
        }
        taken[static_cast<std::size_t>(i - 1)] = true;
    }
    if (entries.empty()) {
        return {};
    }
    return RunExtraction(taken, folder);
}

bool cUnzip::Unzip() {
    if (zipFile_.empty()) {
        return false;
    }
    std::vector<bool> taken;
    for (const PackageEntry& e : entries_) {
        taken.push_back(e.selected);
    }
    // None selected asks for the whole package, as all selected does.
    if (std::find(taken.begin(), taken.end(), true) == taken.end()) {
        taken.assign(taken.size(), true);
    }
    return RunExtraction(taken, unzipFolder_).Ok();
}

Status cUnzip::RunExtraction(const std::vector<bool>& taken, const std::string& folder) {
    unzip::Request request;
    request.job = testZip_ ? unzip::Job::kTest : unzip::Job::kExtract;
    request.package = zipFile_;
    request.folder = folder;
    request.options = options_;
    // Every entry taken: the whole package, folder entries too; else exactly these.
    if (std::find(taken.begin(), taken.end(), false) != taken.end()) {
        for (std::size_t i = 0; i < taken.size(); ++i) {
            if (taken[i]) {
                request.picks.push_back({entries_[i].archiveIndex, entries_[i].archiveName});
            }
        }
    }
    if (!mUnzip::RunLibraryUnzip(*this, library_, request).Ok()) {
        return Status(kErrAccess, ErrorSource("cUnzip"),
                      "The package " + zipFile_ + " could not be extracted into " + folder);
    }
    return {};
}

void cUnzip::AddEntry(PackageEntry entry) {
    if (entry.name.empty() || entry.name == std::string(1, '\0')) {
        return;
    }
    entry.selected = true;
    entries_.push_back(std::move(entry));
}

void cUnzip::RaiseProgress(const std::string& sMsg) {
    if (events_ != nullptr) {
        events_->Progress(1, sMsg);
    }
}

void cUnzip::RaiseOverwritePrompt(unzip::OverwriteQuery& query) {
    if (events_ != nullptr) {
        events_->OverWritePrompt(query);
    }
}

void cUnzip::RaisePasswordRequest(unzip::PasswordQuery& query) {
    if (events_ != nullptr) {
        events_->PasswordRequest(query);
    }
}

void cUnzip::RaiseCancel(const std::string& sMsg, bool& bCancel) {
    if (events_ != nullptr) {
        events_->Cancel(sMsg, bCancel);
    }
}

}  // namespace tv
