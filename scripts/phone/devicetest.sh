# Sourced by scripts/phone.sh: the device test's parts, each on phones of
# its own, with what the host checks.
#   programs   the test programs inside the phone, a front-end asked to end
#              at once, and the user's path twice: as root, and as an
#              ordinary user logged in on a virtual console
#   panels     a shorter path on the board's other panels: 480x320, and
#              16 bits a pixel (a second framebuffer on the virt board)
#   powercut   20 power cuts while the phone writes
#   bench      the device benchmark, three times, on the instruction clock

test_programs() {
    step "The test programs and the user's path"
    phone_panel 240x320
    start_phone none test
    wait_for_line "DEVICE-TESTS end" 3600 || fail "the test programs did not finish"
    grep "DEVICE-TEST " "$serial" || true
    grep -q "DEVICE-TESTS end: passed" "$serial" || fail "test programs in the phone"
    wait_for_line "DEVICE-EXIT" 120 || fail "the front-end asked to end did not end"
    grep "DEVICE-EXIT" "$serial" || true
    grep -q "DEVICE-EXIT status 0, sleep after 60 s" "$serial" ||
        fail "asked to end, the front-end did not end well, or left another sleep time"
    local who
    for who in root phone; do
        wait_for_line "DEVICE-READY $who" 120 || fail "$who: no front-end"
        wait_for_list || fail "$who: the front-end did not show"
        play_a_clip "$who-"
        check_list "$who-"
        check_picture "$who-"
        check_sleep_and_wake "$who-"
        key f3
        wait_for_line "DEVICE-END $who" 60 || fail "$who: F3 did not end the front-end"
        grep "DEVICE-END $who" "$serial" || true
        grep -q "DEVICE-END $who: sleep after 60 s" "$serial" ||
            fail "$who: after the front-end the sleep time is not the phone's"
        check_sleep_times "$who"
    done
    stop_phone
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
    phone_panel 240x320
}

test_power_cuts() {
    local cuts=${POWER_CUTS:-20} cut wait made=0 intact=0
    step "$cuts power cuts while the phone writes"
    phone_panel 240x320
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
    phone_panel 240x320
    icount=1
    for run in 1 2 3; do
        start_phone none bench
        wait_for_line "DEVICE-BENCH end" 900 || fail "run $run: the benchmark did not finish"
        grep "DEVICE-BENCH " "$serial" | sed "s/^DEVICE-BENCH /run $run: /"
        stop_phone
    done
    icount=0
}
