#pragma once
// Finding the sequence listing that belongs with a main document: a package keeps it as
// another XML file in the same folder, so its page is that file's page beside it.
#include <string>
#include <string_view>

namespace tv::opener {

// The name of the root element an XML text begins with, past its XML declaration,
// comments, processing instructions and DOCTYPE; without a namespace prefix. Empty when
// the text (a file's first few kilobytes) does not get that far.
std::string RootElementName(std::string_view head);

// The relative URL of the page of the sequence listing beside documentPath: the first
// (by name) other .xml file in the document's folder whose root is ST26SequenceListing
// or sequence-cwu, as "NAME.xml.html" with the characters a URL reserves escaped. Empty
// when there is none or the document is a listing itself. Only regular files are read,
// each only its first few kilobytes, and only the first few dozen .xml files are looked at.
std::string SequenceListingPage(const std::string& documentPath);

}  // namespace tv::opener
