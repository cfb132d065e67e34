#!/usr/bin/env bash
# Builds the release from a clean tree of one commit and makes the distribution ZIP:
#
#   scripts/package.sh [--work DIR] [--out DIR] [COMMIT]     (COMMIT: HEAD by default)
#
# In --out (dist/ by default):
#   quarvex-<version>-win64.zip          quarvex.exe (stripped), quarvex.txt, catalog.txt,
#                                        LICENSE.txt, SHA256SUMS of those four
#   quarvex-<version>-win64.zip.sha256   the ZIP's own checksum
#   quarvex.exe.debug                    the debug information, which quarvex.exe names through
#                                        its .gnu_debuglink section (gdb finds it beside the exe)
#
# The same commit gives the same bytes in any folder, on any day: the sources come from
# `git archive` (nothing uncommitted, no build leftovers), the build is the windows-release
# preset (no paths, no link time stamp), SOURCE_DATE_EPOCH is the commit's time, and the ZIP's
# entries have a fixed order, time and attributes. scripts/check-reproducible.sh checks it.
# The work folder (build/package by default) is emptied first and kept for a look afterwards.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root="$PWD"
work="$root/build/package"
out="$root/dist"
commit=HEAD
while [ $# -gt 0 ]; do
  case "$1" in
    --work) work="$2"; shift 2 ;;
    --out) out="$2"; shift 2 ;;
    -h|--help) sed -n '2,17p' "$0"; exit 0 ;;
    -*) echo "package.sh: unknown option $1" >&2; exit 2 ;;
    *) commit="$1"; shift ;;
  esac
done

scripts/install-deps.sh
# A downloaded source archive has no commits: there is nothing to build a release from.
if [ ! -e "$root/.git" ]; then
  echo "package.sh: releases are built from a git commit, and $root is not a git checkout" >&2
  exit 2
fi
rev=$(git rev-parse --verify "$commit^{commit}")
if [ "$commit" = HEAD ] && [ -n "$(git status --porcelain --untracked-files=no)" ]; then
  echo "NOTE: uncommitted changes are not part of the release; it is built from commit ${rev:0:12}." >&2
fi
# Fixed time, locale and file modes: nothing below may depend on who builds, where or when.
SOURCE_DATE_EPOCH=$(git log -1 --format=%ct "$rev")
export SOURCE_DATE_EPOCH TZ=UTC LC_ALL=C
umask 022

mkdir -p "$work" "$out"
work="$(cd "$work" && pwd)"; out="$(cd "$out" && pwd)"
case "$work" in "$root"|"$root/"|/) echo "package.sh: refusing to use $work as the work folder" >&2; exit 2 ;; esac
find "$work" -mindepth 1 -delete
src="$work/quarvex"
mkdir -p "$src"
git archive "$rev" | tar -x -C "$src"

version=$(sed -n 's/^ *VALUE "ProductVersion", "\(.*\)"$/\1/p' "$src/src/app/quarvex.rc")
[ -n "$version" ] || { echo "package.sh: no ProductVersion in src/app/quarvex.rc" >&2; exit 1; }
name="quarvex-$version-win64"
echo "== building $name from commit ${rev:0:12} ($(date -u -d "@$SOURCE_DATE_EPOCH" '+%Y-%m-%d %H:%M:%S UTC'))"
(
  cd "$src"
  cmake --preset windows-release >/dev/null
  cmake --build --preset windows-release -j"${QUARVEX_JOBS:-$(nproc)}"
)
built="$src/build/release/src/quarvex.exe"

echo "== staging"
stage="$work/stage"
mkdir -p "$stage"
objcopy=x86_64-w64-mingw32-objcopy
# objcopy stamps what it writes with the time of day unless SOURCE_DATE_EPOCH is set (above): the
# exe's header then carries the commit's time.
"$objcopy" --only-keep-debug "$built" "$stage/quarvex.exe.debug"
"$objcopy" --strip-all "$built" "$stage/quarvex.exe"
# The link names only the file (no folder) and carries its CRC, so the debug file must sit
# beside the exe when it is used.
(cd "$stage" && "$objcopy" --add-gnu-debuglink=quarvex.exe.debug quarvex.exe)
# Texts with CR LF line ends: Notepad before Windows 10 (1809) shows LF-only text as one line.
for text in assets/quarvex.txt assets/catalog.txt LICENSE.txt; do
  sed 's/\r*$/\r/' "$src/$text" >"$stage/$(basename "$text")"
done
files=(quarvex.exe quarvex.txt catalog.txt LICENSE.txt)
(cd "$stage" && sha256sum "${files[@]}" >SHA256SUMS)
touch -d "@$SOURCE_DATE_EPOCH" "$stage"/*

echo "== $name.zip"
# Python's zipfile gives full control over what ends up in the entries: DOS attributes only (no
# Unix owner or mode), the commit's time in every entry, deflate at level 9, no extra fields.
# The archive's comment names the commit.
python3 - "$stage" "$out/$name.zip" "$SOURCE_DATE_EPOCH" "quarvex $version, commit $rev" "${files[@]}" SHA256SUMS <<'PY'
import sys, time, zipfile
stage, target, epoch, comment, *names = sys.argv[1:]
stamp = time.gmtime(max(int(epoch), 315532800))[:6]  # the ZIP format starts in 1980
with zipfile.ZipFile(target + ".part", "w") as z:
    z.comment = comment.encode()
    for name in names:
        info = zipfile.ZipInfo(name, date_time=stamp)
        info.create_system = 0           # MS-DOS: external attributes are DOS attributes
        info.external_attr = 0x20        # FILE_ATTRIBUTE_ARCHIVE, as Windows sets on a new file
        info.compress_type = zipfile.ZIP_DEFLATED
        with open(stage + "/" + name, "rb") as f:
            z.writestr(info, f.read(), compresslevel=9)
PY
mv "$out/$name.zip.part" "$out/$name.zip"
cp "$stage/quarvex.exe.debug" "$out/quarvex.exe.debug"
(cd "$out" && sha256sum "$name.zip" >"$name.zip.sha256")

size() { stat -c %s "$1"; }
echo "== done: $out"
printf '  %-28s %9s bytes  %s\n' \
  "$name.zip" "$(size "$out/$name.zip")" "$(cut -d' ' -f1 "$out/$name.zip.sha256")" \
  "quarvex.exe (in the ZIP)" "$(size "$stage/quarvex.exe")" "$(sha256sum "$stage/quarvex.exe" | cut -d' ' -f1)" \
  "quarvex.exe.debug" "$(size "$out/quarvex.exe.debug")" "$(sha256sum "$out/quarvex.exe.debug" | cut -d' ' -f1)"
