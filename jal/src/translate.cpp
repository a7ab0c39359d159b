#include "jal/jal.h"

#include "class_model.h"
#include "class_writer.h"
#include "message_file.h"
#include "messages.h"
#include "parser.h"
#include "scanner.h"
#include "vork/files.h"
#include "vork/text_codec.h"

#include <cstdio>
#include <fstream>
#include <new>
#include <utility>

namespace jal {
namespace {

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

bool jal_translate(const std::string& source_path, std::ostream& console, std::string* message_file)
{
    MessageFile messages(message_file, console);
    try {
        std::string bytes;
        switch (vork::readInput(source_path, bytes)) {
        case vork::InputCheck::Ok:
            break;
        case vork::InputCheck::NotRegular:
            messages.write(msg::kNotRegular, source_path);
            return false;
        case vork::InputCheck::TooLarge:
            messages.write(msg::kTooLarge, source_path);
            return false;
        default:
            messages.write(msg::kCannotOpen, source_path);
            return false;
        }
        // Texts reach the class file in UTF-8 (modified by the pool), so a
        // source written in Windows-1250 is read as such.  The delimiters
        // of every token are ASCII, which both readings share.
        const std::string source = vork::isUtf8(bytes) ? std::move(bytes) : vork::windows1250ToUtf8(bytes);

        ClassModel cls;
        Scanner scanner(source, console);
        Parser parser(scanner, cls);
        if (!parser.parse()) {
            messages.write(msg::kBadFile, source_path);
            return false;
        }
        messages.write(msg::kInputOk);

        const std::string className = class_file_name(source_path);
        if (vork::sameFile(className, source_path)) {
            messages.write(msg::kOutputIsSource, className);
            return false;
        }
        if (!writeClassFile(className, classFileBytes(cls), messages))
            return false;
        messages.write(msg::kOutputOk);
        return true;
    } catch (const std::bad_alloc&) {
        messages.write(msg::kNoMemory);
        return false;
    }
}

} // namespace jal
