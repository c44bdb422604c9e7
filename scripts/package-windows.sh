#!/usr/bin/env bash
# Writes dist/zenvas-VERSION-win32.zip: the 32-bit Zenvas.nbp, a read-me for
# authors (README.txt: installing, and every action in a line), the actions
# reference (actions.md), and the licence texts of the libraries built into
# the DLL, taken from their Debian source packages and, for the compiler's
# runtime, from the installed mingw-w64 packages. Builds first
# (scripts/build-windows.sh).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/build-windows.sh"

version="$(sed -n 's/^project(Zenvas VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")"
name="zenvas-$version-win32"
stage="$root/build/windows/dist/$name"
rm -rf "$stage"
mkdir -p "$stage/licences" "$root/dist"

cp "$root/build/windows/i686-w64-mingw32/bin/Zenvas.nbp" "$stage/"
cp "$root/docs/actions.md" "$stage/"

# Every action by its section, with the hint the host shows for it.
actions="$(awk '
  /^## / && seen { print "" }
  /^## / { heading = substr($0, 4); next }
  /^\*\*[0-9]+ `[A-Za-z]+`\*\* — hint: `/ {
    if (heading != "") { print heading ":"; heading = ""; seen = 1 }
    match($0, /`[A-Za-z]+`/); action = substr($0, RSTART + 1, RLENGTH - 2)
    hint = $0; sub(/.*hint: `/, "", hint); sub(/`[^`]*$/, "", hint)
    printf "  %-22s %s\n", action, hint
  }' "$root/docs/actions.md")"
count="$(grep -c '^  [A-Za-z]' <<<"$actions")"
if [ "$count" -ne 52 ]; then
  echo "package-windows: found $count actions in docs/actions.md, not 52" >&2
  exit 1
fi
awk -v version="$version" -v actions="$actions" '
  { gsub(/@VERSION@/, version) }
  /^@ACTIONS@$/ { print actions; next }
  { print }' "$root/packaging/windows/README.txt.in" | sed 's/$/\r/' >"$stage/README.txt"

# Licences: each library's upstream licence and Debian's copyright file.
sources="$root/build/windows/deps/src"
licence() {  # licence SOURCE_PACKAGE NAME FILE...
  local source="$1" label="$2"; shift 2
  local tree
  tree="$(ls -d "$sources/$source"-[0-9]* | head -1)"
  for file in "$@" debian/copyright; do
    cp "$tree/$file" "$stage/licences/$label-$(basename "$file" | tr '[:upper:]' '[:lower:]' | sed 's/\.txt$//').txt"
  done
}
licence zlib zlib LICENSE
licence libpng1.6 libpng LICENSE
licence libjpeg-turbo libjpeg-turbo LICENSE.md README.ijg
licence freetype freetype LICENSE.TXT docs/FTL.TXT
cp /usr/share/doc/mingw-w64-common/copyright "$stage/licences/mingw-w64-runtime-copyright.txt"
cp /usr/share/doc/gcc-mingw-w64-base/copyright "$stage/licences/gcc-runtime-copyright.txt"

rm -f "$root/dist/$name.zip"
(cd "$stage/.." && zip -q -X -r "$root/dist/$name.zip" "$name")
echo "package-windows: dist/$name.zip"
unzip -l "$root/dist/$name.zip"
