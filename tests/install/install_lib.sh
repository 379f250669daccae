# install_lib.sh -- shared steps of the install tests: a scratch directory,
# checks of an installed tree, and the installed launcher run from elsewhere
# under Xvfb. Sourced after e2e_lib.sh's helpers, which it loads.
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
. "$here/../e2e/e2e_lib.sh"

scratch=$(mktemp -d)
trap 'cleanup; rm -rf "$scratch"' EXIT

# same_files DIR_A DIR_B: the same file names (the build's .stamp aside) with
# the same bytes.
same_files() {
  local a=$1 b=$2 name
  diff <(cd "$a" && find . -type f ! -name .stamp | sort) <(cd "$b" && find . -type f ! -name .stamp | sort) \
    || fail "$a and $b hold different files"
  while read -r name; do
    cmp -s "$a/$name" "$b/$name" || fail "$a/$name differs from $b/$name"
  done < <(cd "$a" && find . -type f ! -name .stamp)
}

# check_icons SHARE_DIR: both hicolor icons are valid PNG files of their size.
check_icons() {
  local size got
  for size in 64 256; do
    got=$(identify -format '%m %wx%h' "$1/icons/hicolor/${size}x${size}/apps/searchlight.png" 2>&1) \
      || fail "the ${size} px icon is not a readable picture: $got"
    [ "$got" = "PNG ${size}x${size}" ] || fail "the ${size} px icon is \"$got\""
  done
}

# check_docs SHARE_DIR: the manual page and the changelog are gzip files
# without a stored name or time (gzip -9n, the same bytes on every build)
# that unpack to the sources' text, and the copyright file is the source's.
check_docs() {
  local share=$1 packaging=$here/../../packaging gz source
  for gz in man/man6/searchlight.6.gz doc/searchlight/changelog.gz; do
    [ -s "$share/$gz" ] || fail "missing share/$gz"
    source=$packaging/$(basename "$gz" .gz)
    gzip -t "$share/$gz" 2>/dev/null || fail "share/$gz is not a sound gzip file"
    cmp -s <(gzip -dc "$share/$gz") "$source" || fail "share/$gz does not unpack to $source"
    # Header bytes 3 (flags: FNAME is 0x08) and 4-7 (the time stamp).
    [ "$(od -An -tx1 -j3 -N5 "$share/$gz" | tr -d ' \n')" = 0000000000 ] \
      || fail "share/$gz stores a name or a time stamp"
  done
  cmp -s "$share/doc/searchlight/copyright" "$packaging/copyright" || fail "share/doc/searchlight/copyright differs"
}

# play_from_elsewhere LAUNCHER DATA_DIR: runs the launcher from a directory
# without data, under a fresh Xvfb. The window is titled exactly
# "searchlight" (an option passed on to the game), the game runs in DATA_DIR
# under the name "searchlight" with the window class of the desktop entry, its
# first frame shows the title card, the first key (Escape) only dismisses
# the card, and the second Escape ends the game with status 0.
play_from_elsewhere() {
  local launcher=$1 data=$2 elsewhere cwd name
  start_xvfb 1280x1024
  elsewhere=$(mktemp -d -p "$scratch")
  game_err=$work/game.err game_out=$work/game.out
  (cd "$elsewhere" && exec "$launcher" --windowed) >"$game_out" 2>"$game_err" &
  game_pid=$!
  window=$(timeout 30 xdotool search --sync --onlyvisible --name '^searchlight$' 2>/dev/null | head -1)
  if [ -z "$window" ]; then
    alive || fail "the game ended before its window appeared"
    fail "no window titled \"searchlight\"; the windows are titled:" \
      "$(xdotool search --onlyvisible --name . getwindowname %@ 2>/dev/null | tr '\n' ' ')"
  fi
  name=$(xdotool getwindowname "$window")
  [ "$name" = searchlight ] || fail "window title \"$name\", expected \"searchlight\""
  # The launcher execs the game, so the pid started above is the game's.
  cwd=$(readlink "/proc/$game_pid/cwd")
  [ "$cwd" = "$(cd -P "$data" && pwd)" ] || fail "the game runs in $cwd, not in the data directory $data"
  # Docks match the window to the desktop entry's StartupWMClass.
  [[ "$(xprop -id "$window" WM_CLASS 2>/dev/null)" == *'"searchlight", "Searchlight"'* ]] \
    || fail "the window's class is $(xprop -id "$window" WM_CLASS 2>&1)"
  # Named searchlight, pointed at the installed data, the player's options after.
  [[ "$(tr '\0' ' ' < "/proc/$game_pid/cmdline")" == "searchlight --data "*" --windowed " ]] \
    || fail "the game's command line is \"$(tr '\0' ' ' < "/proc/$game_pid/cmdline")\""
  xdotool windowfocus --sync "$window" 2>/dev/null || true

  wait_for_line "num reg objects drawn = 0" 60
  sleep 1
  screenshot "$work/title.png"
  local bright
  bright=$(convert "$work/title.png" -colorspace Gray -format '%[fx:int(255*mean)]' info:)
  [ "$bright" -gt 20 ] || fail "the screen is dark (mean $bright) where the title card should be"

  send_key Escape
  sleep 2
  alive || fail "the first Escape ended the game instead of dismissing the title"
  screenshot "$work/play.png"
  local change
  change=$(compare -metric RMSE "$work/title.png" "$work/play.png" null: 2>&1 | sed -E 's/.*\(([0-9.e-]+)\).*/\1/')
  awk -v r="$change" 'BEGIN { exit !(r > 0.05) }' || fail "the title card is still shown after a key (RMSE $change)"

  send_key Escape
  wait_exit 3 || fail "the game did not end within 3 s of the second Escape"
  [ "$exit_status" -eq 0 ] || fail "exit status $exit_status, expected 0"
}
