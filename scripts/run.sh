#!/usr/bin/env bash
# Installs what is missing, builds, starts the bundled image-search service and runs a sample
# search with the command-line harvester.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh normal
echo "== start the local image-search service on 127.0.0.1:8930 (the harvester's default)"
coproc SERVICE { exec build/bin/zunbarra-service --port 8930 2>/dev/null; }
read -r ready <&"${SERVICE[0]}"  # prints port=8930 once it listens
trap 'kill "$SERVICE_PID" 2>/dev/null || true' EXIT
echo "== $ready; search 猫 and 画像 without 赤, Japanese pages only"
build/bin/zunbarra-cli --and "猫 画像" --not "赤" --japanese -o /tmp/zunbarra-urls.txt
echo "== list saved to /tmp/zunbarra-urls.txt (CR LF, Shift_JIS)"
