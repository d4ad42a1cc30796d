#pragma once
// The DTD catalogs in OASIS TR9401 text form: PUBLIC, SYSTEM, DOCTYPE, ENTITY, NOTATION,
// SGMLDECL, DOCUMENT, DTDDECL, LINKTYPE, DELEGATE, OVERRIDE, BASE and CATALOG entries,
// "--" comments, quoted or bare parameters. Only PUBLIC, SYSTEM and DOCTYPE matter to
// the tools; the others are read past so that a catalog an SGML parser accepts reads
// here too.
//
// Our own keyword STYLESHEET NAME "relative/path.xsl" names the stylesheet a document
// of type NAME is shown with; STYLESHEET #DEFAULT "path.xsl" the one for a type no
// entry names. SGML catalog readers skip unknown keywords with their parameters, so the
// catalogs stay valid for them.
//
// Relative paths are taken against the catalog's folder. BASE and CATALOG entries are
// not followed: our catalogs are flat and self-contained.
#include <map>
#include <optional>
#include <string>

#include "platform/error.h"

namespace tv::prep {

class Catalog {
  public:
    // Reads path; fails ("cannot read the catalog <path>") when it cannot be read.
    static Result<Catalog> Load(const std::string& path);
    // Parses text as if read from a catalog in folder (absolute, no trailing separator).
    static Catalog Parse(const std::string& text, const std::string& folder);

    // Absolute path of an existing DTD for an XML document, tried in this order: the
    // public identifier, the system identifier, the document type name (every entry of
    // a key in catalog order), then a file of the system identifier's file name in the
    // catalog's folder. A DTD in SGML syntax (tag omission, name groups) is passed over:
    // XML parsers cannot read it. nullopt when nothing fits.
    std::optional<std::string> ResolveDtd(const std::string& publicId, const std::string& systemId,
                                          const std::string& doctypeName) const;

    // Absolute path of the stylesheet named for a document type (names compare
    // without regard to case, as SGML names do), else the default one, else nullopt.
    std::optional<std::string> Stylesheet(const std::string& doctypeName) const;

    const std::string& Folder() const { return folder_; }

  private:
    std::string Absolute(const std::string& relative) const;

    std::string folder_;
    std::multimap<std::string, std::string> public_;   // normalised public id -> path
    std::multimap<std::string, std::string> system_;   // system id -> path
    std::multimap<std::string, std::string> doctype_;  // upper-cased name -> path
    std::map<std::string, std::string> stylesheet_;    // upper-cased name -> path
};

// Whether the DTD file at path is written in SGML syntax (its element declarations
// carry tag omission flags or name groups); false when it cannot be read.
bool IsSgmlDtd(const std::string& path);

// A public identifier with runs of white space made one space and the ends trimmed.
std::string NormalizePublicId(const std::string& id);

}  // namespace tv::prep
