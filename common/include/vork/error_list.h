// The error list that the sinks fill: items in the system's format, the
// position table that the IDE jumps by, and the two counters.
//
// It is plain data so that a window, the headless runner and the
// command-line tools show the same lines.
#pragma once

#include "vork/sinks.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace vork {

enum class ErrorKind : int32_t { Lex = 0, Yacc = 1 };

struct ErrorPosition {
    ErrorKind kind = ErrorKind::Lex;
    int32_t line = -1;
};

// The jump table: at most ten entries per build; later errors are shown but
// neither counted nor recorded.
class ErrorTable {
public:
    static constexpr uint32_t capacity = 10;

    void reset();
    // Records the entry unless the table is full.  Returns false when full.
    bool add(ErrorKind kind, int32_t line, bool warning);

    uint32_t count() const { return count_; }
    uint32_t warnings() const { return warnings_; }
    uint32_t errors() const { return count_ - warnings_; }
    ErrorKind kindAt(uint32_t i) const { return entries_.at(i).kind; }
    int32_t lineAt(uint32_t i) const { return entries_.at(i).line; }

private:
    uint32_t count_ = 0;
    uint32_t warnings_ = 0;
    std::array<ErrorPosition, capacity> entries_{};
};

// Item prefixes of the three error sinks.
extern const char* const kLexErrorPrefix;    // "[DUQ - LEX Chyba] "
extern const char* const kYaccErrorPrefix;   // "[DUQ - YACC Chyba] "
extern const char* const kLexWarningPrefix;  // "[DUQ - LEX Upozornenie] "

// prefix + file + "(" line ")" + ": " + text; the position is left out when
// line is negative.
std::string formatErrorItem(const char* prefix, const std::string& file, const std::string& text, int line);

// The last path component ("sub/calc.l" -> "calc.l").  Accepts '\' as a
// separator as well, for names that came from Windows project files.
std::string fileNamePart(const std::string& path);

// Sinks that fill the message list, the error list, the table and the
// counters.  The file names are the ones shown in the items (the file-name
// part is taken here).
class ListSinks : public Sinks {
public:
    ListSinks() = default;
    ListSinks(std::string lexSpecFile, std::string yaccSpecFile);

    void setFiles(std::string lexSpecFile, std::string yaccSpecFile);

    void message(const std::string& text) override;
    void lexError(const std::string& text, int line) override;
    void lexWarning(const std::string& text, int line) override;
    void yaccError(const std::string& text, int line) override;

    // What a build start does: lists emptied, table reset, counters "0".
    void resetForBuild();
    // The message panel's "clear": the lists go, the table stays.
    void clearLists();

    const std::vector<std::string>& messages() const { return messages_; }
    const std::vector<std::string>& errors() const { return errors_; }
    const ErrorTable& table() const { return table_; }
    // The captions next to "Počet chýb" and "Počet upozornení".
    const std::string& errorCounter() const { return errorCounter_; }
    const std::string& warningCounter() const { return warningCounter_; }

    // Called after every added line, so a view can follow live.
    std::function<void(const std::string&)> onMessage;
    std::function<void(const std::string&)> onError;

private:
    void addError(const char* prefix, const std::string& file, ErrorKind kind, bool warning,
                  const std::string& text, int line);

    std::string lexFile_;
    std::string yaccFile_;
    std::vector<std::string> messages_;
    std::vector<std::string> errors_;
    ErrorTable table_;
    std::string errorCounter_ = "0";
    std::string warningCounter_ = "0";
};

// The command-line tools' sinks: messages to one stream (stdout), error
// items to another (stderr), both one line per call.
class StreamSinks : public Sinks {
public:
    StreamSinks(std::FILE* out, std::FILE* err, std::string lexSpecFile, std::string yaccSpecFile);
    void message(const std::string& text) override;
    void lexError(const std::string& text, int line) override;
    void lexWarning(const std::string& text, int line) override;
    void yaccError(const std::string& text, int line) override;

    uint32_t errorCount() const { return errors_; }
    uint32_t warningCount() const { return warnings_; }

private:
    std::FILE* out_;
    std::FILE* err_;
    std::string lexFile_;
    std::string yaccFile_;
    uint32_t errors_ = 0;
    uint32_t warnings_ = 0;
};

} // namespace vork
