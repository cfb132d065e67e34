#!/usr/bin/env bash
# Unattended runs of quarvex.exe, as separate processes on the scratch drive S:, with their exit
# codes and their record lines, each line read with Python's json module:
#   /sanitize S: /level 0 /yes /exit      exit 0, no fill file left, one "completed" record
#   a bad switch with /exit               exit 2, nothing run, an "error" record naming it
#   a drive that does not exist           exit 2, an "error" record
#   a drive that cannot be read           exit 2, an "error" record saying it is not ready
#   a read-only drive                     exit 2, an "error" record
#   a record folder that takes no record  exit 3 after a completed run, no hang
#   /sanitize S: T: ... on two scratch drives   exit 0, a "completed" record line for each, in order
#   a second drive that cannot be read    exit 2, the first drive's line still "completed"
# and, through win_tests.exe (CommandLineRun.*), closing the window mid-run (exit 1, "aborted"),
# the confirmation without /yes, and a second copy on the same drive.
#
#   tests/e2e/command_line_check.sh [windows build dir]
#
# Exit 0: passed; 77: skipped (says why); anything else: failed.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/../.." && pwd)"
build="$(cd "${1:-$root/build/windows}" && pwd)"
. "$root/scripts/wine-env.sh"

skip() { echo "SKIPPED: $*"; exit 77; }
fail() { echo "FAILED: $*"; exit 1; }
exe="$build/src/quarvex.exe"
[ -x "$exe" ] || fail "build the windows preset first ($exe)"
qvx_wine_env "$build"
qvx_test_drives "$build"
qvx_display
[ -n "$QUARVEX_TMPFS_DRIVE" ] || skip "$QUARVEX_TMPFS_SKIP_REASON"
scratch="$(qvx_scratch_dir "$build")"
log="$build/src/quarvex-runs.log"
records="$build/drives/records"
scratch2="$build/drives/scratch2"  # T:, a second small tmpfs for the runs over two drives
readonly_src="$build/drives/readonly-src"
readonly_mnt="$build/drives/readonly"
user_log_dirs() { find "$WINEPREFIX/drive_c/users" -path '*/AppData/Roaming/Quarvex' -type d 2>/dev/null; }
cleanup() {
  rm -f "$WINEPREFIX/dosdevices/r:" "$WINEPREFIX/dosdevices/t:"
  if mountpoint -q "$scratch2"; then umount "$scratch2" 2>/dev/null || umount -l "$scratch2" 2>/dev/null || true; fi
  if mountpoint -q "$readonly_mnt"; then umount "$readonly_mnt" 2>/dev/null || true; fi
  rm -rf "$log" "$build/src/quarvex.ini"
  if [ -n "${QVX_XVFB_PID:-}" ]; then kill "$QVX_XVFB_PID" 2>/dev/null || true; fi
}
trap cleanup EXIT
fresh() {
  rm -rf "$log" "$build/src/quarvex.ini"
  for d in $(user_log_dirs); do rm -rf "$d/quarvex-runs.log"; done
  find "$scratch" -mindepth 1 -delete 2>/dev/null || true
  printf 'QVXSCRATCH' >"$scratch/.windows-label"; printf '00f0a1b2\n' >"$scratch/.windows-serial"
}
# Runs the program with a time limit; prints its exit code.
run() { local rc=0; timeout 180 wine "$exe" "$@" >/dev/null 2>&1 || rc=$?; echo "$rc"; }
fill_files() { find "$scratch" -maxdepth 1 -name '$$$TEMP$$$QUARVEX$$$*' | wc -l; }
# Checks a record file with Python's json module: every line an object with all fields, the
# last one matching the expectations given as key=value (value compared as JSON, or ~text
# for "contains").
check() {
  python3 - "$@" <<'PY'
import json, re, sys
path, want_lines, *expect = sys.argv[1:]
lines = open(path, encoding="utf-8").read().splitlines()
assert len(lines) == int(want_lines), "%d record lines, expected %s" % (len(lines), want_lines)
fields = {"version": str, "computer": str, "user": str, "start": str, "end": str, "drive": str,
          "volumeLabel": str, "volumeSerial": str, "fileSystem": str, "totalBytes": int,
          "freeBytesAtStart": int, "level": int, "levelCaption": str, "passesPlanned": int,
          "passesCompleted": int, "bytesWritten": int, "leftoversSwept": int, "result": str,
          "startedBy": str}
for line in lines:
    r = json.loads(line)
    for name, kind in fields.items():
        assert isinstance(r.get(name), kind), "%s: %r" % (name, r.get(name))
    for name in ("start", "end"):
        assert re.fullmatch(r"\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d[+-]\d\d:\d\d", r[name]), r[name]
    assert r["version"] == "2.0f" and r["computer"] and r["user"], r
last = json.loads(lines[-1]) if lines else {}
for e in expect:
    name, value = e.split("=", 1)
    if value.startswith("~"):
        assert value[1:] in str(last.get(name)), "%s: %r lacks %r" % (name, last.get(name), value[1:])
    elif value.startswith(">"):
        assert last.get(name, 0) > int(value[1:]), "%s: %r" % (name, last.get(name))
    else:
        assert last.get(name) == json.loads(value), "%s: %r, expected %s" % (name, last.get(name), value)
print("  record ok: %s" % (lines[-1][:160] if lines else "(none)"))
PY
}
# The drive and result of every record line, in order: check_each <file> S:completed T:completed
check_each() {
  python3 - "$@" <<'PY'
import json, sys
path, *want = sys.argv[1:]
got = ["%s:%s" % (r["drive"], r["result"]) for r in map(json.loads, open(path, encoding="utf-8").read().splitlines())]
assert got == want, "records %s, expected %s" % (got, want)
print("  records ok: %s" % " ".join(got))
PY
}

