#!/usr/bin/env bash
# Fill-throughput benchmark (not a test): builds bench/fill_bench.exe, maps a scratch volume as
# drive T: in the build tree's Wine prefix, and runs a level-0 run through the real main window
# against a plain WriteFile loop on that drive, alternately, printing both times, the run's own
# reported speed against the plain loop's (target >= 0.97) and the peak working set.
#
#   scripts/bench-fill.sh [build dir] [repetitions] [tmpfs|ext4]     (default build/bench-fill, 5, tmpfs)
#
# tmpfs: a 1 GiB tmpfs. ext4: a 4 GiB ext4 image, loop-mounted; there the run is also held
# against dd writing zeros in 64 KiB blocks onto the same volume natively (with a final fsync,
# as the run flushes every file), before and after the Wine rounds.
#
# Needs root (or mount permission); says so and stops otherwise. Machines are shared: it prints
# the load first, so that a figure taken under load can be told apart.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/.." && pwd)"
build="${1:-$root/build/bench-fill}"
reps="${2:-5}"
kind="${3:-tmpfs}"
. "$here/wine-env.sh"

cmake --preset windows -B "$build" -DQUARVEX_TESTS=OFF >/dev/null
cmake --build "$build" -j2 --target fill_bench >/dev/null
build="$(cd "$build" && pwd)"

drive="$build/drives/bench"
image="$build/drives/bench-ext4.img"
mkdir -p "$drive"
if mountpoint -q "$drive"; then umount "$drive"; fi
case "$kind" in
  tmpfs)
    mount -t tmpfs -o size=1g,mode=0777 tmpfs "$drive" 2>/dev/null ||
      { echo "SKIPPED: cannot mount a 1 GiB tmpfs at $drive (not root, or no mount permission here)" >&2; exit 0; } ;;
  ext4)
    rm -f "$image"
    truncate -s 4G "$image"
    mkfs.ext4 -q -F -m 0 "$image"
    mount -o loop "$image" "$drive" 2>/dev/null ||
      { echo "SKIPPED: cannot loop-mount an ext4 image at $drive (not root, or no loop devices here)" >&2; exit 0; }
    chmod 0777 "$drive" ;;
  *) echo "unknown volume kind: $kind (tmpfs or ext4)" >&2; exit 2 ;;
esac
qvx_wine_env "$build"
qvx_display
ln -sfn "$drive" "$WINEPREFIX/dosdevices/t:"
cleanup() {
  wineserver -k 2>/dev/null || true
  umount "$drive" 2>/dev/null || umount -l "$drive" 2>/dev/null || true
  rm -f "$image"
  if [ -n "${QVX_XVFB_PID:-}" ]; then kill "$QVX_XVFB_PID" 2>/dev/null || true; fi
}
trap cleanup EXIT

# dd until the volume is full, flushed; prints MiB/s.
dd_round() {
  local start end bytes
  sync
  start=$(date +%s.%N)
  dd if=/dev/zero of="$drive/dd.fill" bs=64k conv=fsync status=none 2>/dev/null || true
  end=$(date +%s.%N)
  bytes=$(stat -c %s "$drive/dd.fill")
  rm -f "$drive/dd.fill"
  sync
  python3 -c "print('%.1f' % ($bytes / 1048576 / ($end - $start)))"
}

echo "load: $(uptime)"
out="$build/bench-fill.out"
if [ "$kind" = ext4 ]; then dd1=$(dd_round); echo "dd (native, 64 KiB blocks, fsync): $dd1 MiB/s"; fi
wine "$build/bench/fill_bench.exe" T "$reps" | tee "$out"
if [ "$kind" = ext4 ]; then
  dd2=$(dd_round)
  echo "dd (native, 64 KiB blocks, fsync): $dd2 MiB/s"
  ours=$(sed -n "s/^the run's own reported speed: median \([0-9.]*\) MB\/s.*/\1/p" "$out")
  python3 -c "d=($dd1+$dd2)/2; print('the run against dd on the same ext4 volume: %.1f / %.1f MiB/s = %.3f' % ($ours, d, $ours/d))"
fi
echo "load: $(uptime)"
