#!/usr/bin/env bash
# The real game under Xvfb played by a script for DURATION seconds: flight
# keys held and released, the chase camera keys, mouse motion and drags,
# and "x" pressed again and again for police cars. The space bar is held
# for the first quarter of the run, while the police cars are sent; then it
# is released. Police hunt the fugitive only while the searchlight holds it,
# which this blind player rarely does, so mostly they drive about at random
# (they may box the fugitive in by chance). At the end the game must be
# alive and still counting frames (new "fps: " lines in the last 30 s), and
# its resident memory, sampled every 10 s after the first 30 s, must not
# have grown by more than 16 MB; Escape then ends it with status 0. A
# capture is reported when it comes but not required: the offscreen frame
# tests play the hunt with the fugitive held in the beam.
#
# The capture is seen from outside by the console: the searchlight's pass
# is drawn (and its object count printed) only while the fugitive moves, so
# after the capture the statistics carry "num reg objects drawn" without
# the "num projective objects drawn" line that otherwise follows it.
#   long_play_e2e.sh BINARY DATADIR DURATION [MEMORY_LIMIT_MB]
# MEMORY_LIMIT_MB "-" prints the samples without judging them: under the
# sanitizers resident memory swings by tens of MB between samples (their
# allocator maps and unmaps large blocks and holds freed ones back), and
# LeakSanitizer judges leaks there instead.
set -u
. "$(dirname "$0")/e2e_lib.sh"
binary=$1 data=$2 duration=$3 memory_limit_mb=${4:-16}

roaming_percent=25     # of the run, with the space bar held
police_per_step=3      # "x" presses in each step of the player
police_limit=40        # all sent before the first memory sample
memory_start=30        # seconds into the run of the first memory sample
memory_interval=10
fps_window=30          # the last seconds in which frames must still be counted

[ "$duration" -ge 60 ] || fail "DURATION must be at least 60 s"

start_xvfb 1280x1024
start_game "$binary" "$data"
wait_for_line "num reg objects drawn" 120
send_key Return        # dismisses the title

count() { grep -c "$1" "$game_err"; }
rss_kb() { awk '/^VmRSS:/ { print $2 }' "/proc/$game_pid/status" 2>/dev/null; }
now() { echo "${EPOCHREALTIME%.*}"; }
# Complete statistics blocks without the searchlight pass's line. Before the
# capture there is one at most: the frame that captures the mini-map draws
# no such pass. The last line may be a block still being printed.
blocks_without_searchlight() {
  awk '/^num reg objects drawn/ { if (open) n++; open = 1; next }
       /^num projective objects drawn/ { open = 0 }
       /^fps: / { if (open) { n++; open = 0 } }
       END { print n + 0 }' "$game_err"
}

# The scripted player: one step a second, cycling through the held keys
# with some held in pairs, the mouse wandering over the screen.
held_keys=(w q "w d" s e a "s a" z c d "w e" w)
camera_keys=(equal minus bracketleft bracketright equal)
started=$(now)
hunt_at=$((duration * roaming_percent / 100))
xdotool keydown space
space_held=1
police=0
next_sample=$memory_start
samples=()
captured_at=""
fps_at_window=""
step=0
while :; do
  t=$(($(now) - started))
  [ "$t" -lt "$duration" ] || break
  sanitizer_report "$game_err" && fail "sanitizer report after $t s of play"
  alive || fail "the game ended after $t s of play"

  if [ "$space_held" = 1 ] && [ "$t" -ge "$hunt_at" ]; then
    xdotool keyup space
    space_held=0
    echo "t=$t s: space released with $police police cars out"
  fi
  for _ in $(seq "$police_per_step"); do
    [ "$police" -lt "$police_limit" ] || break
    send_key x
    police=$((police + 1))
  done
  if [ "$t" -ge "$next_sample" ]; then
    samples+=("$(rss_kb)")
    echo "t=$t s: resident ${samples[-1]} kB, $(count '^fps: ') fps lines, $police police cars"
    next_sample=$((next_sample + memory_interval))
  fi
  if [ -z "$fps_at_window" ] && [ "$t" -ge $((duration - fps_window)) ]; then
    fps_at_window=$(count '^fps: ')
  fi
  if [ -z "$captured_at" ] && [ "$(blocks_without_searchlight)" -ge 2 ]; then
    captured_at=$t
    echo "t=$t s: capture seen (the searchlight pass has stopped)"
  fi

  keys=${held_keys[$((step % ${#held_keys[@]}))]}
  xdotool mousemove $((200 + (step * 137) % 880)) $((150 + (step * 89) % 700))
  # shellcheck disable=SC2086  # a step may hold two keys
  xdotool keydown $keys
  sleep 0.6
  # shellcheck disable=SC2086
  xdotool keyup $keys
  if [ $((step % 7)) -eq 3 ]; then
    send_key "${camera_keys[$((step / 7 % ${#camera_keys[@]}))]}"
  fi
  if [ $((step % 10)) -eq 5 ]; then   # a drag with the left button
    xdotool mousedown 1 mousemove_relative -- 40 -25 mouseup 1
  fi
  sleep 0.3
  step=$((step + 1))
done

sanitizer_report "$game_err" && fail "sanitizer report during the run"
alive || fail "the game ended at the end of the run"
fps_now=$(count '^fps: ')
echo "fps lines: $fps_now in all, $((fps_now - ${fps_at_window:-0})) in the last $fps_window s;" \
     "last: $(grep '^fps: ' "$game_err" | tail -1)"
echo "police cars sent: $police; steps: $step"
echo "resident memory (kB) every $memory_interval s from $memory_start s: ${samples[*]}"

[ -n "$fps_at_window" ] || fail "the run ended before the last $fps_window s were reached"
[ "$fps_now" -gt "$fps_at_window" ] || fail "no frames counted in the last $fps_window s"
[ "${#samples[@]}" -ge 2 ] || fail "fewer than two memory samples"
growth=$((samples[${#samples[@]} - 1] - samples[0]))
if [ "$memory_limit_mb" = - ]; then
  echo "memory growth from first to last sample: $growth kB (not judged in this build)"
else
  echo "memory growth from first to last sample: $growth kB (limit $memory_limit_mb MB)"
  [ "$growth" -le $((memory_limit_mb * 1024)) ] || fail "resident memory grew by $growth kB"
fi
[ -z "$captured_at" ] && [ "$(blocks_without_searchlight)" -ge 2 ] && captured_at=$duration
echo "capture: ${captured_at:+at $captured_at s}${captured_at:-not reached (police hunt only a lit fugitive)}"

send_key Escape
wait_exit 15 || fail "the game did not end within 15 s of Escape"
sanitizer_report "$game_err" && fail "sanitizer report at exit"
[ "$exit_status" -eq 0 ] || fail "exit status $exit_status after Escape, expected 0"
echo "PASS: $duration s of play, capture ${captured_at:-not reached}, memory +$growth kB, Escape quit with 0"
