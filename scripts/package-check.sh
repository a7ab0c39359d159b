#!/bin/sh
# Packaging check for CI: builds the Debian package, installs it with
# apt-get as a user would, makes and runs the calculator example from the
# installed files alone, removes the package and checks that it left
# nothing behind.  Then the install into a prefix, the find_package(Vork)
# and the Makefile examples (ctest -R packaging).  Needs root or sudo and
# the dependencies of scripts/deps.sh; builds into build/ when needed.
set -eu
cd "$(dirname "$0")/.."
root=$(pwd)
build=$root/build
SUDO=
[ "$(id -u)" -eq 0 ] || SUDO=sudo

fail() { echo "package-check: FAIL: $*" >&2; exit 1; }

# Installing and removing the package must not touch a VORK the machine
# already has.
if dpkg-query -W -f='${Status}' vork 2>/dev/null | grep -q 'ok installed'; then
    fail "a vork package is installed already; remove it first"
fi

[ -f "$build/CMakeCache.txt" ] || cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)" >/dev/null

rm -f "$build"/vork_*.deb
(cd "$build" && cpack -G DEB >/dev/null) || fail "cpack"
set -- "$build"/vork_*.deb
[ $# -eq 1 ] && [ -f "$1" ] || fail "cpack wrote no single vork_*.deb"
deb=$1

work=$(mktemp -d /tmp/vork-package-XXXXXX)
installed=
cleanup() {
    if [ -n "$installed" ]; then
        DEBIAN_FRONTEND=noninteractive $SUDO apt-get remove --purge -y -qq vork >/dev/null 2>&1 || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

depends=$(dpkg-deb -f "$deb" Depends)
for d in libqt6core6 g++ libstdc++6; do
    echo "$depends" | grep -q "$d" || fail "Depends lacks $d: $depends"
done

# The reference: the calculator from the build tree.
cp -r examples/calc "$work/ref"
"$build/bin/vork" --make "$work/ref/calc.lyy" >/dev/null
(cd "$work/ref" && ./calc.exe input.txt) >"$work/ref.out" 2>&1

installed=yes
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "$deb" >"$work/apt.log" 2>&1 ||
    fail "apt-get install $deb: $(cat "$work/apt.log")"
dpkg -L vork >"$work/files"

# From here on only the installed files: a clean environment whose PATH
# holds no build tree.
run() { env -i PATH=/usr/bin:/bin HOME="$work/home" LANG=C.UTF-8 "$@"; }
mkdir -p "$work/home"
expected=$("$build/bin/vork" --version)
[ "$(run vork --version)" = "$expected" ] || fail "vork --version: $(run vork --version)"
[ "$(command -v vork)" = /usr/bin/vork ] || true
for p in vork duq-lex duq-yacc jal vork-cc; do
    run man -w "$p" >/dev/null 2>&1 || fail "no manual page for $p"
done

# The toolbar's own icon theme, with every picture of the source tree.
[ -f /usr/share/vork/icons/vork/index.theme ] || fail "the package lacks the icon theme"
for f in shell/icons/vork/scalable/actions/*.svg; do
    grep -qx "/usr/share/vork/icons/vork/scalable/actions/$(basename "$f")" "$work/files" ||
        fail "the package lacks the icon $(basename "$f")"
done
echo "$depends" | grep -q libqt6svg6 || fail "Depends lacks libqt6svg6 (the icons are SVG): $depends"

cp -r /usr/share/vork/examples/calc "$work/calc"
(cd "$work/calc" && run vork --make calc.lyy) >"$work/make.out" 2>&1 || fail "vork --make: $(cat "$work/make.out")"
(cd "$work/calc" && run vork --run calc.lyy -- input.txt) >"$work/run.out" 2>&1 ||
    fail "vork --run: $(cat "$work/run.out")"
# vork's "Prekladač spustený .." may land among the calculator's lines.
grep -v '^Prekladač spustený \.\.$' "$work/run.out" | tail -n "$(wc -l <"$work/ref.out")" |
    cmp -s - "$work/ref.out" ||
    fail "the installed calculator's output differs: $(cat "$work/run.out")"

installed=
DEBIAN_FRONTEND=noninteractive $SUDO apt-get remove --purge -y -qq vork >"$work/apt.log" 2>&1 ||
    fail "apt-get remove vork: $(cat "$work/apt.log")"
if dpkg-query -W -f='${Status}' vork 2>/dev/null | grep -q 'installed'; then fail "vork is still installed"; fi
left=
while read -r f; do
    if [ -f "$f" ] || [ -L "$f" ]; then left="$left $f"; fi
done <"$work/files"
[ ! -e /usr/share/vork ] || left="$left /usr/share/vork"
[ ! -e /usr/share/doc/vork ] || left="$left /usr/share/doc/vork"
[ -z "$left" ] || fail "removal left:$left"
echo "package-check: $(basename "$deb") installed, ran the calculator and removed cleanly"

ctest --test-dir "$build" -R packaging --output-on-failure
