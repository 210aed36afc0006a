#!/bin/sh
# Inside the emulated phone booted by Debian's systemd (scripts/phone.sh
# --test, the service part), beside the package's tarragon@phone unit,
# which the host drives with keys. It watches and reports, and acts where a
# person could not: a SIGKILL of the front-end and a power-off, each while
# a clip plays. Its state lives on the root file system across boots:
#   boot 1   the list up; the user's path; a SIGKILL mid-clip; a power-off
#            mid-clip
#   boot 2   the file system and options as they were; a minute of
#            playback's journal; Exit, and the login prompt back
# With "boot" as its argument (the benchmark) it only reports when the list
# is on the screen, and then powers the phone off; with "lean-boot", the
# same under the phone's lean init, which starts the front-end and powers
# off itself. Every line for the host starts with "DEVICE-".
unit=tarragon@phone.service
state=/var/lib/phone-test
setup=/home/phone/.local/share/tarragon/setup
uptime() { cut -d ' ' -f 1 /proc/uptime; }
blank() { cat /sys/module/kernel/parameters/consoleblank; }
front() { systemctl show -p MainPID --value "$unit"; }
[ "${1:-}" = lean-boot ] && front() { busybox pidof tarragon; }
playing() { busybox pidof mplayer >/dev/null; }

# The list on the screen: the middle of the framebuffer lit. The seconds
# since the kernel's start, and since the front-end's own.
list_up() {
    while ! dd if=/dev/fb0 bs=4096 skip=35 count=1 2>/dev/null | od -An -tx1 | grep -q '[1-9a-f]'; do
        sleep 0.1
    done
    at=$(uptime)
    pid=$(front)
    ticks=$(cut -d ' ' -f 22 "/proc/$pid/stat" 2>/dev/null || echo 0)
    echo "DEVICE-BOOT list at $at s, the front-end's own start $(echo "$at $ticks" | awk '{ printf "%.2f", $1 - $2 / 100 }') s"
}
for _ in $(seq 600); do
    [ -c /dev/fb0 ] && break
    sleep 0.1
done
case ${1:-} in
    boot)
        list_up
        # Where the boot's time went, once it is over.
        timeout 300 systemctl is-system-running --wait >/dev/null
        {
            systemd-analyze
            systemd-analyze critical-chain "$unit"
            systemd-analyze blame | head -n 8
        } 2>&1 | sed 's/^/DEVICE-CHAIN /'
        systemctl poweroff
        exit 0
        ;;
    lean-boot)
        list_up
        exit 0
        ;;
esac

wait_for_player() {
    while ! playing; do sleep 0.1; done
}
wait_for_no_player() {
    while playing; do sleep 0.1; done
}
# The sleep time as it changes, while the test goes on.
report_sleep() {
    reported=""
    while :; do
        state=idle
        playing && state=playing
        now="$state $(blank)"
        [ "$now" = "$reported" ] || echo "DEVICE-SLEEP phone $now"
        reported=$now
        sleep 0.2
    done
}

mkdir -p "$state"
if [ ! -f "$state/powered-off" ]; then
    list_up
    # A board's keys on USB come later than its screen.
    for _ in $(seq 300); do
        [ -e /dev/input/event0 ] && break
        sleep 0.1
    done
    pid=$(front)
    # The groups the front-end runs with: the service's, not the user's.
    groups=$(for gid in $(sed -n 's/^Groups://p' "/proc/$pid/status"); do
        getent group "$gid" | cut -d: -f1
    done | tr '\n' ,)
    echo "DEVICE-READY phone: $unit as $(stat -c %U "/proc/$pid"), groups" \
        "${groups%,}, under $(readlink /proc/1/exe);" \
        "udev gave $(stat -c '%n %G %a' /dev/fb0 /dev/input/event0 | tr '\n' ' ')"
    # Where udev is slower than the front-end, what it gives once settled.
    udevadm settle -t 60
    echo "DEVICE-SETTLED udev gave $(stat -c '%n %G %a' /dev/input/event* | tr '\n' ' ')"
    report_sleep &
    reporter=$!
    # The user's path plays a clip and ends it.
    wait_for_player
    wait_for_no_player
    sleep 1.5
    kill "$reporter"
    # The next clip: the front-end killed while it plays.
    wait_for_player
    sleep 3
    killed=$(front)
    kill -KILL "$killed"
    at=$(uptime)
    echo "DEVICE-KILLED front-end $killed at $at s"
    # Back when a new front-end holds the screen. Asked lightly: on one
    # core the asking takes from the start it times.
    waited=0
    until pid=$(busybox pidof tarragon) && [ "$pid" != "$killed" ] &&
        ls -l "/proc/$pid/fd" 2>/dev/null | grep -q /dev/fb0; do
        sleep 0.1
        waited=$((waited + 1))
        if [ $waited = 300 ]; then
            systemctl status --no-pager "$unit" 2>&1 | sed 's/^/DEVICE-STATUS /'
            journalctl -b --no-pager -n 40 2>&1 | sed 's/^/DEVICE-STATUS /'
        fi
    done
    back=$(echo "$at $(uptime)" | awk '{ printf "%.2f", $2 - $1 }')
    player=$(playing && echo running || echo gone)
    # The sleep time once the new front-end has put back what it found.
    sleep 3
    # How the time went, for the record.
    journalctl -u "$unit" -o short-monotonic -q -n 30 |
        grep -E 'Main process exited|Scheduled restart|Started|tarragon\[' | tail -n 8 |
        sed 's/^/DEVICE-RESTART /'
    echo "DEVICE-RESTART the front-end $(front) since $(cut -d ' ' -f 22 "/proc/$(front)/stat") ticks"
    echo "DEVICE-BACK after $back s; player $player; sleep after $(blank) s"
    # The last clip, a long song: the phone powered off while it plays,
    # past the few seconds a place needs.
    wait_for_player
    sleep 15
    sha1sum "$setup" >"$state/setup.sha1"
    touch "$state/powered-off"
    sync
    # Stopped after the front-end; what it saw then still to be said, and
    # systemctl no longer answers once the power-off has begun.
    trap '' TERM
    pid=$(front)
    echo "DEVICE-POWEROFF at $(uptime) s"
    at=$(uptime)
    systemctl poweroff --no-block
    # The front-end and its player gone, and the sleep time back; at most
    # 15 s.
    waited=0
    while [ -d "/proc/$pid" ] || playing || [ "$(blank)" = 0 ]; do
        sleep 0.05
        waited=$((waited + 1))
        [ $waited -lt 300 ] || break
    done
    echo "DEVICE-STOPPED after $(echo "$at $(uptime)" | awk '{ printf "%.2f", $2 - $1 }') s;" \
        "player $(playing && echo running || echo gone); sleep after $(blank) s"
    exit 0
