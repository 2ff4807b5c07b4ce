#!/usr/bin/env bash
# Installs what one command of the project needs, and nothing more, when any of it is missing.
# As root it does it itself; otherwise it prints the exact commands and fails.
# Usage: scripts/setup.sh run|windows|release|test
#   run      build and run the native program: a C++ compiler, CMake and a build tool
#   windows  build the 32-bit Windows program: CMake, Ninja and the MinGW-w64 compiler
#   release  make the release packages: both compilers, and the tools that pack and describe them
#   test     everything the tests use: both of the above, the 64-bit MinGW-w64 compiler, g++ for
#            32-bit x86 (g++-multilib), clang with lld, the arm64 cross libraries and qemu for
#            64-bit ARM, GoogleTest, 64-bit Wine with a virtual X server and the Japanese and
#            English locales, 32-bit Wine where this machine runs 32-bit programs, the icon tools,
#            clang's libFuzzer and valgrind
# A package list that cannot be fetched (a mirror half-way through a sync) is only a warning: the
# install decides. A wanted package that cannot be installed ends set-up, naming it; 32-bit Wine
# is optional, and is left out with one line that says why (the line starts "setup: 32-bit Wine").
# NUMPLACE_32_BIT_PROBE names another probe in place of scripts/probe-32-bit.sh (the tests' stand-in).
set -euo pipefail

need=${1:-}
probe=${NUMPLACE_32_BIT_PROBE:-$(dirname "$0")/probe-32-bit.sh}
missing=()
optional=()
missing_locales=()

# A command that any of several packages may provide: only when none is there is its package
# wanted, so a machine with make but no Ninja, or clang++ but no g++, builds as it is.
want_command() { # PACKAGE COMMAND...
    local package=$1
    shift
    for command in "$@"; do command -v "$command" >/dev/null && return; done
    missing+=("$package")
}
# Every grep below reads its input whole: one that stopped at the first match (-q) could kill the
# writer with SIGPIPE, and the pipeline would fail (pipefail) for what is there.
# locale -a spells them ja_JP.utf8.
has_locale() { locale -a 2>/dev/null | grep -ix "${1%%.*}\.utf-\?8" >/dev/null; }
want_locale() { # NAME.UTF-8...
    for name in "$@"; do has_locale "$name" || missing_locales+=("$name"); done
}
installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep 'install ok installed' >/dev/null; }
want_package() { # PACKAGE...
    for package in "$@"; do installed "$package" || missing+=("$package"); done
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
    # Native build and tests; the 32-bit x86 build (g++-multilib) and the 32- and 64-bit Windows
    # cross-builds (GoogleTest from its sources); the 64-bit ARM build with clang, lld and the
    # arm64 cross libraries (Debian's ARM cross gcc would remove g++-multilib), run by qemu-user;
    # 64-bit Wine with a virtual X server for the Windows tests; icoutils to inspect the icon;
    # python3 for the icon script; clang with its libFuzzer runtime for the fuzz preset; valgrind
    # for memcheck.
    want_package cmake ninja-build g++ g++-multilib libgtest-dev googletest \
        g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix wine wine64 xvfb \
        x11-utils locales icoutils python3 clang libclang-rt-14-dev valgrind lld qemu-user \
        libstdc++-12-dev-arm64-cross libgcc-12-dev-arm64-cross libc6-dev-arm64-cross
    # 32-bit Wine is an i386 package, of use only where the kernel runs 32-bit programs.
    if "$probe" >/dev/null; then installed wine32:i386 || optional+=(wine32:i386); fi
    # The Wine cases run in Japanese, and some in English.
    want_locale ja_JP.UTF-8 en_US.UTF-8
    ;;
*)
    echo "usage: $0 run|windows|release|test" >&2
    exit 2
    ;;
esac

