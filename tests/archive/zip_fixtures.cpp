#include "tests/archive/zip_fixtures.h"

#include <zip.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>

namespace tv::test {
namespace {

void Put16(std::string& out, std::uint32_t v) {
    out.push_back(static_cast<char>(v & 0xff));
    out.push_back(static_cast<char>((v >> 8) & 0xff));
}
void Put32(std::string& out, std::uint32_t v) {
    Put16(out, v & 0xffff);
    Put16(out, v >> 16);
}
void Set32(std::string& s, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        s[at + i] = static_cast<char>((v >> (8 * i)) & 0xff);
    }
}

struct ZipDiscard {
    void operator()(zip_t* za) const { zip_discard(za); }
};

}  // namespace

TempFolder::TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tessel-archive-XXXXXX");
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    if (mkdtemp(buf.data()) == nullptr) {
        throw std::runtime_error("mkdtemp failed");
    }
    path_ = buf.data();
}

TempFolder::~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

std::uint32_t Crc32(const std::string& data) {
    static const auto table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t c = i;
            for (int k = 0; k < 8; ++k) {
                c = (c & 1) ? 0xedb88320u ^ (c >> 1) : c >> 1;
            }
            t[i] = c;
        }
        return t;
    }();
    std::uint32_t crc = 0xffffffffu;
    for (unsigned char ch : data) {
        crc = table[(crc ^ ch) & 0xff] ^ (crc >> 8);
    }
    return crc ^ 0xffffffffu;
}

void WriteZip(const std::string& path, const std::vector<ZipItem>& items) {
    int error = 0;
    std::unique_ptr<zip_t, ZipDiscard> za(
        zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error));
    if (!za) {
        throw std::runtime_error("zip_open failed for " + path);
    }
    for (const ZipItem& item : items) {
        zip_int64_t index = -1;
        if (!item.name.empty() && item.name.back() == '/') {
            index = zip_dir_add(za.get(), item.name.c_str(), ZIP_FL_ENC_GUESS);
        } else {
            zip_source_t* src = zip_source_buffer(za.get(), item.data.data(), item.data.size(), 0);
            index = src ? zip_file_add(za.get(), item.name.c_str(), src, ZIP_FL_ENC_GUESS) : -1;
            if (index < 0) {
                zip_source_free(src);
            }
        }
        if (index < 0) {
            throw std::runtime_error(std::string("cannot add ") + item.name + ": " +
                                     zip_strerror(za.get()));
        }
        const auto i = static_cast<zip_uint64_t>(index);
        if (item.store) {
            zip_set_file_compression(za.get(), i, ZIP_CM_STORE, 0);
        }
        if (item.mtime != 0) {
            zip_file_set_mtime(za.get(), i, item.mtime, 0);
        }
        if (item.encryption != 0) {
            zip_file_set_encryption(za.get(), i, item.encryption, item.password.c_str());
        }
        if (item.unixMode) {
            zip_file_set_external_attributes(za.get(), i, 0, ZIP_OPSYS_UNIX, *item.unixMode << 16);
        }
    }
    // The buffers live in items until the archive is written here.
    if (zip_close(za.get()) != 0) {
        throw std::runtime_error(std::string("zip_close failed: ") + zip_strerror(za.get()));
    }
    za.release();
}

std::string RawZip(const std::vector<RawItem>& items) {
    std::string out;
    std::vector<std::uint32_t> offsets;
    for (const RawItem& item : items) {
        if (item.sharesDataOf) {
            offsets.push_back(offsets.at(*item.sharesDataOf));
            continue;
        }
        offsets.push_back(static_cast<std::uint32_t>(out.size()));
        Put32(out, 0x04034b50);
        Put16(out, 20);
        Put16(out, item.utf8Flag ? 0x0800 : 0);
        Put16(out, 0);       // stored
        Put16(out, 0x6000);  // 12:00
        Put16(out, 0x5a25);  // 2025-01-05
        Put32(out, item.crc.value_or(Crc32(item.data)));
        Put32(out, static_cast<std::uint32_t>(item.data.size()));
        Put32(out, static_cast<std::uint32_t>(item.data.size()));
        Put16(out, static_cast<std::uint32_t>(item.name.size()));
        Put16(out, 0);
        out += item.name;
        out += item.data;
    }
    const auto cdStart = static_cast<std::uint32_t>(out.size());
    for (std::size_t i = 0; i < items.size(); ++i) {
        const RawItem& item = items[i];
        const RawItem& owner = item.sharesDataOf ? items[*item.sharesDataOf] : item;
        Put32(out, 0x02014b50);
        Put16(out, 0x0314);  // made by Unix
        Put16(out, 20);
        Put16(out, owner.utf8Flag ? 0x0800 : 0);
        Put16(out, 0);
        Put16(out, 0x6000);
        Put16(out, 0x5a25);
        Put32(out, owner.crc.value_or(Crc32(owner.data)));
        Put32(out, static_cast<std::uint32_t>(owner.data.size()));
        Put32(out, static_cast<std::uint32_t>(owner.data.size()));
        Put16(out, static_cast<std::uint32_t>(item.name.size()));
        Put16(out, 0);
        Put16(out, 0);
        Put16(out, 0);
        Put16(out, 0);
        Put32(out, 0100644u << 16);
        Put32(out, offsets[i]);
        out += item.name;
    }
    const auto cdSize = static_cast<std::uint32_t>(out.size()) - cdStart;
    Put32(out, 0x06054b50);
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, static_cast<std::uint32_t>(items.size()));
    Put16(out, static_cast<std::uint32_t>(items.size()));
    Put32(out, cdSize);
    Put32(out, cdStart);
    Put16(out, 0);
    return out;
}

void PatchSingleEntry(const std::string& path, std::optional<std::uint32_t> crc,
                      std::optional<std::uint32_t> size) {
    std::string bytes = ReadFile(path);
    const std::size_t central = bytes.rfind(std::string("PK\1\2", 4));
    if (bytes.compare(0, 4, std::string("PK\3\4", 4)) != 0 || central == std::string::npos) {
        throw std::runtime_error("not a single-entry package: " + path);
    }
    if (crc) {
        Set32(bytes, 14, *crc);
        Set32(bytes, central + 16, *crc);
    }
    if (size) {
        Set32(bytes, 22, *size);
        Set32(bytes, central + 24, *size);
    }
    WriteFile(path, bytes);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteFile(const std::string& path, const std::string& data) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << data;
    if (!out) {
        throw std::runtime_error("cannot write " + path);
    }
}

std::vector<std::string> TreeOf(const std::string& root) {
    std::vector<std::string> paths;
    for (auto it = std::filesystem::recursive_directory_iterator(root);
         it != std::filesystem::recursive_directory_iterator(); ++it) {
        paths.push_back(std::filesystem::relative(it->path(), root).generic_string());
    }
    std::sort(paths.begin(), paths.end());
    return paths;
}

}  // namespace tv::test
