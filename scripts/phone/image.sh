# Sourced by scripts/phone.sh: the phone's image, made from Debian's own
# packages: the host's tools, our package, Debian's kernel, a root file
# system of runtime packages (cached), and a first stage that mounts it.

prepare_host() {
    step "Host tools"
    apt_install qemu-system-arm qemu-user-static binfmt-support mmdebstrap e2fsprogs cpio kmod \
        socat ffmpeg imagemagick sox
    if [ ! -e /proc/sys/fs/binfmt_misc/register ]; then
        mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc
    fi
    update-binfmts --enable "$binfmt" 2>/dev/null || true
}

build_programs() {
    step "The tarragon package for $arch"
    scripts/package.sh "$arch"
    deb=$(ls "$root"/local/packages/tarragon_*_"$arch".deb)
    [ "$testing" = 1 ] || return 0
    step "The test programs for $arch"
    case $arch in
        arm64) install_multiarch "$arch" ;;
        armel) install_armel ;;
    esac
    debian_build "$arch" "build-$arch-tests" \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-$arch.cmake" -DTARRAGON_TESTS=ON
}

# After a board's fetch_kernel has unpacked its kernel in $kernel_dir: the
# modules indexed as depmod does, and where they are.
kernel_modules_indexed() {
    /sbin/depmod -b "$kernel_dir" "$(ls "$kernel_dir/lib/modules")"
    touch "$kernel_dir/.complete"
}
kernel_found() {
    version=$(ls "$kernel_dir/lib/modules")
    modules=$kernel_dir/lib/modules/$version
}

# Runtime packages only, made once for a package set.
make_root_file_system() {
    step "The root file system"
    local depends packages key sources=() suite include started
    depends=$(dpkg-deb -f "$deb" Depends | sed 's/([^)]*)//g; s/|[^,]*//g; s/ //g' | tr ',' '\n' | sort -u)
    # Debian's init and udev, for the boots that go as a device's does;
    # strace, for a test that sees what killall looks at.
    packages=($depends busybox-static e2fsprogs fonts-dejavu-core fonts-wqy-microhei libqt6test6
        ffmpeg systemd udev kmod strace alsa-utils)
    key=$(printf '%s\n' "${suites[@]}" "${packages[@]}" | sha1sum | cut -c 1-12)
    base=$cache/base-$key
    [ -f "$base.complete" ] && return 0
    started=$SECONDS
    for suite in "${suites[@]}"; do
        case $suite in
            *-security) sources+=("deb http://deb.debian.org/debian-security $suite main") ;;
            *) sources+=("deb http://deb.debian.org/debian $suite main") ;;
        esac
    done
    rm -rf "$cache"/base-*
    include=$(IFS=,; echo "${packages[*]}")
    mmdebstrap --quiet --arch="$arch" --variant=essential --include="$include" \
        --dpkgopt='path-exclude=/usr/share/man/*' --dpkgopt='path-exclude=/usr/share/doc/*' \
        --dpkgopt='path-include=/usr/share/doc/*/copyright' \
        --dpkgopt='path-exclude=/usr/share/locale/*' \
        bookworm "$base" "${sources[@]}"
    touch "$base.complete"
    echo "made in $(since "$started")"
}

# An ordinary user, as Debian makes a console user, in no group of the
# devices' (the package's service gives it those), with the front-end
# enabled for it; the front-end sets the phone's sleep time itself.
add_phone_user() {
    local rootfs=$1
    echo 'phone:x:1000:1000:Phone user:/home/phone:/bin/sh' >>"$rootfs/etc/passwd"
    echo 'phone:x:1000:' >>"$rootfs/etc/group"
    echo 'phone:*:19000:0:99999:7:::' >>"$rootfs/etc/shadow"
    mkdir -p "$rootfs/home/phone"
    chown -R 1000:1000 "$rootfs/home/phone"
    systemctl --root="$rootfs" --quiet enable tarragon@phone.service
    systemd-machine-id-setup --root="$rootfs" >/dev/null
}

