#pragma once
// Where each entry's bytes lie in a ZIP file, read from the central directory and the
// local headers. libzip does not tell where an entry's data starts, so the unzip
// library reads the layout itself before extracting, to refuse archives whose entries
// overlap (one stretch of compressed data expanded many times over).
//
// The reader is strict on purpose: it takes only the end-of-directory records libzip
// takes (both disk numbers 0, equal entry counts, a comment that fits), and when more
// than one of them leads to a directory, the layout is ambiguous and reported damaged.
// The caller still compares the result with what libzip uses, data offsets included.
// What the scan reads is bounded: a record's directory must start with a directory
// signature before it is read, and all directories read together may not exceed the
// file's size, so thousands of fake end records cost no more than one real one.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tv::unzip {

// Reads n bytes at offset; false when they cannot all be read.
using ByteReader = std::function<bool(std::uint64_t offset, unsigned char* buf, std::size_t n)>;
// Reads the file open on fd.
ByteReader FdReader(int fd);

struct CentralEntry {
    // Undecoded, as libzip reports it: as stored (a NUL byte reads as a space), or the
    // UTF-8 name of a Unicode-path extra field made for exactly those bytes.
    std::string rawName;
    std::uint64_t compressedSize = 0;
    std::uint64_t size = 0;
    std::uint64_t localOffset = 0;
    std::uint64_t dataOffset = 0;  // where the data starts (set by ReadEntryLayout)
    std::uint32_t crc = 0;
    std::uint32_t externalAttributes = 0;
    std::uint16_t madeBy = 0;        // the high byte names the system
    std::uint16_t flags = 0;         // bit 0: encrypted
    std::uint16_t storedMethod = 0;  // as the record says
    std::uint16_t method = 0;        // for AES-encrypted entries, the one under the encryption
    std::uint16_t dosTime = 0;
    std::uint16_t dosDate = 0;
};

struct CentralDirectory {
    bool found = false;
    std::string reason;                 // why not, when not found
    std::vector<CentralEntry> entries;  // in order (libzip's index order)
    std::uint64_t offset = 0;           // where the directory starts
    std::uint16_t commentLength = 0;    // of the archive comment
    bool filled = false;                // the records fill the directory's stated size exactly
};

// Reads the central directory only (enough for a listing). Never throws for bad input;
// may throw std::bad_alloc.
CentralDirectory ReadCentralDirectory(const ByteReader& read, std::uint64_t fileSize);

enum class LayoutVerdict { kSound, kOverlap, kDamaged };

struct EntryLayout {
    LayoutVerdict verdict = LayoutVerdict::kDamaged;
    std::string reason;                 // why, when not sound
    std::vector<CentralEntry> entries;  // central directory order (libzip's index order)
};

// Reads the layout of the ZIP file (fileSize bytes); a local header that contradicts its
// directory record on method, CRC or sizes makes it damaged. Never throws for bad
// input; may throw std::bad_alloc.
EntryLayout ReadEntryLayout(const ByteReader& read, std::uint64_t fileSize);

}  // namespace tv::unzip
