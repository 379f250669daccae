#!/usr/bin/env bash
# The real game under Xvfb with each of its data files in turn missing,
# replaced by pseudo-random bytes, cut to half its length, or (images and
# models) random bytes behind a valid header. Every case runs in its own
# copy of the data set. What each must do:
#   SGI image missing       ends at start-up with status 1, the file's name
#                           and the system's "No such file or directory"
#   SGI image garbled       ends with status 1 and a message naming the file,
#                           or starts and plays on
#   glow mask, any fault    plays on (that facade without glow); a mask that
#                           is there but unusable is named, a missing one not
#   3DS model, any fault    the reader names the file, the model stays empty
#                           or partial, the game plays on
#   PPM missing or cut      a message names the file, the game plays on
#   PPM of random bytes     refused without a message, the game plays on
#   font, any fault         one line names the file, the game plays on
#                           without text
# "Plays on" means: the first frames are drawn, the first key dismisses the
# title, further frames are counted (a new "fps: " line) and Escape ends
# the game with status 0. No case may end by a signal, report a sanitizer
# error or hang.
#   data_files_e2e.sh BINARY DATADIR KIND    KIND: images | models | ppm | font
#     images: every .rgb file; models: the .3ds files; ppm: the .ppm file;
#     font: the font of the game's text, font.rgba
set -u
. "$(dirname "$0")/e2e_lib.sh"
binary=$1 data=$2 kind=$3

# Generous limits: the sanitized build starts several times slower.
startup_limit=90     # seconds to the first frame or to the end
frames_limit=90      # seconds to a new "fps: " line after the title
exit_limit=15        # seconds from Escape to the end

# The data set: 21 city images, the helicopter's skin and the ten facades'
# glow masks (SGI), the searchlight's picture (PPM), the two models (3DS)
# and the font (SGI, RGBA).
mapfile -t files < <(cd "$data" && ls -1 | sort)
[ "${#files[@]}" -eq 36 ] || fail "expected 36 data files in $data, found ${#files[@]}: ${files[*]}"
count_of() { printf '%s
' "${files[@]}" | grep -c "$1"; }
[ "$(count_of '\.rgb$')" -eq 32 ] || fail "expected 32 SGI images"
[ "$(count_of '_glow\.rgb$')" -eq 10 ] || fail "expected 10 glow masks"
printf '%s
' "${files[@]}" | grep -qx font.rgba || fail "the font font.rgba is missing"
[ "$(count_of '\.3ds$')" -eq 2 ] || fail "expected 2 models"
[ "$(count_of '\.ppm$')" -eq 1 ] || fail "expected 1 PPM image"
printf '%s\n' "${files[@]}" | grep -qx copterskin.rgb || fail "the helicopter's skin copterskin.rgb is missing"

start_xvfb 1280x1024
failures=()

# random_bytes SEED COUNT: the same bytes for the same seed on every machine.
random_bytes() {
  perl -e '($s, $n) = @ARGV; binmode STDOUT;
           for (1 .. $n) { $s = ($s * 1103515245 + 12345) % 2147483648; print chr(($s >> 16) & 255) }' "$1" "$2"
}
seed_of() { cksum <<< "$1" | cut -d' ' -f1; }

# spoil DIR FILE MODE: removes or replaces one file of the copy in DIR.
spoil() {
  local path="$1/$2" size
  size=$(stat -c %s "$path")
  case $3 in
    missing) rm -f "$path" ;;
    garbage) rm -f "$path"; random_bytes "$(seed_of "$2")" 4096 > "$path" ;;
    truncated) head -c $((size / 2)) "$data/$2" > "$path" ;;
    header)  # a valid header followed by random bytes
      rm -f "$path"
      case $2 in
        *.3ds) # a main chunk of the right length holding random sub-chunks
          { perl -e 'binmode STDOUT; print pack("vV", 0x4D4D, 6 + 4096)'
            random_bytes "$(seed_of "$2")" 4096; } > "$path" ;;
        *)     # the real 512-byte SGI header, then the file's length of noise:
               # random run-length tables, or a verbatim picture of noise
          { head -c 512 "$data/$2"; random_bytes "$(seed_of "$2")" $((size - 512)); } > "$path" ;;
      esac ;;
  esac
}

# run_length FILE: the SGI image stores run-length rows (storage byte 1).
run_length() { [ "$(od -An -tu1 -j2 -N1 "$1" | tr -d ' ')" = 1 ]; }

# The game's window, once it is drawing.
game_window() {
  timeout 20 xdotool search --sync --onlyvisible --name "searchlight" 2>/dev/null | head -1
}
fps_lines() { grep -c '^fps: ' "$game_err" 2>/dev/null; }

