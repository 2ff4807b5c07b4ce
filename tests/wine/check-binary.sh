#!/usr/bin/env bash
# Checks a built GUI executable from the outside: a 32-bit PE for the Windows GUI subsystem that
# imports only KERNEL32, USER32 and msvcrt, and carries icon group 128 in Japanese with the two
# 256-colour images of app/numplace.ico, byte for byte.
# Usage: check-binary.sh PROGRAM.exe ICON.ico
set -euo pipefail

[ $# -eq 2 ] || { echo "usage: $0 PROGRAM.exe ICON.ico" >&2; exit 2; }
exe=$1
icon=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

failures=0
check() { # WHAT EXPECTED ACTUAL
    if [ "$2" = "$3" ]; then
        echo "ok $1"
    else
        printf 'FAIL %s\n  expected: %s\n  actual:   %s\n' "$1" "$2" "$3"
        failures=$((failures + 1))
    fi
}

i686-w64-mingw32-objdump -p "$exe" >"$work/headers"
check "32-bit PE" "Magic 010b (PE32)" \
    "$(grep -m1 '^Magic' "$work/headers" | tr -s ' \t' ' ')"
check "GUI subsystem" "Subsystem 00000002 (Windows GUI)" \
    "$(grep -m1 '^Subsystem' "$work/headers" | tr -s ' \t' ' ')"
check "imported DLLs" "kernel32.dll msvcrt.dll user32.dll" \
    "$(sed -n 's/^\s*DLL Name: //p' "$work/headers" | tr 'A-Z' 'a-z' | sort | tr '\n' ' ' | sed 's/ $//')"

wrestool -l "$exe" >"$work/resources"
check "icon group 128 in Japanese (0x411), the only one" "--type=14 --name=128 --language=1041" \
    "$(grep -- '--type=14 ' "$work/resources" | cut -d' ' -f1-3 | tr '\n' ' ' | sed 's/ $//')"
check "two icon images, in Japanese" "2 2" \
    "$(grep -c -- '--type=3 ' "$work/resources") $(grep -c -- '--type=3 .*--language=1041' "$work/resources")"

wrestool -x --type=14 --name=128 --language=1041 -o "$work/group.ico" "$exe"
check "its images: 32x32 and 16x16, 256 colours" \
    "16x16x8/256 32x32x8/256" \
    "$(icotool -l "$work/group.ico" |
        sed -n 's/.*--width=\([0-9]*\) --height=\([0-9]*\) --bit-depth=\([0-9]*\) --palette-size=\([0-9]*\).*/\1x\2x\3\/\4/p' |
        sort | tr '\n' ' ' | sed 's/ $//')"
# wrestool rebuilds the .ico from the group and its images, then adds some bytes of its own.
check "the pixels of $(basename "$icon")" "same" \
    "$(cmp -s -n "$(stat -c %s "$icon")" "$work/group.ico" "$icon" && echo same || echo different)"

[ $failures -eq 0 ]
