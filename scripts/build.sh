#!/usr/bin/env bash
# Configures and builds one build folder, with warnings as errors.
#   scripts/build.sh [normal|asan|release]
#   normal (default): build/, RelWithDebInfo; asan: build-asan/, Debug with AddressSanitizer and
#   UndefinedBehaviorSanitizer; release: build-release/, Release without the tests (installation
#   and package)
set -euo pipefail
cd "$(dirname "$0")/.."
kind=${1:-normal}
case "$kind" in
    normal) dir=build; flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo) ;;
    asan) dir=build-asan; flags=(-DCMAKE_BUILD_TYPE=Debug -DZB_SANITIZE=ON) ;;
    release) dir=build-release; flags=(-DCMAKE_BUILD_TYPE=Release -DZB_TESTS=OFF) ;;
    *) echo "usage: $0 [normal|asan|release]" >&2; exit 2 ;;
esac
cmake -S . -B "$dir" -G Ninja "${flags[@]}" -DZB_WERROR=ON -DZB_SKIP= >/dev/null
cmake --build "$dir"
