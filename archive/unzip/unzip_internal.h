#pragma once
// Inside the unzip library (not for use outside archive/unzip): one call (Run of
// library.h, or Wiz_SingleEntryUnzip over it) is one Session, and each of its operations lives in a
// file of its own: select.cpp (include and exclude patterns), list.cpp, test.cpp (reading and
// checking an entry's data), extract.cpp (layout and space checks, writing files) and
// password.cpp (opening an entry, asking for its password); unzip.cpp holds the call
// itself.
#include <zip.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "archive/unzip/entry_layout.h"
#include "archive/unzip/file_source.h"
#include "archive/unzip/library.h"
#include "archive/unzip/output_folder.h"
#include "archive/unzip/unzip.h"
#include "platform/fd.h"
#include "platform/wildcard.h"

namespace tv::unzip {

enum Code : int {
    kOk = UZ_OK,
    kWarning = UZ_WARN,
    kEntryError = UZ_ERR_ARCHIVE,
    kBadLayout = UZ_ERR_LAYOUT,
    kNoMemory = UZ_ERR_MEMORY,
    kNotZip = UZ_NOT_ARCHIVE,
    kBadParameter = UZ_BAD_PARAM,
    kNoMatch = UZ_NO_MATCH,
    kUnsafe = UZ_UNSAFE,
    kDiskFull = UZ_DISK_FULL,
    kCancelled = UZ_CANCELLED,
    kUnsupported = UZ_UNSUPPORTED,
    kBadPassword = UZ_BAD_PASSWORD,
};

struct ZipDiscard {
    void operator()(zip_t* za) const noexcept { zip_discard(za); }
};
using ZipHandle = std::unique_ptr<zip_t, ZipDiscard>;

struct ZipFileClose {
    void operator()(zip_file_t* zf) const noexcept { zip_fclose(zf); }
};
using ZipFileHandle = std::unique_ptr<zip_file_t, ZipFileClose>;

std::string ZipErrorText(int zipError);
// What a call's code means, for its status.
const char* CodeText(int code);
bool IsSymlinkEntry(zip_t* za, zip_uint64_t index);
// The compressed size in percent of the size, as listings report it.
unsigned Factor(std::uint64_t size, std::uint64_t compressed);

// One call: what it was asked, what it found, and how its entries fared.
class Session {
  public:
    Session(const Request& request, Listener& listener, Totals& totals)
        : request_(request), options_(request.options), listener_(listener), totals_(totals) {}

    Status Run();
    Status CheckSpace(zip_t* za, zip_int64_t count);

  private:
    enum class Level { kInfo, kWarning };
    enum class Outcome { kDone, kSkipped, kFailed, kNoPassword, kUnsupported, kWarned };

    void Print(Level level, const std::string& text);
    void PreparePatterns();
    // A pick whose place now holds another name (the package changed since it was
    // listed) follows its name to the first entry holding it, as selection by name
    // would; one whose name is gone matches nothing. Never another entry in its stead.
    void ResolvePicks(zip_t* za);
    std::string Key(const std::string& name) const;
    bool Selected(std::uint64_t index, const std::string& name);
    bool Serve(const std::string& name);  // false: the listener stopped the call
    void Tally(Outcome outcome);
    Status FinalCode() const;
    // Prints the line as a warning and returns it as the call's status.
    Status Fail(int code, const std::string& line);

    Status OpenZip(ZipHandle& za);
    ByteReader Reader();  // the package as presented to libzip
    bool TryRepair();     // true when the package now reads repaired
    Status CheckLayout(zip_t* za);
    static std::string EntryName(const zip_stat_t& st);
    bool TooDeep(const std::string& path) const;
    struct Listed;
    void List(zip_t* za, zip_uint64_t index, const zip_stat_t& st, const std::string& name);
    void Report(std::uint64_t index, const Listed& e, const std::string& name);
    // The listing's status; nothing when the directory could not be read here.
    std::optional<Status> ListDirectory();
    Status Finish(bool listing);
    Status OpenFile();
    Outcome Test(zip_t* za, zip_uint64_t index, const zip_stat_t& st, const std::string& name);
    Outcome Extract(zip_t* za, zip_uint64_t index, const zip_stat_t& st, const std::string& name);
    Outcome OpenEntry(zip_t* za, zip_uint64_t index, const zip_stat_t& st, const std::string& name,
                      ZipFileHandle& file);
    // Reads the entry's data to its end (writing it to outFd unless -1), checking its
    // size and CRC.
    Status Copy(ZipFileHandle file, std::uint64_t size, int outFd, const std::string& shown);
    bool MayReplace(const std::string& fullPath);

    const Request& request_;
    const Options& options_;
    Listener& listener_;
    Totals& totals_;
    const std::vector<std::string>& includes_ = request_.includes;
    const std::vector<EntryPick>& picks_ = request_.picks;
    std::vector<bool> includeMatched_, pickMatched_;
    std::unordered_multimap<std::uint64_t, std::size_t> pickAt_;
    std::unordered_multimap<std::string, std::size_t> includePlain_;
    std::vector<std::size_t> includeWild_;
    std::unordered_set<std::string> excludePlain_;
    std::vector<std::string> excludeWild_;
    WildcardOptions matchOptions_ = kEntryNameWildcards;
    std::string zipPath_;
    UniqueFd file_;  // the package, read by libzip through source_
    std::uint64_t fileSize_ = 0;
    std::optional<FileSource> source_;
    bool repaired_ = false;
    std::string rootPath_;
    OutputFolder output_;
    std::string password_;  // the last one that worked in this call
    std::vector<char> buffer_;
    bool replaceAll_ = false;
    bool keepAll_ = false;
    Status stop_;  // set when the call must end (disk full)
    bool matchedAny_ = false;
    int done_ = 0, failed_ = 0, noPassword_ = 0, unsupported_ = 0, warned_ = 0;
};

}  // namespace tv::unzip
