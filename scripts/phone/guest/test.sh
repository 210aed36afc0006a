#!/bin/sh
# Inside the emulated phone (scripts/phone.sh --test), under its lean init:
# the test programs that need no X server, a front-end asked to end at
# once, then a front-end as root for the user's path, which the host drives
# with keys, while this side reports the display's sleep time. (The
# ordinary user's front-end comes from the package's service, in a boot by
# systemd: service.sh.) Every line for the host starts with "DEVICE-".
here=/opt/tarragon-test
uptime() { cut -d ' ' -f 1 /proc/uptime; }
blank() { cat /sys/module/kernel/parameters/consoleblank; }

echo "DEVICE-TESTS begin at $(uptime) s; the display sleeps after $(blank) s"
echo "DEVICE-CORE $(grep -m 2 '^model name\|^CPU architecture' /proc/cpuinfo | tr -s '\t\n' '  ')"
failed=0
for program in "$here"/build/tests/tst_*; do
    name=${program##*/}
    started=$(uptime)
    report=$(cd /tmp && QT_QPA_PLATFORM=offscreen TARRAGON_BINARY_DIR="$here/build" \
        TARRAGON_SOURCE_DIR="$here/src" "$program" 2>&1)
    status=$?
    # As the test command has it: a program that ends early has not passed.
    if [ $status = 0 ] && printf '%s\n' "$report" | grep -q "^Totals: [0-9]* passed, 0 failed"; then
        echo "DEVICE-TEST PASS $name ($started to $(uptime) s)"
    else
        printf '%s\n' "$report" | grep -A 4 "^FAIL!"
        printf '%s\n' "$report" | tail -n 5
        echo "DEVICE-TEST FAIL $name"
        failed=1
    fi
done
echo "DEVICE-TESTS end: $([ $failed = 0 ] && echo passed || echo failed); sleep after $(blank) s"

# A toolkit program on the framebuffer turns the console's timeout off when
# it starts and sets 15 minutes when it ends; the front-end sets the
# phone's own from its start (the boot's is never), and keeps it, also when
# it is asked to end the moment it is up.
tarragon >/dev/null 2>&1 &
front=$!
for _ in $(seq 600); do
    ls -l "/proc/$front/fd" 2>/dev/null | grep -q /dev/fb0 && break
    sleep 0.05
done
sleep 0.3
kill -TERM "$front"
wait "$front"
echo "DEVICE-EXIT status $?, sleep after $(blank) s"

# A front-end's picture stays on the framebuffer after it: cleared, so the
# host waits for the next one to show.
clear() { cat /dev/zero >/dev/fb0 2>/dev/null; }

# The resident KiB of process $1, read without a program of its own: the
# loop below samples it five times a second on a one-core phone.
rss() {
    while read -r key kib _; do
        [ "$key" = VmRSS: ] && echo "$kib" && return
    done <"/proc/$1/status"
    echo 0
} 2>/dev/null

# Reports the sleep time as it changes, and whether a player runs, while
# the front-end of WHO runs; then its sleep time after it, and the most
# memory the front-end and the player held, idle and playing.
report() {
    who=$1
    reported=""
    idle=0 playing=0 player=0
    for _ in $(seq 300); do
        busybox pidof tarragon >/dev/null && break
        sleep 0.1
    done
    while busybox pidof tarragon >/dev/null; do
        state=idle
        busybox pidof mplayer >/dev/null && state=playing
        now="$state $(blank)"
        [ "$now" = "$reported" ] || echo "DEVICE-SLEEP $who $now"
        reported=$now
        front=$(rss "$(busybox pidof tarragon)")
        if [ $state = idle ]; then
            [ "${front:-0}" -gt $idle ] && idle=$front
        else
            [ "${front:-0}" -gt $playing ] && playing=$front
            for pid in $(busybox pidof mplayer); do
                kib=$(rss "$pid")
                [ "${kib:-0}" -gt $player ] && player=$kib
            done
        fi
        sleep 0.2
    done
    # Before the end's line, which the host waits for.
    echo "DEVICE-MEMORY $who: resident at most: the front-end $idle KiB idle, $playing KiB" \
        "playing; the player $player KiB; of $(sed -n 's/^MemTotal: *//p' /proc/meminfo);" \
        "out-of-memory kills $(sed -n 's/^oom_kill //p' /proc/vmstat)"
    echo "DEVICE-END $who: sleep after $(blank) s"
}

clear
tarragon >/dev/console 2>&1 &
echo "DEVICE-READY root"
report root

# The path again with inputs of the test's own, made before the front-end
# looks for its inputs and walked once it is up: a pad and volume keys,
# then a handheld's keyboard codes through the shipped keymap.
busybox modprobe uinput
walk() {
    rm -f /tmp/walk.go
    "$here/build/tests/uinputpad" "$here/$1.walk" /tmp/walk.go >/dev/console 2>&1 &
    pad=$!
    sleep 2
    clear
    tarragon >/dev/console 2>&1 &
    echo "DEVICE-READY $1"
    (sleep 12 && touch /tmp/walk.go) &
    report "$1"
    kill "$pad" 2>/dev/null
    wait "$pad"
}
walk pad
mkdir -p /etc/tarragon
cp /usr/share/tarragon/keymaps/opendingux /etc/tarragon/keymap
walk handheld
rm /etc/tarragon/keymap

# A long song with the pad: its screen, its keys locked, the display asleep;
# the front-end's processor time against the player's, from the lock on
# while the screen is lit and updated each second, then over a minute of
# the display asleep, in a pocket; then where it was left.
song_cpu() {
    cpu() { cut -d ' ' -f 14,15 "/proc/$1/stat" 2>/dev/null | awk '{ print $1 + $2 }'; }
    for _ in $(seq 600); do
        player=$(busybox pidof mplayer) && break
        sleep 0.2
    done
    front=$(busybox pidof tarragon)
    sleep 25
    for span in lit:50:20 asleep:60:0; do
        f0=$(cpu "$front") p0=$(cpu "$player")
        sleep "$(echo "$span" | cut -d : -f 2)"
        f1=$(cpu "$front") p1=$(cpu "$player")
        echo "DEVICE-SONG-CPU ${span%%:*}: the front-end $((f1 - f0)) ticks, the player $((p1 - p0))" \
            "in $(echo "$span" | cut -d : -f 2) s:" \
            "$(echo "$f1 $f0 $p1 $p0" | awk '{ printf "%.2f", 100 * ($1 - $2) / ($3 - $4) }')% of it"
        sleep "${span##*:}"
    done
}
echo "DEVICE-SONG cards: $(grep -c '^ *[0-9]' /proc/asound/cards 2>/dev/null)"
if [ -e /proc/asound/card0 ]; then
    song_cpu &
    walk song
    wait
    echo "DEVICE-POSITIONS $(cat "$(find / -xdev -path '*tarragon/positions' | head -n 1)" | tr '\n' ';')"
fi

# Today's containers and codecs at the test card's size, 10 s of each on the
# screen: the share of that time the player's decoding and output took
# (past 100% it falls behind); the host takes a screenshot of the WebM.
clear
for clip in /mmc/types/*; do
    name=${clip##*/}
    case $name in
        song.*) output=null ;;
        *) output=fbdev2:${FRAMEBUFFER:-/dev/fb0} ;;
    esac
    mplayer -benchmark -nolirc -noconsolecontrols -quiet -endpos 10 -vo "$output" -ao null \
        "$clip" </dev/null >/tmp/type.log 2>&1 &
    player=$!
    case $name in *.webm) sleep 5 && echo "DEVICE-PAD-SHOT types-webm" ;; esac
    wait "$player"
    echo "DEVICE-TYPE $name: $(grep -a -m 1 '^VIDEO:' /tmp/type.log | tr -s ' ' | cut -d ' ' -f 2-3)" \
        "$(grep -a '^BENCHMARK' /tmp/type.log | tr -s ' ' | tr '\n' ' ')"
done
