#!/usr/bin/env bash
# Builds the 32-bit Windows program, build/windows-program/app/numplace.exe, with MinGW-w64 and
# nothing else: no tests, so neither Wine nor GoogleTest is needed.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh windows
cmake --preset windows-program >/dev/null
cmake --build --preset windows-program
exe=build/windows-program/app/numplace.exe
echo "built $(pwd)/$exe ($(stat -c %s "$exe") bytes)"
