# Sourced by the scripts: a private X display and Wine prefix for one run.
# Defines tessaly_wine_start and tessaly_wine_stop.

tessaly_wine_start() {
  export WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="winemenubuilder.exe=d"
  export WINE=/usr/lib/wine/wine64
  TESSALY_PREFIX_DIR=$(mktemp -d /tmp/tessaly-wine.XXXXXX)
  export WINEPREFIX="$TESSALY_PREFIX_DIR/prefix"
  export XDG_RUNTIME_DIR="$TESSALY_PREFIX_DIR/run"
  mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"

  if [ -z "${DISPLAY:-}" ] || [ "${TESSALY_OWN_DISPLAY:-0}" = 1 ]; then
    local n=90
    while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    TESSALY_XVFB_PID=$!
    export DISPLAY=":$n"
    local i
    for i in $(seq 1 100); do
      [ -e "/tmp/.X11-unix/X$n" ] && break
      sleep 0.1
    done
  fi

  # A persistent server first, so that the services wineboot starts belong to
  # it and hold /dev/null, not the output pipe of whatever runs Wine next
  # (ctest would wait for them forever).
  mkdir -p "$WINEPREFIX"
  wineserver -p
  "$WINE" wineboot --init </dev/null >/dev/null 2>&1
  # Without a window manager every hide and destroy stalls Wine for ~2 s.
  "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
  if [ -x tests/e2e/prepare-prefix.sh ]; then tests/e2e/prepare-prefix.sh </dev/null >/dev/null 2>&1; fi
}

tessaly_wine_stop() {
  wineserver -k 2>/dev/null || true
  if [ -n "${TESSALY_XVFB_PID:-}" ]; then kill "$TESSALY_XVFB_PID" 2>/dev/null || true; fi
  if [ -n "${TESSALY_PREFIX_DIR:-}" ]; then rm -rf "$TESSALY_PREFIX_DIR"; fi
}
