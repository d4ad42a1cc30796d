#pragma once
// The two header lines of the registry-editor text format, shared by its reader and
// its writer.
#include <string_view>

namespace tv::reg {

inline constexpr std::string_view kHeader4 = "REGEDIT4";
inline constexpr std::string_view kHeader5 = "Windows Registry Editor Version 5.00";

}  // namespace tv::reg
