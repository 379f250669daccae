#!/usr/bin/env bash
# The real game under Xvfb: it starts, prints its statistics, the first key
# (even Escape) only dismisses the title, and a second Escape quits with 0.
#   game_e2e.sh BINARY DATADIR WxH
set -u
. "$(dirname "$0")/e2e_lib.sh"
binary=$1 data=$2 size=$3

start_xvfb "$size"
start_game "$binary" "$data"
sleep 1
alive || fail "the game died during start-up"

wait_for_line "num reg objects drawn = 0" 30
grep -q "num projective objects drawn = 0" "$game_err" || fail "no projective count on the first frame"
wait_for_line "fps: " 120

send_key Escape
sleep 1
alive || fail "the first Escape ended the game instead of dismissing the title"

start=$SECONDS
send_key Escape
wait_exit 2 || fail "the game did not end within 2 s of the second Escape"
[ "$exit_status" -eq 0 ] || fail "exit status $exit_status, expected 0"
echo "PASS: started, printed statistics, title dismissed, quit with 0 in $((SECONDS - start)) s"
