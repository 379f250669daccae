#!/usr/bin/env bash
# fuzz/run.sh -- builds the decoder fuzz targets with clang and runs them.
#
#   fuzz/run.sh BUILD_DIR SECONDS [FORMAT...]   run each target for SECONDS
#   fuzz/run.sh BUILD_DIR --runs N [FORMAT...]  run each target for N executions
#   fuzz/run.sh BUILD_DIR build                 only build the targets
#
# FORMAT is sgi, ppm or 3ds (all three by default). Everything lives under
# BUILD_DIR/fuzz: the clang build, the seed corpus made afresh from the data
# files in BUILD_DIR/data (each file and truncations of it), the corpus that
# grows from run to run, logs, and crash inputs in findings/. Exits non-zero
# when a target finds a fault. With SEARCHLIGHT_FUZZ_PREBUILT=1 the build
# step is skipped (ctest builds once, then runs the targets side by side).
set -euo pipefail

if [ $# -lt 2 ]; then
  sed -n "2,16p" "$0" >&2
  exit 2
fi
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$1" && pwd)
work=$build/fuzz
mode=$2
shift 2
budget=()
case "$mode" in
  build) ;;
  --runs) budget=(-runs="$1"); shift ;;
  *[!0-9]* | "") echo "run.sh: SECONDS must be a number, not '$mode'" >&2; exit 2 ;;
  *) budget=(-max_total_time="$mode") ;;
esac
formats=("$@")
[ ${#formats[@]} -eq 0 ] && formats=(sgi ppm 3ds)

# Configure and build (incremental after the first time), unless the caller
# has built them already and runs several of these at once.
cxx=${FUZZ_CXX:-clang++}
if [ "${SEARCHLIGHT_FUZZ_PREBUILT:-0}" = 1 ] && [ "$mode" != build ]; then
  :
elif ! cmake -S "$here" -B "$work/build" -DCMAKE_CXX_COMPILER="$cxx" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
     > "$work.configure.log" 2>&1; then
  cat "$work.configure.log" >&2
  exit 1
else
  rm -f "$work.configure.log"
  cmake --build "$work/build" -j2 -- --no-print-directory > /dev/null
fi
[ "$mode" = build ] && exit 0

# Inputs longer than this are cut to it: the generated textures run to
# hundreds of kilobytes, and short inputs keep the executions fast.
max_len() {
  case "$1" in
    sgi) echo 8192 ;;
    ppm) echo 4096 ;;
    3ds) echo 65536 ;;
  esac
}

patterns() {
  case "$1" in
    sgi) echo "*.rgb *.rgba *.bw *.sgi" ;;
    ppm) echo "*.ppm" ;;
    3ds) echo "*.3ds" ;;
  esac
}

# Seeds: each generated file of the format and truncations of it (inside the
# header, just past it, and at a few fractions of its length).
make_seeds() {
  local format=$1 seeds=$work/seeds/$1
  rm -rf "$seeds"
  mkdir -p "$seeds"
  local found=0
  for pattern in $(patterns "$format"); do
    for file in "$build"/data/$pattern; do
      [ -f "$file" ] || continue
      found=1
      local name size
      name=$(basename "$file")
      size=$(stat -c %s "$file")
      cp "$file" "$seeds/$name"
      for cut in 6 11 100 511 512 520 600 $((size / 4)) $((size / 2)) $((size - 1)); do
        if [ "$cut" -gt 0 ] && [ "$cut" -lt "$size" ]; then
          head -c "$cut" "$file" > "$seeds/$name.cut$cut"
        fi
      done
    done
  done
  if [ "$found" = 0 ]; then
    echo "run.sh: no $format files in $build/data to seed from" >&2
    return 1
  fi
}

# A small quarantine lets freed blocks be reused soon: the decoders allocate
# per input, and fresh pages cost more than the decoding. Use-after-free is
# still caught within the quarantine.
export ASAN_OPTIONS=${ASAN_OPTIONS:-quarantine_size_mb=8:malloc_context_size=5}

failed=0
mkdir -p "$work/findings" "$work/logs"
for format in "${formats[@]}"; do
  target=$work/build/fuzz_$format
  if [ ! -x "$target" ]; then
    echo "run.sh: unknown format '$format' (sgi, ppm or 3ds)" >&2
    exit 2
  fi
  make_seeds "$format"
  mkdir -p "$work/corpus/$format"
  log=$work/logs/$format.log
  status=0
  nice -n 10 "$target" "${budget[@]}" -max_len="$(max_len "$format")" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$work/findings/$format-" \
    "$work/corpus/$format" "$work/seeds/$format" > "$log" 2>&1 || status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  seconds=$(sed -n 's/^stat::slowest_unit_time_sec: *//p' "$log" | tail -1)
  if [ "$status" -ne 0 ]; then
    failed=1
    echo "fuzz_$format: FAULT after ${runs:-?} executions (exit $status); input and log:"
    ls "$work/findings/$format-"* 2>/dev/null || true
    grep -E "ERROR|SUMMARY|runtime error|deadly signal" "$log" | head -20 || true
    echo "  full log: $log"
  else
    echo "fuzz_$format: ${runs:-?} executions, no fault (slowest input ${seconds:-?} s, corpus $(ls "$work/corpus/$format" | wc -l) files)"
  fi
done
exit $failed
