#pragma once
// The only storage the SGML parser gets: regular files inside the allowed folders,
// read within a byte budget, with the growth of the document's own entity declarations
// judged before the parser reads them. OpenSP's own classes: the generic kit cannot be
// given storage managers of ours.
#include <OpenSP/config.h>  // first: the other headers depend on it
//
#include <OpenSP/StorageManager.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "tools/prep/sgml_growth.h"

namespace tv::prep {

// What the parser may read, and what it has read so far.
struct ReadPolicy {
    std::vector<std::string> roots;            // real paths of the allowed folders
    std::string documentRoot;                  // the real path of the document's folder
    std::string dtdFolder;                     // where bare system identifiers are looked for too
    std::uint64_t budget = 0;                  // bytes still allowed
    std::string refusal;                       // the first refusal, for the user
    EntityGrowth growth{1u << 20, 32u << 20};  // what the document's own files declare

    void Refuse(const std::string& why) {
        if (refusal.empty()) {
            refusal = why;
        }
    }

    static bool Under(const std::string& root, const std::string& real) {
        return real.size() > root.size() && real.compare(0, root.size(), root) == 0 &&
               (root.back() == '/' || real[root.size()] == '/');
    }

    bool Inside(const std::string& real) const {
        return std::any_of(roots.begin(), roots.end(),
                           [&](const std::string& r) { return Under(r, real); });
    }
};

// Paths are UTF-8 bytes; a byte that starts no valid sequence stands for itself.
OpenSP::StringC ToStringC(const std::string& bytes);

// The storage manager over policy, which must outlive it.
std::unique_ptr<OpenSP::IdStorageManager> MakeGuardedFiles(const OpenSP::CharsetInfo* charset,
                                                           ReadPolicy& policy);

}  // namespace tv::prep
