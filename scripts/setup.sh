#!/usr/bin/env bash
# Installs every Debian package the project needs to build, test and run; skips what is already there.
# Packages are installed without their recommendations, so each one the build uses is named here.
# Usage: setup.sh [--data-tools]   (--data-tools adds what tools/sounds/make_sounds.sh needs to
# regenerate the sound banks; the build never needs it)
set -euo pipefail

packages=(
  # build
  cmake g++ make pkg-config python3
  libsdl2-dev libsdl2-image-dev libfreetype-dev libboost-serialization-dev libimgui-dev python3-glad
  # tests and benchmarks
  libgtest-dev libgmock-dev libbenchmark-dev
  # the physics benchmark's yardstick, linked into that benchmark only
  libbox2d-dev
  # OpenGL through Mesa's software renderer, for the game and the GL tests on machines without a GPU
  libgl1-mesa-dri libegl-mesa0 libegl1 libgl1 xvfb xauth
  # fuzz build: clang only recommends its sanitizer and fuzzer runtimes
  clang-14 libfuzzer-14-dev libclang-rt-14-dev
)

for option in "$@"; do
  case $option in
    --data-tools) packages+=(sox espeak-ng) ;;
    *) echo "setup.sh: unknown option '$option' (known: --data-tools)" >&2; exit 2 ;;
  esac
done

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
echo "Installing: ${missing[*]}"
"${sudo_cmd[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
