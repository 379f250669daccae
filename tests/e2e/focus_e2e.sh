#!/usr/bin/env bash
# The real game under Xvfb with a second window (xmessage) that takes the
# keyboard focus while a key is held: the key's release goes to that window,
# never to the game. The game must not keep the key held:
#  - "q" (turn) held, released in the other window: back in the game the
#    view stands as still as when hovering, instead of turning on;
#  - "[" (camera to the helicopter) held, released in the other window: back
#    in the game "]" and then "[" both act again ("[" is not taken for a
#    repeat of a key still down).
# Losing the focus also pauses the game: back in it, the picture stands
# still until "p" resumes. Escape then quits with 0.
#   focus_e2e.sh BINARY DATADIR WxH
set -u
. "$(dirname "$0")/e2e_lib.sh"
binary=$1 data=$2 size=$3

other_pid=""
trap '[ -n "$other_pid" ] && kill "$other_pid" 2>/dev/null; cleanup' EXIT

start_xvfb "$size"
start_game "$binary" "$data"
wait_for_line "num reg objects drawn" 60

# The other window, small, in the lower right corner, outside the city region (e2e_lib.sh).
xmessage -geometry 140x50+1130+960 -timeout 300 "other window" 2>/dev/null &
other_pid=$!
other=$(timeout 20 xdotool search --sync --onlyvisible --classname xmessage 2>/dev/null | head -1) \
  || fail "the other window did not appear"
[ -n "$other" ] || fail "no id for the other window"
focus() { xdotool windowfocus --sync "$1" 2>/dev/null || fail "could not give the focus to window $1"; }

focus "$window"
send_key Return           # dismisses the title
sleep 6                   # the camera eases back from the overhead capture view
alive || fail "the game ended after the title"

screenshot "$work/hover1.png"
sleep 1
screenshot "$work/hover2.png"
hovering=$(changed "$work/hover1.png" "$work/hover2.png")

# Turn with "q", and let go of it in the other window.
xdotool keydown q
sleep 0.5
focus "$other"
xdotool keyup q
sleep 0.3
focus "$window"
sleep 1
screenshot "$work/paused1.png"
sleep 1
screenshot "$work/paused2.png"
paused=$(changed "$work/paused1.png" "$work/paused2.png")
echo "changed pixels in a second, paused by the lost focus: $paused"
[[ "$paused" =~ ^[0-9]+$ ]] || fail "could not compare screenshots"
[ "$paused" -le $((hovering / 4)) ] || fail "the game went on after losing the focus ($paused changed pixels)"
send_key p                # resumes
sleep 3                   # the camera catches up with the last of the turn
screenshot "$work/after_q1.png"
sleep 1
screenshot "$work/after_q2.png"
after_q=$(changed "$work/after_q1.png" "$work/after_q2.png")
echo "changed pixels in a second: hovering $hovering, after \"q\" was released elsewhere $after_q of $city_region_pixels"
[[ "$hovering" =~ ^[0-9]+$ && "$after_q" =~ ^[0-9]+$ ]] || fail "could not compare screenshots"
[ "$after_q" -le $((hovering * 2 + city_region_pixels / 50)) ] ||
  fail "the view kept turning ($after_q changed pixels, hovering $hovering): \"q\" stayed held"

# The camera to the helicopter with "[", let go of in the other window.
xdotool keydown bracketleft
sleep 0.5
focus "$other"
xdotool keyup bracketleft
sleep 0.3
focus "$window"
send_key p                # resumes after the lost focus
send_key bracketright     # the chase view again
sleep 3
screenshot "$work/chase1.png"
sleep 1
screenshot "$work/chase2.png"
send_key bracketleft      # must act: the camera moves down to the helicopter
sleep 2
screenshot "$work/cockpit.png"
still=$(changed "$work/chase1.png" "$work/chase2.png")
moved=$(changed "$work/chase2.png" "$work/cockpit.png")
echo "changed pixels: chase view $still in a second, after \"[\" $moved"
expect_moved "$still" "$moved" "\"[\" (a swallowed press?)" "the chase view on its own"

focus "$window"
send_key Escape
wait_exit 5 || fail "the game did not end within 5 s of Escape"
[ "$exit_status" -eq 0 ] || fail "exit status $exit_status, expected 0"
echo "PASS: no key stayed held after its release went to another window; the lost focus paused until p; Escape quit with 0"
