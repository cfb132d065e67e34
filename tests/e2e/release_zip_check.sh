#!/usr/bin/env bash
# The distribution ZIP as a user downloads it: its checksum file, its entries (names, order, time,
# attributes), the checksums inside, the stripped exe under 1 MB with its link to the debug file,
# and then the unpacked exe run under Wine by win_tests.exe (ReleasePackage.*): it starts, shows
# its title, opens its readme through Help, and exits on Exit.
#
#   tests/e2e/release_zip_check.sh [windows build dir]
#
# The ZIP comes from QUARVEX_RELEASE_DIR (scripts/test.sh points it at the one it just made), else
# from dist/ when that one was made from the checked-out commit.
# Exit 0: passed; 77: skipped (says why); anything else: failed.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/../.." && pwd)"
build="$(cd "${1:-$root/build/windows}" && pwd)"
. "$root/scripts/wine-env.sh"

skip() { echo "SKIPPED: $*"; exit 77; }
fail() { echo "FAILED: $*"; exit 1; }
version=$(sed -n 's/^ *VALUE "ProductVersion", "\(.*\)"$/\1/p' "$root/src/app/quarvex.rc")
name="quarvex-$version-win64"
head=$(git -C "$root" rev-parse HEAD 2>/dev/null || echo unknown)
# The commit a ZIP was made from, as its comment names it.
zip_commit() { python3 -c 'import sys, zipfile; print(zipfile.ZipFile(sys.argv[1]).comment.decode().rsplit(" ", 1)[-1])' "$1"; }

if [ -n "${QUARVEX_RELEASE_SKIP:-}" ]; then
  skip "$QUARVEX_RELEASE_SKIP"
elif [ -n "${QUARVEX_RELEASE_DIR:-}" ]; then
  dist="$QUARVEX_RELEASE_DIR"
  [ -f "$dist/$name.zip" ] || fail "no $name.zip in $dist"
else
  dist="$root/dist"
  [ -f "$dist/$name.zip" ] || skip "no release ZIP: make one with scripts/package.sh (scripts/test.sh does)"
  [ "$(zip_commit "$dist/$name.zip")" = "$head" ] || skip "dist/$name.zip is not from the checked-out commit: make it again with scripts/package.sh"
fi
zip="$dist/$name.zip"
echo "== $zip"

(cd "$dist" && sha256sum --quiet -c "$name.zip.sha256") || fail "the ZIP does not match $name.zip.sha256"
[ "$(zip_commit "$zip")" = "$head" ] || echo "  note: made from commit $(zip_commit "$zip"), HEAD is $head"

# Entries: names in this order, each with the commit's time, DOS attributes only, deflated.
python3 - "$zip" <<'PY' || fail "the ZIP's entries"
import sys, zipfile
z = zipfile.ZipFile(sys.argv[1])
names = [i.filename for i in z.infolist()]
assert names == ["quarvex.exe", "quarvex.txt", "catalog.txt", "LICENSE.txt", "SHA256SUMS"], names
times = {i.date_time for i in z.infolist()}
assert len(times) == 1, times
for i in z.infolist():
    assert i.create_system == 0 and i.external_attr == 0x20, (i.filename, i.create_system, hex(i.external_attr))
    assert i.compress_type == zipfile.ZIP_DEFLATED and not i.extra, i.filename
print("  entries ok: %s, all dated %04d-%02d-%02d %02d:%02d:%02d" % ((", ".join(names),) + times.pop()))
PY

unpacked="$build/release-zip/$name"
rm -rf "$build/release-zip"
mkdir -p "$unpacked"
unzip -q "$zip" -d "$unpacked"
(cd "$unpacked" && sha256sum --quiet -c SHA256SUMS) || fail "the files do not match SHA256SUMS"
for text in quarvex.txt catalog.txt LICENSE.txt; do
  case "$text" in LICENSE.txt) src="$root/$text" ;; *) src="$root/assets/$text" ;; esac
  # The same text, with CR LF line ends for Notepad.
  cmp -s <(sed 's/\r*$/\r/' "$src") "$unpacked/$text" || fail "$text differs from $src (CR LF aside)"
  ! grep -q $'[^\r]$' "$unpacked/$text" || fail "$text has a line without CR LF"
done

exe="$unpacked/quarvex.exe"
size=$(stat -c %s "$exe")
echo "  quarvex.exe: $size bytes"
[ "$size" -lt 1000000 ] || fail "quarvex.exe is $size bytes, not under 1 MB"
sections=$(x86_64-w64-mingw32-objdump -h "$exe")
! grep -q ' \.debug_' <<<"$sections" || fail "quarvex.exe still carries debug sections"
# The debug link: the debug file's name, then (4-byte aligned) the CRC-32 of that file.
debug="$dist/quarvex.exe.debug"
[ -f "$debug" ] || fail "no quarvex.exe.debug beside the ZIP"
python3 - "$exe" "$debug" <<'PY' || fail "the debug link"
import struct, subprocess, sys, zlib
exe, debug = sys.argv[1:]
dump = subprocess.run(["x86_64-w64-mingw32-objcopy", "--dump-section", ".gnu_debuglink=/dev/stdout", exe],
                      capture_output=True, check=True).stdout
name, _, rest = dump.partition(b"\0")
assert name == b"quarvex.exe.debug", name
crc = struct.unpack("<I", dump[-4:])[0]
want = zlib.crc32(open(debug, "rb").read())
assert crc == want, "link CRC %08x, debug file CRC %08x" % (crc, want)
print("  debug link ok: %s, CRC %08x" % (name.decode(), crc))
PY
grep -q ' \.debug_info' <(x86_64-w64-mingw32-objdump -h "$debug") || fail "quarvex.exe.debug holds no debug information"

echo "== the unpacked program under Wine"
qvx_wine_env "$build"
qvx_test_drives "$build"
qvx_display
cleanup() { if [ -n "${QVX_XVFB_PID:-}" ]; then kill "$QVX_XVFB_PID" 2>/dev/null || true; fi; }
trap cleanup EXIT
log="$build/release-zip/win_tests.log"
QUARVEX_RELEASE_FOLDER="$(winepath -w "$unpacked")" QUARVEX_BUILD_DIR="$build" \
  wine "$build/tests/win_tests.exe" --gtest_filter='ReleasePackage.*' >"$log" 2>&1 || { cat "$log"; fail "the unpacked program"; }
grep -v '^wine: Read access denied' "$log"
grep -q '^\[  PASSED  \] 1 test' "$log" || fail "the unpacked program's test did not run"
echo "PASSED"
