#!/usr/bin/env bash
# Regenerates the README's screenshots with the offscreen driver:
#   scripts/screenshots.sh [BUILD_DIR]
# The capture scene plays a full minute of game time and takes a few minutes.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
headless="$build/tools/headless/searchlight-headless"
out="$root/docs/screenshots"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$out"

shot() {  # NAME SEED SECONDS SCRIPT-TEXT [WxH]
  local size=${5:-1280x1024}
  local w=${size%x*} h=${size#*x}
  printf '%b' "$4" > "$work/$1.script"
  "$headless" shot --seed "$2" --size "$size" --seconds "$3" --script "$work/$1.script" \
    --out "$work/$1.ppm" 2>/dev/null
  convert "$work/$1.ppm" -resize "$((w / 2))x$((h / 2))" -strip -quality 88 "$out/$1.jpg"
  echo "$out/$1.jpg: $(stat -c %s "$out/$1.jpg") bytes"
}

# The title card, as the game opens.
shot title 1 0.5 ''
# Play: the searchlight on the street ahead, flying forward.
shot play 7 3 '0 press space\n0.5 mouse 640 512\n0.6 mouse 640 530\n1 down w\n'
# The same flight on a 16:9 screen: more of the city at the sides, nothing stretched.
shot play_wide 7 3 '0 press space\n0.5 mouse 960 540\n0.6 mouse 960 558\n1 down w\n' 1920x1080
# The capture: five police cars hunt the fugitive, held in the searchlight
# (the offscreen driver's aim), until they box it in; the badge, centred,
# glows gold.
shot capture 1 60 '0 press space\n0.05 press x\n0.1 press x\n0.15 press x\n0.2 press x\n0.25 press x\n0.5 mouse 640 512\n0.6 mouse 640 530\n0.7 aim\n'
# Close: the helicopter with its lights and the badge, the camera pulled in
# ("-") and the craft turning; the frame cropped to them.
printf '0 press space\n0.5 mouse 640 512\n0.6 mouse 640 560\n1 press -\n1.2 down e\n1.5 up e\n' > "$work/close.script"
"$headless" shot --seed 7 --seconds 4 --script "$work/close.script" --out "$work/close.ppm" 2>/dev/null
convert "$work/close.ppm" -crop 1000x800+280+0 +repage -resize 800x640 -strip -quality 88 "$out/close.jpg"
echo "$out/close.jpg: $(stat -c %s "$out/close.jpg") bytes"
