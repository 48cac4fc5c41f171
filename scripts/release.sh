#!/usr/bin/env bash
# release.sh: installs what is missing, builds both programs and packs them
# with the sample rules.json and the user guide into build/Korvalin-<version>.zip:
# Korvalin.exe (32-bit, runs on every Windows) and Korvalin64.exe (64-bit
# Windows only) side by side.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/.." && pwd)
build_root=${KORVALIN_BUILD_ROOT:-$root/build}
version=$(bash "$here/version.sh")
[ -n "$version" ] || { echo "release: no version in CMakeLists.txt" >&2; exit 1; }

"$here/setup.sh"
"$here/build.sh" --target Korvalin i686 x86_64

name=Korvalin-$version
stage=$build_root/release/$name
rm -rf "$build_root/release"
mkdir -p "$stage"
cp "$build_root/i686/Korvalin.exe" "$stage/Korvalin.exe"
cp "$build_root/x86_64/Korvalin.exe" "$stage/Korvalin64.exe"
cp "$root/dist/rules.json" "$stage/rules.json"
sed "s/@VERSION@/$version/g" "$root/dist/GUIDE.txt.in" >"$stage/GUIDE.txt"
zip=$build_root/$name.zip
rm -f "$zip"
(cd "$build_root/release" && cmake -E tar cf "$zip" --format=zip "$name")
echo "release: $zip"
