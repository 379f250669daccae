#!/usr/bin/env bash
# The desktop entry, the AppStream metainfo and the manual page pass their
# validators without a warning, name the installed launcher and icon, agree
# with each other, and carry the package's version, as the changelog does.
# The licence is MIT throughout: LICENSE, the copyright file in Debian's
# machine-readable format (the same text) and the metainfo.
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
changelog=$packaging/changelog
top_entry=$(head -1 "$changelog")
[[ $top_entry =~ ^searchlight\ \(([^\)]*)\)\ [a-z-]+\;\ urgency=[a-z]+$ ]] \
  || fail "the changelog's first line is not a Debian changelog entry: $top_entry"
[ "${BASH_REMATCH[1]}" = "$version" ] || fail "the changelog's newest entry is ${BASH_REMATCH[1]}, the package's version $version"
grep -qE '^ -- .+ <.+@.+>  [A-Z][a-z]{2}, [0-9]{2} [A-Z][a-z]{2} [0-9]{4} [0-9:]{8} [+-][0-9]{4}$' "$changelog" \
  || fail "the changelog has no trailer line naming the maintainer and the date"

license=$packaging/../LICENSE
copyright=$packaging/copyright
[ "$(head -1 "$license")" = "MIT License" ] || fail "LICENSE is not the MIT licence: $(head -1 "$license")"
grep -qx 'Copyright (c) 2026 The Searchlight developers' "$license" || fail "LICENSE lacks the copyright line"
grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' "$copyright" \
  || fail "the copyright file does not name the machine-readable format"
grep -qx 'Copyright: 2026 The Searchlight developers' "$copyright" || fail "the copyright file lacks the copyright line"
# The stand-alone licence paragraph, unfolded, is LICENSE from its first
# paragraph of terms on (Debian calls the MIT licence Expat).
terms=$(awk '/^License: Expat$/ { n++; next }
             n == 2 { if (!/^ /) exit; line = substr($0, 2); print (line == "." ? "" : line) }' "$copyright")
[ -n "$terms" ] || fail "the copyright file has no stand-alone Expat licence paragraph"
[ "$terms" = "$(sed -n '/^Permission is hereby granted/,$p' "$license")" ] \
  || fail "the copyright file's licence text differs from LICENSE: $(diff <(echo "$terms") <(sed -n '/^Permission/,$p' "$license"))"
grep -q '<project_license>MIT</project_license>' "$metainfo" || fail "the metainfo's project_license is not MIT"

echo "PASS: desktop entry, metainfo and manual page valid and consistent (version $version)"
