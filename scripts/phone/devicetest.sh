# Sourced by scripts/phone.sh: the device test's parts, each on phones of
# its own, with what the host checks.
#   programs   the test programs inside the phone, a front-end asked to end
#              at once, and the user's path as root, under the lean init,
#              with the About box; then with a pad and volume keys alone,
#              with a handheld's keyboard codes through a keymap, and a
#              long song's screen with its keys locked
#   service    booted by Debian's systemd and udev: the user's path as the
#              ordinary user of the package's service, a SIGKILL and a
#              power-off mid-clip, the next boot, a minute's journal, Exit
#   panels     a shorter path on the board's other panels: 480x320,
#              640x480 (a handheld's), and
#              16 bits a pixel (a second framebuffer on the virt board)
#   powercut   20 power cuts while the phone writes
#   bench      the device benchmark, and the boot to the list under each
#              init, three times, on the instruction clock

# The kernel's last words when the phone powers off; a board with nothing
# to turn the power off with (armv5's) halts.
powered_off='reboot: \(Power down\|System halted\)'

test_programs() {
    step "The test programs and the user's path"
    phone_panel
    start_phone none test
    wait_for_line "DEVICE-TESTS end" 3600 || fail "the test programs did not finish"
    grep -a "DEVICE-TEST \|^FAIL!\|^   Loc:\|^   Actual\|^   Expected" "$serial" || true
    grep -q "DEVICE-TESTS end: passed" "$serial" || fail "test programs in the phone"
    wait_for_line "DEVICE-EXIT" 120 || fail "the front-end asked to end did not end"
    grep "DEVICE-EXIT" "$serial" || true
    grep -q "DEVICE-EXIT status 0, sleep after 60 s" "$serial" ||
        fail "asked to end, the front-end did not end well, or left another sleep time"
    wait_for_line "DEVICE-READY root" 120 || fail "root: no front-end"
    wait_for_list || fail "root: the front-end did not show"
    user_path root
    show_about root-
    show_scripts root-
    key f3
    wait_for_line "DEVICE-END root" 60 || fail "root: F3 did not end the front-end"
    grep "DEVICE-END root\|DEVICE-MEMORY\|DEVICE-CORE" "$serial" || true
    grep -q "DEVICE-END root: sleep after 60 s" "$serial" ||
        fail "root: after the front-end the sleep time is not the phone's"
    grep -q "DEVICE-MEMORY root: .*out-of-memory kills 0" "$serial" || fail "root: the kernel ran out of memory"
    check_sleep_times root
    pad_walk pad 1-list 2-menu 3-playing 4-playing-a-second-later 4a-onscreen-menu \
        4b-onscreen-menu-down 4c-onscreen-menu-closed 5-list-again
    check_picture pad-
    pad_walk handheld 1-list 2-menu 3-playing 5-list-again
    song_walk
    wait_for_line "DEVICE-PAD-SHOT types-webm" 300 || fail "the WebM clip did not play"
    shot "$shots/types-webm.png"
    [ "$(brightness "$shots/types-webm.png" "240x180+0+0")" -gt 20 ] || fail "the WebM clip showed no picture"
    wait_for_line "DEVICE-TYPE song.opus" 300 || fail "the new types did not all play"
    grep -a "DEVICE-TYPE" "$serial" || true
    stop_phone
    check_sound
}

# What the phone's card played, as the emulator wrote it (whole once it has
# ended): where it sounds, within a few dB of the clips' -21.5 dBFS, their
# 440 Hz.
check_sound() {
    local wav=$work/sound.wav rms tone
    if [ "$board_sound" = 0 ]; then
        echo "sound: this board has no sound card"
        return 0
    fi
    [ -s "$wav" ] || fail "sound: the card played nothing"
    sounding() { sox --ignore-length "$wav" -n remix 1 silence 1 0.1 1% -1 0.1 1% "$@" 2>&1; }
    rms=$(sounding stats | sed -n 's/^RMS lev dB *\([-0-9.]*\).*/\1/p')
    tone=$(sounding stat | sed -n 's/^Rough *frequency: *//p')
    echo "sound: $(sox --ignore-length "$wav" -n stat 2>&1 | sed -n 's/^Length (seconds): *//p') s" \
        "captured; where it sounds, the left channel at $rms dBFS RMS, about $tone Hz"
    awk -v r="${rms:--99}" -v f="${tone:-0}" 'BEGIN { exit !(r > -26 && r < -17 && f > 400 && f < 480) }' ||
        fail "sound: not the clips' tone at their level"
}

