#!/usr/bin/env bash
# Installs what one command of the project needs, and nothing more, when any of it is missing.
# As root it does it itself; otherwise it prints the exact commands and fails.
# Usage: scripts/setup.sh run|windows|release|test
#   run      build and run the native program: a C++ compiler, CMake and a build tool
#   windows  build the 32-bit Windows program: CMake, Ninja and the MinGW-w64 compiler
#   release  make the release packages: both compilers, and the tools that pack and describe them
#   test     everything the tests use: both of the above, the 64-bit MinGW-w64 compiler,
#            GoogleTest, 32- and 64-bit Wine with a virtual X server and the Japanese and English
#            locales, the icon tools, clang's libFuzzer and valgrind
set -euo pipefail

need=${1:-}
missing=()
missing_locales=()

# A command that any of several packages may provide: only when none is there is its package
# wanted, so a machine with make but no Ninja, or clang++ but no g++, builds as it is.
want_command() { # PACKAGE COMMAND...
    local package=$1
    shift
    for command in "$@"; do command -v "$command" >/dev/null && return; done
    missing+=("$package")
}
# locale -a spells them ja_JP.utf8.
has_locale() { locale -a 2>/dev/null | grep -qix "${1%%.*}\.utf-\?8"; }
want_locale() { # NAME.UTF-8...
    for name in "$@"; do has_locale "$name" || missing_locales+=("$name"); done
}
want_package() { # PACKAGE...
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
            missing+=("$package")
    done
}

case $need in
run)
    want_command g++ c++ g++ clang++
    want_command cmake cmake
    want_command ninja-build ninja make
    ;;
windows)
    want_package cmake ninja-build g++-mingw-w64-i686-posix
    ;;
release)
    # dpkg-shlibdeps (dpkg-dev) and file compute the .deb's Depends; zip packs the Windows archive;
    # lintian checks the .deb against Debian's rules.
    want_package cmake ninja-build g++ g++-mingw-w64-i686-posix dpkg-dev file zip git lintian
    ;;
test)
    # Native build and tests; the 32- and 64-bit Windows cross-builds (GoogleTest from its
    # sources); Wine of both architectures with a virtual X server for the Windows tests (the
    # 32-bit one is installed everywhere, and runs where the kernel allows); icoutils to inspect
    # the icon; python3 for the icon script; clang with its libFuzzer runtime for the fuzz preset;
    # valgrind for memcheck.
    want_package cmake ninja-build g++ libgtest-dev googletest \
        g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix wine wine32:i386 wine64 xvfb \
        x11-utils locales icoutils python3 clang libclang-rt-14-dev valgrind
    # The Wine cases run in Japanese, and some in English.
    want_locale ja_JP.UTF-8 en_US.UTF-8
    ;;
*)
    echo "usage: $0 run|windows|release|test" >&2
    exit 2
    ;;
esac

[ ${#missing[@]} -eq 0 ] && [ ${#missing_locales[@]} -eq 0 ] && exit 0

# wine32 is an i386 package: dpkg must know that architecture before the package lists are read.
need_i386=false
if [[ " ${missing[*]} " == *":i386 "* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    need_i386=true
fi

if [ "$(id -u)" -ne 0 ]; then
    echo "numplace needs these set up; run as root, then run this again:" >&2
    $need_i386 && echo "  dpkg --add-architecture i386" >&2
    [ ${#missing[@]} -gt 0 ] &&
        echo "  apt-get update && apt-get install -y --no-install-recommends ${missing[*]}" >&2
    for name in "${missing_locales[@]}"; do
        echo "  echo '$name UTF-8' >> /etc/locale.gen" >&2
    done
    [ ${#missing_locales[@]} -gt 0 ] && echo "  locale-gen" >&2
    exit 1
fi

if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing ${missing[*]}"
    $need_i386 && dpkg --add-architecture i386
    apt-get update -q
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# Re-checked: installing locales may have generated them already.
generate=false
for name in "${missing_locales[@]}"; do
    has_locale "$name" && continue
    echo "Generating the $name locale"
    if grep -q "^# *$name UTF-8" /etc/locale.gen; then
        sed -i "s/^# *\($name UTF-8\)/\1/" /etc/locale.gen
    elif ! grep -q "^$name UTF-8" /etc/locale.gen; then
        echo "$name UTF-8" >>/etc/locale.gen
    fi
    generate=true
done
if $generate; then locale-gen; fi
