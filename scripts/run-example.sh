#!/usr/bin/env bash
# Sets everything up, builds, and starts Kivro under Wine on the example
# schedule, written afresh for the local time zone into build/example beside
# the text its entries open in Notepad (a copy of examples/Welcome.txt).
# Without a display of your own (DISPLAY unset or not answering) it runs on
# a virtual display; either way it saves a screenshot of the screen to
# kivro-window.png.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
. "$root/scripts/wine-env.sh"
. "$root/scripts/session.sh"
exe="$(kv_test_tree)/kv.exe"
trap kv_session_stop EXIT
kv_session_start
folder="$KV_BUILD_ROOT/example"
example="$folder/Example Schedule.KV"
mkdir -p "$folder"
cp "$root/examples/Welcome.txt" "$folder/"
welcome="$(wine winepath.exe -w "$folder/Welcome.txt" 2>/dev/null | tr -d '\r')"
bash "$root/scripts/write-example.sh" --text "$welcome" "$example"
if [ -n "$KV_STARTED_XVFB" ]; then
  echo "No display answered, so Kivro runs on the virtual display $DISPLAY (Xvfb)."
else
  echo "Kivro runs on the display $DISPLAY."
fi
# Kivro takes its whole command line as the file name, quotes included, and
# wine quotes an argument that holds blanks: so the name goes in as words,
# which wine joins with single blanks.
read -r -a words <<<"$(wine winepath.exe -w "$example" 2>/dev/null)"
wine "$exe" "${words[@]}" &
for _ in $(seq 100); do
  xdotool search --name '^Kivro' >/dev/null 2>&1 && break
  sleep 0.2
done
sleep 2
shot="$root/kivro-window.png"
xwd -root -silent | convert xwd:- "$shot"
echo "Screenshot of the window saved to $shot"
echo "Kivro keeps running on $DISPLAY; press Enter to end it."
read -r _ || true
