#pragma once
// What the package listing shows and what it records, decided without widgets:
// one row per entry in entry order (key "File" + number), the encrypted marker, the
// icon key, and the entry numbers of the main document and the sequence listing.
#include <cstdint>
#include <string>
#include <vector>

#include "archive/package_entry.h"

namespace tv {

class cUnzip;

struct ListingRow {
    std::string key;         // "File1", "File2", ...
    std::string listedName;  // the name, with "+" when the entry is encrypted
    std::string fileName;    // the name as the package holds it (for the icon)
    int64_t size = 0;
    EntryDateTime date;
    int64_t packed = 0;
    std::string folder;
};

struct PackageListing {
    std::vector<ListingRow> rows;
    // The two document entries of render::ClassifyPackage (0 when none).
    int MainDocEntry = 0;
    int SeqListEntry = 0;
};

PackageListing BuildPackageListing(const cUnzip& unzip);

// The icon key of a file name: its extension with the dot, upper case (".XML");
// empty for no extension and for ".EXE", which take the default icon.
std::string IconExtensionKey(const std::string& fileName);

}  // namespace tv
