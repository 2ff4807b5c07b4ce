#!/usr/bin/env bash
# Fuzzes the puzzle path for a bounded time (60 s unless given: scripts/fuzz.sh SECONDS) and fails
# on any finding. Needs the fuzz preset built. The corpus grows in build/fuzz/corpus; the committed
# seeds in fuzz/corpus are only read. A finding is kept in build/fuzz/findings until the next run
# and reproduces from that one file: build/fuzz/fuzz/puzzle_fuzzer build/fuzz/findings/crash-...
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-60}"
fuzzer="$root/build/fuzz/fuzz/puzzle_fuzzer"
corpus="$root/build/fuzz/corpus"
findings="$root/build/fuzz/findings"
log="$root/build/fuzz/fuzz.log"

if [ ! -x "$fuzzer" ]; then
    echo "no fuzzer at $fuzzer: cmake --workflow --preset fuzz" >&2
    exit 1
fi
mkdir -p "$corpus"
rm -rf "$findings"
mkdir -p "$findings"

# libFuzzer stops itself after max_total_time; the outer timeout covers a run that cannot.
# -timeout makes a single slow input a finding too: nothing here should take a second.
status=0
timeout --kill-after=10 $((seconds + 120)) "$fuzzer" \
    -max_total_time="$seconds" -timeout=5 -max_len=4096 -rss_limit_mb=2048 \
    -dict="$root/fuzz/puzzle.dict" -print_final_stats=1 -artifact_prefix="$findings/" \
    "$corpus" "$root/fuzz/corpus" >"$log" 2>&1 || status=$?

grep -E '^(stat::number_of_executed_units|stat::average_exec_per_sec|stat::new_units_added)' \
    "$log" || true
echo "corpus: $(find "$corpus" -type f | wc -l) inputs in $corpus"

if [ "$status" -ne 0 ] || [ -n "$(ls -A "$findings")" ]; then
    tail -n 60 "$log" >&2
    [ "$status" -eq 124 ] && echo "fuzz: the fuzzer did not stop in time" >&2
    for finding in "$findings"/*; do
        [ -e "$finding" ] && echo "fuzz: finding; reproduce with: $fuzzer $finding" >&2
    done
    echo "fuzz: FAILED (exit $status); full log in $log" >&2
    exit 1
fi
echo "fuzz: no findings in ${seconds} s"
