#!/usr/bin/env bash
# fuzz/run.sh -- builds the decoder fuzz targets with clang and runs them.
#
#   fuzz/run.sh BUILD SECONDS [FORMAT...]   fuzz each target for SECONDS
#   fuzz/run.sh BUILD --runs N [FORMAT...]  fuzz each target for N executions
#   fuzz/run.sh BUILD replay [FORMAT...]    run each target once on every committed
#                                           input (fuzz/corpus, fuzz/regression) and
#                                           on the data files of BUILD/data
#   fuzz/run.sh BUILD build                 only build the targets
#   fuzz/run.sh BUILD corpus                rewrite fuzz/corpus and the first inputs
#                                           of fuzz/regression with the generator
#   fuzz/run.sh BUILD corpus-check          fail if the committed files differ from
#                                           what the generator writes now
#
# FORMAT is sgi, ppm, 3ds or records (all four by default; records files are
# not in BUILD/data, their seeds are the committed corpus alone). Everything lives under
# BUILD/fuzz: the clang build, seeds made afresh from BUILD/data (each file
# and truncations of it), the corpus that grows from run to run, logs, and
# failing inputs in findings/. Fuzzing uses fuzz/dict/FORMAT.dict and starts
# from the grown corpus, the seeds, fuzz/corpus/FORMAT and
# fuzz/regression/FORMAT; every input that ever failed belongs in the last.
# Exits non-zero when a target faults. With SEARCHLIGHT_FUZZ_PREBUILT=1 the
# build step is skipped (ctest builds once, then runs the targets side by
# side); with SEARCHLIGHT_FUZZ_DRIVERS=DIR, replay runs DIR/fuzz_replay_FORMAT
# (the sanitized gcc build's drivers) instead of the libFuzzer binaries.
set -euo pipefail

usage() { sed -n "2,28p" "$0" >&2; exit 2; }
[ $# -lt 2 ] && usage
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$1" && pwd)
work=$build/fuzz
mode=$2
shift 2
budget=()
case "$mode" in
  build | replay | corpus | corpus-check) ;;
  --runs)
    [ $# -ge 1 ] || usage
    budget=(-runs="$1")
    shift
    ;;
  *[!0-9]* | "") echo "run.sh: SECONDS must be a number, not '$mode'" >&2; exit 2 ;;
  *) budget=(-max_total_time="$mode") ;;
esac
formats=("$@")
[ ${#formats[@]} -eq 0 ] && formats=(sgi ppm 3ds records)
for format in "${formats[@]}"; do
  case "$format" in
    sgi | ppm | 3ds | records) ;;
    *) echo "run.sh: unknown format '$format' (sgi, ppm, 3ds or records)" >&2; exit 2 ;;
  esac
done
mkdir -p "$work"

# Configure and build (incremental after the first time), unless the caller
# has built them already and runs several of these at once, or replays
# with drivers of its own.
cxx=${FUZZ_CXX:-clang++}
if [ "${SEARCHLIGHT_FUZZ_PREBUILT:-0}" = 1 ] && [ "$mode" != build ]; then
  :
elif [ "$mode" = replay ] && [ -n "${SEARCHLIGHT_FUZZ_DRIVERS:-}" ]; then
  :
elif ! cmake -S "$here" -B "$work/build" -DCMAKE_CXX_COMPILER="$cxx" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
     > "$work/configure.log" 2>&1; then
  cat "$work/configure.log" >&2
  exit 1
else
  cmake --build "$work/build" -j2 -- --no-print-directory > "$work/build.log" 2>&1 ||
    { cat "$work/build.log" >&2; exit 1; }
fi
[ "$mode" = build ] && exit 0

# The committed corpus: made by the generator, checked against it.
if [ "$mode" = corpus ]; then
  "$work/build/fuzz_corpus" "$here"
  exit 0
fi
if [ "$mode" = corpus-check ]; then
  fresh=$work/corpus-check
  rm -rf "$fresh"
  "$work/build/fuzz_corpus" "$fresh" > /dev/null
  stale=0
  while IFS= read -r file; do
    name=${file#"$fresh"/}
    if ! cmp -s "$file" "$here/$name"; then
      echo "run.sh: fuzz/$name differs from what the generator writes" >&2
      stale=1
    fi
  done < <(find "$fresh" -type f | sort)
  if [ "$stale" = 1 ]; then
    echo "run.sh: regenerate with 'fuzz/run.sh BUILD corpus' and commit the result" >&2
    exit 1
  fi
  echo "committed corpus matches the generator ($(find "$fresh" -type f | wc -l) files)"
  exit 0
fi

# Inputs longer than this are cut to it while fuzzing: the generated
# textures run to hundreds of kilobytes, and short inputs keep the
# executions fast.
max_len() {
  case "$1" in
    sgi) echo 8192 ;;
    ppm) echo 4096 ;;
    3ds) echo 65536 ;;
    records) echo 4096 ;;
  esac
}

