#!/usr/bin/env bash
# Installs, on Debian 12 as root, whatever the build and the tests need and is missing.
set -euo pipefail
pkgs=(
  cmake make g++ clang libclang-rt-14-dev      # native build, sanitizers, libFuzzer
  googletest libgtest-dev libgmock-dev         # GoogleTest sources (built for both targets)
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64   # cross compiler
  wine wine64                                  # runs quarvex.exe and the Windows-side tests
  xvfb x11-utils imagemagick xdotool           # a display, xdpyinfo, screenshots (import), window lookup
  fonts-liberation fonts-wine                  # metric twins of Times New Roman and Arial; Wine's own fonts
  libgif-dev                                   # giflib: baseline of the GIF benchmark only
  util-linux procps                            # mount, mountpoint, flock, pkill
  ntfs-3g python3                              # the NTFS end-to-end check: mkntfs, a FUSE mount, the image scan
  git unzip                                    # the release ZIP: built from a commit, unpacked by its test
)
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" != 0 ]; then
    echo "Missing packages: ${missing[*]} (run as root to install them)" >&2
    exit 1
  fi
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
