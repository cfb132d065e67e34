#!/usr/bin/env bash
# Installs what is missing, builds both presets and runs every test:
# native (portable library under ASan/UBSan, then a bounded fuzz run), the release ZIP built twice
# and compared (scripts/check-reproducible.sh; QUARVEX_REPRODUCIBLE_CHECK=0 builds it once), and
# windows (under Wine + Xvfb), which includes the test of the ZIP.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root="$PWD"
jobs=$(nproc)

scripts/install-deps.sh

echo "== native build and tests"
cmake --preset native >/dev/null
cmake --build --preset native -j"$jobs"
ctest --preset native -j"$jobs"

if [ -x scripts/fuzz.sh ]; then
  echo "== fuzzing (bounded)"
  scripts/fuzz.sh "${QUARVEX_FUZZ_SECONDS:-60}"
fi

echo "== windows build and tests (Wine)"
cmake --preset windows >/dev/null
cmake --build --preset windows -j"$jobs"

echo "== release ZIP"
repro_status=0
if [ ! -e "$root/.git" ]; then
  # A source archive: releases are made from commits, so there is no ZIP to build or test.
  export QUARVEX_RELEASE_SKIP="this source tree is not a git checkout, and a release is built from a git commit"
  echo "SKIPPED: the reproducible-release check and the release ZIP test: $QUARVEX_RELEASE_SKIP"
elif [ "${QUARVEX_REPRODUCIBLE_CHECK:-1}" != 0 ]; then
  scripts/check-reproducible.sh || repro_status=$?
  export QUARVEX_RELEASE_DIR="$root/build/reproducible/first/dist"
else
  scripts/package.sh --work "$root/build/package" --out "$root/build/package/dist"
  export QUARVEX_RELEASE_DIR="$root/build/package/dist"
fi

. scripts/wine-env.sh
build="$root/build/windows"
cleanup() {
  wineserver -k 2>/dev/null || true
  qvx_unmount_drives "$build"
  if [ -n "${QVX_XVFB_PID:-}" ]; then kill "$QVX_XVFB_PID" 2>/dev/null || true; fi
}
trap cleanup EXIT
unset DISPLAY   # the tests get a display of their own, never the user's desktop
qvx_display
qvx_wine_env "$build"
qvx_test_drives "$build"
if [ -z "$QUARVEX_TMPFS_DRIVE" ]; then
  echo "NOTE: tests that need a size-limited drive will be SKIPPED: $QUARVEX_TMPFS_SKIP_REASON"
fi
ctest --preset windows
if [ "$repro_status" != 0 ]; then
  echo "== FAILED: the two release builds differ (see the comparison above)"
  exit 1
fi
echo "== all tests passed"
