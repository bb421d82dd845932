# What the scripts that drive the real kv.exe share (sourced after
# scripts/wine-env.sh): a work folder removed at the end together with the
# kv.exe they started (its process id in kivro_pid), failing with the test's
# name, kv_drive, and waiting for the keyboard focus.
# Set KV_TEST_NAME ("keys test") and KV_DRIVE_EXE (kv_drive.exe) first.
work="$(mktemp -d)"
kivro_pid=""
cleanup() {
  [ -n "$kivro_pid" ] && kill "$kivro_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "$KV_TEST_NAME: $*" >&2
  exit 1
}
drive() { wine "$KV_DRIVE_EXE" "$@" 2>/dev/null | tr -d '\r'; }
# Waits until `drive focus` (the active window's caption, a tab, the id of
# the control with the focus) matches the pattern, and is not `other` when
# that is given; prints what it saw last.
focus_becomes() {
  local seen=""
  for _ in $(seq 50); do
    seen="$(drive focus)"
    if [[ "$seen" =~ $1 ]] && [ "$seen" != "${2:-}" ]; then
      echo "$seen"
      return 0
    fi
    sleep 0.1
  done
  echo "$seen"
  return 1
}
