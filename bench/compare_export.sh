#!/usr/bin/env bash
# Times the export's GIF writing against ImageMagick's convert on the same rendered plots and
# prints the ratio (ours / convert); the export needs at most 0.5 on each:
#   plot   the real renderer's default 700 x 350 plot
#   logo   a 4000 x 2000 plot over the background logo
#   photo  the same with sensor-like noise, as a photographed logo: it dithers
#   bench/compare_export.sh [BUILD_DIR]      (default: build; CONVERT=path, RUNS=n)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
bench="$build/bench/bench_export"
convert=${CONVERT:-convert}
runs=${RUNS:-3}
[ -x "$bench" ] || { echo "build $bench first: cmake --build --preset default --target bench_export" >&2; exit 1; }
command -v "$convert" >/dev/null || { echo "ImageMagick's convert is not installed" >&2; exit 1; }

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
"$bench" --write-png "$tmp" 2>/dev/null

# Best wall time of several runs, in milliseconds.
convert_ms() {
  local best=""
  for _ in $(seq "$runs"); do
    local t0 t1 ms
    t0=$(date +%s%N)
    "$convert" "$1" -dither FloydSteinberg -colors 256 "$tmp/out.gif"
    t1=$(date +%s%N)
    ms=$(( (t1 - t0) / 1000000 ))
    if [ -z "$best" ] || [ "$ms" -lt "$best" ]; then best=$ms; fi
  done
  echo "$best"
}

ours=$("$bench" --benchmark_filter=BM_ExportGif --benchmark_format=csv 2>/dev/null |
       awk -F, '/^"BM_/ { gsub(/"/, "", $1); print $1, $3 }')
status=0
for pair in "BM_ExportGifPlot700x350 plot" "BM_ExportGifLogo4000x2000 logo" \
            "BM_ExportGifPhotoLogo4000x2000 photo"; do
  set -- $pair
  ms_ours=$(awk -v n="$1" 'index($1, n) == 1 { print $2 }' <<<"$ours")
  ms_conv=$(convert_ms "$tmp/$2.png")
  ratio=$(awk -v a="$ms_ours" -v b="$ms_conv" 'BEGIN { printf "%.3f", a / b }')
  verdict=$(awk -v r="$ratio" 'BEGIN { print (r <= 0.5 ? "ok" : "TOO SLOW") }')
  [ "$verdict" = ok ] || status=1
  printf '%-32s ours %9.2f ms   convert %6d ms   ratio %s  %s\n' "$1" "$ms_ours" "$ms_conv" "$ratio" "$verdict"
done
exit $status
