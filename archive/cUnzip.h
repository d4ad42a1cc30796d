#pragma once
// The archive component: one object standing for one ZIP package. It keeps the
// package path, the folder to extract into, the extraction options and the table of
// the package's entries. Directory fills the table through the unzip library; Extract
// takes a set of entry numbers into a folder (Unzip: the selected entries into
// UnzipFolder). While the library works, the component raises its events on the sink
// set with SetEvents.
//
// Promises:
//  - the entry table is indexed from 1 to FileCount(); any other index throws
//    AppError 9 "Subscript out of range" (source ".cUnzip");
//  - folders in entries use "/" (the platform's separator): FileDirectory of
//    img/D00001.tif is "img", of a/b/c.xml "a/b"; "" at the top level;
//  - sizes are 64-bit: FileSize is the uncompressed size, FilePackedSize is
//    size x ratio / 100 truncated toward zero (within one percent of the compressed
//    size), never wrapped;
//  - Directory appends to the table (setting ZipFile empties it) and always returns 0;
//    Extract and Unzip succeed exactly when the library reported success (code 0).
//  - CaseSensitiveFileNames writes the library's "match names ignoring case" option
//    (the program leaves it off; entries are named exactly anyway).
// Single-threaded: the events arrive on the calling thread, inside the call.
#include <cstdint>
#include <string>
#include <vector>

#include "archive/mUnzip.h"
#include "archive/package_entry.h"
#include "archive/unzip/library.h"
#include "platform/error.h"

namespace tv {

// What the main window hears while the library works. Every handler is optional.
class cUnzipEvents {
  public:
    virtual ~cUnzipEvents() = default;
    // The library is about to process the entry sMsg; set bCancel to stop it.
    virtual void Cancel([[maybe_unused]] const std::string& sMsg, [[maybe_unused]] bool& bCancel) {}
    // query.path exists; the answer starts as "keep".
    virtual void OverWritePrompt([[maybe_unused]] unzip::OverwriteQuery& query) {}
    // An encrypted entry needs a password: set query.password and query.given, or
    // leave them for none.
    virtual void PasswordRequest([[maybe_unused]] unzip::PasswordQuery& query) {}
    // One message line of the library; lCount is always 1.
    virtual void Progress([[maybe_unused]] int lCount, [[maybe_unused]] const std::string& sMsg) {}
};

class cUnzip {
  public:
    // The library is not owned; the real one unless a test gives a fake.
    explicit cUnzip(UnzipLibrary& library = OurUnzipLibrary()) : library_(library) {}
    cUnzip(const cUnzip&) = delete;
    cUnzip& operator=(const cUnzip&) = delete;

    // The sink is not owned and may be null (no handlers).
    void SetEvents(cUnzipEvents* sink) { events_ = sink; }

    // Options of the library calls (TestZip: extraction only tests; ConvertCRToCRLF is
    // kept but changes nothing, the text already uses this platform's line ends).
    bool ExtractOnlyNewer() const { return options_.extractOnlyNewer; }
    void SetExtractOnlyNewer(bool value) { options_.extractOnlyNewer = value; }
    bool SpaceToUnderScore() const { return options_.spaceToUnderscore; }
    void SetSpaceToUnderScore(bool value) { options_.spaceToUnderscore = value; }
    bool PromptToOverwrite() const { return options_.promptToOverwrite; }
    void SetPromptToOverwrite(bool value) { options_.promptToOverwrite = value; }
    int MessageLevel() const { return options_.quiet; }
    void SetMessageLevel(int value) { options_.quiet = value; }
    bool TestZip() const { return testZip_; }
    void SetTestZip(bool value) { testZip_ = value; }
    bool UseFolderNames() const { return options_.useFolderNames; }
    void SetUseFolderNames(bool value) { options_.useFolderNames = value; }
    bool OverwriteExisting() const { return options_.overwrite; }
    void SetOverwriteExisting(bool value) { options_.overwrite = value; }
    bool ConvertCRToCRLF() const { return convertCR_; }
    void SetConvertCRToCRLF(bool value) { convertCR_ = value; }
    bool CaseSensitiveFileNames() const { return options_.ignoreCase; }
    void SetCaseSensitiveFileNames(bool value) { options_.ignoreCase = value; }

    // The package path; writing it empties the entry table.
    const std::string& ZipFile() const { return zipFile_; }
    void SetZipFile(const std::string& sZipFile);
    const std::string& UnzipFolder() const { return unzipFolder_; }
    void SetUnzipFolder(const std::string& sFolder) { unzipFolder_ = sFolder; }

    // The entry table, indexed from 1 (Entries()[i - 1] is entry i).
    const std::vector<PackageEntry>& Entries() const { return entries_; }
    int FileCount() const { return static_cast<int>(entries_.size()); }
    const std::string& Filename(int i) const { return At(i).name; }
    const std::string& FileDirectory(int i) const { return At(i).folder; }
    std::int64_t FileSize(int i) const { return At(i).size; }
    std::int64_t FilePackedSize(int i) const;
    std::int32_t FileCompressionRatio(int i) const { return At(i).compressionRatio; }
    EntryDateTime FileDate(int i) const { return At(i).date; }
    std::int32_t FileCRC(int i) const { return At(i).crc; }
    const std::string& FileCompressionMethod(int i) const { return At(i).method; }
    bool FileEncrypted(int i) const { return At(i).encrypted; }
    bool FileSelected(int i) const { return At(i).selected; }
    void SetFileSelected(int i, bool bSelected) { At(i).selected = bSelected; }

    // Lists the package into the entry table (appending); always 0.
    int Directory();
    // Extracts the entries numbered (from 1) in `entries` into `folder`: exactly those
    // entries, or the whole package, folder entries too, when the set holds every
    // entry; nothing, without calling the library, when it is empty. The failure is
    // error 75 naming the package and the folder (9 for a number outside the table).
    Status Extract(const std::vector<int>& entries, const std::string& folder);
    // Extracts the selected entries into UnzipFolder (the whole package when none or
    // all are selected). False without calling the library when ZipFile is empty.
    bool Unzip();

    // Called by the library binding only. A row without a name is not kept.
    void AddEntry(PackageEntry entry);
    void RaiseProgress(const std::string& sMsg);
    void RaiseOverwritePrompt(unzip::OverwriteQuery& query);
    void RaisePasswordRequest(unzip::PasswordQuery& query);
    void RaiseCancel(const std::string& sMsg, bool& bCancel);

  private:
    Status RunExtraction(const std::vector<bool>& taken, const std::string& folder);
    const PackageEntry& At(int i) const;
    PackageEntry& At(int i);

    UnzipLibrary& library_;
    unzip::Options options_;
    bool testZip_ = false;
    bool convertCR_ = false;
    std::string zipFile_;
    std::string unzipFolder_;
    std::vector<PackageEntry> entries_;
    cUnzipEvents* events_ = nullptr;
};

}  // namespace tv