# The title card is the only thing drawn while it is up, so the city's
# objects are counted only once a key has dismissed it.
world_drawn() { grep -q '^num reg objects drawn = [1-9]' "$game_err"; }

# play_on: the game has drawn its first frames; dismiss the title, wait for
# the city to be drawn and more frames counted, quit with Escape. Sets
# reason on failure.
play_on() {
  local window before deadline
  window=$(game_window)
  [ -n "$window" ] || { reason="no window"; return 1; }
  xdotool windowfocus --sync "$window" 2>/dev/null || true
  world_drawn && { reason="objects counted while the title was up"; return 1; }
  before=$(fps_lines)
  send_key space
  deadline=$((SECONDS + frames_limit))
  until [ "$(fps_lines)" -gt "$before" ] && world_drawn; do
    if ! alive; then
      wait "$game_pid"
      reason="ended after the title with status $?"
      game_pid=""
      return 1
    fi
    [ $SECONDS -lt $deadline ] || { reason="no city drawn or frames counted within $frames_limit s"; return 1; }
    sleep 0.2
  done
  send_key Escape
  wait_exit "$exit_limit" || { reason="still running $exit_limit s after Escape"; return 1; }
  [ "$exit_status" -eq 0 ] || { reason="Escape gave status $exit_status"; return 1; }
  return 0
}

# start_case ID FILE MODE: a fresh copy of the data set with FILE spoiled,
# and the game started in it with its stderr in $work/ID.err; sets case_pid.
start_case() {
  local dir="$work/$1"
  rm -rf "$dir"
  cp -r "$data" "$dir"
  spoil "$dir" "$2" "$3"
  (cd "$dir" && exec "$binary") >/dev/null 2>"$work/$1.err" &
  case_pid=$!
}

# await_start ID PID: waits until the game ends or draws its first frame;
# sets first to "ended STATUS", "runs" or "hangs".
await_start() {
  local deadline=$((SECONDS + startup_limit))
  while kill -0 "$2" 2>/dev/null && ! grep -q "num reg objects drawn" "$work/$1.err"; do
    [ $SECONDS -lt $deadline ] || { first=hangs; return; }
    sleep 0.1
  done
  if kill -0 "$2" 2>/dev/null; then
    first=runs
  else
    wait "$2"
    first="ended $?"
  fi
}

# probe_case ID FILE MODE, run in the background beside another: how the
# start ends, in $work/ID.result. A game that starts is stopped there; the
# cases that need keys are played one at a time afterwards.
probe_case() {
  start_case "$1" "$2" "$3"
  await_start "$1" "$case_pid"
  case $first in ended*) ;; *) kill -9 "$case_pid" 2>/dev/null; wait "$case_pid" 2>/dev/null ;; esac
  echo "$first" > "$work/$1.result"
  rm -rf "${work:?}/$1"
}

# run_case ID FILE MODE EXPECT: EXPECT is ends (status 1 at start-up),
# ends_or_runs, or runs. Uses the probe's result when there is one that
# ended or hung; otherwise starts the game and plays it on if it starts. Sets
# outcome and game_err; returns 1 with reason on failure.
run_case() {
  local id=$1 file=$2 mode=$3 expect=$4
  first=$(cat "$work/$id.result" 2>/dev/null)
  game_err="$work/$id.err"
  case $first in
    ended* | hangs) ;;
    *) start_case "$id" "$file" "$mode"
       game_pid=$case_pid
       await_start "$id" "$game_pid" ;;
  esac
  [ "$first" != hangs ] || { reason="neither ended nor drew a frame within $startup_limit s"; return 1; }
  if [ "$first" = runs ]; then
    outcome=runs
    [ "$expect" != ends ] || { reason="started although it should have ended"; return 1; }
    play_on || return 1
  else
    game_pid=""
    exit_status=${first#ended }
    outcome=$first
    [ "$exit_status" -lt 128 ] || { reason="killed by signal $((exit_status - 128))"; return 1; }
    [ "$expect" != runs ] || { reason="ended with status $exit_status instead of playing on"; return 1; }
    [ "$exit_status" -eq 1 ] || { reason="status $exit_status, expected 1"; return 1; }
  fi
  if sanitizer_report "$game_err"; then
    reason="sanitizer report: $(grep -a -m1 -E 'ERROR:|runtime error:' "$game_err")"
    return 1
  fi
  return 0
}

