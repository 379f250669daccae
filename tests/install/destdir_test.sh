#!/usr/bin/env bash
# `cmake --install` into a DESTDIR with a prefix of our choosing: every file
# lands under DESTDIR/PREFIX in the GNU layout, the data set is the build's
# (and the generator's) byte for byte, the launcher refuses a tree without
# data, finds its tree through a symbolic link, and started through PATH
# from another directory under Xvfb plays the opening and quits with 0. The
# manual page and the changelog are compressed, the copyright file is there,
# and the launcher of Debian's games layout is not.
#   destdir_test.sh BUILD_DIR ASSETS_TOOL
set -u
. "$(dirname "$0")/install_lib.sh"
build=$1 assets=$2
prefix=/opt/searchlight-test
root=$scratch/root
top=$root$prefix

DESTDIR=$root cmake --install "$build" --prefix "$prefix" > "$scratch/install.log" 2>&1 \
  || { cat "$scratch/install.log" >&2; fail "cmake --install failed"; }

# Nothing outside the prefix, and the expected tree inside it.
outside=$(cd "$root" && find . -mindepth 1 -type f ! -path ".$prefix/*")
[ -z "$outside" ] || fail "files installed outside the prefix: $outside"
[ -x "$top/bin/searchlight" ] || fail "no launcher bin/searchlight"
head -c 4 "$top/libexec/searchlight/searchlight" | grep -q 'ELF' || fail "no game program in libexec/searchlight"
[ -x "$top/libexec/searchlight/searchlight" ] || fail "the game program is not executable"
for f in share/applications/searchlight.desktop share/metainfo/io.github.searchlight.Searchlight.metainfo.xml; do
  [ -s "$top/$f" ] || fail "missing $f"
done
[ ! -e "$top/games" ] || fail "a plain install wrote games/: $(ls -R "$top/games")"
check_icons "$top/share"
check_docs "$top/share"
[ ! -e "$top/share/searchlight/.stamp" ] || fail "the build's stamp was installed with the data"

# The data set: the build's files, which are the generator's.
same_files "$build/data" "$top/share/searchlight"
"$assets" generate "$scratch/fresh" || fail "the generator failed"
same_files "$scratch/fresh" "$top/share/searchlight"
echo "installed tree complete; $(ls "$top/share/searchlight" | wc -l) data files as built"

# A launcher without its tree says so and ends with 1.
mkdir -p "$scratch/lonely/bin"
cp "$top/bin/searchlight" "$scratch/lonely/bin/"
"$scratch/lonely/bin/searchlight" > /dev/null 2> "$scratch/lonely.err"
status=$?
[ "$status" -eq 1 ] || fail "a launcher without data ended with $status, expected 1"
grep -q '^searchlight: no data directory at ' "$scratch/lonely.err" \
  || fail "a launcher without data said: $(cat "$scratch/lonely.err")"

# Through a symbolic link elsewhere, without a display: the launcher still
# finds its tree, and the game itself reports the display in one line.
mkdir -p "$scratch/links"
ln -s "$top/bin/searchlight" "$scratch/links/searchlight"
(cd "$scratch" && env -u DISPLAY "$scratch/links/searchlight") > /dev/null 2> "$scratch/link.err"
status=$?
[ "$status" -ne 0 ] || fail "the game started without a display and ended with 0"
grep -q 'no data directory\|no game program' "$scratch/link.err" && fail "through a link: $(cat "$scratch/link.err")"
grep -q "^searchlight: can't open display" "$scratch/link.err" \
  || fail "without a display the game said: $(cat "$scratch/link.err")"

# As a player starts it: by name, through PATH, from some other directory.
path_launcher=$scratch/path_launcher
printf '#!/bin/sh\nPATH=%s/bin:$PATH exec searchlight "$@"\n' "$top" > "$path_launcher"
chmod +x "$path_launcher"
play_from_elsewhere "$path_launcher" "$top/share/searchlight"
echo "PASS: installed under DESTDIR$prefix, data as built, launcher started the game from elsewhere"
