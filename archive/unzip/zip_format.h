#pragma once
// The ZIP records' signatures and sizes, and little-endian field access, shared by the
// readers of raw package bytes (entry_layout.cpp, repair.cpp). Internal to the library.
#include <cstddef>
#include <cstdint>

namespace tv::unzip::format {

inline constexpr std::uint32_t kLocalSig = 0x04034b50;
inline constexpr std::uint32_t kCentralSig = 0x02014b50;
inline constexpr std::uint32_t kEndSig = 0x06054b50;
inline constexpr std::uint32_t kEnd64Sig = 0x06064b50;
inline constexpr std::uint32_t kEnd64LocatorSig = 0x07064b50;
inline constexpr std::size_t kLocalHeaderSize = 30;
inline constexpr std::size_t kCentralHeaderSize = 46;
inline constexpr std::size_t kEndSize = 22;
inline constexpr std::size_t kEnd64Size = 56;
inline constexpr std::size_t kEnd64LocatorSize = 20;
inline constexpr std::size_t kMaxCommentSize = 0xffff;

inline std::uint16_t Le16(const unsigned char* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline std::uint32_t Le32(const unsigned char* p) {
    return static_cast<std::uint32_t>(Le16(p)) | (static_cast<std::uint32_t>(Le16(p + 2)) << 16);
}
inline std::uint64_t Le64(const unsigned char* p) {
    return static_cast<std::uint64_t>(Le32(p)) | (static_cast<std::uint64_t>(Le32(p + 4)) << 32);
}
inline void Put16(unsigned char* p, std::uint64_t v) {
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
}
inline void Put32(unsigned char* p, std::uint64_t v) {
    Put16(p, v & 0xffff);
    Put16(p + 2, (v >> 16) & 0xffff);
}

}  // namespace tv::unzip::format
