#!/usr/bin/env bash
# `cpack -G DEB` builds the package: its control data names it, files it under
# games and depends on every library the game links; lintian, Debian's own
# checker, finds no error in it; unpacked into a scratch root it holds the
# data set as built, the copyright file and the compressed manual page and
# changelog, its launcher sits in /usr/games (and nothing in /usr/bin) and,
# started from another directory under Xvfb, plays the opening and quits
# with 0.
#   deb_test.sh BUILD_DIR
set -u
. "$(dirname "$0")/install_lib.sh"
build=$1

# Built under a tight umask, the package still holds directories 0755.
(umask 0027 && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/package") > "$scratch/cpack.log" 2>&1 \
  || { tail -30 "$scratch/cpack.log" >&2; fail "cpack -G DEB failed"; }
debs=("$scratch"/package/searchlight_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "cpack made no single searchlight_*.deb: ${debs[*]}"
deb=${debs[0]}
echo "package: $(basename "$deb"), $(stat -c %s "$deb") bytes"

info=$(dpkg-deb -I "$deb") || fail "dpkg-deb -I cannot read the package"
field() { sed -n "s/^ $1: //p" <<< "$info"; }
[ "$(field Package)" = searchlight ] || fail "Package is \"$(field Package)\""
[ "$(field Section)" = games ] || fail "Section is \"$(field Section)\""
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
depends=$(field Depends)
echo "Depends: $depends"
# Each Depends alternative's package names, one a line.
names=$(tr ',|' '\n\n' <<< "$depends" | sed -E 's/\(.*\)//; s/[[:space:]]//g' | grep -v '^$')
for wanted in libglut3.12 libglu1-mesa libgl1 libopenal1; do
  grep -qx "$wanted" <<< "$names" || fail "Depends lacks $wanted"
done

# Owned by root, directories and programs 0755, other files 0644.
odd=$(dpkg-deb -c "$deb" | awk '$2 != "root/root" || !($1 ~ /^(drwxr-xr-x|-rwxr-xr-x|-rw-r--r--)$/)')
[ -z "$odd" ] || fail "entries with another owner or mode: $odd"

# Every tag lintian gives is printed; an error fails the test.
lintian_out=$(lintian --fail-on none "$deb" 2> "$scratch/lintian.err")
status=$?
cat "$scratch/lintian.err" >&2
echo "lintian $(lintian --version | awk '{ print $2 }'):"
echo "${lintian_out:-  (no tags)}"
[ "$status" -eq 0 ] || fail "lintian could not check the package (status $status)"
if grep -q '^E: ' <<< "$lintian_out"; then fail "lintian reports errors"; fi

dpkg-deb -x "$deb" "$scratch/root" || fail "dpkg-deb -x failed"
top=$scratch/root/usr
game=$top/libexec/searchlight/searchlight
[ -x "$game" ] || fail "no game program at /usr/libexec/searchlight/searchlight: $(dpkg-deb -c "$deb")"
# Every shared library the packaged game needs belongs to a package that
# Depends names (on this Debian machine, where those libraries are installed).
libraries=$(ldd "$game") || fail "ldd cannot read the packaged game"
for lib in $(objdump -p "$game" | awk '/NEEDED/ { print $2 }'); do
  path=$(awk -v l="$lib" '$1 == l { print $3 }' <<< "$libraries")
  [ -n "$path" ] && [ "$path" != "not" ] || fail "the game needs $lib, which this machine does not have"
  owner=""
  # dpkg knows a file by the path its package ships, /lib or /usr/lib.
  for candidate in "$path" "/usr$path" "${path#/usr}" "$(readlink -f "$path")"; do
    owner=$(dpkg -S "$candidate" 2>/dev/null | head -1 | cut -d: -f1) && [ -n "$owner" ] && break
  done
  [ -n "$owner" ] || fail "no package owns $lib ($path)"
  grep -qx "$owner" <<< "$names" || fail "the game needs $lib from $owner, which Depends does not name"
  echo "  $lib from $owner"
done

for f in share/applications/searchlight.desktop share/metainfo/io.github.searchlight.Searchlight.metainfo.xml \
         games/searchlight; do
  [ -s "$top/$f" ] || fail "the package lacks /usr/$f"
done
[ ! -e "$top/bin" ] || fail "the package has /usr/bin, where Debian puts no game: $(ls "$top/bin")"
check_icons "$top/share"
check_docs "$top/share"
same_files "$build/data" "$top/share/searchlight"

play_from_elsewhere "$top/games/searchlight" "$top/share/searchlight"
echo "PASS: $(basename "$deb") unpacked into a scratch root and played from elsewhere"
