#!/usr/bin/env bash
# Fill-throughput benchmark (not a test): builds bench/fill_bench.exe, maps a 1 GiB tmpfs as
# drive T: in the build tree's Wine prefix, and runs a level-0 run through the real main
# window against a plain WriteFile loop on that drive, alternately, printing both times, the
# ratio baseline/ours (target >= 0.90) and the peak working set.
#
#   scripts/bench-fill.sh [build dir] [repetitions]      (default build/bench-fill, 5)
#
# Needs root (or mount permission) for the tmpfs; says so and stops otherwise. Machines are
# shared: it prints the load first, so that a figure taken under load can be told apart.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/.." && pwd)"
build="${1:-$root/build/bench-fill}"
reps="${2:-5}"
. "$here/wine-env.sh"

cmake --preset windows -B "$build" -DQUARVEX_TESTS=OFF >/dev/null
cmake --build "$build" -j2 --target fill_bench >/dev/null
build="$(cd "$build" && pwd)"

drive="$build/drives/bench"
mkdir -p "$drive"
if ! mountpoint -q "$drive"; then
  if ! mount -t tmpfs -o size=1g,mode=0777 tmpfs "$drive" 2>/dev/null; then
    echo "SKIPPED: cannot mount a 1 GiB tmpfs at $drive (not root, or no mount permission here)" >&2
    exit 0
  fi
fi
qvx_wine_env "$build"
qvx_display
ln -sfn "$drive" "$WINEPREFIX/dosdevices/t:"
cleanup() {
  wineserver -k 2>/dev/null || true
  umount "$drive" 2>/dev/null || umount -l "$drive" 2>/dev/null || true
  if [ -n "${QVX_XVFB_PID:-}" ]; then kill "$QVX_XVFB_PID" 2>/dev/null || true; fi
}
trap cleanup EXIT

echo "load: $(uptime)"
wine "$build/bench/fill_bench.exe" T "$reps"
echo "load: $(uptime)"
