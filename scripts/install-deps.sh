#!/usr/bin/env bash
# Installs the Debian packages Nimbrel needs (Debian 12 and Debian 13 alike).
#   scripts/install-deps.sh          what building and running the program need
#   scripts/install-deps.sh --test   that and what the test suite needs too
# Idempotent: quick when everything is already there.
set -euo pipefail

# Building and running the program.
packages=(
  cmake ninja-build g++ ccache pkg-config
  qt6-base-dev qt6-webengine-dev qt6-webengine-dev-tools libpulse-dev
  libqt6opengl6-dev libgl-dev libxcb1-dev
  fonts-ocr-a
)
# The tests and benchmarks: the X libraries they are built with, the X server,
# window manager and tools that drive the program from outside, the sound
# server they record from, and the local web server's Python.
test_packages=(
  libgtest-dev libx11-dev libxtst-dev libxdamage-dev
  xvfb xauth xdotool xclip x11-utils x11-apps imagemagick procps openbox wmctrl openssl
  python3 pulseaudio pulseaudio-utils util-linux
  # certutil: a certificate authority of a test's own, trusted in its home.
  libnss3-tools
  # The short fuzz run: the libFuzzer targets in fuzz/ are built only with clang.
  clang libclang-rt-dev
)

case "${1:-}" in
  --test) packages+=("${test_packages[@]}") ;;
  "") ;;
  *) echo "usage: $0 [--test]" >&2; exit 2 ;;
esac

# Every name an installed package answers to: its own, and the ones it
# provides (on Debian 13 libqt6opengl6-dev is only provided, by qt6-base-dev).
mapfile -t installed < <(dpkg-query -W -f='${db:Status-Abbrev}|${Package}|${Provides}\n' 2>/dev/null |
  awk -F'|' '$1 ~ /^ii/ {
    print $2
    n = split($3, provided, ", *")
    for (i = 1; i <= n; i++) { sub(/[ (].*/, "", provided[i]); if (provided[i] != "") print provided[i] }
  }' | sort -u)
declare -A have=()
for p in "${installed[@]}"; do have[$p]=1; done

missing=()
for p in "${packages[@]}"; do
  [ -n "${have[$p]:-}" ] || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
