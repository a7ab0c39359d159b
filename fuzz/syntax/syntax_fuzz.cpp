// Feeds a syntax.cfg and a text to the colouring passes.  The input is the
// configuration, a NUL byte, then the text (UTF-8); without a NUL the whole
// input is the text, coloured with an empty table.
//
// Checked: nothing crashes, and every span of both passes is non-empty,
// inside its text, sorted and disjoint; the HTML page is built from them.
#include "vork/colour/colouring.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

using namespace vork::colour;

namespace {

void check(const std::vector<Span>& spans, std::size_t n)
{
    long long last = 0;
    for (const Span& s : spans) {
        if (s.length <= 0 || s.start < last || static_cast<std::size_t>(s.start) + s.length > n)
            std::abort();
        last = static_cast<long long>(s.start) + s.length;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view all(reinterpret_cast<const char*>(data), size);
    const std::size_t nul = all.find('\0');
    const std::string_view config = nul == std::string_view::npos ? std::string_view() : all.substr(0, nul);
    const std::string_view bytes = nul == std::string_view::npos ? all : all.substr(nul + 1);

    const WordTable table = parseSyntaxConfig(config);
    const std::u16string text = utf8ToUtf16(bytes);

    const std::vector<Span> whole = wholeTextPass(text, table);
    check(whole, text.size());
    // Every line on its own, as the editor recolours it.
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(u'\n', start);
        if (end == std::u16string::npos)
            end = text.size();
        check(linePass(std::u16string_view(text).substr(start, end - start), table), end - start);
        start = end + 1;
    }
    // And the whole text as one "line", line ends and all.
    check(linePass(text, table), text.size());
    const std::string page = renderHtml(text, whole, "fuzz");
    if (page.find("</pre>") == std::string::npos)
        std::abort();
    return 0;
}
