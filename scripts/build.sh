#!/usr/bin/env bash
# Configures and builds one build folder.
#   scripts/build.sh [normal|asan]   (default normal: build/; asan: build-asan/)
set -euo pipefail
cd "$(dirname "$0")/.."
kind=${1:-normal}
case "$kind" in
    normal) dir=build; flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DZB_SKIP=) ;;
    asan) dir=build-asan; flags=(-DCMAKE_BUILD_TYPE=Debug -DZB_SANITIZE=ON -DZB_SKIP=) ;;
    *) echo "usage: $0 [normal|asan]" >&2; exit 2 ;;
esac
cmake -S . -B "$dir" -G Ninja "${flags[@]}" >/dev/null
cmake --build "$dir"
