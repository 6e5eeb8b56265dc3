#!/usr/bin/env bash
# Installs what is missing, builds, and runs the main job on a small example.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh normal
regex=build/bin/zunbarra-regex
echo "== compile the image-link expression the search scans result pages with"
"$regex" compile 'src=/images\?q'
echo "== compile the next-page marker expression (searched with the automaton)"
"$regex" compile 'nav_next.gif'
echo "== the same word with the fuzzy-character dictionary (output converted to UTF-8)"
"$regex" compile --utf8 --fuzzy 'ヴァ' | iconv -f CP932 -t UTF-8
