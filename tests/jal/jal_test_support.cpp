#include "jal_test_support.h"

#include "jal/jal.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <ftw.h>
#include <sys/wait.h>
#include <unistd.h>

namespace jaltest {

ScratchDir::ScratchDir()
{
    char cwd[4096];
    if (getcwd(cwd, sizeof cwd))
        previous_ = cwd;
    char tmpl[] = "/tmp/jal-test-XXXXXX";
    if (!mkdtemp(tmpl))
        throw std::runtime_error("mkdtemp failed");
    path_ = tmpl;
    if (chdir(path_.c_str()) != 0)
        throw std::runtime_error("chdir failed");
}

ScratchDir::~ScratchDir()
{
    if (!previous_.empty() && chdir(previous_.c_str()) != 0)
        std::perror("chdir");
    auto removeOne = [](const char* p, const struct stat*, int, struct FTW*) { return std::remove(p); };
    if (nftw(path_.c_str(), removeOne, 16, FTW_DEPTH | FTW_PHYS) != 0)
        std::fprintf(stderr, "could not remove %s\n", path_.c_str());
}

void writeFile(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

bool readFile(const std::string& path, std::string& out)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream s;
    s << in.rdbuf();
    out = s.str();
    return true;
}

bool exists(const std::string& path)
{
    return access(path.c_str(), F_OK) == 0;
}

std::vector<std::string> readLines(const std::string& path)
{
    std::vector<std::string> lines;
    std::ifstream in(path, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

Outcome translate(const std::string& source, const std::string& name)
{
    writeFile(name, source);
    Outcome o;
    std::ostringstream console;
    o.ok = jal::jal_translate(name, console);
    o.console = console.str();
    o.messages = readLines("jaltemp.tmp");
    o.classWritten = readFile(jal::class_file_name(name), o.classBytes);
    return o;
}

ProcessResult runCommand(const std::string& command)
{
    ProcessResult r;
    std::FILE* p = popen(command.c_str(), "r");
    if (!p)
        return r;
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0)
        r.output.append(buf, n);
    const int st = pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return r;
}

namespace {

class Reader {
public:
    explicit Reader(const std::string& b) : b_(b) {}
    uint32_t u1()
    {
        if (pos_ >= b_.size())
            throw std::runtime_error("truncated at byte " + std::to_string(pos_));
        return static_cast<uint8_t>(b_[pos_++]);
    }
    uint16_t u2() { uint32_t h = u1(); return static_cast<uint16_t>(h << 8 | u1()); }
    uint32_t u4() { uint32_t h = u2(); return h << 16 | u2(); }
    std::string bytes(std::size_t n)
    {
        if (b_.size() - pos_ < n)
            throw std::runtime_error("truncated bytes at " + std::to_string(pos_));
        std::string s = b_.substr(pos_, n);
        pos_ += n;
        return s;
    }
    bool atEnd() const { return pos_ == b_.size(); }

private:
    const std::string& b_;
    std::size_t pos_ = 0;
};

Member readMember(Reader& r, bool method)
{
    Member m;
    m.flags = r.u2();
    m.name = r.u2();
    m.descriptor = r.u2();
    m.attributes = r.u2();
    if (method && m.attributes >= 1) {
        m.codeName = r.u2();
        m.attributeLength = r.u4();
        m.maxStack = r.u2();
        m.maxLocals = r.u2();
        m.code = r.bytes(r.u4());
        if (r.u2() != 0 || r.u2() != 0)
            throw std::runtime_error("exception table or code attributes not empty");
        if (m.attributes != 1)
            throw std::runtime_error("more than one method attribute");
    } else if (m.attributes != 0) {
        throw std::runtime_error("unexpected member attributes");
    }
    return m;
}

} // namespace

const std::string& ClassFile::utf8(uint16_t index) const
{
    static const std::string none = "<bad utf8 index>";
    if (index == 0 || index >= pool.size() || pool[index].tag != 1)
        return none;
    return pool[index].text;
}

const std::string& ClassFile::className(uint16_t index) const
{
    static const std::string none = "<bad class index>";
    if (index == 0 || index >= pool.size() || pool[index].tag != 7)
        return none;
    return utf8(pool[index].a);
}

bool parseClass(const std::string& bytes, ClassFile& c, std::string& error)
{
    try {
        Reader r(bytes);
        c.magic = r.u4();
        c.minor = r.u2();
        c.major = r.u2();
        const uint16_t count = r.u2();
        c.pool.assign(1, PoolEntry{});
        while (c.pool.size() < count) {
            PoolEntry e;
            e.tag = static_cast<uint8_t>(r.u1());
            switch (e.tag) {
            case 1: e.text = r.bytes(r.u2()); break;
            case 7: case 8: e.a = r.u2(); break;
            case 9: case 10: case 11: case 12: e.a = r.u2(); e.b = r.u2(); break;
            case 6: {
                uint64_t bits = static_cast<uint64_t>(r.u4()) << 32;
                bits |= r.u4();
                std::memcpy(&e.number, &bits, sizeof bits);
                break;
            }
            default: throw std::runtime_error("unknown tag " + std::to_string(e.tag));
            }
            c.pool.push_back(e);
            if (e.tag == 6)
                c.pool.push_back(PoolEntry{});
        }
        if (c.pool.size() != count)
            throw std::runtime_error("a Double overruns the pool count");
        c.flags = r.u2();
        c.thisClass = r.u2();
        c.superClass = r.u2();
        for (uint16_t n = r.u2(); n > 0; --n)
            c.interfaces.push_back(r.u2());
        for (uint16_t n = r.u2(); n > 0; --n)
            c.fields.push_back(readMember(r, false));
        for (uint16_t n = r.u2(); n > 0; --n)
            c.methods.push_back(readMember(r, true));
        c.attributeCount = r.u2();
        c.sourceAttrName = r.u2();
        c.sourceAttrLength = r.u4();
        c.sourceName = r.u2();
        if (!r.atEnd())
            throw std::runtime_error("trailing bytes");
        return true;
    } catch (const std::exception& e) {
        error = e.what();
        return false;
    }
}

} // namespace jaltest
