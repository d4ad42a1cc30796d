#include "archive/unzip/entry_layout.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <optional>
#include <string_view>

#include "archive/unzip/zip_format.h"

namespace tv::unzip {
namespace {

using namespace format;

constexpr std::uint16_t kAesMethod = 99;

bool ReadFd(int fd, std::uint64_t offset, unsigned char* buf, std::size_t n) {
    while (n > 0) {
        ssize_t got = ::pread(fd, buf, n, static_cast<off_t>(offset));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return false;
        }
        buf += got;
        n -= static_cast<std::size_t>(got);
        offset += static_cast<std::uint64_t>(got);
    }
    return true;
}

bool AddOk(std::uint64_t a, std::uint64_t b, std::uint64_t& sum) {
    return !__builtin_add_overflow(a, b, &sum);
}

// CRC-32 (the ZIP polynomial), for the few bytes of a name.
std::uint32_t Crc32(std::string_view bytes) {
    std::uint32_t crc = 0xffffffff;
    for (unsigned char b : bytes) {
        crc ^= b;
        for (int k = 0; k < 8; ++k) {
            crc = (crc >> 1) ^ (0xedb88320 & (0 - (crc & 1)));
        }
    }
    return ~crc;
}

// What libzip takes for UTF-8 in an extra field: printable ASCII, tab, CR, LF, and
// lead bytes followed by as many continuation bytes as they announce.
bool LibzipTakesAsUtf8(std::string_view s) {
    for (std::size_t i = 0; i < s.size(); ++i) {
        const auto b = static_cast<unsigned char>(s[i]);
        if ((b > 31 && b < 128) || b == '\t' || b == '\r' || b == '\n') {
            continue;
        }
        const std::size_t more = (b & 0xe0) == 0xc0   ? 1
                                 : (b & 0xf0) == 0xe0 ? 2
                                 : (b & 0xf8) == 0xf0 ? 3
                                                      : 0;
        if (more == 0 || i + more >= s.size()) {
            return false;
        }
        for (std::size_t k = 1; k <= more; ++k) {
            if ((static_cast<unsigned char>(s[i + k]) & 0xc0) != 0x80) {
                return false;
            }
        }
        i += more;
    }
    return true;
}

// The name libzip reports for a stored name and its first Unicode-path extra field
// (0x7075: version 1, the CRC-32 of the stored name, then the name in UTF-8): the field's
// name when it was made for exactly these bytes and reads as UTF-8, else the stored one.
// The classic tool, too, takes the field whose CRC matches the stored name.
std::string UnicodePathName(std::string stored, const unsigned char* field, std::size_t len) {
    if (field == nullptr || len <= 5 || field[0] != 1 || Le32(field + 1) != Crc32(stored)) {
        return stored;
    }
    std::string_view utf8(reinterpret_cast<const char*>(field + 5), len - 5);
    return LibzipTakesAsUtf8(utf8) ? std::string(utf8) : stored;
}

struct DirectoryPlace {
    std::uint64_t count = 0;
    std::uint64_t size = 0;
    std::uint64_t offset = 0;
    std::uint64_t end = 0;  // where the end records begin; the directory must end here or before
    std::uint16_t commentLength = 0;
};

// The directory's place from the end record at endPos (and its 64-bit twin when
// present), when libzip would take that record: both disk numbers 0 (0xffff with a
// 64-bit twin), equal entry counts, a comment that fits in the file, and a directory
// that ends before the record. tailLeft is the number of bytes after the record.
std::optional<DirectoryPlace> PlaceFromEnd(const ByteReader& read, std::uint64_t endPos,
                                           const unsigned char* end, std::uint64_t tailLeft) {
    if (Le16(end + 20) > tailLeft) {
        return std::nullopt;
    }
    DirectoryPlace place;
    std::uint32_t thisDisk = Le16(end + 4);
    std::uint32_t dirDisk = Le16(end + 6);
    std::uint64_t onDisk = Le16(end + 8);
    place.count = Le16(end + 10);
    place.size = Le32(end + 12);
    place.offset = Le32(end + 16);
    place.end = endPos;
    place.commentLength = Le16(end + 20);
    unsigned char loc[kEnd64LocatorSize];
    if (endPos >= kEnd64LocatorSize && read(endPos - kEnd64LocatorSize, loc, sizeof loc) &&
        Le32(loc) == kEnd64LocatorSig) {
        if ((thisDisk != 0 && thisDisk != 0xffff) || (dirDisk != 0 && dirDisk != 0xffff) ||
            Le32(loc + 4) != 0 || Le32(loc + 16) > 1) {
            return std::nullopt;
        }
        const std::uint64_t end64Pos = Le64(loc + 8);
        unsigned char e64[kEnd64Size];
        std::uint64_t e64End = 0;
        if (!AddOk(end64Pos, kEnd64Size, e64End) || e64End > endPos - kEnd64LocatorSize ||
            !read(end64Pos, e64, sizeof e64) || Le32(e64) != kEnd64Sig) {
            return std::nullopt;
        }
        thisDisk = Le32(e64 + 16);
        dirDisk = Le32(e64 + 20);
        onDisk = Le64(e64 + 24);
        place.count = Le64(e64 + 32);
        place.size = Le64(e64 + 40);
        place.offset = Le64(e64 + 48);
    }
    if (thisDisk != 0 || dirDisk != 0 || onDisk != place.count) {
        return std::nullopt;
    }
    std::uint64_t dirEnd = 0;
    if (!AddOk(place.offset, place.size, dirEnd) || dirEnd > place.end) {
        return std::nullopt;
    }
    if (place.count > place.size / kCentralHeaderSize) {
        return std::nullopt;
    }
    // Look at the first record's signature before reading a whole directory.
    unsigned char sig[4];
    if (place.count > 0 && (!read(place.offset, sig, sizeof sig) || Le32(sig) != kCentralSig)) {
        return std::nullopt;
    }
    return place;
}

// Parses the directory at place; nullopt when it does not hold place.count well-formed
// records. consumed gets the bytes they take.
std::optional<std::vector<CentralEntry>> ParseDirectory(const ByteReader& read,
                                                        const DirectoryPlace& place,
                                                        std::size_t& consumed) {
    std::vector<unsigned char> dir(static_cast<std::size_t>(place.size));
    if (!read(place.offset, dir.data(), dir.size())) {
        return std::nullopt;
    }
    std::vector<CentralEntry> entries;
    entries.reserve(static_cast<std::size_t>(place.count));
    std::size_t pos = 0;
    for (std::uint64_t i = 0; i < place.count; ++i) {
        if (dir.size() - pos < kCentralHeaderSize) {
            return std::nullopt;
        }
        const unsigned char* h = dir.data() + pos;
        if (Le32(h) != kCentralSig) {
            return std::nullopt;
        }
        const std::size_t nameLen = Le16(h + 28);
        const std::size_t extraLen = Le16(h + 30);
        const std::size_t commentLen = Le16(h + 32);
        const std::size_t recordLen = kCentralHeaderSize + nameLen + extraLen + commentLen;
        if (dir.size() - pos < recordLen) {
            return std::nullopt;
        }
        CentralEntry e;
        e.madeBy = Le16(h + 4);
        e.flags = Le16(h + 8);
        e.method = e.storedMethod = Le16(h + 10);
        e.dosTime = Le16(h + 12);
        e.dosDate = Le16(h + 14);
        e.crc = Le32(h + 16);
        e.compressedSize = Le32(h + 20);
        e.size = Le32(h + 24);
        e.externalAttributes = Le32(h + 38);
        e.localOffset = Le32(h + 42);
        e.rawName.assign(reinterpret_cast<const char*>(h + kCentralHeaderSize), nameLen);
        std::replace(e.rawName.begin(), e.rawName.end(), '\0', ' ');  // as libzip reads it
        // The 64-bit values, in this order, are present only for fields that hold
        // their all-ones marker.
        const unsigned char* x = h + kCentralHeaderSize + nameLen;
        const unsigned char* xEnd = x + extraLen;
        const unsigned char* unicodePath = nullptr;
        std::size_t unicodePathLen = 0;
        while (xEnd - x >= 4) {
            const std::uint16_t id = Le16(x);
            const std::size_t len = Le16(x + 2);
            if (static_cast<std::size_t>(xEnd - x - 4) < len) {
                break;
            }
            if (id == 0x0001) {
                const unsigned char* v = x + 4;
                std::size_t left = len;
                auto take = [&](std::uint64_t& field) {
                    if (left < 8) {
                        return false;
                    }
                    field = Le64(v);
                    v += 8;
                    left -= 8;
                    return true;
                };
                if ((e.size == 0xffffffff && !take(e.size)) ||
                    (e.compressedSize == 0xffffffff && !take(e.compressedSize)) ||
                    (e.localOffset == 0xffffffff && !take(e.localOffset))) {
                    return std::nullopt;
                }
            } else if (id == 0x9901 && len >= 7 && e.method == kAesMethod) {
                e.method = Le16(x + 4 + 5);  // the method under the encryption
            } else if (id == 0x7075 && unicodePath == nullptr) {
                unicodePath = x + 4;
                unicodePathLen = len;
            }
            x += 4 + len;
        }
        e.rawName = UnicodePathName(std::move(e.rawName), unicodePath, unicodePathLen);
        entries.push_back(std::move(e));
        pos += recordLen;
    }
    consumed = pos;
    return entries;
}

// The field on which a local header (h) contradicts its directory record, or null.
// With a data descriptor (flag bit 3) the local values may be zero; 64-bit sizes are
// compared only through the directory.
const char* LocalDisagrees(const CentralEntry& e, const unsigned char* h) {
    const bool descriptor = (Le16(h + 6) & 0x08) != 0;
    auto differs = [descriptor](std::uint64_t local, std::uint64_t central) {
        return local != central && !(descriptor && local == 0) && local != 0xffffffff;
    };
    if (Le16(h + 8) != e.storedMethod) {
        return "compression method";
    }
    if (differs(Le32(h + 14), e.crc)) {
        return "CRC";
    }
    if (differs(Le32(h + 18), e.compressedSize) || differs(Le32(h + 22), e.size)) {
        return "size";
    }
    return nullptr;
}

struct Span {
    std::uint64_t begin;
    std::uint64_t end;
    std::size_t index;
};

}  // namespace

