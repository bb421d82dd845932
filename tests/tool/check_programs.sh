#!/usr/bin/env bash
# kvtool.exe check under Wine: a program that is there, one that is not, a
# program found on the search path, and a document of a type that no
# application opens.
# Usage: check_programs.sh KVTOOL_EXE
set -uo pipefail
exe="$(realpath "$1")"
. "$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/scripts/wine-env.sh"

dir="$(mktemp -d)"
trap 'rm -rf "$dir"' EXIT
echo report >"$dir/report.xyz"
windir="Z:${dir//\//\\}"
entry() {  # entry COMMAND_LINE WORKING_DIRECTORY DESCRIPTION
  printf '1767603601 2082718859 K 1 %s \022%s p0 d%s\r\n' "$1" "$2" "$3"
}
{
  printf 'Version=3.0\r\n'
  entry 'C:\windows\notepad.exe C:\windows\win.ini' 'C:\windows' 'there'
  entry 'C:\windows\nothere.exe' 'C:\windows' 'not there'
  entry 'notepad.exe' '' 'on the search path'
  entry 'report.xyz' "$windir" 'no association'
} >"$dir/s.KV"

out="$(cd "$dir" && wine "$exe" check s.KV --at 2026-01-01 2>/dev/null | tr -d '\r')"
status=$?
expected='s.KV:3: warning: C:\windows\nothere.exe not found
s.KV:5: warning: no application is associated with report.xyz
s.KV: 4 of 4 entries kept by a load; loads as it stands; 2 warnings'
if [ "$status" != 0 ] || [ "$out" != "$expected" ]; then
  echo "kvtool.exe check gave status $status and:"
  echo "$out"
  echo "expected:"
  echo "$expected"
  exit 1
fi
echo "$out"
