// --export-html: a source file as one coloured HTML page, coloured by the
// same whole-text pass and syntax.cfg as the editor pages.
#include "commands.h"

#include "vork/colour/colouring.h"
#include "vork/progdir.h"

#include <QStringDecoder>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

using namespace vork::app;
namespace colour = vork::colour;

namespace {

bool readFile(const std::string& path, std::string* bytes, int* error)
{
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        *error = errno;
        return false;
    }
    char buf[65536];
    std::size_t got;
    while ((got = std::fread(buf, 1, sizeof buf, f)) > 0)
        bytes->append(buf, got);
    const bool ok = !std::ferror(f);
    *error = ok ? 0 : (errno ? errno : EIO);
    std::fclose(f);
    return ok;
}

bool isUtf8(const std::string& bytes)
{
    QStringDecoder d(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    (void)d.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    return !d.hasError();
}

// Sources are UTF-8; one that is not is taken as Windows-1250, the code page
// of Slovak sources written on Windows, when this Qt knows it, else byte
// for byte.  CR LF becomes one line end, as in the editor.
std::u16string decodeSource(const std::string& bytes)
{
    std::u16string text;
    QStringDecoder cp1250("windows-1250");
    if (!isUtf8(bytes) && cp1250.isValid()) {
        const QString s = cp1250.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
        text.assign(reinterpret_cast<const char16_t*>(s.utf16()), static_cast<std::size_t>(s.size()));
    } else {
        text = colour::utf8ToUtf16(bytes);
    }
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n'))
            out.push_back(text[i]);
    return out;
}

bool sameFile(const std::string& a, const std::string& b)
{
    struct stat sa, sb;
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

int fail(const std::string& text)
{
    std::fprintf(stderr, "vork: %s\n", text.c_str());
    return kExitFailure;
}

int runExportHtml(Invocation& inv)
{
    const std::string& source = inv.operands[0];
    const std::string output = inv.has("-o") ? inv.modifiers.at("-o") : source + ".html";
    const std::string config = inv.has("--syntax") ? inv.modifiers.at("--syntax") : vork::dataFilePath("syntax.cfg");

    std::string message;
    const colour::WordTable table = colour::loadSyntaxConfig(config, &message);
    if (!message.empty())
        return fail(message);

    std::string bytes;
    int error = 0;
    if (!readFile(source, &bytes, &error))
        return fail("Súbor " + source + " sa nepodarilo prečítať: " + std::strerror(error));
    // Writing the page over its own source would lose the source.
    if (sameFile(source, output))
        return fail("Výstup " + output + " je zdrojový súbor sám; zvoľte iný (-o).");

    const std::u16string text = decodeSource(bytes);
    const std::size_t slash = source.find_last_of('/');
    const std::string title = slash == std::string::npos ? source : source.substr(slash + 1);
    const std::string page = colour::renderHtml(text, colour::wholeTextPass(text, table), title);

    std::FILE* f = std::fopen(output.c_str(), "wb");
    if (!f)
        return fail("Súbor " + output + " sa nepodarilo vytvoriť: " + std::strerror(errno));
    int writeError = std::fwrite(page.data(), 1, page.size(), f) == page.size() ? 0 : (errno ? errno : EIO);
    if (std::fclose(f) != 0 && writeError == 0)
        writeError = errno ? errno : EIO;
    if (writeError != 0) {
        // No half page is left behind to be taken for the whole.
        std::remove(output.c_str());
        return fail("Súbor " + output + " sa nepodarilo zapísať: " + std::strerror(writeError));
    }
    return kExitOk;
}

Registration registration([](Registry& r) {
    r.addCommand({"--export-html", "SÚBOR",
                  "uloží SÚBOR zafarbený ako HTML stránku do SÚBOR.html (alebo do -o VÝSTUP), slová zo syntax.cfg "
                  "pri programe (alebo --syntax CFG)",
                  1, 1, 40, runExportHtml});
    r.addModifier({"-o", "VÝSTUP", "pri --export-html: výstupný súbor (inak SÚBOR.html)", 40});
    r.addModifier({"--syntax", "CFG", "pri --export-html: súbor slov namiesto syntax.cfg pri programe", 41});
});

} // namespace
