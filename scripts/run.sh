#!/usr/bin/env bash
# Installs what is missing, builds, starts the bundled image-search service and opens the
# window pointed at it; closing the window ends the run and stops the service. Without a display
# (no DISPLAY or WAYLAND_DISPLAY) it runs a sample search with the command-line harvester instead.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh normal
echo "== start the local image-search service on 127.0.0.1:8930"
coproc SERVICE { exec build/bin/zunbarra-service --port 8930 2>/dev/null; }
read -r ready <&"${SERVICE[0]}"  # prints port=8930 once it listens
trap 'kill "$SERVICE_PID" 2>/dev/null || true' EXIT
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "== $ready; no display: a sample search with the harvester instead of the window"
    build/bin/zunbarra-cli --and "猫 画像" --not "赤" --japanese -o /tmp/zunbarra-urls.txt
    echo "== list saved to /tmp/zunbarra-urls.txt (CR LF, Shift_JIS)"
    exit 0
fi
echo "== $ready; the window opens (close it to end)"
build/bin/zunbarra --service 127.0.0.1:8930
