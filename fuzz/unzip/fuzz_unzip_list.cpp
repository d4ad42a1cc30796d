// Feeds arbitrary bytes as a package to the unzip library's listing (and testing) path,
// to its layout reader and, as one entry name, to its name decoder. Any crash, hang or sanitizer
// report is a finding.
#include <fcntl.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "archive/unzip/entry_layout.h"
#include "archive/unzip/entry_names.h"
#include "archive/unzip/repair.h"
#include "archive/unzip/unzip.h"

namespace {

std::size_t touched = 0;

int OnPrint(char* buffer, unsigned long size) {
    touched += size > 0 ? static_cast<unsigned char>(buffer[size - 1]) : 0;
    return 0;
}

void OnMessage(std::uint64_t, std::uint64_t, unsigned, unsigned, unsigned, unsigned, unsigned,
               unsigned, char, const char* name, const char* method, unsigned long, char) {
    touched += std::strlen(name) + std::strlen(method);
}

int OnService(const char* name, unsigned long size) {
    touched += std::strlen(name) + 1 == size ? 0 : 1;
    return 0;
}

const std::string& InputPath() {
    static const std::string path = [] {
        const char* dir = std::getenv("TMPDIR");
        return std::string(dir != nullptr ? dir : "/tmp") + "/fuzz-unzip-" +
               std::to_string(getpid()) + ".zip";
    }();
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& path = InputPath();
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) {
        return 0;
    }
    if (write(fd, data, size) != static_cast<ssize_t>(size)) {
        close(fd);
        return 0;
    }
    tv::unzip::ReadEntryLayout(tv::unzip::FdReader(fd), size);
    tv::unzip::PlanRepair(tv::unzip::FdReader(fd), size);
    touched +=
        tv::unzip::DecodeEntryName(std::string_view(reinterpret_cast<const char*>(data), size))
            .size();
    close(fd);

    std::string zip = path;
    char noFolder[] = "";
    USERFUNCTIONS callbacks{};
    callbacks.print = OnPrint;
    callbacks.SendApplicationMessage = OnMessage;
    callbacks.ServCallBk = OnService;
    for (int mode = 0; mode < 2; ++mode) {
        DCL dcl{};
        dcl.nvflag = mode == 0 ? 1 : 0;
        dcl.ntflag = mode == 1 ? 1 : 0;
        dcl.lpszZipFN = zip.data();
        dcl.lpszExtractDir = noFolder;
        Wiz_SingleEntryUnzip(0, nullptr, 0, nullptr, &dcl, &callbacks);
    }
    unlink(path.c_str());
    return 0;
}
