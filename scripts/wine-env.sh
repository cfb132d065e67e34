#!/usr/bin/env bash
# Sourced by the scripts that run Windows programs: prepares the Wine prefix of a build tree
# (created once, reused), the test drives, and a display.
#
#   qvx_wine_env <build-dir> [test|run|dpi]   sets WINEPREFIX, WINEDEBUG, WINEDLLOVERRIDES
#   qvx_set_dpi <dpi>             the display scale (96 = 100 %) of the processes started next
#   qvx_test_drives <build-dir>   maps S: (small tmpfs, labelled), U: (plain folder, no label), F: (dangling)
#   qvx_display                   makes sure DISPLAY points at an X server (starts Xvfb if needed)
#   qvx_install_program <build-dir> <folder>     copies quarvex.exe and its texts into a folder
#   qvx_set_setting <ini> <key> <value>          sets one key of a settings file
#   qvx_wait_for_window <title regex> [seconds]  prints the X window id of a visible window
#
# Sourcing it also switches to a UTF-8 locale when the current one is not: Wine maps file names
# through the Unix locale, and under plain ASCII (a minimal system sets no locale at all) a name
# with any other character cannot be created ("Invalid name.").
if ! locale charmap 2>/dev/null | grep -qi '^utf-\?8$'; then
  export LC_ALL=C.UTF-8
fi

qvx_wine_env() {
  # $1: build tree; $2: "test" (default), "run" or "dpi". The test prefix makes every window
  # unmanaged: without a window manager Wine would wait two seconds for one at every hidden or
  # destroyed top-level window. The run prefix leaves windows to the user's window manager. The
  # dpi prefix is a test prefix whose display scale the DPI tests change, apart from the others.
  local build kind="${2:-test}"; build="$(mkdir -p "$1" && cd "$1" && pwd)"
  case "$kind" in
    run) export WINEPREFIX="$build/wineprefix-run" ;;
    dpi) export WINEPREFIX="$build/wineprefix-dpi" ;;
    *) export WINEPREFIX="$build/wineprefix" ;;
  esac
  export WINEDEBUG="${WINEDEBUG:--all}"
  # No Mono/Gecko download prompts in a fresh prefix.
  export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
  if [ ! -f "$WINEPREFIX/.qvx-ready" ]; then
    (
      flock 9
      if [ ! -f "$WINEPREFIX/.qvx-ready" ]; then
        echo "Creating the Wine prefix $WINEPREFIX (once per build tree)..." >&2
        wineboot -i >/dev/null 2>&1 || true
        # Windows draw their own frames (a test display has no window manager), and the
        # program's fonts map to their metric-compatible free twins.
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1 || true
        if [ "$kind" != run ]; then
          wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
        fi
        wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'Times New Roman' /d 'Liberation Serif' /f >/dev/null 2>&1 || true
        wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'Arial' /d 'Liberation Sans' /f >/dev/null 2>&1 || true
        wineserver -k >/dev/null 2>&1 || true
        touch "$WINEPREFIX/.qvx-ready"
      fi
    ) 9>"$build/.wineprefix-$kind.lock"
  fi
  # Wine draws the title bar's buttons with the Marlett font, but Debian's Wine does not look in
  # fonts-wine's folder, and the buttons would show the letters 0, 1 and r. The run prefix gets a
  # copy (what people and screenshots see); the tests' prefix is left as the tests know it.
  local marlett=/usr/share/wine/fonts/marlett.ttf fonts="$WINEPREFIX/drive_c/windows/Fonts"
  if [ "$kind" = run ] && [ -f "$marlett" ] && [ ! -f "$fonts/marlett.ttf" ]; then
    mkdir -p "$fonts" && cp "$marlett" "$fonts/"
  fi
}

# Wine reads the display scale when a process starts: the processes started after this call
# draw at that DPI (96 is 100 %, 120 is 125 %, 144 is 150 %, 192 is 200 %).
qvx_set_dpi() {
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
}

