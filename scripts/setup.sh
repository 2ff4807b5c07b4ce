#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, and the Japanese locale the Windows
# tests run under, when any is missing. As root it does it itself; otherwise it prints the exact
# commands and fails.
set -euo pipefail

# Native build and tests; the 32-bit Windows cross-build (GoogleTest from its sources); Wine with a
# virtual X server for the Windows tests; icoutils to inspect the icon; python3 for the icon script.
packages=(cmake ninja-build g++ libgtest-dev googletest
    g++-mingw-w64-i686-posix wine wine32:i386 xvfb x11-utils locales icoutils python3)
# Reliability: clang with its libFuzzer runtime for the fuzz preset, valgrind for memcheck.
packages+=(clang libclang-rt-14-dev valgrind)
locale_name=ja_JP.UTF-8

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
        missing+=("$package")
done
# locale -a spells it ja_JP.utf8.
need_locale=false
locale -a 2>/dev/null | grep -qix 'ja_JP\.utf-\?8' || need_locale=true

[ ${#missing[@]} -eq 0 ] && ! $need_locale && exit 0

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
    $need_locale &&
        echo "  echo '$locale_name UTF-8' >> /etc/locale.gen && locale-gen" >&2
    exit 1
fi

if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing ${missing[*]}"
    $need_i386 && dpkg --add-architecture i386
    apt-get update -q
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# Re-checked: installing locales may have generated it already.
if ! locale -a 2>/dev/null | grep -qix 'ja_JP\.utf-\?8'; then
    echo "Generating the $locale_name locale"
    if grep -q "^# *$locale_name UTF-8" /etc/locale.gen; then
        sed -i "s/^# *\($locale_name UTF-8\)/\1/" /etc/locale.gen
    elif ! grep -q "^$locale_name UTF-8" /etc/locale.gen; then
        echo "$locale_name UTF-8" >>/etc/locale.gen
    fi
    locale-gen
fi
