#!/usr/bin/env bash
# Installs what the build and the tests need on Debian 12, then configures and
# builds into ./build. Run as root (or with sudo) on a fresh machine; packages
# already present are not installed again.
#
#   ./setup.sh            install, configure, build
#   ./setup.sh --test     the same, then run every test
#   ./setup.sh --demo     the same, then start the window on a simulated power supply
set -euo pipefail
cd "$(dirname "$0")"

packages=(
  cmake ninja-build g++ pkg-config
  libgtest-dev libgmock-dev
  libudev-dev
  libcli11-dev nlohmann-json3-dev        # quorrelctl: command line and JSON
  qt6-base-dev                          # the window (Widgets; brings the X11 and offscreen platforms)
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

case ${1:-} in
  --test)
    ctest --test-dir build --output-on-failure
    ;;
  --demo)
    if [[ -z ${DISPLAY:-} && -z ${WAYLAND_DISPLAY:-} && -z ${QT_QPA_PLATFORM:-} ]]; then
      echo "setup.sh: quorrel-demo is a window and needs a display, but neither DISPLAY nor" >&2
      echo "WAYLAND_DISPLAY is set. It is built: start build/ui/demo/quorrel-demo from a desktop" >&2
      echo "session, or over SSH with X forwarding (ssh -X)." >&2
      exit 1
    fi
    exec build/ui/demo/quorrel-demo
    ;;
esac
