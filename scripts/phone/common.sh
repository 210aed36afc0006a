# Sourced by scripts/phone.sh: what the emulated phone's scripts share.

step() { echo "== $*"; }
since() { echo "$((SECONDS - $1)) s"; }

failures=0
fail() {
    echo "FAILED: $*"
    failures=$((failures + 1))
}

# Debian's kernel package of the phone ($kernel_package for $kernel_arch)
# unpacked into $kernel_dir, its version in $version. Unpacked each time
# by a private apt of mmdebstrap's, in seconds: the host's architectures and
# package lists stay as they are, so a foreign index the mirror serves
# broken fails this phone alone, not the host's own updates.
extract_kernel() {
    apt_install mmdebstrap
    local new=$cache/kernel-$kernel_arch.new
    rm -rf "$new"
    mmdebstrap --quiet --arch="$kernel_arch" --variant=extract --include="$kernel_package" \
        bookworm "$new" http://deb.debian.org/debian
    version=$(ls "$new/lib/modules")
    kernel_dir=$cache/linux-image-$version
    if [ ! -f "$kernel_dir/.complete" ]; then
        rm -rf "$kernel_dir"
        mv "$new" "$kernel_dir"
        kernel_modules_indexed
    fi
    rm -rf "$new"
    kernel_found
}

# The emulator, board and Debian kernel of a phone, and the architecture of
# its packages ($arch). The phone's processor class (armel, ARMv5) runs on
# three: the armel phone, its userland on Debian's ARMv7 kernel on the virt
# board; the armv6 phone, a Raspberry Pi Zero, the closest board Debian's
# armel kernels run on; and the armv5 phone, the Versatile PB with an
# ARMv5 core, on a kernel built from Debian's source.
phone_architecture() {
    case $1 in
        arm64)
            arch=arm64 board=virt emulator=qemu-system-aarch64 machine=virt cpu=cortex-a53
            kernel_arch=arm64 kernel_package=linux-image-arm64
            suites=(bookworm bookworm-updates bookworm-security)
            ;;
        armel)
            # Without highmem=off the 32-bit kernel cannot reach PCI.
            arch=armel board=virt emulator=qemu-system-arm machine=virt,highmem=off cpu=cortex-a7
            kernel_arch=armhf kernel_package=linux-image-armmp
            # The security archive carries no armel.
            suites=(bookworm)
            ;;
        armv6)
            arch=armel board=raspi emulator=qemu-system-arm machine=raspi0
            kernel_arch=armel kernel_package=linux-image-rpi
            suites=(bookworm)
            ;;
        armv5)
            arch=armel board=versatile emulator=qemu-system-arm machine=versatilepb
            suites=(bookworm)
            ;;
        *) return 1 ;;
    esac
    binfmt=qemu-${emulator#qemu-system-}
    # What the two armel phones share (packages, root file system, clips)
    # is made once.
    cache=$root/local/phone/$arch
    shots=$root/local/phone-$1
    work=$root/local/phone/$1/run
    mkdir -p "$cache" "$shots"
}

# A panel: WxH at 32 bits a pixel on the first framebuffer, WxHx16 at 16,
# WxHx16@fb1 on a second framebuffer; the board says which it has, and
# which is its own.
phone_panel() {
    panel=${1:-$board_default}
    case $panel in
        *@fb1) panel_fb=/dev/fb1 ;;
        *) panel_fb=/dev/fb0 ;;
    esac
    panel_size=${panel%@fb1} panel_depth=32
    case $panel_size in
        [0-9]*x[0-9]*x16) panel_size=${panel_size%x16} panel_depth=16 ;;
        [0-9]*x[0-9]*) ;;
        *) return 1 ;;
    esac
    case $panel_size in
        *[!0-9x]* | *x*x*) return 1 ;;
    esac
    panel_width=${panel_size%x*} panel_height=${panel_size#*x}
    board_panel
}
