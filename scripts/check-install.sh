#!/usr/bin/env bash
# Builds the Release folder (build-release/) as a packager would, with Debian's hardening flags
# and warnings as errors, then checks what `cmake --install` and `cpack -G DEB` make of it:
# the files an installation holds, the desktop entry and metadata validators, the manual pages,
# a search run with the installed programs alone, and the Debian package's file list,
# dependencies and window program.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ ! -f build-release/CMakeCache.txt ]; then
    export CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
    export LDFLAGS="$(dpkg-buildflags --get LDFLAGS)"
fi
scripts/build.sh release

work=$(mktemp -d)
service_pid=
cleanup() {
    if [ -n "$service_pid" ]; then kill "$service_pid" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "check-install: $*" >&2; exit 1; }

programs=(zunbarra zunbarra-cli zunbarra-fetch zunbarra-regex zunbarra-service)
app=org.zunbarra.ImageSearcher
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:[A-Z]*=//p' build-release/CMakeCache.txt)
[ -n "$version" ] || fail "no project version in build-release/CMakeCache.txt"
listed() {  # the files under $1, relative to it, sorted
    (cd "$1" && find . -type f -o -type l | sed 's|^\./||' | sort)
}
want() {  # the files an installation under prefix $1 must hold, sorted
    {
        for p in "${programs[@]}"; do echo "$1bin/$p"; echo "$1share/man/man1/$p.1.gz"; done
        echo "$1share/applications/$app.desktop"
        echo "$1share/metainfo/$app.metainfo.xml"
        echo "$1share/icons/hicolor/scalable/apps/$app.svg"
        echo "$1share/icons/hicolor/48x48/apps/$app.png"
        echo "$1share/icons/hicolor/256x256/apps/$app.png"
        for f in data/profiles/*.ini; do echo "$1share/zunbarra/profiles/${f##*/}"; done
    } | sort
}

echo "== install tree"
prefix=$work/prefix
cmake --install build-release --prefix "$prefix" >/dev/null
diff <(want "") <(listed "$prefix") || fail "the install tree holds other files than these"
desktop-file-validate "$prefix/share/applications/$app.desktop"
appstreamcli validate --no-net --pedantic "$prefix/share/metainfo/$app.metainfo.xml" >/dev/null ||
    fail "appstreamcli finds faults in the metadata"
for size in 48 256; do
    file -b "$prefix/share/icons/hicolor/${size}x$size/apps/$app.png" |
        grep -q "PNG image data, $size x $size," || fail "the $size px icon is not $size px"
done
for p in "${programs[@]}"; do
    [ "$("$prefix/bin/$p" --version)" = "$p $version" ] || fail "$p --version"
    page=$prefix/share/man/man1/$p.1.gz
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "manual page of $p: $warnings"
    for section in SYNOPSIS DESCRIPTION OPTIONS; do
        zcat "$page" | grep -q "^\.SH $section" || fail "manual page of $p has no $section"
    done
done

echo "== a search with the installed programs, outside the source tree"
cd "$work"
coproc SERVICE { exec "$prefix/bin/zunbarra-service" --port 0 2>/dev/null; }
service_pid=$SERVICE_PID
read -r ready <&"${SERVICE[0]}"
port=${ready#port=}
"$prefix/bin/zunbarra-cli" --service "127.0.0.1:$port" --and cat -o list.txt >addresses.txt \
    2>/dev/null || fail "zunbarra-cli from the install tree failed"
[ -s addresses.txt ] || fail "zunbarra-cli from the install tree found nothing"
kill "$service_pid"
wait "$service_pid" 2>/dev/null || true
service_pid=
cd - >/dev/null

echo "== Debian package"
rm -f build-release/zunbarra_*.deb
(cd build-release && cpack -G DEB >/dev/null)
deb=$(ls build-release/zunbarra_"$version"_*.deb)
diff <(want ./usr/) <(dpkg-deb --fsys-tarfile "$deb" | tar -t | grep -v '/$' | sort) ||
    fail "the package holds other files than these"
depends=$(dpkg-deb -f "$deb" Depends)
for dep in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 qt6-qpa-plugins; do
    [[ ", $depends," == *", $dep"[\ ,]* ]] || fail "package does not depend on $dep: $depends"
done
dpkg-deb -x "$deb" "$work/deb"
window=$work/deb/usr/bin/zunbarra
[ "$("$window" --version)" = "zunbarra $version" ] ||
    fail "the packaged window program does not answer --version"
# Qt starts (a platform option is Qt's to take) and hands the rest of the command line over.
status=0
"$window" -platform offscreen --bogus 2>"$work/window.err" || status=$?
[ "$status" = 2 ] && grep -q '^zunbarra: unknown argument "--bogus"$' "$work/window.err" ||
    fail "the packaged window program does not start: $(cat "$work/window.err")"
echo "== install tree and package checked ($deb)"
