# What the measurement scripts share, sourced by them: the repository's root as the working
# folder, the puzzle collections and where they are, and numplace-bench built by a preset.
#   source scripts/measuring.sh [DATA_DIR]   (DATA_DIR defaults to ../shared/data beside it)
cd "$(dirname "${BASH_SOURCE[0]}")/.."
data=${1:-../shared/data}
files=(17-clue.txt generated-mixed.txt top1465.txt)
bench=build/default/bench/numplace-bench

build_bench() { # PRESET TARGET...: the preset's build of these targets, configured quietly
    cmake --preset "$1" >/dev/null
    cmake --build --preset "$1" -j 2 --target "${@:2}"
}

# The native32 preset's numplace-bench, the 32-bit program's code, where this machine runs 32-bit
# programs; elsewhere one line on why not, and false.
bench32=build/native32/bench/numplace-bench
build_bench32() {
    local why
    if ! why=$("${NUMPLACE_32_BIT_PROBE:-scripts/probe-32-bit.sh}"); then
        echo "skipped: $why"
        return 1
    fi
    build_bench native32 numplace-bench
}

# The puzzles of FILE that singles solve completely, one a line, into OUT: those numplace-bench
# --emit leaves without a 0. They are where tdoku, which goes on to search where singles stop,
# does the same work as numplace. Needs the bench built.
singles_solved() { # FILE OUT
    local puzzles
    puzzles=$(mktemp)
    # The puzzle lines alone, as numplace-bench reads them, so that --emit's lines pair with them.
    tr -d '\r' <"$1" | sed 's/[ \t]*$//' | { grep -E '^[1-9.0]{81}$' || true; } >"$puzzles"
    "$bench" --emit "$puzzles" | paste -d ' ' - "$puzzles" | awk '$1 !~ /0/ { print $2 }' >"$2"
    rm -f "$puzzles"
}
