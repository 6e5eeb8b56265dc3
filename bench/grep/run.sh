#!/usr/bin/env bash
# Grep benchmark: zunbarra-regex grep -c against GNU grep on a reproducible 100 MB CP932 corpus.
#   bench/grep/run.sh [RUNS]
# Prints, per case, both line counts (they must agree), the median wall time of each over RUNS
# runs (hyperfine, output piped so GNU grep cannot stop early as it does for /dev/null), the
# ratio ours / GNU grep, and our peak memory.
set -euo pipefail
cd "$(dirname "$0")/../.."
runs=${1:-7}
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DZB_TESTS=OFF >/dev/null
cmake --build build-bench --target zunbarra-regex grep_make_corpus >/dev/null
corpus=build-bench/grep-corpus.txt
[ -f "$corpus" ] || build-bench/bin/grep_make_corpus "$corpus" 100
if ! locale -a | grep -qi '^ja_JP\.sjis$'; then
    localedef -f SHIFT_JIS -i ja_JP ja_JP.SJIS 2>/dev/null || true
fi
ours=build-bench/bin/zunbarra-regex
# 検索.*画像 in CP932, produced by printf inside each command (hyperfine takes UTF-8 arguments
# only; its shell's printf knows octal escapes only)
kensaku_gazou="\"\$(printf '\\214\\237\\215\\365.*\\211\\346\\221\\234')\""

median() {  # median wall time in ms of a command, from hyperfine's JSON
    rm -f /tmp/zb-bench.json
    hyperfine --style none --output=pipe -w 1 -r "$runs" --export-json /tmp/zb-bench.json "$1" \
        >/dev/null 2>&1
    sed -n 's/.*"median": *\([0-9.e+-]*\).*/\1/p' /tmp/zb-bench.json | head -n1 |
        awk '{ printf "%.1f", $1 * 1000 }'
}

run_case() {  # name, our command, GNU grep command
    local name=$1 mine=$2 peer=$3
    local c1 c2 t1 t2 mem
    c1=$(bash -c "$mine")
    c2=$(bash -c "$peer")
    t1=$(median "$mine")
    t2=$(median "$peer")
    mem=$( { /usr/bin/time -f '%M' bash -c "$mine > /dev/null"; } 2>&1 | tail -n1)
    printf '%-28s lines %8s / %8s  %s  median %8s ms / %8s ms  ratio %5.2f  peak %6s KB\n' \
        "$name" "$c1" "$c2" "$([ "$c1" = "$c2" ] && echo agree || echo DIFFER)" "$t1" "$t2" \
        "$(awk -v a="$t1" -v b="$t2" 'BEGIN { print a / b }')" "$mem"
}

echo "corpus: $(stat -c %s "$corpus") bytes, $runs runs per command (ours / GNU grep)"
run_case "src=/images\\?q (literal)" \
    "$ours grep -c 'src=/images\\?q' $corpus" \
    "LC_ALL=C grep -c -F 'src=/images?q' $corpus"
run_case "nav_next.gif (automaton)" \
    "$ours grep -c 'nav_next.gif' $corpus" \
    "LC_ALL=C grep -c 'nav_next.gif' $corpus"
run_case "kensaku.*gazou (CP932)" \
    "$ours grep -c $kensaku_gazou $corpus" \
    "LC_ALL=ja_JP.SJIS grep -c $kensaku_gazou $corpus"
