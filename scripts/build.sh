#!/bin/sh
# Configures and builds VORK into build/ (programs and data files in build/bin).
set -e
cd "$(dirname "$0")/.."
. scripts/compiler-cache.sh
# shellcheck disable=SC2086
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo $VORK_CMAKE_CACHE_ARGS "$@" >/dev/null
cmake --build build -j"$(nproc)"
