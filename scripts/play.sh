#!/usr/bin/env bash
# Installs what is missing, builds a Release build with its data files, and
# starts the game from the build's data directory.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh" game
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=Release -DSEARCHLIGHT_TESTS=OFF -DSEARCHLIGHT_BENCH=OFF > /dev/null
cmake --build "$root/build" -j"$(nproc)" --target searchlight searchlight_data
cd "$root/build/data"
exec ../searchlight "$@"
