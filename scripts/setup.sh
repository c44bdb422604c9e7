#!/usr/bin/env bash
# Installs what the build, the tests and the benchmarks need on Debian 12;
# `setup.sh package` adds what scripts/package.sh needs besides (lintian);
# `setup.sh windows` adds the Windows cross build's tools (mingw-w64, wine64
# and, through the i386 architecture, wine32 for running the 32-bit build)
# and deb-src entries for the machine's own archives, so that the Windows
# build can fetch the sources of the codec and text libraries.
# Idempotent: asks apt-get only for packages that are missing.
set -euo pipefail

# locales: the sources of the C library's locales, from which the Windows
# desktop test compiles a code page 1251 one.
packages=(
  build-essential cmake pkg-config dpkg-dev file
  libgtest-dev libgmock-dev libbenchmark-dev
  libjpeg62-turbo-dev libjpeg-turbo-progs libpng-dev zlib1g-dev
  libfreetype-dev libfontconfig-dev fonts-liberation fonts-dejavu-core
  clang libclang-rt-14-dev
  libgtk-3-dev xvfb xauth xdotool locales
)
sources_entry=
case "${1:-}" in
  package) packages+=(lintian) ;;
  windows)
    # The posix thread flavour: its C++ library is complete (std::mutex);
    # the DLLs link its threading library in, like the rest of the runtime.
    # nasm assembles libjpeg-turbo's vector code, as in Debian's own build.
    packages+=(g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-i686
               binutils-mingw-w64-x86-64 wine64 wine32:i386 zip nasm)
    sources_entry=/etc/apt/sources.list.d/zenvas-deb-src
    ;;
  '') ;;
  *) echo "setup: unknown set-up '$1' (package or windows)" >&2; exit 2 ;;
esac

# The source archives of the machine's own binary archives: every deb822
# stanza of Types deb (and every one-line "deb" entry) again as deb-src, so a
# machine behind another mirror fetches from that mirror. Written to
# $sources_entry.sources and .list; empty when nothing needs writing.
derived_sources() {
  local file
  for file in /etc/apt/sources.list.d/*.sources; do
    [ -e "$file" ] && [ "$file" != "$sources_entry.sources" ] || continue
    awk 'function flush() {
           if (n && deb && enabled) { print "Types: deb-src"; for (i = 1; i <= n; i++) print lines[i]; print "" }
           n = 0; deb = 0; enabled = 1
         }
         BEGIN { n = 0; deb = 0; enabled = 1 }
         /^[ \t]*$/ { flush(); next }
         /^#/ { next }
         tolower($1) == "types:" { for (i = 2; i <= NF; i++) if ($i == "deb") deb = 1; next }
         tolower($1) == "enabled:" { if (tolower($2) == "no") enabled = 0; next }
         { lines[++n] = $0 }
         END { flush() }' "$file"
  done > "$1.sources.new"
  for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -e "$file" ] && [ "$file" != "$sources_entry.list" ] || continue
    sed -n 's/^[ \t]*deb[ \t]/deb-src /p' "$file"
  done > "$1.list.new"
}

need_sources=false
if [ -n "$sources_entry" ]; then
  scratch="$(mktemp -d)"
  derived_sources "$scratch/entry"
  for kind in sources list; do
    if ! cmp -s "$scratch/entry.$kind.new" "$sources_entry.$kind" 2>/dev/null \
        && { [ -s "$scratch/entry.$kind.new" ] || [ -e "$sources_entry.$kind" ]; }; then
      need_sources=true
    fi
  done
  # The 32-bit wine comes from the i386 architecture.
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    need_sources=true
  fi
fi

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q '^install ok installed$'; then
    missing+=("$package")
  fi
done

if [ "${#missing[@]}" -gt 0 ] || $need_sources; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "setup: missing packages: ${missing[*]} ${sources_entry:+(and the i386 architecture and deb-src entries)} (run as root to install them)" >&2
    exit 1
  fi
  if $need_sources; then
    echo "setup: adding the source archives of this machine's archives ($sources_entry.sources, .list)"
    for kind in sources list; do
      if [ -s "$scratch/entry.$kind.new" ]; then
        mv "$scratch/entry.$kind.new" "$sources_entry.$kind"
      else
        rm -f "$sources_entry.$kind"
      fi
    done
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
      echo "setup: adding the i386 architecture (for wine32)"
      dpkg --add-architecture i386
    fi
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  if [ "${#missing[@]}" -gt 0 ]; then
    echo "setup: installing ${missing[*]}"
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
  fi
fi
[ -n "${scratch:-}" ] && rm -rf "$scratch"

# The Windows build compiles the codec and text libraries (and Google
# Benchmark, for the benchmarks) from the source packages of exactly the
# versions the Linux build links, and takes the
# sources from build/windows/deps/src/. When the archive cannot hand out
# the source of an installed version (an update whose source is not on the
# mirror), the newest version whose source it does hand out is installed
# instead, for every installed package built from that source, so both
# builds agree.
if [ -n "$sources_entry" ]; then
  sources="$(cd "$(dirname "$0")/.." && pwd)/build/windows/deps/src"
  mkdir -p "$sources"
  for dev in libjpeg62-turbo-dev libpng-dev zlib1g-dev libfreetype-dev libbenchmark-dev; do
    read -r source installed < <(dpkg-query -W -f='${source:Package} ${source:Version}\n' "$dev")
    candidates=("$installed")
    listed="$(apt-cache showsrc "$source" | sed -n 's/^Version: //p' | sort -u)"
    while read -r version; do
      [ -n "$version" ] && [ "$version" != "$installed" ] && candidates+=("$version")
    done < <(sort -r -V <<<"$listed")
    chosen=
    for version in "${candidates[@]}"; do
      if [ -e "$sources/${source}_${version#*:}.dsc" ] \
          || (cd "$sources" && apt-get source -qq --download-only "$source=$version" >/dev/null 2>&1); then
        chosen="$version"
        break
      fi
    done
    if [ -z "$chosen" ]; then
      echo "setup: the archive hands out no source of $source" >&2
      exit 1
    fi
    if [ "$chosen" != "$installed" ]; then
      # Every installed architecture's copy moves (libpng16-16 and
      # libpng16-16:i386 alike), or apt would remove the ones left behind.
      binaries=()
      while read -r binary from; do
        [ "$from" = "$source" ] && binaries+=("$binary=$chosen")
      done < <(dpkg-query -W -f='${db:Status-Abbrev} ${binary:Package} ${source:Package}\n' | awk '$1 == "ii" {print $2, $3}')
      echo "setup: the source of $source $installed is not in the archive; installing $chosen (${binaries[*]})"
      DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends --allow-downgrades \
        "${binaries[@]}" >/dev/null
    fi
  done
fi
