#!/usr/bin/env bash
# Installs the Debian packages Searchlight needs that are not installed yet.
#   scripts/install-deps.sh game   what building and running the game needs
#   scripts/install-deps.sh test   that, plus what the test suite needs
# A second run installs nothing.
set -euo pipefail

game_packages=(g++ cmake make pkg-config freeglut3-dev libglu1-mesa-dev libgl1-mesa-dev libx11-dev
               libegl-dev libegl-mesa0 libgl1-mesa-dri libopenal-dev)
test_packages=(googletest libgtest-dev libbenchmark-dev xvfb xdotool x11-utils imagemagick assimp-utils
               clang libclang-rt-14-dev llvm desktop-file-utils appstream groff-base lintian)

packages=("${game_packages[@]}")
if [ "${1:-game}" = test ]; then packages+=("${test_packages[@]}"); fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
if ! $sudo apt-get install -y --no-install-recommends "${missing[@]}"; then
  $sudo apt-get update
  $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi
