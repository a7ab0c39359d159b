#include "vork/error_list.h"

namespace vork {

const char* const kLexErrorPrefix = "[DUQ - LEX Chyba] ";
const char* const kYaccErrorPrefix = "[DUQ - YACC Chyba] ";
const char* const kLexWarningPrefix = "[DUQ - LEX Upozornenie] ";

void ErrorTable::reset()
{
    count_ = 0;
    warnings_ = 0;
    entries_.fill(ErrorPosition{});
}

bool ErrorTable::add(ErrorKind kind, int32_t line, bool warning)
{
    if (count_ >= capacity)
        return false;
    entries_[count_].kind = kind;
    entries_[count_].line = line;
    ++count_;
    if (warning)
        ++warnings_;
    return true;
}

std::string formatErrorItem(const char* prefix, const std::string& file, const std::string& text, int line)
{
    std::string item = prefix;
    item += file;
    if (line >= 0)
        item += "(" + std::to_string(line) + ")";
    item += ": ";
    item += text;
    return item;
}

std::string fileNamePart(const std::string& path)
{
    size_t cut = path.find_last_of("/\\");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

ListSinks::ListSinks(std::string lexSpecFile, std::string yaccSpecFile)
{
    setFiles(std::move(lexSpecFile), std::move(yaccSpecFile));
}

void ListSinks::setFiles(std::string lexSpecFile, std::string yaccSpecFile)
{
    lexFile_ = fileNamePart(lexSpecFile);
    yaccFile_ = fileNamePart(yaccSpecFile);
}

void ListSinks::message(const std::string& text)
{
    messages_.push_back(text);
    if (onMessage)
        onMessage(text);
}

void ListSinks::addError(const char* prefix, const std::string& file, ErrorKind kind, bool warning,
                         const std::string& text, int line)
{
    std::string item = formatErrorItem(prefix, file, text, line);
    errors_.push_back(item);
    table_.add(kind, line, warning);
    if (warning)
        warningCounter_ = std::to_string(table_.warnings());
    else
        errorCounter_ = std::to_string(table_.errors());
    if (onError)
        onError(item);
}

void ListSinks::lexError(const std::string& text, int line)
{
    addError(kLexErrorPrefix, lexFile_, ErrorKind::Lex, false, text, line);
}

void ListSinks::lexWarning(const std::string& text, int line)
{
    addError(kLexWarningPrefix, lexFile_, ErrorKind::Lex, true, text, line);
}

void ListSinks::yaccError(const std::string& text, int line)
{
    addError(kYaccErrorPrefix, yaccFile_, ErrorKind::Yacc, false, text, line);
}

void ListSinks::resetForBuild()
{
    clearLists();
    table_.reset();
    errorCounter_ = "0";
    warningCounter_ = "0";
}

void ListSinks::clearLists()
{
    messages_.clear();
    errors_.clear();
}

StreamSinks::StreamSinks(std::FILE* out, std::FILE* err, std::string lexSpecFile, std::string yaccSpecFile)
    : out_(out), err_(err), lexFile_(fileNamePart(lexSpecFile)), yaccFile_(fileNamePart(yaccSpecFile))
{
}

void StreamSinks::message(const std::string& text)
{
    std::fprintf(out_, "%s\n", text.c_str());
    std::fflush(out_);
}

void StreamSinks::lexError(const std::string& text, int line)
{
    ++errors_;
    std::fprintf(err_, "%s\n", formatErrorItem(kLexErrorPrefix, lexFile_, text, line).c_str());
}

void StreamSinks::lexWarning(const std::string& text, int line)
{
    ++warnings_;
    std::fprintf(err_, "%s\n", formatErrorItem(kLexWarningPrefix, lexFile_, text, line).c_str());
}

void StreamSinks::yaccError(const std::string& text, int line)
{
    ++errors_;
    std::fprintf(err_, "%s\n", formatErrorItem(kYaccErrorPrefix, yaccFile_, text, line).c_str());
}

} // namespace vork
