#!/usr/bin/env bash
# Runs the editor under its own Xvfb, opens the demo roster through the Open
# dialog, clicks its first player, and saves a picture of the window.
#   bash tools/screenshot.sh [OUT.png]     (default build/screenshot.png)
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-build/screenshot.png}
source tools/editor-env.sh
source tools/xvfb.sh
start_xvfb
trap 'stop_xvfb; "$ROSTREL_WINESERVER" -k 2>/dev/null || true' EXIT

"$ROSTREL_WINE" "$ROSTREL_TREE/rostrel.exe" &
editor=$!
geometry=$("$ROSTREL_WINE" "$ROSTREL_TREE/rostrel_drive.exe" open Demo.ROS | tr -d '\r')
sleep 1
read -r x y w h <<<"$geometry"
mkdir -p "$(dirname "$out")"
xwd -root -silent | xwdtopnm 2>/dev/null | pnmcut -left "$x" -top "$y" -width "$w" -height "$h" | pnmtopng >"$out"
"$ROSTREL_WINE" "$ROSTREL_TREE/rostrel_drive.exe" close >/dev/null || true
wait "$editor" || true
echo "Screenshot of the editor with the demo roster loaded: $out"
