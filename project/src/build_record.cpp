#include "vork/project/build_record.h"

#include "vork/project/atomic_file.h"

#include <sstream>
#include <sys/stat.h>

namespace vork {

namespace {

int64_t ns(const struct timespec& t)
{
    return static_cast<int64_t>(t.tv_sec) * 1000000000 + t.tv_nsec;
}

void put(std::ostringstream& out, const FileIdentity& id)
{
    out << ' ' << id.inode << ' ' << id.size << ' ' << id.mtimeNs << ' ' << id.ctimeNs;
}

bool get(std::istringstream& in, FileIdentity& id)
{
    id.present = static_cast<bool>(in >> id.inode >> id.size >> id.mtimeNs >> id.ctimeNs);
    return id.present;
}

} // namespace

FileIdentity identityOf(const std::string& path)
{
    FileIdentity id;
    struct stat st;
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return id;
    id.present = true;
    id.inode = static_cast<uint64_t>(st.st_ino);
    id.size = static_cast<int64_t>(st.st_size);
    id.mtimeNs = ns(st.st_mtim);
    id.ctimeNs = ns(st.st_ctim);
    return id;
}

int64_t modificationTimeNs(const std::string& path)
{
    struct stat st;
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return -1;
    return ns(st.st_mtim);
}

std::string BuildRecord::serialize() const
{
    std::ostringstream out;
    for (const auto& [name, step] : {std::pair<const char*, const Step&>{"lex", scanner}, {"yacc", parser}}) {
        if (!step.valid)
            continue;
        out << name << ' ' << step.specMtimeNs;
        put(out, step.output);
        out << ' ' << step.options << "\r\n";
    }
    if (programValid) {
        out << "exe";
        put(out, program);
        out << "\r\n";
    }
    return out.str();
}

bool BuildRecord::parse(const std::string& bytes)
{
    BuildRecord r;
    for (const std::string& line : splitLines(bytes)) {
        std::istringstream in(line);
        std::string name;
        in >> name;
        if (name == "lex" || name == "yacc") {
            Step& step = name == "lex" ? r.scanner : r.parser;
            if (!(in >> step.specMtimeNs) || !get(in, step.output)) {
                *this = BuildRecord();
                return false;
            }
            if (!(in >> step.options))
                step.options = 0;
            step.valid = true;
        } else if (name == "exe") {
            if (!get(in, r.program)) {
                *this = BuildRecord();
                return false;
            }
            r.programValid = true;
        } else if (!name.empty()) {
            *this = BuildRecord();
            return false;
        }
    }
    *this = r;
    return true;
}

bool stepCurrent(const BuildRecord::Step& step, const std::string& source, const std::string& output)
{
    return step.valid && modificationTimeNs(source) == step.specMtimeNs && identityOf(output) == step.output;
}

} // namespace vork
