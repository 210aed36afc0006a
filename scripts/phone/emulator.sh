# Sourced by scripts/phone.sh: the emulator, booted in one of the guest's
# modes (phone.mode on the kernel's command line; see guest/init) and
# steered through QMP.

qmp_socket() { echo "$work/qmp.sock"; }
serial=""
emulator_pid=""
share=""
data_disk=""
icount=0

stop_phone() {
    if [ -n "$emulator_pid" ]; then
        kill "$emulator_pid" 2>/dev/null || true
        wait "$emulator_pid" 2>/dev/null || true
        emulator_pid=""
    fi
    if [ -n "${QMP_PID:-}" ]; then
        kill "$QMP_PID" 2>/dev/null || true
        wait "$QMP_PID" 2>/dev/null || true
    fi
}

# start_phone DISPLAY MODE: the phone with the panel chosen, on its board
# (board_machine), its console log in $serial. The emulated Pi Zero now and
# then hangs in its kernel before anything of ours runs (one boot in tens);
# such a boot is said and made once more, as a device's owner would.
start_phone() {
    launch_phone "$@"
    wait_for_line "PHONE-FIRST-STAGE" 120 && return 0
    kill -0 "$emulator_pid" 2>/dev/null || return 0
    echo "the kernel hung before the first stage ($(tail -c 300 "$serial" | tr '\n' ' ')); booting again"
    stop_phone
    launch_phone "$@"
}

launch_phone() {
    local display=$1 mode=$2 accel=tcg,thread=multi
    local machine_args=() board_append=""
    board_machine
    local clock=()
    if [ "$icount" = 1 ]; then
        # Guest time follows the instructions it runs, so timings repeat;
        # that needs one emulator thread.
        accel=tcg,thread=single
        clock=(-icount shift=3,sleep=off,align=off)
    fi
    local append="console=ttyAMA0 rw quiet phone.mode=$mode $board_append"
    # Booted as a device boots: Debian's systemd and udev, the front-end
    # from the package's service; the board's drivers that nothing asks for
    # by name (evdev) loaded as a device's owner has them loaded.
    case $mode in
        service*)
            local wanted=${board_append##*phone.modules=}
            append="$append phone.init=/lib/systemd/systemd modules_load=${wanted%% *}"
            ;;
    esac
    [ "$panel_fb" = /dev/fb0 ] || append="$append phone.fb=$panel_fb"
    serial=$work/serial.log
    : >"$serial"
    rm -f "$(qmp_socket)"
    "$emulator" "${machine_args[@]}" -accel "$accel" "${clock[@]}" \
        -kernel "$kernel_dir/boot/vmlinuz-$version" -initrd "$work/initrd.img" -append "$append" \
        -nic none -serial "file:$serial" -monitor none \
        -qmp "unix:$(qmp_socket),server=on,wait=off" -display "$display" &
    emulator_pid=$!
    started=$SECONDS
    for _ in $(seq 100); do
        [ -S "$(qmp_socket)" ] && break
        sleep 0.1
    done
    coproc QMP { socat - "UNIX-CONNECT:$(qmp_socket)"; }
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

# The power goes, as a battery that dies: no shutdown, nothing flushed.
power_cut() {
    [ -n "${QMP[1]:-}" ] && printf '%s\n' '{"execute":"quit"}' >&"${QMP[1]}" 2>/dev/null
    wait "$emulator_pid" 2>/dev/null || true
    emulator_pid=""
    stop_phone
}

# Waits for a line of the phone's console log; false when it did not come
# in time or the phone went off.
wait_for_line() {
    local pattern=$1 seconds=$2
    for _ in $(seq $((seconds * 2))); do
        grep -q -- "$pattern" "$serial" && return 0
        kill -0 "$emulator_pid" 2>/dev/null || return 1
        sleep 0.5
    done
    return 1
}
