#include "tests/archive/zip_fixtures.h"

#include <zip.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace tv::test {
namespace {

void Put(std::string& out, std::uint64_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<char>((v >> (8 * i)) & 0xff));
    }
}

void Set32(std::string& s, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        s[at + i] = static_cast<char>((v >> (8 * i)) & 0xff);
    }
}

LibraryRun* active = nullptr;
std::size_t nextPassword = 0, nextReplace = 0;

int OnPrint(char* buffer, unsigned long size) {
    active->printed.emplace_back(buffer, size);
    return 0;
}
int OnReplace(char* name) {
    active->replaceAsked.emplace_back(name);
    const auto& answers = active->replaceAnswers;
    return nextReplace < answers.size() ? answers[nextReplace++] : UNZIP_REPLACE_NO;
}
int OnPassword(char* buffer, int size, const char*, const char* name) {
    active->passwordAsked.emplace_back(name);
    if (nextPassword >= active->passwords.size()) {
        return 1;
    }
    std::strncpy(buffer, active->passwords[nextPassword++].c_str(), size - 1);
    return 0;
}
void OnEntry(std::uint64_t size, std::uint64_t compressed, unsigned factor, unsigned mo,
             unsigned dy, unsigned yr, unsigned hh, unsigned mm, char, const char* name,
             const char* method, unsigned long crc, char crypt) {
    active->listed.push_back(
        {name, method, size, compressed, factor, yr, mo, dy, hh, mm, crc, crypt});
}
int OnService(const char* name, unsigned long size) {
    active->served.emplace_back(name);
    active->servedSizes.push_back(size);
    return 0;
}

}  // namespace

TempFolder::TempFolder() {
    std::string pattern = std::filesystem::temp_directory_path() / "tessel-archive-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("mkdtemp failed");
    }
    path_ = pattern;
}

TempFolder::~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

void WriteZip(const std::string& path, const std::vector<ZipItem>& items) {
    int error = 0;
    zip_t* za = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (za == nullptr) {
        throw std::runtime_error("zip_open failed for " + path);
    }
    for (const ZipItem& item : items) {
        zip_int64_t i = -1;
        if (item.name.back() == '/') {
            i = zip_dir_add(za, item.name.c_str(), 0);
        } else if (zip_source_t* src =
                       zip_source_buffer(za, item.data.data(), item.data.size(), 0)) {
            i = zip_file_add(za, item.name.c_str(), src, 0);
            if (i < 0) {
                zip_source_free(src);
            }
        }
        const bool ok =
            i >= 0 && (!item.store || zip_set_file_compression(za, i, ZIP_CM_STORE, 0) == 0) &&
            (item.mtime == 0 || zip_file_set_mtime(za, i, item.mtime, 0) == 0) &&
            (item.encryption == 0 ||
             zip_file_set_encryption(za, i, item.encryption, item.password.c_str()) == 0) &&
            (!item.unixMode ||
             zip_file_set_external_attributes(za, i, 0, ZIP_OPSYS_UNIX, *item.unixMode << 16) == 0);
        if (!ok) {
            const std::string why = zip_strerror(za);
            zip_discard(za);
            throw std::runtime_error("cannot add " + item.name + ": " + why);
        }
    }
    if (zip_close(za) != 0) {  // the item buffers are read here
        const std::string why = zip_strerror(za);
        zip_discard(za);
        throw std::runtime_error("zip_close failed: " + why);
    }
}

std::string RawZip(const std::vector<RawItem>& items) {
    std::string out, central;
    std::vector<std::uint32_t> offsets;
    for (const RawItem& item : items) {
        const RawItem& owner = item.shares ? items.at(*item.shares) : item;
        // Fields common to both headers: version, flags, method, time, date, CRC, sizes,
        // name length.
        std::string common;
        Put(common, 20, 2);
        Put(common, owner.utf8 ? 0x0800 : 0, 2);
        Put(common, 0, 2);
        Put(common, 0x6000, 2);
        Put(common, 0x5a25, 2);
        Put(common, owner.crc.value_or(Crc32(owner.data)), 4);
        Put(common, static_cast<std::uint32_t>(owner.data.size()), 4);
        Put(common, static_cast<std::uint32_t>(owner.data.size()), 4);
        Put(common, static_cast<std::uint32_t>(item.name.size()), 2);
        offsets.push_back(item.shares ? offsets.at(*item.shares) : out.size());
        if (!item.shares) {
            Put(out, 0x04034b50, 4);
            out += common;
            Put(out, 0, 2);
            out += item.name + item.data;
        }
        Put(central, 0x02014b50, 4);
        Put(central, 0x0314, 2);  // made by Unix
        central += common;
        Put(central, 0, 8);  // extra, comment, disk, internal attributes
        Put(central, 0100644u << 16, 4);
        Put(central, offsets.back(), 4);
        central += item.name;
    }
    const auto start = static_cast<std::uint32_t>(out.size());
    out += central;
    Put(out, 0x06054b50, 4);
    Put(out, 0, 4);
    Put(out, static_cast<std::uint32_t>(items.size()), 2);
    Put(out, static_cast<std::uint32_t>(items.size()), 2);
    Put(out, static_cast<std::uint32_t>(central.size()), 4);
    Put(out, start, 4);
    Put(out, 0, 2);
    return out;
}

void PatchSingleEntry(const std::string& path, std::optional<std::uint32_t> crc,
                      std::optional<std::uint32_t> size) {
    std::string bytes = ReadFile(path);
    const std::size_t central = bytes.rfind(std::string("PK\1\2", 4));
    if (central == std::string::npos) {
        throw std::runtime_error("no directory in " + path);
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

std::uint32_t Crc32(const std::string& data) {
    return static_cast<std::uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
}

std::string ReadFile(const std::string& path) {
    std::ostringstream s;
    s << std::ifstream(path, std::ios::binary).rdbuf();
    return s.str();
}

void WriteFile(const std::string& path, const std::string& data) {
    if (!(std::ofstream(path, std::ios::binary) << data)) {
        throw std::runtime_error("cannot write " + path);
    }
}

std::vector<std::string> TreeOf(const std::string& root) {
    std::vector<std::string> paths;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        paths.push_back(std::filesystem::relative(entry.path(), root).generic_string());
    }
    std::sort(paths.begin(), paths.end());
    return paths;
}

int LibraryRun::Run(const std::string& zip, const std::string& folder) {
    active = this;
    nextPassword = nextReplace = 0;
    std::string zipCopy = zip, folderCopy = folder;
    dcl.lpszZipFN = zipCopy.data();
    dcl.lpszExtractDir = folderCopy.data();
    dcl.nvflag = folder.empty() && dcl.ntflag == 0 ? 1 : 0;
    USERFUNCTIONS functions{};
    functions.print = OnPrint;
    functions.replace = OnReplace;
    functions.password = OnPassword;
    functions.SendApplicationMessage = OnEntry;
    functions.ServCallBk = OnService;
    std::vector<char*> in, ex;
    for (std::string& s : includes) {
        in.push_back(s.data());
    }
    for (std::string& s : excludes) {
        ex.push_back(s.data());
    }
    const int code = Wiz_SingleEntryUnzip(static_cast<int>(in.size()), in.data(),
                                          static_cast<int>(ex.size()), ex.data(), &dcl, &functions);
    active = nullptr;
    return code;
}

bool LibraryRun::Printed(const std::string& text) const {
    return std::any_of(printed.begin(), printed.end(), [&](const std::string& line) {
        return line.find(text) != std::string::npos;
    });
}

}  // namespace tv::test
