#!/usr/bin/env bash
# Limits under load: each case must end with a result or with its
# documented message, never a crash or a hang.  Prints, per case, the exit
# status, the wall time, the peak memory and the result line.
#
#   bench/limits/limits.sh [BUILD_DIR]      (default build; needs vork,
#                                            duq-lex and vork-cc built)
#
# Cases: a lex specification of 10,000 rules in large-tables mode; 50 MB
# through a generated scanner (the wc example); a 100,000-line C file
# coloured by the editor's colouring passes (vork --export-html); a debug
# run of the calculator that sends more than 1,000,000 records through the
# channel and the debug panel.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
bin=$build/bin
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

# limit CMD...: runs CMD with a 10-minute ceiling (a hang is a failure),
# prints status, seconds and peak KB
measure() {
    local name=$1
    shift
    /usr/bin/time -f '%e %M' -o time.txt timeout 600 "$@" >out.txt 2>err.txt
    local status=$?
    read -r secs kb < <(tail -n 1 time.txt)
    local result
    result=$( (tail -n 1 out.txt; tail -n 1 err.txt) | grep -v '^$' | tail -n 1 | cut -c1-70)
    printf '%-28s status %-3s %8s s %8s KB  %s\n' "$name" "$status" "$secs" "$kb" "$result"
}

# 1. 10,000 rules, each a keyword of its own, in large-tables mode
{
    printf '%%{\nint yywrap(void){return 1;}\n%%}\n%%%%\n'
    for i in $(seq 1 10000); do printf 'kw%05d\t{ return %d; }\n' "$i" "$i"; done
    printf '[a-z0-9]+\t{ return 1; }\n[ \\t\\n]\t;\n%%%%\n'
} >rules.l
measure "10000 rules, default" "$bin/duq-lex" -o rules_small.cpp rules.l
measure "10000 rules, --large" "$bin/duq-lex" --large -o rules.cpp rules.l
# the same with the sizes raised by directives, as the message advises
{ printf '%%e 200000\n%%p 400000\n%%n 100000\n%%a 400000\n%%o 400000\n'; cat rules.l; } >rules_sized.l
measure "10000 rules, sized, --large" "$bin/duq-lex" --large -o rules.cpp rules_sized.l

# 2. 50 MB through the generated wc scanner
"$bin/duq-lex" -o lexyy.cpp "$root/examples/wc/wc.l" >/dev/null
cp lexyy.cpp wc.cpp
"$bin/vork-cc" wc.cpp >/dev/null 2>&1 || echo "wc scanner did not compile" >&2
awk 'BEGIN { line = "int main ( void ) { return 42 ; } /* some words here */ \"a string\" x1 y2"; 
             n = int(50 * 1024 * 1024 / (length(line) + 1)); for (i = 0; i < n; i++) print line }' >input50.txt
measure "50 MB through a scanner" ./wc.exe input50.txt
awk 'BEGIN { for (i = 0; i < 50 * 1024; i++) printf "%1024s", "x"; }' | tr ' ' 'y' >oneline.txt
measure "50 MB on one line" ./wc.exe oneline.txt

# 3. 100,000 lines through the colouring passes
awk '{ for (i = 0; i < 4000; i++) print }' "$root/examples/calc/calc.y" | head -n 100000 >big.y
measure "100000-line page coloured" "$bin/vork" --export-html big.y -o big.html

# 4. a debug run of more than 1,000,000 records: every character, token,
# shift, reduction and state of the calculator's input is a record (about
# 180 for each of these lines), and every record is one line of output
cp "$root/examples/calc/calc.l" "$root/examples/calc/calc.y" "$root/examples/calc/calc.lyy" .
awk 'BEGIN { for (i = 0; i < 6000; i++) print "a = (1 + 2) * -3 - b % 7 / (4 + c)" }' >debug.txt
export VORK_CHAN_SUFFIX=.limits$$
# built beforehand, so that the peak memory is the debug run's and not the
# C compiler's
"$bin/vork" --debug-mode on calc.lyy >/dev/null && "$bin/vork" --make calc.lyy >/dev/null
measure "debug run" sh -c "yes '' | '$bin/vork' --debug-run calc.lyy -- debug.txt >debug.out"
printf '%-28s %s panel lines (one per record)\n' "debug run, records" "$(wc -l <debug.out)"
