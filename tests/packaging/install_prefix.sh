#!/bin/sh
# install_prefix.sh BUILD_DIR CMAKE
#
# Installs the build into a fresh prefix and works from the installed
# files alone: the FHS layout, the examples made and run by the installed
# vork, the generators and vork-cc called directly, Jal, the Makefile
# example and the find_package(Vork) example.  Every result is compared
# with what the build tree's own programs give for the same input.
set -eu
build=$(cd "$1" && pwd)
cmake=$2
src=$(cd "$(dirname "$0")/../.." && pwd)

top=$(mktemp -d /tmp/vork-install-XXXXXX)
[ -n "${KEEP:-}" ] || trap 'rm -rf "$top"' EXIT INT TERM
prefix=$top/prefix
work=$top/work
ref=$top/ref
mkdir -p "$work" "$ref"

fail() { echo "FAIL: $*" >&2; exit 1; }
# Two generated files are the same apart from their header comment (the
# creation time, the paths of the specification and the skeleton).
same() {
    grep -v '^//' "$1" >"$top/same.1"; grep -v '^//' "$2" >"$top/same.2"
    cmp -s "$top/same.1" "$top/same.2"
}

"$cmake" --install "$build" --prefix "$prefix" >/dev/null

# The layout.
for f in bin/vork bin/duq-lex bin/duq-yacc bin/jal bin/vork-cc bin/vork-lsp; do
    [ -x "$prefix/$f" ] || fail "$f is not an installed program"
done
for f in ncform lncform yaccpar lyaccpar syntax.cfg konfig.ide \
         include/alloc.h include/windows.h include/vork_oldc.h include/vork_dbg.h \
         examples/calc/calc.lyy examples/wc/wc.lye examples/jal/hello.ly \
         examples/make/Makefile examples/cmake/CMakeLists.txt \
         cmake/VorkConfig.cmake cmake/VorkConfigVersion.cmake \
         icons/vork/index.theme icons/vork/README; do
    [ -f "$prefix/share/vork/$f" ] || fail "share/vork/$f is missing"
