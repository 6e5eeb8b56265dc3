#!/usr/bin/env bash
# Benchmark of a 50-page harvest: zunbarra-cli against a shell pipeline doing the same job with
# curl, GNU grep and sed (one curl per page), both against the same local service in one run.
#   bench/harvest/run.sh [BUILD_DIR] [RUNS]     (defaults: build, 20)
# zunbarra-service (started here on a free loopback port, 1000 images) answers "image" with the
# adult filter off in 50 pages of 20 hits. Both harvesters must list the same 1000 addresses;
# hyperfine then times RUNS searches of each and the script prints the medians and the ratio.
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build}
runs=${2:-20}

cmake --build "$build" --target zunbarra-cli zunbarra-service >/dev/null
cli=$(realpath "$build/bin/zunbarra-cli")
service=$(realpath "$build/bin/zunbarra-service")

. bench/service-bench.sh
bench_service_start harvest "$service" --images 1000

# The same job as a pipeline: fetch a page, cut the text after the first "src=" of every
# image-link line up to " width" (or the next "src="), go on while the page has the marker.
cat > "$work/pipeline.sh" <<'SCRIPT'
#!/usr/bin/env bash
set -euo pipefail
host=$1
page=$2
start=0
while :; do
    curl -0 -s -f -o "$page" "http://$host/images?q=image&num=20&start=$start&hl=ja&imgsafe=off"
    LC_ALL=C grep -F 'src=/images?q' "$page" |
        LC_ALL=C sed -e 's/src=/\n/' -e 's/^[^\n]*\n//' -e 's/src=.*//' -e 's/ width.*//' \
                     -e "s|^|http://$host|" || true
    LC_ALL=C grep -q 'nav_next.gif' "$page" || break
    start=$((start + 20))
done
SCRIPT
chmod +x "$work/pipeline.sh"

search="$cli --service $host --and image --adult-filter off"
pipeline="$work/pipeline.sh $host $work/page.htm"

# Both must list the same 1000 addresses.
$search > "$work/cli.txt" 2>/dev/null
$pipeline > "$work/pipeline.txt"
count=$(wc -l < "$work/cli.txt")
[ "$count" -eq 1000 ] || { echo "zunbarra-cli listed $count addresses, not 1000" >&2; exit 1; }
cmp -s "$work/cli.txt" "$work/pipeline.txt" ||
    { echo "zunbarra-cli and the pipeline listed different addresses" >&2; exit 1; }

echo "== 50-page search (1000 addresses) from zunbarra-service on loopback, $runs runs each"
hyperfine -N --style basic --warmup 2 --runs "$runs" --export-json "$work/result.json" \
    -n zunbarra-cli "$search" \
    -n curl+grep+sed "$pipeline" >/dev/null
medians=$(awk -F': ' '/"median"/ { gsub(/,/, "", $2); print $2 }' "$work/result.json")
cli_median=$(echo "$medians" | sed -n 1p)
pipeline_median=$(echo "$medians" | sed -n 2p)
awk -v a="$cli_median" -v b="$pipeline_median" 'BEGIN {
    printf "median: zunbarra-cli %.1f ms, curl+grep+sed %.1f ms, ratio %.2f (target <= 1.0)\n",
           a * 1000, b * 1000, a / b }'
