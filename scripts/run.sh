#!/usr/bin/env bash
# Builds the native numplace when needed and runs it with the given command-line tail,
# for example: scripts/run.sh examples/classic.txt
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"

(
    cd "$root"
    scripts/setup.sh
    cmake --preset default >/dev/null
    cmake --build --preset default --target numplace
) >&2
exec "$root/build/default/app/numplace" "$@"