user_path() {
    play_a_clip "$1-"
    check_list "$1-"
    check_picture "$1-"
    check_sleep_and_wake "$1-"
}

# Two boots by systemd, the phone user's front-end from the package's unit;
# guest/service.sh reports what the host cannot see.
test_service() {
    step "Booted by systemd: the package's service"
    phone_panel
    start_phone none service
    wait_for_line "DEVICE-READY phone" 300 || fail "phone: the service did not start"
    grep -h "DEVICE-BOOT\|DEVICE-READY" "$serial" || true
    grep -q "DEVICE-READY phone: tarragon@phone.service as phone, .*video.*under /usr/lib/systemd/systemd; udev gave /dev/fb0 video 660 /dev/input/event0 input 660" \
        "$serial" || fail "phone: not the service as the user, with udev's groups"
    wait_for_list || fail "phone: the front-end did not show"
    # Freshly booted, before any clip, the phone's sleep time is in force;
    # the key that wakes it does nothing else.
    check_asleep "$shots/phone-0-asleep-after-boot.png" "phone, after boot"
    key down
    sleep 2
    user_path phone
    check_sleep_times phone
    # A crash mid-clip: the player gone, the sleep time the phone's, the
    # list back.
    play_again
    wait_for_line "DEVICE-BACK" 60 || fail "phone: the front-end did not come back"
    grep -h "DEVICE-KILLED\|DEVICE-BACK\|DEVICE-RESTART" "$serial" || true
    sed -n 's/.*DEVICE-BACK after \([0-9.]*\) s.*/\1/p' "$serial" | awk '{ exit !($1 <= 3) }' ||
        fail "phone: back after more than 3 s"
    grep -q "DEVICE-BACK .*player gone; sleep after 60 s" "$serial" ||
        fail "phone: after the crash the player ran on or the display could not sleep"
    wait_for_list || fail "phone: no list after the crash"
    key down down
    shot "$shots/phone-8-after-kill.png"
    check_list phone-after-kill phone-8-after-kill.png
    # A power-off mid-song: the front-end ends as on SIGTERM, and keeps the
    # long song's place.
    key down
    play_again
    wait_for_line "$powered_off" 120 || fail "phone: it did not power off"
    grep -h "DEVICE-POWEROFF\|DEVICE-STOPPED" "$serial" || true
    grep -q "DEVICE-STOPPED .*player gone; sleep after 60 s" "$serial" ||
        fail "phone: at power-off the player ran on or the sleep time was not put back"
    stop_phone
    cp "$serial" "$work/serial-service-1.log"
    # The next boot: a clean file system, the options as they were; a
    # minute's playback in the journal; Exit, and the login prompt.
    start_phone none service
    wait_for_line "DEVICE-OPTIONS" 300 || fail "phone: the second boot did not come"
    wait_for_list || fail "phone: no list on the second boot"
    shot "$shots/phone-9-second-boot.png"
    grep -h "DEVICE-BOOT\|DEVICE-FSCK\|DEVICE-OPTIONS\|DEVICE-POSITIONS" "$serial" || true
    grep -q "DEVICE-FSCK clean" "$serial" || fail "phone: the file system was recovered after the power-off"
    grep -q "DEVICE-OPTIONS kept" "$serial" || fail "phone: the options changed over the power-off"
    [ "$board_sound" = 0 ] || grep -q "DEVICE-POSITIONS [12][0-9] /mmc/mmca1/voices.mp3;" "$serial" ||
        fail "phone: the song's place was lost over the power-off"
    key down down
    play_again
    wait_for_line "DEVICE-JOURNAL" 150 || fail "phone: the minute's clip did not end"
    grep -h "DEVICE-JOURNAL\|DEVICE-LOG\|DEVICE-CPU\|DEVICE-MEMORY" "$serial" || true
    grep -q "DEVICE-MEMORY phone: out-of-memory kills 0" "$serial" || fail "phone: the kernel ran out of memory"
    wait_for_list || fail "phone: no list after the clip"
    key f3
    wait_for_line "DEVICE-EXITED" 60 || fail "phone: Exit did not end the service"
    sleep 3
    shot "$shots/phone-10-login.png"
    grep -h "DEVICE-EXITED" "$serial" || true
    grep -q "DEVICE-EXITED success; getty active" "$serial" || fail "phone: Exit did not give the login prompt"
    [ "$(changed "$shots/phone-9-second-boot.png" "$shots/phone-10-login.png" "${panel_size}+0+0")" -gt 20000 ] ||
        fail "phone: the list stayed after Exit"
    stop_phone
}

