#!/usr/bin/env bash
# The desktop entry, the AppStream metainfo and the manual page pass their
# validators without a warning, name the installed launcher and icon, agree
# with each other, and carry the package's version.
#   validate_test.sh PACKAGING_DIR VERSION APP_ID DATA_DIR
set -u
packaging=$1 version=$2 app_id=$3 data=$4
fail() { echo "FAIL: $*" >&2; exit 1; }
desktop=$packaging/searchlight.desktop
metainfo=$packaging/$app_id.metainfo.xml
manual=$packaging/searchlight.6

out=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate: $out"
[ -z "$out" ] || fail "desktop-file-validate warns: $out"
entry() { sed -n "s/^$1=//p" "$desktop"; }
[ "$(entry Type)" = Application ] || fail "Type is \"$(entry Type)\""
[ "$(entry Terminal)" = false ] || fail "Terminal is \"$(entry Terminal)\""
[ "$(entry Categories)" = "Game;ActionGame;" ] || fail "Categories are \"$(entry Categories)\""
[ "$(entry Exec)" = searchlight ] || fail "Exec is \"$(entry Exec)\", not the launcher"
[ "$(entry Icon)" = searchlight ] || fail "Icon is \"$(entry Icon)\", not the installed icon's name"

out=$(appstreamcli validate --no-net "$metainfo" 2>&1) || fail "appstreamcli validate: $out"
if grep -E '^[EWI]: ' <<< "$out"; then fail "appstreamcli validate reports the lines above"; fi
grep -q "<id>$app_id</id>" "$metainfo" || fail "the metainfo's id is not $app_id"
grep -q '<launchable type="desktop-id">searchlight.desktop</launchable>' "$metainfo" \
  || fail "the metainfo does not launch searchlight.desktop"
grep -q '<binary>searchlight</binary>' "$metainfo" || fail "the metainfo does not provide the searchlight binary"
newest=$(grep -o '<release version="[^"]*"' "$metainfo" | head -1 | cut -d'"' -f2)
[ "$newest" = "$version" ] || fail "the metainfo's newest release is $newest, the package's version $version"

out=$(groff -man -ww -z "$manual" 2>&1) || fail "groff: $out"
[ -z "$out" ] || fail "groff warns: $out"
grep -q "^\.TH SEARCHLIGHT 6 .*\"Searchlight $version\"" "$manual" || fail "the manual page is not for version $version"
text=$(groff -man -Tascii -P-cbou -rLL=200n "$manual" 2>/dev/null)
for section in NAME SYNOPSIS DESCRIPTION CONTROLS FILES OUTPUT "EXIT STATUS"; do
  grep -q "^$section" <<< "$text" || fail "the manual page has no $section section"
done
# Every file of the data set is described, and the console lines are quoted.
files=$(cd "$data" && ls)
[ -n "$files" ] || fail "no data files in $data"
for f in $files; do
  grep -qF "$f" <<< "$text" || fail "the manual page does not mention $f"
done
for line in "num reg objects drawn = N" "num projective objects drawn = N" "fps: F"; do
  grep -qF "$line" <<< "$text" || fail "the manual page does not quote \"$line\""
done
echo "PASS: desktop entry, metainfo and manual page valid and consistent (version $version)"
