#include "archive/unzip/unzip_internal.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/fd.h"

namespace tv::unzip {
namespace {

constexpr std::size_t kCopyBufferSize = 256 * 1024;

}  // namespace

Status Session::Copy(ZipFileHandle file, std::uint64_t size, int outFd, const std::string& shown) {
    auto failed = [](const std::string& reason, int err = 0) {
        return Status(kEntryError, "unzip", reason, err);
    };
    if (buffer_.empty()) {
        buffer_.resize(kCopyBufferSize);
    }
    std::uint64_t total = 0;
    for (;;) {
        const zip_int64_t got = zip_fread(file.get(), buffer_.data(), buffer_.size());
        if (got < 0) {
            const int zipError = zip_error_code_zip(zip_file_get_error(file.get()));
            return failed(zipError == ZIP_ER_CRC      ? "bad CRC"
                          : zipError == ZIP_ER_INCONS ? "size does not match the directory"
                                                      : zip_file_strerror(file.get()));
        }
        if (got == 0) {
            break;
        }
        total += static_cast<std::uint64_t>(got);
        if (total > size) {
            return failed("more data than the entry declares");
        }
        if (outFd >= 0) {
            if (const int err = WriteAll(outFd, buffer_.data(), static_cast<std::size_t>(got));
                err != 0) {
                if (err == ENOSPC || err == EDQUOT) {
                    // Every later entry would fail alike: the call ends here.
                    stop_ = Status(kDiskFull, "unzip", "disk full writing " + shown, err);
                    return stop_;
                }
                return failed(std::string("write failed: ") + std::strerror(err), err);
            }
        }
    }
    if (total != size) {
        return failed("entry is truncated");
    }
    const int closeError = zip_fclose(file.release());
    if (closeError != 0) {
        return failed(closeError == ZIP_ER_CRC ? "bad CRC" : ZipErrorText(closeError));
    }
    return {};
}

Session::Outcome Session::Test(zip_t* za, zip_uint64_t index, const zip_stat_t& st,
                               const std::string& name) {
    ZipFileHandle file;
    const Outcome opened = OpenEntry(za, index, st, name, file);
    if (opened != Outcome::kDone) {
        return opened;
    }
    if (Status s = Copy(std::move(file), st.size, -1, name); !s) {
        Print(Level::kWarning, "error: " + name + ": " + s.Description());
        return Outcome::kFailed;
    }
    Print(Level::kInfo, "    testing: " + name + "   OK");
    return Outcome::kDone;
}

}  // namespace tv::unzip
