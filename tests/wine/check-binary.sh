#!/usr/bin/env bash
# Checks a built GUI executable from the outside: a PE of the build's width (PE32 for 32-bit
# Windows, PE32+ for 64-bit) for the Windows GUI subsystem, at most 32 KiB, with no link time in
# its header, that imports only KERNEL32, USER32 and msvcrt and carries icon group 128 in Japanese
# with the two 256-colour images of app/numplace.ico, byte for byte, the version resource of
# VERSION and the application manifest. OBJDUMP and WINDRES are the build's own.
# Usage: check-binary.sh PROGRAM.exe ICON.ico VERSION 32|64 OBJDUMP WINDRES
set -euo pipefail

[ $# -eq 6 ] || { echo "usage: $0 PROGRAM.exe ICON.ico VERSION 32|64 OBJDUMP WINDRES" >&2; exit 2; }
exe=$1
icon=$2
version=$3
objdump=$5
windres=$6
case $4 in
32) format="Magic 010b (PE32)" ;;
64) format="Magic 020b (PE32+)" ;;
*) echo "check-binary: the width is 32 or 64, not $4" >&2; exit 2 ;;
esac
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

"$objdump" -p "$exe" >"$work/headers"
check "$4-bit PE" "$format" \
    "$(grep -m1 '^Magic' "$work/headers" | tr -s ' \t' ' ')"
check "GUI subsystem" "Subsystem 00000002 (Windows GUI)" \
    "$(grep -m1 '^Subsystem' "$work/headers" | tr -s ' \t' ' ')"
# The COFF header follows the 4-byte signature at the offset stored at 60; its time is at 4.
coff=$(od -An -tu4 -j 60 -N4 "$exe" | tr -d ' ')
check "no link time in the header" "0" "$(od -An -tu4 -j $((coff + 8)) -N4 "$exe" | tr -d ' ')"
check "within 32 KiB" yes "$([ "$(stat -c %s "$exe")" -le 32768 ] && echo yes || echo no)"
check "imported DLLs" "kernel32.dll msvcrt.dll user32.dll" \
    "$(sed -n 's/^\s*DLL Name: //p' "$work/headers" | tr 'A-Z' 'a-z' | sort | tr '\n' ' ' | sed 's/ $//')"

# Loaded at a random address, with the relocations that takes, and its data never run as code;
# the 64-bit build also takes addresses from the whole 64-bit range.
check "ASLR with relocations, and DEP" "$([ "$4" = 64 ] && echo "HIGH_ENTROPY_VA ")DYNAMIC_BASE NX_COMPAT .reloc" \
    "$(awk '/^DllCharacteristics/ { on = 1; next } on && /^\t/ { printf "%s ", $1; next } { on = 0 }' \
        "$work/headers")$("$objdump" -h "$exe" | awk '$2 == ".reloc" { print $2 }')"

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

# The version resource, as windres reads it back: one, in Japanese, its strings in one table for
# Japanese in code page 932, all plain ASCII.
"$windres" -i "$exe" -O rc >"$work/resources.rc"
check "version resource 1 in Japanese (0x411), the only one" "--type=16 --name=1 --language=1041" \
    "$(grep -- '--type=16 ' "$work/resources" | cut -d' ' -f1-3 | tr '\n' ' ' | sed 's/ $//')"
value() { sed -n "s/^ *$1 //p" "$work/resources.rc" | tr '\n' '|' | sed 's/|$//'; }
while IFS=';' read -r field expected; do
    check "version: $field" "$expected" "$(value "$field")"
done <<EOF
FILEVERSION;${version//./, }, 0
PRODUCTVERSION;${version//./, }, 0
BLOCK;"StringFileInfo"|"041103A4"|"VarFileInfo"
VALUE "FileVersion",;"$version"
VALUE "ProductVersion",;"$version"
VALUE "ProductName",;"numplace"
VALUE "InternalName",;"numplace"
VALUE "OriginalFilename",;"numplace.exe"
VALUE "Translation",;0x411, 932
EOF
check "version: a description and a copyright line" "yes yes" "$(
    value 'VALUE "FileDescription",' | grep '^".\+"$' >/dev/null && echo yes || echo no) $(
    value 'VALUE "LegalCopyright",' | grep '^"Copyright (C) [0-9]\{4\} .\+"$' >/dev/null && echo yes || echo no)"
# windres writes a string with a character outside ASCII as L"..." with escapes.
check "version: strings in plain ASCII" "" \
    "$(grep '^ *VALUE ' "$work/resources.rc" | LC_ALL=C grep ', L"\|\\\|[^ -~]' || true)"

# The manifest, which the loader reads before the program starts.
check "manifest: resource 1 of type 24, the only one" "--type=24 --name=1" \
    "$(grep -- '--type=24 ' "$work/resources" | cut -d' ' -f1-2 | tr '\n' ' ' | sed 's/ $//')"
wrestool -x --raw --type=24 --name=1 -o "$work/manifest.xml" "$exe"
check "manifest: well-formed XML" "yes" \
    "$(python3 -c 'import sys, xml.dom.minidom; xml.dom.minidom.parse(sys.argv[1])' \
        "$work/manifest.xml" 2>/dev/null && echo yes || echo no)"
while IFS='|' read -r what pattern; do
    check "manifest: $what" 1 "$(grep -cF -- "$pattern" "$work/manifest.xml" || true)"
done <<'EOF'
runs as the invoker|<requestedExecutionLevel level="asInvoker"
supports Vista|<supportedOS Id="{e2011457-1546-43c5-a5fe-008deee3d3f0}"/>
supports 7|<supportedOS Id="{35138b9a-5d96-4fbd-8e2d-a2440225f93a}"/>
supports 8|<supportedOS Id="{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}"/>
supports 8.1|<supportedOS Id="{1f676c76-80e1-4239-95bb-83d0f6d0da78}"/>
supports 10 and 11|<supportedOS Id="{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"/>
DPI aware per monitor|<dpiAware xmlns="http://schemas.microsoft.com/SMI/2005/WindowsSettings">true/pm</dpiAware>
DPI awareness PerMonitorV2|<dpiAwareness xmlns="http://schemas.microsoft.com/SMI/2016/WindowsSettings">PerMonitorV2</dpiAwareness>
long paths|<longPathAware xmlns="http://schemas.microsoft.com/SMI/2016/WindowsSettings">true</longPathAware>
common controls 6|<assemblyIdentity type="win32" name="Microsoft.Windows.Common-Controls" version="6.0.0.0" processorArchitecture="*" publicKeyToken="6595b64144ccf1df"
EOF

[ $failures -eq 0 ]
