# Sourced by scripts/phone.sh: the board of the armv5 phone, the emulator's
# Versatile PB, whose ARM926EJ-S is of the phone's own processor class
# (ARMv5TE), with the armel packages and at most as much memory as such
# phones had. Debian ships no kernel for it, so its kernel is built here,
# once, from Debian's kernel source with Debian's armel cross compiler:
# the board's defconfig and versatile/kernel.config over it. Its screen is
# the phone's, a 240x320 panel at 16 bits a pixel on the board's LCD
# controller (versatile/phone.dts); its keys a PS/2 keyboard, and no
# pointer, as the phone has none; its disks,
# the root file system and the second disk, on the board's PCI SCSI
# controller.

board_default=240x320x16
board_panels=()
# The kernel's blanking turns the LCD controller off, but the emulator's
# controller then keeps its last picture: the sleep time is seen set.
board_blanks=0
board_sound=1
board_memory=128M

board_panel() {
    [ "$panel" = 240x320x16 ]
}

fetch_kernel() {
    step "The kernel, from Debian's source"
    apt_install linux-source-6.1 gcc-arm-linux-gnueabi bc bison flex libssl-dev
    local config=scripts/phone/versatile key
    key=$( (dpkg-query -W -f='${Version}' linux-source-6.1 gcc-arm-linux-gnueabi
        cat "$config/kernel.config" "$config/phone.dts") | sha1sum | cut -c 1-12)
    kernel_dir=$cache/linux-versatile-$key
    [ -f "$kernel_dir/.complete" ] || build_kernel "$config"
    kernel_found
    device_tree=$kernel_dir/phone.dtb
}

# The kernel, its modules and the board's device tree into $kernel_dir.
build_kernel() {
    local config=$1 tree=$root/local/phone/armv5/linux option started=$SECONDS
    local make=(make -s -C "$tree" ARCH=arm CROSS_COMPILE=arm-linux-gnueabi- -j "$(nproc)")
    rm -rf "$tree" "$kernel_dir" "$cache"/linux-versatile-*
    mkdir -p "$tree"
    tar -xf /usr/src/linux-source-6.1.tar.xz -C "$tree" --strip-components=1
    "${make[@]}" versatile_defconfig
    (cd "$tree" && scripts/kconfig/merge_config.sh -m .config "$root/$config/kernel.config" >/dev/null)
    "${make[@]}" olddefconfig
    # An option whose dependencies are missing is dropped without a word.
    for option in $(grep '^CONFIG_.*=y' "$config/kernel.config"); do
        grep -qx "$option" "$tree/.config" || {
            echo "the kernel's configuration lost $option" >&2
            return 1
        }
    done
    cp "$config/phone.dts" "$tree/arch/arm/boot/dts/versatile-phone.dts"
    "${make[@]}" zImage modules versatile-phone.dtb
    version=$("${make[@]}" kernelrelease)
    mkdir -p "$kernel_dir/boot"
    "${make[@]}" INSTALL_MOD_PATH="$kernel_dir" modules_install
    rm -f "$kernel_dir/lib/modules/$version/build" "$kernel_dir/lib/modules/$version/source"
    cp "$tree/arch/arm/boot/zImage" "$kernel_dir/boot/vmlinuz-$version"
    cp "$tree/arch/arm/boot/dts/versatile-phone.dtb" "$kernel_dir/phone.dtb"
    rm -rf "$tree"
    kernel_modules_indexed
    echo "the kernel $version built in $(since "$started")"
}

# Everything the root file system needs is built in.
board_first_stage=()

# board_machine MODE: the emulator's machine, disks, screen and inputs in
# $machine_args, and what the kernel's command line adds in $board_append.
board_machine() {
    # The board's sound card plays into nothing: the host has no sound.
    machine_args=(-M "$machine" -m "$board_memory" -dtb "$device_tree"
        -drive "if=scsi,index=0,format=raw,file=$work/rootfs.img"
        -audiodev "wav,id=sound,path=$work/sound.wav" -global pl041.audiodev=sound)
    # Nothing to load: the drivers are built in.
    board_append="root=/dev/sda phone.inputs=1 phone.modules="
    if [ -n "$data_disk" ]; then
        machine_args+=(-drive "if=scsi,index=1,format=raw,file=$data_disk")
        board_append="$board_append phone.data=/dev/sdb"
    fi
}
