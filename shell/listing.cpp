#include "shell/listing.h"

#include "archive/cUnzip.h"
#include "platform/strings.h"
#include "render/documents.h"

namespace tv {

PackageListing BuildPackageListing(const cUnzip& unzip) {
    PackageListing listing;
    const int count = unzip.FileCount();
    listing.rows.reserve(static_cast<std::size_t>(count));
    for (int i = 1; i <= count; ++i) {
        ListingRow row;
        row.key = "File" + std::to_string(i);
        row.fileName = unzip.Filename(i);
        row.listedName = row.fileName + (unzip.FileEncrypted(i) ? "+" : "");
        row.size = unzip.FileSize(i);
        row.date = unzip.FileDate(i);
        row.packed = unzip.FilePackedSize(i);
        row.folder = unzip.FileDirectory(i);
        listing.rows.push_back(std::move(row));
    }
    // The listed names decide, as rendering reads them, so an encrypted entry
    // ("a.xml+") never counts.
    std::vector<std::string> names;
    names.reserve(listing.rows.size());
    for (const ListingRow& row : listing.rows) {
        names.push_back(row.listedName);
    }
    const render::PackageDocuments docs = render::ClassifyPackage(names);
    listing.MainDocEntry = docs.mainDocEntry;
    listing.SeqListEntry = docs.seqListEntry;
    return listing;
}

std::string IconExtensionKey(const std::string& fileName) {
    const std::size_t dot = fileName.rfind('.');
    if (dot == std::string::npos) {
        return {};
    }
    std::string ext = ToUpper(fileName.substr(dot));
    return ext == ".EXE" ? std::string() : ext;
}

}  // namespace tv
