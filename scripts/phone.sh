#!/usr/bin/env bash
# The emulated phone: an ARM system emulator with a 240x320 screen, a
# keyboard for the phone's keys and a tablet for taps, booting Debian with
# the tarragon package and the front-end on the framebuffer.
#
#   scripts/phone.sh ARCH          ARCH is arm64 or armel
#   scripts/phone.sh --test ARCH
#
# On a desktop the emulator's window opens, for a person to use the phone.
# Without a display a scripted session runs instead, and its screenshots are
# written to local/phone-ARCH/. With --test the checks run inside the phone
# and on its screen; the exit status is 0 only when all of them pass.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
. scripts/debian-build.sh

usage() {
    echo "usage: scripts/phone.sh [--test] arm64|armel" >&2
    exit 2
}
testing=0
if [ "${1:-}" = --test ]; then
    testing=1
    shift
fi
arch=${1:-}
case $arch in
    arm64)
        emulator=qemu-system-aarch64 machine=virt cpu=cortex-a53 binfmt=qemu-aarch64
        kernel_arch=arm64 kernel_package=linux-image-arm64
        suites=(bookworm bookworm-updates bookworm-security)
        ;;
    armel)
        # The armel userland on an ARMv7 processor, with Debian's ARMv7
        # kernel: without highmem=off the 32-bit kernel cannot reach PCI.
        emulator=qemu-system-arm machine=virt,highmem=off cpu=cortex-a7 binfmt=qemu-arm
        kernel_arch=armhf kernel_package=linux-image-armmp
        # The security archive carries no armel.
        suites=(bookworm)
        ;;
    *) usage ;;
esac

cache=$root/local/phone/$arch
shots=$root/local/phone-$arch
work=$cache/run
mkdir -p "$cache" "$shots"
step() { echo "== $*"; }
since() { echo "$((SECONDS - $1)) s"; }

step "Host tools"
apt_install qemu-system-arm qemu-user-static binfmt-support mmdebstrap e2fsprogs cpio kmod \
    socat ffmpeg imagemagick
if [ ! -e /proc/sys/fs/binfmt_misc/register ]; then
    mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc
fi
update-binfmts --enable "$binfmt" 2>/dev/null || true

step "The tarragon package for $arch"
scripts/package.sh "$arch"
deb=$(ls "$root"/local/packages/tarragon_*_"$arch".deb)
if [ $testing = 1 ]; then
    step "The test programs for $arch"
    case $arch in
        arm64) install_multiarch "$arch" ;;
        armel) install_armel ;;
    esac
    debian_build "$arch" "build-$arch-tests" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-$arch.cmake" \
        -DTARRAGON_TESTS=ON
fi

# Debian's kernel, and its modules as depmod indexes them.
step "The kernel"
add_architecture "$kernel_arch"
kernel=$(apt-cache depends "$kernel_package:$kernel_arch" |
    sed -n 's/^ *Depends: \(linux-image-[^:]*\).*/\1/p' | head -n 1)
