#!/usr/bin/env bash
# Installs what the build and the tests need from Debian's packages, once.
# Sourced by run.sh and test.sh.
set -euo pipefail

LADOTON_PACKAGES=(
  cmake ninja-build g++ pkg-config qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins
  libfontconfig-dev libgtest-dev libfluidsynth-dev librtmidi-dev libasound2-dev libglib2.0-dev
  timgm6mb-soundfont fonts-liberation2 fonts-dejavu-core fontconfig xvfb xauth xdotool
  pulseaudio pulseaudio-utils python3 desktop-file-utils appstream dpkg-dev dbus at-spi2-core
  python3-pyatspi x11-utils x11-xserver-utils openbox wmctrl weston qt6-wayland jackd2
  libjack-jackd2-dev libxtst-dev clang libclang-rt-14-dev)

ladoton_missing_packages() {
  local missing=() p
  for p in "${LADOTON_PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$p")
    fi
  done
  echo "${missing[@]:-}"
}

ladoton_install_packages() {
  local missing
  missing=$(ladoton_missing_packages)
  [ -z "$missing" ] && return 0
  echo "Installing: $missing"
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo[@]}" apt-get update -q </dev/null
  # shellcheck disable=SC2086
  "${sudo[@]}" apt-get install -y -q --no-install-recommends $missing </dev/null
}

# ladoton_build DIR BUILD_TYPE [extra cmake args...]
ladoton_build() {
  local dir=$1 type=$2
  shift 2
  cmake -S "$LADOTON_ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="$type" "$@" >/dev/null
  cmake --build "$dir" --parallel "$(nproc)"
}

LADOTON_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export LADOTON_ROOT
