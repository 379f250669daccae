#!/usr/bin/env bash
# The real game under Xvfb with each of its data files in turn missing,
# replaced by pseudo-random bytes, cut to half its length, or (images and
# models) random bytes behind a valid header. Every case runs in its own
# copy of the data set. What each must do:
#   SGI image missing       ends at start-up with status 1, the file's name
#                           and the system's "No such file or directory"
#   SGI image garbled       ends with status 1 and a message naming the file,
#                           or starts and plays on
#   3DS model, any fault    the reader names the file, the model stays empty
#                           or partial, the game plays on
#   PPM missing or cut      a message names the file, the game plays on
#   PPM of random bytes     refused without a message, the game plays on
# "Plays on" means: the first frames are drawn, the first key dismisses the
# title, further frames are counted (a new "fps: " line) and Escape ends
# the game with status 0. No case may end by a signal, report a sanitizer
# error or hang.
#   data_files_e2e.sh BINARY DATADIR KIND    KIND: images | models | ppm
#     images: every .rgb file; models: the .3ds files; ppm: the .ppm file
set -u
. "$(dirname "$0")/e2e_lib.sh"
binary=$1 data=$2 kind=$3

# Generous limits: the sanitized build starts several times slower.
startup_limit=90     # seconds to the first frame or to the end
frames_limit=90      # seconds to a new "fps: " line after the title
exit_limit=15        # seconds from Escape to the end

# The data set: 21 city images and the helicopter's skin (SGI), the
# searchlight's picture (PPM) and the two models (3DS).
mapfile -t files < <(cd "$data" && ls -1 | sort)
[ "${#files[@]}" -eq 25 ] || fail "expected 25 data files in $data, found ${#files[@]}: ${files[*]}"
count_of() { printf '%s\n' "${files[@]}" | grep -c "$1"; }
[ "$(count_of '\.rgb$')" -eq 22 ] || fail "expected 22 SGI images"
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

# run_case FILE MODE EXPECT: EXPECT is ends (status 1 at start-up),
# ends_or_runs, or runs. Sets outcome; returns 1 with reason on failure.
run_case() {
  local file=$1 mode=$2 expect=$3 dir="$work/case" deadline
  rm -rf "$dir"
  cp -r "$data" "$dir"
  spoil "$dir" "$file" "$mode"
  game_err="$work/case.err"
  (cd "$dir" && exec "$binary") >"$work/case.out" 2>"$game_err" &
  game_pid=$!
  deadline=$((SECONDS + startup_limit))
  # Until it ends or draws its first frame.
  while alive && ! grep -q "num reg objects drawn" "$game_err"; do
    [ $SECONDS -lt $deadline ] || { reason="neither ended nor drew a frame within $startup_limit s"; return 1; }
    sleep 0.1
  done
  if alive; then
    outcome=runs
    [ "$expect" != ends ] || { reason="started although it should have ended"; return 1; }
    play_on || return 1
  else
    wait "$game_pid"
    exit_status=$?
    game_pid=""
    outcome="ended $exit_status"
    [ "$exit_status" -lt 128 ] || { reason="killed by signal $((exit_status - 128))"; return 1; }
    [ "$expect" != runs ] || { reason="ended with status $exit_status instead of playing on"; return 1; }
    [ "$exit_status" -eq 1 ] || { reason="status $exit_status, expected 1"; return 1; }
  fi
  if sanitizer_report "$game_err"; then
    reason="sanitizer report: $(grep -m1 -E 'ERROR:|runtime error:' "$game_err")"
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
    *.rgb:missing) echo "$file: No such file or directory" ;;
    *.3ds:missing) echo "Unable to find the file: $file!" ;;
    *.3ds:garbage) echo "Unable to load PRIMARY chuck from file: $file!" ;;
    *.3ds:*) echo "$file: " ;;
    *.ppm:garbage) echo "" ;;
    *.ppm:*) echo "image $file: " ;;
    *.rgb:*) [ "$outcome" = runs ] || echo "$file" ;;  # named when it ends the game
  esac
}

check_case() {
  local file=$1 mode=$2 expect=$3 start=$SECONDS message stripped said
  outcome="" reason=""
  if run_case "$file" "$mode" "$expect"; then
    message=$(expected_message "$file" "$mode")
    # The progress line names every image it loads; look past it.
    stripped=$(sed "s/about to load \"$file\"//" "$game_err")
    said=""
    if [ -n "$message" ]; then
      # (the 3DS messages end without a newline: the next print follows)
      said=$(grep -F -m1 -- "$message" <<< "$stripped" | sed 's/about to load.*//' | cut -c1-110)
      [ -n "$said" ] || reason="no message \"$message\" on stderr"
    fi
  fi
  if [ -n "$reason" ]; then
    [ -n "${game_pid:-}" ] && { kill -9 "$game_pid" 2>/dev/null; wait "$game_pid" 2>/dev/null; game_pid=""; }
    echo "FAIL  $file $mode: $reason (${outcome:-no outcome}, $((SECONDS - start)) s)"
    { echo "--- stderr of $file $mode (tail)"; tail -5 "$game_err"; } >&2
    failures+=("$file $mode")
  else
    echo "ok    $file $mode: $outcome, $((SECONDS - start)) s${said:+, said \"$said\"}"
  fi
}

started=$SECONDS
cases=0
for file in "${files[@]}"; do
  case "$kind:$file" in
    images:*.rgb)
      check_case "$file" missing ends
      check_case "$file" garbage ends_or_runs
      check_case "$file" truncated ends_or_runs
      cases=$((cases + 3))
      # Noise behind a run-length header gives row tables pointing anywhere.
      # Behind a verbatim header it is a valid picture of noise: the game
      # plays with it; one such image shows that, the others add nothing.
      if run_length "$data/$file" || [ -z "${noise_played:-}" ]; then
        run_length "$data/$file" || noise_played=$file
        check_case "$file" header ends_or_runs
        cases=$((cases + 1))
      fi ;;
    models:*.3ds)
      for mode in missing garbage header truncated; do check_case "$file" "$mode" runs; done
      cases=$((cases + 4)) ;;
    ppm:*.ppm)
      for mode in missing garbage truncated; do check_case "$file" "$mode" runs; done
      cases=$((cases + 3)) ;;
    images:* | models:* | ppm:*) ;;
    *) fail "unknown kind \"$kind\"" ;;
  esac
done

[ "$cases" -gt 0 ] || fail "no cases run for kind \"$kind\""
if [ ${#failures[@]} -gt 0 ]; then
  echo "FAIL: ${#failures[@]} of $cases cases: ${failures[*]}" >&2
  exit 1
fi
echo "PASS: $cases cases in $((SECONDS - started)) s"
