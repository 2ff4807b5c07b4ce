#!/usr/bin/env bash
# Counts the instructions executed inside SolveUntilStable per puzzle, over the first PUZZLES
# puzzles of each collection: callgrind collects only inside the loop (--toggle-collect) while
# numplace-bench runs each puzzle once. A figure that, unlike a rate, does not move with the
# machine's load. Both loops: the native build's digit fields, the 32-bit program's loop built
# natively (numplace-bench-32-bit-sets: byte vectors, three-word cell sets), and where this machine
# runs 32-bit programs, the 32-bit program's own code (the native32 preset).
#
#   scripts/count-instructions.sh [--singles] [DATA_DIR] [PUZZLES]
#
# DATA_DIR defaults to ../shared/data beside the repository, PUZZLES to 1465 (all of top1465).
# --singles first cuts each collection down to the puzzles singles solve completely, as
# scripts/compare-tdoku.sh times them, and leaves out a collection with none. Needs valgrind.
# Prints one line per build and collection, and the commit measured.
set -euo pipefail
singles=false
[[ ${1:-} != --singles ]] || { singles=true && shift; }
source "$(dirname "$0")/measuring.sh" "${1:-}"
count=${2:-1465}

build_bench default numplace-bench numplace-bench-32-bit-sets
builds=(numplace-bench:"$bench" numplace-bench-32-bit-sets:"$bench-32-bit-sets")
if build_bench32; then builds+=(numplace-bench-native32:"$bench32"); fi

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

changes=$(git status --porcelain --untracked-files=no | grep . >/dev/null && echo ' with local changes' || true)
echo "commit $(git rev-parse --short HEAD)$changes, $(c++ --version | head -1)," \
    "$([ ${#builds[@]} -gt 2 ] && echo "default and native32 presets" || echo "default preset")$(
        ! $singles || echo ", singles-solved puzzles")"
measured=()
for file in "${files[@]}"; do
    if $singles; then
        singles_solved "$data/$file" "$out/all"
        head -n "$count" "$out/all" >"$out/$file"
    else
        head -n "$count" "$data/$file" >"$out/$file"
    fi
    [[ -s $out/$file ]] && measured+=("$file") || echo "$file: no puzzles to count, left out"
done
for build in "${builds[@]}"; do
    for file in "${measured[@]}"; do
        valgrind --tool=callgrind --callgrind-out-file="$out/callgrind" \
            --toggle-collect='SolveUntilStable*' "${build#*:}" --runs=1 \
            "$out/$file" >"$out/bench" 2>"$out/valgrind" || { cat "$out/valgrind" >&2; exit 1; }
        puzzles=$(sed -nE 's/.* puzzles=([0-9]+) .*/\1/p' "$out/bench")
        instructions=$(sed -nE 's/^totals: ([0-9]+)/\1/p' "$out/callgrind")
        awk -v b="${build%%:*}" -v f="$file" -v n="$puzzles" -v i="$instructions" \
            'BEGIN { printf "%-27s %-20s puzzles=%d instructions_per_puzzle=%.0f\n", b, f, n, i / n }'
    done
done
