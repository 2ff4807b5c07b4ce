#!/usr/bin/env bash
# Line coverage of solver/ and puzzle_text/ reached by fuzz corpora, replayed once through the
# fuzzer built with source-based coverage (the fuzz-coverage preset). With no arguments it
# measures the committed seeds alone, then the seeds with the corpus the last fuzz run grew in
# build/fuzz/corpus. Usage: scripts/fuzz-coverage.sh [CORPUS_DIR...]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

for tool in llvm-profdata-14 llvm-cov-14; do
    if ! command -v "$tool" >/dev/null; then
        echo "$tool is missing: apt-get install -y --no-install-recommends llvm-14" >&2
        exit 1
    fi
done

cmake --workflow --preset fuzz-coverage >/dev/null
out="$root/build/fuzz-coverage"
fuzzer="$out/fuzz/puzzle_fuzzer"

# Replays the given corpus directories and prints the coverage table of our two libraries.
measure() {
    local scratch
    scratch="$(mktemp -d)"
    rm -f "$out/corpus.profraw"
    # libFuzzer writes into its first directory; an empty scratch one keeps the corpora as they are.
    LLVM_PROFILE_FILE="$out/corpus.profraw" "$fuzzer" -runs=0 "$scratch" "$@" >"$out/replay.log" 2>&1
    rm -rf "$scratch"
    llvm-profdata-14 merge -sparse "$out/corpus.profraw" -o "$out/corpus.profdata"
    echo "== coverage by $*"
    llvm-cov-14 report "$fuzzer" -instr-profile="$out/corpus.profdata" \
        "$root/solver" "$root/puzzle_text"
    llvm-cov-14 show "$fuzzer" -instr-profile="$out/corpus.profdata" \
        "$root/solver" "$root/puzzle_text" >"$out/lines.txt"
}

if [ $# -gt 0 ]; then
    measure "$@"
else
    measure "$root/fuzz/corpus"
    [ -d "$root/build/fuzz/corpus" ] && measure "$root/fuzz/corpus" "$root/build/fuzz/corpus"
fi
echo "line by line: $out/lines.txt"