echo "== a completed run"
fresh
rc=$(run /sanitize S: /level 0 /yes /exit)
[ "$rc" = 0 ] || fail "exit code $rc, expected 0"
[ "$(fill_files)" = 0 ] || fail "fill files left"
check "$log" 1 result='"completed"' drive='"S"' level=0 levelCaption='"Basic / Quick  (1 Pass)"' \
  passesPlanned=1 passesCompleted=1 bytesWritten='>0' volumeLabel='"QVXSCRATCH"' volumeSerial='"00F0A1B2"' \
  fileSystem='"NTFS"' fileRecordsWiped='>0' startedBy='"command line"' message='~has been sanitized'

echo "== a bad switch with /exit"
fresh
rc=$(run /sanitize S: /levle 1 /exit)
[ "$rc" = 2 ] || fail "exit code $rc, expected 2"
check "$log" 1 result='"error"' bytesWritten=0 message='~"/levle"'

echo "== a drive that does not exist"
fresh
rc=$(run /sanitize Q: /yes /exit)
[ "$rc" = 2 ] || fail "exit code $rc, expected 2"
check "$log" 1 result='"error"' drive='"Q"' message='~"Q:" drive'

echo "== a drive that cannot be read (F: is mapped, to a folder that is gone)"
fresh
rc=$(run /sanitize F: /level 0 /yes /exit)
[ "$rc" = 2 ] || fail "exit code $rc, expected 2"
check "$log" 1 result='"error"' drive='"F"' bytesWritten=0 message='~is not ready or cannot be reached' \
  message='~NOT been sanitized'

echo "== a read-only drive"
fresh
mkdir -p "$readonly_src" "$readonly_mnt"
if mount --bind "$readonly_src" "$readonly_mnt" 2>/dev/null && mount -o remount,bind,ro "$readonly_mnt" 2>/dev/null; then
  ln -sfn "$readonly_mnt" "$WINEPREFIX/dosdevices/r:"
  rc=$(run /sanitize R: /level 0 /yes /exit)
  [ "$rc" = 2 ] || fail "exit code $rc, expected 2"
  check "$log" 1 result='"error"' drive='"R"' message='~NOT been sanitized'
else
  echo "  SKIPPED: cannot bind-mount a read-only folder here"
fi

echo "== a record that no place takes"
fresh
mkdir -p "$log"  # a folder where the record file would go, here and in the user's folder
user_dir="$(wine cmd /c echo %APPDATA% 2>/dev/null | tr -d '\r')"
user_dir_unix="$(winepath -u "$user_dir\\Quarvex" 2>/dev/null)"
mkdir -p "$user_dir_unix/quarvex-runs.log"
rc=$(run /sanitize S: /level 0 /yes /exit)
rm -rf "$log" "$user_dir_unix/quarvex-runs.log"
[ "$rc" = 3 ] || fail "exit code $rc, expected 3"
[ "$(fill_files)" = 0 ] || fail "fill files left"

echo "== two drives, one after the other"
mkdir -p "$scratch2"
mountpoint -q "$scratch2" || mount -t tmpfs -o size=16m,mode=0777 tmpfs "$scratch2" || fail "cannot mount a second tmpfs"
ln -sfn "$scratch2" "$WINEPREFIX/dosdevices/t:"
fresh
rc=$(run /sanitize S: T: /level 0 /yes /exit)
[ "$rc" = 0 ] || fail "exit code $rc, expected 0"
[ "$(fill_files)" = 0 ] || fail "fill files left"
[ -z "$(find "$scratch2" -maxdepth 1 -name '$$$TEMP$$$QUARVEX$$$*')" ] || fail "fill files left on T:"
check_each "$log" S:completed T:completed
check "$log" 2 passesCompleted=1 bytesWritten='>0' startedBy='"command line"'

echo "== two drives, the second one cannot be read"
fresh
rc=$(run /sanitize S: F: /level 0 /yes /exit)
[ "$rc" = 2 ] || fail "exit code $rc, expected 2"
check_each "$log" S:completed F:error
check "$log" 2 message='~is not ready or cannot be reached'

echo "== through the window: closing mid-run, the confirmation, a second copy"
fresh
rm -rf "$records"; mkdir -p "$records"
QUARVEX_RECORDS_DIR="$(winepath -w "$records")" QUARVEX_BUILD_DIR="$build" \
  wine "$build/tests/win_tests.exe" --gtest_filter='CommandLineRunTest.*' || fail "the window tests"
check "$records/ClosingTheWindowMidRunExitsWithOneAndRecordsAnAbort.jsonl" 1 result='"aborted"' \
  passesPlanned=35 startedBy='"command line"' message='~Processing aborted'
check "$records/ASecondCopyOnTheSameDriveStartsNoRunThere.jsonl" 2 result='"aborted"'
python3 -c "
import json,sys
first = json.loads(open(sys.argv[1], encoding='utf-8').readline())
assert first['result'] == 'error' and 'Another copy' in first['message'], first
print('  the second copy recorded:', first['message'])" "$records/ASecondCopyOnTheSameDriveStartsNoRunThere.jsonl"
echo "PASSED"
