// --export-html: a source file as one coloured HTML page, coloured by the
// same whole-text pass and syntax.cfg as the editor pages.
#include "commands.h"

#include "vork/colour/colouring.h"
#include "vork/files.h"
#include "vork/progdir.h"
#include "vork/project/atomic_file.h"

#include <QStringDecoder>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

using namespace vork::app;
namespace colour = vork::colour;

namespace {

// The largest source coloured: far above any grammar or scanner (the
// 100,000-line benchmark grammar is 2 MB), and a bound on what a page of
// HTML, about six times the source, may take.
constexpr std::size_t kMaxSourceBytes = 64 * 1024 * 1024;

bool isUtf8(const std::string& bytes)
{
    QStringDecoder d(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = d.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    return !d.hasError();
}

// Windows-1250, the code page of Slovak sources written on Windows, from
// 0x80 on; 0 marks the five codes it leaves undefined.
const char16_t kCp1250[128] = {
    0x20AC, 0,      0x201A, 0,      0x201E, 0x2026, 0x2020, 0x2021, 0,      0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0,      0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A,
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7, 0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7, 0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C,
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7, 0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E,
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7, 0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7, 0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F,
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7, 0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,
};

// Sources are UTF-8; one that is not is read as Windows-1250 (its five
// undefined codes stand for themselves).  CR LF becomes one line end, as
// in the editor.
std::u16string decodeSource(const std::string& bytes)
{
    std::u16string text;
    if (isUtf8(bytes)) {
        text = colour::utf8ToUtf16(bytes);
    } else {
        text.reserve(bytes.size());
        for (const char ch : bytes) {
            const auto b = static_cast<unsigned char>(ch);
            text.push_back(b < 0x80 || !kCp1250[b - 0x80] ? char16_t(b) : kCp1250[b - 0x80]);
        }
    }
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n'))
            out.push_back(text[i]);
    return out;
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
    switch (vork::readRegularFile(source, bytes, kMaxSourceBytes)) {
    case vork::ReadStatus::Ok:
        break;
    case vork::ReadStatus::NotRegular:
        // A device such as /dev/zero never ends, and a pipe is no file.
        return fail("Súbor " + source + " nie je obyčajný súbor.");
    case vork::ReadStatus::TooLarge:
        return fail("Súbor " + source + " je väčší ako " + std::to_string(kMaxSourceBytes / (1024 * 1024)) +
                    " MB.");
    default:
        return fail("Súbor " + source + " sa nepodarilo prečítať: " + std::strerror(errno ? errno : EIO));
    }
    // Writing the page over its own source, or over the word file it is
    // coloured by, would lose that file.
    if (vork::sameFile(source, output))
        return fail("Výstup " + output + " je zdrojový súbor sám; zvoľte iný (-o).");
    if (vork::sameFile(config, output))
        return fail("Výstup " + output + " je súbor slov (--syntax); zvoľte iný (-o).");

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
