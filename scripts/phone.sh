#!/usr/bin/env bash
# The emulated phone: an ARM system emulator with the phone's screen, a
# keyboard for the phone's keys and a tablet for taps, booting Debian with
# the tarragon package and the front-end on the framebuffer.
#
#   scripts/phone.sh [--panel PANEL] PHONE
#   scripts/phone.sh --test PHONE [PART...]
#
# PHONE is arm64 or armel (the emulator's virt board; scripts/phone/virt.sh),
# armv6 (a Raspberry Pi Zero, with the armel packages;
# scripts/phone/raspi.sh) or armv5 (a Versatile PB, with the armel packages
# and a kernel built here; scripts/phone/versatile.sh). PANEL is the
# screen: WxH at 32 bits a pixel (240x320, the phone's, by default), WxHx16
# at 16 bits (armv6; armv5 has 240x320x16 alone), or WxHx16@fb1 on a 16-bit
# second framebuffer (arm64, armel). On a desktop the emulator's window opens, for a person to use
# the phone; without a display a scripted session runs instead, and its
# screenshots are written to local/phone-PHONE/. With --test the device
# test's parts run (programs, service, panels, powercut, bench; all by
# default; see
# scripts/phone/devicetest.sh); the exit status is 0 only when all pass.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
. scripts/debian-build.sh
for part in common image emulator screen userpath devicetest; do
    . "scripts/phone/$part.sh"
done

usage() {
    echo "usage: scripts/phone.sh [--panel WxH|WxHx16|WxHx16@fb1] arm64|armel|armv6|armv5" >&2
    echo "       scripts/phone.sh --test arm64|armel|armv6|armv5 [programs|service|panels|powercut|bench]..." >&2
    exit 2
}
testing=0
panel_asked=""
case ${1:-} in
    --test)
        testing=1
        shift
        ;;
    --panel)
        panel_asked=${2:-}
        shift 2 || usage
        ;;
esac
phone=${1:-}
shift || true
parts=("$@")
[ ${#parts[@]} -gt 0 ] || parts=(programs service panels powercut bench)
phone_architecture "$phone" || usage
. "scripts/phone/$board.sh"
phone_panel "$panel_asked" || usage
trap stop_phone EXIT

prepare_host
build_programs
fetch_kernel
make_root_file_system
make_image

if [ $testing = 0 ] && [ -n "${DISPLAY:-}" ]; then
    apt_install qemu-system-gui
    step "The phone is on your screen; its console log is $work/serial.log"
    echo "Keys: arrows, Return, F1 to F12 as the phone's (F1 Menu, F2 playlists, F3 Exit);"
    echo "taps with the mouse; Exit powers it off."
    start_phone gtk session
    wait "$emulator_pid" || true
    emulator_pid=""
    exit 0
fi

if [ $testing = 0 ]; then
    step "A scripted session on a $panel panel"
    start_phone none session
    wait_for_list || {
        echo "the front-end did not show; see $serial" >&2
        exit 1
    }
    echo "the list is up after $(since "$started")"
    play_a_clip ""
    show_about ""
    echo "Screenshots in $shots/"
    exit 0
fi

started_test=$SECONDS
for part in "${parts[@]}"; do
    case $part in
        programs) test_programs ;;
        service) test_service ;;
        panels) test_panels ;;
        powercut) test_power_cuts ;;
        bench) test_bench ;;
        *) usage ;;
    esac
done
echo "Screenshots in $shots/"
if [ $failures -gt 0 ]; then
    echo "The device test FAILED ($failures)"
    exit 1
fi
echo "The device test passed in $(since "$started_test")"