fi

rm "$state/powered-off"
list_up
recovered=$(dmesg | grep -i 'EXT4-fs.*\(recover\|orphan\|error\)')
echo "DEVICE-FSCK ${recovered:-clean}"
if sha1sum -c --status "$state/setup.sha1"; then
    echo "DEVICE-OPTIONS kept: $(head -c 128 "$setup" | tr -d '\0')"
else
    echo "DEVICE-OPTIONS changed"
fi
echo "DEVICE-POSITIONS $(tr '\n' ';' <"${setup%/*}/positions")"
# A minute of playback: what it adds to the journal, and the processor
# time of the front-end against the player's (user and system ticks, from
# the moment the player is seen to its last second).
cpu() { cut -d ' ' -f 14,15 "/proc/$1/stat" 2>/dev/null | awk '{ print $1 + $2 }'; }
# The times its main thread went to sleep and was woken.
wakes() { sed -n 's/^voluntary_ctxt_switches:[[:space:]]*//p' "/proc/$1/status" 2>/dev/null; }
wait_for_player
since=@$(date +%s)
began=$(uptime)
pid=$(front) player=$(busybox pidof mplayer)
front_from=$(cpu "$pid") player_from=$(cpu "$player")
front_to=$front_from player_to=$player_from
# And from ten seconds in, once the player's start is read and echoed.
seconds=0 front_steady=$front_from player_steady=$player_from
wakes_from=0 wakes_to=0 steady_seconds=0
while now=$(cpu "$player") && [ -n "$now" ]; do
    player_to=$now front_to=$(cpu "$pid")
    seconds=$((seconds + 1))
    [ "$seconds" = 10 ] && front_steady=$front_to player_steady=$player_to wakes_from=$(wakes "$pid")
    [ "$seconds" -gt 10 ] && wakes_to=$(wakes "$pid") steady_seconds=$((seconds - 10))
    sleep 1
done
share() { echo "$1 $2 $3 $4" | awk '{ printf "%.2f", 100 * ($1 - $2) / ($3 - $4) }'; }
echo "DEVICE-CPU the front-end $((front_to - front_from)) ticks, the player $((player_to - player_from));" \
    "$(share "$front_to" "$front_from" "$player_to" "$player_from")% of it;" \
    "from 10 s in, $((front_to - front_steady)) and $((player_to - player_steady));" \
    "$(share "$front_to" "$front_steady" "$player_to" "$player_steady")%," \
    "the front-end woken $((${wakes_to:-0} - ${wakes_from:-0})) times in $steady_seconds s"
echo "DEVICE-MEMORY phone: out-of-memory kills $(sed -n 's/^oom_kill //p' /proc/vmstat) since the boot"
echo "DEVICE-JOURNAL $(journalctl --since="$since" -o export -q | wc -c) bytes in all over" \
    "$(echo "$began $(uptime)" | awk '{ printf "%.0f", $2 - $1 }') s of playback," \
    "$(journalctl -u "$unit" --since="$since" -o cat -q | wc -c) of them the front-end's and the player's text"
journalctl -u "$unit" --since="$since" -o cat -q | head -n 20 | sed 's/^/DEVICE-LOG /'
# Exit: the console's login prompt back.
while [ "$(systemctl show -p ActiveState --value "$unit")" = active ]; do sleep 0.2; done
sleep 2
echo "DEVICE-EXITED $(systemctl show -p Result --value "$unit"); getty $(systemctl is-active getty@tty1.service)"
