// SGML documents from anywhere through SgmlLift24's parse with our catalog and DTDs:
// no crash, no file read outside, and every converted document is a single element.
// The input becomes a document in a private folder; its first line may name an
// entity file the parse could try to reach (it must be refused or lie inside).
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "tools/prep/sgml_lift.h"

namespace {

const std::string& Folder() {
    static const std::string folder = [] {
        std::string f = "/tmp/tv-fuzz-sgml-XXXXXX";
        if (!::mkdtemp(f.data())) {
            std::abort();
        }
        return f;
    }();
    return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string doc = Folder() + "/doc.sgm";
    {
        std::ofstream out(doc, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    tv::prep::LiftLimits limits;
    limits.maxBytesRead = 4u << 20;
    limits.maxXmlBytes = 4u << 20;
    const auto r = tv::prep::LiftSgml(doc, TESSEL_DTD_DIR "/TVWcatalog.txt", limits);
    if (r.ok && (r.rootName.empty() || r.xml.empty() || r.xml[0] != '<')) {
        std::abort();
    }
    if (!r.ok && r.error.empty()) {
        std::abort();
    }
    return 0;
}
