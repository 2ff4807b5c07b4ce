#!/usr/bin/env bash
# One end-to-end case of the Windows program under Wine: box_driver starts it, answers its boxes
# and records them; the record must match the expected boxes byte for byte (code page 932).
# Usage (inside scripts/with-wine.sh): run-e2e.sh DRIVER.exe PROGRAM.exe CASE, CASE one of the
# branches of the case statement below; tests/wine/CMakeLists.txt registers each with CTest.
set -euo pipefail

[ $# -eq 3 ] || { echo "usage: $0 DRIVER.exe PROGRAM.exe CASE" >&2; exit 2; }
driver=$1
program=$2
case_name=$3
[ "${NUMPLACE_WINE:-}" = 1 ] || { echo "run-e2e: run me under scripts/with-wine.sh" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Wine's drive Z: is the Unix root.
windows_path() { local path=$1; printf 'Z:%s' "${path//\//\\}"; }

# Hex of the code page 932 bytes of a UTF-8 text read from standard input.
cp932_hex() { iconv -f UTF-8 -t CP932 | od -An -v -tx1 | tr -d ' \n'; }

# The grid as the program shows it: nine lines of "d " nine times, each ended by LF.
grid_text() {
    local digits=$1 y x
    for y in 0 1 2 3 4 5 6 7 8; do
        for x in 0 1 2 3 4 5 6 7 8; do printf '%s ' "${digits:y*9+x:1}"; done
        printf '\n'
    done
}

# A puzzle file in the display format, from 81 digits (0 for an empty cell).
write_puzzle() { grid_text "$2" >"$1"; }

# Expected transcript lines. Texts are given in UTF-8.
expect_box() { # CAPTION TEXT [MAIN_WINDOW]
    printf 'box caption=%s text=%s main_window=%s\n' \
        "$(printf '%s' "$1" | cp932_hex)" "$(printf '%s' "$2" | cp932_hex)" "${3:-hidden}"
}
expect_grid_box() { # CAPTION DIGITS [MAIN_WINDOW]
    printf 'box caption=%s text=%s main_window=%s\n' \
        "$(printf '%s' "$1" | cp932_hex)" "$(grid_text "$2" | cp932_hex)" "${3:-hidden}"
}

# A record made readable: hex fields decoded, box texts indented under their caption.
unhex() {
    printf '%b' "$(sed 's/../\\x&/g' <<<"$1")" | iconv -f CP932 -t UTF-8 2>/dev/null ||
        printf '(not code page 932: %s)' "$1"
}
readable() {
    local line
    while IFS= read -r line; do
        if [[ $line =~ ^box\ caption=([0-9a-f]*)\ text=([0-9a-f]*)\ (.*)$ ]]; then
            printf 'box "%s" %s\n' "$(unhex "${BASH_REMATCH[1]}")" "${BASH_REMATCH[3]}"
            unhex "${BASH_REMATCH[2]}" | sed 's/^/    | /'
            echo
        else
            printf '%s\n' "$line"
        fi
    done <"$1"
}

confirm=問題確認
answer=回答
missing=ファイルがありません。
# What Wine (as Windows) shows as the caption of a box given none, in a Japanese locale.
default_caption=エラー
classic=530070000600195000098000060800060003400803001700020006060000280000419005000080079
classic_solution=534678912672195348198342567859761423426853791713924856961537284287419635345286179
# Singles stop with 20 cells open.
stalling=530070000600095000098000060000060003400803001000000000060000280000419005000080070
stalling_fixpoint=534678912600195348198300567009760003406803791003900006961537284000419635345286179
blank=$(printf '0%.0s' $(seq 81))
fixture_grid=$classic_solution # what box_fixture shows

# english-CASE: CASE under an English locale, where Windows's own code page is 1252: the program
# must still show its Japanese texts right and open paths that code page 932 cannot spell, and
# the system's own caption is English.
locale=() # by default the Japanese locale of with-wine.sh
if [[ $case_name == english-* ]]; then
    locale=(LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8)
    default_caption=Error
    case_name=${case_name#english-}
fi

budget=30 # seconds box_driver gives the program
has_tail=true
tail=
expected_status=0
expected=$work/expected
launched=$program # the program as box_driver starts it

# The usual expected records: the classic puzzle solved, or the missing-file box.
expect_solved() {
    { expect_grid_box $confirm $classic; expect_grid_box $answer $classic_solution; echo "exit 0"; } >"$expected"
}
expect_missing() { { expect_box $default_caption $missing; echo "exit 0"; } >"$expected"; }
# The classic puzzle at a Unix path, its folders made as needed, and a tail naming it in quotes.
classic_at() {
    mkdir -p "$(dirname "$1")"
    write_puzzle "$1" $classic
    tail="\"$(windows_path "$1")\""
}

# Folders named outside ASCII, as UTF-8 bytes; Wine gives the program their names in UTF-16.
# "José" has no character in code page 932, "パズル" none in code page 1252.
accented=José
japanese=パズル
# UTF-16 units of the Windows form of a Unix path: the unit the program's path limit counts in.
units() { printf '%s' "$(windows_path "$1")" | iconv -f UTF-8 -t UTF-16LE | wc -c | awk '{ print $1 / 2 }'; }
# A Unix path under $work whose Windows form is $1 UTF-16 units long and ends in $2: folders of
# Japanese characters (three UTF-8 bytes each, a Linux name at most 255) under one named by a
# character outside the BMP (two units, four bytes), so units, characters and bytes all differ.
path_of_units() { # UNITS NAME
    local path=$work/𠮷 folder
    folder=$(printf "$japanese%.0s" $(seq 20))
    while [ "$(units "$path/$folder/$2")" -le "$1" ]; do path+=/$folder; done
    local padding
    printf -v padding '%*s' $(($1 - $(units "$path/$2"))) ''
    printf '%s/%s%s' "$path" "${padding// /x}" "$2"
}

case $case_name in
classic)
    classic_at "$work/classic.txt"
    expect_solved
    ;;
accented-folder | japanese-folder)
    folder=$accented
    [ "$case_name" = japanese-folder ] && folder=$japanese
    classic_at "$work/$folder/classic.txt"
    expect_solved
    ;;
missing-in-accented-folder | missing-in-japanese-folder)
    folder=$accented
    [ "$case_name" = missing-in-japanese-folder ] && folder=$japanese
    mkdir "$work/$folder"
    tail="\"$(windows_path "$work/$folder/no such puzzle.txt")\""
    expect_missing
    ;;
