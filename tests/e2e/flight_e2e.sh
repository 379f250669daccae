#!/usr/bin/env bash
# The real game under Xvfb: after the title, holding "w" for a second flies
# the helicopter and the chase camera follows, so the city on screen moves
# far more than it does in a second of hovering. "w" let go of while Shift
# is held (its release then comes as "W") stops the flight like a plain
# release. Escape then quits with 0.
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

# Hold w, press Shift, let go of w, then of Shift.
xdotool keydown w
sleep 0.5
xdotool keydown shift
sleep 0.2
xdotool keyup w
sleep 0.2
xdotool keyup shift
# The flight slows to a hover and the camera catches up within 200 frames
# (two of the game's "fps: " lines, every 100 frames), however slowly the
# machine draws them; a key left held would fly on at full speed.
lines=$(grep -c "fps: " "$game_err")
deadline=$((SECONDS + 60))
until [ "$(grep -c "fps: " "$game_err")" -ge $((lines + 2)) ]; do
  [ $SECONDS -lt $deadline ] || fail "the game drew fewer than 200 frames in a minute"
  sleep 0.2
done
screenshot "$work/after_shift1.png"
sleep 1
screenshot "$work/after_shift2.png"
after_shift=$(changed "$work/after_shift1.png" "$work/after_shift2.png")
[[ "$after_shift" =~ ^[0-9]+$ ]] || fail "could not compare screenshots"
[ "$after_shift" -le $((hovering * 2 + city_region_pixels / 50)) ] ||
  fail "the view kept moving ($after_shift changed pixels, hovering $hovering): \"w\" stayed held"
# Flown on past the city's edge the view would rest too, over black.
brightness() { convert "$1" -crop "$city_region" -colorspace Gray -format "%[fx:int(mean*1000)]" info:; }
city=$(brightness "$work/hover2.png") rest=$(brightness "$work/after_shift2.png")
[[ "$city" =~ ^[0-9]+$ && "$rest" =~ ^[0-9]+$ ]] || fail "could not measure the screenshots"
[ $((rest * 2)) -ge "$city" ] || fail "the helicopter flew out of the city (brightness $rest, hovering $city): \"w\" stayed held"
echo "changed pixels in a second after \"w\" was released under Shift: $after_shift"

send_key Escape
wait_exit 3 || fail "the game did not end within 3 s of Escape"
[ "$exit_status" -eq 0 ] || fail "exit status $exit_status, expected 0"
echo "PASS: flying forward moved the view and stopped after a release under Shift; Escape quit with 0"