[ -n "$kernel" ] || {
    echo "no kernel package behind $kernel_package" >&2
    exit 1
}
kernel_dir=$cache/$kernel
if [ ! -f "$kernel_dir/.complete" ]; then
    rm -rf "$kernel_dir"
    mkdir -p "$kernel_dir/download"
    chmod 777 "$kernel_dir/download"
    (cd "$kernel_dir/download" && apt-get download -qq "$kernel:$kernel_arch" 2>/dev/null)
    dpkg-deb -x "$kernel_dir"/download/*.deb "$kernel_dir"
    rm -rf "$kernel_dir/download"
    /sbin/depmod -b "$kernel_dir" "$(ls "$kernel_dir/lib/modules")"
    touch "$kernel_dir/.complete"
fi
version=$(ls "$kernel_dir/lib/modules")
modules=$kernel_dir/lib/modules/$version

# The root file system: runtime packages only, made once for a package set.
step "The root file system"
depends=$(dpkg-deb -f "$deb" Depends | sed 's/([^)]*)//g; s/[ |]//g' | tr ',' '\n' | sort -u)
packages=($depends busybox-static fonts-dejavu-core fonts-wqy-microhei libqt6test6 ffmpeg)
key=$(printf '%s\n' "${suites[@]}" "${packages[@]}" | sha1sum | cut -c 1-12)
base=$cache/base-$key
if [ ! -f "$base.complete" ]; then
    started=$SECONDS
    sources=()
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
    echo "made in $(since $started)"
fi

step "The phone's image"
rm -rf "$work"
mkdir -p "$work"
rootfs=$work/rootfs
cp -a "$base" "$rootfs"
cp "$deb" "$rootfs/tmp/tarragon.deb"
chroot "$rootfs" dpkg -i /tmp/tarragon.deb >/dev/null
rm "$rootfs/tmp/tarragon.deb"
mkdir -p "$rootfs/lib/modules"
cp -a "$modules" "$rootfs/lib/modules/"
install -m 755 scripts/phone/phone-init "$rootfs/sbin/phone-init"
echo phone >"$rootfs/etc/hostname"
# The phone's own settings: the display sleeps after 60 seconds.
mkdir -p "$rootfs/ezxlocal/download/appwrite/setup"
printf '[SYS_SETUP]\nLcdSleepTime = 1\n' >"$rootfs/ezxlocal/download/appwrite/setup/ezx_system.cfg"
# The phone's memory card, where the front-end opens: a 4:3 clip smaller
# than the screen, moving, with sound.
clips=$cache/clips
mkdir -p "$clips"
[ -s "$clips/test card.avi" ] || ffmpeg -loglevel error -y \
    -f lavfi -i testsrc=size=240x180:rate=15:duration=60 -f lavfi -i sine=frequency=440:duration=60 \
    -c:v mpeg4 -q:v 5 -c:a mp3 -shortest "$clips/test card.avi"
mkdir -p "$rootfs/mmc/mmca1"
cp "$clips"/*.avi "$rootfs/mmc/mmca1/"
if [ $testing = 1 ]; then
    here=$rootfs/opt/tarragon-test
    mkdir -p "$here/build/tests" "$here/build/sleeptool" "$here/build/bench" "$here/src/dist"
    build=$root/build-$arch-tests
    for program in "$build"/tests/tst_*; do
        case ${program##*/} in
            # These need an X server or a Wayland compositor.
            tst_screen | tst_panelrest_x11 | tst_wayland | *_autogen) ;;
            *) [ -x "$program" ] && cp "$program" "$here/build/tests/" ;;
        esac
    done
    cp "$build/tests/stubplayer" "$build/tests/playlistchurn" "$here/build/tests/"
    cp "$build/sleeptool/panelrest" "$here/build/sleeptool/"
    cp "$build/bench/bench_device" "$build/bench/barelist" "$here/build/bench/"
    cp dist/mplayer dist/killall "$here/src/dist/"
    install -m 755 scripts/phone/device-test.sh "$here/device-test.sh"
fi
mke2fs -q -t ext4 -L phone -d "$rootfs" "$work/rootfs.img" 3G

# The first stage: busybox and the drivers the root file system needs.
initramfs=$work/initramfs
mkdir -p "$initramfs/bin" "$initramfs/modules"
cp "$rootfs/usr/bin/busybox" "$initramfs/bin/busybox"
install -m 755 scripts/phone/initramfs-init "$initramfs/init"
needs() {
    local module=$1 path dependency
    path=$(grep -E "(^|/)$module\.ko:" "$modules/modules.dep" | head -n 1) || return 0
    for dependency in ${path#*:}; do
        needs "$(basename "$dependency" .ko)"
    done
    path=${path%%:*}
    grep -qx "$(basename "$path")" "$initramfs/modules/order" 2>/dev/null && return 0
    cp "$modules/$path" "$initramfs/modules/"
    basename "$path" >>"$initramfs/modules/order"
}
: >"$initramfs/modules/order"
for module in virtio_pci virtio_blk crc32c_generic ext4; do
    needs "$module"
done
(cd "$initramfs" && find . | cpio --quiet -o -H newc | gzip -1) >"$work/initrd.img"
rm -rf "$rootfs" "$initramfs"
echo "image: $(du -h --apparent-size "$work/rootfs.img" | cut -f 1), $(du -h "$work/rootfs.img" | cut -f 1) used"

# The emulator, steered through QMP.
qmp_socket=$work/qmp.sock
serial=$work/serial.log
emulator_pid=""
stop_phone() {
    if [ -n "$emulator_pid" ]; then
        kill "$emulator_pid" 2>/dev/null || true
        wait "$emulator_pid" 2>/dev/null || true
        emulator_pid=""
    fi
}
trap stop_phone EXIT

start_phone() {
    local display=$1 append="console=ttyAMA0 root=/dev/vda rw quiet"
    [ $testing = 1 ] && append="$append phone.test"
    : >"$serial"
    "$emulator" -M "$machine" -cpu "$cpu" -smp 2 -m 1024 -accel tcg,thread=multi \
        -kernel "$kernel_dir/boot/vmlinuz-$version" -initrd "$work/initrd.img" -append "$append" \
        -drive if=none,id=root,file="$work/rootfs.img",format=raw -device virtio-blk-pci,drive=root \
        -device virtio-gpu-pci,xres=240,yres=320 -device virtio-keyboard-pci \
        -device virtio-tablet-pci -nic none -serial "file:$serial" -monitor none \
        -qmp "unix:$qmp_socket,server=on,wait=off" -display "$display" &
    emulator_pid=$!
    started=$SECONDS
    for _ in $(seq 100); do
        [ -S "$qmp_socket" ] && break
        sleep 0.1
    done
    coproc QMP { socat - "UNIX-CONNECT:$qmp_socket"; }
    read -r -t 10 _ <&"${QMP[0]}"
    qmp '{"execute":"qmp_capabilities"}'
}

# One command; its answer, skipping the emulator's events.
qmp() {
    local answer
    printf '%s\n' "$1" >&"${QMP[1]}"
    while read -r -t 120 answer <&"${QMP[0]}"; do
        case $answer in
            *'"return"'*) return 0 ;;
            *'"error"'*)
                echo "QMP: $answer" >&2
                return 1
                ;;
        esac
    done
    return 1
}

