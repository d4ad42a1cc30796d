#pragma once
// Which document of a package is which, decided by entry names alone, and which
// catalog the preparation tools get. The listing and rendering both read the one
// classification below.
//
// ClassifyEntry files one name under a kind by the first matching rule (case is
// ignored; B is the name without the text after its last "."):
//   extension not xml/sgm -> Other        sgm               -> SgmlSource
//   B ends "fee"     -> FeeForm           B ends "ids"      -> DisclosureStatement
//   B ends "sgn"     -> Assignment        B ends "pds"      -> PdsDocument
//   B ends "gnment"  -> Assignment        B begins "tran"   -> Transmittal
//   B ends "seqlst"  -> SequenceListing   B ends "s00001"   -> SequenceListing
//   B ends "pkda"    -> PackageData       B ends "decl"     -> Declaration
//   B ends "fees"    -> FeeSheet          B ends "requ"     -> Request
//   any other xml    -> MainDocument
// ("…fees" does not end in "fee", so it reaches the fee-sheet rule.)
#include <array>
#include <span>
#include <string>
#include <string_view>

namespace tv::render {

enum class DocumentKind {
    Other,
    SgmlSource,
    FeeForm,
    DisclosureStatement,
    Assignment,
    PdsDocument,
    Transmittal,
    SequenceListing,
    PackageData,
    Declaration,
    FeeSheet,
    Request,
    MainDocument,
};
inline constexpr std::size_t kDocumentKindCount = 13;

DocumentKind ClassifyEntry(std::string_view name);

// The last entry of one kind: its 1-based number in walking order and its name
// (0 and empty when the package holds none).
struct FoundEntry {
    int entry = 0;
    std::string name;
};

// What a walk over a package's names leaves.
struct PackageDocuments {
    std::array<FoundEntry, kDocumentKindCount> last;
    std::string mainDocName;  // the main document (B + ".xml" for an SGML source)
    int mainDocSource = 0;    // the entry it comes from: itself, or the SGML source
    std::string baseName;     // names the package folder
    // The two entries the listing records and rendering extracts first: the last
    // "xml"/"sgm" entry whose name does not end in "s00001.xml", and the last one whose
    // name does. These go by extension and suffix only, not by kind: a transmittal or a
    // fee form can be the former, "tran-s00001.xml" is the latter.
    int mainDocEntry = 0;
    int seqListEntry = 0;

    const FoundEntry& Last(DocumentKind kind) const { return last[static_cast<std::size_t>(kind)]; }
    FoundEntry& Last(DocumentKind kind) { return last[static_cast<std::size_t>(kind)]; }
};

// Walks names in order; a later entry of a kind replaces an earlier one, and the base
// name is the one the last main document, SGML source or "s00001" listing gave.
// An encrypted entry's listed name ("a.xml+") has no document extension, so it counts
// for nothing.
PackageDocuments ClassifyPackage(std::span<const std::string> names);

// The catalog PathMend and SgmlLift24 get: navigation option 1 picks the "-toc"
// catalogs, an installed plug-in the "-embed" ones.
std::string ChooseCatalogFileName(int navigationOption, bool prizmInstalled);

}  // namespace tv::render
