#pragma once
// Which document of a package is which, decided by entry names alone, and which
// catalog the preparation tools get.
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

DocumentKind ClassifyEntry(std::string_view name);

// What a walk over the listing's names leaves: per kind the last name of that kind
// (empty when none), and the names rendering works with.
struct DocumentSet {
    std::string mainDocName;  // the main document (B + ".xml" for an SGML source)
    std::string baseName;     // names the package folder
    std::string sgmlSource;
    std::string transmittal;
    std::string request;
    std::string sequenceListing;
    // Recorded and set aside: never opened, never the main document.
    std::string feeForm;
    std::string disclosureStatement;
    std::string assignment;
    std::string pdsDocument;
    std::string packageData;
    std::string declaration;
    std::string feeSheet;
    // Entry numbers (1-based, in walking order; 0 when none) of the documents that are
    // opened without a check that they were extracted.
    int transmittalEntry = 0;
    int requestEntry = 0;
    int sequenceListingEntry = 0;
};

// Walks names in order; a later entry of a kind replaces an earlier one, and the base
// name is the one the last main document, SGML source or "s00001" listing gave.
DocumentSet ClassifyEntries(std::span<const std::string> names);

// The catalog PathMend and SgmlLift24 get: navigation option 1 picks the "-toc"
// catalogs, an installed plug-in the "-embed" ones.
std::string ChooseCatalogFileName(int navigationOption, bool prizmInstalled);

}  // namespace tv::render
