#!/usr/bin/env bash
# Makes the Debian package with cpack, checks its name and computed Depends, extracts it with
# dpkg-deb and runs the extracted vemo-cli.
# Usage: debian_package.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >/dev/null) ||
  fail "cpack -G DEB failed"
deb=$(ls "$work"/out/*.deb)
[ "$(dpkg-deb -f "$deb" Package)" = vemo ] || fail "the package is not named vemo"
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libqt6core6 libqt6gui6 libqt6widgets6 libqt6serialport6 libqt6svg6 libjpeg \
           qt6-qpa-plugins; do
  grep -q "$lib" <<<"$depends" || fail "Depends does not name $lib: $depends"
done

dpkg-deb -x "$deb" "$work/root"
grep -q '^  export ' <<<"$("$work/root/usr/bin/vemo-cli" --help)" ||
  fail "the extracted vemo-cli --help lists no commands"
for file in bin/vemo bin/vemo-sim share/doc/vemo/VemoManual.pdf share/man/man1/vemo.1; do
  [ -e "$work/root/usr/$file" ] || fail "the package has no usr/$file"
done
echo "package $(basename "$deb") is complete"
