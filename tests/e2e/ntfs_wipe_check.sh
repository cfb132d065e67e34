#!/usr/bin/env bash
# End to end on real NTFS volumes, with 1 KiB and with 4 KiB file records: a 256 MiB image made
# by mkntfs and mounted through ntfs-3g gets small and large files with distinctive markers, most of them deleted; a 1-pass run
# through the real window goes over it as drive N:; then the raw image must hold no copy of any
# deleted file's content, the kept files must be untouched, no fill file may be left, and the
# free space may only have lost the file record table's growth (at most 4096 records).
#
#   tests/e2e/ntfs_wipe_check.sh [windows build dir]
#
# Exit 0: passed; 77: skipped (says why); anything else: failed.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/../.." && pwd)"
build="$(cd "${1:-$root/build/windows}" && pwd)"
. "$root/scripts/wine-env.sh"

skip() { echo "SKIPPED: $*"; exit 77; }
fail() { echo "FAILED: $*"; exit 1; }
command -v mkntfs >/dev/null && command -v ntfs-3g >/dev/null && command -v ntfsinfo >/dev/null ||
  skip "mkntfs, ntfsinfo and ntfs-3g are not installed"
[ -c /dev/fuse ] || skip "no /dev/fuse on this machine: FUSE mounts are impossible"
[ -x "$build/tests/win_tests.exe" ] || fail "build the windows preset first ($build/tests/win_tests.exe)"

img="$build/drives/ntfs.img"
mnt="$build/drives/ntfs"
kept="$build/drives/ntfs-kept.json"
mkdir -p "$mnt"
qvx_wine_env "$build"
qvx_display
cleanup() {
  rm -f "$WINEPREFIX/dosdevices/n:"
  if mountpoint -q "$mnt"; then umount "$mnt" 2>/dev/null || umount -l "$mnt" 2>/dev/null || true; fi
  if [ -n "${QVX_XVFB_PID:-}" ]; then kill "$QVX_XVFB_PID" 2>/dev/null || true; fi
}
trap cleanup EXIT
mount_image() { ntfs-3g "$img" "$mnt" 2>/dev/null; }
unmount_image() { wineserver -w 2>/dev/null || true; umount "$mnt"; }
free_bytes() { df -B1 --output=avail "$mnt" | tail -n 1 | tr -d ' '; }
scan() { python3 "$here/ntfs_markers.py" scan "$img"; }
field() { python3 -c "import json,sys; v=json.loads(sys.argv[1])[sys.argv[2]]; print(len(v) if isinstance(v, list) else v)" "$1" "$2"; }

# One image with the usual 1 KiB file records, one made for 4 KiB sectors, which gets 4 KiB
# records; its small files are planted larger, as only such records keep them. Wine answers
# neither the record size nor the true sector size (it says 512), so that run tells the volume
# the record size the image has, and the timed pass checks that the small files fill it.
check_image() {
  local records="$1" small="$2" sector_option=()
  [ "$records" = 4096 ] && sector_option=(-s 4096)
  echo "== an image with $records-byte file records"
  if mountpoint -q "$mnt"; then umount "$mnt"; fi
  rm -f "$img"
  truncate -s 256M "$img"
  mkntfs -F -Q -q -L QVXNTFS "${sector_option[@]}" "$img" >/dev/null 2>&1 || fail "mkntfs could not make the image"
  local made; made=$(ntfsinfo -m "$img" 2>/dev/null | sed -n 's/.*MFT Record Size: *\([0-9]*\).*/\1/p')
  if [ "$made" != "$records" ]; then
    echo "  SKIPPED: mkntfs made $made-byte file records, not $records"
    return 0
  fi
  mount_image || skip "mounting the NTFS image through FUSE was refused here"
  python3 "$here/ntfs_markers.py" plant "$mnt" "$kept" "$small"
  free_before=$(free_bytes)
  unmount_image

  before=$(scan)
  echo "before the run: $before"
  [ "$(field "$before" small_marker_copies)" -gt 0 ] || fail "the planted small files left nothing to find"

  local told=""
  [ "$records" != 1024 ] && told="$records"
  mount_image || fail "could not mount the image again"
  ln -sfn "$mnt" "$WINEPREFIX/dosdevices/n:"
  QUARVEX_NTFS_DRIVE=N QUARVEX_NTFS_RECORD_SIZE="$told" QUARVEX_BUILD_DIR="$build" wine "$build/tests/win_tests.exe" \
    --gtest_filter='NtfsVolumeRun.AOnePassRunThroughTheWindowLeavesNothingBehind' || fail "the run through the window"
  wineserver -w 2>/dev/null || true
  free_after=$(free_bytes)
  python3 "$here/ntfs_markers.py" kept "$mnt" "$kept" || fail "a kept file changed"
  left=$(find "$mnt" -maxdepth 1 -iname '*QUARVEX*' | wc -l)
  [ "$left" -eq 0 ] || fail "$left fill or small files were left on the volume"
  unmount_image

  after=$(scan)
  growth=$((free_before - free_after))
  echo "after the run: $after"
  echo "free space before $free_before, after $free_after: the file record table grew by $growth bytes"
  [ "$(field "$after" small_marker_copies)" -eq 0 ] || fail "copies of deleted small files survived"
  [ "$(field "$after" large_marker_copies)" -eq 0 ] || fail "copies of deleted large files survived"
  [ "$growth" -ge 0 ] && [ "$growth" -le $((4 * records * 1024)) ] || fail "the free space changed by $growth bytes"
  echo "deleted names that survive: $(field "$after" deleted_names)"

  # How long the small files take in one pass on this volume (reported, not judged), and their size.
  mount_image || fail "could not mount the image again"
  QUARVEX_NTFS_DRIVE=N QUARVEX_NTFS_RECORD_SIZE="$told" QUARVEX_BUILD_DIR="$build" wine "$build/tests/win_tests.exe" \
    --gtest_filter='NtfsVolumeRun.ThePhasesOfOnePass' || fail "the timed pass"
  unmount_image
}

check_image 1024 450
check_image 4096 3000
echo "PASSED"
