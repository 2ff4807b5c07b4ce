#!/usr/bin/env bash
# Runs one command inside a throwaway Wine environment: its own virtual X server, a fresh prefix of
# the architecture the command's programs are built for, and the Japanese locale (ANSI code page
# 932). Everything it starts is stopped on exit.
# Usage: scripts/with-wine.sh win32|win64 COMMAND [ARGUMENT...]
#        scripts/with-wine.sh --check win32|win64   whether this machine can run that Wine, and if
#                                                    not, why (one line); exit 0 or 1
set -euo pipefail

usage() {
    echo "usage: $0 win32|win64 COMMAND [ARGUMENT...]" >&2
    echo "       $0 --check win32|win64" >&2
    exit 2
}
check_only=false
if [ "${1:-}" = --check ]; then
    check_only=true
    shift
fi
arch=${1:-}
case $arch in
win32) loader=/usr/lib/wine/wine bits=32 package=wine32:i386 ;;
win64) loader=/usr/lib/wine/wine64 bits=64 package=wine64 ;;
*) usage ;;
esac
shift
$check_only || [ $# -gt 0 ] || usage

# Debian's /usr/bin/wine starts the 32-bit loader whenever wine32 is installed, even where it
# cannot run, and the 64-bit one when it is not; so the loader of the prefix's architecture is
# called by name. Only a system without Debian's loaders gets its own `wine` or `wine64`.
if [ ! -x "$loader" ]; then
    if [ -d /usr/lib/wine ]; then loader=; else loader=$(command -v "${loader##*/}" || true); fi
fi

# One line on why this machine cannot run Wine of that architecture, or nothing when it can.
why_not() {
    local said
    if [ -z "$loader" ]; then
        echo "no $bits-bit Wine is installed (Debian: $package)"
    elif ! said=$("$loader" --version 2>&1); then
        # Where the kernel runs no 32-bit programs, the loader's ELF interpreter cannot start.
        if [ $bits = 32 ] && ! said=$(/lib/ld-linux.so.2 --version 2>&1); then
            said=${said%%$'\n'*}
            echo "this machine runs no 32-bit programs (/lib/ld-linux.so.2: ${said##*: })"
        else
            echo "$loader cannot start: ${said%%$'\n'*}"
        fi
    fi
}
reason=$(why_not)
if $check_only; then
    [ -z "$reason" ] || { echo "$reason"; exit 1; }
    exit 0
fi
[ -z "$reason" ] || { echo "with-wine: $reason" >&2; exit 1; }

xvfb_pid=
work=
prefix=
cleanup() {
    if [ -n "$prefix" ]; then
        WINEPREFIX=$prefix timeout 30 wineserver -k 2>/dev/null || true
        # -k asks; -w waits until the server has really gone, so the prefix can be removed.
        WINEPREFIX=$prefix timeout 30 wineserver -w 2>/dev/null || true
    fi
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
    [ -z "$work" ] || rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

work=$(mktemp -d "${TMPDIR:-/tmp}/numplace-wine.XXXXXX")

# `wine` for the command and for CMake's cross-compiling emulator: this architecture's loader.
mkdir "$work/bin"
printf '#!/bin/sh\nexec %q "$@"\n' "$loader" >"$work/bin/wine"
chmod +x "$work/bin/wine"
export PATH="$work/bin:$PATH"
# A Windows program that starts another (the tests' box driver does) has Wine start this loader.
export WINELOADER=$loader

# A virtual X server on a display number it picks itself (another run may be choosing at the same
# time); it writes the number once it accepts connections.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.1
done
[ -s "$work/display" ] || { echo "with-wine: the virtual X server did not start in 10 s" >&2; exit 1; }
DISPLAY=":$(head -n1 "$work/display")"
export DISPLAY

prefix=$work/prefix
export WINEPREFIX=$prefix
export WINEARCH=$arch
export WINEDEBUG=-all
# No offers to install Mono or Gecko (the tests need neither), and no menu entries or file
# associations written into the home directory.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# Japanese locale: Wine derives the ANSI code page (932) from it.
export LANG=ja_JP.UTF-8
export LC_ALL=ja_JP.UTF-8
# Marks the environment for the scripts that need it.
export NUMPLACE_WINE=1

# A 64-bit prefix on a machine without 32-bit support says it cannot start syswow64's rundll32:
# harmless, and only shown when the boot fails.
status=0
timeout 180 wine wineboot -i >"$work/wineboot.log" 2>&1 || status=$?
if [ $status -ne 0 ]; then
    if [ $status -eq 124 ]; then
        echo "with-wine: wineboot -i ($arch) did not finish in 180 s; it said:" >&2
    else
        echo "with-wine: wineboot -i ($arch) failed with status $status; it said:" >&2
    fi
    tail -n 5 "$work/wineboot.log" | sed 's/^/    /' >&2
    exit 1
fi
# Lets the first server finish the prefix and exit, so the run starts on a settled one.
timeout 60 wineserver -w || true

# Starts the desktop now and keeps it: otherwise the first window of the run starts it, and it
# inherits that program's output and holds it open (a test runner then waits for it), and it
# closes a second after its last other user ends, so the next window starts it again. A command
# prompt waiting for input on a FIFO we hold open is that other user, and keeps the server up
# between the run's short programs; wineserver -k ends both.
mkfifo "$work/keep-desktop"
exec 3<>"$work/keep-desktop"
wine cmd.exe <"$work/keep-desktop" >/dev/null 2>&1 &
wine explorer.exe /desktop >/dev/null 2>&1 &

# Unmanaged windows: with no window manager on the virtual display, Wine would otherwise wait two
# seconds for every closed window (each message box) to be withdrawn.
if ! timeout 30 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f \
    >/dev/null 2>&1; then
    echo "with-wine: could not set up the X11 driver" >&2
    exit 1
fi

status=0
"$@" 3>&- || status=$?
exit "$status"
