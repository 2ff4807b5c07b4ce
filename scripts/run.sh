#!/usr/bin/env bash
# Builds the native numplace when needed (build/run/app/numplace: a plain Release build without
# the tests) and runs it with the given command-line tail, for example:
#   scripts/run.sh examples/classic.txt
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build/run"

(
    "$root/scripts/setup.sh" run
    # The generator is chosen once, when the folder is first configured: Ninja where there is one.
    generator=()
    [ -f "$build/CMakeCache.txt" ] || ! command -v ninja >/dev/null || generator=(-G Ninja)
    cmake -S "$root" -B "$build" "${generator[@]}" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
        >/dev/null
    cmake --build "$build" --target numplace
) >&2
exec "$build/app/numplace" "$@"
