#include "archive/unzip/unzip_internal.h"

#include <sys/stat.h>

#include <cmath>
#include <ctime>

#include "archive/unzip/entry_layout.h"
#include "archive/unzip/entry_names.h"

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

// The date and time of DOS date and time fields, as libzip reads them: fields out of
// range roll over (month 13 is January of the next year).
struct tm DosTime(std::uint16_t date, std::uint16_t time) {
    struct tm when {};
    when.tm_year = ((date >> 9) & 0x7f) + 80;
    when.tm_mon = ((date >> 5) & 0x0f) - 1;
    when.tm_mday = date & 0x1f;
    when.tm_hour = (time >> 11) & 0x1f;
    when.tm_min = (time >> 5) & 0x3f;
    when.tm_sec = (time << 1) & 0x3e;
    if (when.tm_mon < 0 || when.tm_mon > 11 || when.tm_mday < 1 || when.tm_mday > 28 ||
        when.tm_hour > 23 || when.tm_min > 59 || when.tm_sec > 59) {
        const std::time_t t = timegm(&when);  // normalises; no time zone involved
        gmtime_r(&t, &when);
    }
    return when;
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

// One listed entry, from libzip's view or from the central directory.
struct Session::Listed {
    std::uint64_t size = 0, compressed = 0;
    struct tm when {};
    std::int32_t method = ZIP_CM_STORE;
    std::uint32_t crc = 0;
    bool symlink = false, encrypted = false;
};

void Session::List(zip_t* za, zip_uint64_t index, const zip_stat_t& st, const std::string& name) {
    Listed e;
    e.size = (st.valid & ZIP_STAT_SIZE) ? st.size : 0;
    e.compressed = (st.valid & ZIP_STAT_COMP_SIZE) ? st.comp_size : 0;
    e.when.tm_year = 80;
    e.when.tm_mday = 1;
    if (st.valid & ZIP_STAT_MTIME) {
        localtime_r(&st.mtime, &e.when);
    }
    e.encrypted = (st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE;
    e.method = (st.valid & ZIP_STAT_COMP_METHOD) ? st.comp_method : ZIP_CM_STORE;
    e.crc = (st.valid & ZIP_STAT_CRC) ? st.crc : 0;
    e.symlink = IsSymlinkEntry(za, index);
    Report(index, e, name);
}

void Session::Report(std::uint64_t index, const Listed& e, const std::string& name) {
    totals_.size += e.size;
    totals_.compressed += e.compressed;
    ++totals_.count;
    ListedEntry entry;
    entry.index = index;
    entry.name = name;
    entry.size = e.size;
    entry.compressed = e.compressed;
    entry.factor = Factor(e.size, e.compressed);
    entry.year = e.when.tm_year + 1900;
    entry.month = e.when.tm_mon + 1;
    entry.day = e.when.tm_mday;
    entry.hour = e.when.tm_hour;
    entry.minute = e.when.tm_min;
    entry.symlink = e.symlink;
    entry.encrypted = e.encrypted;
    entry.method = MethodName(e.method);
    entry.crc = e.crc;
    listener_.Listed(entry);
}

// A listing needs only the central directory: reading it ourselves spares libzip's
// reading of every record (and its time conversions), which costs most of a listing.
// Safety checks stay with extraction. When the directory cannot be read here, libzip's
// reading decides (and explains), as before.
std::optional<Status> Session::ListDirectory() {
    CentralDirectory dir = ReadCentralDirectory(Reader(), fileSize_);
    if (!dir.found && TryRepair()) {
        dir = ReadCentralDirectory(Reader(), source_->Size());
    }
    // Records short of the directory's size may mean more than 65,535 entries counted
    // modulo 65,536, as some writers do; libzip reads those.
    if (!dir.found || !dir.filled) {
        return std::nullopt;
    }
    totals_.commentLength = dir.commentLength;
    if (dir.entries.empty()) {
        return Fail(kWarning, "warning: " + zipPath_ + " holds no entries");
    }
    for (std::size_t index = 0; index < dir.entries.size(); ++index) {
        const CentralEntry& c = dir.entries[index];
        const std::string name = NormalizeSeparators(DecodeEntryName(c.rawName));
        if (!Selected(index, name)) {
            continue;
        }
        matchedAny_ = true;
        if (!name.empty() && name.back() == '/') {
            continue;
        }
        if (!Serve(name)) {
            return Status(kCancelled, "unzip", "cancelled at " + name);
        }
        Listed e;
        e.size = c.size;
        e.compressed = c.compressedSize;
        e.when = DosTime(c.dosDate, c.dosTime);
        e.method = c.method;
        e.crc = c.crc;
        e.encrypted = (c.flags & 1) != 0;
        e.symlink = (c.madeBy >> 8) == ZIP_OPSYS_UNIX && S_ISLNK(c.externalAttributes >> 16);
        Report(index, e, name);
    }
    return Finish(true);
}

}  // namespace tv::unzip