copy_test_programs() {
    local here=$1/opt/tarragon-test build=$root/build-$arch-tests program
    mkdir -p "$here/build/tests" "$here/build/sleeptool" "$here/build/bench" "$here/build/launcher" \
        "$here/src/dist"
    for program in "$build"/tests/tst_*; do
        case ${program##*/} in
            # These need an X server or a Wayland compositor.
            tst_screen | tst_panelrest_x11 | tst_wayland | *_autogen) ;;
            *) [ -x "$program" ] && cp "$program" "$here/build/tests/" ;;
        esac
    done
    cp "$build/tests/stubplayer" "$build/tests/playlistchurn" "$build/tests/powercut" \
        "$build/tests/uinputpad" "$build/tests/fonts.conf" "$here/build/tests/"
    cp "$build/sleeptool/panelrest" "$here/build/sleeptool/"
    cp "$build/bench/bench_device" "$build/bench/barelist" "$here/build/bench/"
    cp "$build/launcher/mplayer" "$build/launcher/killall" "$build/launcher/menu.conf" \
        "$here/build/launcher/"
    cp -r dist/menu.conf dist/fonts.conf dist/keymaps "$here/src/dist/"
    # The benchmark's clip, alone in its folder: orange, where it is looked for.
    mkdir -p "$here/bench-media"
    [ -s "$cache/bench-orange.avi" ] || ffmpeg -loglevel error -y \
        -f lavfi -i color=c=0xff8000:size=160x120:rate=15:duration=30 \
        -f lavfi -i sine=frequency=440:duration=30 -c:v mpeg4 -q:v 5 -c:a mp3 -shortest \
        "$cache/bench-orange.avi"
    cp "$cache/bench-orange.avi" "$here/bench-media/orange.avi"
    # And again with a Chinese subtitle file beside it.
    mkdir -p "$here/bench-subtitled"
    cp "$cache/bench-orange.avi" "$here/bench-subtitled/orange.avi"
    printf '1\n00:00:00,000 --> 00:00:30,000\n一个人的旅行\n' >"$here/bench-subtitled/orange.srt"
    install -m 755 scripts/phone/guest/test.sh scripts/phone/guest/powercut.sh \
        scripts/phone/guest/bench.sh scripts/phone/guest/service.sh "$here/"
    install -m 644 scripts/phone/guest/pad.walk scripts/phone/guest/handheld.walk \
        scripts/phone/guest/song.walk "$here/"
    install -m 644 scripts/phone/guest/phone-test.service "$1/etc/systemd/system/"
    systemctl --root="$1" --quiet enable phone-test.service
}

