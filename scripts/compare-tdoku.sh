#!/usr/bin/env bash
# Times numplace-bench against tdoku's benchmark, a full solver built outside this repository,
# turn about on the same collections, and prints both rates of every round and the median.
#
#   scripts/compare-tdoku.sh [--whole | --singles] RUN_BENCHMARK [DATA_DIR] [ROUNDS]
#
# RUN_BENCHMARK is tdoku's run_benchmark (https://github.com/t-dillon/tdoku, built there with
# `CC=gcc CXX=g++ ./BUILD.sh run_benchmark`); DATA_DIR defaults to ../shared/data beside the
# repository, ROUNDS (default 3) how many times each side runs. tdoku times itself for at least
# five seconds after one of warm-up; numplace-bench gives the median of as many passes over the
# file as fill about the same five seconds (judged from one pass beforehand; nine at the least,
# and at the most the thousand it takes), so that both sides see the machine over a like stretch
# of time.
#
# On a whole collection the two do unequal work: numplace stops where singles stop, tdoku goes on
# searching in every puzzle singles leave unsolved. So each collection is also timed on its
# singles-solved part alone, where tdoku never guesses either. --whole or --singles times one of
# the two; by default both, and a summary line for each at the end.
set -euo pipefail
parts=(whole singles)
case ${1:-} in
--whole) parts=(whole) && shift ;;
--singles) parts=(singles) && shift ;;
esac
source "$(dirname "$0")/measuring.sh" "${2:-}"

if [[ $# -lt 1 || ! -x $1 ]]; then
    echo "usage: $0 [--whole | --singles] RUN_BENCHMARK [DATA_DIR] [ROUNDS]" \
        "(tdoku's run_benchmark, executable)" >&2
    exit 2
fi
tdoku=$1
rounds=${3:-3}

build_bench default numplace-bench
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

# The middle value of the numbers on stdin.
median() {
    sort -g | awk '{ v[NR] = $1 } END { print NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# ROUNDS rounds turn about on the puzzles at PATH: each round and the median, which the summary
# keeps too.
compare() { # LABEL PATH
    local label=$1 path=$2 count once passes theirs ours ratio round
    local tdoku_rates=() own_rates=() ratios=()
    count=$(wc -l <"$path")
    once=$("$bench" --runs=1 "$path" | sed -n 's/.* seconds=\([0-9.]*\).*/\1/p')
    passes=$(awk -v s="$once" 'BEGIN { n = s > 0 ? int(5 / s) : 9
        print (n < 9 ? 9 : n < 1000 ? n : 1000) }')
    for round in $(seq "$rounds"); do
        # tdoku prints a table row: |tdoku <options>| puzzles/sec | usec/puzzle | ...
        theirs=$("$tdoku" -t5 -w1 -n"$count" -e1 -v0 -s tdoku "$path" |
            awk -F'|' '$2 ~ /^tdoku / { gsub(/ /, "", $3); print $3 }')
        ours=$("$bench" --runs="$passes" "$path" | sed -n 's/.* per_second=\([0-9]*\).*/\1/p')
        ratio=$(awk -v a="$ours" -v b="$theirs" 'BEGIN { printf "%.2f", a / b }')
        printf '%s round %d: tdoku=%.0f numplace=%s ratio=%s\n' "$label" "$round" "$theirs" \
            "$ours" "$ratio"
        tdoku_rates+=("$theirs") own_rates+=("$ours") ratios+=("$ratio")
    done
    ratio=$(printf '%s\n' "${ratios[@]}" | median)
    printf '%s median of %d: tdoku=%.0f numplace=%.0f ratio=%s\n' "$label" "$rounds" \
        "$(printf '%s\n' "${tdoku_rates[@]}" | median)" \
        "$(printf '%s\n' "${own_rates[@]}" | median)" "$ratio"
    printf '%-38s %6d puzzles  ratio=%s\n' "$label" "$count" "$ratio" >>"$out/summary"
}

for file in "${files[@]}"; do
    for part in "${parts[@]}"; do
        if [[ $part == whole ]]; then
            compare "$file" "$data/$file"
        else
            singles_solved "$data/$file" "$out/$file"
            [[ -s $out/$file ]] || { echo "$file: singles solve no puzzle completely"; continue; }
            compare "$file (singles-solved)" "$out/$file"
        fi
    done
done
echo "== numplace's rate over tdoku's, median of $rounds rounds"
cat "$out/summary"
