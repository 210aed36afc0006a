# Sourced by scripts/phone.sh: the board of the arm64 and armel phones, the
# emulator's virt machine with virtio devices, booting Debian's arm64 or
# armhf kernel. Its screens: the emulated GPU (fb0, 32 bits a pixel, any
# size) and a 16-bit second framebuffer on a Cirrus card (fb1).

board_default=240x320
board_panels=(480x320 640x480 240x320x16@fb1)
board_blanks=1
board_sound=1

board_panel() {
    case $panel_fb:$panel_depth in
        /dev/fb0:32 | /dev/fb1:16) ;;
        *) return 1 ;;
    esac
}

# Debian's kernel, and its modules as depmod indexes them.
fetch_kernel() {
    step "The kernel"
    extract_kernel
}

# The drivers the first stage loads to reach the root file system.
board_first_stage=(virtio_pci virtio_blk crc32c_generic ext4)

# board_machine MODE: the emulator's machine, disks, screens and inputs in
# $machine_args, and what the kernel's command line adds in $board_append.
board_machine() {
    local cpus=2
    # One processor on the instruction clock: the 32-bit kernel never
    # brings up a second one on it.
    [ "$icount" = 1 ] && cpus=1
    machine_args=(-M "$machine" -cpu "$cpu" -smp "$cpus" -m 1024
        -drive if=none,id=root,file="$work/rootfs.img",format=raw -device virtio-blk-pci,drive=root
        -device virtio-keyboard-pci -device virtio-tablet-pci)
    board_append="root=/dev/vda phone.modules=virtio-gpu,virtio_input,evdev"
    # A sound card Debian's kernel drives, what it plays written to a file:
    # the arm64 kernel's HDA; the armhf kernel has no HDA driver, so USB.
    machine_args+=(-audiodev "wav,id=sound,path=$work/sound.wav")
    if [ "$arch" = arm64 ]; then
        machine_args+=(-device intel-hda -device hda-output,audiodev=sound)
        board_append="$board_append,snd_hda_intel"
    else
        machine_args+=(-device qemu-xhci -device usb-audio,audiodev=sound)
        board_append="$board_append,xhci_pci,snd_usb_audio"
    fi
    if [ "$panel_fb" = /dev/fb1 ]; then
        # A second card, the Cirrus one, at 16 bits a pixel; it has no VGA
        # BIOS on ARM. Its screen is read in the guest, through a share.
        share=$work/share
        mkdir -p "$share"
        rm -f "$share"/*
        machine_args+=(-device virtio-gpu-pci,xres=240,yres=320 -device cirrus-vga,romfile=
            -virtfs "local,path=$share,mount_tag=host,security_model=none")
        board_append="$board_append video=VGA-1:$panel_size"
    else
        machine_args+=(-device "virtio-gpu-pci,xres=$panel_width,yres=$panel_height")
    fi
    if [ -n "$data_disk" ]; then
        machine_args+=(-drive "if=none,id=data,file=$data_disk,format=raw"
            -device virtio-blk-pci,drive=data)
        board_append="$board_append phone.data=/dev/vdb"
    fi
}
