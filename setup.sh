#!/usr/bin/env bash
# Installs what the build and the tests need on Debian 12, then configures and
# builds into ./build. Run as root (or with sudo) on a fresh machine; packages
# already present are not installed again.
#
#   ./setup.sh            install, configure, build
#   ./setup.sh --test     the same, then run every test
set -euo pipefail
cd "$(dirname "$0")"

packages=(
  cmake ninja-build g++ pkg-config
  libgtest-dev libgmock-dev
  libudev-dev
  qt6-base-dev qt6-base-dev-tools libgl-dev
  locales
  fonts-dejavu-core fonts-dejavu-extra   # the dialog font: a narrow sans-serif face
  qemu-system-x86 busybox-static cpio   # the kernel end-to-end test's VM (it fetches its own kernel)
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q '^install ok installed$'; then
    missing+=("$package")
  fi
done
if ((${#missing[@]})); then
  if [[ $(id -u) -ne 0 ]]; then
    echo "setup.sh: missing packages: ${missing[*]}; run as root to install them" >&2
    exit 1
  fi
  echo "setup.sh: installing ${missing[*]}"
  apt-get update
  DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
fi

# A locale with a decimal comma, so the tests can prove that values are read
# and shown with '.' whatever locale the program runs in.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  if [[ $(id -u) -eq 0 ]]; then
    localedef -i de_DE -f UTF-8 de_DE.UTF-8
  else
    echo "setup.sh: no de_DE.UTF-8 locale; run as root to generate it (its test is skipped meanwhile)" >&2
  fi
fi

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORREL_WARNINGS_AS_ERRORS=ON
cmake --build build

if [[ ${1:-} == --test ]]; then
  ctest --test-dir build --output-on-failure
fi
