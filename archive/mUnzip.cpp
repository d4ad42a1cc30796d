#include "archive/mUnzip.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "archive/cUnzip.h"
#include "platform/environment.h"
#include "platform/strings.h"
#include "platform/unzip/unzip.h"

namespace tv::mUnzip {

cUnzip* CurrentUnzip = nullptr;
bool PasswordCancelled = false;

namespace {

constexpr unsigned long kMaxMessageBytes = 32000;

// The library already reports "/"; a stray "\" is a separator too.
std::string WithPlatformSeparators(std::string text) {
    std::replace(text.begin(), text.end(), '\\', kPathSeparator);
    return text;
}

// A name table as the library takes it: the names, one empty string, then null.
class NameTable {
  public:
    NameTable(long count, const std::vector<std::string>& names) {
        const std::size_t n =
            count <= 0 ? 0 : std::min(static_cast<std::size_t>(count), names.size());
        strings_.assign(names.begin(), names.begin() + static_cast<std::ptrdiff_t>(n));
        strings_.emplace_back();
        for (std::string& s : strings_) {
            pointers_.push_back(s.data());
        }
        pointers_.push_back(nullptr);
    }
    int Count() const {
        return static_cast<int>(
            std::min<std::size_t>(strings_.size() - 1, std::numeric_limits<int>::max()));
    }
    char** Table() { return pointers_.data(); }

