#include "lex_harness.h"

#include "duq_lex/lex_run.h"

#include <filesystem>
#include <sstream>

namespace lextest {

std::string dataFile(const std::string& name)
{
    return readFile(VORK_SOURCE_DIR "/tests/duq_lex/data/" + name);
}

std::string withoutDateLine(const std::string& text)
{
    std::string out;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("//    Created:  ", 0) != 0 && line.rfind("//    Vytvorene:  ", 0) != 0)
            out += line + '\n';
    return out;
}

Result runIn(const TempDir& dir, const std::string& skeleton, const std::string& spec, const std::string& output,
             int slovak, int statistics, int optimise, int large)
{
    Capture sinks;
    Result r;
    {
        vorktest::CurrentDir cwd(dir.path(""));
        r.status = duq_lex::lex_run(sinks, skeleton, spec, output, slovak, statistics, optimise, large);
    }
    r.output = readFile(dir.path(output));
    r.outputExists = std::filesystem::exists(dir.path(output));
    r.messages = sinks.messages;
    r.errors = sinks.errors;
    return r;
}

Result generate(const std::string& spec, int slovak, int statistics, int optimise, int large)
{
    TempDir dir;
    dir.write("x.l", spec);
    dir.write("skel", "/* skeleton */\n");
    return runIn(dir, "skel", "x.l", "x.c", slovak, statistics, optimise, large);
}

namespace {

std::string block(const std::string& text, const std::string& opening)
{
    size_t a = text.find(opening);
    if (a == std::string::npos)
        return std::string();
    a += opening.size();
    size_t b = text.find("};", a);
    return text.substr(a, b - a);
}

std::vector<int> integers(const std::string& s)
{
    std::vector<int> v;
    size_t i = 0;
    while (i < s.size()) {
        if (s.compare(i, 2, "/*") == 0) {
            size_t e = s.find("*/", i);
            i = e == std::string::npos ? s.size() : e + 2;
            continue;
        }
        if (s[i] == '-' || (s[i] >= '0' && s[i] <= '9')) {
            size_t used = 0;
            v.push_back(std::stoi(s.substr(i), &used));
            i += used;
            continue;
        }
        ++i;
    }
    return v;
}

int afterPrefix(const std::string& line, const std::string& prefix, int none)
{
    size_t p = line.find(prefix);
    return p == std::string::npos ? none : std::stoi(line.substr(p + prefix.size()));
}

} // namespace

Tables Tables::parse(const std::string& text)
{
    Tables t;
    t.vstop = integers(block(text, "int   yyvstop[]  =  {\n"));
    std::vector<int> crank = integers(block(text, "}  yycrank[]  =  { \n"));
    for (size_t i = 0; i + 1 < crank.size(); i += 2) {
        t.verify.push_back(crank[i]);
        t.advance.push_back(crank[i + 1]);
    }
    std::istringstream svec(block(text, "struct  yysvf   yysvec[]  =  {\n"));
    std::string line;
    std::getline(svec, line);  // the dummy entry
    while (std::getline(svec, line)) {
        if (line.find("yycrank+") == std::string::npos)
            continue;
        State s;
        s.base = afterPrefix(line, "yycrank+", 0);
        s.other = afterPrefix(line, "yysvec+", 0) - 1;
        s.stops = afterPrefix(line, "yyvstop+", -1);
        t.states.push_back(s);
    }
    size_t top = text.find("*yytop  = yycrank + ");
    if (top != std::string::npos)
        t.top = std::stoi(text.substr(top + 20));
    std::string m = block(text, "char  yymatch[]  =  {\n");
    for (size_t i = 0; i < m.size();) {
        char c = m[i];
        if (c == '\'') {
            t.match.push_back(static_cast<unsigned char>(m[i + 1]));
            i = m.find(',', i + 3) + 1;
        } else if (c >= '0' && c <= '7') {
            size_t used = 0;
            t.match.push_back(std::stoi(m.substr(i), &used, 8));
            i += used;
        } else {
            ++i;
        }
    }
    t.extra = integers(block(text, "char  yyextra[]  =   {\n"));
    return t;
}

int Tables::next(int s, int c) const
{
    for (int st = s; st >= 0; st = states[static_cast<size_t>(st)].other) {
        int base = states[static_cast<size_t>(st)].base;
        bool compressed = base < 0;
        if (compressed)
            base = -base;
        int probes[2] = {c, compressed && !match.empty() ? match[static_cast<size_t>(c)] : -1};
        for (int probe : probes) {
            if (probe < 0)
                continue;
            int slot = base + probe;
            if (slot <= top && slot < static_cast<int>(verify.size()) && verify[static_cast<size_t>(slot)] == st + 1)
                return advance[static_cast<size_t>(slot)] - 1;
        }
    }
    return -1;
}

std::pair<int, int> Tables::longest(const std::string& input, int sc, bool lineStart) const
{
    int s = 2 * sc + (lineStart ? 1 : 0);
    std::pair<int, int> best{0, 0};
    auto accept = [&](int state, int len) {
        int at = states[static_cast<size_t>(state)].stops;
        if (at < 0)
            return;
        for (size_t i = static_cast<size_t>(at); i < vstop.size() && vstop[i] != 0; ++i)
            if (vstop[i] > 0) {
                best = {vstop[i], len};
                return;
            }
    };
    accept(s, 0);
    for (size_t i = 0; i < input.size(); ++i) {
        s = next(s, static_cast<unsigned char>(input[i]));
        if (s < 0)
            break;
        accept(s, static_cast<int>(i + 1));
    }
    return best;
}

} // namespace lextest