wanted=("${missing[@]}" "${optional[@]}")
[ ${#wanted[@]} -eq 0 ] && [ ${#missing_locales[@]} -eq 0 ] && exit 0

# wine32 is an i386 package: dpkg must know that architecture before the package lists are read.
need_i386=false
if [ ${#optional[@]} -gt 0 ] && ! dpkg --print-foreign-architectures | grep -x i386 >/dev/null; then
    need_i386=true
fi

if [ "$(id -u)" -ne 0 ]; then
    echo "numplace needs these set up; run as root, then run this again:" >&2
    $need_i386 && echo "  dpkg --add-architecture i386" >&2
    if [ ${#wanted[@]} -gt 0 ]; then
        echo "  apt-get update && apt-get install -y --no-install-recommends ${wanted[*]}" >&2
    fi
    for name in "${missing_locales[@]}"; do
        echo "  echo '$name UTF-8' >> /etc/locale.gen" >&2
    done
    [ ${#missing_locales[@]} -gt 0 ] && echo "  locale-gen" >&2
    exit 1
fi

# apt-get install, shown as it goes; its first error line is kept in $apt_error. It never removes
# a package (one of them may be another stage's), and never downgrades or holds one.
apt_log=$(mktemp)
trap 'rm -f "$apt_log"' EXIT
apt_error=
apt_install() { # PACKAGE...
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends --no-remove \
        "$@" 2>&1 | tee "$apt_log" && return
    apt_error=$(grep -m1 '^E: ' "$apt_log" || tail -n1 "$apt_log")
    return 1
}

# Why 32-bit Wine could not be installed, in words one can act on. A Multi-Arch library must be
# the same version in both architectures: an installed amd64 one newer than its i386 twin in the
# lists (a security update whose i386 list could not be fetched) is matched only by a downgrade,
# which set-up never makes. Else the i386 lists that failed, else apt's own first error.
wine32_refusal() {
    local names=() newer=
    local lists=${failed_lists:+the i386 package list of $failed_lists could not be fetched}
    mapfile -t names < <(grep -o '[a-z0-9][a-z0-9.+-]*:i386' "$apt_log" | sed 's/:i386//' | sort -u)
    # One query of each kind for all of them: apt-cache takes seconds to start.
    [ ${#names[@]} -eq 0 ] || newer=$({
        dpkg-query -W -f='amd64 ${Package} ${Version} ${Multi-Arch}\n' "${names[@]/%/:amd64}"
        apt-cache policy "${names[@]/%/:i386}" | awk '/^[^ ]/ { n = $1; sub(/:i386:/, "", n) }
            $1 == "Candidate:" { print "i386", n, $2 }'
    } 2>/dev/null | awk '$1 == "amd64" && $4 == "same" { installed[$2] = $3 }
        $1 == "i386" && $2 in installed && $3 ~ /^[0-9]/ { print $2, installed[$2], $3 }' |
        while read -r name installed candidate; do
            if dpkg --compare-versions "$installed" gt "$candidate"; then
                echo "$name $installed installed, i386 only $candidate"
                break
            fi
        done) || true
    if [ -n "$newer" ] && [ -n "$lists" ]; then
        echo "$lists, and the amd64 libraries are newer than their i386 twins ($newer), so" \
            "installing 32-bit Wine would downgrade them"
    elif [ -n "$newer" ]; then
        echo "the amd64 libraries are newer than their i386 twins ($newer), and installing" \
            "32-bit Wine would downgrade them"
    else
        echo "${lists:-$apt_error}"
    fi
}

if [ ${#wanted[@]} -gt 0 ]; then
    echo "Installing ${wanted[*]}"
    $need_i386 && dpkg --add-architecture i386
    # Lists that failed are ignored or kept from before; whether what is wanted can be had from
    # the rest is the install's to say.
    failed_lists=
    if ! said=$(apt-get update -q 2>&1); then
        echo "setup: warning: apt-get update could not fetch every package list; going on:" >&2
        grep '^[EW]: ' <<<"$said" | sed 's/^/    /' >&2 || true
        failed_lists=$(sed -nE 's|^E: Failed to fetch .*/dists/([^ ]*)/binary-i386/.*|\1|p' \
            <<<"$said" | sort -u | paste -sd, | sed 's/,/, /g')
    fi
    if [ ${#missing[@]} -gt 0 ] && ! apt_install "${missing[@]}"; then
        # Named one by one, so the message says which package it is.
        for package in "${missing[@]}"; do
            apt_install "$package" && continue
            echo "setup: cannot install $package: $apt_error" >&2
            echo "  try by hand: apt-get update && apt-get install --no-install-recommends $package" >&2
            exit 1
        done
    fi
    if [ ${#optional[@]} -gt 0 ] && ! apt_install "${optional[@]}"; then
        echo "setup: 32-bit Wine left out (${optional[*]}): $(wine32_refusal)" >&2
    fi
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
