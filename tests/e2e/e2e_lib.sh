# e2e_lib.sh -- start Xvfb and the game, find its window, send keys, clean up.
# Sourced by the end-to-end tests. Everything started is killed by pid.

fail() { echo "FAIL: $*" >&2; dump_logs; exit 1; }
dump_logs() {
  [ -n "${game_err:-}" ] && [ -f "$game_err" ] && { echo "--- game stderr (tail)"; tail -20 "$game_err"; } >&2
  return 0
}

cleanup() {
  [ -n "${game_pid:-}" ] && kill -9 "$game_pid" 2>/dev/null
  [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null
  [ -n "${work:-}" ] && rm -rf "$work"
  return 0
}
trap cleanup EXIT

# start_xvfb WxH: starts Xvfb on a free display and exports DISPLAY.
start_xvfb() {
  work=$(mktemp -d)
  mkfifo "$work/displayfd"
  Xvfb -displayfd 3 -screen 0 "$1x24" -nolisten tcp 3>"$work/displayfd" 2>"$work/xvfb.log" &
  xvfb_pid=$!
  local n
  read -r -t 20 n < "$work/displayfd" || fail "Xvfb did not start"
  export DISPLAY=":$n"
}

# start_game BINARY DATADIR: runs the game in its data directory.
start_game() {
  game_err="$work/game.err"
  game_out="$work/game.out"
  (cd "$2" && exec "$1") >"$game_out" 2>"$game_err" &
  game_pid=$!
  window=$(timeout 30 xdotool search --sync --onlyvisible --name "searchlight" 2>/dev/null | head -1) \
    || fail "no window of the game appeared"
  [ -n "$window" ] || fail "no window id"
  xdotool windowfocus --sync "$window" 2>/dev/null || true
}

alive() { kill -0 "$game_pid" 2>/dev/null; }

# wait_for_line PATTERN SECONDS: waits until the game's stderr holds PATTERN.
wait_for_line() {
  local deadline=$((SECONDS + $2))
  until grep -q -- "$1" "$game_err" 2>/dev/null; do
    [ $SECONDS -ge $deadline ] && fail "timed out waiting for \"$1\""
    alive || fail "game ended while waiting for \"$1\""
    sleep 0.2
  done
}

send_key() { xdotool key --clearmodifiers "$1"; }

# screenshot FILE: the whole Xvfb screen as PNG.
screenshot() { import -window root "$1" 2>/dev/null || fail "screenshot failed"; }

# wait_exit SECONDS: waits for the game to end, sets exit_status.
wait_exit() {
  local deadline=$((SECONDS * 10 + $1 * 10)) now
  while alive; do
    now=$((SECONDS * 10))
    [ $now -ge $deadline ] && return 1
    sleep 0.1
  done
  wait "$game_pid"
  exit_status=$?
  game_pid=""
  return 0
}

# sanitizer_report FILE: true when FILE (a game's stderr) holds a report of
# AddressSanitizer, LeakSanitizer or UndefinedBehaviorSanitizer, which is
# then copied to stderr (up to 80 lines) for the test log.
sanitizer_report() {
  local pattern='ERROR: (Address|Leak)Sanitizer|runtime error:'
  grep -qaE "$pattern" "$1" 2>/dev/null || return 1
  { echo "--- sanitizer report"; grep -aE -A80 -m1 "$pattern" "$1"; } >&2
  return 0
}

# The city region of a 1280 x 1024 screen: the upper part, clear of the
# mini-map and the badge.
city_region=1000x560+140+40
city_region_pixels=$((1000 * 560))

# changed A.png B.png: how many pixels of the city region differ by more
# than 8 % colour between two screenshots; prints nothing when they can't be
# compared.
changed() {
  local out
  out=$(compare -metric AE -fuzz 8% "$1[$city_region]" "$2[$city_region]" null: 2>&1 | cut -d' ' -f1)
  # Large counts may come in exponent notation.
  [[ "$out" =~ ^[0-9.]+(e[+][0-9]+)?$ ]] && awk -v n="$out" 'BEGIN { printf "%d\n", n }'
}

# expect_moved STILL MOVED WHAT BASELINE: the view must have moved: MOVED
# changed pixels, at least a tenth of the city region and more than twice
# the STILL pixels that changed on their own (BASELINE names that case).
expect_moved() {
  [[ "$1" =~ ^[0-9]+$ && "$2" =~ ^[0-9]+$ ]] || fail "could not compare screenshots"
  [ "$2" -gt $((city_region_pixels / 10)) ] || fail "$3 changed only $2 pixels of the city"
  [ "$2" -gt $(($1 * 2)) ] || fail "$3 ($2) changed little more than $4 ($1)"
}