make_image() {
    step "The phone's image"
    rm -rf "$work"
    mkdir -p "$work"
    local rootfs=$work/rootfs clips=$cache/clips
    cp -a "$base" "$rootfs"
    cp "$deb" "$rootfs/tmp/tarragon.deb"
    chroot "$rootfs" dpkg -i /tmp/tarragon.deb >/dev/null
    rm "$rootfs/tmp/tarragon.deb"
    mkdir -p "$rootfs/lib/modules"
    cp -a "$modules" "$rootfs/lib/modules/"
    install -m 755 scripts/phone/guest/init "$rootfs/sbin/phone-init"
    install -m 755 scripts/phone/guest/shots "$rootfs/sbin/phone-shots"
    echo phone >"$rootfs/etc/hostname"
    add_phone_user "$rootfs"
    # The phone's own settings: the display sleeps after 60 seconds.
    mkdir -p "$rootfs/ezxlocal/download/appwrite/setup"
    printf '[SYS_SETUP]\nLcdSleepTime = 1\n' >"$rootfs/ezxlocal/download/appwrite/setup/ezx_system.cfg"
    # The phone's memory card, where the front-end opens: a 4:3 clip smaller
    # than the screen, moving, with sound.
    mkdir -p "$clips" "$rootfs/mmc/mmca1"
    [ -s "$clips/test card.avi" ] || ffmpeg -loglevel error -y \
        -f lavfi -i testsrc=size=240x180:rate=15:duration=60 -f lavfi -i sine=frequency=440:duration=60 \
        -c:v mpeg4 -q:v 5 -c:a mp3 -shortest "$clips/test card.avi"
    cp "$clips"/*.avi "$rootfs/mmc/mmca1/"
    # Its subtitle, as the phone's users have them: Chinese, in GBK.
    printf '1\n00:00:00,000 --> 00:01:00,000\n一个人的旅行\n' | iconv -f UTF-8 -t GBK \
        >"$rootfs/mmc/mmca1/test card.srt"
    # A clip above it with a Hebrew and a Thai line; then the same lines,
    # each letter its line's first: boxes for glyphs would not change.
    cp "$clips/test card.avi" "$rootfs/mmc/mmca1/scripts.avi"
    printf '1\n00:00:00,000 --> 00:00:15,000\n%s\n%s\n\n2\n00:00:15,000 --> 00:01:00,000\n%s\n%s\n' \
        'שלום עולם' 'สวัสดีครับ' 'שששש שששש' 'สสสสสสสสสส' >"$rootfs/mmc/mmca1/scripts.srt"
    # Today's containers and codecs, at the card's size, beside the card (its
    # list stays as the paths know it).
    mkdir -p "$clips/types" "$rootfs/mmc/types"
    local card="-f lavfi -i testsrc=size=240x180:rate=15:duration=20"
    local tone="-f lavfi -i sine=frequency=440:duration=20"
    make_type() {
        local file=$clips/types/$1
        shift
        [ -s "$file" ] || ffmpeg -loglevel error -y "$@" -shortest "$file" </dev/null 2>/dev/null
    }
    # shellcheck disable=SC2086 # the inputs are words
    {
        make_type clip.mkv $card $tone -c:v libx264 -c:a aac
        make_type clip.m4v $card $tone -c:v libx264 -c:a aac -f mp4
        make_type clip.webm $card $tone -c:v libvpx-vp9 -c:a libopus
        make_type hevc.mp4 $card $tone -c:v libx265 -c:a aac
        make_type song.opus $tone -c:a libopus
        make_type song.aac $tone -c:a aac
    }
    cp "$clips"/types/* "$rootfs/mmc/types/"
    # A long song below the card (its place kept when it is stopped): tags in
    # three scripts, and a cover in them.
    [ -s "$clips/cover.jpg" ] || ffmpeg -loglevel error -y -f lavfi -i testsrc=size=160x120:duration=1 \
        -frames:v 1 "$clips/cover.jpg" </dev/null
    [ -s "$clips/voices.mp3" ] || ffmpeg -loglevel error -y -f lavfi -i sine=frequency=440:duration=660 \
        -i "$clips/cover.jpg" -map 0 -map 1 -c:a mp3 -ac 1 -b:a 32k \
        -c:v copy -disposition:v attached_pic -metadata title='一个人的旅行' \
        -metadata artist='שלום עולם' -metadata album='สวัสดีครับ' "$clips/voices.mp3" </dev/null
    cp "$clips/voices.mp3" "$rootfs/mmc/mmca1/"
    [ "$testing" = 1 ] && copy_test_programs "$rootfs"
    # A power of two, as an SD card's size must be.
    mke2fs -q -t ext4 -L phone -d "$rootfs" "$work/rootfs.img" 4G
    make_first_stage "$rootfs"
    rm -rf "$rootfs"
    echo "image: $(du -h --apparent-size "$work/rootfs.img" | cut -f 1), $(du -h "$work/rootfs.img" | cut -f 1) used"
}

# Busybox and the drivers the root file system needs, as the board has it.
make_first_stage() {
    local initramfs=$work/initramfs module
    mkdir -p "$initramfs/bin" "$initramfs/modules"
    cp "$1/usr/bin/busybox" "$initramfs/bin/busybox"
    install -m 755 scripts/phone/guest/initramfs-init "$initramfs/init"
    : >"$initramfs/modules/order"
    for module in "${board_first_stage[@]}"; do
        needs "$module" "$initramfs/modules"
    done
    (cd "$initramfs" && find . | cpio --quiet -o -H newc | gzip -1) >"$work/initrd.img"
    rm -rf "$initramfs"
}

# A module and, first, the modules it depends on, as modules.dep has them.
needs() {
    local module=$1 into=$2 path dependency
    path=$(grep -E "(^|/)$module\.ko:" "$modules/modules.dep" | head -n 1) || return 0
    for dependency in ${path#*:}; do
        needs "$(basename "$dependency" .ko)" "$into"
    done
    path=${path%%:*}
    grep -qx "$(basename "$path")" "$into/order" 2>/dev/null && return 0
    cp "$modules/$path" "$into/"
    basename "$path" >>"$into/order"
}
