#!/usr/bin/env bash
# What set-up installs and whether 32-bit Wine is taken as usable, decided against stand-ins for
# apt-get, dpkg, the 32-bit probe and Wine's loaders: no root, no network, nothing installed.
# Each row checks the exit code and the one line that says why.
set -uo pipefail
scripts=$(cd "$(dirname "$0")/../scripts" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# One stand-in under every name, each call logged; the row's FAKE_ variables say how it answers.
mkdir "$work/bin"
cat >"$work/bin/stand-in" <<'EOF'
#!/usr/bin/env bash
echo "${0##*/} $*" >>"$FAKE_LOG"
listed() { [[ " $1 " == *" $2 "* ]]; }
case ${0##*/} in
probe) [ "$FAKE_PROBE" = yes ] || { echo "this machine runs no 32-bit programs (stand-in)"; exit 1; } ;;
id) echo "$FAKE_UID" ;;
locale) printf 'C\nen_US.utf8\nja_JP.utf8\n' ;;
dpkg) [ "$1" != --compare-versions ] || exec /usr/bin/dpkg "$@"
    [ "$1" != --print-foreign-architectures ] || echo "$FAKE_ARCHS" ;;
dpkg-query)
    # FAKE_AMD64 and FAKE_I386: NAME=VERSION, the amd64 library installed and its i386 twin listed.
    if [[ $2 == *Version* ]]; then
        listed "$*" "${FAKE_AMD64%=*}:amd64" && echo "amd64 ${FAKE_AMD64/=/ } same"
        exit 0
    fi
    listed "$FAKE_MISSING" "${*: -1}" && exit 1 || echo "install ok installed" ;;
apt-cache) [ -z "$FAKE_I386" ] || printf '%s:i386:\n  Candidate: %s\n' "${FAKE_I386%=*}" "${FAKE_I386#*=}" ;;
apt-get)
    if [ "$1" = update ]; then
        [ "$FAKE_UPDATE" = fails ] || exit 0
        echo "E: Failed to fetch http://mirror/debian-security/dists/bookworm-security/main/binary-i386/Packages  File has unexpected size (374820 != 376004). Mirror sync in progress?"
        echo "E: Some index files failed to download. They have been ignored, or old ones used instead."
        exit 100
    fi
    for package in "$@"; do
        listed "$FAKE_BROKEN" "$package" || continue
        [[ $package == *:i386 ]] && echo " libwine:i386 : Depends: libgst:i386 (>= 1.0.0)" &&
            echo "E: Unable to correct problems, you have held broken packages." ||
            echo "E: Package '$package' has no installation candidate"
        exit 100
    done ;;
esac
EOF
chmod +x "$work/bin/stand-in"
for name in apt-get apt-cache dpkg dpkg-query id locale locale-gen probe; do ln -s stand-in "$work/bin/$name"; done

# Wine's loader folders: none; Debian's wrapper script beside a 64-bit loader; a 32-bit loader
# that cannot start (an ELF header and nothing more).
mkdir "$work/none" "$work/wrapper" "$work/broken"
printf '#!/bin/sh\necho wine-8.0\n' >"$work/wrapper/wine"
cp "$(type -P true)" "$work/wrapper/wine64"
printf '\x7fELF\x01\x01\x01\0\0\0\0\0\0\0\0\0\x02\0\x03\0' >"$work/broken/wine"
chmod +x "$work/wrapper/wine" "$work/broken/wine"

