#!/usr/bin/env bash
# Runs one command inside a throwaway Wine environment: its own virtual X server, a fresh 32-bit
# prefix and the Japanese locale (ANSI code page 932). Everything it starts is stopped on exit.
# Usage: scripts/with-wine.sh COMMAND [ARGUMENT...]
set -euo pipefail

[ $# -gt 0 ] || { echo "usage: $0 COMMAND [ARGUMENT...]" >&2; exit 2; }

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
export WINEARCH=win32
export WINEDEBUG=-all
# No offers to install Mono or Gecko (the tests need neither), and no menu entries or file
# associations written into the home directory.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# Japanese locale: Wine derives the ANSI code page (932) from it.
export LANG=ja_JP.UTF-8
export LC_ALL=ja_JP.UTF-8
# Marks the environment for the scripts that need it.
export NUMPLACE_WINE=1

if ! timeout 180 wineboot -i >/dev/null 2>&1; then
    echo "with-wine: wineboot -i failed or took over 180 s" >&2
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
