#!/usr/bin/env bash
# Grep benchmark: zunbarra-regex grep -c against GNU grep and ripgrep (rg -c) on a reproducible
# 100 MB CP932 corpus.
#   bench/grep/run.sh [RUNS]
# Prints, per case, the line counts (they must agree), the median wall time of each program over
# RUNS rounds (every program once a round, in turn; output piped), the ratios ours / GNU grep and
# ours / ripgrep, our peak resident memory (the pages of the file mapped at the time count in
# it), and the mean CPU time (user + system, every thread) of each program.
# ZB_BENCH_BUILD=DIR builds and runs ours from DIR as it is configured (a Release build when it
# is new; default build-bench). ZB_BENCH_BEFORE=PROGRAM also times another zunbarra-regex (an earlier
# build, say) in the same run, as "before".
set -euo pipefail
cd "$(dirname "$0")/../.."
runs=${1:-7}
build=${ZB_BENCH_BUILD:-build-bench}
before=${ZB_BENCH_BEFORE:-}
if [ -z "${ZB_BENCH_BUILD:-}" ] || [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DZB_TESTS=OFF >/dev/null
fi
cmake --build "$build" --target zunbarra-regex grep_make_corpus >/dev/null
corpus=$build/grep-corpus.txt
[ -f "$corpus" ] || "$build/bin/grep_make_corpus" "$corpus" 100
if ! locale -a | grep -qi '^ja_JP\.sjis$'; then
    localedef -f SHIFT_JIS -i ja_JP ja_JP.SJIS 2>/dev/null || true
fi
ours=$build/bin/zunbarra-regex
# 検索.*画像 in CP932, produced by printf inside each command (so this script stays UTF-8 text;
# printf is given octal escapes). ripgrep takes it as raw bytes in an ASCII
# pattern: (?-u) makes \xNN a byte and . any byte but LF.
kensaku_gazou="\"\$(printf '\\214\\237\\215\\365.*\\211\\346\\221\\234')\""
kensaku_gazou_rg="'(?-u)\\x8c\\x9f\\x8d\\xf5.*\\x89\\xe6\\x91\\x9c'"

# Median wall times in ms of several commands, measured in rounds: each round runs every command
# once, in turn, so a change in the machine's load touches all of them alike. Output goes to a
# pipe (GNU grep stops at the first match when writing to /dev/null). Prints the medians in the
# order of the commands, then the mean CPU time (user + system, all threads) of each in the same
# order. One round first warms the page cache.
medians() {
    local -a times=() cpu=()
    local r i t0 t1 c0 c1
    for ((r = 0; r <= runs; r++)); do
        for ((i = 1; i <= $#; i++)); do
            childCpu c0
            t0=$EPOCHREALTIME
            eval "${!i}" | cat >/dev/null
            t1=$EPOCHREALTIME
            childCpu c1
            [ "$r" -eq 0 ] && continue
            times[i]+="$(awk -v a="$t0" -v b="$t1" 'BEGIN { print (b - a) * 1000 }') "
            cpu[i]=$(awk -v s="${cpu[i]:-0}" -v a="$c0" -v b="$c1" 'BEGIN { print s + b - a }')
        done
    done
    for ((i = 1; i <= $#; i++)); do
        printf '%s\n' ${times[i]} | sort -g | awk '{ v[NR] = $1 }
            END { m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2; printf "%.1f ", m }'
    done
    for ((i = 1; i <= $#; i++)); do
        awk -v s="${cpu[i]}" -v n="$runs" 'BEGIN { printf "%.1f ", s / n }'
    done
    echo
}

# Sets the variable named $1 to the CPU time in ms that the finished children of this shell have
# used (user + system). `times` must run in this shell itself, so it writes to a file, and the
# parsing forks nothing (a child's CPU time would count).
timesFile=$(mktemp)
trap 'rm -f "$timesFile"' EXIT
childCpu() {
    local -a lines
    local field ms=0 min sec
    times >"$timesFile"
    mapfile -t lines <"$timesFile"
    for field in ${lines[1]}; do  # e.g. 0m0.012s
        min=${field%%m*}
        sec=${field#*m}
        sec=${sec%s}
        ms=$((ms + min * 60000 + ${sec%.*} * 1000 + 10#${sec#*.}))
    done
    printf -v "$1" '%s' "$ms"
}

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

run_case() {  # name, our arguments (PATTERN FILE), GNU grep command, ripgrep command
    local name=$1 mine="$ours grep -c $2" grep=$3 rg=$4
    local c1 c2 c3 c0 t1 t2 t3 t0 mem agree
    c1=$(bash -c "$mine")
    c2=$(bash -c "$grep")
    c3=$(bash -c "$rg")
    agree=$([ "$c1" = "$c2" ] && [ "$c1" = "$c3" ] && echo agree || echo DIFFER)
    if [ -n "$before" ]; then
        c0=$(bash -c "$before grep -c $2")
        [ "$c0" = "$c1" ] || agree=DIFFER
    fi
    local u1 u2 u3 u0
    if [ -n "$before" ]; then
        read -r t1 t2 t3 t0 u1 u2 u3 u0 < <(medians "$mine" "$grep" "$rg" "$before grep -c $2")
    else
        read -r t1 t2 t3 u1 u2 u3 < <(medians "$mine" "$grep" "$rg")
    fi
    mem=$( { /usr/bin/time -f '%M' bash -c "$mine > /dev/null"; } 2>&1 | tail -n1)
    printf '%s\n  lines %s / %s / %s  %s\n' "$name" "$c1" "$c2" "$c3" "$agree"
    if [ -n "$before" ]; then
        printf '  median before %7s ms  ' "$t0"
    else
        printf '  median '
    fi
    printf 'ours %7s ms  GNU grep %7s ms  ripgrep %7s ms\n' "$t1" "$t2" "$t3"
    printf '  ratio ours/GNU grep %5s  ours/ripgrep %5s' "$(ratio "$t1" "$t2")" "$(ratio "$t1" "$t3")"
    [ -z "$before" ] || printf '  ours/before %5s' "$(ratio "$t1" "$t0")"
    printf '  peak %s KB\n' "$mem"
    [ -z "$before" ] || printf '  cpu    before %7s ms  ' "$u0"
    [ -n "$before" ] || printf '  cpu    '
    printf 'ours %7s ms  GNU grep %7s ms  ripgrep %7s ms\n' "$u1" "$u2" "$u3"
}

echo "corpus: $(stat -c %s "$corpus") bytes, $runs runs per command (lines: ours / GNU grep / ripgrep)"
run_case "src=/images\\?q (literal)" \
    "'src=/images\\?q' $corpus" \
    "LC_ALL=C grep -c -F 'src=/images?q' $corpus" \
    "rg -c -F 'src=/images?q' $corpus"
run_case "nav_next.gif (automaton)" \
    "'nav_next.gif' $corpus" \
    "LC_ALL=C grep -c 'nav_next.gif' $corpus" \
    "rg -c 'nav_next.gif' $corpus"
run_case "kensaku.*gazou (CP932)" \
    "$kensaku_gazou $corpus" \
    "LC_ALL=ja_JP.SJIS grep -c $kensaku_gazou $corpus" \
    "rg -c $kensaku_gazou_rg $corpus"
