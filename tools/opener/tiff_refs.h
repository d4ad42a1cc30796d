#pragma once
// Pointing a transformed page at PNG copies of the TIFF drawings it references.
//
// A reference is converted when it is an img/@src or a/@href (element and attribute
// names in any case) that ends in .tif or .tiff (any case) and names a file inside the
// page's folder: addresses, absolute paths, drive letters and ".." components are left
// alone, so a page can never make the opener read or write outside its folder.
#include <libxml/tree.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/opener/tiff_png.h"

namespace tv::opener {

// The file a reference names, relative to the page's folder (percent escapes decoded,
// "\" taken as a folder separator); nullopt when the reference is not one to convert.
std::optional<std::string> LocalTiffPath(std::string_view reference);

// The reference with its .tif/.tiff ending replaced by the PNG name of page (1-based).
std::string PngReference(std::string_view reference, int page);

struct RewriteReport {
    int converted = 0;                  // TIFF files turned into PNG
    std::vector<std::string> problems;  // a line per TIFF that could not be converted (100 at most)
};

// Converts each referenced TIFF once (all of them in parallel, sharing limits) and
// rewrites the references. A multi-page TIFF in an img gives one img per page (copies of
// the element, in page order) while limits.maxImageCopies lasts, then its first page
// with a title saying so; a link points at the first page. A TIFF that cannot be
// converted, or a reference beyond limits.maxReferences, keeps its reference and gets an
// alt (img) or title (a) text saying why.
RewriteReport RewriteTiffReferences(xmlDocPtr page, const std::string& pageFolder,
                                    const TiffLimits& limits = {});

}  // namespace tv::opener