# Mount point of the scratch drive; tests and the run script share it.
qvx_scratch_dir() { echo "$1/drives/scratch"; }

qvx_test_drives() {
  local build size="${2:-64m}"; build="$(cd "$1" && pwd)"
  local scratch; scratch=$(qvx_scratch_dir "$build")
  local dd="$WINEPREFIX/dosdevices"
  mkdir -p "$scratch" "$build/drives/plain"
  (
    flock 9
    if ! mountpoint -q "$scratch"; then
      if mount -t tmpfs -o "size=$size,mode=0777" tmpfs "$scratch" 2>/dev/null; then
        printf 'QVXSCRATCH' >"$scratch/.windows-label"
        printf '00f0a1b2\n' >"$scratch/.windows-serial"
      fi
    fi
  ) 9>"$build/.drives.lock"
  ln -sfn "$scratch" "$dd/s:"
  ln -sfn "$build/drives/plain" "$dd/u:"
  ln -sfn "$build/drives/missing" "$dd/f:"
  if mountpoint -q "$scratch"; then
    export QUARVEX_TMPFS_DRIVE=S
    unset QUARVEX_TMPFS_SKIP_REASON
  else
    export QUARVEX_TMPFS_DRIVE=
    export QUARVEX_TMPFS_SKIP_REASON="this machine does not allow mounting a tmpfs (not root, or no mount permission in this container)"
  fi
}

qvx_unmount_drives() {
  local scratch; scratch=$(qvx_scratch_dir "$1")
  if mountpoint -q "$scratch" 2>/dev/null; then
    wineserver -k 2>/dev/null || true
    umount "$scratch" 2>/dev/null || umount -l "$scratch" 2>/dev/null || true
  fi
}

qvx_display() {
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then return 0; fi
  local n
  for n in $(seq 90 120); do
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then
      Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
      QVX_XVFB_PID=$!
      export DISPLAY=":$n"
      for _ in $(seq 1 50); do xdpyinfo >/dev/null 2>&1 && return 0; sleep 0.1; done
    fi
  done
  echo "could not start Xvfb" >&2
  return 1
}

# A copy of the built program with its readme and catalog, so that a run's settings file and run
# record stay in that folder, apart from the files the tests make beside the build's exe.
qvx_install_program() {
  local build="$1" dir="$2"
  mkdir -p "$dir"
  cp "$build/src/quarvex.exe" "$build/src/quarvex.txt" "$build/src/catalog.txt" "$dir/"
}

# Sets one key in the [quarvex] section of a settings file (made when missing), keeping every
# other line; CR LF line ends, as the program's own writes give.
qvx_set_setting() {
  python3 - "$1" "$2" "$3" <<'PY'
import os, sys
path, key, value = sys.argv[1:]
lines = open(path, encoding="latin-1").read().splitlines() if os.path.exists(path) else []
out, section, found, done = [], False, False, False
for line in lines:
    text = line.strip()
    if text.startswith("["):
        if section and not done:
            out.append(key + "=" + value)
            done = True
        section = text.lower() == "[quarvex]"
        found = found or section
    elif section and text.split("=", 1)[0].strip().lower() == key.lower():
        if not done:
            out.append(key + "=" + value)
            done = True
        continue
    out.append(line)
if not done:
    if not section:
        out.append("[quarvex]")
    out.append(key + "=" + value)
with open(path, "w", encoding="latin-1", newline="\r\n") as f:
    f.write("\n".join(out) + "\n")
PY
}

# Waits for a visible X window whose title matches the regular expression; prints its id.
qvx_wait_for_window() {
  local pattern="$1" seconds="${2:-30}" id i
  for ((i = 0; i < seconds * 4; i++)); do
    id=$(xdotool search --onlyvisible --name "$pattern" 2>/dev/null | head -n 1 || true)
    if [ -n "$id" ]; then echo "$id"; return 0; fi
    sleep 0.25
  done
  return 1
}
