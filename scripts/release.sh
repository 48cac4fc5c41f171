#!/usr/bin/env bash
# release.sh: installs what is missing, builds the shipped i686 Korvalin.exe and
# packs it with the sample rules.json and the user guide into build/Korvalin-1.21.zip.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/.." && pwd)
build_root=${KORVALIN_BUILD_ROOT:-$root/build}

"$here/setup.sh"
"$here/build.sh" i686

stage=$build_root/release/Korvalin-1.21
rm -rf "$build_root/release"
mkdir -p "$stage"
cp "$build_root/i686/Korvalin.exe" "$stage/"
cp "$root/dist/rules.json" "$stage/rules.json"
cp "$root/dist/GUIDE.txt" "$stage/"
zip=$build_root/Korvalin-1.21.zip
rm -f "$zip"
(cd "$build_root/release" && cmake -E tar cf "$zip" --format=zip Korvalin-1.21)
echo "release: $zip"
