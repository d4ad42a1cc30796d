#include "platform/unzip/repair.h"

#include <algorithm>

#include "platform/unzip/zip_format.h"

namespace tv::unzip {
namespace {

using namespace format;

constexpr std::uint16_t kFillerId = 0x4646;  // an id no reader gives a meaning

// How many leading bytes of an extra field are whole blocks; lastBlock gets where the
// last whole block starts (or stays npos).
std::size_t WholeBlocks(const unsigned char* x, std::size_t len, std::size_t& lastBlock) {
    std::size_t p = 0;
    lastBlock = std::string::npos;
    while (len - p >= 4 && len - p - 4 >= Le16(x + p + 2)) {
        lastBlock = p;
        p += 4 + Le16(x + p + 2);
    }
    return p;
}

// Blocks whose length libzip reads and checks; junk may not be added to them.
bool Interpreted(std::uint16_t id) {
    return id == 0x0001 || id == 0x7075 || id == 0x6375 || id == 0x9901;
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
        std::size_t last = 0;
        const std::size_t whole = WholeBlocks(h + kCentralHeaderSize + name, extra, last);
        if (whole != extra) {
            repair.what = "extra fields hold junk";
            Put16(h + 30, whole);
        }
        const char* r = reinterpret_cast<const char*>(h);
        rebuilt.append(r, kCentralHeaderSize + name + whole);
        rebuilt.append(r + kCentralHeaderSize + name + extra, note);
        pos += kCentralHeaderSize + name + extra + note;

        // The local header's junk is made whole in place: lengths stay, so does the data.
        const std::uint64_t local = Le32(h + 42);
        unsigned char lh[kLocalHeaderSize];
        if (local == 0xffffffff || !read(local, lh, sizeof lh) || Le32(lh) != kLocalSig) {
            continue;  // libzip judges it
        }
        const std::size_t lextra = Le16(lh + 28);
        std::vector<unsigned char> x(lextra);
        const std::uint64_t xAt = local + kLocalHeaderSize + Le16(lh + 26);
        if (lextra == 0 || !read(xAt, x.data(), x.size())) {
            continue;
        }
        const std::size_t lwhole = WholeBlocks(x.data(), lextra, last);
        const std::size_t junk = lextra - lwhole;
        if (junk >= 4) {
            std::string filler(4, '\0');
            Put16(reinterpret_cast<unsigned char*>(filler.data()), kFillerId);
            Put16(reinterpret_cast<unsigned char*>(filler.data()) + 2, junk - 4);
            repair.patches.push_back({xAt + lwhole, filler});
        } else if (junk > 0 && last != std::string::npos && !Interpreted(Le16(x.data() + last))) {
            std::string length(2, '\0');
            Put16(reinterpret_cast<unsigned char*>(length.data()),
                  Le16(x.data() + last + 2) + junk);
            repair.patches.push_back({xAt + last + 2, length});
        } else {
            continue;
        }
        repair.what = "extra fields hold junk";
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
