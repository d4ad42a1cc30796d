#pragma once
// Where each entry's bytes lie in a ZIP file, read from the central directory and the
// local headers. libzip does not tell where an entry's data starts, so the unzip
// library reads the layout itself before extracting, to refuse archives whose entries
// overlap (one stretch of compressed data expanded many times over).
//
// The reader is strict on purpose: when more than one end-of-directory record parses,
// the layout is ambiguous and reported damaged, because the one checked here might not
// be the one libzip uses.
#include <cstdint>
#include <string>
#include <vector>

namespace tv::unzip {

struct CentralEntry {
    std::string rawName;  // as stored, undecoded
    std::uint64_t compressedSize = 0;
    std::uint64_t localOffset = 0;
    std::uint32_t crc = 0;
};

enum class LayoutVerdict { kSound, kOverlap, kDamaged };

struct EntryLayout {
    LayoutVerdict verdict = LayoutVerdict::kDamaged;
    std::string reason;                 // why, when not sound
    std::vector<CentralEntry> entries;  // central directory order (libzip's index order)
};

// Reads the layout of the ZIP file open on fd (fileSize bytes). Never throws for bad
// input; may throw std::bad_alloc.
EntryLayout ReadEntryLayout(int fd, std::uint64_t fileSize);

}  // namespace tv::unzip
