#!/bin/sh
# Builds VORK with AddressSanitizer and UndefinedBehaviorSanitizer into
# build-asan/ and runs every test there.  Expects the dependencies of
# scripts/deps.sh.
set -e
cd "$(dirname "$0")/.."
. scripts/compiler-cache.sh
# shellcheck disable=SC2086
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORK_SANITIZE=ON -DVORK_BENCH=OFF $VORK_CMAKE_CACHE_ARGS >/dev/null
cmake --build build-asan -j"$(nproc)"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir build-asan --output-on-failure -j"$(nproc)"
