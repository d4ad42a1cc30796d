#include "tests/archive/library_recorder.h"

#include <cstring>

namespace tv::test {
namespace {

LibraryRun* active = nullptr;
std::size_t nextPassword = 0, nextReplace = 0;

int OnPrint(char* buffer, unsigned long size) {
    active->printed.emplace_back(buffer, size);
    return 0;
}

int OnReplace(char* name) {
    active->replaceAsked.emplace_back(name);
    return nextReplace < active->replaceAnswers.size() ? active->replaceAnswers[nextReplace++]
                                                       : UNZIP_REPLACE_NO;
}

int OnPassword(char* buffer, int size, const char*, const char* name) {
    active->passwordAsked.emplace_back(name);
    if (nextPassword >= active->passwords.size()) {
        return 1;
    }
    std::strncpy(buffer, active->passwords[nextPassword++].c_str(), size - 1);
    return 0;
}

void OnMessage(std::uint64_t size, std::uint64_t compressed, unsigned factor, unsigned month,
               unsigned day, unsigned year, unsigned hour, unsigned minute, char flag,
               const char* name, const char* method, unsigned long crc, char crypt) {
    active->listed.push_back(
        {size, compressed, factor, month, day, year, hour, minute, flag, name, method, crc, crypt});
}

int OnService(const char* name, unsigned long size) {
    active->served.emplace_back(name);
    active->servedSizes.push_back(size);
    return static_cast<int>(active->served.size()) == active->cancelAt ? 1 : 0;
}

std::vector<char*> Table(std::vector<std::string>& names) {
    std::vector<char*> table;
    for (std::string& n : names) {
        table.push_back(n.data());
    }
    table.push_back(nullptr);
    return table;
}

}  // namespace

int LibraryRun::Run(const std::string& zip, const std::string& extractDir) {
    active = this;
    nextPassword = nextReplace = 0;
    std::string zipCopy = zip, dirCopy = extractDir;
    dcl.lpszZipFN = zipCopy.data();
    dcl.lpszExtractDir = dirCopy.data();
    if (extractDir.empty() && dcl.ntflag == 0) {
        dcl.nvflag = 1;
    }
    functions = {};
    functions.print = OnPrint;
    functions.replace = OnReplace;
    functions.password = OnPassword;
    functions.SendApplicationMessage = OnMessage;
    functions.ServCallBk = OnService;
    auto in = Table(includes);
    auto ex = Table(excludes);
    code = Wiz_SingleEntryUnzip(static_cast<int>(includes.size()), in.data(),
                                static_cast<int>(excludes.size()), ex.data(), &dcl, &functions);
    active = nullptr;
    return code;
}

bool LibraryRun::PrintedContains(const std::string& text) const {
    for (const std::string& line : printed) {
        if (line.find(text) != std::string::npos) {
            return true;
        }
    }
    return false;
}

}  // namespace tv::test
