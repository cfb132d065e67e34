#!/usr/bin/env bash
# Installs what is missing, builds quarvex.exe and starts it under Wine.
# On the user's display when one is set; otherwise on an Xvfb display, and then a screenshot of
# the window is saved and its path printed.
# The program runs from C:\Quarvex of a Wine prefix of its own (build/windows/wineprefix-run),
# where its settings file and run record stay. A scratch drive S: (a 256 MiB tmpfs) is mapped
# for trying a whole run safely when this machine allows mounting, and then the program starts
# with S: selected: a first press on Sanitize fills the scratch drive, not this machine's disk
# (C: is the prefix's folder on it). Wine's own messages go to a log file, not the terminal.
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
folder="$WINEPREFIX/drive_c/Quarvex"
qvx_install_program "$build" "$folder"
if [ -n "$QUARVEX_TMPFS_DRIVE" ]; then
  # Every start selects S: again, whatever the last run chose; the other settings stay.
  qvx_set_setting "$folder/quarvex.ini" DriveComboBox1 s
  echo "Scratch drive S: is a 256 MiB tmpfs ($(qvx_scratch_dir "$build")): safe to sanitize; the program starts with S: selected."
else
  echo "No scratch drive: $QUARVEX_TMPFS_SKIP_REASON"
  echo "CAUTION: C: is the Wine prefix's folder on this machine's disk and Z: its whole file system; sanitizing either fills that disk's free space."
fi
log="$build/run-wine.log"
echo "Wine's messages: $log"
exe="$folder/quarvex.exe"
if [ "$headless" = 1 ]; then
  wine "$exe" >"$log" 2>&1 &
  pid=$!
  shot="$build/screenshots/quarvex-main.png"
  if qvx_wait_for_window '^Quarvex v2\.0f    -' 20 >/dev/null; then
    # Away from the buttons: a pointer resting on one would show its hint in the picture.
    xdotool mousemove 0 "$(xdpyinfo | sed -n 's/.*dimensions: *[0-9]*x\([0-9]*\).*/\1/p')"
    sleep 1
    scripts/screenshot.sh "$shot" '^Quarvex v2\.0f    -'
    echo "The program runs on the virtual display $DISPLAY; a screenshot of its window: $shot"
  else
    echo "The program's window did not appear within 20 s; see $log"
  fi
  echo "Close it with: DISPLAY=$DISPLAY xdotool search --onlyvisible --name '^Quarvex v2' windowfocus --sync key alt+F4"
  wait "$pid" || true
  kill "${QVX_XVFB_PID:-}" 2>/dev/null || true
else
  wine "$exe" >"$log" 2>&1 || true
fi
qvx_unmount_drives "$build"
