#!/usr/bin/env bash
# The real game started without a usable X display: no DISPLAY at all, and a
# DISPLAY naming a display no server answers. Each time it must print one
# line saying which display it could not open, exit non-zero, and neither
# crash nor hang. The options that need no display work without one.
# The tools take --help the same way.
#   no_display_e2e.sh BINARY [TOOL...]
set -u
binary=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# A display number nothing serves: no socket for it, and xdpyinfo (which
# also tries TCP) cannot reach it.
free_display() {
  local n
  for n in 9999 9998 9997 9996 9995; do
    [ -e "/tmp/.X11-unix/X$n" ] && continue
    xdpyinfo -display ":$n" >/dev/null 2>&1 && continue
    echo ":$n"
    return 0
  done
  return 1
}

# check CASE EXPECTED-NAME [env assignments...]: runs the game with the
# given environment and checks its single line and its status.
check() {
  local label=$1 name=$2 status lines
  shift 2
  (cd "$work" && exec env "$@" timeout 20 "$binary") >"$work/out" 2>"$work/err"
  status=$?
  [ "$status" -ne 124 ] || fail "$label: the game hung (killed after 20 s)"
  [ "$status" -ne 0 ] || fail "$label: exit status 0 without a display"
  [ "$status" -lt 128 ] || fail "$label: ended by signal $((status - 128))"
  lines=$(wc -l < "$work/err")
  [ "$lines" -eq 1 ] || { cat "$work/err" >&2; fail "$label: $lines lines on stderr, expected 1"; }
  local expected="searchlight: can't open display \"$name\"; set DISPLAY to a running X server"
  [ "$(cat "$work/err")" = "$expected" ] || fail "$label: stderr was \"$(cat "$work/err")\""
  [ ! -s "$work/out" ] || fail "$label: unexpected output on stdout: $(head -c 200 "$work/out")"
  echo "PASS: $label: status $status, \"$(cat "$work/err")\""
}

check "DISPLAY unset" "" -u DISPLAY
display=$(free_display) || fail "no free display number found to test with"
check "DISPLAY=$display (no server)" "$display" DISPLAY="$display"

# The options that need no display: --help and --version print on stdout and
# end with 0; a bad option or value says so in two lines and ends with 2.
options() {
  local expect=$1 status
  shift
  (cd "$work" && exec env -u DISPLAY timeout 20 "$binary" "$@") >"$work/out" 2>"$work/err"
  status=$?
  [ "$status" -eq "$expect" ] || { cat "$work/err" >&2; fail "$*: exit status $status, expected $expect"; }
}
options 0 --help
grep -q -- '--windowed' "$work/out" && [ ! -s "$work/err" ] || fail "--help: no usage on stdout"
options 0 --version
grep -qE '^searchlight [0-9]+\.[0-9]+\.[0-9]+$' "$work/out" || fail "--version printed \"$(cat "$work/out")\""
for bad in --bogus "--size 0x5" "--seed -1" "--seed" stray; do
  # shellcheck disable=SC2086 # the case's words are separate arguments
  options 2 $bad
  [ "$(sed -n 2p "$work/err")" = "Try 'searchlight --help'." ] && [ "$(wc -l < "$work/err")" -eq 2 ] &&
    grep -q "^searchlight: " "$work/err" || fail "$bad: stderr was \"$(cat "$work/err")\""
  [ ! -s "$work/out" ] || fail "$bad: output on stdout"
done
echo "PASS: --help and --version without a display; bad options end with 2 and a hint"

# Each tool: --help on stdout with status 0, naming each command; no
# command or an unknown one: the usage on stderr and status 2.
for tool in "${@:2}"; do
  "$tool" --help > "$work/out" 2> "$work/err" || fail "$tool --help: status $?"
  [ -s "$work/out" ] && [ ! -s "$work/err" ] || fail "$tool --help: no usage on stdout"
  case $(basename "$tool") in
    searchlight-headless) commands="run city trace shot soak bench" ;;
    *) commands="generate inspect icon" ;;
  esac
  for c in $commands; do grep -q "^ *$c " "$work/out" || fail "$tool --help does not describe $c"; done
  "$tool" no-such-command > "$work/out" 2> "$work/err"
  status=$?
  [ "$status" -eq 2 ] && [ -s "$work/err" ] || fail "$tool no-such-command: status $status"
  echo "PASS: $(basename "$tool") --help"
done
