#pragma once
// cMRU is the recent-files list behind the File menu: paths, most recent first,
// without duplicates (compared exactly, letter case counts), at most MaxCount of them.
// It reads and writes itself through a cRegistry object that the caller has placed on
// the recent-files key: "MaxCount" (REG_DWORD), "Count" (decimal text) and "Item1",
// "Item2", ... (text). Items above Count left by an earlier, longer list stay in the
// key untouched and are not read back.
#include <cstdint>
#include <string>
#include <vector>

#include "settings/cRegistry.h"

namespace tv {

class cMRU {
  public:
    static constexpr std::int32_t kDefaultMaxCount = 16;
    // A larger stored maximum is taken as this one: a damaged hive must not make the
    // load read millions of values.
    static constexpr std::int32_t kLimitMaxCount = 1024;

    std::int32_t MaxCount() const { return maxCount_; }
    // 1 to kLimitMaxCount (else error 5); a shorter maximum drops the entries beyond it.
    void MaxCount(std::int32_t lMaxCount);

    std::int32_t Count() const { return static_cast<std::int32_t>(items_.size()); }

    // The path at position nIndex, 1 to Count (else error 9).
    std::string Item(std::int32_t nIndex) const;

    // Puts sItem first; an equal entry moves up, a new one pushes the last one out
    // when the list is full.
    void Add(const std::string& sItem);

    // Writes the list into the key cR addresses. Errors of cR pass through.
    bool Serialise(cRegistry& cR) const;

    // Reads the list from the key cR addresses. A stored maximum below 1 (or missing)
    // gives 16; a Count above the maximum is cut to it; a missing or unreadable item
    // is the empty text. A MaxCount or Count that is not a number raises 13 or 6 and
    // leaves the list as it was.
    bool DeSerialise(cRegistry& cR);

  private:
    std::int32_t maxCount_ = kDefaultMaxCount;
    std::vector<std::string> items_;  // position 1 first
};

}  // namespace tv
