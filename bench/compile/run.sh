#!/usr/bin/env bash
# Compile-time benchmark of the DFA construction: builds a release binary and runs it.
#   bench/compile/run.sh [RUNS]
set -euo pipefail
cd "$(dirname "$0")/../.."
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DZB_TESTS=OFF >/dev/null
cmake --build build-bench --target compile_bench >/dev/null
build-bench/bin/compile_bench "${1:-7}"

# Wall time depends on the machine's load and caches; instruction counts do not.
if command -v valgrind >/dev/null; then
    declare -A ir
    for n in 12 14; do
        ir[$n]=$(valgrind --tool=callgrind --callgrind-out-file=/dev/null \
                     build-bench/bin/compile_bench 1 "$n" 2>&1 | sed -n 's/.*I *refs: *//p' | tr -d ,)
        echo "instructions n=$n: ${ir[$n]}"
    done
    awk -v a="${ir[14]}" -v b="${ir[12]}" 'BEGIN { printf "instruction ratio n14/n12 = %.2f\n", a / b }'
fi
