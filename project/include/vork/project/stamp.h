// Modification stamps: a file's last-write time in local time, packed the
// way DOS packs a date and a time into 32 bits.  The build compares them
// for equality only, and they are stored in project files, so the packing
// must stay bit for bit the same.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>

namespace vork {

constexpr int32_t kNoStamp = -1;

// Date in the high half (year-1980 in bits 9-15, month 5-8, day 0-4), time
// in the low half (hours 11-15, minutes 5-10, seconds/2 0-4).
int32_t packDosStamp(const std::tm& local);

// The stamp of a regular file; kNoStamp for a missing file or a directory.
int32_t fileStamp(const std::string& path);

// A file exists, for the project and the build, exactly when it has a
// stamp.
inline bool fileExists(const std::string& path) { return fileStamp(path) != kNoStamp; }

} // namespace vork
