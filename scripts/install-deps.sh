#!/usr/bin/env bash
# Installs what building, running and testing need on Debian 12. Idempotent:
# asks apt only for packages that are missing.
set -euo pipefail

packages=(
    cmake g++ make pkg-config
    qt6-base-dev libx11-dev libxext-dev
    clang libclang-rt-14-dev
    mplayer ffmpeg
    xvfb x11-xserver-utils x11-utils xdotool imagemagick
    fonts-wqy-microhei
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
