#!/usr/bin/env bash
# Runs the solving loop and the plain loop of sweeps over the full puzzle collections:
# checks that both leave the same values on every puzzle (and, puzzle by puzzle, the same grid
# bytes, snapshot and cycle count), that the solved counts are the collections' published ones,
# and prints each engine's rate and the ratio. Then the same for the 32-bit program's code built
# for Linux (the native32 preset), its values checked against the 64-bit build's, where the
# machine runs 32-bit programs; and for the 32-bit Windows build, numplace-bench.exe under 32-bit
# Wine, where MinGW-w64 and Wine are installed too. Each says why when it cannot run
# (NUMPLACE_NO_WINE=1 skips the Windows one).
#
#   scripts/compare-engines.sh [DATA_DIR] [RUNS]
#
# DATA_DIR defaults to ../shared/data beside the repository; RUNS (default 3) timed runs per
# engine and file, taken turn about; the figures are the median, best_* the fastest run.
set -euo pipefail
source "$(dirname "$0")/measuring.sh" "${1:-}"
runs=${2:-3}
# Puzzles and puzzles solved completely by singles, as the collections' README gives them.
declare -A expected=([17-clue.txt]="49158 21905" [top1465.txt]="1465 0"
    [generated-mixed.txt]="60000 28991")

build_bench default numplace-bench

paths=()
for file in "${files[@]}"; do paths+=("$data/$file"); done

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

# Whether two --emit outputs give every puzzle the same values; else their first differences.
same_values() { # A B WHOSE
    if cmp -s "$1" "$2"; then
        echo "values identical, $3: $(wc -l <"$1") puzzles"
    else
        echo "DIFFERENT values, $3:" >&2
        diff "$1" "$2" | head -5 >&2
        return 1
    fi
}

echo "== values of every puzzle, both engines"
"$bench" --emit --engine=own "${paths[@]}" >"$out/own"
"$bench" --emit --engine=plain "${paths[@]}" >"$out/plain"
same_values "$out/own" "$out/plain" "both engines" || exit 1

echo "== rates (median of $runs runs), grid bytes, snapshot and cycles puzzle by puzzle"
echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')," \
    "$(c++ --version | head -1), RelWithDebInfo (-O2)"
"$bench" --engine=both --runs="$runs" "${paths[@]}" | tee "$out/figures"

status=0
# check FIGURES LABEL: solved counts as published and every puzzle byte-identical.
check() {
    for file in "${files[@]}"; do
        read -r puzzles solved <<<"${expected[$file]}"
        line=$(grep -F "$file " "$1" | grep -F 'engine=own')
        got_puzzles=$(sed -E 's/.* puzzles=([0-9]+).*/\1/' <<<"$line")
        got_solved=$(sed -E 's/.* solved=([0-9]+).*/\1/' <<<"$line")
        if [[ $got_puzzles != "$puzzles" || $got_solved != "$solved" ]]; then
            echo "MISMATCH $2 $file: $got_solved of $got_puzzles solved, expected $solved of $puzzles" >&2
            status=1
        fi
        identical=$(grep -F "$file " "$1" | sed -nE 's/.* identical=([0-9]+)\/([0-9]+).*/\1 \2/p')
        read -r same total <<<"$identical"
        if [[ $same != "$total" ]]; then
            echo "MISMATCH $2 $file: only $same of $total puzzles byte-identical" >&2
            status=1
        fi
    done
}
check "$out/figures" native

echo "== native 32-bit build (numplace-bench, the code generation of numplace.exe)"
if build_bench32; then
    "$bench32" --emit --engine=own "${paths[@]}" >"$out/own32"
    same_values "$out/own" "$out/own32" "the 64-bit and the 32-bit build" || status=1
    "$bench32" --engine=both --runs="$runs" "${paths[@]}" | tee "$out/figures32native"
    check "$out/figures32native" native32
fi

echo "== 32-bit Windows build (numplace-bench.exe, the flags of numplace.exe), under Wine"
if [[ ${NUMPLACE_NO_WINE:-} == 1 ]]; then
    echo "skipped: NUMPLACE_NO_WINE=1"
elif ! command -v i686-w64-mingw32-g++-posix >/dev/null; then
    echo "skipped: no MinGW-w64 for 32-bit Windows (scripts/setup.sh windows)"
elif ! why=$(scripts/with-wine.sh --check win32); then
    echo "skipped: $why"
else
    cmake --preset windows >/dev/null
    cmake --build --preset windows --target numplace-bench numplace
    echo "numplace.exe: $(stat -c %s build/windows/app/numplace.exe) bytes;" \
        "$(i686-w64-mingw32-g++-posix --version | head -1)"
    scripts/with-wine.sh win32 wine build/windows/bench/numplace-bench.exe --engine=both \
        --runs="$runs" "${paths[@]}" | tr -d '\r' | tee "$out/figures32"
    check "$out/figures32" 32-bit
fi
[[ $status == 0 ]] && echo "solved counts as published; every puzzle byte-identical"
exit $status