CentralDirectory ReadCentralDirectory(const ByteReader& read, std::uint64_t fileSize) {
    CentralDirectory result;
    if (fileSize < kEndSize) {
        result.reason = "too short for a ZIP archive";
        return result;
    }
    const std::uint64_t tailSize = std::min<std::uint64_t>(fileSize, kEndSize + kMaxCommentSize);
    const std::uint64_t tailStart = fileSize - tailSize;
    std::vector<unsigned char> tail(static_cast<std::size_t>(tailSize));
    if (!read(tailStart, tail.data(), tail.size())) {
        result.reason = "cannot read the end of the archive";
        return result;
    }

    std::optional<DirectoryPlace> chosenPlace;
    std::optional<std::vector<CentralEntry>> chosen;
    int candidates = 0;
    // All directories read together stay within the file's size: a real archive reads
    // one, so only a package built to waste time runs out.
    std::uint64_t budget = fileSize;
    for (std::size_t i = tail.size() - kEndSize + 1; i-- > 0;) {
        if (Le32(tail.data() + i) != kEndSig) {
            continue;
        }
        auto place = PlaceFromEnd(read, tailStart + i, tail.data() + i, tail.size() - i - kEndSize);
        if (!place) {
            continue;
        }
        if (place->size > budget) {
            result.reason = "too many end-of-directory records";
            return result;
        }
        budget -= place->size;
        std::size_t consumed = 0;
        auto entries = ParseDirectory(read, *place, consumed);
        if (!entries) {
            continue;
        }
        if (++candidates > 1) {
            result.reason = "more than one central directory";
            return result;
        }
        chosenPlace = place;
        chosen = std::move(entries);
        result.filled = consumed == place->size;
    }
    if (!chosen) {
        result.reason = "no readable central directory";
        return result;
    }
    result.found = true;
    result.offset = chosenPlace->offset;
    result.commentLength = chosenPlace->commentLength;
    result.entries = std::move(*chosen);
    return result;
}

