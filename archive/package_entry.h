#pragma once
// One row of a ZIP package's directory as the archive component keeps it (a plain
// value type). Entries are numbered from 1 in the unzip library's order.
#include <cstdint>
#include <string>

namespace tv {

// A date and time to the second (the library reports minutes; seconds are 0).
struct EntryDateTime {
    int year, month, day, hour, minute, second;
    bool operator==(const EntryDateTime&) const = default;
};

struct PackageEntry {
    std::string name{};     // the file name without its folder
    std::string folder{};   // the folder inside the package, "/"-separated; "" at the top
    std::int64_t size = 0;  // uncompressed size in bytes
    std::int32_t compressionRatio = 0;  // compressed size in percent of size
    std::string method{};               // the library's method name
    EntryDateTime date{};
    std::int32_t crc = 0;  // CRC-32, bit pattern kept
    bool encrypted = false;
    bool selected = true;  // extracted by the next Unzip
    // Where the library listed it, so extraction names exactly this entry.
    std::uint64_t archiveIndex = 0;
    std::string archiveName{};  // the whole name as listed
};

}  // namespace tv
