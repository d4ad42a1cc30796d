#include "render/documents.h"

#include "platform/strings.h"

namespace tv::render {
namespace {

std::string_view WithoutExtension(std::string_view name) {
    const auto dot = name.rfind('.');
    return dot == std::string_view::npos ? name : name.substr(0, dot);
}

}  // namespace

DocumentKind ClassifyEntry(std::string_view name) {
    const std::string ext = ToLower(ExtensionAfterLastDot(name));
    if (ext == "sgm") {
        return DocumentKind::SgmlSource;
    }
    if (ext != "xml") {
        return DocumentKind::Other;
    }
    const std::string_view b = WithoutExtension(name);
    struct Rule {
        bool prefix;
        std::string_view text;
        DocumentKind kind;
    };
    static constexpr Rule kRules[] = {
        {false, "fee", DocumentKind::FeeForm},
        {false, "ids", DocumentKind::DisclosureStatement},
        {false, "sgn", DocumentKind::Assignment},
        {false, "pds", DocumentKind::PdsDocument},
        {false, "gnment", DocumentKind::Assignment},
        {true, "tran", DocumentKind::Transmittal},
        {false, "seqlst", DocumentKind::SequenceListing},
        {false, "s00001", DocumentKind::SequenceListing},
        {false, "pkda", DocumentKind::PackageData},
        {false, "decl", DocumentKind::Declaration},
        {false, "fees", DocumentKind::FeeSheet},
        {false, "requ", DocumentKind::Request},
    };
    for (const Rule& r : kRules) {
        if (r.prefix ? IStartsWith(b, r.text) : IEndsWith(b, r.text)) {
            return r.kind;
        }
    }
    return DocumentKind::MainDocument;
}

DocumentSet ClassifyEntries(std::span<const std::string> names) {
    DocumentSet set;
    int entry = 0;
    for (const std::string& name : names) {
        ++entry;
        const std::string b(WithoutExtension(name));
        switch (ClassifyEntry(name)) {
            case DocumentKind::Other:
                break;
            case DocumentKind::SgmlSource:
                set.sgmlSource = name;
                set.baseName = b;
                set.mainDocName = b + ".xml";
                break;
            case DocumentKind::FeeForm:
                set.feeForm = name;
                break;
            case DocumentKind::DisclosureStatement:
                set.disclosureStatement = name;
                break;
            case DocumentKind::Assignment:
                set.assignment = name;
                break;
            case DocumentKind::PdsDocument:
                set.pdsDocument = name;
                break;
            case DocumentKind::Transmittal:
                set.transmittal = name;
                set.transmittalEntry = entry;
                break;
            case DocumentKind::SequenceListing:
                set.sequenceListing = name;
                set.sequenceListingEntry = entry;
                if (IEndsWith(b, "s00001")) {
                    // "A-s00001" belongs to the package folder of "A".
                    set.baseName = b.substr(0, b.size() >= 7 ? b.size() - 7 : 0);
                }
                break;
            case DocumentKind::PackageData:
                set.packageData = name;
                break;
            case DocumentKind::Declaration:
                set.declaration = name;
                break;
            case DocumentKind::FeeSheet:
                set.feeSheet = name;
                break;
            case DocumentKind::Request:
                set.request = name;
                set.requestEntry = entry;
                break;
            case DocumentKind::MainDocument:
                set.mainDocName = name;
                set.baseName = b;
                break;
        }
    }
    return set;
}

std::string ChooseCatalogFileName(int navigationOption, bool prizmInstalled) {
    if (navigationOption == 1) {
        return prizmInstalled ? "TVWcatalog-embed-toc.txt" : "TVWcatalog-toc.txt";
    }
    return prizmInstalled ? "TVWcatalog-embed.txt" : "TVWcatalog.txt";
}

}  // namespace tv::render