# The clip the list highlights, played from the main menu.
play_again() {
    key f1
    sleep 1
    key ret
}

test_panels() {
    local screen name
    for screen in "${board_panels[@]}"; do
        step "The front-end on a $screen panel"
        phone_panel "$screen"
        name=${screen/@/-}
        start_phone none panel
        wait_for_line "DEVICE-PANEL" 120 || fail "$screen: the phone did not start"
        if wait_for_list; then
            play_a_clip "$name-"
            check_list "$name-"
            check_picture "$name-"
            show_about "$name-"
            show_scripts "$name-"
            show_song "$name-"
            # The picture in the colours the 32-bit panel showed it in.
            if [ "$panel_depth" = 16 ] && [ -f "$shots/root-3-playing.png" ]; then
                local mine theirs
                mine=$(colour "$shots/$name-3-playing.png" "$(picture)")
                theirs=$(colour "$shots/root-3-playing.png" "$(picture)")
                echo "$screen: the picture's mean colour $mine, on the 32-bit panel $theirs"
                paste -d ' ' <(echo "$mine" | tr ' ' '\n') <(echo "$theirs" | tr ' ' '\n') |
                    awk '{ d = $1 - $2; if (d > 30 || d < -30) bad = 1 } END { exit bad }' ||
                    fail "$screen: the picture's colours are wrong"
            fi
        else
            fail "$screen: the front-end did not show"
        fi
        stop_phone
    done
    phone_panel
}

test_power_cuts() {
    local cuts=${POWER_CUTS:-20} cut wait made=0 intact=0
    step "$cuts power cuts while the phone writes"
    phone_panel
    data_disk=$work/data.img
    rm -f "$data_disk"
    mke2fs -q -t ext4 -L data "$data_disk" 64M
    for cut in $(seq 0 "$cuts"); do
        start_phone none powercut
        wait_for_line "POWERCUT-FSCK" 180 || fail "boot $cut: no check"
        grep -h "POWERCUT-CHECK\|POWERCUT-FSCK" "$serial" | sed "s/^/after cut $cut: /"
        if [ "$cut" -gt 0 ]; then
            grep -q "POWERCUT-CHECK ok" "$serial" && grep -q "POWERCUT-FSCK clean" "$serial" &&
                intact=$((intact + 1))
        fi
        [ "$cut" = "$cuts" ] && break
        wait_for_line "POWERCUT-WRITING" 180 || fail "boot $cut: the driver did not start"
        # At a moment of chance, a tenth of a second to three seconds on.
        wait=$((RANDOM % 30 + 1))
        sleep "$((wait / 10)).$((wait % 10))"
        power_cut
        made=$((made + 1))
    done
    stop_phone
    data_disk=""
    echo "power cuts: $made made, files and file system intact after $intact"
    [ "$intact" = "$made" ] || fail "files or the file system were damaged by a power cut"
}

test_bench() {
    local run
    step "The device benchmark, three runs on the emulator's instruction clock"
    phone_panel
    icount=1
    for run in 1 2 3; do
        start_phone none bench
        wait_for_line "DEVICE-BENCH end" 900 || fail "run $run: the benchmark did not finish"
        grep "DEVICE-BENCH " "$serial" | sed "s/^DEVICE-BENCH /run $run: /"
        stop_phone
        local mode
        for mode in boot service-boot; do
            start_phone none "$mode"
            wait_for_line "DEVICE-BOOT" 900 || fail "run $run: no list in the $mode"
            wait_for_line "$powered_off" 600 || true
            grep -h "DEVICE-BOOT\|DEVICE-CHAIN" "$serial" |
                sed "s/^.*DEVICE-[A-Z]* /run $run, ${mode/service-boot/systemd}: /"
            stop_phone
        done
    done
    icount=0
}
