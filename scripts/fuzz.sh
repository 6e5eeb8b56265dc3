#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs one of them.
#   scripts/fuzz.sh TARGET [SECONDS] [extra libFuzzer flags...]
# New inputs go to build-fuzz/corpus/TARGET; the kept corpus (seeds and crash inputs that are
# now regression tests) is tests/fuzz/<folder>/corpus/<target>. The time-out per input is 30 s:
# sanitizers and coverage make the engine tens of times slower, and a compile may use its whole
# work bound.
set -euo pipefail
cd "$(dirname "$0")/.."
target=${1:?usage: scripts/fuzz.sh TARGET [SECONDS] [flags...]}
seconds=${2:-600}
shift $(( $# >= 2 ? 2 : 1 ))
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DZB_FUZZ=ON -DZB_SANITIZE=ON >/dev/null
cmake --build build-fuzz --target "$target"
seeds=$(find tests/fuzz -type d -path "*/corpus/$target" | head -n1)
mkdir -p "build-fuzz/corpus/$target" "build-fuzz/artifacts/$target"
exe=build-fuzz/bin/$target
ASAN_OPTIONS=detect_leaks=1 "$exe" -max_total_time="$seconds" -timeout=30 -rss_limit_mb=4096 \
    -artifact_prefix="build-fuzz/artifacts/$target/" "$@" "build-fuzz/corpus/$target" ${seeds:+"$seeds"}
