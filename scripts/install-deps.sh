#!/usr/bin/env bash
# Installs the Debian packages Brakkel needs to build, test and run headless.
# A no-op when everything is already present.
set -euo pipefail

packages=(
  g++ cmake make pkg-config
  libglfw3-dev libglew-dev libglm-dev libassimp-dev libbox2d-dev libstb-dev libgtest-dev
  libopenal-dev libsndfile1-dev libasound2-dev libcli11-dev libtomlplusplus-dev
  libenet-dev libsodium-dev
  fonts-dejavu-core
  xvfb xauth x11-utils libgl1-mesa-dri xdotool imagemagick desktop-file-utils
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
