#!/usr/bin/env bash
# Builds the two packages of the 32-bit Driftpad.exe, from a fresh clone:
#   build/package/DriftpadSetup-VERSION.exe        the per-user installer
#   build/package/Driftpad-VERSION-portable.zip    the program and how to use it
# and prints where it wrote them.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh"
"$top/scripts/build.sh" win32

tree=$top/build/win32
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$tree/CMakeCache.txt")
out=$top/build/package
mkdir -p "$out"
setup=$out/DriftpadSetup-$version.exe
cp "$tree/package/DriftpadSetup-$version.exe" "$setup"

zip=$out/Driftpad-$version-portable.zip
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
cp "$tree/bin/Driftpad.exe" "$stage/"
# Windows' own editor wants CRLF line ends.
sed "s/VERSION/$version/g; s/\$/\r/" "$top/installer/portable.txt" >"$stage/How to use Driftpad.txt"
rm -f "$zip"
(cd "$stage" && zip -q -X "$zip" Driftpad.exe "How to use Driftpad.txt")

echo "package: wrote $setup"
echo "package: wrote $zip"
