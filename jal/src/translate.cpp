#include "jal/jal.h"

#include "class_model.h"
#include "class_writer.h"
#include "message_file.h"
#include "messages.h"
#include "parser.h"
#include "scanner.h"

#include <cstdio>
#include <fstream>
#include <new>

namespace jal {
namespace {

// The whole source; false when it can't be opened or read (a directory
// opens but does not read).
bool readSource(const std::string& path, std::string& out)
{
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return false;
    char buf[65536];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
        out.append(buf, n);
    const bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

bool writeClassFile(const std::string& name, const Bytes& bytes, MessageFile& messages)
{
    std::ofstream out(name, std::ios::binary | std::ios::trunc);
    if (!out) {
        messages.write(msg::kCannotCreate, name);
        return false;
    }
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        // A half-written class file would only fail later, in the JVM.
        std::remove(name.c_str());
        messages.write(msg::kCannotWrite, name);
        return false;
    }
    return true;
}

} // namespace

bool jal_translate(const std::string& source_path, std::ostream& console)
{
    MessageFile messages(console);
    try {
        std::string source;
        if (!readSource(source_path, source)) {
            messages.write(msg::kCannotOpen, source_path);
            return false;
        }

        ClassModel cls;
        Scanner scanner(source, console);
        Parser parser(scanner, cls);
        if (!parser.parse()) {
            messages.write(msg::kBadFile, source_path);
            return false;
        }
        messages.write(msg::kInputOk);

        if (!writeClassFile(class_file_name(source_path), classFileBytes(cls), messages))
            return false;
        messages.write(msg::kOutputOk);
        return true;
    } catch (const std::bad_alloc&) {
        messages.write(msg::kNoMemory);
        return false;
    }
}

} // namespace jal
