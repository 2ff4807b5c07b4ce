#!/usr/bin/env bash
# Builds the 32-bit Windows program, build/windows/app/numplace.exe, with MinGW-w64.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
cmake --preset windows >/dev/null
cmake --build --preset windows --target numplace
echo "built $(pwd)/build/windows/app/numplace.exe ($(stat -c %s build/windows/app/numplace.exe) bytes)"
