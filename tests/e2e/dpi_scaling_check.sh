#!/usr/bin/env bash
# The windows at other display scales. The tests of win_tests.exe that check the windows against
# the DPI they are shown at (places, fonts, texts that fit, the settings file's sizes, moves to
# another scale) run again at 120, 144 and 192 DPI (125, 150 and 200 %), each in a process of
# its own: Wine takes the display scale from its prefix when a process starts. The prefix is one
# of this test's own, so that no other test ever meets a changed scale.
#
#   tests/e2e/dpi_scaling_check.sh [windows build dir]
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/../.." && pwd)"
build="$(cd "${1:-$root/build/windows}" && pwd)"
. "$root/scripts/wine-env.sh"

tests="$build/tests/win_tests.exe"
[ -x "$tests" ] || { echo "FAILED: build the windows preset first ($tests)"; exit 1; }
qvx_wine_env "$build" dpi
qvx_test_drives "$build"
qvx_display
export QUARVEX_BUILD_DIR="$build"
trap 'if [ -n "${QVX_XVFB_PID:-}" ]; then kill "$QVX_XVFB_PID" 2>/dev/null || true; fi' EXIT

filter='MainFormTest.EveryVisualControl*:MainFormTest.AtTheMonitorsScale*:MainFormTest.AMoveToAnotherScale*'
filter+=':AboutBoxTest.*:SettingsFormTest.TheSizeIsKeptIn96DpiUnits*'
failed=()
for dpi in 120 144 192; do
  echo "== at $dpi DPI ($((dpi * 100 / 96)) %)"
  qvx_set_dpi "$dpi"
  QVX_TEST_DPI="$dpi" wine "$tests" --gtest_filter="$filter" --gtest_brief=1 || failed+=("$dpi")
done
qvx_set_dpi 96
if [ "${#failed[@]}" -gt 0 ]; then
  echo "FAILED at ${failed[*]} DPI"
  exit 1
fi
echo "passed at 120, 144 and 192 DPI"
