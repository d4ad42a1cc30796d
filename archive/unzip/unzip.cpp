#include "archive/unzip/unzip_internal.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <new>

#include "archive/unzip/entry_names.h"
#include "archive/unzip/repair.h"

namespace tv::unzip {

std::string ZipErrorText(int zipError) {
    zip_error_t error;
    zip_error_init_with_code(&error, zipError);
    std::string text = zip_error_strerror(&error);
    zip_error_fini(&error);
    return text;
}

void Session::Print(Level level, const std::string& text) {
    if (options_.quiet >= 2 || (options_.quiet == 1 && level == Level::kInfo)) {
        return;
    }
    listener_.Message(text);
}

bool Session::Serve(const std::string& name) {
    if (listener_.Proceed(name)) {
        return true;
    }
    Print(Level::kWarning, "error: cancelled at " + name);
    return false;
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

Status Session::FinalCode() const {
    int code = kOk;
    if ((!includes_.empty() || !picks_.empty()) && !matchedAny_) {
        code = kNoMatch;
    } else if (failed_ > 0) {
        code = kEntryError;
    } else if (done_ == 0 && noPassword_ > 0) {
        code = kBadPassword;
    } else if (done_ == 0 && unsupported_ > 0) {
        code = kUnsupported;
    } else if (noPassword_ > 0 || unsupported_ > 0 || warned_ > 0) {
        code = kWarning;
    }
    return code == kOk ? Status() : Status(code, "unzip", CodeText(code));
}

Status Session::Fail(int code, const std::string& line) {
    Print(Level::kWarning, line);
    return Status(code, "unzip", line);
}

Status Session::OpenFile() {
    // Not blocking: a FIFO or device named as the package must not hang the call.
    file_.Reset(::open(zipPath_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!file_.Valid()) {
        return Fail(kNotZip,
                    "error: cannot open " + zipPath_ + ": " + std::string(std::strerror(errno)));
    }
    struct stat st {};
    if (::fstat(file_.Get(), &st) != 0 || !S_ISREG(st.st_mode)) {
        return Fail(kNotZip, "error: " + zipPath_ + " is not a file");
    }
    if (st.st_size == 0) {
        return Fail(kNotZip, "error: " + zipPath_ + " is empty, not a ZIP archive");
    }
    fileSize_ = static_cast<std::uint64_t>(st.st_size);
    source_.emplace(file_.Get(), fileSize_);
    return {};
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

Status Session::OpenZip(ZipHandle& za) {
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
        return Fail(kNotZip, "error: " + zipPath_ + " is not a ZIP archive or is damaged (" +
                                 ZipErrorText(zipError) + ")");
    }
    return {};
}

// st was filled with ZIP_FL_ENC_RAW, so the name is the stored bytes.
std::string Session::EntryName(const zip_stat_t& st) {
    return NormalizeSeparators(DecodeEntryName(st.name));
}

Status Session::Run() {
    PreparePatterns();
    const bool listing = request_.job == Job::kList;
    const bool testing = request_.job == Job::kTest;
    const bool extracting = request_.job == Job::kExtract;
    if (listing) {
        totals_ = Totals{};
    }
    if (request_.package.empty()) {
        return Fail(kBadParameter, "error: no package named");
    }
    zipPath_ = request_.package;
    if (extracting && request_.folder.empty()) {
        return Fail(kBadParameter, "error: no extraction folder named");
    }
    Print(Level::kInfo, "Archive:  " + zipPath_);

    if (Status s = OpenFile(); !s) {
        return s;
    }
    if (listing) {
        if (std::optional<Status> listed = ListDirectory()) {
            return *listed;
        }
    }
    ZipHandle za;
    if (Status s = OpenZip(za); !s) {
        return s;
    }
    ResolvePicks(za.get());
    int commentLength = 0;
    const char* comment = zip_get_archive_comment(za.get(), &commentLength, ZIP_FL_ENC_GUESS);
    if (listing) {
        totals_.commentLength = static_cast<unsigned>(commentLength);
    }
    if (request_.job == Job::kComment) {
        if (comment != nullptr && commentLength > 0) {
            Print(Level::kWarning, std::string(comment, static_cast<std::size_t>(commentLength)));
        }
        return {};
    }
    if (extracting) {
        if (Status s = CheckLayout(za.get()); !s) {
            return s;
        }
        rootPath_ = request_.folder;
        if (!output_.OpenRoot(rootPath_)) {
            return Fail(kBadParameter, "error: cannot create or open the folder " + rootPath_ +
                                           ": " + std::string(std::strerror(errno)));
        }
        if (rootPath_.back() != '/') {
            rootPath_ += '/';
        }
    }

    const zip_int64_t count = zip_get_num_entries(za.get(), 0);
    if (count <= 0) {
        return Fail(kWarning, "warning: " + zipPath_ + " holds no entries");
    }
    if (extracting) {
        if (Status s = CheckSpace(za.get(), count); !s) {
            return s;
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
        if (!Selected(index, name)) {
            continue;
        }
        matchedAny_ = true;
        const bool folderEntry = !name.empty() && name.back() == '/';
        if (folderEntry && !extracting) {
            continue;
        }
        if (!Serve(name)) {
            return Status(kCancelled, "unzip", "cancelled at " + name);
        }
        if (listing) {
            List(za.get(), index, st, name);
        } else if (testing) {
            Tally(Test(za.get(), index, st, name));
        } else {
            Tally(Extract(za.get(), index, st, name));
        }
        if (!stop_.Ok()) {
            return stop_;
        }
    }
    return Finish(listing);
}

Status Session::Finish(bool listing) {
    for (std::size_t i = 0; i < includes_.size(); ++i) {
        if (!includeMatched_[i]) {
            Print(Level::kWarning, "caution: not matched: " + includes_[i]);
            ++warned_;
        }
    }
    for (std::size_t i = 0; i < picks_.size(); ++i) {
        if (!pickMatched_[i]) {
            Print(Level::kWarning, "caution: not matched: " + picks_[i].name);
            ++warned_;
        }
    }
    if (listing) {
        totals_.factor = Factor(totals_.size, totals_.compressed);
    }
    return FinalCode();
}

const char* CodeText(int code) {
    switch (code) {
        case kOk:
            return "done";
        case kWarning:
            return "done with warnings";
        case kEntryError:
            return "an entry could not be processed";
        case kBadLayout:
            return "the archive's layout cannot be verified";
        case kNoMemory:
            return "out of memory";
        case kNotZip:
            return "not a readable ZIP archive";
        case kBadParameter:
            return "no package or no usable folder named";
        case kNoMatch:
            return "no entry matched";
        case kUnsafe:
            return "the archive's entries overlap";
        case kDiskFull:
            return "the disk is full";
        case kCancelled:
            return "cancelled";
        case kUnsupported:
            return "unsupported compression or encryption";
        case kBadPassword:
            return "missing or wrong password";
        default:
            return "unknown result";
    }
}

Status Run(const Request& request, Listener& listener, Totals* totals) {
    Totals counted;
    try {
        Session session(request, listener, totals != nullptr ? *totals : counted);
        return session.Run();
    } catch (const std::bad_alloc&) {
        return Status(kNoMemory, "unzip", CodeText(kNoMemory));
    } catch (...) {
        // A listener that throws ends the call.
        return Status(kEntryError, "unzip", "the call was ended by a listener's failure");
    }
}

}  // namespace tv::unzip
