#!/usr/bin/env bash
# Sourced by the scripts that run Windows programs: prepares the Wine prefix of a build tree
# (created once, reused), the test drives, and a display.
#
#   qvx_wine_env <build-dir>      sets WINEPREFIX, WINEDEBUG, WINEDLLOVERRIDES
#   qvx_test_drives <build-dir>   maps S: (small tmpfs, labelled), U: (plain folder, no label), F: (dangling)
#   qvx_display                   makes sure DISPLAY points at an X server (starts Xvfb if needed)
#
# Sourcing it also switches to a UTF-8 locale when the current one is not: Wine maps file names
# through the Unix locale, and under plain ASCII (a minimal system sets no locale at all) a name
# with any other character cannot be created ("Invalid name.").
if ! locale charmap 2>/dev/null | grep -qi '^utf-\?8$'; then
  export LC_ALL=C.UTF-8
fi

qvx_wine_env() {
  # $1: build tree; $2: "test" (default) or "run". The test prefix makes every window unmanaged:
  # without a window manager Wine would wait two seconds for one at every hidden or destroyed
  # top-level window. The run prefix leaves windows to the user's window manager.
  local build kind="${2:-test}"; build="$(mkdir -p "$1" && cd "$1" && pwd)"
  if [ "$kind" = run ]; then export WINEPREFIX="$build/wineprefix-run"; else export WINEPREFIX="$build/wineprefix"; fi
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
