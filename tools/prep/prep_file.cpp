#include "tools/prep/prep_file.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <random>
#include <system_error>

namespace tv::prep {
namespace sfs = std::filesystem;

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const noexcept { std::fclose(f); }
};
using UniqueFile = std::unique_ptr<std::FILE, FileCloser>;

// A temporary name beside target: hidden, and random so two runs never collide.
std::string TempNameBeside(const std::string& target) {
    const sfs::path p(target);
    std::random_device rd;
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, "%08x", static_cast<unsigned>(rd()));
    return (p.parent_path() / ("." + p.filename().string() + ".tmp" + suffix)).string();
}

}  // namespace

std::optional<std::string> ReadBytes(const std::string& path, std::string* error) {
    std::error_code ec;
    if (!sfs::is_regular_file(path, ec)) {
        *error = "cannot read " + path + ": not an existing file";
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    std::string bytes;
    if (in) {
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    if (!in || in.bad()) {
        *error = "cannot read " + path;
        return std::nullopt;
    }
    return bytes;
}

bool ReplaceFile(const std::string& target, const std::string& bytes, std::string* error,
                 const std::string& keepPermissionsOf) {
    std::string temp;
    UniqueFile out;
    // "x" creates exclusively, so an existing file or link of that name is never reused.
    for (int attempt = 0; attempt < 8 && !out; ++attempt) {
        temp = TempNameBeside(target);
        out.reset(std::fopen(temp.c_str(), "wbx"));
    }
    if (!out) {
        *error = "cannot create a temporary file beside " + target;
        return false;
    }
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), out.get()) == bytes.size();
    ok = std::fflush(out.get()) == 0 && ok;
    ok = std::fclose(out.release()) == 0 && ok;
    std::error_code ec;
    if (ok && !keepPermissionsOf.empty()) {
        const auto st = sfs::status(keepPermissionsOf, ec);
        if (!ec) {
            sfs::permissions(temp, st.permissions(), ec);
        }
        ok = !ec;
    }
    if (ok) {
        sfs::rename(temp, target, ec);
        ok = !ec;
    }
    if (!ok) {
        *error = "cannot write " + target + (ec ? ": " + ec.message() : std::string());
        sfs::remove(temp, ec);
    }
    return ok;
}

std::string AbsolutePath(const std::string& path) {
    std::error_code ec;
    sfs::path abs = sfs::absolute(path, ec);
    return (ec ? sfs::path(path) : abs).lexically_normal().string();
}

std::string FileUrl(const std::string& absolutePath) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string url = "file://";
    for (unsigned char c : absolutePath) {
        if (c <= ' ' || c >= 0x7f || c == '%' || c == '#' || c == '?' || c == '"' || c == '\'' ||
            c == '&' || c == '<' || c == '>') {
            url += '%';
            url += kHex[c >> 4];
            url += kHex[c & 15];
        } else {
            url += static_cast<char>(c);
        }
    }
    return url;
}

void Complain(const char* tool, const std::string& message) {
    std::cerr << tool << ": " << message << '\n';
}

}  // namespace tv::prep
