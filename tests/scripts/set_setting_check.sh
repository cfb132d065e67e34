#!/usr/bin/env bash
# qvx_set_setting (scripts/wine-env.sh), which scripts/run.sh uses to start the program with the
# scratch drive selected: one key set in the [quarvex] section whatever the file holds, every
# other line kept, CR LF line ends. Exit 0: passed.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
. "$root/scripts/wine-env.sh"
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
ini="$dir/quarvex.ini"
failed=0
# $1: what the file holds before (\r\n-separated, printf format; "-" for no file), $2: what it must hold after.
check() {
  rm -f "$ini"
  [ "$1" = - ] || printf "$1" >"$ini"
  qvx_set_setting "$ini" DriveComboBox1 s
  local want; want=$(printf "$2")
  if [ "$(cat "$ini")" != "$want" ]; then
    echo "FAILED: from $(printf '%q' "$(printf "$1")")"
    echo "  got:  $(printf '%q' "$(cat "$ini")")"
    echo "  want: $(printf '%q' "$want")"
    failed=1
  fi
}
check - '[quarvex]\r\nDriveComboBox1=s\r\n'
check '[quarvex]\r\nwindow_top_posn=5\r\ndrivecombobox1=c\r\nSanitization_Level_RadioGroup=2\r\n' \
      '[quarvex]\r\nwindow_top_posn=5\r\nDriveComboBox1=s\r\nSanitization_Level_RadioGroup=2\r\n'
check '[Quarvex]\r\nDriveComboBox1 = d\r\nDriveComboBox1=e\r\n[other]\r\nDriveComboBox1=x\r\n' \
      '[Quarvex]\r\nDriveComboBox1=s\r\n[other]\r\nDriveComboBox1=x\r\n'
check '[other]\r\nx=1\r\n[quarvex]\r\nwindow_top_posn=5\r\n' '[other]\r\nx=1\r\n[quarvex]\r\nwindow_top_posn=5\r\nDriveComboBox1=s\r\n'
check '[quarvex]\r\nwindow_top_posn=5\r\n[other]\r\nx=1\r\n' '[quarvex]\r\nwindow_top_posn=5\r\nDriveComboBox1=s\r\n[other]\r\nx=1\r\n'
check '[other]\nx=1\n' '[other]\r\nx=1\r\n[quarvex]\r\nDriveComboBox1=s\r\n'
[ "$failed" = 0 ] && echo "PASSED"
exit "$failed"
