#!/usr/bin/env bash
# CI's fuzz smoke: builds the libFuzzer harnesses with clang, AddressSanitizer
# and UndefinedBehaviorSanitizer into build-fuzz/ and runs each for a short,
# fixed time (FUZZ_SECONDS, default 20) on its seed corpus, so that a reader
# that breaks on a known shape of input fails CI at once. Expects the
# dependencies of scripts/deps.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-20}
. scripts/compiler-cache.sh
# shellcheck disable=SC2086
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVORK_FUZZ=ON -DVORK_SANITIZE=ON -DVORK_TESTS=OFF -DVORK_BENCH=OFF $VORK_CMAKE_CACHE_ARGS >/dev/null
cmake --build build-fuzz -j"$(nproc)"
# a fresh work directory: the smoke starts from the committed seeds only
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
if ! scripts/fuzz.sh -t "$seconds" -b build-fuzz -w "$work"; then
    mkdir -p build-fuzz/smoke-failures
    cp -r "$work/artifacts" "$work/logs" build-fuzz/smoke-failures/ 2>/dev/null || true
    echo "fuzz smoke failed; inputs and logs in build-fuzz/smoke-failures" >&2
    exit 1
fi
