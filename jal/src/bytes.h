// Big-endian appends, as the class-file format stores every number.
#pragma once

#include <cstdint>
#include <vector>

namespace jal {

using Bytes = std::vector<uint8_t>;

inline void put1(Bytes& out, uint32_t v) { out.push_back(static_cast<uint8_t>(v)); }

inline void put2(Bytes& out, uint32_t v)
{
    out.push_back(static_cast<uint8_t>(v >> 8));
    out.push_back(static_cast<uint8_t>(v));
}

inline void put4(Bytes& out, uint32_t v)
{
    put2(out, v >> 16);
    put2(out, v);
}

} // namespace jal
