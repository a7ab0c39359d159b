// Colouring a 1 MB C file on the offscreen platform, side by side:
//   load      setPlainText into a QPlainTextEdit, uncoloured, and paint
//   pass      the whole-text pass alone (spans)
//   whole     the whole-text pass applied to the editor (goal <= 150 ms)
//   keystroke one typed character plus the line pass applied to its line
//             (goal <= 1 ms and at least 100 times below "whole")
// Prints the median of several runs in milliseconds.
//
//   QT_QPA_PLATFORM=offscreen build/bench-bin/colour_bench [SYNTAX_CFG]
#include "vork/colour/colouring.h"
#include "vork/shell/colour_applier.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QTextBlock>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

using Clock = std::chrono::steady_clock;

namespace {

// A C file of about `bytes` bytes: functions with comments, directives,
// strings, character literals and numbers of every base.
QString cSource(int bytes)
{
    QString s;
    for (int i = 0; s.size() < bytes; ++i) {
        s += QStringLiteral(
                 "#include \"part%1.h\"\n"
                 "/* Function %1: adds up the table and reports it. */\n"
                 "static unsigned long sum%1(const int *table, int n)\n"
                 "{\n"
                 "    unsigned long total = 0x%1F; // start value\n"
                 "    for (int k = 0; k < n; ++k) {\n"
                 "        if (table[k] == '\\'' || table[k] == 017)\n"
                 "            continue;\n"
                 "        total += table[k] * 3.5 + %1;\n"
                 "    }\n"
                 "    printf(\"sum %%d = %%lu \\\"ok\\\"\\n\", n, total);\n"
                 "    return total;\n"
                 "}\n\n")
                 .arg(i);
    }
    return s;
}

double medianMs(int runs, const std::function<void()>& setup, const std::function<void()>& work)
{
    std::vector<double> t;
    for (int i = 0; i < runs; ++i) {
        setup();
        const auto start = Clock::now();
        work();
        t.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    std::sort(t.begin(), t.end());
    return t[t.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    const std::string cfg = argc > 1 ? argv[1] : VORK_SYNTAX_CFG;
    std::string message;
    const vork::colour::WordTable table = vork::colour::loadSyntaxConfig(cfg, &message);
    if (!message.empty()) {
        std::fprintf(stderr, "%s\n", message.c_str());
        return 1;
    }
    const QString text = cSource(1 << 20);
    const std::u16string_view view(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size()));

    QPlainTextEdit editor;
    editor.resize(800, 600);
    editor.setLineWrapMode(QPlainTextEdit::NoWrap);
    editor.show();
    vork::shell::ColourApplier applier(table);
    auto paint = [&] { editor.viewport()->repaint(); };

    const int runs = 5;
    const double load = medianMs(
        runs, [&] { editor.clear(); QCoreApplication::processEvents(); },
        [&] { editor.setPlainText(text); paint(); });
    std::size_t spanCount = 0;
    const double pass = medianMs(
        runs, [] {}, [&] { spanCount = vork::colour::wholeTextPass(view, table).size(); });
    const double whole = medianMs(
        runs, [&] { editor.setPlainText(text); QCoreApplication::processEvents(); },
        [&] { applier.colourWhole(editor); paint(); });

    // Keystrokes in the middle of the file, each followed by the line pass
    // on the caret's line, as the editor page does after every change.
    // Every run types into a fresh line of the same kind (one of the
    // "total = 0x..F" lines), so that the runs see lines of equal length.
    editor.setPlainText(text);
    applier.colourWhole(editor);
    const int middle = editor.document()->blockCount() / 2 / 14 * 14 + 4;
    int nextLine = middle;
    auto freshLine = [&] {
        QTextCursor c(editor.document()->findBlockByNumber(nextLine));
        nextLine += 14;
        c.movePosition(QTextCursor::EndOfBlock);
        editor.setTextCursor(c);
        editor.centerCursor();
        QCoreApplication::processEvents();
    };
    const int keys = 100;
    const double keystroke = medianMs(
        runs, freshLine,
        [&] {
            for (int i = 0; i < keys; ++i) {
                editor.insertPlainText(i % 2 ? QStringLiteral(" ") : QStringLiteral("x"));
                applier.recolourLine(editor, editor.textCursor().blockNumber());
            }
        }) / keys;
    const double typingOnly = medianMs(
        runs, freshLine,
        [&] {
            for (int i = 0; i < keys; ++i)
                editor.insertPlainText(i % 2 ? QStringLiteral(" ") : QStringLiteral("x"));
        }) / keys;
    const double lineOnly = medianMs(
        runs, freshLine,
        [&] {
            for (int i = 0; i < keys; ++i)
                applier.recolourLine(editor, editor.textCursor().blockNumber());
        }) / keys;

    std::printf("colouring a %lld-byte C file (%d lines, %zu spans), median of %d runs\n",
                static_cast<long long>(text.size()), editor.document()->blockCount(), spanCount, runs);
    std::printf("  %-44s %10.3f ms\n", "load uncoloured (setPlainText + paint)", load);
    std::printf("  %-44s %10.3f ms\n", "whole-text pass, spans only", pass);
    std::printf("  %-44s %10.3f ms   goal <= 150 ms: %s\n", "whole-text pass applied + paint", whole,
                whole <= 150 ? "met" : "MISSED");
    std::printf("  %-44s %10.4f ms   goal <= 1 ms: %s\n", "keystroke + line pass applied", keystroke,
                keystroke <= 1 ? "met" : "MISSED");
    std::printf("  %-44s %10.4f ms\n", "keystroke alone (no colouring)", typingOnly);
    std::printf("  %-44s %10.4f ms\n", "line pass applied alone", lineOnly);
    std::printf("  whole / (keystroke + line pass): %.0fx (goal >= 100x: %s)\n", whole / keystroke,
                whole / keystroke >= 100 ? "met" : "MISSED");
    std::printf("  whole / line pass alone: %.0fx; whole / load: %.2fx\n", whole / lineOnly, whole / load);
    return 0;
}
