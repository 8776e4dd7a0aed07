# Sourced by the scripts: a private X display and Wine prefix for one run.
# Defines tessaly_wine_start (argument: test or run) and tessaly_wine_stop.
. "$(dirname "${BASH_SOURCE[0]}")/display-env.sh"

tessaly_wine_start() {
  local mode=${1:-test}
  export WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="winemenubuilder.exe=d"
  export WINE=/usr/lib/wine/wine64
  # wineserver lies beside the loader; only the "wine" package puts it on the
  # PATH, and this machine need not have that package.
  export PATH="/usr/lib/wine:$PATH"
  TESSALY_PREFIX_DIR=$(mktemp -d /tmp/tessaly-wine.XXXXXX)
  export WINEPREFIX="$TESSALY_PREFIX_DIR/prefix"
  export XDG_RUNTIME_DIR="$TESSALY_PREFIX_DIR/run"
  mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"

  if [ -z "${DISPLAY:-}" ] || [ "${TESSALY_OWN_DISPLAY:-0}" = 1 ]; then
    tessaly_xvfb_start 90
    TESSALY_XVFB_PID=$TESSALY_XVFB_STARTED
  fi

  if [ "$mode" = test ]; then
    # The prefix is made and set up (no window management by the X11 driver,
    # since without a window manager every hide and destroy stalls ~2 s;
    # shell "open" pointed at the tests' logging opener) before anything else
    # starts in it. Then a persistent server, and wineboot starts Wine's
    # services with /dev/null as their output: started later by a test, they
    # would inherit ctest's output pipe and ctest would wait for them forever.
    tests/e2e/prepare-prefix.sh </dev/null >/dev/null 2>&1
    wineserver -p
    "$WINE" wineboot </dev/null >/dev/null 2>&1
  else
    mkdir -p "$WINEPREFIX"
    wineserver -p
    "$WINE" wineboot --init </dev/null >/dev/null 2>&1
    if [ -n "${TESSALY_XVFB_PID:-}" ]; then
      "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
    fi
  fi
}

tessaly_wine_stop() {
  wineserver -k 2>/dev/null || true
  if [ -n "${TESSALY_XVFB_PID:-}" ]; then kill "$TESSALY_XVFB_PID" 2>/dev/null || true; fi
  if [ -n "${TESSALY_PREFIX_DIR:-}" ]; then rm -rf "$TESSALY_PREFIX_DIR"; fi
}
