# Starts and stops what the Wine programs need for one run (sourced):
# a virtual X display, a persistent wineserver and a hidden keeper window,
# so that each program starts fast and nothing waits on Wine's desktop
# process. kv_session_stop undoes all of it.
kv_session_start() {
  local keeper="${1:-}"
  KV_STARTED_XVFB=""
  if ! xdpyinfo -display "$DISPLAY" >/dev/null 2>&1; then
    Xvfb "$DISPLAY" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    KV_STARTED_XVFB=$!
    for _ in $(seq 50); do
      xdpyinfo -display "$DISPLAY" >/dev/null 2>&1 && break
      sleep 0.1
    done
  fi
  wineserver -p >/dev/null 2>&1 || true
  if [ -n "$keeper" ] && [ -f "$keeper" ]; then
    setsid wine "$keeper" </dev/null >/dev/null 2>&1 &
  fi
}

kv_session_stop() {
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
  if [ -n "${KV_STARTED_XVFB:-}" ]; then
    kill "$KV_STARTED_XVFB" 2>/dev/null || true
    wait "$KV_STARTED_XVFB" 2>/dev/null || true
  fi
}
