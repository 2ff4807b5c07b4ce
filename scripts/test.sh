#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test: the native build (with memcheck
# runs of the program), the same tests under AddressSanitizer and UBSan, a plain Release build as
# a packager types it, the 64-bit Windows build with its tests under 64-bit Wine, the 32-bit one
# (the program as released) under 32-bit Wine, the native tests as 32-bit x86 code and as 64-bit
# ARM code under emulation, and a bounded fuzz run. On a machine that runs no 32-bit programs, or
# where 32-bit Wine could not be installed, the 32-bit builds are still made (the Windows
# executables checked), and their tests are reported skipped with the reason; the same for the
# ARM build where the emulator cannot run. Every stage runs even when one before it failed; the
# last line counts every test of the run, and the exit code is non-zero if any test or stage
# failed.
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

# A ctest JUnit file as "PASSED FAILED SKIPPED". Skipped are the disabled tests and those that
# skipped themselves (SKIP_RETURN_CODE, SKIP_REGULAR_EXPRESSION); ctest writes a test it could not
# start (no executable, a failed fixture) as not run with a <skipped> element too, but counts it
# failed, and so do we.
junit_counts() { # FILE
    awk '/<testcase / { t++; status = $0; sub(/.*status="/, "", status); sub(/".*/, "", status)
                        f += status == "fail"; s += status == "disabled" }
         status == "notrun" && /<skipped / { if (/message="SKIP_/) s++; else f++; status = "" }
         END { print t - f - s, f, s }' "$1"
}

# The reasons GoogleTest cases gave for skipping themselves (the line after "FILE:LINE: Skipped"
# in their output), one "COUNT REASON" line each.
junit_skip_reasons() { # FILE
    awk '/<testcase / { skip = 0 }
         /<skipped message="SKIP_REGULAR_EXPRESSION_MATCHED"/ { skip = 1 }
         skip && last ~ /: Skipped$/ { n[$0]++; skip = 0 }
         { last = $0 }
         END { for (r in n) print n[r], r }' "$1" |
        sed 's/&apos;/'"'"'/g; s/&quot;/"/g; s/&lt;/</g; s/&gt;/>/g; s/&amp;/\&/g'
}

# Runs one stage, a workflow of CMakePresets.json (configure, build and usually test), under
# RUNNER if given. A stage whose workflow ran ctest adds the counts of its JUnit file;
# any other stage counts as one test. A stage that fails without a failed test to show for it (a
# build that breaks, ctest finding no test) adds one more.
stage() { # NAME WORKFLOW [RUNNER...]
    local name=$1 junit=build/junit/$2.xml status=0 counts=(1 0 0) count reason
    echo "== $name"
    rm -f "$junit"
    # No stage reads the terminal it was started from: typed at one, the run is the same as in CI.
    "${@:3}" cmake --workflow --preset "$2" </dev/null 2>&1 || status=$?
    if [ -f "$junit" ]; then
        read -ra counts < <(junit_counts "$junit")
        while read -r count reason; do
            skip_notes+=("$name, $count test$([ "$count" = 1 ] || echo s): $reason")
        done < <(junit_skip_reasons "$junit")
    elif [ $status -ne 0 ]; then
        counts=(0 0 0)
    fi
    [ $status -ne 0 ] && [ "${counts[1]}" -eq 0 ] && counts[1]=1
    passed=$((passed + counts[0]))
    failed=$((failed + counts[1]))
    skipped=$((skipped + counts[2]))
    skipped_in[$name]=${counts[2]}
    [ $status -eq 0 ] || failed_stages+=("$name")
}

# A bounded fuzz run of the puzzle path after the fuzz preset's build; any finding fails.
then_fuzz() { "$@" && scripts/fuzz.sh 60; }

stage default default
stage asan asan
# The flow packagers type: no preset of theirs, the Makefiles generator (one job at a time unless
# told), Release (-O3, the solver -O2); warnings as errors, as in CI.
stage release packager env CMAKE_BUILD_PARALLEL_LEVEL="$(nproc)"
stage windows64 windows64 scripts/with-wine.sh win64
# A stage whose tests run here only where WHY, the reason they cannot, is empty. Otherwise its
# FALLBACK workflow builds it all the same and lists its test programs as not run, and a skipped:
# line says which and why.
stage_where_it_runs() { # NAME WORKFLOW FALLBACK TESTS WHY BUILT [RUNNER...]
    if [ -z "$5" ]; then
        stage "$1" "$2" "${@:7}"
    else
        stage "$1" "$3"
        skip_notes+=("$1, its ${skipped_in[$1]} $4 (a test program as one): $5; $6")
    fi
}

# The 32-bit Windows build, the program as released, under 32-bit Wine; where that cannot run, its
# executables are still checked (format, imports, resources, size, a reproducible rebuild).
no_win32=$(scripts/with-wine.sh --check win32) || no_win32=${no_win32:-32-bit Wine cannot run}
left_out=$(grep -m1 '^setup: 32-bit Wine left out' "$logs/setup") || true
[ -z "$no_win32" ] || no_win32+=${left_out:+; ${left_out#setup: }}
stage_where_it_runs windows windows windows-no-wine "Wine tests" "$no_win32" \
    "built, and its executables checked" scripts/with-wine.sh win32
# The program, the bench and the native tests as 32-bit x86 code, the code generation of the
# program users download, where this machine runs 32-bit programs.
no_32_bit=$("${NUMPLACE_32_BIT_PROBE:-scripts/probe-32-bit.sh}") ||
    no_32_bit=${no_32_bit:-this machine runs no 32-bit programs}
stage_where_it_runs native32 native32 native32-no-32-bit tests "$no_32_bit" built
# The native program and its tests built for 64-bit ARM Linux, run under qemu-aarch64 where it can
# run the ARM loader itself.
no_arm64=
said=$(timeout 60 qemu-aarch64 -L /usr/aarch64-linux-gnu \
    /usr/aarch64-linux-gnu/lib/ld-linux-aarch64.so.1 --version 2>&1 </dev/null) ||
    no_arm64="qemu-aarch64 cannot run 64-bit ARM programs here (${said%%$'\n'*})"
stage_where_it_runs arm64 arm64 arm64-no-emulator tests "$no_arm64" built
stage fuzz fuzz then_fuzz

for note in "${skip_notes[@]}"; do echo "skipped: $note"; done
[ ${#failed_stages[@]} -eq 0 ] || echo "failed stages: ${failed_stages[*]}"
echo "numplace: $passed passed, $failed failed, $skipped skipped"
[ ${#failed_stages[@]} -eq 0 ]
