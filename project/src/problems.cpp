#include "vork/project/problems.h"

#include "duq_yacc/automaton.h"

#include <algorithm>
#include <filesystem>
#include <regex>

namespace vork {

const char* const kCompilerErrorPrefix = "[C prekladač Chyba] ";
const char* const kCompilerWarningPrefix = "[C prekladač Upozornenie] ";
const char* const kYaccWarningPrefix = "[DUQ - YACC Upozornenie] ";

namespace {

std::string resolve(const std::string& file, const std::string& dir)
{
    std::filesystem::path p(file);
    if (p.is_relative() && !dir.empty())
        p = std::filesystem::path(dir) / p;
    return p.lexically_normal().string();
}

std::string baseName(const std::string& path)
{
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string position(int line, int column)
{
    if (line < 0)
        return std::string();
    return "(" + std::to_string(line) + (column > 0 ? ":" + std::to_string(column) : std::string()) + ")";
}

std::string itemOf(const Problem& p, const char* errorPrefix, const char* warningPrefix)
{
    std::string s = p.severity == Problem::Severity::Error ? errorPrefix : warningPrefix;
    if (!p.file.empty())
        s += baseName(p.file) + position(p.line, p.column) + ": ";
    return s + p.text;
}

int toInt(const std::string& digits)
{
    // Long digit strings are no line a file can have.
    if (digits.empty() || digits.size() > 9)
        return -1;
    return std::stoi(digits);
}

} // namespace

std::optional<Problem> parseCompilerLine(const std::string& rawLine, const std::string& projectDir)
{
    std::string line = rawLine;
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n'))
        line.pop_back();
    // file:line[:col]: severity: text
    static const std::regex located(R"(^(.+?):(\d+):(?:(\d+):)? ((?:fatal )?error|warning): (.*)$)");
    // tool: severity: text (cc1, collect2, ld...)
    static const std::regex bare(R"(^([^\s:]+): ((?:fatal )?error|warning): (.*)$)");
    std::smatch m;
    Problem p;
    if (std::regex_match(line, m, located)) {
        p.file = resolve(m[1].str(), projectDir);
        p.line = toInt(m[2].str());
        p.column = m[3].matched ? toInt(m[3].str()) : -1;
        p.severity = m[4].str() == "warning" ? Problem::Severity::Warning : Problem::Severity::Error;
        p.text = m[5].str();
    } else if (std::regex_match(line, m, bare)) {
        p.severity = m[2].str() == "warning" ? Problem::Severity::Warning : Problem::Severity::Error;
        p.text = line;
    } else {
        return std::nullopt;
    }
    p.item = itemOf(p, kCompilerErrorPrefix, kCompilerWarningPrefix);
    return p;
}

std::vector<Problem> parseCompilerOutput(const std::vector<std::string>& lines, const std::string& projectDir)
{
    std::vector<Problem> out;
    for (const std::string& line : lines)
        if (auto p = parseCompilerLine(line, projectDir))
            out.push_back(std::move(*p));
    return out;
}

std::optional<Problem> parseGeneratorItem(const std::string& item, const std::string& lexSpecFile,
                                          const std::string& yaccSpecFile)
{
    static const std::regex shape(R"(^\[DUQ - (LEX|YACC) (Chyba|Upozornenie)\] ([^(]*?)(?:\((\d+)\))?: ([\s\S]*)$)");
    std::smatch m;
    if (!std::regex_match(item, m, shape))
        return std::nullopt;
    Problem p;
    p.file = m[1].str() == "LEX" ? lexSpecFile : yaccSpecFile;
    p.severity = m[2].str() == "Chyba" ? Problem::Severity::Error : Problem::Severity::Warning;
    p.line = m[4].matched ? toInt(m[4].str()) : -1;
    p.text = m[5].str();
    p.item = item;
    return p;
}

std::vector<Problem> conflictProblems(const duq_yacc::Automaton& a, const std::string& grammarFile)
{
    std::vector<Problem> out;
    auto symbolName = [&a](int s) {
        return s >= 0 && s < static_cast<int>(a.symbols.size()) ? a.symbols[static_cast<size_t>(s)].name
                                                                  : std::string("?");
    };
    for (const duq_yacc::State& st : a.states) {
        for (const duq_yacc::Conflict& c : st.conflicts) {
            if (!c.reported)
                continue;
            Problem p;
            p.severity = Problem::Severity::Warning;
            p.file = grammarFile;
            const auto rule = std::find_if(a.productions.begin(), a.productions.end(),
                                           [&c](const duq_yacc::Production& r) { return r.number == c.production; });
            p.line = rule != a.productions.end() && rule->line > 0 ? rule->line : -1;
            const bool sr = c.kind == duq_yacc::ConflictKind::ShiftReduce;
            p.text = "konflikt v stave " + std::to_string(st.number) + ": " +
                     (sr ? "posun/redukcia na " : "redukcia/redukcia na ") + symbolName(c.symbol) +
                     " (pravidlo " + std::to_string(c.production) + ")";
            p.item = itemOf(p, "", kYaccWarningPrefix);
            out.push_back(std::move(p));
        }
    }
    return out;
}

int ProblemList::errors() const
{
    return static_cast<int>(std::count_if(problems_.begin(), problems_.end(),
                                          [](const Problem& p) { return p.severity == Problem::Severity::Error; }));
}

int ProblemList::warnings() const
{
    return size() - errors();
}

void ProblemList::add(Problem problem)
{
    files_.push_back(std::filesystem::path(problem.file).lexically_normal().string());
    problems_.push_back(std::move(problem));
}

std::vector<Problem> ProblemList::inFile(const std::string& file) const
{
    std::vector<Problem> out;
    if (file.empty())
        return out;
    const std::string wanted = std::filesystem::path(file).lexically_normal().string();
    for (size_t i = 0; i < problems_.size(); ++i)
        if (files_[i] == wanted)
            out.push_back(problems_[i]);
    return out;
}

} // namespace vork
