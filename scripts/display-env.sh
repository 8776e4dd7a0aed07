# Sourced by the scripts: a private Xvfb display with a notification area
# (trayer, an XEmbed tray host) for the Linux edition, unless a display is
# already there. Defines tessaly_display_start and tessaly_display_stop, and
# tessaly_xvfb_start, which the Wine scripts use too.

# Starts a bare Xvfb on the first free display number from $1 on; exports
# DISPLAY and leaves the server's process id in TESSALY_XVFB_STARTED.
tessaly_xvfb_start() {
  local n=${1:-70}
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  TESSALY_XVFB_STARTED=$!
  export DISPLAY=":$n"
  local i
  for i in $(seq 1 100); do
    [ -e "/tmp/.X11-unix/X$n" ] && break
    sleep 0.1
  done
}

tessaly_display_start() {
  TESSALY_DISPLAY_RUN=$(mktemp -d /tmp/tessaly-display.XXXXXX)
  export XDG_RUNTIME_DIR="$TESSALY_DISPLAY_RUN/run"
  mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
  if [ -n "${DISPLAY:-}" ] && [ "${TESSALY_OWN_DISPLAY:-0}" != 1 ]; then return 0; fi
  tessaly_xvfb_start 70
  TESSALY_DISPLAY_XVFB_PID=$TESSALY_XVFB_STARTED
  trayer --edge top --align right --widthtype pixel --width 120 --height 24 >/dev/null 2>&1 &
  TESSALY_DISPLAY_TRAYER_PID=$!
  export TESSALY_TRAY_HOST=trayer
}

tessaly_display_stop() {
  if [ -n "${TESSALY_DISPLAY_TRAYER_PID:-}" ]; then kill "$TESSALY_DISPLAY_TRAYER_PID" 2>/dev/null || true; fi
  if [ -n "${TESSALY_DISPLAY_XVFB_PID:-}" ]; then kill "$TESSALY_DISPLAY_XVFB_PID" 2>/dev/null || true; fi
  if [ -n "${TESSALY_DISPLAY_RUN:-}" ]; then rm -rf "$TESSALY_DISPLAY_RUN"; fi
  unset TESSALY_DISPLAY_TRAYER_PID TESSALY_DISPLAY_XVFB_PID TESSALY_DISPLAY_RUN
}
