#!/usr/bin/env bash
# Starts the editor: installs what is missing, builds rostrel.exe and runs it
# under Wine, with a demo roster waiting in the prefix's save folder (Open
# shows it at once). With no display, the editor runs under Xvfb instead: it
# opens the demo roster, a screenshot is saved and its path printed.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -n "${DISPLAY:-}" ] && command -v xdpyinfo >/dev/null && xdpyinfo >/dev/null 2>&1; then
  source tools/editor-env.sh
  echo "Starting the editor; the demo roster is $ROSTREL_DEMO"
  exec "$ROSTREL_WINE" "$ROSTREL_TREE/rostrel.exe"
fi
echo "No display: running the editor under Xvfb."
exec bash tools/screenshot.sh build/screenshot.png
