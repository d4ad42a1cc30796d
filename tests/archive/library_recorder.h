#pragma once
// Calls the unzip library directly and records what its callbacks received (C
// callbacks carry no context, so one recorder is active at a time).
#include <string>
#include <vector>

#include "platform/unzip/unzip.h"

namespace tv::test {

struct ListedEntry {
    std::uint64_t size, compressed;
    unsigned factor, month, day, year, hour, minute;
    char flag;
    std::string name, method;
    unsigned long crc;
    char crypt;
};

struct LibraryRun {
    // Inputs
    DCL dcl{};
    std::vector<std::string> includes, excludes;
    std::vector<std::string> passwords;  // answers, in turn; then "no password"
    std::vector<int> replaceAnswers;     // answers, in turn; then 100
    int cancelAt = 0;                    // service call (1-based) that answers 1
    // Outputs
    int code = -1;
    std::vector<std::string> printed;
    std::vector<ListedEntry> listed;
    std::vector<std::string> replaceAsked, passwordAsked, served;
    std::vector<unsigned long> servedSizes;
    USERFUNCTIONS functions{};

    // Runs the library on zip (listing when extractDir is empty) with the inputs above.
    int Run(const std::string& zip, const std::string& extractDir = "");
    bool PrintedContains(const std::string& text) const;
};

}  // namespace tv::test
