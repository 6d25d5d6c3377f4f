#!/usr/bin/env bash
# Times our GIF encoder against ImageMagick's convert on the same two pictures and prints the
# ratio (ours / convert); the export needs at most 0.5 on both.
#   bench/compare_gif.sh [BUILD_DIR]      (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
bench="$build/bench/bench_gif"
convert=${CONVERT:-convert}
runs=${RUNS:-3}
[ -x "$bench" ] || { echo "build $bench first: cmake --build --preset default --target bench_gif" >&2; exit 1; }
command -v "$convert" >/dev/null || { echo "ImageMagick's convert is not installed" >&2; exit 1; }

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
"$bench" --write-ppm "$tmp"
for name in plot photo; do
  "$convert" "$tmp/$name.ppm" "$tmp/$name.png"
done

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

ours=$("$bench" --benchmark_format=csv 2>/dev/null | awk -F, '/^"BM_Gif/ { gsub(/"/, "", $1); print $1, $3 }')
status=0
for pair in "BM_GifPlot700x350 plot" "BM_GifPhoto4000x2000 photo"; do
  set -- $pair
  ms_ours=$(awk -v n="$1" 'index($1, n) == 1 { print $2 }' <<<"$ours")
  ms_conv=$(convert_ms "$tmp/$2.png")
  ratio=$(awk -v a="$ms_ours" -v b="$ms_conv" 'BEGIN { printf "%.3f", a / b }')
  verdict=$(awk -v r="$ratio" 'BEGIN { print (r <= 0.5 ? "ok" : "TOO SLOW") }')
  [ "$verdict" = ok ] || status=1
  printf '%-22s ours %9.2f ms   convert %6d ms   ratio %s  %s\n' "$1" "$ms_ours" "$ms_conv" "$ratio" "$verdict"
done
exit $status
