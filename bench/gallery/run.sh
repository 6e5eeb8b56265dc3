#!/usr/bin/env bash
# Benchmark of the window's Thumbnails window, offscreen, against a local zunbarra-service:
#   bench/gallery/run.sh [BUILD_DIR] [RUNS]     (defaults: build, 7)
# (a) a 50-page search for "image" (1000 addresses) in the window with the Thumbnails window
#     shown against the same search with it hidden, RUNS runs each, alternating; prints the
#     median search times and their ratio (target <= 1.1);
# (b) 20,000 tiles appended while the Thumbnails window is shown: resident memory at the end
#     and at its peak (target < 400 MB);
# (c) in the same run, the longest gap of a 10 ms timer while the tiles arrive (target < 50 ms).
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build}
runs=${2:-7}

cmake --build "$build" --target gallery_bench zunbarra-service >/dev/null
bench=$(realpath "$build/bin/gallery_bench")
service=$(realpath "$build/bin/zunbarra-service")
export QT_QPA_PLATFORM=offscreen

work=$(mktemp -d /tmp/zb-bench-gallery-XXXXXX)
service_pid=
cleanup() {
    [ -n "$service_pid" ] && kill "$service_pid" 2>/dev/null && wait "$service_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

coproc SERVICE { exec "$service" --port 0 --images 1000 2>/dev/null; }
service_pid=$SERVICE_PID
read -r first <&"${SERVICE[0]}"
host=127.0.0.1:${first#port=}

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

echo "== (a) 50-page search (1000 addresses) in the window, Thumbnails shown vs hidden, $runs runs each"
for _ in $(seq "$runs"); do
    "$bench" harvest "$host" off >> "$work/off.txt" 2>/dev/null
    "$bench" harvest "$host" on >> "$work/on.txt" 2>/dev/null
done
off=$(median < "$work/off.txt")
on=$(median < "$work/on.txt")
awk -v a="$on" -v b="$off" 'BEGIN {
    printf "median: shown %.1f ms, hidden %.1f ms, ratio %.2f (target <= 1.1)\n", a, b, a / b }'

echo "== (b, c) 20000 tiles appended while the Thumbnails window is shown"
"$service" --expect 'q=image&imgsafe=off' --images 1000 > "$work/paths.txt"
result=$("$bench" tiles "$host" 20000 < "$work/paths.txt" 2>/dev/null)
echo "$result"
echo "$result" | awk '{
    for (i = 1; i <= NF; ++i) { split($i, kv, "="); v[kv[1]] = kv[2] }
    printf "resident %.0f MB, peak %.0f MB (target < 400 MB); longest 10 ms timer gap %d ms (target < 50 ms)\n",
           v["rss_kb"] / 1024, v["hwm_kb"] / 1024, v["longest_gap_ms"] }'
