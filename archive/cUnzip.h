#pragma once
// The archive component: one object standing for one ZIP package. It keeps the
// package path, the folder to extract into, the extraction options (the library's
// option record) and the table of the package's entries. Directory fills the table
// through the unzip library; Unzip extracts the selected entries. While the library
// works, the component raises its events on the sink set with SetEvents.
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
//    Unzip returns true exactly when the library reported success (code 0).
//  - CaseSensitiveFileNames writes the record's C_flag, whose library meaning is
//    "match names ignoring case"; the program leaves it 0 (names match exactly).
// Single-threaded; one library call at a time (see archive/mUnzip.h).
#include <cstdint>
#include <string>
#include <vector>

#include "archive/mUnzip.h"
#include "archive/package_entry.h"

namespace tv {

// What the main window hears while the library works. Every handler is optional.
class cUnzipEvents {
  public:
    virtual ~cUnzipEvents() = default;
    // The library is about to process the entry sMsg; set bCancel to stop it.
    virtual void Cancel([[maybe_unused]] const std::string& sMsg, [[maybe_unused]] bool& bCancel) {}
    // sFile exists; eResponse (starts 100 = keep) may become 102 replace, 103 replace
    // all, 104 keep all.
    virtual void OverWritePrompt([[maybe_unused]] const std::string& sFile,
                                 [[maybe_unused]] int& eResponse) {}
    // An encrypted entry needs a password; leave it empty or set bCancel for none.
    virtual void PasswordRequest([[maybe_unused]] std::string& sPassword,
                                 [[maybe_unused]] bool& bCancel) {}
    // One message line of the library; lCount is always 1.
    virtual void Progress([[maybe_unused]] int lCount, [[maybe_unused]] const std::string& sMsg) {}
};

class cUnzip {
  public:
    cUnzip() = default;
    ~cUnzip();
    cUnzip(const cUnzip&) = delete;
    cUnzip& operator=(const cUnzip&) = delete;

    // The sink is not owned and may be null (no handlers).
    void SetEvents(cUnzipEvents* sink) { events_ = sink; }

    // Options: each reads and writes one field of the option record (booleans stored
    // as 1 or 0, true when not 0; the message level unchanged).
    bool ExtractOnlyNewer() const { return options_.ExtractOnlyNewer != 0; }
    void SetExtractOnlyNewer(bool value) { options_.ExtractOnlyNewer = value ? 1 : 0; }
    bool SpaceToUnderScore() const { return options_.SpaceToUnderscore != 0; }
    void SetSpaceToUnderScore(bool value) { options_.SpaceToUnderscore = value ? 1 : 0; }
    bool PromptToOverwrite() const { return options_.PromptToOverwrite != 0; }
    void SetPromptToOverwrite(bool value) { options_.PromptToOverwrite = value ? 1 : 0; }
    int MessageLevel() const { return options_.fQuiet; }
    void SetMessageLevel(int value) { options_.fQuiet = value; }
    bool TestZip() const { return options_.ntflag != 0; }
    void SetTestZip(bool value) { options_.ntflag = value ? 1 : 0; }
    bool UseFolderNames() const { return options_.ndflag != 0; }
    void SetUseFolderNames(bool value) { options_.ndflag = value ? 1 : 0; }
    bool OverwriteExisting() const { return options_.noflag != 0; }
    void SetOverwriteExisting(bool value) { options_.noflag = value ? 1 : 0; }
    bool ConvertCRToCRLF() const { return options_.naflag != 0; }
    void SetConvertCRToCRLF(bool value) { options_.naflag = value ? 1 : 0; }
    bool CaseSensitiveFileNames() const { return options_.C_flag != 0; }
    void SetCaseSensitiveFileNames(bool value) { options_.C_flag = value ? 1 : 0; }

    // The package path; writing it empties the entry table.
    const std::string& ZipFile() const { return zipFile_; }
    void SetZipFile(const std::string& sZipFile);
    const std::string& UnzipFolder() const { return unzipFolder_; }
    void SetUnzipFolder(const std::string& sFolder) { unzipFolder_ = sFolder; }

    // The entry table, indexed from 1.
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
    // Extracts the selected entries into UnzipFolder (every entry when all are
    // selected). False without calling the library when ZipFile is empty.
    bool Unzip();

    // Called by the library binding only.
    void AddEntry(const std::string& sName, const std::string& sFolder, const EntryDateTime& dDate,
                  std::int64_t lSize, std::int32_t lCRC, bool bEncrypted, std::int32_t lRatio,
                  const std::string& sMethod);
    void RaiseProgress(const std::string& sMsg);
    void RaiseOverwritePrompt(const std::string& sFile, int& eResponse);
    void RaisePasswordRequest(std::string& sPassword, bool& bCancel);
    void RaiseCancel(const std::string& sMsg, bool& bCancel);

  private:
    const PackageEntry& At(int i) const;
    PackageEntry& At(int i);

    UnzipOptionRecord options_;
    std::string zipFile_;
    std::string unzipFolder_;
    std::vector<PackageEntry> entries_;
    cUnzipEvents* events_ = nullptr;
};

}  // namespace tv
