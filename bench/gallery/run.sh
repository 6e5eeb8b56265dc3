#!/usr/bin/env bash
# Benchmark of the window's Thumbnails window, offscreen, against a local zunbarra-service:
#   bench/gallery/run.sh [BUILD_DIR] [RUNS]     (defaults: build, 7)
# (a) a 50-page search for "image" (1000 addresses) in the window with the Thumbnails window
#     shown against the same search with it hidden, RUNS runs each, alternating; prints the
#     median search times (wall clock, and the process's CPU time, which other load on the
#     machine disturbs less) and their ratios (target <= 1.1);
# (b) 20,000 tiles appended while the Thumbnails window is shown: resident memory at the end
#     and at its peak (target < 400 MB), and again after scrolling through the whole grid in
#     400 steps (some 2,600 pictures fetched, more than the caches keep);
# (c) in the same runs, the longest gap of a 10 ms timer while the tiles arrive (target < 50 ms).
# (b) and (c) run 3 times; the medians are printed.
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build}
runs=${2:-7}

cmake --build "$build" --target gallery_bench zunbarra-service >/dev/null
bench=$(realpath "$build/bin/gallery_bench")
service=$(realpath "$build/bin/zunbarra-service")
export QT_QPA_PLATFORM=offscreen

. bench/service-bench.sh
bench_service_start gallery "$service" --images 1000

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

echo "== (a) 50-page search (1000 addresses) in the window, Thumbnails shown vs hidden, $runs runs each"
for _ in $(seq "$runs"); do
    "$bench" harvest "$host" off >> "$work/off.txt" 2>/dev/null
    "$bench" harvest "$host" on >> "$work/on.txt" 2>/dev/null
done
off=$(cut -d' ' -f1 "$work/off.txt" | median)
on=$(cut -d' ' -f1 "$work/on.txt" | median)
off_cpu=$(cut -d' ' -f2 "$work/off.txt" | median)
on_cpu=$(cut -d' ' -f2 "$work/on.txt" | median)
awk -v a="$on" -v b="$off" -v c="$on_cpu" -v d="$off_cpu" 'BEGIN {
    printf "median wall: shown %.1f ms, hidden %.1f ms, ratio %.2f (target <= 1.1)\n", a, b, a / b
    printf "median CPU:  shown %.1f ms, hidden %.1f ms, ratio %.2f\n", c, d, c / d }'

echo "== (b, c) 20000 tiles appended while the Thumbnails window is shown, 3 runs"
"$service" --expect 'q=image&imgsafe=off' --images 1000 > "$work/paths.txt"
for _ in 1 2 3; do
    "$bench" tiles "$host" 20000 < "$work/paths.txt" 2>/dev/null | tee -a "$work/tiles.txt"
done
value() { awk -v key="$1" '{ for (i = 1; i <= NF; ++i) { split($i, kv, "="); if (kv[1] == key) print kv[2] } }' "$work/tiles.txt"; }
rss=$(value rss_kb | median)
hwm=$(value hwm_kb | sort -g | tail -1)
gap=$(value longest_gap_ms | median)
scrolled=$(value scrolled_rss_kb | median)
scrolled_hwm=$(value scrolled_hwm_kb | sort -g | tail -1)
fetched=$(value scrolled_fetched | median)
awk -v r="$rss" -v h="$hwm" -v g="$gap" -v s="$scrolled" -v sh="$scrolled_hwm" -v f="$fetched" 'BEGIN {
    printf "after the tiles arrived: median resident %.0f MB, highest peak %.0f MB (target < 400 MB)\n", r / 1024, h / 1024
    printf "after scrolling through all tiles (%d pictures fetched): median resident %.0f MB, highest peak %.0f MB\n", f, s / 1024, sh / 1024
    printf "median longest 10 ms timer gap while the tiles arrived: %d ms (target < 50 ms)\n", g }'
