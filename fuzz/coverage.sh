#!/usr/bin/env bash
# fuzz/coverage.sh -- how much of the data-file readers the committed fuzz
# inputs and the reader tests reach.
#
#   fuzz/coverage.sh BUILD
#
# Builds fuzz/ with clang's source-based coverage under BUILD/fuzz/coverage
# (replay drivers of the four fuzz targets, and the reader unit tests that
# need no GL context: file bytes, SGI, PPM, 3DS, records), runs the drivers on
# fuzz/corpus, fuzz/regression and the data files in BUILD/data, runs the
# tests, and prints llvm-cov's line and branch report for the readers. An
# annotated copy of the sources lands in BUILD/fuzz/coverage/html.
set -euo pipefail

if [ $# -ne 1 ]; then
  sed -n "2,13p" "$0" >&2
  exit 2
fi
here=$(cd "$(dirname "$0")" && pwd)
source=$(cd "$here/.." && pwd)
build=$(cd "$1" && pwd)
work=$build/fuzz/coverage

tool() {
  local name
  for name in "$1" "$1-14"; do
    if command -v "$name" > /dev/null; then
      echo "$name"
      return
    fi
  done
  echo "coverage.sh: $1 not found (Debian package llvm, installed by scripts/install-deps.sh test)" >&2
  exit 1
}
profdata=$(tool llvm-profdata)
cov=$(tool llvm-cov)

mkdir -p "$work"
cmake -S "$here" -B "$work/build" -DCMAKE_CXX_COMPILER="${FUZZ_CXX:-clang++}" -DSEARCHLIGHT_FUZZ_COVERAGE=ON \
  > "$work/configure.log" 2>&1 || { cat "$work/configure.log" >&2; exit 1; }
cmake --build "$work/build" -j2 -- --no-print-directory > "$work/build.log" 2>&1 ||
  { cat "$work/build.log" >&2; exit 1; }

rm -rf "$work/profiles"
mkdir -p "$work/profiles"
export LLVM_PROFILE_FILE=$work/profiles/%p-%m.profraw

data_files() {
  case "$1" in
    sgi) ls "$build"/data/*.rgb "$build"/data/*.rgba "$build"/data/*.bw "$build"/data/*.sgi 2>/dev/null || true ;;
    ppm) ls "$build"/data/*.ppm 2>/dev/null || true ;;
    3ds) ls "$build"/data/*.3ds 2>/dev/null || true ;;
  esac
}

for format in sgi ppm 3ds records; do
  mapfile -t data < <(data_files "$format")
  "$work/build/replay_$format" "$here/corpus/$format" "$here/regression/$format" "${data[@]}" \
    2> "$work/replay-$format.log" | sed 's|^.*/||'
done
# The tests print the readers' messages; only the summary is of interest here.
"$work/build/reader_tests" > "$work/reader_tests.log" 2>&1 || {
  tail -30 "$work/reader_tests.log" >&2
  echo "coverage.sh: the reader tests failed (log: $work/reader_tests.log)" >&2
  exit 1
}
grep -E '^\[  PASSED  \]' "$work/reader_tests.log" | sed 's/^/reader_tests: /'

"$profdata" merge -sparse -o "$work/merged.profdata" "$work"/profiles/*.profraw
binaries=("$work/build/reader_tests")
for format in sgi ppm 3ds records; do binaries+=(-object "$work/build/replay_$format"); done
readers=()
for name in sgi_image ppm_image model_file_reader file_bytes; do readers+=("$source/src/assets/$name.cpp"); done
readers+=("$source/src/app/records.cpp" "$source/src/app/record_file.cpp")
# Each driver defines the fuzz entry point of its own format; llvm-cov warns
# that those functions of one name differ, which does not touch the readers.
rm -rf "$work/html"
"$cov" show -instr-profile="$work/merged.profdata" "${binaries[@]}" -format=html -output-dir="$work/html" \
  -show-branches=count "${readers[@]}" 2> "$work/show.log" || { cat "$work/show.log" >&2; exit 1; }
"$cov" report -instr-profile="$work/merged.profdata" "${binaries[@]}" -show-region-summary=false \
  -show-instantiation-summary=false "${readers[@]}" 2> "$work/report.log" || { cat "$work/report.log" >&2; exit 1; }
