#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test: the native build (with memcheck
# runs of the program), the same tests under AddressSanitizer and UBSan, the 32-bit Windows build
# with its tests under Wine, and a bounded fuzz run. Ends with one line counting every test.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh

results=$(mktemp)
trap 'rm -f "$results"' EXIT
# ctest, keeping its closing count for the summary.
run_ctest() { "$@" | tee -a "$results"; }

for preset in default asan; do
    echo "== $preset"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
    run_ctest ctest --preset "$preset"
done

echo "== windows"
cmake --preset windows >/dev/null
cmake --build --preset windows
run_ctest scripts/with-wine.sh ctest --preset windows

# A bounded fuzz run of the puzzle path; any finding fails. (memcheck runs inside the default
# preset's tests, in numplace_hostile_tests.)
echo "== fuzz"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
scripts/fuzz.sh 60

# ctest closes each run with "100% tests passed, 0 tests failed out of 203".
awk '/tests failed out of/ { failed += $(NF-5); total += $NF }
     END { printf "numplace: %d passed, %d failed\n", total - failed, failed }' "$results"
