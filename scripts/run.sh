#!/usr/bin/env bash
# Installs what is missing, builds quarvex.exe and starts it under Wine.
# On the user's display when one is set; otherwise on an Xvfb display, and then a screenshot of
# the window is saved and its path printed.
# A scratch drive S: (a 256 MiB tmpfs) is mapped for trying a whole run safely, when this
# machine allows mounting.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root="$PWD"
scripts/install-deps.sh
cmake --preset windows >/dev/null
cmake --build --preset windows -j"$(nproc)" --target quarvex
. scripts/wine-env.sh
build="$root/build/windows"
headless=0
if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then headless=1; unset DISPLAY; qvx_display; fi
qvx_wine_env "$build" run
qvx_test_drives "$build" 256m
if [ -n "$QUARVEX_TMPFS_DRIVE" ]; then
  echo "Scratch drive S: is a 256 MiB tmpfs ($(qvx_scratch_dir "$build")): safe to sanitize."
else
  echo "No scratch drive: $QUARVEX_TMPFS_SKIP_REASON"
fi
exe="$build/src/quarvex.exe"
if [ "$headless" = 1 ]; then
  wine "$exe" &
  pid=$!
  shot="$build/screenshots/quarvex-main.png"
  for _ in $(seq 1 40); do
    sleep 0.5
    if xdotool search --name "Quarvex v2.0f" >/dev/null 2>&1; then break; fi
  done
  sleep 1
  scripts/screenshot.sh "$shot" "Quarvex v2.0f"
  echo "The program runs on the virtual display $DISPLAY; a screenshot of its window: $shot"
  echo "Close it with: DISPLAY=$DISPLAY xdotool search --name 'Quarvex v2.0f' windowclose  (or press Ctrl+C)"
  wait "$pid" || true
  kill "${QVX_XVFB_PID:-}" 2>/dev/null || true
else
  wine "$exe"
fi
qvx_unmount_drives "$build"
