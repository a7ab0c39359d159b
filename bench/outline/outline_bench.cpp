// Outline and "go to definition" timings on large specifications:
//   outline_bench [RULES]      (default 2000; QT_QPA_PLATFORM=offscreen)
// Each line reports the best of three runs.  Goal: a rebuild of the
// outline after a typing pause, and one F2, stay under 100 ms for a grammar
// of 2000 rules, since both run on the window's thread.
#include "vork/shell/grammar_outline.h"
#include "vork/shell/outline_dock.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QTreeWidget>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>

namespace {

using namespace vork::shell;

double bestMs(const std::function<void()>& work)
{
    double best = 1e18;
    for (int i = 0; i < 3; ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        work();
        const auto t1 = std::chrono::steady_clock::now();
        best = std::min(best, std::chrono::duration<double, std::milli>(t1 - t0).count());
    }
    return best;
}

void report(const char* what, double ms, double limit)
{
    std::printf("%-48s %9.1f ms%s\n", what, ms, ms > limit ? "  SLOW" : "");
}

// RULES rules of four alternatives each, every one with an action and a
// comment with letters of two bytes, and a token per rule.
QString grammar(int rules)
{
    QString text = QStringLiteral("%{\n#include <stdio.h>\n%}\n");
    for (int i = 0; i < rules; ++i)
        text += QStringLiteral("%token T%1 %2\n").arg(i).arg(300 + i);
    text += QStringLiteral("%left '+' '-'\n%%\n");
    for (int i = 0; i < rules; ++i) {
        const QString next = QStringLiteral("r%1").arg((i + 1) % rules);
        text += QStringLiteral("r%1\t: r%1 '+' %2\t{ $$ = $1 + $3; } /* súčet */\n").arg(i).arg(next);
        text += QStringLiteral("\t| T%1\t\t{ $$ = $1; }\n").arg(i);
        text += QStringLiteral("\t| '(' %1 ')'\t{ $$ = $2; }\n").arg(next);
        text += QStringLiteral("\t| ;\n");
    }
    text += QStringLiteral("%%\nint main(void) { return yyparse(); }\n");
    return text;
}

QString scanner(int definitions)
{
    QString text;
    for (int i = 0; i < definitions; ++i)
        text += QStringLiteral("D%1\t[a-z]+{D%2}?\n%s S%1\n").arg(i).arg(i + 1);
    text += QStringLiteral("%%\n");
    for (int i = 0; i < definitions; ++i)
        text += QStringLiteral("<S%1>{D%1}\t{ BEGIN S%2; }\n").arg(i).arg((i + 1) % definitions);
    return text;
}

} // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    const int rules = argc > 1 ? std::max(1, std::atoi(argv[1])) : 2000;
    const QString g = grammar(rules);
    const QString s = scanner(rules);
    std::printf("grammar: %d rules, %.1f MB; scanner: %d definitions, %.1f MB\n", rules,
                g.toUtf8().size() / 1048576.0, rules, s.toUtf8().size() / 1048576.0);

    size_t entries = 0;
    report("outline of the grammar", bestMs([&] { entries = buildOutline(SpecKind::Grammar, g).at(0).entries.size(); }),
           100);
    report("outline of the scanner", bestMs([&] { buildOutline(SpecKind::Scanner, s); }), 100);
    // The use farthest from its definition: r0 in the last rule's last line.
    const int lastLine = static_cast<int>(g.count(QLatin1Char('\n'))) - 4;
    DefinitionLookup found;
    report("go to definition at the end of the grammar",
           bestMs([&] { found = findDefinition(SpecKind::Grammar, g, lastLine, 7); }), 100);

    QPlainTextEdit editor;
    editor.setPlainText(g);
    OutlineDock dock;
    dock.show();
    dock.setSource(&editor, QStringLiteral("big.y"));
    report("dock rebuilt from the editor", bestMs([&] { dock.refresh(); }), 100);
    std::printf("%zu rules listed, %d groups shown; the jump found %s\n", entries, dock.tree()->topLevelItemCount(),
                found.result == DefinitionLookup::Result::Found ? "its rule" : "nothing");
    return 0;
}
