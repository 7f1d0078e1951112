#!/usr/bin/env bash
# Installs the Debian packages the build, the program and the tests need, but only those
# that are missing, so that a second run costs nothing. Uses sudo when not run as root.
set -eu
packages=(
    cmake ninja-build g++ clang libclang-rt-14-dev pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-translations-l10n libgl-dev
    libxcb1-dev libxcb-damage0-dev libxcb-xtest0-dev libgtest-dev libgmock-dev libbenchmark-dev libxml2-dev
    fonts-dejavu-core fonts-wine
    xvfb openbox xdotool trayer x11-utils xclip imagemagick dbus-x11
    clang-format python3 at-spi2-core libglib2.0-bin dbus-daemon desktop-file-utils syncthing
    dpkg-dev lintian appstream man-db dbus-bin
)
missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing missing packages: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
