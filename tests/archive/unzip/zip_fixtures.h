#pragma once
// Test packages made on the spot through libzip, byte patches for what libzip would never
// write (wrong CRCs or sizes, overlapping entries), and a recorder of what the unzip
// library's callbacks receive.
#include <zip.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "archive/unzip/unzip.h"

namespace tv::test {

// A fresh folder under $TMPDIR, removed with everything in it (links not followed).
class TempFolder {
  public:
    TempFolder() : path_(std::filesystem::temp_directory_path() / "tessel-archive-XXXXXX") {
        if (mkdtemp(path_.data()) == nullptr) {
            throw std::runtime_error("mkdtemp failed");
        }
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }
    const std::string& Path() const { return path_; }

  private:
    std::string path_;
};

inline std::string ReadFile(const std::string& path) {
    std::ostringstream s;
    s << std::ifstream(path, std::ios::binary).rdbuf();
    return s.str();
}

inline void WriteFile(const std::string& path, const std::string& data) {
    if (!(std::ofstream(path, std::ios::binary) << data)) {
        throw std::runtime_error("cannot write " + path);
    }
}

// Every path below root, relative and sorted; links not followed.
inline std::vector<std::string> TreeOf(const std::string& root) {
    std::vector<std::string> paths;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        paths.push_back(std::filesystem::relative(entry.path(), root).generic_string());
    }
    std::sort(paths.begin(), paths.end());
    return paths;
}

// Names are stored as given: valid UTF-8 as UTF-8, any other bytes raw (read as CP437).
struct ZipItem {
    std::string name;  // a name ending in "/" makes a folder entry
    std::string data = {};
    bool store = false;            // stored instead of deflated
    std::time_t mtime = 0;         // 0: now
    std::uint16_t encryption = 0;  // ZIP_EM_*, with password
    std::string password = {};
    std::optional<std::uint32_t> unixMode = {};
};
inline ZipItem Encrypted(std::string name, std::string data, std::uint16_t method) {
    return {.name = name, .data = data, .encryption = method, .password = "pw"};
}

inline void WriteZip(const std::string& path, const std::vector<ZipItem>& items) {
    int error = 0;
    zip_t* za = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (za == nullptr) {
        throw std::runtime_error("zip_open failed for " + path);
    }
    auto fail = [za](const std::string& what) {
        const std::string why = zip_strerror(za);
        zip_discard(za);
        throw std::runtime_error(what + ": " + why);
    };
    for (const ZipItem& item : items) {
        zip_int64_t i = -1;
        if (item.name.back() == '/') {
            i = zip_dir_add(za, item.name.c_str(), 0);
        } else if (zip_source_t* src =
                       zip_source_buffer(za, item.data.data(), item.data.size(), 0)) {
            if ((i = zip_file_add(za, item.name.c_str(), src, 0)) < 0) {
                zip_source_free(src);
            }
        }
        if (i < 0 || (item.store && zip_set_file_compression(za, i, ZIP_CM_STORE, 0) != 0) ||
            (item.mtime != 0 && zip_file_set_mtime(za, i, item.mtime, 0) != 0) ||
            (item.encryption != 0 &&
             zip_file_set_encryption(za, i, item.encryption, item.password.c_str()) != 0) ||
            (item.unixMode &&
             zip_file_set_external_attributes(za, i, 0, ZIP_OPSYS_UNIX, *item.unixMode << 16))) {
            fail("cannot add " + item.name);
        }
    }
    if (zip_close(za) != 0) {  // the item buffers are read here
        fail("zip_close failed");
    }
}

// Overwrites fields of entry `index` of a package without a comment: the CRC and the
// size in both of its headers, the local-header offset in its directory record.
inline void PatchEntry(const std::string& path, std::size_t index, std::optional<std::uint32_t> crc,
                       std::optional<std::uint32_t> size = {},
                       std::optional<std::uint32_t> offset = {}) {
    std::string b = ReadFile(path);
    auto get = [&](std::size_t at, int bytes) {
        std::uint32_t v = 0;
        while (bytes-- > 0) {
            v = v << 8 | static_cast<unsigned char>(b.at(at + bytes));
        }
        return std::size_t{v};
    };
    auto set = [&](std::size_t at, std::optional<std::uint32_t> v) {
        for (int i = 0; v && i < 4; ++i) {
            b.at(at + i) = static_cast<char>(*v >> (8 * i));
        }
    };
    std::size_t central = get(b.size() - 6, 4);
    for (std::size_t i = 0; i < index; ++i) {
        central += 46 + get(central + 28, 2) + get(central + 30, 2) + get(central + 32, 2);
    }
    const std::size_t local = get(central + 42, 4);
    set(local + 14, crc);
    set(central + 16, crc);
    set(local + 22, size);
    set(central + 24, size);
    set(central + 42, offset);
    WriteFile(path, b);
}

// Runs the library directly and records its callbacks (one run at a time).
struct LibraryRun {
    DCL dcl{};
    std::vector<std::string> includes, excludes;
    std::vector<std::string> passwords;  // answers in turn, then none
    std::vector<int> replaceAnswers;     // answers in turn, then keep the file
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
    int Run(const std::string& zip, const std::string& folder = "") {
        static LibraryRun* self;  // the callbacks are plain functions
        self = this;
        std::string zipCopy = zip, folderCopy = folder;
        dcl.lpszZipFN = zipCopy.data();
        dcl.lpszExtractDir = folderCopy.data();
        dcl.nvflag = folder.empty() && dcl.ntflag == 0 ? 1 : 0;
        USERFUNCTIONS f{};
        f.print = [](char* buffer, unsigned long size) {
            self->printed.emplace_back(buffer, size);
            return 0;
        };
        f.replace = [](char* name) {
            self->replaceAsked.emplace_back(name);
            const std::size_t n = self->replaceAsked.size();
            return n <= self->replaceAnswers.size() ? self->replaceAnswers[n - 1]
                                                    : UNZIP_REPLACE_NO;
        };
        f.password = [](char* buffer, int size, const char*, const char* name) {
            self->passwordAsked.emplace_back(name);
            const std::size_t n = self->passwordAsked.size();
            if (n > self->passwords.size()) {
                return 1;
            }
            std::snprintf(buffer, static_cast<std::size_t>(size), "%s",
                          self->passwords[n - 1].c_str());
            return 0;
        };
        f.SendApplicationMessage = [](std::uint64_t size, std::uint64_t compressed, unsigned factor,
                                      unsigned mo, unsigned dy, unsigned yr, unsigned hh,
                                      unsigned mm, char, const char* name, const char* method,
                                      unsigned long crc, char crypt) {
            self->listed.push_back(
                {name, method, size, compressed, factor, yr, mo, dy, hh, mm, crc, crypt});
        };
        f.ServCallBk = [](const char* name, unsigned long size) {
            self->served.emplace_back(name);
            self->servedSizes.push_back(size);
            return 0;
        };
        std::vector<char*> in, ex;
        for (auto [from, to] : {std::pair{&includes, &in}, std::pair{&excludes, &ex}}) {
            std::transform(from->begin(), from->end(), std::back_inserter(*to),
                           [](std::string& s) { return s.data(); });
        }
        return Wiz_SingleEntryUnzip(static_cast<int>(in.size()), in.data(),
                                    static_cast<int>(ex.size()), ex.data(), &dcl, &f);
    }

    bool Printed(const std::string& text) const {
        return std::any_of(printed.begin(), printed.end(), [&](const std::string& line) {
            return line.find(text) != std::string::npos;
        });
    }
};

}  // namespace tv::test
