#!/usr/bin/env bash
# Saves a screenshot of the X display as PNG: one window, cropped to it, when a visible window's
# title matches the pattern (a regular expression); otherwise the whole screen.
#   scripts/screenshot.sh <out.png> [window title pattern]
set -euo pipefail
out="$1"; title="${2:-}"
mkdir -p "$(dirname "$out")"
if [ -n "$title" ] && command -v xdotool >/dev/null 2>&1; then
  # Only a mapped window can be grabbed: hidden windows with a similar title (the About box
  # waits hidden from the start) would fail, and the whole screen would be saved instead.
  id=$(xdotool search --onlyvisible --name "$title" 2>/dev/null | head -n 1 || true)
  if [ -n "$id" ] && import -window "$id" -frame "$out" 2>/dev/null; then exit 0; fi
  echo "screenshot.sh: no visible window titled like \"$title\"; saving the whole screen" >&2
fi
import -window root "$out"
