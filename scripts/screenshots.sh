#!/bin/sh
# Renews the pictures in docs/images from the running window: the window
# tests drive the IDE on the offscreen platform and save it at the moments
# the guide shows (calc open, its output after F9, an error jump, a stopped
# debug run and one let go without stepping, a Jal translation, the
# settings and arguments dialogs, the problem list and the editor margin).
set -e
cd "$(dirname "$0")/.."
[ -d build ] || scripts/build.sh
cmake --build build -j"$(nproc)" --target shell_tests vork duq-lex duq-yacc >/dev/null
mkdir -p docs/images
VORK_SHOTS_DIR="$(pwd)/docs/images" QT_QPA_PLATFORM=offscreen \
    build/test-bin/shell_tests --gtest_filter='WindowTest.F9*:WindowTest.ABrokenGrammar*:WindowTest.ACompilerError*:WindowTest.Conflicts*:WindowTest.ADebugRun*:WindowTest.Jal*:Commands.*:DebugInsightTest.*:ScannerRuleStopTest.*:RunEndMarksTest.RunFree*'
ls -l docs/images/*.png
