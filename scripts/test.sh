#!/usr/bin/env bash
# Installs what is missing, checks the format of the C++ files, builds, and runs the whole test
# suite twice: a normal build, and a build with AddressSanitizer and UndefinedBehaviorSanitizer.
# Then builds the Release folder and checks the installation and the Debian package made from it.
# Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
echo "== format"
scripts/check-format.sh
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
for kind in normal asan; do
    dir=build; [ "$kind" = asan ] && dir=build-asan
    echo "== $kind build ($dir)"
    scripts/build.sh "$kind"
    echo "== $kind tests"
    ctest --test-dir "$dir" --output-on-failure -j2 --timeout 600
done
echo "== Release build, installation and package"
scripts/check-install.sh
echo "== all tests passed (normal and sanitizer builds, installation and package)"
