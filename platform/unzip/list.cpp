#include "platform/unzip/unzip_internal.h"

#include <sys/stat.h>

#include <cmath>
#include <ctime>

namespace tv::unzip {
namespace {

constexpr unsigned kMaxFactor = 32767;

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

}  // namespace

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

}  // namespace tv::unzip
