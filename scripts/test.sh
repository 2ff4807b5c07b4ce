#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test: the native build and the same
# tests under AddressSanitizer and UBSan.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh

for preset in default asan; do
    echo "== $preset"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
    ctest --preset "$preset"
done

# ---- Reliability: a bounded fuzz run of the puzzle path; any finding fails -------------------
# (memcheck runs inside the default preset's tests, in numplace_hostile_tests)
echo "== fuzz"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
scripts/fuzz.sh 60
# ---- end of reliability ---------------------------------------------------------------------
