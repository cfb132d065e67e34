#!/usr/bin/env bash
# Builds the release twice from the same commit and checks that both builds give the same bytes:
# the ZIP, the exe in it and the debug file.
#
#   scripts/check-reproducible.sh [COMMIT]          (HEAD by default)
#
# The two builds differ in everything that must not matter: folder (different depth and name
# length), time of day, time zone, locale and umask. Both results stay in build/reproducible/
# (first/dist and second/dist). Exit 0: identical; 1: they differ (the differing bytes are
# listed, with the section of the exe they fall in).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root="$PWD"
commit="${1:-HEAD}"
base="$root/build/reproducible"
first="$base/first"
second="$base/second/in/a/deeper/folder"
rm -rf "$base"
mkdir -p "$first" "$second"
started=$(date +%s)

echo "== first build ($first)"
TZ=UTC LC_ALL=C.UTF-8 bash -c 'umask 022; exec scripts/package.sh --work "$1/work" --out "$1/dist" "$2"' _ "$first" "$commit"
between=$(date +%s)
echo "== second build ($second)"
TZ=Pacific/Kiritimati LC_ALL=C bash -c 'umask 077; exec scripts/package.sh --work "$1/work" --out "$1/dist" "$2"' _ "$second" "$commit"
finished=$(date +%s)
times="first build $(( between - started )) s, second $(( finished - between )) s"

zip=$(cd "$first/dist" && ls quarvex-*-win64.zip)
status=0
compare() {
  local label="$1" a="$2" b="$3"
  printf '  %-22s %s\n  %-22s %s\n' "$label (first)" "$(sha256sum "$a" | cut -d' ' -f1)" \
    "$label (second)" "$(sha256sum "$b" | cut -d' ' -f1)"
  if ! cmp -s "$a" "$b"; then
    status=1
    echo "  DIFFERENT: $label; first differing bytes (offset, first, second):"
    cmp -l "$a" "$b" | head -n 8 | sed 's/^/    /'  || true
    if [ "${label%.exe}" != "$label" ] || [ "${label%.debug}" != "$label" ]; then
      local offset; offset=$( (cmp -l "$a" "$b" || true) | head -n 1 | awk '{print $1 - 1}')
      x86_64-w64-mingw32-objdump -h "$a" | while read -r _ section size _ _ off _; do
        [[ "$size" =~ ^[0-9a-f]{8}$ ]] || continue
        if (( offset >= 16#$off && offset < 16#$off + 16#$size )); then echo "    in section $section"; fi
      done
    fi
  fi
}
echo "== comparing"
compare "$zip" "$first/dist/$zip" "$second/dist/$zip"
compare "quarvex.exe" "$first/work/stage/quarvex.exe" "$second/work/stage/quarvex.exe"
compare "quarvex.exe.debug" "$first/dist/quarvex.exe.debug" "$second/dist/quarvex.exe.debug"
if [ "$status" = 0 ]; then
  echo "REPRODUCIBLE: both builds are byte-identical ($times)"
else
  echo "NOT REPRODUCIBLE ($times)"
fi
exit "$status"
