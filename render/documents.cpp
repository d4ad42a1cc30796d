#include "render/documents.h"

#include "platform/strings.h"

namespace tv::render {
namespace {

std::string_view WithoutExtension(std::string_view name) {
    const auto dot = name.rfind('.');
    return dot == std::string_view::npos ? name : name.substr(0, dot);
}

enum class Match { Extension, Prefix, Suffix, AnyXml };
// What an entry says about the package folder and the main document's name.
enum class Names { None, Stem, StemAsXml, StemLessSeven };

struct Rule {
    Match match;
    std::string_view text;
    DocumentKind kind;
    Names names;
};

// Tried in order; the first match decides. All but the first apply to "xml" names only.
constexpr Rule kRules[] = {
    {Match::Extension, "sgm", DocumentKind::SgmlSource, Names::StemAsXml},
    {Match::Suffix, "fee", DocumentKind::FeeForm, Names::None},
    {Match::Suffix, "ids", DocumentKind::DisclosureStatement, Names::None},
    {Match::Suffix, "sgn", DocumentKind::Assignment, Names::None},
    {Match::Suffix, "pds", DocumentKind::PdsDocument, Names::None},
    {Match::Suffix, "gnment", DocumentKind::Assignment, Names::None},
    {Match::Prefix, "tran", DocumentKind::Transmittal, Names::None},
    {Match::Suffix, "seqlst", DocumentKind::SequenceListing, Names::None},
    // "A-s00001" belongs to the package folder of "A".
    {Match::Suffix, "s00001", DocumentKind::SequenceListing, Names::StemLessSeven},
    {Match::Suffix, "pkda", DocumentKind::PackageData, Names::None},
    {Match::Suffix, "decl", DocumentKind::Declaration, Names::None},
    {Match::Suffix, "fees", DocumentKind::FeeSheet, Names::None},
    {Match::Suffix, "requ", DocumentKind::Request, Names::None},
    {Match::AnyXml, "", DocumentKind::MainDocument, Names::Stem},
};

// The rule that decides a name; nullptr for an entry that is no document.
const Rule* DecidingRule(std::string_view name) {
    const std::string ext = ToLower(ExtensionAfterLastDot(name));
    const std::string_view b = WithoutExtension(name);
    for (const Rule& r : kRules) {
        if (r.match == Match::Extension) {
            if (ext == r.text) {
                return &r;
            }
            continue;
        }
        if (ext != "xml") {
            return nullptr;
        }
        if (r.match == Match::AnyXml || (r.match == Match::Prefix && IStartsWith(b, r.text)) ||
            (r.match == Match::Suffix && IEndsWith(b, r.text))) {
            return &r;
        }
    }
    return nullptr;
}

}  // namespace

DocumentKind ClassifyEntry(std::string_view name) {
    const Rule* rule = DecidingRule(name);
    return rule == nullptr ? DocumentKind::Other : rule->kind;
}

PackageDocuments ClassifyPackage(std::span<const std::string> names) {
    PackageDocuments docs;
    int entry = 0;
    for (const std::string& name : names) {
        ++entry;
        const std::string ext = ToLower(ExtensionAfterLastDot(name));
        if (ext == "xml" || ext == "sgm") {
            (IEndsWith(name, "s00001.xml") ? docs.seqListEntry : docs.mainDocEntry) = entry;
        }
        const Rule* rule = DecidingRule(name);
        if (rule == nullptr) {
            continue;
        }
        docs.Last(rule->kind) = {entry, name};
        const std::string b(WithoutExtension(name));
        switch (rule->names) {
            case Names::None:
                break;
            case Names::Stem:
                docs.baseName = b;
                docs.mainDocName = name;
                docs.mainDocSource = entry;
                break;
            case Names::StemAsXml:
                docs.baseName = b;
                docs.mainDocName = b + ".xml";
                docs.mainDocSource = entry;
                break;
            case Names::StemLessSeven:
                docs.baseName = b.substr(0, b.size() >= 7 ? b.size() - 7 : 0);
                break;
        }
    }
    return docs;
}

std::string ChooseCatalogFileName(int navigationOption, bool prizmInstalled) {
    if (navigationOption == 1) {
        return prizmInstalled ? "TVWcatalog-embed-toc.txt" : "TVWcatalog-toc.txt";
    }
    return prizmInstalled ? "TVWcatalog-embed.txt" : "TVWcatalog.txt";
}

}  // namespace tv::render
