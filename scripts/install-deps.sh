#!/usr/bin/env bash
# Installs the Debian packages that building and testing Kelvra need, or the
# packages named as arguments instead (scripts/test-windows.sh names its own).
# Does nothing when every package is already present.
set -euo pipefail

packages=(
  cmake g++ make pkg-config
  qt6-base-dev libgl-dev
  libgtest-dev libgmock-dev
  zlib1g-dev libzip-dev libuchardet-dev libxml2-dev libmobi-dev libpoppler-private-dev libmimalloc-dev
  epubcheck default-jre-headless time
  xvfb xauth
)
if [ $# -gt 0 ]; then
  packages=("$@")
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
"${sudo_cmd[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
