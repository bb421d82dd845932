#!/usr/bin/env bash
# Prepares a Debian 12 machine (as root) to build and test Kivro:
# the packages, then the Wine prefix the tests and the demo use.
# Safe to run again: it only does what is missing.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
. "$here/wine-env.sh"

packages=(
  cmake g++ make googletest libgtest-dev libbenchmark-dev
  g++-mingw-w64-i686 g++-mingw-w64-x86-64
  wine wine32:i386 wine64
  xvfb x11-utils xdotool x11-apps imagemagick fonts-wine zip unzip nsis
  clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
  fi
  # A mirror caught mid-sync fails an index or two: try again, then go on
  # with what came.
  for attempt in 1 2 3; do
    apt-get update -qq && break
    echo "setup: apt-get update failed (try $attempt of 3)" >&2
    sleep 10
  done
  install_missing() {
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$@" \
      "${missing[@]}" >/dev/null
  }
  # Without the security index of one architecture, its 32-bit libraries
  # cannot match the 64-bit ones: then the release's own versions are taken.
  if ! install_missing; then
    echo "setup: installing from the release itself, without its security updates" >&2
    install_missing -t bookworm
  fi
fi

# The Wine prefix: made once, without Mono or Gecko prompts, then tuned for
# tests (no window-manager delays, no crash dialog that would hang a test).
if [ ! -f "$WINEPREFIX/.kivro-ready" ]; then
  echo "setup: creating the Wine prefix $WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1 || true
  wineserver -w || true
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
  wineserver -w || true
  touch "$WINEPREFIX/.kivro-ready"
fi
# Wine draws the caption buttons with the Marlett font, which this Wine looks
# for only in the prefix's Fonts folder (fonts-wine puts it beside Wine).
fonts="$WINEPREFIX/drive_c/windows/Fonts"
if [ -f /usr/share/wine/fonts/marlett.ttf ] && [ ! -f "$fonts/marlett.ttf" ]; then
  mkdir -p "$fonts"
  cp /usr/share/wine/fonts/marlett.ttf "$fonts/"
fi
echo "setup: ready"
