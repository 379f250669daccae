#!/usr/bin/env bash
# The real game's sound under Xvfb, through OpenAL Soft configured by a file
# the test writes (ALSOFT_CONF; the game reads no variable itself):
#  1. the wave-writer device: sound is written while the game plays, in
#     real time, and the console holds only the game's own lines;
#  2. no device (the ALSA driver on a machine without a card, where ALSA
#     and OpenAL Soft both have failures to report): the game plays, the
#     console holds only the game's own lines;
#  3. a device that goes away in play and comes back: the wave writer's
#     file is a link to /dev/full (every write fails, as when headphones
#     are pulled out), then the link disappears and a plain file comes in
#     its place (plugged back in). The game plays on silently meanwhile,
#     and within a few seconds its sound is written to the new file.
#   sound_e2e.sh BINARY DATADIR
set -u
. "$(dirname "$0")/../e2e/e2e_lib.sh"
binary=$1 data=$2

# console_is_the_games: every line of the game's stderr is one the game
# prints (file loading, the object counts, the frame rate).
console_is_the_games() {
  local other
  other=$(grep -avE '^(about to load "[^"]*"\.\.\.built mipmap|num reg objects drawn = [0-9]+|num projective objects drawn = [0-9]+|fps: [0-9.]+)$' "$game_err" | head -5)
  [ -z "$other" ] || fail "$1: lines the game does not print: $other"
  sanitizer_report "$game_err" && fail "$1: sanitizer report"
  return 0
}

# play LABEL: start, dismiss the title, fly, send a police car, quit.
play() {
  start_game "$binary" "$data"
  wait_for_line "fps: " 120
  send_key space
  sleep 1
  xdotool keydown w; sleep 1; xdotool keyup w
  send_key x
  sleep 2
  alive || fail "$1: the game ended during play"
  send_key Escape
  wait_exit 10 || fail "$1: the game did not quit on Escape"
  [ "$exit_status" -eq 0 ] || fail "$1: exit status $exit_status"
  console_is_the_games "$1"
}

start_xvfb 640x480
export ALSOFT_CONF="$work/alsoft.conf"

# 1. The wave writer.
wave_device() {
  printf 'drivers = wave\n[wave]\nfile = %s\n' "$work/out.wav" > "$ALSOFT_CONF"
  rm -f "$work/out.wav"
  start_game "$binary" "$data"
  wait_for_line "fps: " 120
  send_key space
  size1=$(stat -c %s "$work/out.wav" 2>/dev/null || echo 0)
  t1=$(date +%s.%N)
  sleep 3
  size2=$(stat -c %s "$work/out.wav" 2>/dev/null || echo 0)
  t2=$(date +%s.%N)
  send_key Escape
  wait_exit 10 || fail "wave device: the game did not quit on Escape"
  [ "$exit_status" -eq 0 ] || fail "wave device: exit status $exit_status"
  console_is_the_games "wave device"
  # Bytes per second from the header (offset 28), and how many the game wrote.
  rate=$(od -An -tu4 -j28 -N4 "$work/out.wav" | tr -d ' ')
  [ -n "$rate" ] && [ "$rate" -gt 0 ] || fail "wave device: no WAV header"
  awk -v a="$size1" -v b="$size2" -v t1="$t1" -v t2="$t2" -v r="$rate" 'BEGIN {
    s = (b - a) / r / (t2 - t1)
    printf "wave device: %.2f seconds of sound per second of play\n", s
    exit !(s > 0.7 && s < 1.3) }' || fail "wave device: not written in real time"
  # Sound, not silence: the tail holds bytes other than zero.
  nonzero=$(tail -c 200000 "$work/out.wav" | tr -d '\000' | wc -c)
  [ "$nonzero" -gt 50000 ] || fail "wave device: the file is silence"
}
wave_device

# 2. No device at all.
printf 'drivers = alsa\n' > "$ALSOFT_CONF"
play "no device"

# 3. The device goes away and comes back.
lost_and_back() {
  local plug="$work/plug.wav"
  rm -f "$plug"
  ln -s /dev/full "$plug"
  printf 'drivers = wave\n[wave]\nfile = %s\n' "$plug" > "$ALSOFT_CONF"
  start_game "$binary" "$data"
  wait_for_line "fps: " 120
  send_key space
  sleep 4  # lost, and at least one attempt to open it again fails the same way
  alive || fail "lost device: the game ended while the device was gone"
  rm -f "$plug"  # the next attempt creates a plain file here
  sleep 8
  alive || fail "lost device: the game ended after the device came back"
  send_key Escape
  wait_exit 10 || fail "lost device: the game did not quit on Escape"
  [ "$exit_status" -eq 0 ] || fail "lost device: exit status $exit_status"
  console_is_the_games "lost device"
  [ -f "$plug" ] && [ ! -L "$plug" ] || fail "lost device: never opened again"
  nonzero=$(tail -c 200000 "$plug" | tr -d '\000' | wc -c)
  echo "lost device: $(stat -c %s "$plug") bytes written after it came back"
  [ "$nonzero" -gt 50000 ] || fail "lost device: silence after it came back"
}
lost_and_back

echo "PASS: sound written in real time; silent and quiet with no device; a lost device comes back"
