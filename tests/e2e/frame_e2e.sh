#!/usr/bin/env bash
# The real game under Xvfb: the title card is what the offscreen renderer
# draws for it; after one key the city, the translucent mini-map in the lower
# left and the badge in the upper right appear, each as far from its edges
# (in shares of the screen's height) as on 1280 x 1024; the captured map
# fills the whole mini-map on this screen size. Escape quits with 0.
#   frame_e2e.sh BINARY HEADLESS DATADIR WxH
set -u
. "$(dirname "$0")/e2e_lib.sh"
binary=$1 headless=$2 data=$3 size=$4
width=${size%x*} height=${size#*x}

# Mean brightness (0-255) of a region given as fractions of the screen.
mean_in() {  # FILE X0 Y0 X1 Y1 (fractions, y from the top)
  local g
  g=$(awk -v w="$width" -v h="$height" -v a="$2" -v b="$3" -v c="$4" -v d="$5" \
      'BEGIN { printf "%dx%d+%d+%d", (c-a)*w, (d-b)*h, a*w, b*h }')
  convert "$1" -crop "$g" +repage -colorspace Gray -format '%[fx:int(255*mean)]' info:
}
# The overlays keep their place by the screen's height on every shape: a
# region near the left edge in shares of the height, as a crop geometry.
left_region() {  # X0 Y0 X1 Y1 (shares of the height from the left and top edges)
  awk -v h="$height" -v a="$1" -v b="$2" -v c="$3" -v d="$4" \
      'BEGIN { printf "%dx%d+%d+%d", (c-a)*h, (d-b)*h, a*h, b*h }'
}
mean_at() {  # FILE GEOMETRY
  convert "$1" -crop "$2" +repage -colorspace Gray -format '%[fx:int(255*mean)]' info:
}
rmse() { compare -metric RMSE "$1" "$2" null: 2>&1 | sed -E 's/.*\(([0-9.e-]+)\).*/\1/'; }

start_xvfb "$size"
start_game "$binary" "$data"
wait_for_line "num reg objects drawn" 60
sleep 1
screenshot "$work/title.png"

# The same title card drawn offscreen (no key pressed) must match.
empty="$work/empty.script"; : > "$empty"
"$headless" shot --seed 1 --size "$size" --script "$empty" --seconds 0.5 --data "$data" \
  --out "$work/title_ref.ppm" 2>/dev/null || fail "headless title shot failed"
title_rmse=$(rmse "$work/title.png" "$work/title_ref.ppm")
echo "title card RMSE against the offscreen render: $title_rmse"
awk -v r="$title_rmse" 'BEGIN { exit !(r < 0.05) }' || fail "the window does not show the title card (RMSE $title_rmse)"
[ "$(mean_in "$work/title.png" 0.2 0.2 0.8 0.8)" -gt 20 ] || fail "the title card is dark"
# The card keeps its shape: on a screen wider than the card the sides are dark.
if [ $((width * 100 / height)) -ge 150 ]; then
  side=$(mean_in "$work/title.png" 0 0.2 0.03 0.8)
  [ "$side" -lt 10 ] || fail "the title card is stretched to the screen's sides ($side)"
fi

send_key space
sleep 4
alive || fail "the game ended after the title"
screenshot "$work/play.png"
awk -v r="$(rmse "$work/title.png" "$work/play.png")" 'BEGIN { exit !(r > 0.05) }' \
  || fail "the title card is still shown after a key"

# The mini-map's four quadrants all show the captured city at night: a read
# rectangle off the city's centre would leave part of the map black (what
# shows through the translucent map there stays below 10), and every
# quadrant holds the same mix of dark streets and blocks.
lowest=255 highest=0
for q in "0.075 0.75 0.175 0.83" "0.2125 0.75 0.30 0.83" "0.075 0.85 0.175 0.92" "0.2125 0.85 0.30 0.92"; do
  m=$(mean_at "$work/play.png" "$(left_region $q)")
  echo "mini-map quadrant ($q): mean $m"
  [ "$m" -gt 15 ] || fail "the mini-map quadrant ($q) is dark ($m): the map does not hold the whole city"
  [ "$m" -lt "$lowest" ] && lowest=$m
  [ "$m" -gt "$highest" ] && highest=$m
done
[ $((lowest * 2)) -ge "$highest" ] || fail "the mini-map's quadrants differ ($lowest against $highest)"
# The badge spins in the upper right: that corner changes from one moment to
# the next. A spinning shape can look the same at two mirrored angles, so take
# a few pictures and ask for a change between any two of them.
corner="$((height * 175 / 1000))x$((height * 14 / 100))+$((width - height * 25 / 100))+$((height * 6 / 100))"
previous="$work/play.png" most=0
for i in 1 2 3 4; do
  sleep 0.3
  screenshot "$work/badge$i.png"
  n=$(compare -metric AE -fuzz 10% "$previous" "$work/badge$i.png" -crop "$corner" null: 2>&1 | cut -d' ' -f1)
  n=$(awk -v n="$n" 'BEGIN { printf "%d", n }')
  [ "$n" -gt "$most" ] && most=$n
  previous="$work/badge$i.png"
done
echo "badge corner: most changed pixels between two pictures: $most"
[ "$most" -gt 300 ] || fail "no spinning badge in the upper right"

send_key Escape
wait_exit 3 || fail "the game did not end within 3 s of Escape"
[ "$exit_status" -eq 0 ] || fail "exit status $exit_status, expected 0"
echo "PASS: title card, city, mini-map and badge on $size"