longest-path | path-one-unit-too-long)
    # The longest path that fits names one puzzle, and with one more unit another: the longer one
    # must never be cut down to the shorter.
    longest=$(path_of_units 1023 classic.tx)
    [ "$(units "$longest")" = 1023 ] || { echo "run-e2e: no path of 1023 units: $longest" >&2; exit 2; }
    classic_at "${longest}t"
    classic_at "$longest"
    if [ "$case_name" = longest-path ]; then expect_solved; else
        tail="\"$(windows_path "${longest}t")\""
        expect_missing
    fi
    ;;
blanks-before-path)
    # Blanks and control characters between the program's name and the path are not the path's.
    classic_at "$work/classic.txt"
    tail=$'  \t '$tail
    expect_solved
    ;;
program-folder-with-blanks)
    # The program's name ends at the first blank outside its double quotes.
    mkdir "$work/my programs"
    cp "$program" "$work/my programs/numplace.exe"
    launched="$work/my programs/numplace.exe"
    classic_at "$work/classic.txt"
    expect_solved
    ;;
no-argument)
    has_tail=false
    expect_missing
    ;;
missing-file)
    tail="\"$(windows_path "$work/no such puzzle.txt")\""
    expect_missing
    ;;
open-quote-only)
    # Without the closing quote the last character of the path is dropped all the same.
    classic_at "$work/classic.txt"
    tail=${tail%\"}
    expect_missing
    ;;
quoted-blanks | unquoted-blanks)
    classic_at "$work/my puzzles/classic puzzle.txt"
    [ "$case_name" = unquoted-blanks ] && tail=$(windows_path "$work/my puzzles/classic puzzle.txt")
    expect_solved
    ;;
windows-line-ends)
    grid_text $classic | sed 's/$/\r/' >"$work/classic.txt"
    tail="\"$(windows_path "$work/classic.txt")\""
    expect_solved
    ;;
no-numbers)
    printf 'no digits here\r\nnor here\r\n' >"$work/words.txt"
    tail="\"$(windows_path "$work/words.txt")\""
    { expect_grid_box $confirm $blank; expect_grid_box $answer $blank; echo "exit 0"; } >"$expected"
    ;;
partly-unsolved)
    write_puzzle "$work/stalling.txt" $stalling
    tail="\"$(windows_path "$work/stalling.txt")\""
    { expect_grid_box $confirm $stalling; expect_grid_box $answer $stalling_fixpoint; echo "exit 0"; } >"$expected"
    ;;
fixture-boxes)
    has_tail=false
    {
        expect_grid_box $confirm $fixture_grid
        expect_box $answer ""
        expect_box $default_caption $missing
        echo "exit 0"
    } >"$expected"
    ;;
fixture-tail)
    # The tail reaches the program as given: quotes, blanks, backslashes.
    tail="\"$(windows_path "$work/a b/c d.txt")\""
    {
        expect_grid_box $confirm $fixture_grid
        expect_box $answer "$tail"
        expect_box $default_caption $missing
        echo "exit 0"
    } >"$expected"
    ;;
fixture-visible)
    # The driver must notice a main window that shows.
    tail=show
    {
        echo "main_window=visible"
        expect_grid_box $confirm $fixture_grid visible
        expect_box $answer show visible
        expect_box $default_caption $missing visible
        echo "exit 0"
    } >"$expected"
    ;;
fixture-hang)
    # The driver must end a program that never ends, and say so.
    tail=stay
    budget=5
    expected_status=1
    echo "timeout" >"$expected"
    ;;
*)
    echo "run-e2e: no case named $case_name" >&2
    exit 2
    ;;
esac
echo "status $expected_status" >>"$expected"

arguments=("$budget" "$(windows_path "$(realpath "$launched")")")
$has_tail && arguments+=("$tail")
status=0
# Its messages go to a file: whatever Wine starts on the side keeps the streams it inherits.
timeout $((budget + 30)) env "${locale[@]}" wine "$driver" "${arguments[@]}" >"$work/actual" 2>"$work/messages" ||
    status=$?
echo "status $status" >>"$work/actual"

if ! cmp -s "$expected" "$work/actual"; then
    echo "FAIL $case_name: the boxes differ from what was expected"
    echo "--- expected"
    readable "$expected"
    echo "--- actual"
    readable "$work/actual"
    echo "--- as recorded (hex)"
    diff "$expected" "$work/actual" || true
    if [ -s "$work/messages" ]; then
        echo "--- box_driver and Wine said"
        cat "$work/messages"
    fi
    exit 1
fi
echo "ok $case_name"
