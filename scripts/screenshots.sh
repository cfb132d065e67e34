#!/usr/bin/env bash
# Makes the README's screenshots in docs/ again, each cropped to its window, by driving the real
# program on a virtual (Xvfb) display of its own with keys and clicks, as a user would:
#   docs/main-window.png      the Sanitize page, the scratch drive S: selected
#   docs/settings-page.png    the Settings page, Department of Defense chosen
#   docs/about-box.png        Help > About
#   docs/run-in-progress.png  a 35-pass run on S: a few passes in (then aborted)
#   docs/main-window-150.png  the Sanitize page again, at a display scale of 150 % (144 DPI)
# The program runs from its own folder in the run prefix (build/windows/wineprefix-run), with
# fresh settings. Needs the scratch drive, that is root and a machine that allows mounting.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root="$PWD"
scripts/install-deps.sh
cmake --preset windows >/dev/null
cmake --build --preset windows -j"$(nproc)" --target quarvex
. scripts/wine-env.sh
build="$root/build/windows"
fail() { echo "screenshots.sh: $*" >&2; exit 1; }

unset DISPLAY  # never the user's desktop: the same screen size and state every time
qvx_display
qvx_wine_env "$build" run
qvx_test_drives "$build" 256m
[ -n "$QUARVEX_TMPFS_DRIVE" ] || fail "no scratch drive: $QUARVEX_TMPFS_SKIP_REASON"
scratch="$(qvx_scratch_dir "$build")"
find "$scratch" -maxdepth 1 -name '$$$TEMP$$$QUARVEX$$$*' -delete
folder="$WINEPREFIX/drive_c/QuarvexScreenshots"
rm -rf "$folder"
qvx_install_program "$build" "$folder"
qvx_set_setting "$folder/quarvex.ini" DriveComboBox1 s

log="$build/screenshots-wine.log"
wine "$folder/quarvex.exe" >"$log" 2>&1 &
pid=$!
cleanup() {
  if kill -0 "$pid" 2>/dev/null; then kill -CONT "$pid" 2>/dev/null; kill "$pid" 2>/dev/null || true; fi
  qvx_set_dpi 96  # the run prefix is scripts/run.sh's too
  qvx_unmount_drives "$build"
  if [ -n "${QVX_XVFB_PID:-}" ]; then kill "$QVX_XVFB_PID" 2>/dev/null || true; fi
}
trap cleanup EXIT

height=$(xdpyinfo | sed -n 's/.*dimensions: *[0-9]*x\([0-9]*\).*/\1/p')
# Points in the main window, in pixels from its top left corner (Wine draws the frame, so the
# window's picture starts there): the caption of the Department of Defense level on the
# Settings page, and the Sanitize, Abort and Exit buttons.
dod_level=(390 127); sanitize=(227 400); abort=(367 400); exit_button=(507 400)
click() { xdotool mousemove --window "$1" "$2" "$3" click 1; }
wait_gone() {
  local i
  for ((i = 0; i < 40; i++)); do
    [ -z "$(xdotool search --onlyvisible --name "$1" 2>/dev/null || true)" ] && return 0
    sleep 0.25
  done
  return 1
}
# Focus on the window, raised (with no window manager nothing else restacks the windows, and
# the picture is taken from the screen), the pointer away from every control (no hover look, no
# hint), a moment to repaint, then the picture.
shot() {
  xdotool windowraise "$1"
  xdotool windowfocus --sync "$1"
  xdotool mousemove 0 $((height - 1))
  sleep 1
  import -window "$1" "docs/$2"
  echo "  docs/$2 ($(identify -format '%wx%h' "docs/$2"))"
}
mkdir -p docs
echo "== screenshots"

main=$(qvx_wait_for_window '^Quarvex v2\.0f    -' 30) || fail "the main window did not appear; see $log"
title() { xdotool getwindowname "$main"; }
[[ "$(title)" == *"Basic / Quick"* ]] || fail "not the fresh settings' level: $(title)"
shot "$main" main-window.png

