// Whole-file reads and crash-safe writes.  A project file, the
// configuration and the templates are replaced by writing a temporary file
// beside them and renaming it over the old one, so a failed write never
// leaves a half-written or empty file behind.
#pragma once

#include <string>
#include <vector>

namespace vork {

// How a bounded read of a file ended.
enum class ReadStatus {
    Ok,
    CannotOpen,  // missing, unreadable, or a read error
    NotRegular,  // a directory, a device, a pipe: nothing a file format holds
    TooLarge,    // more than the reader's format can hold
};

// Reads the whole of a regular file of at most maxBytes bytes.  A device
// such as /dev/zero, a pipe or a directory is refused before anything is
// read (a pipe is never waited for), and a file that grows past maxBytes
// is refused once maxBytes + 1 bytes have come, so no reader takes more
// memory or time than its format allows.
ReadStatus readRegularFile(const std::string& path, std::string& out, size_t maxBytes);

// The most of a compiler's captured output, or of the Jal translator's
// message file, that is shown.
constexpr size_t kMaxCaptureBytes = 16 * 1024 * 1024;

// readRegularFile() == ReadStatus::Ok.
bool readWholeFile(const std::string& path, std::string& out, size_t maxBytes);

// Whether path (links followed) is a regular file.
bool isRegularFile(const std::string& path);

// Replaces path with bytes.  False (and errno set) on any failure, in which
// case the old file is untouched.  A link is followed to the file it names;
// a link to something that is not a regular file (a device, a directory)
// is refused, so a save never replaces a device node.
bool writeFileAtomically(const std::string& path, const std::string& bytes);

// "a\nb\n" -> "a\r\nb\r\n": the line ends every text file of the
// environment is written with.
std::string toCrLf(const std::string& text);

// Splits text into lines; a line end is LF or CR LF, and a last line
// without a line end still counts.
std::vector<std::string> splitLines(const std::string& text);

} // namespace vork
