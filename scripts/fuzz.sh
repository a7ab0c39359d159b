#!/usr/bin/env bash
# Runs the libFuzzer harnesses of build-fuzz/ (scripts/fuzz-smoke.sh or
# `CC=clang CXX=clang++ cmake -S . -B build-fuzz -DVORK_FUZZ=ON
# -DVORK_SANITIZE=ON`) one after the other, each for SECONDS, and prints
# per harness the executions, the coverage (libFuzzer's cov: and ft:) and
# the crashes found.
#
#   scripts/fuzz.sh [-t SECONDS] [-b BUILD_DIR] [-w WORK_DIR] [-r] [HARNESS...]
#
# -r replays instead: every input of the work corpus and the seeds runs
# once, nothing is mutated and nothing goes to totals.tsv.  A corpus grown
# by a build without AddressSanitizer is checked so by the sanitized one.
#
# Each harness starts from its seed corpus under fuzz/ plus what earlier
# runs kept in WORK_DIR/corpus/HARNESS (default build-fuzz/fuzz-work), so
# long runs build on each other; the seeds under fuzz/ are never written.
# Crash, leak, timeout and out-of-memory inputs are kept in
# WORK_DIR/artifacts/. Every run appends "harness executions seconds
# crashes" to WORK_DIR/totals.tsv. Exit status 1 when any harness crashed.
#
# An interrupted run (Ctrl+C, SIGTERM) still counts: the harness running is
# asked to stop, its executions and the seconds it ran go to totals.tsv, and
# the harnesses after it are left for the next run (exit status 130).
set -uo pipefail
cd "$(dirname "$0")/.."

seconds=60
build=build-fuzz
work=
replay=0
while getopts "t:b:w:r" opt; do
    case $opt in
        t) seconds=$OPTARG ;;
        b) build=$OPTARG ;;
        w) work=$OPTARG ;;
        r) replay=1 ;;
        *) echo "usage: $0 [-t SECONDS] [-b BUILD_DIR] [-w WORK_DIR] [-r] [HARNESS...]" >&2; exit 2 ;;
    esac
done
shift $((OPTIND - 1))
work=${work:-$build/fuzz-work}
mkdir -p "$work"
# absolute paths throughout: some harnesses change their current directory
# (the translators write their temporary files there)
root=$(pwd)
work=$(cd "$work" && pwd)
build=$(cd "$build" && pwd)

# harness  seed corpus  dictionary (- for none)
table='
duq_lex_fuzz          fuzz/duq_lex/corpus          fuzz/duq_lex/lex.dict
duq_yacc_fuzz         fuzz/duq_yacc/corpus         fuzz/duq_yacc/yacc.dict
jal_fuzz              fuzz/jal/corpus              fuzz/jal/jal.dict
fuzz_project_file     fuzz/project/corpus          fuzz/project/project.dict
konfig_fuzz           fuzz/config/konfig_corpus    fuzz/config/konfig.dict
token_file_fuzz       fuzz/config/token_corpus     fuzz/config/token.dict
argument_file_fuzz    fuzz/config/argument_corpus  -
fuzz_command_line     fuzz/pipeline/corpus         fuzz/pipeline/command_line.dict
debuglink_panel_fuzz  fuzz/debuglink/corpus        -
syntax_fuzz           fuzz/syntax/corpus           fuzz/syntax/syntax.dict
calc_fuzz             fuzz/calc/corpus             fuzz/calc/calc.dict
lsp_reader_fuzz       fuzz/lsp/corpus              fuzz/lsp/lsp.dict
'

wanted=" $* "
mkdir -p "$work/artifacts" "$work/logs"
failed=0
# libFuzzer ends on SIGINT with its final statistics and exit status 72;
# the harness runs in the background so that the signal reaches this
# script at once and is passed on, instead of waiting out the whole run
interrupted=0
child=
on_signal() {
    interrupted=1
    [ -z "$child" ] || kill -INT "$child" 2>/dev/null
}
trap on_signal INT TERM
printf '%-22s %12s %8s %8s %8s\n' harness executions cov ft crashes
while read -r name seeds dict; do
    [ -n "$name" ] || continue
    if [ $# -gt 0 ] && [[ $wanted != *" $name "* ]]; then
        continue
    fi
    bin=$build/fuzz-bin/$name
    if [ ! -x "$bin" ]; then
        printf '%-22s %12s\n' "$name" "not built"
        failed=1
        continue
    fi
    corpus=$work/corpus/$name
    mkdir -p "$corpus"
    # 30 s for one input: the harnesses run at nice 19 beside builds, and an
    # input that takes a second alone took over 10 s while the sanitized
    # test suite had both cores; a real hang still shows.
    args=(-max_total_time="$seconds" -print_final_stats=1 -timeout=30 -rss_limit_mb=2560
          -artifact_prefix="$work/artifacts/$name-")
    [ "$replay" -eq 0 ] || args[0]=-runs=0
    [ "$dict" = - ] || args+=(-dict="$root/$dict")
    log=$work/logs/$name.log
    before=$(ls "$work/artifacts" | grep -cE "^$name-(crash|leak|timeout|oom)-" || true)
    # the calculator writes its results to stdout, the harnesses their
    # temporary files under /dev/shm: neither belongs in the log
    start=$SECONDS
    ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1 \
        "$bin" "${args[@]}" "$corpus" "$root/$seeds" >"$log" 2>&1 &
    child=$!
    wait "$child"
    status=$?
    if [ "$interrupted" -eq 1 ]; then
        # the signal ended the wait, not the harness: wait for its end
        wait "$child"
        status=$?
    fi
    child=
    ran=$((SECONDS - start))
    if [ "$interrupted" -eq 1 ] && [ "$status" -eq 72 ]; then
        status=0  # stopped on request, not a failure
    fi
    # libFuzzer also saves its slowest input ("slow-unit-"), which is a
    # note, not a failure: only crashes, leaks, timeouts and memory outs count.
    after=$(ls "$work/artifacts" | grep -cE "^$name-(crash|leak|timeout|oom)-" || true)
    crashes=$((after - before))
    execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
    ft=$(grep -o 'ft: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
    if [ "$status" -ne 0 ] && [ "$crashes" -eq 0 ]; then
        crashes=1  # ended abnormally without leaving an input
    fi
    printf '%-22s %12s %8s %8s %8s\n' "$name" "${execs:-?}" "${cov:-?}" "${ft:-?}" "$crashes"
    [ "$replay" -eq 1 ] ||
        printf '%s\t%s\t%s\t%s\n' "$name" "${execs:-0}" "$ran" "$crashes" >>"$work/totals.tsv"
    if [ "$crashes" -ne 0 ]; then
        failed=1
        echo "  see $log and $work/artifacts/$name-*" >&2
    fi
    [ "$interrupted" -eq 0 ] || break
done <<<"$table"
[ "$interrupted" -eq 0 ] || exit 130
exit $failed
