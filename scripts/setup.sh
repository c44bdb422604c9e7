#!/usr/bin/env bash
# Installs what the build, the tests and the benchmarks need on Debian 12;
# `setup.sh package` adds what scripts/package.sh needs besides (lintian).
# Idempotent: asks apt-get only for packages that are missing.
set -euo pipefail

packages=(
  build-essential cmake pkg-config dpkg-dev file
  libgtest-dev libgmock-dev libbenchmark-dev
  libjpeg62-turbo-dev libjpeg-turbo-progs libpng-dev zlib1g-dev
  libfreetype-dev libfontconfig-dev fonts-liberation fonts-dejavu-core
  clang libclang-rt-14-dev
  libgtk-3-dev xvfb xauth xdotool
)
if [ "${1:-}" = package ]; then
  packages+=(lintian)
fi

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q '^install ok installed$'; then
    missing+=("$package")
  fi
done

if [ "${#missing[@]}" -gt 0 ]; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "setup: missing packages: ${missing[*]} (run as root to install them)" >&2
    exit 1
  fi
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
