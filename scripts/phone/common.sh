# Sourced by scripts/phone.sh: what the emulated phone's scripts share.

step() { echo "== $*"; }
since() { echo "$((SECONDS - $1)) s"; }

failures=0
fail() {
    echo "FAILED: $*"
    failures=$((failures + 1))
}

# The emulator, machine and Debian kernel for ARCH; the phone's processor
# class (armel, ARMv5) runs its userland on Debian's ARMv7 kernel, as
# Debian's armel kernels are for boards the emulator does not have.
phone_architecture() {
    case $1 in
        arm64)
            emulator=qemu-system-aarch64 machine=virt cpu=cortex-a53 binfmt=qemu-aarch64
            kernel_arch=arm64 kernel_package=linux-image-arm64
            suites=(bookworm bookworm-updates bookworm-security)
            ;;
        armel)
            # Without highmem=off the 32-bit kernel cannot reach PCI.
            emulator=qemu-system-arm machine=virt,highmem=off cpu=cortex-a7 binfmt=qemu-arm
            kernel_arch=armhf kernel_package=linux-image-armmp
            # The security archive carries no armel.
            suites=(bookworm)
            ;;
        *) return 1 ;;
    esac
    cache=$root/local/phone/$1
    shots=$root/local/phone-$1
    work=$cache/run
    mkdir -p "$cache" "$shots"
}

# A panel: WxH on the emulated GPU (/dev/fb0, 32 bits a pixel), or
# WxHx16@fb1, a 16-bit second framebuffer on an emulated Cirrus card.
phone_panel() {
    panel=${1:-240x320}
    case $panel in
        [0-9]*x[0-9]*x16@fb1)
            panel_size=${panel%x16@fb1} panel_fb=/dev/fb1 panel_depth=16
            ;;
        [0-9]*x[0-9]*)
            panel_size=$panel panel_fb=/dev/fb0 panel_depth=32
            ;;
        *) return 1 ;;
    esac
    panel_width=${panel_size%x*} panel_height=${panel_size#*x}
}
