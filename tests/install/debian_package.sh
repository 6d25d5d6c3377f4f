#!/usr/bin/env bash
# Makes the Debian package with cpack, checks its name, its computed Depends and what Debian
# asks of its files and description, runs lintian on it where lintian is installed (no error,
# no warning), extracts it with dpkg-deb and runs the extracted vemo-cli.
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
for lib in libqt6core6 libqt6gui6 libqt6widgets6 libqt6serialport6 libqt6svg6 libjpeg; do
  grep -q "$lib" <<<"$depends" || fail "Depends does not name $lib: $depends"
done
long=$(dpkg-deb -f "$deb" Description | awk 'length > 80')
[ -z "$long" ] || fail "description lines longer than 80 characters: $long"

dpkg-deb -x "$deb" "$work/root"
grep -q '^  export ' <<<"$("$work/root/usr/bin/vemo-cli" --help)" ||
  fail "the extracted vemo-cli --help lists no commands"
for file in bin/vemo bin/vemo-sim share/vemo/VemoManual.pdf share/man/man1/vemo.1.gz \
            share/doc/vemo/copyright share/doc/vemo/changelog.gz; do
  [ -e "$work/root/usr/$file" ] || fail "the package has no usr/$file"
done
grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' \
  "$work/root/usr/share/doc/vemo/copyright" || fail "the copyright file is not machine-readable"

if command -v lintian >/dev/null; then
  report=$(lintian --fail-on error,warning "$deb" 2>&1) ||
    fail "lintian finds errors or warnings:"$'\n'"$report"
  echo "lintian: ${report:-no remarks}"
else
  echo "lintian is not installed; the package was not checked with it"
fi
echo "package $(basename "$deb") is complete"
