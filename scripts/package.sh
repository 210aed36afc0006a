#!/usr/bin/env bash
# Makes the Debian packages, tarragon_VERSION_ARCH.deb, in local/packages/:
# for the architectures given (amd64, arm64, armhf, armel), all four by
# default. Dependencies come from dpkg-shlibdeps, plus mplayer and the fonts.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
. scripts/debian-build.sh

out=$root/local/packages
mkdir -p "$out"
# The same commit gives the same bytes, as Debian's reproducible builds
# expect: the times in the archives are the last commit's.
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
    SOURCE_DATE_EPOCH=$(git -C "$root" log -1 --format=%ct 2>/dev/null || stat -c %Y dist/changelog)
    export SOURCE_DATE_EPOCH
fi
archs=("$@")
[ ${#archs[@]} -gt 0 ] || archs=(amd64 arm64 armhf armel)

programs=(player/tarragon sleeptool/panelrest launcher/mplayer launcher/killall)

# Strips the programs as Debian does, sections the running program never
# reads included.
debian_strip() {
    local arch=$1 dir=$2 program
    for program in "${programs[@]}"; do
        "$(dpkg-architecture -a"$arch" -qDEB_HOST_GNU_TYPE 2>/dev/null)-strip" --strip-unneeded \
            --remove-section=.comment --remove-section=.note "$dir/$program"
    done
}

# The shared libraries the programs need, as Debian dependencies.
library_depends() {
    local arch=$1 dir=$2 work program
    work=$(mktemp -d)
    # DEBIAN marks the root of the package's tree for dpkg-shlibdeps.
    mkdir -p "$work/debian/tarragon/DEBIAN" "$work/debian/tarragon/usr/lib/tarragon"
    printf 'Source: tarragon\n\nPackage: tarragon\nArchitecture: any\n' >"$work/debian/control"
    for program in "${programs[@]}"; do
        cp "$dir/$program" "$work/debian/tarragon/usr/lib/tarragon/"
    done
    local extra=()
    if [ "$arch" = armel ]; then
        extra=(-L"$armel_sysroot/shlibs.local" -l"$armel_sysroot/usr/lib/arm-linux-gnueabi"
            -l"$armel_sysroot/lib/arm-linux-gnueabi")
    fi
    (
        cd "$work"
        eval "$(dpkg-architecture -a"$arch" -s 2>/dev/null)"
        dpkg-shlibdeps -O "${extra[@]}" debian/tarragon/usr/lib/tarragon/*
    ) | sed -n 's/^shlibs:Depends=//p'
    rm -rf "$work"
}

for arch in "${archs[@]}"; do
    case $arch in
        amd64)
            [ "$(dpkg --print-architecture)" = amd64 ] || {
                echo "amd64 packages are built on amd64" >&2
                exit 2
            }
            scripts/install-deps.sh
            apt_install dpkg-dev
            echo "== Build for amd64"
            debian_build amd64 build-amd64
            ;;
        arm64 | armhf | armel) scripts/cross-build.sh "$arch" ;;
        *)
            echo "usage: scripts/package.sh [amd64|arm64|armhf|armel]..." >&2
            exit 2
            ;;
    esac
    dir=$root/build-$arch
    debian_strip "$arch" "$dir"
    depends=$(library_depends "$arch" "$dir")
    (cd "$dir" && cpack -G DEB -B "$dir/cpack" -D CPACK_DEBIAN_PACKAGE_ARCHITECTURE="$arch" \
        -D CPACK_DEBIAN_PACKAGE_RECOMMENDS="alsa-utils" \
        -D CPACK_DEBIAN_PACKAGE_DEPENDS="$depends, mplayer, iso-codes, fonts-dejavu-core, fonts-wqy-microhei | fonts-wqy-zenhei | fonts-noto-cjk, fonts-tlwg-loma-ttf | fonts-tlwg-loma-otf" >/dev/null)
    mv "$dir"/cpack/tarragon_*_"$arch".deb "$out/"
    echo "Package: $(ls "$out"/tarragon_*_"$arch".deb)"
done
