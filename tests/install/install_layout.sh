#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks what a desktop needs there: the programs,
# a valid desktop entry and metainfo, the icons at every size, the manual pages and the manual.
# Usage: install_layout.sh BUILD_DIR
set -euo pipefail
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
  [ -f "share/man/man1/$page.1" ] || fail "no manual page $page(1)"
done

manual=share/doc/vemo/VemoManual.pdf
pages=$(pdfinfo "$manual" | awk '/^Pages:/ { print $2 }') || fail "no readable $manual"
[ "${pages:-0}" -ge 8 ] || fail "the manual has ${pages:-no} pages, fewer than 8"
grep -q "When an update fails half way" <<<"$(pdftotext "$manual" -)" ||
  fail "the manual's text cannot be read back"
echo "installed layout complete; the manual has $pages pages"
