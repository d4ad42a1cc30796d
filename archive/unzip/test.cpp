#include "archive/unzip/unzip_internal.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/fd.h"

namespace tv::unzip {
namespace {

constexpr std::size_t kCopyBufferSize = 256 * 1024;

}  // namespace

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
        if (outFd >= 0) {
            if (const int err = WriteAll(outFd, buffer_.data(), static_cast<std::size_t>(got));
                err != 0) {
                if (err == ENOSPC || err == EDQUOT) {
                    Print(Level::kWarning, "error: disk full writing " + shown);
                    stopCode_ = kDiskFull;
                    return false;
                }
                reason = std::string("write failed: ") + std::strerror(err);
                return false;
            }
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

}  // namespace tv::unzip