patterns() {
  case "$1" in
    sgi) echo "*.rgb *.rgba *.bw *.sgi" ;;
    ppm) echo "*.ppm" ;;
    3ds) echo "*.3ds" ;;
    records) echo "" ;;  # no data file of the game
  esac
}

# Seeds into DIR: each generated data file of the format and truncations of
# it (inside the header, just past it, and at a few fractions of its length).
make_seeds() {
  local format=$1 seeds=$2
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
  if [ "$found" = 0 ] && [ -n "$(patterns "$format")" ]; then
    echo "run.sh: no $format files in $build/data to seed from" >&2
    return 1
  fi
}

# Bounds that make a slow, bloated or greedy input a finding.
limits=(-timeout=5 -rss_limit_mb=2560 -malloc_limit_mb=128)

# A small quarantine lets freed blocks be reused soon: the decoders allocate
# per input, and fresh pages cost more than the decoding. Use-after-free is
# still caught within the quarantine.
export ASAN_OPTIONS=${ASAN_OPTIONS:-quarantine_size_mb=8:malloc_context_size=5}

failed=0
mkdir -p "$work/findings" "$work/logs"
for format in "${formats[@]}"; do
  regression=$here/regression/$format
  if [ "$mode" = replay ]; then
    make_seeds "$format" "$work/replay-seeds/$format"
    inputs=()
    for dir in "$here/corpus/$format" "$regression" "$work/replay-seeds/$format"; do
      [ -d "$dir" ] || continue
      while IFS= read -r file; do inputs+=("$file"); done < <(find "$dir" -type f | sort)
    done
    log=$work/logs/replay-$format.log
    status=0
    if [ -n "${SEARCHLIGHT_FUZZ_DRIVERS:-}" ]; then
      "$SEARCHLIGHT_FUZZ_DRIVERS/fuzz_replay_$format" "${inputs[@]}" > "$log" 2>&1 || status=$?
    else
      # Given files rather than directories, libFuzzer runs each once and
      # does not fuzz.
      "$work/build/fuzz_$format" "${limits[@]}" -artifact_prefix="$work/findings/$format-" \
        "${inputs[@]}" > "$log" 2>&1 || status=$?
    fi
    if [ "$status" -ne 0 ]; then
      failed=1
      echo "replay $format: FAULT (exit $status) on $(grep '^Running: ' "$log" | tail -1 | cut -c10-)"
      grep -E "ERROR|SUMMARY|runtime error|deadly signal|out-of-memory|timeout" "$log" | head -20 || true
      echo "  full log: $log"
    else
      echo "replay $format: ${#inputs[@]} inputs, no fault"
    fi
    continue
  fi

  target=$work/build/fuzz_$format
  make_seeds "$format" "$work/seeds/$format"
  mkdir -p "$work/corpus/$format"
  log=$work/logs/$format.log
  status=0
  nice -n 10 "$target" "${budget[@]}" -max_len="$(max_len "$format")" "${limits[@]}" \
    -dict="$here/dict/$format.dict" -print_final_stats=1 -artifact_prefix="$work/findings/$format-" \
    "$work/corpus/$format" "$work/seeds/$format" "$here/corpus/$format" "$regression" > "$log" 2>&1 ||
    status=$?
  final_stat() { sed -n "s/^stat::$1: *//p" "$log" | tail -1; }
  runs=$(final_stat number_of_executed_units)
  if [ "$status" -ne 0 ]; then
    failed=1
    echo "fuzz_$format: FAULT after ${runs:-?} executions (exit $status); input and log:"
    ls "$work/findings/$format-"* 2>/dev/null || true
    grep -E "ERROR|SUMMARY|runtime error|deadly signal|out-of-memory|timeout" "$log" | head -20 || true
    echo "  full log: $log"
    echo "  Once it is fixed, copy the input into fuzz/regression/$format/ (the test suite replays it)."
  else
    echo "fuzz_$format: ${runs:-?} executions at $(final_stat average_exec_per_sec) per second, no fault" \
      "(slowest input $(final_stat slowest_unit_time_sec) s, peak $(final_stat peak_rss_mb) MB," \
      "corpus $(ls "$work/corpus/$format" | wc -l) files)"
  fi
done
exit $failed
