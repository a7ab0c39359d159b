// Editor page timings on large texts:
//   shell_page_bench [MB]      (default 4; QT_QPA_PLATFORM=offscreen)
// Each line reports the best of three runs.  Goal: every operation on a
// 4 MB source stays under a second, so that no command freezes the window
// for long.
#include "vork/shell/stranka.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>

namespace {

using vork::shell::Prompter;

class SilentPrompter : public Prompter {
public:
    bool askYesNo(const QString&, const QString&, Icon) override { return false; }
    void inform(const QString&, const QString&, Icon) override {}
    void showErrorText(const QString&) override {}
    QString chooseFile(QWidget*, const FileDialog&) override { return {}; }
    bool chooseFont(QWidget*, QFont&, int) override { return false; }
    int execDialog(QDialog&) override { return 0; }
};

double bestMs(const std::function<void()>& setUp, const std::function<void()>& work)
{
    double best = 1e18;
    for (int i = 0; i < 3; ++i) {
        setUp();
        const auto t0 = std::chrono::steady_clock::now();
        work();
        const auto t1 = std::chrono::steady_clock::now();
        best = std::min(best, std::chrono::duration<double, std::milli>(t1 - t0).count());
    }
    return best;
}

void report(const char* what, double ms, double mb)
{
    std::printf("%-44s %9.1f ms  %7.1f MB/s%s\n", what, ms, mb / (ms / 1000.0), ms > 1000.0 ? "  SLOW" : "");
}

} // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    const double mb = argc > 1 ? std::atof(argv[1]) : 4.0;

    // A lex-like source: one token "yytext" per line among other words,
    // CR LF line ends, and a few bytes that are not UTF-8.
    const QByteArray line("    if (c == '\\n') { yylineno++; return yytext[0]; }\r\n");
    QByteArray utf8;
    while (utf8.size() < mb * 1024 * 1024)
        utf8 += line;
    utf8 += "ENDMARK\r\n";
    QByteArray legacy = utf8;
    for (qsizetype i = 7; i < legacy.size(); i += 4096)
        legacy[i] = '\xE8';
    const double size = utf8.size() / (1024.0 * 1024.0);

    vork::shell::FileText decoded;
    for (const auto& [name, bytes] : {std::pair{"decode UTF-8", &utf8}, std::pair{"decode Windows-1250", &legacy}})
        report(name, bestMs([] {}, [&, b = bytes] { decoded = vork::shell::decodeFileText(*b); }), size);
    QByteArray out;
    report("encode Windows-1250", bestMs([] {}, [&] { vork::shell::encodeFileText(decoded.text, decoded, &out, nullptr); }), size);

    QTemporaryDir dir;
    QFile f(dir.filePath("big.l"));
    if (!f.open(QIODevice::WriteOnly) || f.write(utf8) != utf8.size())
        return 1;
    f.close();
    SilentPrompter prompter;
    QTabWidget tabs;
    auto page = std::make_unique<vork::shell::TStranka>(&tabs, prompter, QFont("Monospace", 10));
    page->setFileName(f.fileName());

    report("load into the page", bestMs([] {}, [&] { page->load(nullptr); }), size);
    report("find next: from the top to the last line",
           bestMs([&] { page->editor()->moveCursor(QTextCursor::Start); },
                  [&] { page->findNext("endmark", false, true); }),
           size);
    report("replace-all (one match a line)", bestMs([&] { page->load(nullptr); },
                                                    [&] { page->replaceNext("yytext", "yytxt", true, true, true); }),
           size);
    report("save", bestMs([] {}, [&] { page->save(); }), size);
    return 0;
}
