#!/usr/bin/env bash
# Installs what building and testing need, from Debian's packages (run as root).
# Extra package names given as arguments are installed too.
set -euo pipefail
packages=("$@"
  cmake make g++ pkg-config clang libclang-rt-14-dev clang-format
  googletest libbenchmark-dev zlib1g-dev libstb-dev
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-tools libz-mingw-w64-dev
  wine wine64 wixl
  xvfb xauth xdotool x11-utils imagemagick fonts-dejavu-core libfreetype-dev
  ffmpeg libmpg123-dev espeak-ng
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update
  apt-get install -y --no-install-recommends "${missing[@]}"
fi