EntryLayout ReadEntryLayout(const ByteReader& read, std::uint64_t fileSize) {
    EntryLayout result;
    CentralDirectory dir = ReadCentralDirectory(read, fileSize);
    if (!dir.found) {
        result.reason = std::move(dir.reason);
        return result;
    }
    std::vector<CentralEntry>* chosen = &dir.entries;

    // Each entry occupies its local header, name, extra field and compressed data.
    std::vector<Span> spans;
    spans.reserve(chosen->size());
    for (std::size_t i = 0; i < chosen->size(); ++i) {
        const CentralEntry& e = (*chosen)[i];
        unsigned char h[kLocalHeaderSize];
        std::uint64_t headerEnd = 0;
        if (!AddOk(e.localOffset, kLocalHeaderSize, headerEnd) || headerEnd > fileSize ||
            !read(e.localOffset, h, sizeof h) || Le32(h) != kLocalSig) {
            result.reason = "damaged local header";
            return result;
        }
        std::uint64_t end = 0;
        if (!AddOk(headerEnd, static_cast<std::uint64_t>(Le16(h + 26)) + Le16(h + 28), end) ||
            !AddOk(end, e.compressedSize, end)) {
            result.reason = "damaged local header";
            return result;
        }
        (*chosen)[i].dataOffset = end - e.compressedSize;
        if (const char* field = LocalDisagrees(e, h)) {
            result.reason = "entry " + std::to_string(i + 1) +
                            ": its local header and the directory disagree on the " + field;
            return result;
        }
        spans.push_back({e.localOffset, end, i});
    }
    std::sort(spans.begin(), spans.end(),
              [](const Span& a, const Span& b) { return a.begin < b.begin; });
    for (std::size_t k = 0; k < spans.size(); ++k) {
        const std::uint64_t limit = k + 1 < spans.size() ? spans[k + 1].begin : dir.offset;
        if (spans[k].end > limit) {
            result.verdict = LayoutVerdict::kOverlap;
            result.reason = "the data of entry " + std::to_string(spans[k].index + 1) +
                            (k + 1 < spans.size() ? " overlaps another entry"
                                                  : " runs into the central directory");
            return result;
        }
    }
    result.verdict = LayoutVerdict::kSound;
    result.entries = std::move(dir.entries);
    return result;
}

ByteReader FdReader(int fd) {
    return [fd](std::uint64_t offset, unsigned char* buf, std::size_t n) {
        return ReadFd(fd, offset, buf, n);
    };
}

}  // namespace tv::unzip