  private:
    std::vector<std::string> strings_;
    std::vector<char*> pointers_;
};

}  // namespace

int RunLibraryUnzip(cUnzip& oUnzip, UnzipOptionRecord& tDCL, long lIncludeCount,
                    const std::vector<std::string>& sIncludeNames, long lExcludeCount,
                    const std::vector<std::string>& sExcludeNames) {
    CurrentUnzip = &oUnzip;

    USERFUNCTIONS callbacks{};
    callbacks.print = UnzipPrintCallback;
    callbacks.sound = nullptr;
    callbacks.replace = UnzipReplaceCallback;
    callbacks.password = UnzipPasswordCallback;
    callbacks.SendApplicationMessage = UnzipMessageCallback;
    callbacks.ServCallBk = UnzipServiceCallback;

    NameTable includes(lIncludeCount, sIncludeNames);
    NameTable excludes(lExcludeCount, sExcludeNames);
    PasswordCancelled = false;

    std::string zipFile = tDCL.lpszZipFN;
    std::string extractDir = tDCL.lpszExtractDir;
    DCL record{tDCL.ExtractOnlyNewer,
               tDCL.SpaceToUnderscore,
               tDCL.PromptToOverwrite,
               tDCL.fQuiet,
               tDCL.ncflag,
               tDCL.ntflag,
               tDCL.nvflag,
               tDCL.nfflag,
               tDCL.nzflag,
               tDCL.ndflag,
               tDCL.noflag,
               tDCL.naflag,
               tDCL.nZIflag,
               tDCL.C_flag,
               tDCL.fPrivilege,
               zipFile.data(),
               extractDir.data()};
    const int code = Wiz_SingleEntryUnzip(includes.Count(), includes.Table(), excludes.Count(),
                                          excludes.Table(), &record, &callbacks);

    tDCL.ExtractOnlyNewer = record.ExtractOnlyNewer;
    tDCL.SpaceToUnderscore = record.SpaceToUnderscore;
    tDCL.PromptToOverwrite = record.PromptToOverwrite;
    tDCL.fQuiet = record.fQuiet;
    tDCL.ncflag = record.ncflag;
    tDCL.ntflag = record.ntflag;
    tDCL.nvflag = record.nvflag;
    tDCL.nfflag = record.nfflag;
    tDCL.nzflag = record.nzflag;
    tDCL.ndflag = record.ndflag;
    tDCL.noflag = record.noflag;
    tDCL.naflag = record.naflag;
    tDCL.nZIflag = record.nZIflag;
    tDCL.C_flag = record.C_flag;
    tDCL.fPrivilege = record.fPrivilege;
    return code;
}

void SplitEntryName(const char* sBuffer, std::string& sName, std::string& sFolder) {
    const std::string text = WithPlatformSeparators(sBuffer != nullptr ? sBuffer : "");
    const std::size_t last = text.rfind(kPathSeparator);
    if (last == std::string::npos) {
        sFolder.clear();
        sName = text;
    } else {
        sFolder = text.substr(0, last);
        sName = text.substr(last + 1);
    }
}

int UnzipPrintCallback(char* sBuffer, unsigned long lSize) {
    try {
        if (CurrentUnzip != nullptr && sBuffer != nullptr && lSize >= 2 &&
            lSize < kMaxMessageBytes) {
            CurrentUnzip->RaiseProgress(WithPlatformSeparators(std::string(sBuffer, lSize)));
        }
    } catch (...) {
    }
    return 0;
}

int UnzipReplaceCallback(char* sFileName) {
    int answer = 100;
    try {
        if (CurrentUnzip != nullptr) {
            const std::string name = WithPlatformSeparators(sFileName != nullptr ? sFileName : "");
            CurrentUnzip->RaiseOverwritePrompt(name, answer);
        }
    } catch (...) {
    }
    return answer;
}

int UnzipPasswordCallback(char* sBuffer, int lSize, const char* /*sPrompt*/,
                          const char* /*sName*/) {
    try {
        if (PasswordCancelled) {
            return 1;
        }
        std::string password;
        bool cancel = false;
        if (CurrentUnzip != nullptr) {
            CurrentUnzip->RaisePasswordRequest(password, cancel);
        }
        password = TrimSpaces(password);
        if (password.empty() || cancel || sBuffer == nullptr || lSize < 2) {
            PasswordCancelled = true;
            return 1;
        }
        const std::size_t n = std::min(password.size(), static_cast<std::size_t>(lSize) - 1);
        std::memcpy(sBuffer, password.data(), n);
        sBuffer[n] = '\0';
        return 0;
    } catch (...) {
        PasswordCancelled = true;
        return 1;
    }
}

void UnzipMessageCallback(std::uint64_t ucsize, std::uint64_t /*csize*/, unsigned cfactor,
                          unsigned mo, unsigned dy, unsigned yr, unsigned hh, unsigned mm,
                          char /*c*/, const char* filename, const char* methbuf, unsigned long crc,
                          char fCrypt) {
    try {
        if (CurrentUnzip == nullptr) {
            return;
        }
        std::string name, folder;
        SplitEntryName(filename, name, folder);
        int year = static_cast<int>(yr & 0xffff);
        if (year < 100) {
            year += year < 30 ? 2000 : 1900;
        }
        const EntryDateTime date{year,
                                 static_cast<int>(mo & 0xffff),
                                 static_cast<int>(dy & 0xffff),
                                 static_cast<int>(hh & 0xffff),
                                 static_cast<int>(mm & 0xffff),
                                 0};
        const auto size = static_cast<std::int64_t>(
            std::min<std::uint64_t>(ucsize, std::numeric_limits<std::int64_t>::max()));
        const auto ratio = static_cast<std::int16_t>(cfactor & 0xffff);
        CurrentUnzip->AddEntry(name, folder, date, size,
                               static_cast<std::int32_t>(static_cast<std::uint32_t>(crc)),
                               (fCrypt & 0x40) != 0, ratio, methbuf != nullptr ? methbuf : "");
    } catch (...) {
    }
}

int UnzipServiceCallback(const char* sName, unsigned long lSize) {
    try {
        if (CurrentUnzip == nullptr || sName == nullptr || lSize < 2 || lSize >= kMaxMessageBytes) {
            return 0;
        }
        const std::string text = WithPlatformSeparators(std::string(sName, strnlen(sName, lSize)));
        bool cancel = false;
        CurrentUnzip->RaiseCancel(text, cancel);
        return cancel ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

}  // namespace tv::mUnzip
