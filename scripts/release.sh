#!/usr/bin/env bash
# Makes the release packages of the checked-out commit in dist/: the Windows zip, the Linux
# tarball and .deb (which lintian must pass), and SHA256SUMS over them. Two runs on one commit
# give the same bytes, wherever the clone is, whoever runs it, with any umask, at any time.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

scripts/setup.sh release

# Every time stamp in the packages is the commit's; names sort and dates print the same anywhere.
SOURCE_DATE_EPOCH=$(git log -1 --format=%ct)
export SOURCE_DATE_EPOCH TZ=UTC LC_ALL=C
umask 022
[ -z "$(git status --porcelain --untracked-files=no)" ] ||
    echo "release: the work tree has changes that are not committed; the packages hold them" >&2

rm -rf dist build/packages
mkdir dist

# The native program is built as Debian builds its own packages: dpkg-buildflags with all of its
# hardening (a stack protector, fortified libc calls, relocations read-only and bound at start-up,
# PIE). Only here, where the release is made: a plain CMake build takes the flags its builder
# gives. Fortification is raised to level 3, as Fedora's and Ubuntu's builds have it since GCC 12:
# the program's copies have sizes known only at run time, which level 2 cannot check at all.
# Debian's -g and -O2 give way to the preset's build type, and its file-prefix map, like our own,
# keeps this folder's path out of the program.
hardened() { # COMMAND...
    local get=(env DEB_BUILD_MAINT_OPTIONS=hardening=+all DEB_CXXFLAGS_MAINT_STRIP="-g -O2"
        dpkg-buildflags --get) cppflags
    cppflags=$("${get[@]}" CPPFLAGS)
    cppflags=${cppflags/-D_FORTIFY_SOURCE=2/-D_FORTIFY_SOURCE=3}
    CXXFLAGS="$cppflags $("${get[@]}" CXXFLAGS)" LDFLAGS=$("${get[@]}" LDFLAGS) "$@"
}
# Each workflow builds its preset's program and lets CPack stage and pack it, configured afresh so
# that nothing cached from an earlier build of the folder changes the bytes.
hardened cmake --workflow --preset release --fresh
cmake --workflow --preset windows-program --fresh

# CPack 3.25 writes zip and tar entries in the order the file system lists them and with the
# uid and gid of whoever runs it, so those two archives are made again, from the tree CPack
# staged, by tar and zip with the order, owners, modes and times fixed. Its .deb already sorts
# its entries, owns them by root and dates them from SOURCE_DATE_EPOCH: that one is kept.
staged() { # PACKAGE_DIR GENERATOR ARCHIVE SUFFIX: the folder CPack packed into ARCHIVE
    local name
    name=$(basename "$3" "$4")
    find "$1/_CPack_Packages" -mindepth 3 -maxdepth 3 -type d -path "*/$2/$name" | grep .
}

tarball=$(find build/packages/release -maxdepth 1 -name '*.tar.gz' | grep .)
tree=$(staged build/packages/release TGZ "$tarball" .tar.gz)
tar -C "$(dirname "$tree")" --sort=name --format=gnu --mtime="@$SOURCE_DATE_EPOCH" \
    --owner=0 --group=0 --numeric-owner --mode=u=rwX,go=rX -cf - "$(basename "$tree")" |
    gzip -9n >"dist/$(basename "$tarball")"

deb=$(find build/packages/release -maxdepth 1 -name '*.deb' | grep .)
cp "$deb" dist/
# Debian's checker: any error or warning it finds in the .deb stops the release.
lintian --fail-on error,warning "dist/$(basename "$deb")" ||
    { echo "release: lintian finds fault with the .deb" >&2; exit 1; }
# Its notes on hardening too: each names a protection the program was built without.
if lintian -I "dist/$(basename "$deb")" | grep ': hardening-'; then
    echo "release: the .deb's program is not hardened as Debian's own are" >&2
    exit 1
fi

zipfile=$(find build/packages/windows-program -maxdepth 1 -name '*.zip' | grep .)
tree=$(staged build/packages/windows-program ZIP "$zipfile" .zip)
# What the zip holds is the numplace.exe the tests check, byte for byte.
cmp "$tree/numplace.exe" build/windows-program/app/numplace.exe
chmod -R u=rwX,go=rX "$tree"
find "$tree" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
# -X leaves out the uid, gid and extra time fields; zip keeps the order it is given.
(cd "$(dirname "$tree")" && find "$(basename "$tree")" | sort |
    zip -X -9 -q -@ "$root/dist/$(basename "$zipfile")")

(cd dist && sha256sum -- *.zip *.tar.gz *.deb >SHA256SUMS)
ls -l dist
cat dist/SHA256SUMS
