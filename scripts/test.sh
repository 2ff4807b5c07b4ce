#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test: the native build (with memcheck
# runs of the program), the same tests under AddressSanitizer and UBSan, a plain Release build as
# a packager types it, the 64-bit Windows build with its tests under 64-bit Wine, the 32-bit one
# (the program as released) under 32-bit Wine, and a bounded fuzz run. On a machine that runs no
# 32-bit programs, or where 32-bit Wine could not be installed, the 32-bit build is still made and
# its executables checked, and its Wine tests are reported skipped with the reason. Every stage
# runs even when one before it failed; the last line counts every test of the run, and the exit
# code is non-zero if any test or stage failed.
set -uo pipefail
cd "$(dirname "$0")/.."

logs=$(mktemp -d)
trap 'rm -rf "$logs"' EXIT
# Set-up's own lines are kept: one may say why 32-bit Wine was left out.
scripts/setup.sh test 2>&1 | tee "$logs/setup"
[ "${PIPESTATUS[0]}" -eq 0 ] || exit 1

passed=0
failed=0
skipped=0
failed_stages=()
skip_notes=()
declare -A skipped_in # each stage's skipped tests, by name

# Runs one stage, keeping its output. A stage that ends in ctest adds ctest's counts ("100% tests
# passed, 0 tests failed out of N", less the tests it lists as skipped, which count apart with
# those it lists as disabled); any other stage counts as one test. A stage that fails without a
# failed test to show for it (a build that breaks, ctest finding no test) adds one more.
stage() { # NAME COMMAND...
    local name=$1 status=0 counts stage_passed stage_failed stage_skipped
    shift
    echo "== $name"
    # No stage reads the terminal it was started from: typed at one, the run is the same as in CI.
    "$@" </dev/null 2>&1 | tee "$logs/$name" || status=$?
    counts=$(awk '/tests failed out of/ { f += $(NF-5); t += $NF; n++ }
                  /^[ \t]+[0-9]+ - .* \(Skipped\)$/ { s++ }
                  /^[ \t]+[0-9]+ - .* \(Disabled\)$/ { d++ }
                  END { if (n) print t - f - s, f, s + d; else print "" }' "$logs/$name")
    if [ -n "$counts" ]; then
        read -r stage_passed stage_failed stage_skipped <<<"$counts"
    elif [ $status -eq 0 ]; then
        stage_passed=1 stage_failed=0 stage_skipped=0
    else
        stage_passed=0 stage_failed=0 stage_skipped=0
    fi
    [ $status -ne 0 ] && [ "$stage_failed" -eq 0 ] && stage_failed=1
    passed=$((passed + stage_passed))
    failed=$((failed + stage_failed))
    skipped=$((skipped + stage_skipped))
    skipped_in[$name]=$stage_skipped
    [ $status -eq 0 ] || failed_stages+=("$name")
}

preset() { # PRESET [RUNNER...]: configure, build, then ctest, under RUNNER if given
    local name=$1
    shift
    cmake --preset "$name" >/dev/null && cmake --build --preset "$name" &&
        "$@" ctest --preset "$name"
}

# The flow packagers type: no preset, the Makefiles generator, -O3; warnings as errors, as in CI.
plain_release() {
    cmake -S . -B build/release -G "Unix Makefiles" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_COMPILE_WARNING_AS_ERROR=ON >/dev/null &&
        cmake --build build/release --parallel "$(nproc)" &&
        ctest --test-dir build/release --output-on-failure --no-tests=error --timeout 300
}

# The 32-bit Windows build, the program as released: its tests under 32-bit Wine where this machine
# runs 32-bit programs. Elsewhere it is built all the same and its executables checked (format,
# imports, resources, size, a reproducible rebuild), and its Wine tests are listed as not run.
windows32() {
    local runner=(scripts/with-wine.sh win32) run=ON
    [ -z "$no_win32" ] || runner=() run=OFF
    cmake --preset windows -DNUMPLACE_WINE_TESTS=$run >/dev/null &&
        cmake --build --preset windows && "${runner[@]}" ctest --preset windows
}

# A bounded fuzz run of the puzzle path; any finding fails.
fuzz() {
    cmake --preset fuzz >/dev/null && cmake --build --preset fuzz && scripts/fuzz.sh 60
}

stage default preset default
stage asan preset asan
stage release plain_release
stage windows64 preset windows64 scripts/with-wine.sh win64
no_win32=$(scripts/with-wine.sh --check win32) || true
left_out=$(grep -m1 '^setup: 32-bit Wine left out' "$logs/setup") || true
stage windows windows32
[ -z "$no_win32" ] || skip_notes+=("windows, its ${skipped_in[windows]} Wine tests (a test program as \
one): $no_win32${left_out:+; ${left_out#setup: }}; built, and its executables checked")
stage fuzz fuzz

for note in "${skip_notes[@]}"; do echo "skipped: $note"; done
[ ${#failed_stages[@]} -eq 0 ] || echo "failed stages: ${failed_stages[*]}"
echo "numplace: $passed passed, $failed failed, $skipped skipped"
[ ${#failed_stages[@]} -eq 0 ]
