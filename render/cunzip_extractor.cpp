#include "render/cunzip_extractor.h"

namespace tv::render {

Status CUnzipExtractor::Unzip() {
    if (unzip_.Unzip()) {
        return {};
    }
    return Status(
        kErrAccess, ErrorSource("cUnzip"),
        "The package " + unzip_.ZipFile() + " could not be extracted into " + unzip_.UnzipFolder());
}

}  // namespace tv::render
