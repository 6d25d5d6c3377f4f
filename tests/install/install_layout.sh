#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks what a desktop needs there: the three
# programs (which answer --version), a valid desktop entry and AppStream metainfo, the icons at
# every size, the manual pages, and the manual with its pages.
# Usage: install_layout.sh BUILD_DIR
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null
id=example.tarnwicksystems.Vemo

for program in vemo vemo-cli vemo-sim; do
  [ -x "$prefix/bin/$program" ] || fail "bin/$program is missing"
done
QT_QPA_PLATFORM=offscreen "$prefix/bin/vemo" --version | grep -qx 'vemo [0-9.]*' ||
  fail "the installed vemo does not answer --version"
"$prefix/bin/vemo-cli" --version | grep -qx 'vemo-cli [0-9.]*' ||
  fail "the installed vemo-cli does not answer --version"

desktop=$prefix/share/applications/$id.desktop
[ -f "$desktop" ] || fail "no desktop entry $id.desktop"
desktop-file-validate "$desktop" || fail "desktop-file-validate refused the entry"
for key in Name GenericName Comment Categories Icon; do
  grep -q "^$key=." "$desktop" || fail "the desktop entry has no $key"
done
grep -qx 'Exec=vemo %F' "$desktop" || fail "the desktop entry does not pass files to vemo"
grep -qx "Icon=$id" "$desktop" || fail "the desktop entry names another icon"

metainfo=$prefix/share/metainfo/$id.metainfo.xml
[ -f "$metainfo" ] || fail "no metainfo $id.metainfo.xml"
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli refused the metainfo"
for element in '<release ' '<content_rating' '<screenshot' "<launchable type=\"desktop-id\">$id.desktop"; do
  grep -q "$element" "$metainfo" || fail "the metainfo has no $element"
done

for size in 16 32 48 64 128 256; do
  icon=$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png
  [ -f "$icon" ] || fail "no ${size}x${size} icon"
  file "$icon" | grep -q "PNG image data, $size x $size" || fail "$icon is not a $size pixel PNG"
done
svg=$prefix/share/icons/hicolor/scalable/apps/$id.svg
[ -f "$svg" ] || fail "no scalable icon"
grep -q '<svg' "$svg" || fail "the scalable icon is not an SVG"

for page in vemo vemo-cli vemo-sim; do
  [ -f "$prefix/share/man/man1/$page.1" ] || fail "no manual page $page(1)"
done

manual=$prefix/share/doc/vemo/VemoManual.pdf
[ -f "$manual" ] || fail "no manual in share/doc/vemo"
pages=$(pdfinfo "$manual" | awk '/^Pages:/ { print $2 }')
[ "${pages:-0}" -ge 8 ] || fail "the manual has ${pages:-no} pages, fewer than 8"
text=$(pdftotext "$manual" -)
grep -q "When an update fails half way" <<<"$text" || fail "the manual's text cannot be read back"
echo "installed layout complete; the manual has $pages pages"
