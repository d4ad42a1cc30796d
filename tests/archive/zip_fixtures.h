#pragma once
// Test packages made on the spot: ordinary ones through libzip, hand-made bytes for
// what libzip would never write (overlapping entries, chosen raw names), and small
// patches of header fields (CRC, sizes) for damaged ones.
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

namespace tv::test {

// A fresh folder under $TMPDIR, removed with everything in it (links not followed).
class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

  private:
    std::string path_;
};

struct ZipItem {
    ZipItem(std::string n, std::string d = "", bool s = false, std::time_t t = 0)
        : name(std::move(n)), data(std::move(d)), store(s), mtime(t) {}
    ZipItem& Encrypt(std::uint16_t method, std::string pw) {
        encryption = method;
        password = std::move(pw);
        return *this;
    }
    ZipItem& Mode(std::uint32_t mode) {
        unixMode = mode;
        return *this;
    }

    std::string name;  // a name ending in "/" makes a folder entry
    std::string data;
    bool store = false;            // stored instead of deflated
    std::time_t mtime = 0;         // 0: libzip's default (now)
    std::uint16_t encryption = 0;  // ZIP_EM_* with password
    std::string password;
    std::optional<std::uint32_t> unixMode;  // external attributes (st_mode)
};

// Writes items with libzip; fails the calling test through an exception on error.
void WriteZip(const std::string& path, const std::vector<ZipItem>& items);

// Hand-made stored entries. An entry with sharesDataOf set gets no local header of its
// own: its directory record points at that earlier entry's header.
struct RawItem {
    RawItem(std::string n, std::string d, std::optional<std::uint32_t> c = std::nullopt)
        : name(std::move(n)), data(std::move(d)), crc(c) {}
    RawItem& Utf8() {
        utf8Flag = true;
        return *this;
    }
    RawItem& SharesDataOf(std::size_t index) {
        sharesDataOf = index;
        return *this;
    }

    std::string name;  // raw bytes
    std::string data;
    std::optional<std::uint32_t> crc;  // default: the true CRC
    bool utf8Flag = false;
    std::optional<std::size_t> sharesDataOf;
};
std::string RawZip(const std::vector<RawItem>& items);

std::uint32_t Crc32(const std::string& data);

// Field patches of a package with one entry (no data descriptor): the CRC or the
// uncompressed size, in both the local header and the directory record.
void PatchSingleEntry(const std::string& path, std::optional<std::uint32_t> crc,
                      std::optional<std::uint32_t> size);

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& data);

// Every path below root (relative, "/"-separated, sorted), links not followed.
std::vector<std::string> TreeOf(const std::string& root);

}  // namespace tv::test
