#!/usr/bin/env bash
# release.sh: installs what is missing, builds the programs and packs them
# with the sample rules.json, a sample layout and the user guide into
# build/Korvalin-<version>.zip: the window, Korvalin.exe (32-bit, runs on
# every Windows) and Korvalin64.exe (64-bit Windows only), and the console
# companion, KorvalinCmd.exe and KorvalinCmd64.exe. The guide is in Chinese
# (GUIDE.txt) and English (GUIDE.en.txt), with a byte-order mark and CR LF so
# that every Notepad shows it right.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/.." && pwd)
build_root=${KORVALIN_BUILD_ROOT:-$root/build}
version=$(bash "$here/version.sh")
[ -n "$version" ] || { echo "release: no version in CMakeLists.txt" >&2; exit 1; }

"$here/setup.sh"
"$here/build.sh" --target Korvalin i686 x86_64
"$here/build.sh" --target KorvalinCmd i686 x86_64

name=Korvalin-$version
stage=$build_root/release/$name
rm -rf "$build_root/release"
mkdir -p "$stage"
cp "$build_root/i686/Korvalin.exe" "$stage/Korvalin.exe"
cp "$build_root/x86_64/Korvalin.exe" "$stage/Korvalin64.exe"
cp "$build_root/i686/KorvalinCmd.exe" "$stage/KorvalinCmd.exe"
cp "$build_root/x86_64/KorvalinCmd.exe" "$stage/KorvalinCmd64.exe"
cp "$root/dist/rules.json" "$stage/rules.json"
cp "$root/dist/layout-example.json" "$stage/layout-example.json"
for guide in GUIDE GUIDE.en; do
  { printf '\357\273\277'; sed -e "s/@VERSION@/$version/g" -e 's/$/\r/' "$root/dist/$guide.txt.in"; } >"$stage/$guide.txt"
done
zip=$build_root/$name.zip
rm -f "$zip"
(cd "$build_root/release" && cmake -E tar cf "$zip" --format=zip "$name")
echo "release: $zip"