key() {
    local code
    for code in "$@"; do
        qmp '{"execute":"send-key","arguments":{"keys":[{"type":"qcode","data":"'"$code"'"}]}}'
        sleep 0.3
    done
}

# The tablet's pointer to a point of the 240x320 screen.
point() {
    local x=$(($1 * 32767 / 239)) y=$(($2 * 32767 / 319))
    qmp '{"execute":"input-send-event","arguments":{"events":[{"type":"abs","data":{"axis":"x","value":'$x'}},{"type":"abs","data":{"axis":"y","value":'$y'}}]}}'
}

# A tap at a point of the screen.
tap() {
    point "$1" "$2"
    qmp '{"execute":"input-send-event","arguments":{"events":[{"type":"btn","data":{"down":true,"button":"left"}}]}}'
    sleep 0.15
    qmp '{"execute":"input-send-event","arguments":{"events":[{"type":"btn","data":{"down":false,"button":"left"}}]}}'
    sleep 0.5
}

shot() {
    qmp '{"execute":"screendump","arguments":{"filename":"'"$work/screen.ppm"'"}}'
    convert "$work/screen.ppm" "$1"
}

# Mean brightness of a region of a screenshot, 0 to 100.
brightness() {
    convert "$1" -crop "$2" -colorspace Gray -format '%[fx:round(mean*100)]' info:
}

# Waits for the front-end's list: a lit screen that stays the same.
wait_for_list() {
    local previous="" now
    for _ in $(seq 240); do
        shot "$work/wait.png"
        now=$(md5sum <"$work/screen.ppm")
        if [ "$(brightness "$work/wait.png" 240x320+0+0)" -gt 30 ] && [ "$now" = "$previous" ]; then
            return 0
        fi
        previous=$now
        sleep 1
    done
    return 1
}

wait_for_line() {
    local pattern=$1 seconds=$2
    for _ in $(seq $((seconds * 2))); do
        grep -q -- "$pattern" "$serial" && return 0
        kill -0 "$emulator_pid" 2>/dev/null || return 1
        sleep 0.5
    done
    return 1
}

# The user's path: the clip highlighted with the keys, Menu tapped, Play
# tapped in the menu that opens, then F4. Screenshots of each step.
play_a_clip() {
    # The toolkit takes the first event of an absolute pointer to be at the
    # screen's corner; a press read together with that first move would land
    # there. The pointer comes in once first, as a person's mouse would.
    point 120 160
    sleep 1
    key down down
    shot "$shots/1-list.png"
    local list attempt _
    list=$(md5sum <"$work/screen.ppm")
    # On a busy emulator the menu may take a while to show, or a tap may come
    # before the toolkit reads its pointer: wait for the menu, and tap again
    # once if it never comes.
    for attempt in 1 2; do
        tap 40 280
        for _ in $(seq 20); do
            shot "$work/wait.png"
            [ "$(md5sum <"$work/screen.ppm")" != "$list" ] && break 2
            sleep 0.5
        done
        echo "the menu did not open (attempt $attempt)"
    done
    sleep 0.5
    shot "$shots/2-menu.png"
    # The menu rises from the soft key: its first item, Play, is at the top
    # of what changed on the screen.
    local top
    top=$( (compare "$shots/1-list.png" "$shots/2-menu.png" -compose src -fuzz 10% png:- 2>/dev/null ||
        true) | convert - -trim -format '%Y' info: | tr -d '+')
    tap 30 $((top + 12))
    # Playing: the screen no longer shows the menu, and the picture has come.
    for _ in $(seq 60); do
        sleep 1
        shot "$shots/3-playing.png"
        [ "$(brightness "$shots/3-playing.png" 240x60+0+0)" -lt 3 ] &&
            [ "$(brightness "$shots/3-playing.png" 240x180+0+70)" -gt 20 ] && break
    done
    sleep 2
    shot "$shots/3-playing.png"
    sleep 1
    shot "$shots/4-playing-a-second-later.png"
    key f4
    sleep 3
    shot "$shots/5-list-again.png"
}

