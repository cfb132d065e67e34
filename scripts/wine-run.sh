#!/usr/bin/env bash
# CMake's cross-compiling emulator: runs one Windows test program under Wine, in the
# build tree's own prefix, with the test drives mapped and a display available.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
. "$here/wine-env.sh"
exe="$1"; shift
# The build tree is the nearest folder above the program that holds CMakeCache.txt.
build="$(cd "$(dirname "$exe")" && pwd)"
while [ "$build" != "/" ] && [ ! -f "$build/CMakeCache.txt" ]; do build="$(dirname "$build")"; done
qvx_wine_env "$build"
qvx_test_drives "$build"
qvx_display
export QUARVEX_BUILD_DIR="$build"
status=0
wine "$exe" "$@" || status=$?
if [ -n "${QVX_XVFB_PID:-}" ]; then kill "$QVX_XVFB_PID" 2>/dev/null || true; fi
exit $status
