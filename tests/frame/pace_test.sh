#!/usr/bin/env bash
# pace_test.sh HEADLESS DATADIR -- the game keeps its pace at 30, 50 and 70
# frames a second (70 being the tick its rules were written for).
#
# Two plays at each rate, their game events read from `shot --events`:
#  - the fugitive held in the beam: the first police car the badge sends
#    comes at the same game time;
#  - "w" held for 2 s: the helicopter has flown as far.
# Each within 3 % of the play at 70.
set -euo pipefail
headless=$1
data=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

printf '0 press space\n0.1 mouse 640 512\n0.1 aim\n' >"$work/aim.txt"
printf '0 press space\n1 down w\n3 up w\n' >"$work/fly.txt"

# play NAME FPS SECONDS: the events of one play, in $work/NAME-FPS.txt.
play() {
  "$headless" shot --seed 7 --size 160x128 --fps "$2" --seconds "$3" --script "$work/$1.txt" \
    --data "$data" --out "$work/$1-$2.ppm" --events "$work/$1-$2.txt" 2>/dev/null ||
    fail "shot at $2 fps exited with $?"
  head -n 1 "$work/$1-$2.txt" | grep -qx 'time event x y z' || fail "no column line in the events at $2 fps"
}

# The game time of the first police car sent by the badge.
first_dispatch() { awk '$2 == "police-badge" { print $1; exit }' "$1"; }
# How far the helicopter is from where it started, at the sample nearest 3 s.
flown() {
  awk '$2 == "helicopter" { if (!started) { x0 = $3; z0 = $5; started = 1 }
                            if ($1 > 2.5 && $1 < 3.5) { print sqrt(($3 - x0)^2 + ($5 - z0)^2); exit } }' "$1"
}
# within A B: A lies within 3 % of B.
within() { awk -v a="$1" -v b="$2" 'BEGIN { d = a - b; if (d < 0) d = -d; exit !(d <= 0.03 * b) }'; }

for fps in 30 50 70; do
  play aim "$fps" 12
  play fly "$fps" 3.2
done
dispatch70=$(first_dispatch "$work/aim-70.txt")
flown70=$(flown "$work/fly-70.txt")
[ -n "$dispatch70" ] || fail "no police car sent by the badge in 12 s at 70 fps"
[ -n "$flown70" ] || fail "no helicopter position near 3 s at 70 fps"
echo "70 fps: first dispatch at $dispatch70 s, flown $flown70 after 2 s of w"
for fps in 30 50; do
  dispatch=$(first_dispatch "$work/aim-$fps.txt")
  distance=$(flown "$work/fly-$fps.txt")
  echo "$fps fps: first dispatch at ${dispatch:-none} s, flown $distance after 2 s of w"
  [ -n "$dispatch" ] || fail "no police car sent by the badge in 12 s at $fps fps"
  within "$dispatch" "$dispatch70" || fail "first dispatch at $fps fps ($dispatch s) is not within 3 % of 70 fps ($dispatch70 s)"
  within "$distance" "$flown70" || fail "flown at $fps fps ($distance) is not within 3 % of 70 fps ($flown70)"
done
echo "PASS"