done
# The toolbar's own icon theme: every picture of the source tree, and the
# same files as the build tree's copy beside the programs.
for f in "$src"/shell/icons/vork/scalable/actions/*.svg; do
    name=$(basename "$f")
    cmp -s "$f" "$prefix/share/vork/icons/vork/scalable/actions/$name" ||
        fail "share/vork/icons/vork/scalable/actions/$name is missing or differs"
    cmp -s "$f" "$build/bin/icons/vork/scalable/actions/$name" || fail "bin/icons/vork/scalable/actions/$name is missing"
done
for f in man/man1/vork.1 man/man1/duq-lex.1 man/man1/duq-yacc.1 man/man1/jal.1 man/man1/vork-cc.1 man/man1/vork-lsp.1 \
         applications/vork.desktop mime/packages/vork.xml \
         icons/hicolor/scalable/apps/vork.svg icons/hicolor/48x48/apps/vork.png \
         icons/hicolor/256x256/apps/vork.png doc/vork/guide.md; do
    [ -f "$prefix/share/$f" ] || fail "share/$f is missing"
done
# Nothing data-like lands next to the programs, and no program points back
# into the build tree.
[ "$(ls "$prefix/bin" | sort | tr '\n' ' ')" = "duq-lex duq-yacc jal vork vork-cc vork-lsp " ] ||
    fail "unexpected files in bin: $(ls "$prefix/bin")"
for p in vork duq-lex duq-yacc jal; do
    if readelf -d "$prefix/bin/$p" | grep -q "$build"; then fail "$p has a run path into the build tree"; fi
done
for m in "$prefix"/share/man/man1/*.1; do
    warnings=$(groff -man -ww -z "$m" 2>&1) || fail "groff failed on $m"
    [ -z "$warnings" ] || fail "groff warns on $m: $warnings"
done
if command -v xmllint >/dev/null; then
    xmllint --noout "$prefix/share/mime/packages/vork.xml" || fail "vork.xml is not well-formed"
fi
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$prefix/share/applications/vork.desktop" || fail "vork.desktop does not validate"
fi
"$prefix/bin/vork-cc" --version | grep -q "$("$build/bin/vork" --version | sed 's/^VORK //')" ||
    fail "vork-cc --version does not name the release"

# The reference: the calculator made by the build tree's vork.
cp -r "$src/examples/calc" "$ref/calc"
"$build/bin/vork" --make "$ref/calc/calc.lyy" >/dev/null
(cd "$ref/calc" && ./calc.exe input.txt) >"$ref/calc.out" 2>&1
[ -s "$ref/calc.out" ] || fail "the reference calculator printed nothing"

# 1. The installed vork makes and runs the installed example.
cp -r "$prefix/share/vork/examples/." "$work/"
"$prefix/bin/vork" --run "$work/calc/calc.lyy" -- input.txt >"$work/run.out" 2>&1 ||
    fail "vork --run calc.lyy: exit $? $(cat "$work/run.out")"
# The calculator shares vork's standard output, so vork's own
# "Prekladač spustený .." may land before or among its lines.
lines=$(wc -l <"$ref/calc.out")
grep -v '^Prekladač spustený \.\.$' "$work/run.out" | tail -n "$lines" | cmp -s - "$ref/calc.out" ||
    fail "the installed calculator's output differs: $(cat "$work/run.out")"
same "$work/calc/lexyy.cpp" "$ref/calc/lexyy.cpp" || fail "installed duq-lex wrote another scanner"
grep -q "$prefix/bin/../share/vork/ncform" "$work/calc/lexyy.cpp" || fail "the scanner's skeleton is not share/vork's"
same "$work/calc/calc.cpp" "$ref/calc/calc.cpp" || fail "installed duq-yacc wrote another parser"

# 2. The generators and vork-cc by hand, on the LEX example, in debug and
#    plain mode (so all four skeletons are found in share/vork).
for mode in plain debug; do
    flag=; [ "$mode" = debug ] && flag=--debug
    # The sources by relative names, so that the #line directives agree.
    for d in "$work/wc-$mode" "$ref/wc-$mode"; do
        mkdir -p "$d" && cp "$src/examples/wc/wc.l" "$src/examples/calc/calc.y" "$d/"
    done
    (cd "$work/wc-$mode" && "$prefix/bin/duq-lex" $flag -o lexyy.cpp wc.l >/dev/null &&
        "$prefix/bin/duq-yacc" $flag -o calc.cpp calc.y >/dev/null) || fail "installed generators $flag"
    (cd "$ref/wc-$mode" && "$build/bin/duq-lex" $flag -o lexyy.cpp wc.l >/dev/null &&
        "$build/bin/duq-yacc" $flag -o calc.cpp calc.y >/dev/null)
    same "$work/wc-$mode/lexyy.cpp" "$ref/wc-$mode/lexyy.cpp" || fail "duq-lex $flag: scanners differ"
    same "$work/wc-$mode/calc.cpp" "$ref/wc-$mode/calc.cpp" || fail "duq-yacc $flag: parsers differ"
done
# vork-cc through a symbolic link elsewhere still finds its headers.
mkdir -p "$top/links" && ln -s "$prefix/bin/vork-cc" "$top/links/vork-cc"
(cd "$work/wc-plain" && "$top/links/vork-cc" lexyy.cpp) || fail "installed vork-cc on the scanner"
(cd "$work/wc-plain" && ./lexyy.exe <"$work/calc/input.txt" >wc.out) || fail "the wc scanner failed"
(cd "$ref/wc-plain" && "$build/bin/vork-cc" lexyy.cpp && ./lexyy.exe <"$src/examples/calc/input.txt" >wc.out)
cmp -s "$work/wc-plain/wc.out" "$ref/wc-plain/wc.out" || fail "the wc scanner counts differently"

# The installed language server finds the parser skeleton under share/vork:
# a grammar with a conflict gets the conflict, not a missing-file error.
lsp_msg() { printf 'Content-Length: %d\r\n\r\n%s' "$(printf '%s' "$1" | wc -c)" "$1"; }
{
    lsp_msg '{"jsonrpc":"2.0","id":1,"method":"initialize","params":{}}'
    lsp_msg '{"jsonrpc":"2.0","method":"textDocument/didOpen","params":{"textDocument":{"uri":"file:///x.y","languageId":"yacc","version":1,"text":"%token N\n%%\ne : e e | N ;\n"}}}'
    # the diagnostics come from a worker: wait for them (30 s at most)
    i=0
    while [ $i -lt 300 ] && ! grep -q 'publishDiagnostics' "$work/lsp.out" 2>/dev/null; do sleep 0.1; i=$((i + 1)); done
    lsp_msg '{"jsonrpc":"2.0","id":2,"method":"shutdown"}'
    lsp_msg '{"jsonrpc":"2.0","method":"exit"}'
} | (cd "$top" && "$prefix/bin/vork-lsp") >"$work/lsp.out" || fail "installed vork-lsp exit status"
grep -q 'shift/reduce' "$work/lsp.out" || fail "installed vork-lsp: no conflict reported: $(cat "$work/lsp.out")"

# 3. Jal from the installed tree: the example's compiler writes hello.jal,
#    vork --jal and jal itself assemble it.
"$prefix/bin/vork" --run "$work/jal/hello.ly" -- hello.txt >/dev/null 2>&1 || fail "vork --run hello.ly"
"$prefix/bin/vork" --jal "$work/jal/hello.ly" >/dev/null 2>&1 || fail "vork --jal hello.ly"
[ -s "$work/jal/HELLO.CLASS" ] || fail "no HELLO.CLASS"
mv "$work/jal/HELLO.CLASS" "$work/jal/first.class"
(cd "$work/jal" && "$prefix/bin/jal" hello.jal >/dev/null) || fail "installed jal"
cmp -s "$work/jal/HELLO.CLASS" "$work/jal/first.class" || fail "jal and vork --jal wrote different class files"

# 4. The Makefile example: builds, is then up to date, and an edited
#    specification regenerates the scanner.
make -s -C "$work/make" VORK_PREFIX="$prefix" >/dev/null || fail "make in examples/make"
(cd "$work/make" && ./calc.exe ../calc/input.txt) >"$work/make.out" 2>&1
cmp -s "$work/make.out" "$ref/calc.out" || fail "the Makefile calculator differs"
make -q -C "$work/make" VORK_PREFIX="$prefix" || fail "make is not up to date after a build"
sleep 1 && touch "$work/calc/calc.l"
if make -q -C "$work/make" VORK_PREFIX="$prefix"; then fail "make missed the edited calc.l"; fi
make -s -C "$work/make" VORK_PREFIX="$prefix" >/dev/null || fail "make after an edit"

# 5. find_package(Vork): configure, build, run; an edited grammar is
#    regenerated by the next build.
"$cmake" -S "$work/cmake" -B "$work/cmake-build" -DCMAKE_PREFIX_PATH="$prefix" >/dev/null ||
    fail "configuring the find_package(Vork) example"
"$cmake" --build "$work/cmake-build" >/dev/null || fail "building the find_package(Vork) example"
(cd "$work/calc" && "$work/cmake-build/calc" input.txt) >"$work/cmake.out" 2>&1
cmp -s "$work/cmake.out" "$ref/calc.out" || fail "the CMake calculator differs"
before=$(stat -c %Y "$work/cmake-build/calc.cpp")
sleep 1 && touch "$work/calc/calc.y"
"$cmake" --build "$work/cmake-build" >/dev/null || fail "rebuilding the find_package(Vork) example"
[ "$(stat -c %Y "$work/cmake-build/calc.cpp")" != "$before" ] || fail "the edited grammar was not regenerated"

echo "install into $prefix: everything ran from the installed files"