# name | command | stand-ins' answers | exit | the line that says why ("-": no output at all)
cases="
all present | setup.sh test | FAKE_MISSING= | 0 | -
list fails | setup.sh test | FAKE_MISSING=valgrind FAKE_UPDATE=fails | 0 | setup: warning: apt-get update could not fetch every package list; going on:
i386 fails | setup.sh test | FAKE_MISSING=wine32:i386 FAKE_BROKEN=wine32:i386 FAKE_AMD64=libgst=1.2-u6 FAKE_I386=libgst=1.2-u7 | 0 | setup: 32-bit Wine left out (wine32:i386): E: Unable to correct problems, you have held broken packages.
i386 older | setup.sh test | FAKE_MISSING=wine32:i386 FAKE_BROKEN=wine32:i386 FAKE_AMD64=libgst=1.2-u7 FAKE_I386=libgst=1.2-u6 | 0 | setup: 32-bit Wine left out (wine32:i386): the amd64 libraries are newer than their i386 twins (libgst 1.2-u7 installed, i386 only 1.2-u6), and installing 32-bit Wine would downgrade them
i386 list fails | setup.sh test | FAKE_MISSING=wine32:i386 FAKE_BROKEN=wine32:i386 FAKE_UPDATE=fails | 0 | setup: 32-bit Wine left out (wine32:i386): the i386 package list of bookworm-security/main could not be fetched
i386 list older | setup.sh test | FAKE_MISSING=wine32:i386 FAKE_BROKEN=wine32:i386 FAKE_UPDATE=fails FAKE_AMD64=libgst=1.2-u7 FAKE_I386=libgst=1.2-u6 | 0 | setup: 32-bit Wine left out (wine32:i386): the i386 package list of bookworm-security/main could not be fetched, and the amd64 libraries are newer than their i386 twins (libgst 1.2-u7 installed, i386 only 1.2-u6), so installing 32-bit Wine would downgrade them
no 32-bit | setup.sh test | FAKE_PROBE=no FAKE_MISSING='valgrind wine32:i386' | 0 | Installing valgrind
required fails | setup.sh test | FAKE_MISSING='xvfb valgrind' FAKE_BROKEN=valgrind | 1 | setup: cannot install valgrind: E: Package 'valgrind' has no installation candidate
not root | setup.sh test | FAKE_MISSING=valgrind FAKE_UID=1000 | 1 | numplace needs these set up; run as root, then run this again:
check no 32-bit | with-wine.sh --check win32 | FAKE_PROBE=no NUMPLACE_WINE_DIR=$work/broken | 1 | this machine runs no 32-bit programs (stand-in)
check no Wine | with-wine.sh --check win32 | NUMPLACE_WINE_DIR=$work/none | 1 | no 32-bit Wine is installed (Debian: wine32:i386)
check wrapper | with-wine.sh --check win32 | NUMPLACE_WINE_DIR=$work/wrapper | 1 | no 32-bit Wine is installed (Debian: wine32:i386), only 64-bit Wine
check broken | with-wine.sh --check win32 | NUMPLACE_WINE_DIR=$work/broken | 1 | $work/broken/wine cannot start: * Exec format error
check 64-bit | with-wine.sh --check win64 | NUMPLACE_WINE_DIR=$work/wrapper | 0 | -
"

failures=0
while IFS='|' read -r name command answers code why; do
    [ -n "$name" ] || continue
    name=$(echo $name) command=$(echo $command) code=$(echo $code) why=${why# }
    : >"$work/log"
    output=$(eval env PATH="$work/bin:$PATH" NUMPLACE_32_BIT_PROBE="$work/bin/probe" \
        FAKE_LOG="$work/log" FAKE_PROBE=yes FAKE_UID=0 FAKE_ARCHS= FAKE_UPDATE=ok FAKE_BROKEN= \
        FAKE_AMD64= FAKE_I386= \
        $answers timeout 60 bash "$scripts/"$command 2>&1 </dev/null)
    status=$?
    problem=
    if [ "$status" != "$code" ]; then
        problem="exit $status, not $code"
    elif [ "$why" = - ]; then
        [ -z "$output" ] || problem="said something"
    elif ! grep -qx -- "$(sed 's/[.[\^$]/\\&/g; s/\*/.*/g' <<<"$why")" <<<"$output"; then
        problem="no line: $why"
    fi
    # Set-up never lets apt remove a package.
    if grep '^apt-get install' "$work/log" | grep -v -- --no-remove >/dev/null; then
        problem+=" apt may remove: $(grep '^apt-get install' "$work/log" | head -n1)"
    fi
    # Where this kernel runs no 32-bit programs, set-up neither adds i386 nor asks for wine32.
    if [[ $answers == *FAKE_PROBE=no* ]] && grep -q 'i386' "$work/log"; then
        problem+=" asked for i386: $(grep i386 "$work/log" | head -n1)"
    fi
    if [ -n "$problem" ]; then
        failures=$((failures + 1))
        printf 'FAILED %s: %s\n%s\n' "$name" "$problem" "$(sed 's/^/    /' <<<"$output")"
    else
        echo "ok $name"
    fi
done <<<"$cases"
[ "$failures" -eq 0 ]
