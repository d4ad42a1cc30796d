// The hive parser on any bytes. Beyond surviving, checks the format's promises: what
// parses serialises to text that parses to the same hive and serialises identically,
// and every key has its parent.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "platform/registry/hive.h"

using tv::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    auto hive = tv::reg::ParseHive(text);
    if (!hive) {
        return 0;
    }
    const std::string written = tv::reg::SerializeHive(*hive);
    auto again = tv::reg::ParseHive(written);
    Check(again.Ok());
    Check(*again == *hive);
    Check(tv::reg::SerializeHive(*again) == written);
    for (const auto& [sortKey, key] : hive->Keys()) {
        Check(tv::reg::IsValidKeyPath(key.path));
        const std::size_t cut = key.path.rfind('\\');
        Check(cut == std::string_view::npos || hive->FindKey(key.path.substr(0, cut)) != nullptr);
        for (const auto& [lower, value] : key.values) {
            Check(key.FindValue(value.name) == &value);
        }
    }
    return 0;
}
