// The C face of the library (unzip.h): the option record and name tables become a
// Request, the callback record a Listener, and the call's code is the Status number.
#include <cstring>
#include <vector>

#include "archive/unzip/entry_names.h"
#include "archive/unzip/library.h"
#include "archive/unzip/unzip.h"

namespace tv::unzip {
namespace {

// The first `count` strings of a name table ("/" as the separator).
std::vector<std::string> Patterns(int count, char** table) {
    std::vector<std::string> out;
    for (int i = 0; table != nullptr && i < count && table[i] != nullptr && table[i][0] != 0; ++i) {
        out.push_back(NormalizeSeparators(table[i]));
    }
    return out;
}

Request RequestOf(const DCL& dcl, int ifnc, char** ifnv, int xfnc, char** xfnv) {
    Request r;
    if (dcl.nvflag != 0 || dcl.nZIflag != 0) {
        r.job = Job::kList;
    } else if (dcl.ntflag != 0) {
        r.job = Job::kTest;
    } else if (dcl.nzflag != 0) {
        r.job = Job::kComment;
    }
    r.package = dcl.lpszZipFN != nullptr ? dcl.lpszZipFN : "";
    r.folder = dcl.lpszExtractDir != nullptr ? dcl.lpszExtractDir : "";
    Options& o = r.options;
    o.extractOnlyNewer = dcl.ExtractOnlyNewer != 0;
    o.freshen = dcl.nfflag != 0;
    o.spaceToUnderscore = dcl.SpaceToUnderscore != 0;
    o.promptToOverwrite = dcl.PromptToOverwrite != 0;
    o.overwrite = dcl.noflag != 0;
    o.useFolderNames = dcl.ndflag != 0;
    o.ignoreCase = dcl.C_flag != 0;
    o.quiet = dcl.fQuiet;
    r.includes = Patterns(ifnc, ifnv);
    r.excludes = Patterns(xfnc, xfnv);
    return r;
}

std::vector<char> Terminated(const std::string& text) {
    std::vector<char> copy(text.begin(), text.end());
    copy.push_back('\0');
    return copy;
}

class CallbackListener : public Listener {
  public:
    explicit CallbackListener(const USERFUNCTIONS& cb) : cb_(cb) {}

    void Message(const std::string& line) override {
        if (cb_.print != nullptr) {
            cb_.print(Terminated(line).data(), line.size());
        }
    }
    void Listed(const ListedEntry& e) override {
        if (cb_.SendApplicationMessage != nullptr) {
            cb_.SendApplicationMessage(e.size, e.compressed, e.factor,
                                       static_cast<unsigned>(e.month), static_cast<unsigned>(e.day),
                                       static_cast<unsigned>(e.year), static_cast<unsigned>(e.hour),
                                       static_cast<unsigned>(e.minute), e.symlink ? 'l' : ' ',
                                       e.name.c_str(), e.method.c_str(),
                                       static_cast<unsigned long>(e.crc), e.encrypted ? 'E' : ' ');
        }
    }
    bool Proceed(const std::string& name) override {
        return cb_.ServCallBk == nullptr || cb_.ServCallBk(name.c_str(), name.size() + 1) != 1;
    }
    void Ask(OverwriteQuery& query) override {
        if (cb_.replace == nullptr) {
            return;
        }
        switch (cb_.replace(Terminated(query.path).data())) {
            case UNZIP_REPLACE_YES:
                query.answer = OverwriteAnswer::kReplace;
                break;
            case UNZIP_REPLACE_ALL:
                query.answer = OverwriteAnswer::kReplaceAll;
                break;
            case UNZIP_REPLACE_NONE:
                query.answer = OverwriteAnswer::kKeepAll;
                break;
            default:
                query.answer = OverwriteAnswer::kKeep;
        }
    }
    void Ask(PasswordQuery& query) override {
        if (cb_.password == nullptr) {
            return;
        }
        char buffer[UNZIP_PASSWORD_BUFFER_SIZE] = {};
        const std::string prompt = "Password for " + query.entry + ":";
        if (cb_.password(buffer, sizeof buffer, prompt.c_str(), query.entry.c_str()) == 0) {
            buffer[sizeof buffer - 1] = '\0';
            query.password = buffer;
            query.given = true;
        }
    }

  private:
    const USERFUNCTIONS& cb_;
};

}  // namespace
}  // namespace tv::unzip

extern "C" int Wiz_SingleEntryUnzip(int ifnc, char** ifnv, int xfnc, char** xfnv, DCL* lpDCL,
                                    USERFUNCTIONS* lpUserFunc) {
    using namespace tv::unzip;
    if (lpDCL == nullptr) {
        return UZ_BAD_PARAM;
    }
    const USERFUNCTIONS none{};
    CallbackListener listener(lpUserFunc != nullptr ? *lpUserFunc : none);
    Totals totals;
    tv::Status status;
    try {
        status = Run(RequestOf(*lpDCL, ifnc, ifnv, xfnc, xfnv), listener, &totals);
    } catch (...) {
        return UZ_ERR_MEMORY;  // only building the request can throw, and only bad_alloc
    }
    if (lpUserFunc != nullptr && (lpDCL->nvflag != 0 || lpDCL->nZIflag != 0)) {
        lpUserFunc->TotalSizeComp = totals.compressed;
        lpUserFunc->TotalSize = totals.size;
        lpUserFunc->CompressionFactor = totals.factor;
        lpUserFunc->NumMembers = totals.count;
        lpUserFunc->cchComment = totals.commentLength;
    }
    return static_cast<int>(status.Number());
}
