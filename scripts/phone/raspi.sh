# Sourced by scripts/phone.sh: the board of the armv6 phone, the emulator's
# Raspberry Pi Zero (an ARM1176, the closest to the phone's ARMv5 that
# Debian's armel kernels still run on), with Debian's armel rpi kernel. No
# virtio: the root file system on the SD card, keys and taps on USB, a
# second disk as USB storage, and one screen, the framebuffer the firmware
# would have set up, at 32 or 16 bits a pixel and any size.

board_default=240x320
board_panels=(480x320 640x480 240x320x16)
# The firmware's framebuffer, a simple one, cannot go dark: the kernel's
# blanking has nothing to turn off. The sleep time is still seen set.
board_blanks=0
# USB sound on the emulated Pi Zero enumerates, but its stream delivers
# almost nothing: no card, and no song, which the player ends at once.
board_sound=0

board_panel() {
    [ "$panel_fb" = /dev/fb0 ]
}

# Debian's kernel and the board's device tree, with its modules as depmod
# indexes them.
fetch_kernel() {
    step "The kernel"
    apt_install device-tree-compiler
    extract_kernel
    device_tree=$kernel_dir/usr/lib/linux-image-$version/bcm2835-rpi-zero.dtb
}

# The drivers the first stage loads to reach the root file system; the SD
# card's are built in.
board_first_stage=(crc32c_generic ext4)

# The board's device tree as the emulator needs it, for a screen of WIDTH,
# HEIGHT and DEPTH bits: the power controller's second register block,
# which the emulator does not map, taken out (reaching it is a fatal
# abort); the framebuffer the firmware would have set up, where the
# emulator has it; the USB controller a host, for the keys.
board_device_tree() {
    local width=$1 height=$2 depth=$3 into=$4 format=x8r8g8b8
    [ "$depth" = 16 ] && format=r5g6b5
    # The video memory's last 64 MiB of the 512, and the screen 1 MiB in.
    local screen=/chosen/framebuffer@1c100000 stride=$((width * depth / 8))
    cp "$device_tree" "$into"
    fdtput -t x "$into" /soc/watchdog@7e100000 reg 7e100000 114
    fdtput -t s "$into" /soc/watchdog@7e100000 reg-names pm
    fdtput -t s "$into" /soc/usb@7e980000 dr_mode host
    fdtput -t u "$into" /chosen '#address-cells' 1
    fdtput -t u "$into" /chosen '#size-cells' 1
    fdtput "$into" /chosen ranges
    fdtput -c "$into" "$screen"
    fdtput -t s "$into" "$screen" compatible simple-framebuffer
    fdtput -t x "$into" "$screen" reg 1c100000 "$(printf %x $((stride * height)))"
    fdtput -t u "$into" "$screen" width "$width"
    fdtput -t u "$into" "$screen" height "$height"
    fdtput -t u "$into" "$screen" stride "$stride"
    fdtput -t s "$into" "$screen" format "$format"
}

# board_machine MODE: the emulator's machine, disks, screen and inputs in
# $machine_args, and what the kernel's command line adds in $board_append.
board_machine() {
    board_device_tree "$panel_width" "$panel_height" "$panel_depth" "$work/board.dtb"
    # The emulator reads the red and blue of a pixel swapped unless told:
    # at 32 bits the swap is what x8r8g8b8 needs, at 16 bits r5g6b5 wants
    # them as they are.
    local order=0
    [ "$panel_depth" = 16 ] && order=1
    machine_args=(-M "$machine" -m 512M -dtb "$work/board.dtb"
        -drive "if=sd,format=raw,file=$work/rootfs.img"
        -global "bcm2835-fb.xres=$panel_width" -global "bcm2835-fb.yres=$panel_height"
        -global "bcm2835-fb.bpp=$panel_depth" -global "bcm2835-fb.pixo=$order"
        -device usb-kbd -device usb-tablet)
    # udev lets the emulator's USB keyboard and tablet sleep when idle, and
    # this board's emulated USB controller never wakes them: no keys. Nor
    # does the emulator have the board's video core, whose drivers udev
    # would load: the sound that goes through it hangs the player, and then
    # the phone.
    local modules=evdev,hid-generic data=""
    if [ -n "$data_disk" ]; then
        machine_args+=(-drive "if=none,id=data,file=$data_disk,format=raw"
            -device usb-storage,drive=data)
        modules=$modules,usb-storage,sd_mod
        data=" phone.data=/dev/sda"
    fi
    board_append="root=/dev/mmcblk0 phone.modules=$modules usbcore.autosuspend=-1"
    board_append="$board_append modprobe.blacklist=vchiq,snd_bcm2835$data"
}
