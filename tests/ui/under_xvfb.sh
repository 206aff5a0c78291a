#!/usr/bin/env bash
# Runs a test program on a private X display with a window manager, so key
# presses arrive as a real X server delivers them. Exits 77 (skipped) when
# Xvfb, openbox or xdotool is missing.
set -uo pipefail
for tool in Xvfb openbox xdotool; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done

displayFile=$(mktemp)
Xvfb -displayfd 4 -screen 0 1024x768x24 -nolisten tcp 4>"$displayFile" >/dev/null 2>&1 &
xvfb=$!
windowManager=""
finish() {
  [ -n "$windowManager" ] && kill "$windowManager" 2>/dev/null
  kill "$xvfb" 2>/dev/null
  wait 2>/dev/null
  rm -f "$displayFile"
}
trap finish EXIT

# Xvfb writes the display number it chose once it accepts clients.
for _ in $(seq 100); do
  [ -s "$displayFile" ] && break
  sleep 0.1
done
[ -s "$displayFile" ] || { echo "Xvfb did not start"; exit 1; }
export DISPLAY=":$(head -n1 "$displayFile")"
openbox >/dev/null 2>&1 &
windowManager=$!
sleep 0.5

QT_QPA_PLATFORM=xcb "$@"
