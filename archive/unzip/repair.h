#pragma once
// Packages that the classic unzip tool extracts without complaint but libzip refuses:
// junk in the directory's extra fields (0xff padding, a block whose length runs past
// the field) and an archive comment shorter than its stated length. Such a package is
// presented to libzip repaired (see FileSource::SetView): a rebuilt directory without
// the junk and an end record whose comment length is what is there. (libzip already
// reads local headers with such junk.) Nothing that decides where data lies or how it
// is checked (offsets, sizes, methods, CRCs) is changed, so the layout and consistency
// checks judge the package as it is.
#include <cstdint>
#include <optional>
#include <string>

#include "archive/unzip/entry_layout.h"
#include "archive/unzip/file_source.h"

namespace tv::unzip {

struct Repair {
    std::uint64_t tailAt = 0;  // where the rebuilt directory starts
    std::string tail;          // rebuilt directory, end record and comment
    std::string what;          // what was repaired, for a message
};

// The repair the package of fileSize bytes needs, or nullopt when it needs none or
// cannot be repaired this way (only packages with one 32-bit end record are).
std::optional<Repair> PlanRepair(const ByteReader& read, std::uint64_t fileSize);

}  // namespace tv::unzip
