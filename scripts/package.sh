#!/usr/bin/env bash
# Builds what is handed out, from trees that scripts/build.sh made:
#   dist/kivro-<version>-win32.zip          from build/windows (32-bit Windows)
#   dist/kivro-<version>-setup.exe          the same programs as a setup
#   dist/kivro-<version>-win64.zip          from build/windows-x64, where it exists
#   dist/kivro-<version>-win64-setup.exe    and its setup
# Each zip holds kv.exe and kvtool.exe (when built), stripped of their debug
# sections, the help page, INSTALL.txt and the example schedule, written for
# this machine's time zone (TZ) when the zip is made. The setup, made with
# makensis from resources/installer/kivro.nsi, installs the same files but
# INSTALL.txt. Give win32 or win64 to make only that one. Prints the path of
# each file made.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
. "$root/scripts/wine-env.sh"
version="$(sed -n 's/^project(Kivro VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")"
[ -n "$version" ] || { echo "package: no project version in CMakeLists.txt" >&2; exit 1; }
dist="${KV_DIST_DIR:-$root/dist}"
command -v makensis >/dev/null || { echo "package: no makensis; run scripts/setup.sh" >&2; exit 1; }
# The setup's version resource wants four numbers.
version4="$version"
while [ "$(tr -cd . <<<"$version4" | wc -c)" -lt 3 ]; do version4+=".0"; done

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
    win32)
      tree="$KV_BUILD_ROOT/windows" strip=i686-w64-mingw32-strip
      setup_name=setup nsis_target=()
      ;;
    win64)
      # NSIS's amd64-unicode target, for the machines that run no 32-bit
      # program, where the Wine tests run the 64-bit build.
      tree="$KV_BUILD_ROOT/windows-x64" strip=x86_64-w64-mingw32-strip
      setup_name=win64-setup nsis_target=(-DAMD64)
      ;;
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
  setup_file="$dist/kivro-$version-$setup_name.exe"
  rm -f "$setup_file"
  makensis -V2 -WX -DVERSION="$version" -DVERSION4="$version4" -DFILES="$staging" \
    -DICON="$root/resources/kv.ico" -DOUTFILE="$setup_file" "${nsis_target[@]}" \
    "$root/resources/installer/kivro.nsi" >&2
  rm -rf "$staging"
  echo "$zip_file"
  echo "$setup_file"
done
