#pragma once
// The binding to our unzip library (platform/unzip/unzip.h), the only code that calls
// it. RunLibraryUnzip hands the library a component's option record and name lists;
// the five callbacks turn what the library reports into text and forward it to the
// component that made the call (CurrentUnzip), which raises it as its events.
//
// Promises: every callback swallows its own errors (an exception from an event handler
// never reaches the library) and gives the library the answer described below. Names
// use "/" as the folder separator (the platform's); a "\" the library might pass is
// turned into "/". One library call at a time: CurrentUnzip and PasswordCancelled are
// process-wide.
#include <cstdint>
#include <string>
#include <vector>

namespace tv {

class cUnzip;

// The library's option record as the component keeps it: the same fields in the same
// order, the two strings owned. All zero (empty) when created.
struct UnzipOptionRecord {
    int ExtractOnlyNewer = 0;
    int SpaceToUnderscore = 0;
    int PromptToOverwrite = 0;
    int fQuiet = 0;
    int ncflag = 0;
    int ntflag = 0;
    int nvflag = 0;
    int nfflag = 0;
    int nzflag = 0;
    int ndflag = 0;
    int noflag = 0;
    int naflag = 0;
    int nZIflag = 0;
    int C_flag = 0;
    int fPrivilege = 0;
    std::string lpszZipFN;
    std::string lpszExtractDir;
};

namespace mUnzip {

// The component the current (or last) library call serves; cleared when that
// component is destroyed.
extern cUnzip* CurrentUnzip;
// True once a password request in the current call got no password; later requests
// in the same call are refused without asking.
extern bool PasswordCancelled;

// Runs the library for oUnzip with its record tDCL and the first lIncludeCount /
// lExcludeCount names of the lists (fewer when a list is shorter; any length works).
// The record's number fields are copied back afterwards. Returns the library's code.
int RunLibraryUnzip(cUnzip& oUnzip, UnzipOptionRecord& tDCL, long lIncludeCount,
                    const std::vector<std::string>& sIncludeNames, long lExcludeCount,
                    const std::vector<std::string>& sExcludeNames);

// Splits an entry name (text up to its first NUL) at its last separator: "a/b/c.xml"
// gives the folder "a/b" and the name "c.xml"; without a separator the folder is "".
void SplitEntryName(const char* sBuffer, std::string& sName, std::string& sFolder);

// Library messages of 2 to 31999 bytes become the component's Progress; returns 0.
int UnzipPrintCallback(char* sBuffer, unsigned long lSize);
// Asks the component's OverWritePrompt; the answer starts as 100 (keep the file).
int UnzipReplaceCallback(char* sFileName);
// Asks the component's PasswordRequest unless a request of this call was refused.
// The trimmed password is copied into the buffer, at most lSize - 1 bytes, and
// terminated; returns 0 then, else 1.
int UnzipPasswordCallback(char* sBuffer, int lSize, const char* sPrompt, const char* sName);
// One listed entry: becomes one AddEntry with the uncompressed size (the first value),
// the date (a two-digit year read in 1930-2029) at the minute, the CRC, the encrypted
// flag (bit 0x40 of fCrypt), the factor's low 16 bits (signed) and the method name.
void UnzipMessageCallback(std::uint64_t ucsize, std::uint64_t csize, unsigned cfactor, unsigned mo,
                          unsigned dy, unsigned yr, unsigned hh, unsigned mm, char c,
                          const char* filename, const char* methbuf, unsigned long crc,
                          char fCrypt);
// The entry being processed (lSize bytes of name, 2 to 31999) becomes the component's
// Cancel event; returns 1 when a handler set the flag (stop), else 0.
int UnzipServiceCallback(const char* sName, unsigned long lSize);

}  // namespace mUnzip
}  // namespace tv
