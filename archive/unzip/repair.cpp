#include "archive/unzip/repair.h"

#include <algorithm>

#include "archive/unzip/zip_format.h"

namespace tv::unzip {
namespace {

using namespace format;

// How many leading bytes of an extra field are whole blocks.
std::size_t WholeBlocks(const unsigned char* x, std::size_t len) {
    std::size_t p = 0;
    while (len - p >= 4 && len - p - 4 >= Le16(x + p + 2)) {
        p += 4 + Le16(x + p + 2);
    }
    return p;
}

}  // namespace

std::optional<Repair> PlanRepair(const ByteReader& read, std::uint64_t fileSize) {
    if (fileSize < kEndSize) {
        return std::nullopt;
    }
    // The last end record: 32 bits only, one disk, with a directory before it.
    const std::uint64_t tailSize = std::min<std::uint64_t>(fileSize, kEndSize + kMaxCommentSize);
    std::vector<unsigned char> tail(static_cast<std::size_t>(tailSize));
    if (!read(fileSize - tailSize, tail.data(), tail.size())) {
        return std::nullopt;
    }
    std::size_t i = tail.size() - kEndSize + 1;
    while (i-- > 0 && Le32(tail.data() + i) != kEndSig) {
    }
    if (i == static_cast<std::size_t>(-1)) {
        return std::nullopt;
    }
    const unsigned char* end = tail.data() + i;
    const std::uint64_t endAt = fileSize - tailSize + i;
    const std::uint64_t count = Le16(end + 10), size = Le32(end + 12), offset = Le32(end + 16);
    unsigned char loc[4];
    if (Le32(end + 4) != 0 || Le16(end + 8) != count || offset + size > endAt ||
        (endAt >= 20 && read(endAt - 20, loc, 4) && Le32(loc) == kEnd64LocatorSig)) {
        return std::nullopt;
    }
    Repair repair;
    const std::size_t commentHere = tail.size() - i - kEndSize;
    const std::size_t comment = std::min<std::size_t>(Le16(end + 20), commentHere);
    if (comment < Le16(end + 20)) {
        repair.what = "the archive comment is shorter than stated";
    }

    std::vector<unsigned char> dir(static_cast<std::size_t>(size));
    if (!read(offset, dir.data(), dir.size())) {
        return std::nullopt;
    }
    std::string rebuilt;
    rebuilt.reserve(dir.size());
    std::size_t pos = 0;
    for (std::uint64_t k = 0; k < count; ++k) {
        if (dir.size() - pos < kCentralHeaderSize || Le32(dir.data() + pos) != kCentralSig) {
            return std::nullopt;
        }
        unsigned char* h = dir.data() + pos;
        const std::size_t name = Le16(h + 28), extra = Le16(h + 30), note = Le16(h + 32);
        if (dir.size() - pos < kCentralHeaderSize + name + extra + note) {
            return std::nullopt;
        }
        const std::size_t whole = WholeBlocks(h + kCentralHeaderSize + name, extra);
        if (whole != extra) {
            repair.what = "extra fields in the directory hold junk";
            Put16(h + 30, whole);
        }
        const char* r = reinterpret_cast<const char*>(h);
        rebuilt.append(r, kCentralHeaderSize + name + whole);
        rebuilt.append(r + kCentralHeaderSize + name + extra, note);
        pos += kCentralHeaderSize + name + extra + note;
    }
    if (repair.what.empty()) {
        return std::nullopt;
    }
    repair.tailAt = offset;
    // Between the directory and the end record, then the end record and its comment.
    std::string gap(static_cast<std::size_t>(endAt - offset - pos), '\0');
    if (!gap.empty() &&
        !read(offset + pos, reinterpret_cast<unsigned char*>(gap.data()), gap.size())) {
        return std::nullopt;
    }
    std::string record(reinterpret_cast<const char*>(end), kEndSize + comment);
    auto* rec = reinterpret_cast<unsigned char*>(record.data());
    Put32(rec + 12, rebuilt.size());
    Put16(rec + 20, comment);
    repair.tail = std::move(rebuilt) + gap + record;
    return repair;
}

}  // namespace tv::unzip
