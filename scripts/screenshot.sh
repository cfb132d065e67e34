#!/usr/bin/env bash
# Saves a screenshot of the X display (the whole screen, or one window by its title) as PNG.
#   scripts/screenshot.sh <out.png> [window title]
set -euo pipefail
out="$1"; title="${2:-}"
mkdir -p "$(dirname "$out")"
if [ -n "$title" ] && command -v xdotool >/dev/null 2>&1; then
  id=$(xdotool search --name "$title" 2>/dev/null | head -n 1 || true)
  if [ -n "$id" ]; then import -window "$id" -frame "$out" 2>/dev/null && exit 0; fi
fi
import -window root "$out"
