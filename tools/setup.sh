#!/bin/bash
# Installs the Debian packages Qorvi needs to build, run and test, when any
# is missing. Safe to run again.
set -e
packages=(
    g++ cmake ninja-build ccache pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    xvfb xauth fonts-liberation2 fonts-dejavu-core fonts-wqy-microhei fonts-noto-color-emoji
    python3 python3-pyftpdlib curl libutf8proc-dev
    dpkg-dev lintian desktop-file-utils appstream xdotool
)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    SUDO=""
    [ "$(id -u)" -ne 0 ] && SUDO=sudo
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}"
fi
