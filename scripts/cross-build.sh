#!/usr/bin/env bash
# Builds the front-end and panelrest for one of Debian's ARM architectures
# (arm64, armhf or armel) into build-ARCH/, after installing what the cross
# build needs. Further arguments go to cmake.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
. scripts/debian-build.sh

arch=${1:-}
case $arch in
    arm64 | armhf) install_multiarch "$arch" ;;
    armel) install_armel ;;
    *)
        echo "usage: scripts/cross-build.sh arm64|armhf|armel [cmake arguments]" >&2
        exit 2
        ;;
esac
shift
echo "== Cross build for $arch"
debian_build "$arch" "build-$arch" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-$arch.cmake" "$@"