# The message expected on stderr for a case, as a fixed string, or "" for
# a case the reader passes over in silence; a garbled image is named
# anywhere outside the loader's progress line.
expected_message() {
  local file=$1 mode=$2
  case "$file:$mode" in
    *_glow.rgb:missing) echo "" ;;
    *_glow.rgb:*) echo "image $file: " ;;
    *.rgb:missing) echo "$file: No such file or directory" ;;
    *.3ds:missing) echo "Unable to find the file: $file!" ;;
    *.3ds:garbage) echo "Unable to load PRIMARY chuck from file: $file!" ;;
    *.3ds:*) echo "$file: " ;;
    *.ppm:garbage) echo "" ;;
    *.ppm:*) echo "image $file: " ;;
    *.rgba:missing) echo "no text on screen: $file: No such file or directory" ;;
    *.rgba:*) echo "no text on screen: $file: " ;;
    *.rgb:*) [ "$outcome" = runs ] || echo "$file" ;;  # named when it ends the game
  esac
}

check_case() {
  local id=$1 file=$2 mode=$3 expect=$4 start=$SECONDS message stripped said
  outcome="" reason=""
  if run_case "$id" "$file" "$mode" "$expect"; then
    message=$(expected_message "$file" "$mode")
    # The progress line names every image it loads; look past it.
    stripped=$(sed "s/about to load \"$file\"//" "$game_err")
    said=""
    if [ -n "$message" ]; then
      # (the 3DS messages end without a newline: the next print follows)
      said=$(grep -F -m1 -- "$message" <<< "$stripped" | sed 's/about to load.*//' | cut -c1-110)
      [ -n "$said" ] || reason="no message \"$message\" on stderr"
    fi
    # The font is named once, at start-up, however often text would be drawn.
    case $file in
      *.rgba) [ "$(grep -c -F "$file" "$game_err")" -eq 1 ] || reason="not one line naming $file" ;;
    esac
  fi
  if [ -n "$reason" ]; then
    [ -n "${game_pid:-}" ] && { kill -9 "$game_pid" 2>/dev/null; wait "$game_pid" 2>/dev/null; game_pid=""; }
    echo "FAIL  $file $mode: $reason (${outcome:-no outcome})"
    { echo "--- stderr of $file $mode (tail)"; tail -5 "$game_err"; } >&2
    failures+=("$file $mode")
  else
    echo "ok    $file $mode: $outcome${said:+, said \"$said\"}"
  fi
  rm -rf "${work:?}/$id"
}

# The cases of this kind: "FILE MODE EXPECT" lines.
list_cases() {
  local file mode noise_played="" glow_played=""
  for file in "${files[@]}"; do
    case "$kind:$file" in
      images:*_glow.rgb)
        # Every mask is read by the same code: one shows each fault.
        [ -z "$glow_played" ] || continue
        glow_played=$file
        for mode in missing garbage truncated header; do echo "$file $mode runs"; done ;;
      images:*.rgb)
        echo "$file missing ends"
        echo "$file garbage ends_or_runs"
        echo "$file truncated ends_or_runs"
        # Noise behind a run-length header gives row tables pointing
        # anywhere. Behind a verbatim header it is a valid picture of noise:
        # the game plays with it; one such image shows that.
        if run_length "$data/$file"; then
          echo "$file header ends_or_runs"
        elif [ -z "$noise_played" ]; then
          noise_played=$file
          echo "$file header ends_or_runs"
        fi ;;
      models:*.3ds)
        for mode in missing garbage header truncated; do echo "$file $mode runs"; done ;;
      ppm:*.ppm)
        for mode in missing garbage truncated; do echo "$file $mode runs"; done ;;
      font:*.rgba)
        for mode in missing garbage truncated header; do echo "$file $mode runs"; done ;;
      images:* | models:* | ppm:* | font:*) ;;
      *) return 1 ;;
    esac
  done
}

started=$SECONDS
mapfile -t cases < <(list_cases) || true
[ "${#cases[@]}" -gt 0 ] || fail "no cases for kind \"$kind\""

# Cases expected to end at start-up need no keys: run them two at a time
# first. The few that start are played afterwards, one at a time.
if [ "$kind" = images ]; then
  probes=()
  running_probes() {
    local n=0 pid
    for pid in "${probes[@]}"; do kill -0 "$pid" 2>/dev/null && n=$((n + 1)); done
    echo "$n"
  }
  for i in "${!cases[@]}"; do
    read -r file mode _ <<< "${cases[$i]}"
    while [ "$(running_probes)" -ge 2 ]; do wait -n; done
    probe_case "case$i" "$file" "$mode" &
    probes+=($!)
  done
  wait "${probes[@]}"
fi
for i in "${!cases[@]}"; do
  read -r file mode expect <<< "${cases[$i]}"
  check_case "case$i" "$file" "$mode" "$expect"
done

if [ ${#failures[@]} -gt 0 ]; then
  echo "FAIL: ${#failures[@]} of ${#cases[@]} cases: ${failures[*]}" >&2
  exit 1
fi
echo "PASS: ${#cases[@]} cases in $((SECONDS - started)) s"
