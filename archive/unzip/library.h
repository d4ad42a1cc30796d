#pragma once
// The unzip library's typed face, for C++ callers: one Run per listing, test or
// extraction, what it finds and asks reported to a Listener on the calling thread. The
// C interface of unzip.h is a thin adaptor over it, so both faces behave alike (see
// unzip.h for the names, messages, tolerance and safety rules they share).
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/error.h"

namespace tv::unzip {

enum class Job { kExtract, kList, kTest, kComment };

// The answer to "an existing file would be replaced".
enum class OverwriteAnswer { kKeep, kReplace, kReplaceAll, kKeepAll };

struct OverwriteQuery {
    std::string path;  // the file that exists
    OverwriteAnswer answer = OverwriteAnswer::kKeep;
};

// An encrypted entry needs a password. Leave `given` false for none; the call then
// skips the entry (asked at most three times an entry; a password that worked is tried
// first for later entries).
struct PasswordQuery {
    std::string entry;
    std::string password;
    bool given = false;
};

// One file entry of a listing (folder entries are not listed).
struct ListedEntry {
    std::uint64_t index = 0;  // the entry's place in the archive's directory, from 0
    std::string name{};       // the whole name, "/" between folders
    std::uint64_t size = 0, compressed = 0;
    unsigned factor = 0;  // compressed size in percent of size, rounded, at most 32767
    int year = 1980, month = 1, day = 1, hour = 0, minute = 0;
    bool symlink = false, encrypted = false;
    std::string method{};  // "Stored", "Deflated", ...
    std::uint32_t crc = 0;
};

// Names one listed entry exactly. It is taken only when the archive still holds that
// name at that place; otherwise it counts as an include pattern that matched nothing.
struct EntryPick {
    std::uint64_t index = 0;
    std::string name;
};

struct Options {
    bool extractOnlyNewer = false;   // only when the file is missing or older
    bool freshen = false;            // only replace files that exist and are older
    bool spaceToUnderscore = false;  // write spaces in names as "_"
    bool promptToOverwrite = false;  // ask before replacing a file
    bool overwrite = false;          // replace without asking
    bool useFolderNames = false;     // keep the entries' folders
    bool ignoreCase = false;         // match patterns ignoring case
    int quiet = 0;                   // message level: 0 all, 1 problems only, 2 none
};

struct Request {
    Job job = Job::kExtract;
    std::string package;
    std::string folder;  // extraction folder, created when missing
    Options options;
    // Entries are selected by picks when there are any, else by the include patterns
    // (all entries when there are none), less those matching an exclude pattern.
    std::vector<EntryPick> picks;
    std::vector<std::string> includes, excludes;
};

// What a listing counts (of the listed entries).
struct Totals {
    std::uint64_t size = 0, compressed = 0;
    unsigned factor = 0;
    unsigned long count = 0;
    unsigned commentLength = 0;
};

class Listener {
  public:
    virtual ~Listener() = default;
    virtual void Message([[maybe_unused]] const std::string& line) {}
    virtual void Listed([[maybe_unused]] const ListedEntry& entry) {}
    // Called before each selected entry is processed; false stops the call.
    virtual bool Proceed([[maybe_unused]] const std::string& name) { return true; }
    virtual void Ask([[maybe_unused]] OverwriteQuery& query) {}
    virtual void Ask([[maybe_unused]] PasswordQuery& query) {}
};

// Runs one call. The status number is the call's code (the UZ_* numbers of unzip.h,
// 0 = success), its source "unzip" and its description says what the code means. A
// listener that throws ends the call with UZ_ERR_ARCHIVE; nothing else is thrown.
Status Run(const Request& request, Listener& listener, Totals* totals = nullptr);

}  // namespace tv::unzip
