#!/bin/sh
# Installs the dependencies, builds VORK and runs every test.
set -e
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh
ctest --test-dir build --output-on-failure -j"$(nproc)"