xdotool windowfocus --sync "$main"
xdotool key ctrl+Tab
sleep 0.5
click "$main" "${dod_level[@]}"
sleep 0.5
[[ "$(title)" == *"Department of Defense"* ]] || fail "the click did not choose the level: $(title)"
shot "$main" settings-page.png

xdotool windowfocus --sync "$main"
xdotool key alt+h
sleep 0.3
xdotool key a
about=$(qvx_wait_for_window '^About Quarvex' 10) || fail "Help > About showed no box"
sleep 1  # a few frames of the logo's animation
shot "$about" about-box.png
xdotool key Escape
wait_gone '^About Quarvex' || fail "the About box did not close"

xdotool windowfocus --sync "$main"
xdotool key ctrl+Tab
sleep 0.5
click "$main" "${sanitize[@]}"
confirm=$(qvx_wait_for_window '^Confirm$' 10) || fail "Sanitize asked nothing"
xdotool windowfocus --sync "$confirm"
xdotool mousemove 0 $((height - 1))
xdotool key Return
# A pass on the 256 MiB tmpfs takes a fraction of a second: a second into the run, the program
# is frozen (SIGSTOP) in the middle of a pass, so the picture shows a bar partly filled and the
# texts that go with it; it goes on afterwards.
# (A file may vanish between find's listing and its look at the size: the run deletes them.)
fill_bytes() { { find "$scratch" -maxdepth 1 -name '$$$TEMP$$$QUARVEX$$$*' -printf '%s\n' 2>/dev/null || true; } | awk '{s += $1} END {print s + 0}'; }
for ((i = 0; i < 40; i++)); do
  [ "$(fill_bytes)" -gt 0 ] && break
  sleep 0.25
done
sleep 1
frozen=0
for ((i = 0; i < 4000; i++)); do
  bytes=$(fill_bytes)
  if [ "$bytes" -gt $((90 << 20)) ] && [ "$bytes" -lt $((170 << 20)) ]; then
    kill -STOP "$pid"
    frozen=1
    break
  fi
done
[ "$frozen" = 1 ] || fail "no run seen on S:"
sleep 0.5
xdotool windowraise "$main"
import -window "$main" docs/run-in-progress.png
kill -CONT "$pid"
echo "  docs/run-in-progress.png ($(identify -format '%wx%h' docs/run-in-progress.png))"

click "$main" "${abort[@]}"
box=$(qvx_wait_for_window '^Information$' 20) || fail "no box after Abort"
xdotool windowfocus --sync "$box"
xdotool key Return
wait_gone '^Information$' || fail "the box did not close"
click "$main" "${exit_button[@]}"
for ((i = 0; i < 80; i++)); do kill -0 "$pid" 2>/dev/null || break; sleep 0.25; done
kill -0 "$pid" 2>/dev/null && fail "the program did not end on Exit"
[ -z "$(find "$scratch" -maxdepth 1 -name '$$$TEMP$$$QUARVEX$$$*')" ] || fail "fill files left on S:"

# The same first look at 150 %: Wine takes the display scale when a process starts.
rm -f "$folder/quarvex.ini"
qvx_set_setting "$folder/quarvex.ini" DriveComboBox1 s
qvx_set_dpi 144
wine "$folder/quarvex.exe" >>"$log" 2>&1 &
pid=$!
main=$(qvx_wait_for_window '^Quarvex v2\.0f    -' 30) || fail "the main window did not appear at 150 %; see $log"
shot "$main" main-window-150.png
xdotool windowfocus --sync "$main"
xdotool key alt+F4
for ((i = 0; i < 80; i++)); do kill -0 "$pid" 2>/dev/null || break; sleep 0.25; done
kill -0 "$pid" 2>/dev/null && fail "the program did not end on Alt+F4"
qvx_set_dpi 96
echo "== done"
