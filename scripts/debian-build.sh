# Sourced by cross-build.sh and package.sh: what Debian builds for an
# architecture need, and the build itself.
. "$(dirname "${BASH_SOURCE[0]}")/apt.sh"

armel_sysroot=$root/local/sysroot-armel
armel_sysroot_packages=(qt6-base-dev libx11-dev libxext-dev libfontconfig-dev libuchardet-dev libevdev-dev libtag1-dev)

# arm64 and armhf: Debian's multiarch packages, beside the host's own.
install_multiarch() {
    local arch=$1
    apt_install dpkg-dev cmake pkg-config qt6-base-dev
    add_architecture "$arch"
    apt_install "crossbuild-essential-$arch" "qt6-base-dev:$arch" "libx11-dev:$arch" \
        "libxext-dev:$arch" "libfontconfig-dev:$arch" "libuchardet-dev:$arch" "libevdev-dev:$arch" "libtag1-dev:$arch"
}

# armel: its libraries cannot sit beside the host's (the security archive
# has no armel, so versions differ), so they come as a sysroot of unpacked
# packages, made once. Each package's shlibs file is kept, for the
# package's dependencies.
install_armel() {
    apt_install dpkg-dev cmake qt6-base-dev g++-arm-linux-gnueabi mmdebstrap
    local stamp="$armel_sysroot/.packages"
    [ -f "$stamp" ] && [ "$(cat "$stamp")" = "${armel_sysroot_packages[*]}" ] && return 0
    echo "Making the armel sysroot in $armel_sysroot"
    rm -rf "$armel_sysroot" "$armel_sysroot.new"
    local include
    include=$(IFS=,; echo "${armel_sysroot_packages[*]}")
    mmdebstrap --quiet --arch=armel --variant=extract --include="$include" \
        --extract-hook='for deb in "$1"/var/cache/apt/archives/*.deb; do
            dpkg-deb --ctrl-tarfile "$deb" | tar -xO ./shlibs 2>/dev/null || true
        done > "$1/shlibs.local"' \
        bookworm "$armel_sysroot.new" http://deb.debian.org/debian
    mv "$armel_sysroot.new" "$armel_sysroot"
    echo "${armel_sysroot_packages[*]}" > "$stamp"
}

# Builds ARCH into DIR with Debian's flags for it (hardening included) and
# the package's layout; further arguments go to cmake.
debian_build() {
    local arch=$1 dir=$2
    shift 2
    # Debian's flags for that architecture, with every hardening feature.
    flags() { DEB_HOST_ARCH=$arch DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get "$1"; }
    local cppflags cxxflags ldflags
    cppflags=$(flags CPPFLAGS)
    cxxflags=$(flags CXXFLAGS)
    ldflags=$(flags LDFLAGS)
    cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=None -DTARRAGON_TESTS=OFF -DTARRAGON_PACKAGE=ON \
        -DCMAKE_CXX_FLAGS="$cppflags $cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags" "$@" >/dev/null
    cmake --build "$dir" -j2
}
