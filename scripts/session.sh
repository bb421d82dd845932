# Starts and stops what the Wine programs need for one run (sourced):
# a virtual X display, a persistent wineserver and a hidden keeper window,
# so that each program starts fast and nothing waits on Wine's desktop
# process. kv_session_stop undoes all of it.
# A virtual display on $DISPLAY unless one answers there already;
# KV_STARTED_XVFB is the Xvfb started, or empty.
kv_display_start() {
  KV_STARTED_XVFB=""
  if ! xdpyinfo -display "$DISPLAY" >/dev/null 2>&1; then
    Xvfb "$DISPLAY" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    KV_STARTED_XVFB=$!
    for _ in $(seq 50); do
      xdpyinfo -display "$DISPLAY" >/dev/null 2>&1 && break
      sleep 0.1
    done
  fi
}

kv_session_start() {
  local keeper="${1:-}"
  kv_display_start
  wineserver -p >/dev/null 2>&1 || true
  if [ -n "$keeper" ] && [ -f "$keeper" ]; then
    # The tests start once the keeper's window (and so the desktop) exists.
    local ready
    ready="$(mktemp -u "${TMPDIR:-/tmp}/kivro-keeper-ready.XXXXXX")"
    local loader
    loader="$(kv_wine_loader)"
    KV_KEEPER_READY="Z:${ready//\//\\}" WINELOADER="$loader" setsid "$loader" "$keeper" \
      </dev/null >/dev/null 2>&1 &
    for _ in $(seq 300); do
      [ -e "$ready" ] && break
      sleep 0.1
    done
    if [ -e "$ready" ]; then rm -f "$ready"; else echo "session: the keeper did not start in 30 s" >&2; fi
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

# A drive with almost no room for the full-disk tests: a small tmpfs mapped
# into the Wine prefix as drive K:. Needs root; without it the tests that
# use KV_FULL_DRIVE skip.
kv_full_drive_start() {
  # One drive per Wine prefix, so that two test runs on one machine keep
  # their own.
  local mount_point
  mount_point="${TMPDIR:-/tmp}/kivro-full-drive-$(printf '%s' "$WINEPREFIX" | md5sum | cut -c1-8)"
  mkdir -p "$mount_point"
  if mountpoint -q "$mount_point" || mount -t tmpfs -o size=256k tmpfs "$mount_point" 2>/dev/null; then
    ln -sfn "$mount_point" "$WINEPREFIX/dosdevices/k:"
    export KV_FULL_DRIVE="K:"
    KV_FULL_DRIVE_MOUNT="$mount_point"
  fi
}

kv_full_drive_stop() {
  if [ -n "${KV_FULL_DRIVE_MOUNT:-}" ]; then
    rm -f "$WINEPREFIX/dosdevices/k:"
    umount "$KV_FULL_DRIVE_MOUNT" 2>/dev/null || true
    rmdir "$KV_FULL_DRIVE_MOUNT" 2>/dev/null || true
  fi
}
