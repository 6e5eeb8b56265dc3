#!/usr/bin/env bash
# Benchmark of zunbarra-service's result pages against the size of its corpus: the pages of a
# full harvest from a 200,000-image corpus against the same from the default 3,000 images, both
# served in the same run.
#   bench/service/run.sh [BUILD_DIR] [RUNS]     (defaults: build, 5)
# For each query, the page addresses of the harvest (following nav_next.gif) are collected first;
# hyperfine then times RUNS fetches of all of them by one curl (so process starts do not swamp
# the service's time; the cost of one curl with one small page is printed too), each run after fetching other searches so that no hit list of the query
# is kept from the run before. A page costs the median harvest time divided by the pages.
# Also the startup: the median time of RUNS starts up to the corpus being ready (--expect with
# no word, which searches nothing).
# ZB_BENCH_BEFORE=PROGRAM also times another zunbarra-service (an earlier build, say) in the same
# run, as "before", and checks that its pages are byte for byte the same as ours.
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build}
runs=${2:-5}
before=${ZB_BENCH_BEFORE:-}

cmake --build "$build" --target zunbarra-service >/dev/null
ours=$(realpath "$build/bin/zunbarra-service")
[ -z "$before" ] || before=$(realpath "$before")
sizes=(3000 200000)
queries=("q=cat+red&imgsafe=off" "q=cat&imgsafe=on")

work=$(mktemp -d /tmp/zb-bench-service-XXXXXX)
pids=()
cleanup() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null && wait "$p" 2>/dev/null; done
    rm -rf "$work"
}
trap cleanup EXIT

# Starts a service; sets $port.
start() {  # program, images
    local fifo=$work/port-$RANDOM$RANDOM
    mkfifo "$fifo"
    "$1" --port 0 --images "$2" >"$fifo" 2>/dev/null &
    pids+=($!)
    read -r first <"$fifo"
    port=${first#port=}
}

median_ms() {  # from hyperfine's JSON: the median of the first command, in ms
    awk -F': ' '/"median"/ { gsub(/,/, "", $2); printf "%.1f", $2 * 1000; exit }' "$1"
}

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

programs=(ours)
[ -z "$before" ] || programs=(before ours)
declare -A port_of
for name in "${programs[@]}"; do
    program=$ours
    [ "$name" = ours ] || program=$before
    for size in "${sizes[@]}"; do
        start "$program" "$size"
        port_of[$name-$size]=$port
    done
done

# Eight other searches, one hit each, fetched before every timed run.
evict=$work/evict.txt
for word in dog sea sky bird book snow ship horse; do
    printf 'url = "http://127.0.0.1:PORT/images?q=%s&num=1"\noutput = "/dev/null"\n' "$word"
done >"$evict"

echo "== result pages of a full harvest, $runs runs each (ms per page: median / pages)"
for query in "${queries[@]}"; do
    for size in "${sizes[@]}"; do
        # The harvest's addresses, as a client following the next-page marker asks for them.
        list=$work/pages-$size.txt
        : >"$list"
        start_at=0
        while :; do
            url="http://127.0.0.1:PORT/images?$query&num=20&start=$start_at&hl=ja"
            printf 'url = "%s"\noutput = "/dev/null"\n' "$url" >>"$list"
            curl -0 -s -f -o "$work/page.htm" "${url/PORT/${port_of[ours-$size]}}"
            LC_ALL=C grep -q 'nav_next.gif' "$work/page.htm" || break
            start_at=$((start_at + 20))
        done
        pages=$(grep -c '^url' "$list")
        line="$query, $size images, $pages pages:"
        for name in "${programs[@]}"; do
            p=${port_of[$name-$size]}
            sed "s/PORT/$p/" "$list" >"$work/urls-$name.txt"
            sed "s/PORT/$p/" "$evict" >"$work/evict-$name.txt"
            if [ "$name" = before ]; then
                # Every page's bytes must be the same.
                a=$(sed 's|output = "/dev/null"|output = "-"|' "$work/urls-before.txt" |
                    curl -0 -s -K - | md5sum)
                sed "s/PORT/${port_of[ours-$size]}/" "$list" >"$work/urls-ours.txt"
                b=$(sed 's|output = "/dev/null"|output = "-"|' "$work/urls-ours.txt" |
                    curl -0 -s -K - | md5sum)
                [ "$a" = "$b" ] || { echo "pages differ from before: $query $size" >&2; exit 1; }
            fi
            hyperfine -N --style none --runs "$runs" --export-json "$work/r.json" \
                --prepare "curl -0 -s -K $work/evict-$name.txt" \
                "curl -0 -s -K $work/urls-$name.txt" >/dev/null 2>&1
            ms=$(median_ms "$work/r.json")
            per=$(awk -v t="$ms" -v n="$pages" 'BEGIN { printf "%.2f", t / n }')
            eval "per_${name}_${size}=$per"
            line+=" $name $per ms/page ($ms ms)"
        done
        echo "  $line"
    done
    for name in "${programs[@]}"; do
        small=per_${name}_3000
        large=per_${name}_200000
        echo "  ratio $name 200000 / $name 3000 per page: $(ratio "${!large}" "${!small}")"
    done
    if [ -n "$before" ]; then
        echo "  ratio ours 200000 / before 3000 per page: $(ratio "$per_ours_200000" "$per_before_3000") (target <= 1.0)"
    fi
done

hyperfine -N --style none --runs "$runs" --export-json "$work/c.json" \
    "curl -0 -s -o /dev/null http://127.0.0.1:${port_of[ours-3000]}/" >/dev/null 2>&1
echo "  (one curl fetching the small start page, all in: $(median_ms "$work/c.json") ms)"

echo "== startup to a ready corpus (--expect q=), median of $runs"
for name in "${programs[@]}"; do
    program=$ours
    [ "$name" = ours ] || program=$before
    line="  $name:"
    for size in "${sizes[@]}"; do
        hyperfine -N --style none --runs "$runs" --export-json "$work/s.json" \
            "$program --images $size --expect q=" >/dev/null 2>&1
        line+=" $size images $(median_ms "$work/s.json") ms"
    done
    echo "$line"
done
