#!/usr/bin/env bash
# Installs the Debian 12 packages Nimbrel needs to build, run and test.
# Idempotent: quick when everything is already there.
set -euo pipefail

packages=(
  cmake ninja-build g++ ccache pkg-config
  qt6-base-dev qt6-webengine-dev qt6-webengine-dev-tools libpulse-dev
  libqt6opengl6-dev libgl-dev libgtest-dev libxcb1-dev libx11-dev libxtst-dev libxdamage-dev
  fonts-ocr-a
  xvfb xauth xdotool xclip x11-utils x11-apps imagemagick procps openbox wmctrl openssl
  python3 pulseaudio pulseaudio-utils util-linux
  # Optional: the libFuzzer targets in fuzz/ are built only with clang.
  clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
