#pragma once
// Little-endian integers, as Excel's files and their containers store them.
#include <cstdint>
#include <string_view>

namespace calvero {

inline std::uint16_t littleEndian16(const unsigned char* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }
inline std::uint32_t littleEndian32(const unsigned char* p)
{
    return static_cast<std::uint32_t>(littleEndian16(p)) | static_cast<std::uint32_t>(littleEndian16(p + 2)) << 16;
}

// At byte `at` of data; the caller has checked that the bytes are there.
inline std::uint16_t littleEndian16(std::string_view data, std::size_t at)
{
    return littleEndian16(reinterpret_cast<const unsigned char*>(data.data() + at));
}
inline std::uint32_t littleEndian32(std::string_view data, std::size_t at)
{
    return littleEndian32(reinterpret_cast<const unsigned char*>(data.data() + at));
}

} // namespace calvero
