#!/bin/sh
# Installs the dependencies, builds VORK, and runs its main job on the
# example project.
set -e
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh
if [ -f examples/calc/calc.lyy ] && [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    # A display: the IDE on a copy of the example (F9 makes and runs it).
    work=$(mktemp -d)
    cp -r examples/calc/. "$work"/
    exec build/bin/vork "$work/calc.lyy"
elif [ -f examples/calc/calc.lyy ]; then
    work=$(mktemp -d)
    cp -r examples/calc/. "$work"/
    build/bin/vork --make "$work/calc.lyy"
    # The generated compiler runs in the project directory, so its input
    # is named as the project file names it.
    build/bin/vork --run "$work/calc.lyy" -- input.txt
else
    build/bin/vork --help
fi
