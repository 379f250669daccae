#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the whole test suite.
# Exits non-zero on any failure.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh" test
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=Release -DSEARCHLIGHT_TESTS=ON -DSEARCHLIGHT_BENCH=ON > /dev/null
cmake --build "$root/build" -j"$(nproc)"
cd "$root/build"
ctest --output-on-failure -j"$(nproc)" "$@"
