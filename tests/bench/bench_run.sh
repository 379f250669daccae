#!/bin/bash
# bench_run.sh HEADLESS DATADIR: the bench command prints every figure of its
# interface once, in order, with values that make sense, and refuses bad
# arguments. No timing is judged: only that each time is a positive number
# and each ratio agrees with the times it is made of.
set -u
headless=$1
data=$2
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

out=$(mktemp)
err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT

# A short run at a small size keeps the test quick.
if ! "$headless" bench --seed 11 --frames 12 --size 96x80 --data "$data" >"$out" 2>"$err"; then
  cat "$err" >&2
  echo "FAIL: bench exited with an error" >&2
  exit 1
fi

expected="renderer size frames frame_ms_median frame_ms_p95 replay_ms_median ratio_frame_to_replay
design_order_ms_median ratio_design_order_to_frame glow_off_ms_median ratio_frame_to_glow_off
floor_ms_median cpu_ms_median cpu_replay_ms_median ratio_cpu_to_replay tick_us_median tick_us_100police audio_us_median
regular_objects_median projective_objects_median startup_ms first_play_frames_max_ratio"
names=$(awk '{print $1}' "$out" | tr '\n' ' ' | sed 's/ $//')
[ "$names" = "$(echo $expected)" ] || fail "names or order differ: got \"$names\""

value() { awk -v n="$1" '$1 == n { sub(/^[^ ]+ /, ""); print; exit }' "$out"; }
positive() {  # NAME: a finite number above zero
  awk -v v="$(value "$1")" 'BEGIN { exit !(v ~ /^[0-9]+(\.[0-9]+)?$/ && v + 0 > 0) }' || fail "$1 is not a positive number: \"$(value "$1")\""
}

[ -n "$(value renderer)" ] || fail "renderer is empty"
[ "$(value size)" = "96x80" ] || fail "size is \"$(value size)\""
[ "$(value frames)" = "12" ] || fail "frames is \"$(value frames)\""
for n in frame_ms_median frame_ms_p95 replay_ms_median ratio_frame_to_replay design_order_ms_median \
         ratio_design_order_to_frame glow_off_ms_median ratio_frame_to_glow_off floor_ms_median cpu_ms_median cpu_replay_ms_median ratio_cpu_to_replay \
         tick_us_median tick_us_100police audio_us_median regular_objects_median startup_ms first_play_frames_max_ratio; do
  positive "$n"
done

# The ratios are the quotients of the printed medians (to their printed precision).
agree() {  # RATIO NUMERATOR DENOMINATOR
  awk -v r="$(value "$1")" -v a="$(value "$2")" -v b="$(value "$3")" \
    'BEGIN { q = a / b; d = q - r; if (d < 0) d = -d; exit !(d <= 0.002 + q * 0.001) }' ||
    fail "$1 $(value "$1") is not $2 / $3 ($(value "$2") / $(value "$3"))"
}
agree ratio_frame_to_replay frame_ms_median replay_ms_median
agree ratio_cpu_to_replay cpu_ms_median cpu_replay_ms_median
agree ratio_design_order_to_frame design_order_ms_median frame_ms_median
agree ratio_frame_to_glow_off frame_ms_median glow_off_ms_median
awk -v m="$(value frame_ms_median)" -v p="$(value frame_ms_p95)" 'BEGIN { exit !(p + 0 >= m + 0) }' ||
  fail "frame_ms_p95 is below the median"

# The searchlight pass runs during the chase and sees less of the city than the camera.
awk -v r="$(value regular_objects_median)" -v p="$(value projective_objects_median)" \
  'BEGIN { exit !(p ~ /^[0-9]+(\.[0-9]+)?$/ && p + 0 > 0 && p + 0 < r + 0) }' ||
  fail "projective_objects_median $(value projective_objects_median) not between 0 and the regular $(value regular_objects_median)"

# A phase started by hand runs alone, and the course plays the same scene for
# the same seed (what lets the bench compare separate runs) and another for
# another seed.
scene() {
  "$headless" bench --phase cpu --seed "$1" --frames 5 --size 64x64 --data "$data" 2>/dev/null |
    awk '$1 == "fingerprint" { print $2 }'
}
first=$(scene 11)
again=$(scene 11)
other=$(scene 12)
[ -n "$first" ] || fail "a phase run by hand printed no fingerprint"
[ "$first" = "$again" ] || fail "seed 11 played two different scenes ($first, $again)"
[ "$first" != "$other" ] || fail "seeds 11 and 12 played the same scene"

# Bad arguments are refused with status 2 and a message; a missing data directory with status 1.
expect_status() {  # STATUS ARGS...
  local want=$1
  shift
  "$headless" bench "$@" >/dev/null 2>"$err"
  local got=$?
  [ "$got" = "$want" ] || fail "bench $* exited $got, expected $want"
  [ -s "$err" ] || fail "bench $* gave no message"
}
expect_status 2 --frames 10
expect_status 2 --seed 1 --frames 0
expect_status 2 --seed 1 --frames 12x
expect_status 2 --seed 1 --size 4x4
expect_status 2 --seed -3
expect_status 2 --seed 1 --phase nonsense
expect_status 2 --seed 1 --loud
expect_status 1 --seed 1 --frames 2 --size 96x80 --data /nonexistent/searchlight-data

if [ "$failures" -ne 0 ]; then
  echo "--- bench output" >&2
  cat "$out" >&2
  exit 1
fi
echo "bench prints all $(wc -l <"$out") figures"
