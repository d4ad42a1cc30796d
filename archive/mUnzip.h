#pragma once
// The binding to our unzip library (archive/unzip/library.h), the only code that calls
// it. RunLibraryUnzip makes one library call for a component; what the library reports
// is turned into the component's entries and events. Everything a call needs (the
// component, whether a password was refused) lives in that call, so components and
// calls are independent.
//
// Promises: an exception from an event handler never reaches the library (the handler
// counts as not answering). Names use "/" as the folder separator; a "\" is turned
// into "/".
#include <string>

#include "archive/package_entry.h"
#include "archive/unzip/library.h"
#include "platform/error.h"

namespace tv {

class cUnzip;

// The library as the component sees it; tests put a fake in its place.
class UnzipLibrary {
  public:
    virtual ~UnzipLibrary() = default;
    virtual Status Run(const unzip::Request& request, unzip::Listener& listener) = 0;
};

// The real library.
UnzipLibrary& OurUnzipLibrary();

namespace mUnzip {

// One call for oUnzip. Library messages of 2 to 31999 bytes become its Progress, each
// entry about to be processed its Cancel (a set flag stops the call), listed entries
// its rows (AddEntry), and questions its OverWritePrompt and PasswordRequest. A request
// that got no password (empty after trimming spaces, or not given) is not asked again
// in the same call. Returns the library's status.
Status RunLibraryUnzip(cUnzip& oUnzip, UnzipLibrary& library, const unzip::Request& request);

// Splits an entry name at its last separator: "a/b/c.xml" gives the folder "a/b" and
// the name "c.xml"; without a separator the folder is "".
void SplitEntryName(const std::string& sBuffer, std::string& sName, std::string& sFolder);

// A listed entry as a row: the uncompressed size, the date (a two-digit year read in
// 1930-2029) at the minute, the CRC's bit pattern, the factor's low 16 bits (signed).
PackageEntry EntryOf(const unzip::ListedEntry& listed);

}  // namespace mUnzip
}  // namespace tv
