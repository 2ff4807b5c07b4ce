#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test: the native build (with memcheck
# runs of the program), the same tests under AddressSanitizer and UBSan, a plain Release build as
# a packager types it, the 32-bit Windows build with its tests under Wine, and a bounded fuzz
# run. Every stage runs even when one before it failed; the last line counts every test of the
# run, and the exit code is non-zero if any stage failed.
set -uo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh test || exit 1

logs=$(mktemp -d)
trap 'rm -rf "$logs"' EXIT
passed=0
failed=0
failed_stages=()

# Runs one stage, keeping its output. A stage that ends in ctest adds ctest's counts ("100% tests
# passed, 0 tests failed out of N"); any other stage counts as one test. A stage that fails
# without a failed test to show for it (a build that breaks, ctest finding no test) adds one more.
stage() { # NAME COMMAND...
    local name=$1 status=0 counts
    shift
    echo "== $name"
    "$@" 2>&1 | tee "$logs/$name" || status=$?
    counts=$(awk '/tests failed out of/ { f += $(NF-5); t += $NF; n++ }
                  END { if (n) print t - f, f; else print "" }' "$logs/$name")
    if [ -n "$counts" ]; then
        read -r stage_passed stage_failed <<<"$counts"
    elif [ $status -eq 0 ]; then
        stage_passed=1 stage_failed=0
    else
        stage_passed=0 stage_failed=0
    fi
    [ $status -ne 0 ] && [ "$stage_failed" -eq 0 ] && stage_failed=1
    passed=$((passed + stage_passed))
    failed=$((failed + stage_failed))
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

# A bounded fuzz run of the puzzle path; any finding fails.
fuzz() {
    cmake --preset fuzz >/dev/null && cmake --build --preset fuzz && scripts/fuzz.sh 60
}

stage default preset default
stage asan preset asan
stage release plain_release
stage windows preset windows scripts/with-wine.sh
stage fuzz fuzz

[ ${#failed_stages[@]} -eq 0 ] || echo "failed stages: ${failed_stages[*]}"
echo "numplace: $passed passed, $failed failed"
[ ${#failed_stages[@]} -eq 0 ]
