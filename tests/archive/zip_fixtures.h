#pragma once
// Test packages made on the spot: ordinary ones through libzip, hand-made bytes for
// what libzip would never write (overlapping entries, raw names), header patches for
// damaged ones; and a recorder of what the unzip library's callbacks receive.
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "platform/unzip/unzip.h"

namespace tv::test {

// A fresh folder under $TMPDIR, removed with everything in it (links not followed).
class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }
    const std::string& Path() const { return path_; }

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
    bool store;                    // stored instead of deflated
    std::time_t mtime;             // 0: now
    std::uint16_t encryption = 0;  // ZIP_EM_*
    std::string password;
    std::optional<std::uint32_t> unixMode;
};
void WriteZip(const std::string& path, const std::vector<ZipItem>& items);

// Stored entries dated 2025-01-05 12:00. An entry with `shares` set gets no data of its
// own: its directory record points at that earlier entry's local header.
struct RawItem {
    std::string name, data;
    std::optional<std::uint32_t> crc = std::nullopt;  // default: the true CRC
    bool utf8 = false;
    std::optional<std::size_t> shares = std::nullopt;
};
std::string RawZip(const std::vector<RawItem>& items);

// Sets the CRC and/or the size of a one-entry package in both of its headers.
void PatchSingleEntry(const std::string& path, std::optional<std::uint32_t> crc,
                      std::optional<std::uint32_t> size);

std::uint32_t Crc32(const std::string& data);
std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& data);
// Every path below root, relative and sorted; links not followed.
std::vector<std::string> TreeOf(const std::string& root);

// Runs the library directly and records its callbacks (one run at a time).
struct LibraryRun {
    DCL dcl{};
    std::vector<std::string> includes, excludes;
    std::vector<std::string> passwords;  // answers in turn, then "none"
    std::vector<int> replaceAnswers;     // answers in turn, then 100
    struct Entry {
        std::string name, method;
        std::uint64_t size, compressed;
        unsigned factor, year, month, day, hour, minute;
        unsigned long crc;
        char crypt;
    };
    std::vector<Entry> listed;
    std::vector<std::string> printed, replaceAsked, passwordAsked, served;
    std::vector<unsigned long> servedSizes;

    // Lists zip when folder is empty (unless ntflag is set), else extracts into folder.
    int Run(const std::string& zip, const std::string& folder = "");
    bool Printed(const std::string& text) const;
};

}  // namespace tv::test
