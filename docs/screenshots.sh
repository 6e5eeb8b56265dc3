#!/usr/bin/env bash
# Takes the README's screenshot of the main window after a search, and a sequence that shows
# its bars being rearranged: a tool window dragged to another row, one dragged off the dock to
# float, the toolbar floated and resized to its two-line layout, and everything docked again.
# Runs the real program under Xvfb with the bundled service; the pointer and the keyboard are
# driven through the XTEST extension (docs/xinput.py), as a person would use them.
#   docs/screenshots.sh [BUILD_DIR]   (default build/)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
out=docs
x() { DISPLAY=":$display" python3 docs/xinput.py "$@"; }

pids=()
cleanup() { for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done; }
trap cleanup EXIT

exec 3< <(Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp 2>/dev/null & echo "pid $!")
read -r _ xvfb <&3
pids+=("$xvfb")
read -r display <&3
coproc SERVICE { exec "$build/bin/zunbarra-service" --port 0 2>/dev/null; }
pids+=("$SERVICE_PID")
read -r ready <&"${SERVICE[0]}"
port=${ready#port=}
DISPLAY=":$display" "$build/bin/zunbarra" --service "127.0.0.1:$port" 2>/dev/null &
pids+=("$!")
sleep 2

# The window stands at (248, 160); its client area is 452 x 268. Bars on the dock have their
# grip 5 pixels in from their left edge.
win=452x268+248+160
wide=640x520+160+100

# A search: "cat" in the And box, adult filter on, Japanese pages only.
x click:420,234 type:cat click:490,203 click:300,174 wait:2 jump:700,600 wait:0.5 \
  "shot:$out/main-window.png:$win"

# 1. The proxy window grabbed at its grip and dragged onto the top of the keyword row: the thin
#    outline shows where it would land.
x move:253,334 down move:253,222 wait:0.3 "shot:$out/drag-1-outline.png:$win"
# 2. Released: it opened a row before the keyword window.
x up wait:0.5 jump:700,600 wait:0.3 "shot:$out/drag-2-new-row.png:$win"
# 3. The keyword window dragged off the dock by its grip: it floats in a window of its own, and
#    the list takes the room it left.
x move:253,296 down move:330,470 up wait:0.5 jump:900,700 wait:0.3 \
  "shot:$out/drag-3-floating.png:$wide"
# 4. The toolbar floated by a double click on its grip, moved aside by its caption, and its right
#    border dragged left: it snaps to its two-line layout.
x dclick:253,174 wait:0.5 move:300,168 down move:440,110 up wait:0.5 \
  move:605,130 down move:485,130 up wait:0.5 jump:900,700 wait:0.3 \
  "shot:$out/drag-4-resized.png:$wide"
# 5. Docked again: double clicks on the captions of both floating windows.
x dclick:420,110 wait:0.5 dclick:400,433 wait:0.5 jump:900,700 wait:0.3 \
  "shot:$out/drag-5-docked.png:$wide"
echo "screenshots written to $out/"
