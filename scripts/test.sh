#!/usr/bin/env bash
# Installs what is missing, builds everything twice and runs the whole test
# suite in both builds: build/ (Release, as players get it) and
# build-sanitize/ (AddressSanitizer and UndefinedBehaviorSanitizer, where a
# memory error, leak or undefined behaviour fails the test that met it).
# Arguments go to both ctest runs (for example -R city). Exits non-zero when
# any test of either build fails.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)
"$root/scripts/install-deps.sh" test

cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=Release \
  -DSEARCHLIGHT_TESTS=ON -DSEARCHLIGHT_BENCH=ON > /dev/null
cmake --build "$root/build" -j"$jobs"
cmake -S "$root" -B "$root/build-sanitize" -DCMAKE_BUILD_TYPE=Release -DSEARCHLIGHT_SANITIZE=ON \
  -DSEARCHLIGHT_TESTS=ON -DSEARCHLIGHT_BENCH=OFF > /dev/null
cmake --build "$root/build-sanitize" -j"$jobs"

status=0
echo "== Release build"
(cd "$root/build" && ctest --output-on-failure -j"$jobs" "$@") || status=1
echo "== Sanitized build"
(cd "$root/build-sanitize" && ctest --output-on-failure -j"$jobs" "$@") || status=1
[ $status -eq 0 ] && echo "All tests passed in both builds." || echo "Tests failed (see above)." >&2
exit $status
