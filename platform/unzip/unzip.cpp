#include "platform/unzip/unzip_internal.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <new>

#include "platform/unzip/entry_names.h"
#include "platform/unzip/repair.h"

namespace tv::unzip {

std::string ZipErrorText(int zipError) {
    zip_error_t error;
    zip_error_init_with_code(&error, zipError);
    std::string text = zip_error_strerror(&error);
    zip_error_fini(&error);
    return text;
}

void Session::Print(Level level, const std::string& text) {
    if (cb_ == nullptr || cb_->print == nullptr || dcl_.fQuiet >= 2 ||
        (dcl_.fQuiet == 1 && level == Level::kInfo)) {
        return;
    }
    std::vector<char> copy(text.begin(), text.end());
    copy.push_back('\0');
    cb_->print(copy.data(), text.size());
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

int Session::OpenFile() {
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
    return kOk;
}

ByteReader Session::Reader() {
    return [this](std::uint64_t at, unsigned char* buf, std::size_t n) {
        return source_->ReadExactly(at, buf, n);
    };
}

bool Session::TryRepair() {
    if (repaired_) {
        return false;
    }
    repaired_ = true;
    std::optional<Repair> repair = PlanRepair(Reader(), fileSize_);
    if (!repair) {
        return false;
    }
    Print(Level::kInfo, "   note: " + zipPath_ + ": " + repair->what + "; read anyway");
    source_->SetView(repair->tailAt, std::move(repair->tail));
    return true;
}

int Session::OpenZip(ZipHandle& za) {
    int zipError = ZIP_ER_OK;
    for (bool retry = true; !za && retry;) {
        zip_error_t error;
        zip_error_init(&error);
        zip_source_t* src = source_->Create(&error);
        if (src != nullptr) {
            za.reset(zip_open_from_source(src, ZIP_RDONLY, &error));
            if (!za) {
                zip_source_free(src);
            }
        }
        zipError = zip_error_code_zip(&error);
        zip_error_fini(&error);
        // Packages the classic tool reads despite junk are read repaired (see repair.h).
        retry = !za && zipError == ZIP_ER_INCONS && TryRepair();
    }
    if (!za) {
        Print(Level::kWarning, "error: " + zipPath_ + " is not a ZIP archive or is damaged (" +
                                   ZipErrorText(zipError) + ")");
        return kNotZip;
    }
    return kOk;
}

// st was filled with ZIP_FL_ENC_RAW, so the name is the stored bytes.
std::string Session::EntryName(const zip_stat_t& st) {
    return NormalizeSeparators(DecodeEntryName(st.name));
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

    if (const int code = OpenFile(); code != kOk) {
        return code;
    }
    if (int code = kOk; listing && ListDirectory(code)) {
        return code;
    }
    ZipHandle za;
    if (const int code = OpenZip(za); code != kOk) {
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
    return Finish(listing);
}

int Session::Finish(bool listing) {
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
