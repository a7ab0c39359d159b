#include "jal_test_support.h"

#include "jal/jal.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace jaltest {

bool readFile(const std::string& path, std::string& out)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    if (!in || !(s << in.rdbuf()))
        return false;
    out = s.str();
    return true;
}

Lines readLines(const std::string& path)
{
    Lines lines;
    std::ifstream in(path, std::ios::binary);
    for (std::string line; std::getline(in, line); lines.push_back(line))
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
    return lines;
}

std::vector<Lines> readTable(const std::string& name)
{
    std::vector<Lines> rows;
    const std::string escapes = "nrtf0\\|", meanings("\n\r\t\f\0\\|", 7);
    for (const std::string& line : readLines(VORK_SOURCE_DIR "/tests/jal/data/" + name)) {
        if (line.empty() || line[0] == '#')
            continue;
        rows.emplace_back(1);
        for (std::size_t i = 0; i < line.size(); ++i) {
            const std::size_t e = line[i] == '\\' && i + 1 < line.size() ? escapes.find(line[i + 1]) : std::string::npos;
            if (e != std::string::npos)
                rows.back().back() += meanings[e], ++i;
            else if (line[i] == '|')
                rows.back().emplace_back();
            else
                rows.back().back() += line[i];
        }
        for (std::string& cell : rows.back()) {
            cell.erase(0, cell.find_first_not_of(' '));
            cell.erase(cell.find_last_not_of(' ') + 1);
        }
    }
    if (rows.empty())
        throw std::runtime_error("no table " + name);
    return rows;
}

std::string hex(const std::string& bytes)
{
    std::string out;
    char buf[4];
    for (unsigned char b : bytes) {
        std::snprintf(buf, sizeof buf, out.empty() ? "%02x" : " %02x", b);
        out += buf;
    }
    return out;
}

Outcome translate(const std::string& source, const std::string& name)
{
    writeFile(name, source);
    Outcome o;
    std::ostringstream console;
    o.ok = jal::jal_translate(name, console, &o.messageFile);
    o.console = console.str();
    o.messages = readLines(o.messageFile);
    o.classWritten = readFile(jal::class_file_name(name), o.classBytes);
    return o;
}

std::string ClassFile::show(unsigned index) const
{
    // A reference to an entry of the wrong kind shows as "?".
    auto is = [this](unsigned i, int tag) { return i < pool.size() && pool[i].tag == tag; };
    auto utf8 = [&](unsigned i) { return is(i, 1) ? pool[i].text : "?"; };
    auto nameAndType = [&](unsigned i) { return is(i, 12) ? utf8(pool[i].a) + " " + utf8(pool[i].b) : "?"; };
    const Entry e = index < pool.size() ? pool[index] : Entry{};
    switch (e.tag) {
    case 1: return e.text;
    case 7: return "C:" + utf8(e.a);
    case 8: return "S:" + utf8(e.a);
    case 6: { std::ostringstream s; s << "D:" << e.number; return s.str(); }
    case 12: return nameAndType(index);
    case 9: case 10: case 11:
        return std::string(1, "FMI"[e.tag - 9]) + ":" + (is(e.a, 7) ? utf8(pool[e.a].a) : "?") + "." + nameAndType(e.b);
    }
    return index > 1 && is(index - 1, 6) ? "-" : "?";
}

std::string ClassFile::showPool(unsigned first) const
{
    std::string out;
    for (unsigned i = first; i < pool.size(); ++i)
        out += (i == first ? "" : " | ") + show(i);
    return out;
}

bool parseClass(const std::string& b, ClassFile& c, std::string& error)
{
    std::size_t pos = 0;
    auto fail = [&pos](const std::string& what) { throw std::runtime_error(what + " at byte " + std::to_string(pos)); };
    auto take = [&](std::size_t n) {
        if (b.size() - pos < n)
            fail("truncated");
        pos += n;
        return b.substr(pos - n, n);
    };
    auto num = [&](std::size_t n) {
        uint32_t v = 0;
        for (unsigned char ch : take(n))
            v = v << 8 | ch;
        return v;
    };
    auto expect = [&](uint32_t v, std::size_t n, const char* what) { if (num(n) != v) fail(what); };
    auto ref = [&](const char* shown) { if (c.show(num(2)) != shown) fail(std::string("no ") + shown); };
    try {
        expect(0xCAFEBABE, 4, "magic");
        expect(0x0003002D, 4, "version");
        const uint32_t count = num(2);
        c.pool.assign(1, Entry{});
        while (c.pool.size() < count) {
            Entry e;
            e.tag = static_cast<uint8_t>(num(1));
            if (e.tag == 1)
                e.text = take(num(2));
            else if (e.tag == 7 || e.tag == 8)
                e.a = static_cast<uint16_t>(num(2));
            else if (e.tag >= 9 && e.tag <= 12)
                e.a = static_cast<uint16_t>(num(2)), e.b = static_cast<uint16_t>(num(2));
            else if (e.tag == 6) {
                const uint64_t bits = static_cast<uint64_t>(num(4)) << 32 | num(4);
                std::memcpy(&e.number, &bits, sizeof bits);
            } else
                fail("unknown tag " + std::to_string(e.tag));
            c.pool.push_back(e);
            if (e.tag == 6)
                c.pool.push_back(Entry{});
        }
        if (c.pool.size() != count)
            fail("a Double overruns the pool");
        c.flags = static_cast<uint16_t>(num(2));
        take(4); // this, super: checked by javap, as are the interfaces
        take(2 * num(2));
        for (uint32_t n = num(2); n > 0; --n) {
            take(6);
            expect(0, 2, "field attribute");
        }
        for (uint32_t n = num(2); n > 0; --n) {
            Method m;
            take(6); // flags, name, descriptor: checked by javap
            expect(1, 2, "method attribute count");
            ref("Code");
            const uint32_t length = num(4);
            m.maxStack = static_cast<uint16_t>(num(2));
            m.maxLocals = static_cast<uint16_t>(num(2));
            m.code = take(num(4));
            expect(0, 4, "exception table or Code attributes");
            if (length != m.code.size() + 12)
                fail("Code attribute length");
            c.methods.push_back(m);
        }
        expect(1, 2, "class attribute count");
        ref("SourceFile");
        expect(2, 4, "SourceFile length");
        take(2);
        if (pos != b.size())
            fail("trailing bytes");
        return true;
    } catch (const std::exception& e) {
        error = e.what();
        return false;
    }
}

} // namespace jaltest
