#!/usr/bin/env bash
# Benchmark of downloads: a 50-page search with `zunbarra-cli --download DIR` (1000 thumbnails,
# 4 at once) against curl fetching the same 1000 addresses with `xargs -P4`, one curl a file,
# both against the same local service in one run.
#   bench/download/run.sh [BUILD_DIR] [RUNS]     (defaults: build, 5)
# zunbarra-service (started here on a free loopback port, 1000 images) answers "image" with the
# adult filter off in 50 pages of 20 hits. Our time includes the 50 page requests; curl's list is
# made beforehand. Each round runs both, in turn, into empty folders; the script prints the
# median wall times, the ratio ours / curl, and checks that every file we saved is byte for byte
# the one curl saved (cmp).
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build}
runs=${2:-5}

cmake --build "$build" --target zunbarra-cli zunbarra-service >/dev/null
cli=$(realpath "$build/bin/zunbarra-cli")
service=$(realpath "$build/bin/zunbarra-service")

. bench/service-bench.sh
bench_service_start download "$service" --images 1000

# The list, and curl's job: one line "OUT URL" per thumbnail, named as we name them.
"$cli" --service "$host" --and image --adult-filter off > "$work/list.txt" 2>/dev/null
count=$(wc -l < "$work/list.txt")
[ "$count" -eq 1000 ] || { echo "zunbarra-cli listed $count addresses, not 1000" >&2; exit 1; }
sed -e 's|^\(.*tbn:\(.*\)\)$|'"$work"'/curl/\2.png \1|' "$work/list.txt" > "$work/jobs.txt"

ours() {
    rm -rf "$work/ours"
    "$cli" --service "$host" --and image --adult-filter off --download "$work/ours" --jobs 4 \
        > /dev/null 2>&1
}
peer() {
    rm -rf "$work/curl" && mkdir "$work/curl"
    xargs -P4 -L1 curl -s -f -o < "$work/jobs.txt"
}

declare -a t_ours=() t_curl=()
elapsed() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.1f", (b - a) * 1000 }'; }
for ((r = 0; r <= runs; r++)); do  # round 0 warms up and is not counted
    t0=$EPOCHREALTIME; ours; t1=$EPOCHREALTIME
    peer; t2=$EPOCHREALTIME
    if [ "$r" -gt 0 ]; then
        t_ours+=("$(elapsed "$t0" "$t1")")
        t_curl+=("$(elapsed "$t1" "$t2")")
    fi
done
median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 }
    END { printf "%.1f", (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
m_ours=$(median "${t_ours[@]}")
m_curl=$(median "${t_curl[@]}")

# Every file of the last round: the same names, the same bytes.
same=0
differ=0
for f in "$work"/curl/*.png; do
    if cmp -s "$f" "$work/ours/${f##*/}"; then same=$((same + 1)); else differ=$((differ + 1)); fi
done
extra=$(( $(ls -A "$work/ours" | wc -l) - same - differ ))

echo "== 50-page search, 1000 thumbnails from zunbarra-service on loopback, $runs runs each"
printf 'median  zunbarra-cli --download (search included) %8s ms\n' "$m_ours"
printf 'median  curl, xargs -P4 (list given)               %8s ms\n' "$m_curl"
printf 'ratio   ours / curl %s\n' "$(awk -v a="$m_ours" -v b="$m_curl" 'BEGIN { printf "%.2f", a / b }')"
printf 'files   %d identical, %d different, %d only ours\n' "$same" "$differ" "$extra"
[ "$same" -eq 1000 ] && [ "$differ" -eq 0 ] && [ "$extra" -eq 0 ]
