#!/usr/bin/env bash
# Builds the zips to hand out, from trees that scripts/build.sh made:
#   dist/kivro-<version>-win32.zip  from build/windows (32-bit Windows)
#   dist/kivro-<version>-win64.zip  from build/windows-x64, where it exists
# Each holds kv.exe and kvtool.exe (when built), stripped of their debug
# sections, the help page, INSTALL.txt and the example schedule, written for
# this machine's time zone (TZ) when the zip is made. Give win32 or win64 to
# make only that one. Prints the path of each zip made.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
. "$root/scripts/wine-env.sh"
version="$(sed -n 's/^project(Kivro VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")"
[ -n "$version" ] || { echo "package: no project version in CMakeLists.txt" >&2; exit 1; }
dist="${KV_DIST_DIR:-$root/dist}"

archs=("$@")
if [ "${#archs[@]}" -eq 0 ]; then
  archs=(win32)
  [ -f "$KV_BUILD_ROOT/windows-x64/kv.exe" ] && archs+=(win64)
fi

mkdir -p "$dist"
staging=""
trap 'rm -rf "$staging"' EXIT
for arch in "${archs[@]}"; do
  case "$arch" in
    win32) tree="$KV_BUILD_ROOT/windows" strip=i686-w64-mingw32-strip ;;
    win64) tree="$KV_BUILD_ROOT/windows-x64" strip=x86_64-w64-mingw32-strip ;;
    *) echo "package: unknown architecture $arch (win32 or win64)" >&2; exit 2 ;;
  esac
  [ -f "$tree/kv.exe" ] || { echo "package: no $tree/kv.exe; run scripts/build.sh" >&2; exit 1; }
  staging="$(mktemp -d)"
  for program in kv.exe kvtool.exe; do
    [ -f "$tree/$program" ] || continue
    cp "$tree/$program" "$staging/"
    "$strip" "$staging/$program"
  done
  cp "$root/resources/kivro-help.html" "$staging/"
  # The zip cannot know the folder it is unpacked into, so the example's
  # entries name no file of it: each starts Notepad on a new page.
  bash "$root/scripts/write-example.sh" "$staging/Example Schedule.KV"
  # Windows line ends, so that Notepad of any age shows the lines.
  sed -e "s/@VERSION@/$version/" -e 's/$/\r/' "$root/resources/INSTALL.txt" >"$staging/INSTALL.txt"
  zip_file="$dist/kivro-$version-$arch.zip"
  rm -f "$zip_file"
  (cd "$staging" && zip -q -X "$zip_file" ./*)
  rm -rf "$staging"
  echo "$zip_file"
done