if [ $testing = 0 ] && [ -n "${DISPLAY:-}" ]; then
    apt_install qemu-system-gui
    step "The phone is on your screen; its console log is $serial"
    echo "Keys: arrows, Return, F2 to F12 as the phone's; taps with the mouse; Exit powers it off."
    start_phone gtk
    wait "$emulator_pid" || true
    emulator_pid=""
    exit 0
fi

start_phone none
if [ $testing = 0 ]; then
    step "A scripted session"
    wait_for_list || {
        echo "the front-end did not show; see $serial" >&2
        exit 1
    }
    echo "the list is up after $(since "$started")"
    play_a_clip
    # The About box, with its Chinese line, just above the soft keys.
    tap 40 280
    tap 30 228
    sleep 2
    shot "$shots/6-about.png"
    key ret
    echo "Screenshots in $shots/"
    exit 0
fi

step "The device test"
failures=0
fail() {
    echo "FAILED: $*"
    failures=$((failures + 1))
}
wait_for_line "DEVICE-TESTS end" 3600 || fail "the test programs did not finish"
grep "DEVICE-TEST " "$serial" || true
grep -q "DEVICE-TESTS end: passed" "$serial" || fail "test programs in the phone"
wait_for_line "DEVICE-BENCH end" 900 || fail "the benchmark did not finish"
grep "DEVICE-BENCH " "$serial" | sed 's/^DEVICE-BENCH //' || true
wait_for_line "DEVICE-READY" 60 || fail "the front-end did not start"
wait_for_list || fail "the front-end did not show"
play_a_clip

# Two screenshots a second apart differ inside the picture; the picture
# keeps its aspect: 240x180 in the middle of the screen, black above and
# below it.
picture=240x180+0+70
difference=$(compare -metric AE -fuzz 5% "$shots/3-playing.png" "$shots/4-playing-a-second-later.png" \
    -crop "$picture" null: 2>&1 || true)
[ "${difference%% *}" -gt 100 ] 2>/dev/null || fail "the picture does not move ($difference pixels)"
[ "$(brightness "$shots/3-playing.png" 240x60+0+0)" -lt 3 ] || fail "no black band above the picture"
[ "$(brightness "$shots/3-playing.png" 240x60+0+260)" -lt 3 ] || fail "no black band below the picture"
[ "$(brightness "$shots/3-playing.png" "$picture")" -gt 20 ] || fail "no picture"
cmp -s "$shots/1-list.png" "$shots/5-list-again.png" ||
    [ "$(compare -metric AE -fuzz 5% "$shots/1-list.png" "$shots/5-list-again.png" null: 2>&1 | cut -d ' ' -f 1)" -lt 2000 ] ||
    fail "F4 did not bring the list back"

# The front-end keeps the phone's 60 seconds (the toolkit alone turns the
# console's timeout off when it starts and sets 15 minutes when it ends).
# While the clip played the display never slept: from the player's first
# report of its picture, 0, to the end; afterwards 60 seconds again.
grep "DEVICE-EXIT" "$serial" || true
grep -q "DEVICE-EXIT status 0, sleep after 60 s" "$serial" ||
    fail "asked to end, the front-end did not end well, or left another sleep time"
# The player's output shares the console: a report may start mid-line.
sleeps=$(grep -o 'DEVICE-SLEEP [a-z]* [0-9]*' "$serial" | cut -d ' ' -f 2-)
echo "display sleep times seen: $(echo "$sleeps" | tr '\n' ';')"
[ "$(echo "$sleeps" | sed -n '/^playing/q;p' | tail -n 1)" = "idle 60" ] ||
    fail "the front-end did not keep the phone's 60 s before the clip"
playing=$(echo "$sleeps" | sed -n 's/^playing //p' | tr '\n' ' ')
echo "$playing" | grep -Eq '^(60 )*(0 )+$' ||
    fail "the display could sleep while the clip played: $playing"
[ "$(echo "$sleeps" | tail -n 1)" = "idle 60" ] || fail "after playing the sleep time is not 60 s"

# With no input for those 60 seconds the display goes dark; a key lights it.
sleep 65
shot "$shots/6-asleep.png"
[ "$(brightness "$shots/6-asleep.png" 240x320+0+0)" -lt 5 ] || fail "the display did not go dark"
key shift
sleep 2
shot "$shots/7-awake.png"
[ "$(brightness "$shots/7-awake.png" 240x320+0+0)" -gt 30 ] || fail "a key did not light the display"

echo "Screenshots in $shots/; the phone's console log is $serial"
if [ $failures -gt 0 ]; then
    echo "The device test FAILED ($failures)"
    exit 1
fi
echo "The device test passed in $(since "$started")"
