#!/usr/bin/env bash
# The real game under Xvfb: after the title, holding "w" for a second flies
# the helicopter and the chase camera follows, so the city on screen moves
# far more than it does in a second of hovering; Escape then quits with 0.
#   flight_e2e.sh BINARY DATADIR WxH
set -u
. "$(dirname "$0")/e2e_lib.sh"
binary=$1 data=$2 size=$3


start_xvfb "$size"
start_game "$binary" "$data"
wait_for_line "num reg objects drawn" 60

send_key space            # dismisses the title
sleep 6                   # the camera eases back from the overhead capture view
alive || fail "the game ended after the title"

screenshot "$work/hover1.png"
sleep 1
screenshot "$work/hover2.png"

xdotool keydown w
sleep 1
xdotool keyup w
sleep 0.5
screenshot "$work/flown.png"

hovering=$(changed "$work/hover1.png" "$work/hover2.png")
flying=$(changed "$work/hover2.png" "$work/flown.png")
echo "changed pixels: hovering $hovering, flying $flying of $city_region_pixels"
# The view must move well beyond what the hover wobble and the traffic
# change on their own.
expect_moved "$hovering" "$flying" "holding w" hovering

send_key Escape
wait_exit 3 || fail "the game did not end within 3 s of Escape"
[ "$exit_status" -eq 0 ] || fail "exit status $exit_status, expected 0"
echo "PASS: flying forward moved the view; Escape quit with 0"
