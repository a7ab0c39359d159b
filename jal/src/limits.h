// The translator's fixed limits.
#pragma once

#include <cstddef>

namespace jal::limits {

inline constexpr std::size_t kCodeBytes = 10000;     // per method
inline constexpr int kMaxLabel = 99;                 // labels .0 to .99
inline constexpr std::size_t kPendingBranches = 200; // per method
inline constexpr int kPoolNumbers = 2048;            // entry numbers 1..2048
inline constexpr std::size_t kInterfaces = 10;
inline constexpr std::size_t kFields = 100;
inline constexpr std::size_t kMethods = 100;
inline constexpr std::size_t kUtf8Bytes = 255;       // the length is one byte

} // namespace jal::limits
