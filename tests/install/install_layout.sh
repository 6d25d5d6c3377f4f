#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks what a desktop needs there: the programs,
# a valid desktop entry and metainfo, the icons at every size, the manual pages and the manual,
# whose text must read back as written (every message of its troubleshooting chapter, no
# ligature characters) and whose outline must list every chapter.
# Usage: install_layout.sh BUILD_DIR
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
cmake --install "$1" --prefix "$prefix" >/dev/null
cd "$prefix"
id=example.tarnwicksystems.Vemo

QT_QPA_PLATFORM=offscreen bin/vemo --version | grep -qx 'vemo [0-9.]*' || fail "no bin/vemo --version"
bin/vemo-cli --version | grep -qx 'vemo-cli [0-9.]*' || fail "no bin/vemo-cli --version"
[ -x bin/vemo-sim ] || fail "bin/vemo-sim is missing"

desktop=share/applications/$id.desktop
desktop-file-validate "$desktop" || fail "desktop-file-validate refused $desktop"
for line in 'Name=.' 'GenericName=.' 'Comment=.' 'Categories=.' "Icon=$id\$" 'Exec=vemo %F$'; do
  grep -q "^$line" "$desktop" || fail "the desktop entry has no $line"
done

metainfo=share/metainfo/$id.metainfo.xml
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli refused $metainfo"
for element in '<release ' '<content_rating' '<screenshot' "<launchable type=\"desktop-id\">$id.desktop"; do
  grep -q "$element" "$metainfo" || fail "the metainfo has no $element"
done

for size in 16 32 48 64 128 256; do
  file "share/icons/hicolor/${size}x${size}/apps/$id.png" | grep -q "PNG image data, $size x $size" ||
    fail "no $size pixel icon"
done
grep -q '<svg' "share/icons/hicolor/scalable/apps/$id.svg" || fail "no scalable icon"
for page in vemo vemo-cli vemo-sim; do
  gzip -t "share/man/man1/$page.1.gz" 2>/dev/null || fail "no compressed manual page $page(1)"
done

# The manual lives with the program's data; the documentation folder only links to it.
manual=share/vemo/VemoManual.pdf
pages=$(pdfinfo "$manual" | awk '/^Pages:/ { print $2 }') || fail "no readable $manual"
[ "${pages:-0}" -ge 8 ] || fail "the manual has ${pages:-no} pages, fewer than 8"
[ "$(readlink -f share/doc/vemo/VemoManual.pdf)" = "$(readlink -f "$manual")" ] ||
  fail "share/doc/vemo/VemoManual.pdf does not lead to $manual"

# Searching and copying find the text as written: no ligature characters (U+FB00 to U+FB06, in
# UTF-8), and each quoted message of the troubleshooting chapter (lines joined, as a search
# sees them).
text=$(pdftotext -enc UTF-8 "$manual" - | tr '\n' ' ' | tr -s ' ')
ligatures=$({ LC_ALL=C grep -o $'\xef\xac[\x80-\x86]' <<<"$text" || true; } | wc -l)
[ "$ligatures" -eq 0 ] || fail "the manual's text has $ligatures ligature characters"
messages=0
while IFS= read -r message; do
  messages=$((messages + 1))
  grep -qF -- "$message" <<<"$text" || fail "the manual's text lacks $message"
done < <(grep -o '"[^"]*"' "$source_dir/docs/manual/13-troubleshooting.md" | tr -s ' ')
[ "$messages" -ge 10 ] || fail "only $messages messages found in the troubleshooting chapter"

# The outline (as poppler reads it) names every chapter: each level-one heading.
outline=$(pdftohtml -xml -i -q -stdout "$manual" | sed -n '/<outline>/,$p')
chapters=0
while IFS= read -r chapter; do
  chapters=$((chapters + 1))
  grep -qF -- ">$chapter</item>" <<<"$outline" || fail "the outline lacks the chapter $chapter"
done < <(awk '/^```/ { code = !code; next } !code && sub(/^# /, "")' "$source_dir"/docs/manual/*.md)
[ "$chapters" -ge 10 ] || fail "only $chapters chapters found in the manual's source"
echo "installed layout complete; the manual has $pages pages, $chapters chapters in its outline"
