#!/usr/bin/env bash
# Installs what building, running and testing need on Debian 12. Idempotent:
# asks apt only for packages that are missing.
set -euo pipefail
. "$(dirname "$0")/apt.sh"

apt_install \
    cmake g++ make pkg-config \
    qt6-base-dev libx11-dev libxext-dev libfontconfig-dev libuchardet-dev libevdev-dev libtag1-dev \
    clang libclang-rt-14-dev \
    mplayer ffmpeg \
    xvfb x11-xserver-utils x11-utils xdotool imagemagick \
    weston xwayland qt6-wayland \
    fonts-wqy-microhei fonts-tlwg-loma-ttf iso-codes strace \
    pulseaudio pulseaudio-utils
