#!/usr/bin/env bash
# The real game under Xvfb: it starts, prints its statistics, arrows and
# function keys change nothing (the title stays, and in play they fly
# nothing), the first key (even Escape) only dismisses the title, and a
# second Escape quits with 0.
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

special_keys=(Left Right Up Down F1 F5 F12 Home End Prior Next Insert)

# Arrows and function keys reach the game through GLUT's special-key
# callback: the title card stays exactly as it was, and the next Escape
# still only dismisses it.
screenshot "$work/title1.png"
for key in "${special_keys[@]}"; do send_key "$key"; done
sleep 1
alive || fail "a special key ended the game"
screenshot "$work/title2.png"
title_changed=$(compare -metric AE "$work/title1.png" "$work/title2.png" null: 2>&1 | cut -d' ' -f1)
[ "$title_changed" = 0 ] || fail "special keys changed $title_changed pixels of the title card"

send_key Escape
sleep 1
alive || fail "the first Escape (after the special keys) ended the game instead of dismissing the title"

# In play, held arrows fly nothing: the city moves no more than it does
# while hovering (flying for a second changes over a tenth of the region).
sleep 6  # the camera eases back from the overhead capture view
screenshot "$work/hover1.png"
sleep 1
screenshot "$work/hover2.png"
xdotool keydown Up Left
sleep 1
xdotool keyup Up Left
for key in "${special_keys[@]}"; do send_key "$key"; done
sleep 0.5
screenshot "$work/arrows.png"
hovering=$(changed "$work/hover1.png" "$work/hover2.png")
arrows=$(changed "$work/hover2.png" "$work/arrows.png")
echo "changed pixels: hovering $hovering, with arrows held $arrows of $city_region_pixels"
[[ "$hovering" =~ ^[0-9]+$ && "$arrows" =~ ^[0-9]+$ ]] || fail "could not compare screenshots"
[ "$arrows" -lt $((city_region_pixels / 20)) ] || fail "held arrows changed $arrows pixels of the city"
alive || fail "the game ended after the special keys"

start=$SECONDS
send_key Escape
wait_exit 2 || fail "the game did not end within 2 s of the second Escape"
[ "$exit_status" -eq 0 ] || fail "exit status $exit_status, expected 0"
echo "PASS: started, printed statistics, title dismissed, quit with 0 in $((SECONDS - start)) s"
